// Colours, colour spaces, patterns and drawing modes of the Interface Kit.
//
// rgb_color is a plain value. The system colour map returned by
// system_colors() is owned by the library and lives as long as it does.
#ifndef _GRAPHICS_DEFS_H
#define _GRAPHICS_DEFS_H

#include <SupportDefs.h>

// An 8 x 8 bit pattern: a set bit selects the high colour, a clear bit the
// low colour. data[0] is the top row; its most significant bit is the
// leftmost pixel.
struct pattern {
	uint8 data[8];
};

extern const pattern B_SOLID_HIGH;
extern const pattern B_MIXED_COLORS;
extern const pattern B_SOLID_LOW;

inline bool operator==(const pattern& a, const pattern& b)
{
	for (int i = 0; i < 8; i++) {
		if (a.data[i] != b.data[i])
			return false;
	}
	return true;
}
inline bool operator!=(const pattern& a, const pattern& b) { return !(a == b); }

// Components are not premultiplied. alpha 255 is opaque; most drawing
// ignores alpha unless the view draws in B_OP_ALPHA.
struct rgb_color {
	uint8 red;
	uint8 green;
	uint8 blue;
	uint8 alpha;

	bool operator==(const rgb_color& other) const
		{ return red == other.red && green == other.green
			&& blue == other.blue && alpha == other.alpha; }
	bool operator!=(const rgb_color& other) const { return !(*this == other); }
};

// A helper that returns a colour from its components (alpha 255 unless given).
inline rgb_color make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
	rgb_color color = { red, green, blue, alpha };
	return color;
}

// The colour that means "no colour" (view colour: do not erase; bitmaps drawn
// in B_OP_OVER: skip this pixel). Only red, green and blue are compared when
// a pixel is tested against it.
extern const rgb_color B_TRANSPARENT_COLOR;
extern const rgb_color B_TRANSPARENT_32_BIT;
extern const uint8 B_TRANSPARENT_8_BIT;

// The same colour as stored in pixel memory.
#define B_TRANSPARENT_MAGIC_CMAP8   0xff
#define B_TRANSPARENT_MAGIC_RGBA32  0x00777477   // as a little-endian uint32 (B, G, R, A)

// The 8-bit system palette. color_list maps an index to a colour (index 255
// is B_TRANSPARENT_MAGIC_CMAP8), index_map maps a 15-bit colour
// (((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)) to the nearest index, and
// inversion_map maps an index to the index of its inverted colour.
struct color_map {
	int32 id;
	rgb_color color_list[256];
	uint8 inversion_map[256];
	uint8 index_map[32768];
};

const color_map* system_colors();

// Returns the palette index nearest to a colour (never the transparent
// index 255 unless the colour is B_TRANSPARENT_COLOR itself).
uint8 index_for_color(rgb_color color);

// Pixel formats. The *32 formats are four bytes a pixel in the order
// blue, green, red, alpha in memory (a little-endian uint32 0xAARRGGBB);
// B_RGB32 ignores the alpha byte.
enum color_space {
	B_NO_COLOR_SPACE = 0x0000,

	B_RGB32  = 0x0008,
	B_RGBA32 = 0x2008,
	B_RGB24  = 0x0003,
	B_RGB16  = 0x0005,
	B_RGB15  = 0x0010,
	B_RGBA15 = 0x2010,
	B_CMAP8  = 0x0004,
	B_GRAY8  = 0x0002,
	B_GRAY1  = 0x0001,

	B_RGB32_BIG  = 0x1008,
	B_RGBA32_BIG = 0x3008,
	B_RGB24_BIG  = 0x1003,
	B_RGB16_BIG  = 0x1005,
	B_RGB15_BIG  = 0x1010,
	B_RGBA15_BIG = 0x3010
};

// What the platform can do with a colour space (bitmaps_support_space).
enum {
	B_VIEWS_SUPPORT_DRAW_BITMAP = 0x1,
	B_BITMAPS_SUPPORT_ATTACHED_VIEWS = 0x2
};

bool bitmaps_support_space(color_space space, uint32* supportFlags);

// Bytes for one pixel (0 for spaces with less than a byte per pixel, and
// for unknown spaces).
size_t bytes_per_pixel(color_space space);

// How the source of a drawing operation is combined with what is already there.
enum drawing_mode {
	B_OP_COPY,
	B_OP_OVER,
	B_OP_ERASE,
	B_OP_INVERT,
	B_OP_ADD,
	B_OP_SUBTRACT,
	B_OP_BLEND,
	B_OP_MIN,
	B_OP_MAX,
	B_OP_SELECT,
	B_OP_ALPHA
};

// B_OP_ALPHA: where the alpha comes from ...
enum source_alpha {
	B_PIXEL_ALPHA = 0,
	B_CONSTANT_ALPHA
};

// ... and what happens to the destination's alpha.
enum alpha_function {
	B_ALPHA_OVERLAY = 0,
	B_ALPHA_COMPOSITE
};

// Screens. There is one, the main screen.
struct screen_id {
	int32 id;
};
extern const screen_id B_MAIN_SCREEN_ID;

#endif
