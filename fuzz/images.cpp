// libFuzzer target: the image readers of the Translation Kit (BMP above
// all, then PNG, GIF, JPEG) and the standard bitmap format. The first byte
// picks the reader, the rest is the file.
//
// Checks: a reader that takes the data gives an image within the limits,
// and one it recognises is either read or refused, never half-made; the
// standard format written from an image reads back to the same pixels.
#include "fuzz/FuzzCheck.h"

#include "translation/BitmapFormat.h"
#include "translation/BmpCodec.h"
#include "translation/GifCodec.h"
#include "translation/JpegCodec.h"
#include "translation/PngCodec.h"
#include "translation/RasterImage.h"

#include <DataIO.h>

#include <stddef.h>
#include <stdint.h>
#include <string.h>

using namespace BPrivate;

namespace {

void check(bool condition, const char* what)
{
	fuzzcheck::check(condition, "images", what);
}

void check_image(const RasterImage& image)
{
	check(image.width > 0 && image.height > 0, "an image read has no pixels");
	check(image_size_allowed(image.width, image.height), "an image read is past the limits");

	BMallocIO stream;
	check(write_bitmap_stream(image, &stream) == B_OK, "an image read does not write");
	stream.Seek(0, SEEK_SET);
	RasterImage again;
	check(read_bitmap_stream(&stream, &again) == B_OK, "own bitmap stream not read back");
	check(again.width == image.width && again.height == image.height,
		"own bitmap stream read back at another size");
	// Without alpha the fourth byte does not travel.
	const size_t compared = image.hasAlpha ? 4 : 3;
	for (int32 y = 0; y < image.height; y++) {
		const uint8* a = image.Row(y);
		const uint8* b = again.Row(y);
		for (int32 x = 0; x < image.width; x++) {
			check(memcmp(a + x * 4, b + x * 4, compared) == 0,
				"own bitmap stream read back with other pixels");
		}
	}
}

}

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	const uint8_t choice = data[0] & 7;
	BMemoryIO source(data + 1, size - 1);
	RasterImage image;
	status_t status;
	if (choice >= 5) {
		if (!is_bitmap_stream(&source))
			return 0;
		status = read_bitmap_stream(&source, &image);
	} else {
		static const ImageCodec* const kCodecs[] = { &bmp_codec(), &bmp_codec(),
			&png_codec(), &gif_codec(), &jpeg_codec() };
		const ImageCodec& codec = *kCodecs[choice];
		if (!codec.recognise(&source))
			return 0;
		source.Seek(0, SEEK_SET);
		status = codec.decode(&source, &image);
	}
	if (status == B_OK)
		check_image(image);
	return 0;
}
