// Reading real images of every built-in format into bitmaps, checked pixel
// by pixel, and what the roster says about them.
#include <gtest/gtest.h>

#include <Bitmap.h>
#include <DataIO.h>
#include <Entry.h>
#include <TranslationUtils.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include "ImageFixtures.h"
#include "TestUtil.h"

#include <stdlib.h>

#include <memory>
#include <string>

using namespace fixture;

namespace {

class DecodeTest : public ::testing::Test {
protected:
	void SetUp() override { ASSERT_EQ(B_OK, fRoster.AddTranslators(NULL)); }

	std::unique_ptr<BBitmap> Decode(const std::string& bytes)
	{
		BMemoryIO stream(bytes.data(), bytes.size());
		return std::unique_ptr<BBitmap>(BTranslationUtils::GetBitmap(&stream, &fRoster));
	}

	translator_info Identify(const std::string& bytes)
	{
		BMemoryIO stream(bytes.data(), bytes.size());
		translator_info info = {};
		EXPECT_EQ(B_OK, fRoster.Identify(&stream, NULL, &info));
		EXPECT_EQ(0, stream.Position()) << "the stream is left where it was";
		return info;
	}

	std::string TranslatorName(translator_id id)
	{
		const char* name = NULL;
		EXPECT_EQ(B_OK, fRoster.GetTranslatorInfo(id, &name, NULL, NULL));
		return name != NULL ? name : "";
	}

	BTranslatorRoster fRoster;
	testutil::TempDir fDir;
};

void
expect_size(const BBitmap* bitmap, int width, int height)
{
	ASSERT_NE(nullptr, bitmap);
	ASSERT_TRUE(bitmap->IsValid());
	EXPECT_EQ(width - 1, bitmap->Bounds().IntegerWidth());
	EXPECT_EQ(height - 1, bitmap->Bounds().IntegerHeight());
}

// Every pixel equals `expected(x, y)`.
template<typename Expected>
void
expect_pixels(const BBitmap* bitmap, int width, int height, Expected expected)
{
	expect_size(bitmap, width, height);
	int wrong = 0;
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			Rgba want = expected(x, y);
			Rgba got = pixel(bitmap, x, y);
			if (!(want == got) && wrong++ < 5) {
				ADD_FAILURE() << "pixel " << x << "," << y << ": got "
					<< (int)got.r << " " << (int)got.g << " " << (int)got.b
					<< " " << (int)got.a << ", want " << (int)want.r << " "
					<< (int)want.g << " " << (int)want.b << " " << (int)want.a;
			}
		}
	}
}

}

TEST_F(DecodeTest, PngFilesByPathRefAndStream)
{
	std::string rgb = png_via_writer(fDir.File("rgb.png"), 13, 7, false);
	std::string rgba = png_via_writer(fDir.File("rgba.png"), 13, 7, true);

	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(rgb.c_str(), &fRoster));
	expect_pixels(bitmap.get(), 13, 7, [](int x, int y) { return test_pattern(x, y); });
	EXPECT_EQ(B_RGB32, bitmap->ColorSpace());

	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(rgba.c_str(), &ref));
	bitmap.reset(BTranslationUtils::GetBitmap(&ref, &fRoster));
	expect_pixels(bitmap.get(), 13, 7, [](int x, int y) { return test_pattern(x, y, true); });
	EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());

	bitmap.reset(BTranslationUtils::GetBitmapFile(rgba.c_str(), &fRoster));
	EXPECT_NE(nullptr, bitmap);
	bitmap.reset(BTranslationUtils::GetBitmapFile(fDir.File("missing.png").c_str(), &fRoster));
	EXPECT_EQ(nullptr, bitmap);
}

TEST_F(DecodeTest, PngPaletteGrayAndInterlaced)
{
	auto bitmap = Decode(png_bytes(kPngPaletteTransparent, 9, 6));
	expect_pixels(bitmap.get(), 9, 6, [](int x, int y) {
		int index = palette_index(x, y);
		Rgba c = palette_color(index);
		if (index == 0)
			c.a = 0;   // the transparent entry
		return c;
	});
	EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());

	bitmap = Decode(png_bytes(kPngGray16, 9, 6));
	expect_pixels(bitmap.get(), 9, 6, [](int x, int y) {
		uint8 level = test_pattern(x, y).r;
		return Rgba{ level, level, level, 255 };
	});

	bitmap = Decode(png_bytes(kPngInterlaced, 17, 11));
	expect_pixels(bitmap.get(), 17, 11, [](int x, int y) { return test_pattern(x, y); });
}

TEST_F(DecodeTest, JpegColourAndGray)
{
	// Lossy: compare the middle of each 8 x 8 block, within a tolerance.
	for (bool gray : { false, true }) {
		SCOPED_TRACE(gray ? "gray" : "colour");
		auto bitmap = Decode(jpeg_bytes(40, 24, gray));
		expect_size(bitmap.get(), 40, 24);
		EXPECT_EQ(B_RGB32, bitmap->ColorSpace());
		for (int y = 4; y < 24; y += 8) {
			for (int x = 4; x < 40; x += 8) {
				Rgba want = block_color(x, y);
				if (gray)
					want.r = want.b = want.g;
				Rgba got = pixel(bitmap.get(), x, y);
				EXPECT_NEAR(want.r, got.r, 12) << x << "," << y;
				EXPECT_NEAR(want.g, got.g, 12) << x << "," << y;
				EXPECT_NEAR(want.b, got.b, 12) << x << "," << y;
				EXPECT_EQ(255, got.a);
			}
		}
	}
}

TEST_F(DecodeTest, GifPlainInterlacedTransparentAndPlaced)
{
	auto indexed = [](int x, int y) { return palette_color(palette_index(x, y)); };
	auto bitmap = Decode(gif_bytes(11, 9, false));
	expect_pixels(bitmap.get(), 11, 9, indexed);
	EXPECT_EQ(B_RGB32, bitmap->ColorSpace());

	bitmap = Decode(gif_bytes(11, 19, true));
	expect_pixels(bitmap.get(), 11, 19, indexed);

	bitmap = Decode(gif_bytes(11, 9, false, 3));
	expect_pixels(bitmap.get(), 11, 9, [](int x, int y) {
		int index = palette_index(x, y);
		return index == 3 ? Rgba{ 0, 0, 0, 0 } : palette_color(index);
	});
	EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());

	// A 4 x 3 picture at (2, 1) on a 8 x 6 screen: the rest is transparent.
	bitmap = Decode(gif_bytes(4, 3, false, -1, 8, 6, 2, 1));
	expect_pixels(bitmap.get(), 8, 6, [](int x, int y) {
		if (x < 2 || x >= 6 || y < 1 || y >= 4)
			return Rgba{ 0, 0, 0, 0 };
		return palette_color(palette_index(x - 2, y - 1));
	});
}

TEST_F(DecodeTest, BmpLayoutsAndDepths)
{
	auto truecolour = [](int x, int y) { return test_pattern(x, y); };
	auto indexed = [](int x, int y) { return palette_color(palette_index(x, y)); };
	struct Case {
		BmpKind kind;
		const char* name;
	};
	// Odd widths, so that every row carries padding.
	for (Case c : { Case{ kBmp24BottomUp, "24 bottom-up" }, Case{ kBmp24TopDown, "24 top-down" },
			Case{ kBmp32, "32" }, Case{ kBmpCore24, "core 24" } }) {
		SCOPED_TRACE(c.name);
		auto bitmap = Decode(bmp_bytes(c.kind, 7, 5));
		expect_pixels(bitmap.get(), 7, 5, truecolour);
		EXPECT_EQ(B_RGB32, bitmap->ColorSpace());
	}
	for (Case c : { Case{ kBmp8Palette, "8" }, Case{ kBmp4Palette, "4" },
			Case{ kBmp8Rle, "8 run-length" } }) {
		SCOPED_TRACE(c.name);
		auto bitmap = Decode(bmp_bytes(c.kind, 7, 5));
		expect_pixels(bitmap.get(), 7, 5, indexed);
	}

	auto bitmap = Decode(bmp_bytes(kBmp16Masks565, 7, 5));
	expect_pixels(bitmap.get(), 7, 5, test_pattern_565);

	bitmap = Decode(bmp_bytes(kBmp32AlphaMasks, 7, 5));
	expect_pixels(bitmap.get(), 7, 5, [](int x, int y) { return test_pattern(x, y, true); });
	EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());
}

TEST_F(DecodeTest, IdentifyNamesFormatAndTranslator)
{
	struct Case {
		std::string bytes;
		uint32 type;
		const char* mime;
		const char* translator;
	};
	const Case cases[] = {
		{ png_bytes(kPngInterlaced, 4, 4), B_PNG_FORMAT, "image/png", "PNG Images" },
		{ jpeg_bytes(8, 8, false), B_JPEG_FORMAT, "image/jpeg", "JPEG Images" },
		{ gif_bytes(4, 4, false), B_GIF_FORMAT, "image/gif", "GIF Images" },
		{ bmp_bytes(kBmp24BottomUp, 4, 4), B_BMP_FORMAT, "image/bmp", "BMP Images" },
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.translator);
		translator_info info = Identify(c.bytes);
		EXPECT_EQ(c.type, info.type);
		EXPECT_EQ((uint32)B_TRANSLATOR_BITMAP, info.group);
		EXPECT_STREQ(c.mime, info.MIME);
		EXPECT_EQ(c.translator, TranslatorName(info.translator));
	}

	// Text is nobody's image; and no built-in reader writes JPEG.
	std::string text = "just some words";
	BMemoryIO stream(text.data(), text.size());
	translator_info info;
	EXPECT_EQ(B_NO_TRANSLATOR, fRoster.Identify(&stream, NULL, &info));
	std::string jpeg = jpeg_bytes(8, 8, false);
	BMemoryIO jpegStream(jpeg.data(), jpeg.size());
	EXPECT_EQ(B_NO_TRANSLATOR, fRoster.Identify(&jpegStream, NULL, &info, 0, NULL,
		B_JPEG_FORMAT));
}

TEST_F(DecodeTest, StreamsAreReadFromWhereTheyStand)
{
	// An image after other data: the roster reads from the stream's
	// position, and leaves a failed stream where it found it.
	std::string bytes = "prefix" + gif_bytes(5, 4, false);
	BMemoryIO stream(bytes.data(), bytes.size());
	stream.Seek(6, SEEK_SET);
	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(&stream, &fRoster));
	expect_pixels(bitmap.get(), 5, 4, [](int x, int y) { return palette_color(palette_index(x, y)); });

	stream.Seek(2, SEEK_SET);
	bitmap.reset(BTranslationUtils::GetBitmap(&stream, &fRoster));
	EXPECT_EQ(nullptr, bitmap);
	EXPECT_EQ(2, stream.Position());
}
