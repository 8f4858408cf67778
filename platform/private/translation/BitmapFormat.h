// The standard bitmap format of the Translation Kit (a TranslatorBitmap
// header, big-endian, then the pixels): reading and checking headers,
// turning rows of the usual colour spaces into blue-green-red-alpha
// bytes, and moving whole images between RasterImage and a stream.
#ifndef TRANSLATION_BITMAP_FORMAT_H
#define TRANSLATION_BITMAP_FORMAT_H

#include <DataIO.h>
#include <TranslatorFormats.h>

#include "translation/RasterImage.h"

namespace BPrivate {

const size_t kBitmapHeaderSize = 32;
static_assert(sizeof(TranslatorBitmap) == kBitmapHeaderSize,
	"the header is 32 bytes in the stream");

// Between the stream's big-endian bytes and a header in host order.
void decode_bitmap_header(const uint8* bytes, TranslatorBitmap* header);
void encode_bitmap_header(const TranslatorBitmap& header, uint8* bytes);

// What a usable header describes.
struct BitmapGeometry {
	int32 width;
	int32 height;
	color_space space;
	size_t rowBytes;
	size_t rowLength;     // bytes of pixels in one row (rowBytes adds padding)
	size_t dataSize;      // pixel bytes that follow the header
};

// B_OK when the header (host order) names B_TRANSLATOR_BITMAP, a size
// within the image limits, a colour space convert_row() knows, a row
// length that holds a row, and enough data for all rows; else
// B_BAD_VALUE.
status_t check_bitmap_header(const TranslatorBitmap& header,
	BitmapGeometry* geometry);

// Bytes that `width` pixels take in `space`; 0 for spaces we cannot read.
size_t row_length_for(color_space space, int32 width);
bool space_has_alpha(color_space space);
// One row of `width` pixels in `space` to blue-green-red-alpha bytes.
void convert_row(const uint8* source, color_space space, int32 width,
	uint8* destination);

// Writes `image` in the standard format, in B_RGBA32 when it has alpha,
// else B_RGB32. With headerOnly only the header is written, with dataOnly
// only the pixels (not both: B_BAD_VALUE).
status_t write_bitmap_stream(const RasterImage& image,
	BPositionIO* destination, bool headerOnly = false, bool dataOnly = false);
// Reads a standard-format image from the current position.
// B_NO_TRANSLATOR when the stream does not start with a usable header,
// B_ILLEGAL_DATA when its pixels are cut short.
status_t read_bitmap_stream(BPositionIO* source, RasterImage* image);
// Whether the stream, from its current position, starts with a usable
// header. The position is kept.
bool is_bitmap_stream(BPositionIO* source);

}

#endif
