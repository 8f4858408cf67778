// BBitmapStream: the standard bitmap format in and out of a BBitmap, and
// writing bitmaps as PNG through the roster.
#include <gtest/gtest.h>

#include <Bitmap.h>
#include <BitmapStream.h>
#include <DataIO.h>
#include <Message.h>
#include <TranslationUtils.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include "ImageFixtures.h"

#include <string.h>

#include <memory>
#include <string>
#include <vector>

using namespace fixture;

namespace {

void
put_be32(std::vector<uint8>& out, size_t at, uint32 value)
{
	out[at] = value >> 24;
	out[at + 1] = value >> 16;
	out[at + 2] = value >> 8;
	out[at + 3] = value;
}

uint32
get_be32(const uint8* bytes)
{
	return ((uint32)bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

float
get_be_float(const uint8* bytes)
{
	uint32 raw = get_be32(bytes);
	float value;
	memcpy(&value, &raw, 4);
	return value;
}

// A standard-format header, as a translator writes it.
std::vector<uint8>
header(int width, int height, uint32 space, uint32 rowBytes, uint32 dataSize,
	uint32 magic = B_TRANSLATOR_BITMAP)
{
	std::vector<uint8> bytes(32);
	put_be32(bytes, 0, magic);
	float bounds[4] = { 0, 0, (float)(width - 1), (float)(height - 1) };
	for (int i = 0; i < 4; i++) {
		uint32 raw;
		memcpy(&raw, &bounds[i], 4);
		put_be32(bytes, 4 + i * 4, raw);
	}
	put_be32(bytes, 20, rowBytes);
	put_be32(bytes, 24, space);
	put_be32(bytes, 28, dataSize);
	return bytes;
}

std::unique_ptr<BBitmap>
pattern_bitmap(int width, int height, bool alpha)
{
	auto bitmap = std::make_unique<BBitmap>(BRect(0, 0, width - 1, height - 1),
		alpha ? B_RGBA32 : B_RGB32);
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			Rgba c = test_pattern(x, y, alpha);
			uint8* p = (uint8*)bitmap->Bits() + y * bitmap->BytesPerRow() + x * 4;
			p[0] = c.b;
			p[1] = c.g;
			p[2] = c.r;
			p[3] = c.a;
		}
	}
	return bitmap;
}

}

TEST(BitmapStream, ReadsHeaderBigEndianThenPixels)
{
	std::unique_ptr<BBitmap> source = pattern_bitmap(3, 2, true);
	BBitmap* bitmap = source.release();
	BBitmapStream stream(bitmap);
	EXPECT_EQ(32 + bitmap->BitsLength(), stream.Size());

	uint8 head[32];
	ASSERT_EQ(32, stream.Read(head, sizeof(head)));
	EXPECT_EQ(0, memcmp(head, "bits", 4));
	EXPECT_EQ(0.0f, get_be_float(head + 4));
	EXPECT_EQ(0.0f, get_be_float(head + 8));
	EXPECT_EQ(2.0f, get_be_float(head + 12));
	EXPECT_EQ(1.0f, get_be_float(head + 16));
	EXPECT_EQ((uint32)bitmap->BytesPerRow(), get_be32(head + 20));
	EXPECT_EQ((uint32)B_RGBA32, get_be32(head + 24));
	EXPECT_EQ((uint32)bitmap->BitsLength(), get_be32(head + 28));

	std::vector<uint8> pixels(bitmap->BitsLength() + 10);
	EXPECT_EQ(bitmap->BitsLength(), stream.Read(pixels.data(), pixels.size()));
	EXPECT_EQ(0, memcmp(pixels.data(), bitmap->Bits(), bitmap->BitsLength()));
	EXPECT_EQ(0, stream.Read(pixels.data(), 1)) << "nothing past the end";

	BBitmap* detached = NULL;
	ASSERT_EQ(B_OK, stream.DetachBitmap(&detached));
	EXPECT_EQ(bitmap, detached);
	EXPECT_EQ(B_ERROR, stream.DetachBitmap(&detached));
	EXPECT_EQ(B_BAD_VALUE, stream.DetachBitmap(NULL));
	delete detached;
}

TEST(BitmapStream, BuildsBitmapFromHeaderAndPixelsWrittenInPieces)
{
	const int width = 3, height = 2;
	std::vector<uint8> bytes = header(width, height, B_RGBA32, width * 4, width * height * 4);
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			Rgba c = test_pattern(x, y, true);
			bytes.insert(bytes.end(), { c.b, c.g, c.r, c.a });
		}
	}
	// The fields out of order, then odd-sized pieces across the boundary.
	BBitmapStream stream;
	EXPECT_EQ(8, stream.WriteAt(24, bytes.data() + 24, 8));
	EXPECT_EQ(0, stream.Size());
	EXPECT_EQ(20, stream.WriteAt(4, bytes.data() + 4, 20));
	EXPECT_EQ(4, stream.WriteAt(0, bytes.data(), 4));
	EXPECT_EQ((off_t)bytes.size(), stream.Size());
	stream.Seek(32, SEEK_SET);
	for (size_t at = 32; at < bytes.size(); at += 5)
		ASSERT_GT(stream.Write(bytes.data() + at, std::min<size_t>(5, bytes.size() - at)), 0);
	// Past the end: cut short.
	EXPECT_EQ(0, stream.WriteAt(bytes.size(), "x", 1));

	BBitmap* raw = NULL;
	ASSERT_EQ(B_OK, stream.DetachBitmap(&raw));
	std::unique_ptr<BBitmap> bitmap(raw);
	EXPECT_EQ(B_RGBA32, bitmap->ColorSpace());
	for (int y = 0; y < height; y++)
		for (int x = 0; x < width; x++)
			EXPECT_EQ(test_pattern(x, y, true), pixel(bitmap.get(), x, y));
	EXPECT_EQ(0, stream.Size()) << "detaching empties the stream";
}

TEST(BitmapStream, ConvertsOtherColourSpaces)
{
	struct Case {
		color_space space;
		int bytesPerPixel;
	};
	const int width = 5, height = 3;
	for (Case c : { Case{ B_RGB24, 3 }, Case{ B_RGB24_BIG, 3 }, Case{ B_RGB32_BIG, 4 },
			Case{ B_GRAY8, 1 }, Case{ B_RGB32, 4 } }) {
		SCOPED_TRACE(c.space);
		// Rows padded by 3 bytes, which no BBitmap keeps as they are.
		const uint32 rowBytes = width * c.bytesPerPixel + 3;
		std::vector<uint8> bytes = header(width, height, c.space, rowBytes, rowBytes * height);
		for (int y = 0; y < height; y++) {
			for (int x = 0; x < width; x++) {
				Rgba p = test_pattern(x, y);
				switch (c.space) {
					case B_RGB24: bytes.insert(bytes.end(), { p.b, p.g, p.r }); break;
					case B_RGB24_BIG: bytes.insert(bytes.end(), { p.r, p.g, p.b }); break;
					case B_RGB32_BIG: bytes.insert(bytes.end(), { 0, p.r, p.g, p.b }); break;
					case B_RGB32: bytes.insert(bytes.end(), { p.b, p.g, p.r, 0 }); break;
					default: bytes.push_back(p.r); break;
				}
			}
			bytes.insert(bytes.end(), 3, 0xee);
		}
		BBitmapStream stream;
		ASSERT_EQ((ssize_t)bytes.size(), stream.Write(bytes.data(), bytes.size()));
		BBitmap* raw = NULL;
		ASSERT_EQ(B_OK, stream.DetachBitmap(&raw));
		std::unique_ptr<BBitmap> bitmap(raw);
		EXPECT_EQ(B_RGB32, bitmap->ColorSpace());
		for (int y = 0; y < height; y++) {
			for (int x = 0; x < width; x++) {
				Rgba want = test_pattern(x, y);
				if (c.space == B_GRAY8)
					want.g = want.b = want.r;
				EXPECT_EQ(want, pixel(bitmap.get(), x, y)) << x << "," << y;
			}
		}
	}
}

TEST(BitmapStream, RefusesUnusableHeaders)
{
	struct Case {
		const char* name;
		std::vector<uint8> bytes;
	};
	const Case cases[] = {
		{ "not a bitmap", header(4, 4, B_RGB32, 16, 64, 'TEXT') },
		{ "too large", header(100000, 100000, B_RGB32, 400000, 0xffffffffu) },
		{ "rows too short", header(4, 4, B_RGB32, 12, 64) },
		{ "data too short", header(4, 4, B_RGB32, 16, 60) },
		{ "unknown colour space", header(4, 4, 0x7777, 16, 64) },
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		BBitmapStream stream;
		EXPECT_EQ(B_BAD_VALUE, stream.Write(c.bytes.data(), c.bytes.size()));
		EXPECT_EQ(0, stream.Size());
		BBitmap* bitmap = NULL;
		EXPECT_EQ(B_ERROR, stream.DetachBitmap(&bitmap));
		EXPECT_EQ(nullptr, bitmap);

		// A good header may still follow.
		std::vector<uint8> good = header(2, 2, B_RGB32, 8, 16);
		EXPECT_EQ(32, stream.WriteAt(0, good.data(), good.size()));
		EXPECT_EQ(48, stream.Size());
	}

	// Once the bitmap exists, its header stays.
	BBitmapStream stream;
	std::vector<uint8> good = header(2, 2, B_RGB32, 8, 16);
	ASSERT_EQ(32, stream.Write(good.data(), good.size()));
	EXPECT_EQ(32, stream.WriteAt(0, good.data(), good.size()));
	std::vector<uint8> other = header(3, 2, B_RGB32, 12, 24);
	EXPECT_EQ(B_BAD_VALUE, stream.WriteAt(0, other.data(), other.size()));
}

TEST(BitmapStream, WritesPngThroughTheRosterAndReadsItBack)
{
	BTranslatorRoster roster;
	ASSERT_EQ(B_OK, roster.AddTranslators(NULL));
	for (bool alpha : { false, true }) {
		SCOPED_TRACE(alpha ? "with alpha" : "opaque");
		BBitmapStream input(pattern_bitmap(9, 4, alpha).release());
		BMallocIO png;
		ASSERT_EQ(B_OK, roster.Translate(&input, NULL, NULL, &png, B_PNG_FORMAT));
		ASSERT_GT(png.BufferLength(), 8u);
		EXPECT_EQ(0, memcmp(png.Buffer(), "\x89PNG", 4));

		png.Seek(0, SEEK_SET);
		std::unique_ptr<BBitmap> back(BTranslationUtils::GetBitmap(&png, &roster));
		ASSERT_NE(nullptr, back);
		EXPECT_EQ(alpha ? B_RGBA32 : B_RGB32, back->ColorSpace());
		for (int y = 0; y < 4; y++)
			for (int x = 0; x < 9; x++)
				EXPECT_EQ(test_pattern(x, y, alpha), pixel(back.get(), x, y));
	}

	// Only the header, when asked.
	std::string gif = gif_bytes(6, 5, false);
	BMemoryIO source(gif.data(), gif.size());
	BMessage extension;
	extension.AddBool(B_TRANSLATOR_EXT_HEADER_ONLY, true);
	BMallocIO out;
	ASSERT_EQ(B_OK, roster.Translate(&source, NULL, &extension, &out, B_TRANSLATOR_BITMAP));
	ASSERT_EQ(32u, out.BufferLength());
	const uint8* head = (const uint8*)out.Buffer();
	EXPECT_EQ(5.0f, get_be_float(head + 12));
	EXPECT_EQ(4.0f, get_be_float(head + 16));
	EXPECT_EQ(24u, get_be32(head + 20));
}
