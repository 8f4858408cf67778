// A small canvas for pixel tests: a bitmap, a painter on it, and helpers to
// read pixels back.
#ifndef DRAWING_TEST_UTIL_H
#define DRAWING_TEST_UTIL_H

#include <Bitmap.h>
#include <GraphicsDefs.h>

#include "interface/Painter.h"

#include <functional>
#include <ostream>

inline std::ostream& operator<<(std::ostream& out, const rgb_color& c)
{
	return out << "rgb(" << int(c.red) << ", " << int(c.green) << ", "
		<< int(c.blue) << ", " << int(c.alpha) << ")";
}

const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kBlack = {0, 0, 0, 255};
const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};

struct Canvas {
	BBitmap bitmap;
	BPrivate::Painter painter;

	Canvas(int32 width, int32 height, color_space space = B_RGB32)
		: bitmap(BRect(0, 0, width - 1, height - 1), space)
	{
		painter.Attach(&bitmap);
		painter.SetLowColor(kWhite);
		painter.SetHighColor(kBlack);
		painter.FillRect(bitmap.Bounds(), B_SOLID_LOW);
	}

	rgb_color Pixel(int32 x, int32 y) const
	{
		const uint8* p = (const uint8*)bitmap.Bits() + y * bitmap.BytesPerRow() + x * 4;
		return make_color(p[2], p[1], p[0], p[3]);
	}

	int32 Width() const { return bitmap.Bounds().IntegerWidth() + 1; }
	int32 Height() const { return bitmap.Bounds().IntegerHeight() + 1; }

	// Number of pixels in the box (edges included) that pass the test.
	int32 Count(BRect box, const std::function<bool(rgb_color)>& test) const
	{
		int32 count = 0;
		for (int32 y = (int32)box.top; y <= (int32)box.bottom; y++) {
			for (int32 x = (int32)box.left; x <= (int32)box.right; x++) {
				if (x >= 0 && y >= 0 && x < Width() && y < Height() && test(Pixel(x, y)))
					count++;
			}
		}
		return count;
	}

	int32 CountNot(BRect box, rgb_color color) const
	{
		return Count(box, [&](rgb_color c) {
			return c.red != color.red || c.green != color.green || c.blue != color.blue;
		});
	}

	int32 CountExactly(BRect box, rgb_color color) const
	{
		return Count(box, [&](rgb_color c) {
			return c.red == color.red && c.green == color.green && c.blue == color.blue;
		});
	}

	BRect All() const { return bitmap.Bounds(); }

	// The smallest box holding every pixel that is not `background`
	// (invalid when there is none).
	BRect InkBounds(rgb_color background = kWhite) const
	{
		BRect ink;
		for (int32 y = 0; y < Height(); y++) {
			for (int32 x = 0; x < Width(); x++) {
				rgb_color c = Pixel(x, y);
				if (c.red == background.red && c.green == background.green
					&& c.blue == background.blue)
					continue;
				ink = ink | BRect(x, y, x, y);
			}
		}
		return ink;
	}
};

inline bool same_rgb(rgb_color a, rgb_color b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

inline bool near_rgb(rgb_color a, rgb_color b, int tolerance)
{
	return abs(a.red - b.red) <= tolerance && abs(a.green - b.green) <= tolerance
		&& abs(a.blue - b.blue) <= tolerance;
}

#endif
