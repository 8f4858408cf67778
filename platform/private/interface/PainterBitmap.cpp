// The painter's bitmap drawing: copying, scaling and converting pixels.
#include "interface/Painter.h"

#include <Bitmap.h>

#include <math.h>
#include <string.h>

#include <vector>

#include "interface/PixelBlend.h"

namespace BPrivate {

namespace {

// The nearest pixel; far-away (and NaN) coordinates are pinned well
// outside any buffer instead of overflowing.
inline int32
round_to_pixel(float value)
{
	if (!(value > -1.0e9f))
		return -1000000000;
	if (value > 1.0e9f)
		return 1000000000;
	return (int32)floorf(value + 0.5f);
}

// Reads source pixels of one colour space as straight colour plus a flag
// for B_TRANSPARENT_COLOR (index 255 in B_CMAP8).
struct SourceReader {
	const uint8* bits;
	int32 bytesPerRow;
	color_space space;
	const color_map* palette;	// only for B_CMAP8

	inline rgb_color Read(int32 x, int32 y, bool* transparent) const
	{
		const uint8* p = bits + (size_t)y * bytesPerRow;
		if (space == B_CMAP8) {
			uint8 index = p[x];
			*transparent = index == B_TRANSPARENT_MAGIC_CMAP8;
			rgb_color color = palette->color_list[index];
			color.alpha = *transparent ? 0 : 255;
			return color;
		}
		p += x * 4;
		*transparent = p[2] == B_TRANSPARENT_COLOR.red
			&& p[1] == B_TRANSPARENT_COLOR.green && p[0] == B_TRANSPARENT_COLOR.blue;
		return make_color(p[2], p[1], p[0], space == B_RGBA32 ? p[3] : 255);
	}
};

// For each destination pixel of a run, the source pixel (nearest
// neighbour) or the two neighbours and the weight of the second (bilinear).
struct AxisMap {
	std::vector<int32> first;
	std::vector<int32> second;
	std::vector<uint8> weight;
};

void
map_axis(AxisMap& map, int32 from, int32 to, int32 destStart, int32 destSize,
	int32 sourceStart, int32 sourceSize, int32 sourceLow, int32 sourceHigh,
	bool bilinear)
{
	int32 count = to - from + 1;
	map.first.resize(count);
	map.second.resize(count);
	map.weight.resize(count);
	for (int32 i = 0; i < count; i++) {
		int64 d = from + i - destStart;
		if (!bilinear) {
			// The source pixel whose span holds this pixel's centre.
			int32 s = sourceStart + (int32)(((2 * d + 1) * sourceSize) / (2 * (int64)destSize));
			map.first[i] = map.second[i] = s;
			map.weight[i] = 0;
			continue;
		}
		double position = (d + 0.5) * sourceSize / destSize - 0.5 + sourceStart;
		double base = floor(position);
		int32 s0 = (int32)base;
		int32 s1 = s0 + 1;
		uint8 w = (uint8)lround((position - base) * 255.0);
		if (s0 < sourceLow) s0 = sourceLow;
		if (s1 > sourceHigh) s1 = sourceHigh;
		if (s0 > sourceHigh) s0 = sourceHigh;
		if (s1 < sourceLow) s1 = sourceLow;
		map.first[i] = s0;
		map.second[i] = s1;
		map.weight[i] = w;
	}
}


}

void
Painter::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination,
	uint32 options)
{
	if (bitmap == NULL || !bitmap->IsValid())
		return;
	BRect bounds = bitmap->Bounds();
	DrawPixels(bitmap->Bits(), bounds.IntegerWidth() + 1,
		bounds.IntegerHeight() + 1, bitmap->BytesPerRow(), bitmap->ColorSpace(),
		source, destination, options);
}

void
Painter::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == NULL || !bitmap->IsValid())
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where), 0);
}

void
Painter::DrawPixels(const void* bits, int32 width, int32 height,
	int32 bytesPerRow, color_space space, BRect source, BRect destination,
	uint32 options)
{
	if (fBits == NULL || bits == NULL || width <= 0 || height <= 0
		|| !source.IsValid() || !destination.IsValid())
		return;
	int32 pixelSize = space == B_CMAP8 ? 1 : 4;
	if ((space != B_RGB32 && space != B_RGBA32 && space != B_CMAP8)
		|| bytesPerRow < width * pixelSize)
		return;

	PixelBox from{round_to_pixel(source.left), round_to_pixel(source.top),
		round_to_pixel(source.right), round_to_pixel(source.bottom)};
	PixelBox to = _ToPixels(destination);
	if (from.IsEmpty() || to.IsEmpty())
		return;
	// Only source pixels that exist are drawn; a source rectangle reaching
	// past the bitmap leaves the matching destination pixels alone.
	PixelBox available = from.Intersect(PixelBox{0, 0, width - 1, height - 1});
	if (available.IsEmpty())
		return;
	PixelBox area = to.Intersect(fClipBounds);
	if (area.IsEmpty())
		return;
	_Touch(area);

	int32 sourceWidth = from.right - from.left + 1;
	int32 sourceHeight = from.bottom - from.top + 1;
	int32 destWidth = to.right - to.left + 1;
	int32 destHeight = to.bottom - to.top + 1;
	bool scaled = sourceWidth != destWidth || sourceHeight != destHeight;
	bool bilinear = scaled && (options & B_FILTER_BITMAP_BILINEAR) != 0;

	// The system palette is built on first use, which takes milliseconds;
	// only an indexed source needs it.
	SourceReader reader{(const uint8*)bits, bytesPerRow, space,
		space == B_CMAP8 ? system_colors() : NULL};
	Blender blender{fMode, fSourceAlpha, fAlphaFunction, fHighColor, fLowColor,
		fHasAlpha};

	bool plainOver = fMode == B_OP_OVER
		|| (fMode == B_OP_ALPHA && space == B_RGB32 && fSourceAlpha == B_PIXEL_ALPHA);
	if (!scaled && (fMode == B_OP_COPY || plainOver) && space != B_CMAP8) {
		// Straight copy, row by row: the path of a window's backbuffer and
		// of off-screen drawing. B_OP_OVER only leaves out the transparent
		// colour (and so does B_OP_ALPHA for a source without alpha).
		for (const PixelBox& clip : fClipping) {
			PixelBox part = area.Intersect(clip);
			PixelBox inSource{available.left - from.left + to.left,
				available.top - from.top + to.top,
				available.right - from.left + to.left,
				available.bottom - from.top + to.top};
			part = part.Intersect(inSource);
			if (part.IsEmpty())
				continue;
			int32 count = part.right - part.left + 1;
			for (int32 y = part.top; y <= part.bottom; y++) {
				const uint32* s = (const uint32*)(reader.bits
					+ (size_t)(y - to.top + from.top) * bytesPerRow)
					+ (part.left - to.left + from.left);
				uint32* d = (uint32*)(fBits + (size_t)y * fBytesPerRow) + part.left;
				if (plainOver) {
					// Every pixel but the transparent colour, opaque.
					for (int32 i = 0; i < count; i++) {
						if ((s[i] & 0x00ffffffu) != (B_TRANSPARENT_MAGIC_RGBA32 & 0x00ffffffu))
							d[i] = (fHasAlpha && space == B_RGBA32) ? s[i] : (s[i] | 0xff000000u);
					}
				} else if (fHasAlpha && space == B_RGBA32)
					memcpy(d, s, count * 4);
				else {
					for (int32 i = 0; i < count; i++)
						d[i] = s[i] | 0xff000000u;
				}
			}
		}
		return;
	}

	AxisMap columns, rows;
	map_axis(columns, area.left, area.right, to.left, destWidth, from.left,
		sourceWidth, available.left, available.right, bilinear);
	map_axis(rows, area.top, area.bottom, to.top, destHeight, from.top,
		sourceHeight, available.top, available.bottom, bilinear);

	for (const PixelBox& clip : fClipping) {
		PixelBox part = area.Intersect(clip);
		if (part.IsEmpty())
			continue;
		for (int32 y = part.top; y <= part.bottom; y++) {
			int32 row = y - area.top;
			int32 sy = rows.first[row];
			if (!bilinear && (sy < available.top || sy > available.bottom))
				continue;
			uint8* d = fBits + (size_t)y * fBytesPerRow;
			for (int32 x = part.left; x <= part.right; x++) {
				int32 column = x - area.left;
				int32 sx = columns.first[column];
				bool transparent;
				rgb_color color;
				if (!bilinear) {
					if (sx < available.left || sx > available.right)
						continue;
					color = reader.Read(sx, sy, &transparent);
				} else {
					// Four neighbours; transparent ones do not count.
					int32 sx1 = columns.second[column], sy1 = rows.second[row];
					uint32 wx = columns.weight[column], wy = rows.weight[row];
					bool t[4];
					rgb_color c[4] = {reader.Read(sx, sy, &t[0]),
						reader.Read(sx1, sy, &t[1]), reader.Read(sx, sy1, &t[2]),
						reader.Read(sx1, sy1, &t[3])};
					uint32 w[4] = {(255 - wx) * (255 - wy), wx * (255 - wy),
						(255 - wx) * wy, wx * wy};
					uint32 total = 0, r = 0, g = 0, b = 0, a = 0;
					for (int i = 0; i < 4; i++) {
						if (t[i] && fMode != B_OP_COPY)
							continue;
						total += w[i];
						r += c[i].red * w[i];
						g += c[i].green * w[i];
						b += c[i].blue * w[i];
						a += c[i].alpha * w[i];
					}
					transparent = total == 0;
					if (transparent)
						continue;
					color = make_color((uint8)((r + total / 2) / total),
						(uint8)((g + total / 2) / total),
						(uint8)((b + total / 2) / total),
						(uint8)((a + total / 2) / total));
				}
				blender.Blend(d + x * 4, color, !transparent, 255);
			}
		}
	}
}

}
