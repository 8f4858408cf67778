#include "DrawingTestUtil.h"

#include <TestUtil.h>

#include "interface/PngWriter.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

// Writes one B_RGB32 pixel into a bitmap.
void
set_pixel(BBitmap& bitmap, int32 x, int32 y, rgb_color c)
{
	uint8* p = (uint8*)bitmap.Bits() + y * bitmap.BytesPerRow() + x * 4;
	p[0] = c.blue;
	p[1] = c.green;
	p[2] = c.red;
	p[3] = c.alpha;
}

}

TEST(Bitmap, GeometryAndStorage)
{
	BBitmap bitmap(BRect(10, 10, 41, 25), B_RGB32);
	ASSERT_EQ(bitmap.InitCheck(), B_OK);
	EXPECT_EQ(bitmap.Bounds(), BRect(0, 0, 31, 15)) << "bounds start at the origin";
	EXPECT_GE(bitmap.BytesPerRow(), 32 * 4);
	EXPECT_EQ(bitmap.BitsLength(), bitmap.BytesPerRow() * 16);
	EXPECT_EQ(bitmap.ColorSpace(), B_RGB32);

	BBitmap icon(BRect(0, 0, 30, 30), B_CMAP8);
	ASSERT_TRUE(icon.IsValid());
	EXPECT_EQ(icon.BytesPerRow(), 32) << "CMAP8 rows are padded to four bytes";

	// Unusable requests fail cleanly.
	EXPECT_EQ(BBitmap(BRect(), B_RGB32).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BBitmap(BRect(0, 0, 9, 9), B_RGB16).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BBitmap(BRect(0, 0, 9, 9), 0, B_RGB32, 8).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BBitmap(BRect(0, 0, 1e6f, 1e6f), B_RGB32).InitCheck(), B_BAD_VALUE);
	BBitmap invalid(BRect(), B_RGB32);
	EXPECT_EQ(invalid.Bits(), nullptr);
	invalid.SetBits("abcd", 4, 0, B_RGB32);   // harmless

	// A bitmap that accepts views can be locked and starts without any; one
	// in a space views cannot draw into refuses them.
	BBitmap offscreen(BRect(0, 0, 9, 9), B_RGB32, true);
	EXPECT_TRUE(offscreen.Lock());
	offscreen.Unlock();
	EXPECT_EQ(offscreen.CountChildren(), 0);
	EXPECT_EQ(offscreen.FindView("x"), nullptr);
	BBitmap indexed(BRect(0, 0, 9, 9), B_CMAP8, true);
	EXPECT_FALSE(indexed.Lock());
}

TEST(Bitmap, SetBitsConvertsAndStaysInside)
{
	// 32-bit pixels into a CMAP8 bitmap: nearest palette entries.
	BBitmap icon(BRect(0, 0, 1, 1), B_CMAP8);
	uint8 rgb[16] = {0, 0, 255, 255,  255, 255, 255, 255,
		0x77, 0x74, 0x77, 0,  0, 0, 0, 255};   // B, G, R, A each
	icon.SetBits(rgb, sizeof(rgb), 0, B_RGB32);
	const uint8* index = (const uint8*)icon.Bits();
	const color_map* map = system_colors();
	EXPECT_TRUE(same_rgb(map->color_list[index[0]], kRed));
	EXPECT_TRUE(same_rgb(map->color_list[index[1]], kWhite));
	EXPECT_EQ(index[4], B_TRANSPARENT_MAGIC_CMAP8) << "second row starts after the padding";
	EXPECT_TRUE(same_rgb(map->color_list[index[5]], kBlack));

	// Palette indices into a 32-bit bitmap, source rows padded to 4 bytes.
	BBitmap colour(BRect(0, 0, 1, 1), B_RGBA32);
	uint8 indices[8] = {index[0], index[1], 0, 0, index[4], index[5], 0, 0};
	colour.SetBits(indices, sizeof(indices), 0, B_CMAP8);
	const uint8* p = (const uint8*)colour.Bits();
	EXPECT_EQ(p[2], 255);
	EXPECT_EQ(p[3], 255);
	int32 row = colour.BytesPerRow();
	EXPECT_EQ(p[row + 3], 0) << "the transparent index has no alpha";

	// Far too much data, or an offset past the end, never writes outside.
	BBitmap small(BRect(0, 0, 1, 0), B_RGB32);
	uint8 plenty[64];
	memset(plenty, 0x42, sizeof(plenty));
	small.SetBits(plenty, sizeof(plenty), 4, B_RGB32);
	EXPECT_EQ(((const uint8*)small.Bits())[4], 0x42);
	small.SetBits(plenty, sizeof(plenty), 1000, B_RGB32);
	small.SetBits(plenty, sizeof(plenty), 0, B_CMAP8);
}

TEST(Bitmap, SystemPaletteIsConsistent)
{
	const color_map* map = system_colors();
	EXPECT_TRUE(same_rgb(map->color_list[B_TRANSPARENT_MAGIC_CMAP8], B_TRANSPARENT_COLOR));
	EXPECT_TRUE(same_rgb(map->color_list[index_for_color(kBlack)], kBlack));
	EXPECT_TRUE(same_rgb(map->color_list[index_for_color(kWhite)], kWhite));
	EXPECT_EQ(index_for_color(B_TRANSPARENT_COLOR), B_TRANSPARENT_MAGIC_CMAP8);
	// Every colour maps to a real (non-transparent) entry close to it.
	for (int c = 0; c < 32768; c += 97) {
		uint8 i = map->index_map[c];
		EXPECT_NE(i, B_TRANSPARENT_MAGIC_CMAP8);
		rgb_color want = make_color((c >> 10) << 3, ((c >> 5) & 31) << 3, (c & 31) << 3);
		rgb_color got = map->color_list[i];
		int error = abs(got.red - want.red) + abs(got.green - want.green)
			+ abs(got.blue - want.blue);
		EXPECT_LE(error, 80) << c << " became " << got;
	}
	EXPECT_TRUE(same_rgb(map->color_list[map->inversion_map[index_for_color(kBlack)]], kWhite));
	// Colours of the cube map to themselves.
	EXPECT_TRUE(same_rgb(map->color_list[index_for_color(make_color(51, 204, 102))],
		make_color(51, 204, 102)));
}

TEST(Bitmap, ScaledTwoByTwoIntoFourByFour)
{
	BBitmap source(BRect(0, 0, 1, 1), B_RGB32);
	set_pixel(source, 0, 0, kRed);
	set_pixel(source, 1, 0, kBlue);
	set_pixel(source, 0, 1, kBlack);
	set_pixel(source, 1, 1, make_color(0, 255, 0));

	Canvas canvas(10, 10);
	canvas.painter.DrawBitmap(&source, source.Bounds(), BRect(2, 2, 5, 5));
	// Each source pixel becomes a 2 x 2 block; nothing outside changes.
	EXPECT_EQ(canvas.CountExactly(BRect(2, 2, 3, 3), kRed), 4);
	EXPECT_EQ(canvas.CountExactly(BRect(4, 2, 5, 3), kBlue), 4);
	EXPECT_EQ(canvas.CountExactly(BRect(2, 4, 3, 5), kBlack), 4);
	EXPECT_EQ(canvas.CountExactly(BRect(4, 4, 5, 5), make_color(0, 255, 0)), 4);
	EXPECT_EQ(canvas.InkBounds(), BRect(2, 2, 5, 5));

	// Bilinear: corners keep their colours, the middle is mixed.
	Canvas smooth(10, 10);
	smooth.painter.DrawBitmap(&source, source.Bounds(), BRect(0, 0, 7, 0 + 7),
		B_FILTER_BITMAP_BILINEAR);
	EXPECT_TRUE(same_rgb(smooth.Pixel(0, 0), kRed));
	rgb_color middle = smooth.Pixel(3, 0);
	EXPECT_GT(middle.red, 60);
	EXPECT_GT(middle.blue, 60);

	// Part of the bitmap, unscaled, at a point.
	Canvas part(4, 4);
	part.painter.DrawBitmap(&source, BRect(1, 1, 1, 1), BRect(0, 0, 0, 0));
	EXPECT_TRUE(same_rgb(part.Pixel(0, 0), make_color(0, 255, 0)));
	EXPECT_EQ(part.InkBounds(), BRect(0, 0, 0, 0));
	// A source rectangle reaching past the bitmap draws only what exists.
	Canvas beyond(6, 6);
	beyond.painter.DrawBitmap(&source, BRect(0, 0, 3, 3), BRect(0, 0, 3, 3));
	EXPECT_EQ(beyond.InkBounds(), BRect(0, 0, 1, 1));
}

TEST(Bitmap, CopyOverAndAlphaModes)
{
	BBitmap source(BRect(0, 0, 2, 0), B_RGBA32);
	set_pixel(source, 0, 0, make_color(255, 0, 0, 255));
	set_pixel(source, 1, 0, B_TRANSPARENT_COLOR);
	set_pixel(source, 2, 0, make_color(0, 0, 255, 64));

	Canvas copy(3, 1);
	copy.painter.DrawBitmap(&source, BPoint(0, 0));
	EXPECT_TRUE(same_rgb(copy.Pixel(1, 0), B_TRANSPARENT_COLOR))
		<< "B_OP_COPY copies even the transparent colour";
	EXPECT_TRUE(same_rgb(copy.Pixel(2, 0), kBlue)) << "and ignores alpha";

	Canvas over(3, 1);
	over.painter.SetDrawingMode(B_OP_OVER);
	over.painter.DrawBitmap(&source, BPoint(0, 0));
	EXPECT_TRUE(same_rgb(over.Pixel(0, 0), kRed));
	EXPECT_TRUE(same_rgb(over.Pixel(1, 0), kWhite)) << "transparent pixel skipped";
	EXPECT_TRUE(same_rgb(over.Pixel(2, 0), kBlue));

	Canvas alpha(3, 1);
	alpha.painter.SetDrawingMode(B_OP_ALPHA);
	alpha.painter.SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_OVERLAY);
	alpha.painter.DrawBitmap(&source, BPoint(0, 0));
	EXPECT_TRUE(same_rgb(alpha.Pixel(0, 0), kRed));
	EXPECT_TRUE(same_rgb(alpha.Pixel(1, 0), kWhite));
	EXPECT_TRUE(near_rgb(alpha.Pixel(2, 0), make_color(191, 191, 255), 1)) << alpha.Pixel(2, 0);

	// Constant alpha takes the high colour's alpha instead of the pixel's.
	Canvas constant(3, 1);
	constant.painter.SetDrawingMode(B_OP_ALPHA);
	constant.painter.SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_OVERLAY);
	constant.painter.SetHighColor(make_color(0, 0, 0, 128));
	constant.painter.DrawBitmap(&source, BPoint(0, 0));
	EXPECT_TRUE(near_rgb(constant.Pixel(0, 0), make_color(255, 127, 127), 1))
		<< constant.Pixel(0, 0);
	EXPECT_TRUE(near_rgb(constant.Pixel(2, 0), make_color(127, 127, 255), 1));
}

TEST(Bitmap, Cmap8DrawsThroughTheSystemPalette)
{
	BBitmap icon(BRect(0, 0, 2, 0), B_CMAP8);
	uint8* index = (uint8*)icon.Bits();
	index[0] = index_for_color(kRed);
	index[1] = B_TRANSPARENT_MAGIC_CMAP8;
	index[2] = index_for_color(kBlue);

	Canvas canvas(6, 2);
	canvas.painter.SetDrawingMode(B_OP_OVER);
	canvas.painter.DrawBitmap(&icon, BPoint(1, 1));
	EXPECT_TRUE(same_rgb(canvas.Pixel(1, 1), kRed));
	EXPECT_TRUE(same_rgb(canvas.Pixel(2, 1), kWhite));
	EXPECT_TRUE(same_rgb(canvas.Pixel(3, 1), kBlue));
	// Scaled, still through the palette.
	canvas.painter.DrawBitmap(&icon, icon.Bounds(), BRect(0, 0, 5, 0));
	EXPECT_TRUE(same_rgb(canvas.Pixel(0, 0), kRed));
	EXPECT_TRUE(same_rgb(canvas.Pixel(1, 0), kRed));
	EXPECT_TRUE(same_rgb(canvas.Pixel(2, 0), kWhite));
	EXPECT_TRUE(same_rgb(canvas.Pixel(5, 0), kBlue));
}

TEST(Bitmap, DrawingIntoABitmapAndCopyingItIsClipped)
{
	Canvas first(8, 8);
	first.painter.SetHighColor(kRed);
	first.painter.FillRect(first.All());
	Canvas second(8, 8);
	BRect clip(2, 2, 5, 5);
	second.painter.SetClipping(&clip, 1);
	second.painter.DrawBitmap(&first.bitmap, BPoint(0, 0));
	EXPECT_EQ(second.CountExactly(second.All(), kRed), 16);
	EXPECT_EQ(second.InkBounds(), clip);
}

TEST(PngWriter, WritesReadablePictures)
{
	testutil::TempDir dir;
	Canvas canvas(5, 3);
	canvas.painter.SetHighColor(kRed);
	canvas.painter.FillRect(BRect(0, 0, 0, 0));
	std::string path = dir.File("canvas.png");
	ASSERT_EQ(BPrivate::write_png(path.c_str(), &canvas.bitmap), B_OK);
	std::string data = testutil::read_file(path);
	ASSERT_GT(data.size(), 8u);
	EXPECT_EQ(data.substr(1, 3), "PNG");
	// Width and height in the header (big-endian, after the signature).
	EXPECT_EQ((uint8)data[19], 5);
	EXPECT_EQ((uint8)data[23], 3);

	BBitmap icon(BRect(0, 0, 3, 3), B_CMAP8);
	EXPECT_EQ(BPrivate::write_png(dir.File("icon.png").c_str(), &icon), B_OK);
	EXPECT_NE(BPrivate::write_png(dir.File("missing/x.png").c_str(), &icon), B_OK);
	EXPECT_TRUE(testutil::read_file(dir.File("missing/x.png.part")).empty());
	EXPECT_EQ(testutil::folder_names(dir.Path()),
		(std::vector<std::string>{"canvas.png", "icon.png"}));
	EXPECT_EQ(BPrivate::write_png(path.c_str(), nullptr), B_BAD_VALUE);
}
