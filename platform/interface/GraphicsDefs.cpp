#include <GraphicsDefs.h>

#include <stdlib.h>

const pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
const pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};
const pattern B_SOLID_LOW = {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};

const rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};
const rgb_color B_TRANSPARENT_32_BIT = {0x77, 0x74, 0x77, 0x00};
const uint8 B_TRANSPARENT_8_BIT = B_TRANSPARENT_MAGIC_CMAP8;

const screen_id B_MAIN_SCREEN_ID = {0};

// The 8-bit palette:
//   0 ..  31  a grey ramp from black to white,
//  32 .. 247  a 6 x 6 x 6 colour cube (levels 0, 51, 102, 153, 204, 255),
// 248 .. 254  the light greys and the blue that the interface uses most,
//       255  the transparent colour.
// Icons drawn for this platform use these indices; the layout is fixed.
namespace {

const int kGreyCount = 32;
const int kCubeStart = 32;
const int kExtraStart = 248;
const rgb_color kExtras[7] = {
	{216, 216, 216, 255}, {232, 232, 232, 255}, {244, 244, 244, 255},
	{184, 184, 184, 255}, {152, 152, 152, 255}, {66, 133, 230, 255},
	{255, 203, 0, 255}
};

int
distance(rgb_color a, int r, int g, int b)
{
	int dr = a.red - r, dg = a.green - g, db = a.blue - b;
	// Weighted towards green, as the eye is.
	return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

uint8
nearest_index(const color_map& map, int r, int g, int b)
{
	// The cube is separable: the nearest level per channel gives its best
	// entry; the greys and extras are few enough to try one by one.
	int ri = (r + 25) / 51, gi = (g + 25) / 51, bi = (b + 25) / 51;
	int best = kCubeStart + ri * 36 + gi * 6 + bi;
	int bestDistance = distance(map.color_list[best], r, g, b);
	for (int i = 0; i < 255; i++) {
		if (i == kCubeStart)
			i = kExtraStart;
		int d = distance(map.color_list[i], r, g, b);
		if (d < bestDistance) {
			bestDistance = d;
			best = i;
		}
	}
	return (uint8)best;
}

color_map*
build_system_colors()
{
	color_map* map = (color_map*)calloc(1, sizeof(color_map));
	if (map == NULL)
		abort();
	for (int i = 0; i < kGreyCount; i++) {
		uint8 v = (uint8)((i * 255 + 15) / 31);
		map->color_list[i] = {v, v, v, 255};
	}
	for (int r = 0; r < 6; r++) {
		for (int g = 0; g < 6; g++) {
			for (int b = 0; b < 6; b++) {
				map->color_list[kCubeStart + r * 36 + g * 6 + b]
					= {(uint8)(r * 51), (uint8)(g * 51), (uint8)(b * 51), 255};
			}
		}
	}
	for (int i = 0; i < 7; i++)
		map->color_list[kExtraStart + i] = kExtras[i];
	map->color_list[B_TRANSPARENT_MAGIC_CMAP8] = B_TRANSPARENT_COLOR;

	for (int c = 0; c < 32768; c++) {
		int r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
		map->index_map[c] = nearest_index(*map, (r << 3) | (r >> 2),
			(g << 3) | (g >> 2), (b << 3) | (b >> 2));
	}
	for (int i = 0; i < 255; i++) {
		rgb_color color = map->color_list[i];
		map->inversion_map[i] = nearest_index(*map, 255 - color.red,
			255 - color.green, 255 - color.blue);
	}
	map->inversion_map[B_TRANSPARENT_MAGIC_CMAP8] = B_TRANSPARENT_MAGIC_CMAP8;
	return map;
}

}

const color_map*
system_colors()
{
	// Built once, on first use, and kept for the life of the process.
	static const color_map* sMap = build_system_colors();
	return sMap;
}

uint8
index_for_color(rgb_color color)
{
	if (color.red == B_TRANSPARENT_COLOR.red && color.green == B_TRANSPARENT_COLOR.green
		&& color.blue == B_TRANSPARENT_COLOR.blue)
		return B_TRANSPARENT_MAGIC_CMAP8;
	return system_colors()->index_map[((color.red >> 3) << 10)
		| ((color.green >> 3) << 5) | (color.blue >> 3)];
}

bool
bitmaps_support_space(color_space space, uint32* supportFlags)
{
	uint32 flags = 0;
	switch (space) {
		case B_RGB32:
		case B_RGBA32:
			flags = B_VIEWS_SUPPORT_DRAW_BITMAP | B_BITMAPS_SUPPORT_ATTACHED_VIEWS;
			break;
		case B_CMAP8:
			flags = B_VIEWS_SUPPORT_DRAW_BITMAP;
			break;
		default:
			break;
	}
	if (supportFlags != NULL)
		*supportFlags = flags;
	return flags != 0;
}

size_t
bytes_per_pixel(color_space space)
{
	switch (space) {
		case B_RGB32: case B_RGBA32: case B_RGB32_BIG: case B_RGBA32_BIG:
			return 4;
		case B_RGB24: case B_RGB24_BIG:
			return 3;
		case B_RGB16: case B_RGB15: case B_RGBA15:
		case B_RGB16_BIG: case B_RGB15_BIG: case B_RGBA15_BIG:
			return 2;
		case B_CMAP8: case B_GRAY8:
			return 1;
		default:
			return 0;
	}
}
