// Damaged, cut-short and hostile files: every decoder fails cleanly with
// an error (and no bitmap), never crashes, and never reserves memory for a
// size that a header merely claims.
#include <gtest/gtest.h>

#include <Bitmap.h>
#include <BitmapStream.h>
#include <DataIO.h>
#include <TranslationUtils.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include "ImageFixtures.h"

#include <string.h>
#include <sys/resource.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

using namespace fixture;

namespace {

struct Sample {
	const char* name;
	std::string bytes;
};

std::vector<Sample>
samples()
{
	return {
		{ "png", png_bytes(kPngInterlaced, 23, 17) },
		{ "png palette", png_bytes(kPngPaletteTransparent, 23, 17) },
		{ "jpeg", jpeg_bytes(48, 32, false) },
		{ "gif", gif_bytes(23, 17, false) },
		{ "gif interlaced", gif_bytes(23, 17, true, 2) },
		{ "bmp 24", bmp_bytes(kBmp24BottomUp, 23, 17) },
		{ "bmp 4", bmp_bytes(kBmp4Palette, 23, 17) },
		{ "bmp 16", bmp_bytes(kBmp16Masks565, 23, 17) },
		{ "bmp run-length", bmp_bytes(kBmp8Rle, 23, 17) },
	};
}

class CorruptInputTest : public ::testing::Test {
protected:
	void SetUp() override { ASSERT_EQ(B_OK, fRoster.AddTranslators(NULL)); }

	// Translates to the standard bitmap format and returns the result.
	status_t Translate(const std::string& bytes)
	{
		BMemoryIO source(bytes.data(), bytes.size());
		BBitmapStream destination;
		return fRoster.Translate(&source, NULL, NULL, &destination, B_TRANSLATOR_BITMAP);
	}

	std::unique_ptr<BBitmap> Decode(const std::string& bytes)
	{
		BMemoryIO stream(bytes.data(), bytes.size());
		return std::unique_ptr<BBitmap>(BTranslationUtils::GetBitmap(&stream, &fRoster));
	}

	BTranslatorRoster fRoster;
};

// Replaces the IHDR width and height of a PNG, with a fresh checksum.
std::string
png_with_size(std::string png, uint32 width, uint32 height)
{
	auto put = [&](size_t at, uint32 value) {
		png[at] = (char)(value >> 24);
		png[at + 1] = (char)(value >> 16);
		png[at + 2] = (char)(value >> 8);
		png[at + 3] = (char)value;
	};
	put(16, width);
	put(20, height);
	uint32 crc = crc32(0, (const Bytef*)png.data() + 12, 17);
	put(29, crc);
	return png;
}

}

TEST_F(CorruptInputTest, CutShortFilesGiveNoBitmap)
{
	for (const Sample& sample : samples()) {
		SCOPED_TRACE(sample.name);
		ASSERT_NE(nullptr, Decode(sample.bytes)) << "the whole file reads";
		const size_t size = sample.bytes.size();
		// Every length through the headers, then steps through the pixels.
		// The last bytes are left out of it: end markers and checksums after
		// the last pixel are not needed to show the picture.
		for (size_t length = 0; length + 40 < size; length += length < 200 ? 1 : 7) {
			std::string cut = sample.bytes.substr(0, length);
			status_t status = Translate(cut);
			EXPECT_NE(B_OK, status) << "cut to " << length << " of " << size;
			EXPECT_EQ(nullptr, Decode(cut)) << "cut to " << length;
		}
	}
}

TEST_F(CorruptInputTest, ErrorsSayWhatWentWrong)
{
	EXPECT_EQ(B_NO_TRANSLATOR, Translate("hello, world"));
	EXPECT_EQ(B_NO_TRANSLATOR, Translate(""));
	std::string png = png_bytes(kPngInterlaced, 23, 17);
	EXPECT_EQ(B_ILLEGAL_DATA, Translate(png.substr(0, png.size() / 2)));
	std::string gif = gif_bytes(23, 17, false);
	EXPECT_EQ(B_ILLEGAL_DATA, Translate(gif.substr(0, gif.size() / 2)));
	std::string jpeg = jpeg_bytes(48, 32, false);
	EXPECT_EQ(B_ILLEGAL_DATA, Translate(jpeg.substr(0, jpeg.size() / 2)));
	std::string bmp = bmp_bytes(kBmp24BottomUp, 23, 17);
	EXPECT_EQ(B_ILLEGAL_DATA, Translate(bmp.substr(0, bmp.size() / 2)));
}

TEST_F(CorruptInputTest, ClaimedHugeSizesAreRefusedUpFront)
{
	// PNG: beyond the largest side at all, and within the sides but past
	// the pixel limit.
	std::string png = png_bytes(kPngInterlaced, 4, 4);
	EXPECT_NE(B_OK, Translate(png_with_size(png, 100000, 100000)));
	EXPECT_NE(B_OK, Translate(png_with_size(png, 16000, 16000)));
	EXPECT_NE(B_OK, Translate(png_with_size(png, 0, 4)));

	// BMP: width and height fields.
	std::string bmp = bmp_bytes(kBmp24BottomUp, 4, 4);
	auto with_size = [&](int32 width, int32 height) {
		std::string copy = bmp;
		memcpy(&copy[18], &width, 4);
		memcpy(&copy[22], &height, 4);
		return copy;
	};
	EXPECT_EQ(B_NO_MEMORY, Translate(with_size(16000, 16000)));
	EXPECT_NE(B_OK, Translate(with_size(1 << 30, 2)));
	EXPECT_NE(B_OK, Translate(with_size(4, INT32_MIN)));
	EXPECT_NE(B_OK, Translate(with_size(-4, 4)));

	// GIF: the logical screen.
	std::string gif = gif_bytes(4, 4, false);
	gif[6] = gif[7] = gif[8] = gif[9] = (char)0xff;
	EXPECT_EQ(B_NO_MEMORY, Translate(gif));

	// JPEG: the frame header's height and width.
	std::string jpeg = jpeg_bytes(16, 16, false);
	size_t frame = jpeg.find("\xff\xc0", 2);
	ASSERT_NE(std::string::npos, frame);
	jpeg[frame + 5] = jpeg[frame + 6] = jpeg[frame + 7] = jpeg[frame + 8] = (char)0xfe;
	EXPECT_NE(B_OK, Translate(jpeg));
}

TEST_F(CorruptInputTest, SizesBeyondTheDataAreRefusedBeforeReserving)
{
	// A standard bitmap header of 1 x 1 pixels whose rows claim almost 4 GB,
	// then one pixel; and two rows of 512 MB each with nothing behind them.
	auto header = [](int32 bottom, uint32 rowBytes, uint32 dataSize) {
		std::string bytes(32, '\0');
		auto put = [&](size_t at, uint32 value) {
			bytes[at] = (char)(value >> 24);
			bytes[at + 1] = (char)(value >> 16);
			bytes[at + 2] = (char)(value >> 8);
			bytes[at + 3] = (char)value;
		};
		const float zero = 0, bottomEdge = (float)bottom;
		uint32 zeroBits, bottomBits;
		memcpy(&zeroBits, &zero, 4);
		memcpy(&bottomBits, &bottomEdge, 4);
		put(0, B_TRANSLATOR_BITMAP);
		put(4, zeroBits);
		put(8, zeroBits);
		put(12, zeroBits);
		put(16, bottomBits);
		put(20, rowBytes);
		put(24, B_RGB32);
		put(28, dataSize);
		return bytes;
	};
	struct rusage before;
	getrusage(RUSAGE_SELF, &before);
	for (uint32 out : { (uint32)B_TRANSLATOR_BITMAP, (uint32)B_PNG_FORMAT, (uint32)B_BMP_FORMAT }) {
		SCOPED_TRACE(out);
		std::string oneRow = header(0, 0xFFFFFFF0u, 4) + std::string(4, '\xff');
		ASSERT_EQ(36u, oneRow.size());
		BMemoryIO source(oneRow.data(), oneRow.size());
		BMallocIO destination;
		EXPECT_EQ(B_NO_TRANSLATOR, fRoster.Translate(&source, NULL, NULL, &destination, out));

		std::string tall = header(1, 1u << 29, (1u << 29) + 4) + std::string(4, '\xff');
		BMemoryIO tallSource(tall.data(), tall.size());
		BMallocIO tallDestination;
		EXPECT_NE(B_OK, fRoster.Translate(&tallSource, NULL, NULL, &tallDestination, out));
	}
	// A BMP header of 8000 x 8000 pixels with one row of data behind it.
	std::string bmp = bmp_bytes(kBmp24BottomUp, 4, 4);
	const int32 side = 8000;
	memcpy(&bmp[18], &side, 4);
	memcpy(&bmp[22], &side, 4);
	EXPECT_EQ(B_ILLEGAL_DATA, Translate(bmp));

	struct rusage after;
	getrusage(RUSAGE_SELF, &after);
	EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
}

TEST_F(CorruptInputTest, DamagedBytesNeverCrash)
{
	// A fixed sequence of random damage: a few bytes each time, anywhere.
	uint32 seed = 12345;
	auto next = [&seed]() {
		seed = seed * 1103515245u + 12345u;
		return seed >> 8;
	};
	for (const Sample& sample : samples()) {
		SCOPED_TRACE(sample.name);
		for (int round = 0; round < 150; round++) {
			std::string damaged = sample.bytes;
			int changes = 1 + next() % 4;
			for (int i = 0; i < changes; i++)
				damaged[next() % damaged.size()] = (char)next();
			std::unique_ptr<BBitmap> bitmap = Decode(damaged);
			if (bitmap != nullptr) {
				// Damage a decoder can live with still gives a sound bitmap.
				EXPECT_TRUE(bitmap->IsValid());
				EXPECT_LE(bitmap->Bounds().IntegerWidth(), 16383);
			}
		}
	}
}
