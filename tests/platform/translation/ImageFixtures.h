// Small images of every format the built-in translators read, made by the
// tests themselves: PNG through the platform's PNG writer and libpng, JPEG
// through libjpeg, GIF through giflib's encoder, BMP byte by byte. Pixel
// colours follow fixed patterns, so decoded bitmaps can be checked.
#ifndef TRANSLATION_TEST_IMAGE_FIXTURES_H
#define TRANSLATION_TEST_IMAGE_FIXTURES_H

#include <SupportDefs.h>

#include <string>

class BBitmap;

namespace fixture {

struct Rgba {
	uint8 r, g, b, a;
	bool operator==(const Rgba& o) const
		{ return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// The true-colour pattern (alpha 255 unless `alpha`).
Rgba test_pattern(int x, int y, bool alpha = false);
// The palette pattern: index of a pixel, and colour of an index (16 colours).
int palette_index(int x, int y);
Rgba palette_color(int index);

// The pixel of a decoded B_RGB32 / B_RGBA32 bitmap.
Rgba pixel(const BBitmap* bitmap, int x, int y);

// PNG written by the platform's PNG writer (RGB, or RGBA with `alpha`).
std::string png_via_writer(const std::string& path, int width, int height,
	bool alpha);
enum PngKind { kPngPaletteTransparent, kPngGray16, kPngInterlaced };
std::string png_bytes(PngKind kind, int width, int height);

// 8 x 8 blocks of the block colour (gray: its brightness).
Rgba block_color(int x, int y);
std::string jpeg_bytes(int width, int height, bool gray, int quality = 95);

// A 16-colour GIF of the palette pattern. `transparent`: an index shown
// transparent, or -1. The picture may be smaller than the screen and
// placed at (left, top).
std::string gif_bytes(int width, int height, bool interlaced,
	int transparent = -1, int screenWidth = 0, int screenHeight = 0,
	int left = 0, int top = 0);

enum BmpKind {
	kBmp24BottomUp,
	kBmp24TopDown,
	kBmp32,               // BGRx, no alpha
	kBmp32AlphaMasks,     // 124-byte header with an alpha mask (pattern alpha)
	kBmp16Masks565,
	kBmp8Palette,
	kBmp4Palette,
	kBmp8Rle,
	kBmpCore24            // the old 12-byte header
};
std::string bmp_bytes(BmpKind kind, int width, int height);
// What a 5-6-5 pixel keeps of the pattern.
Rgba test_pattern_565(int x, int y);

}

#endif
