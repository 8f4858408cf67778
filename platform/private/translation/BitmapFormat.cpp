#include "translation/BitmapFormat.h"

#include "translation/StreamUtil.h"

#include <ByteOrder.h>
#include <Errors.h>

#include <math.h>
#include <string.h>

#include <vector>

namespace BPrivate {

namespace {

// Anything larger is not an image we would ever hold.
const size_t kMaxDataSize = (size_t)1 << 30;

// Moves past `count` bytes; where the stream cannot seek they are read and
// dropped. Moving past the end is found by the next read.
status_t
skip_bytes(BPositionIO* source, size_t count)
{
	if (source->Seek((off_t)count, SEEK_CUR) >= 0)
		return B_OK;
	uint8 scratch[4096];
	while (count > 0) {
		const size_t chunk = count < sizeof(scratch) ? count : sizeof(scratch);
		status_t status = read_exactly(source, scratch, chunk);
		if (status != B_OK)
			return status;
		count -= chunk;
	}
	return B_OK;
}

uint32
read_be32(const uint8* bytes)
{
	return ((uint32)bytes[0] << 24) | ((uint32)bytes[1] << 16)
		| ((uint32)bytes[2] << 8) | bytes[3];
}

void
write_be32(uint8* bytes, uint32 value)
{
	bytes[0] = (uint8)(value >> 24);
	bytes[1] = (uint8)(value >> 16);
	bytes[2] = (uint8)(value >> 8);
	bytes[3] = (uint8)value;
}

float
read_be_float(const uint8* bytes)
{
	uint32 raw = read_be32(bytes);
	float value;
	memcpy(&value, &raw, sizeof(value));
	return value;
}

void
write_be_float(uint8* bytes, float value)
{
	uint32 raw;
	memcpy(&raw, &value, sizeof(raw));
	write_be32(bytes, raw);
}

// Number of whole pixels spanned by an inclusive coordinate range, or -1.
int64
span_of(float low, float high)
{
	if (!isfinite(low) || !isfinite(high) || high < low)
		return -1;
	double span = ceil((double)high - (double)low) + 1.0;
	if (span > (double)kMaxImageSide * 2)
		return -1;
	return (int64)span;
}

inline uint8
expand5(uint32 value)
{
	return (uint8)((value << 3) | (value >> 2));
}

inline uint8
expand6(uint32 value)
{
	return (uint8)((value << 2) | (value >> 4));
}

inline void
put(uint8* destination, uint8 blue, uint8 green, uint8 red, uint8 alpha)
{
	destination[0] = blue;
	destination[1] = green;
	destination[2] = red;
	destination[3] = alpha;
}

// A colour space read from a stream; codes we do not know become
// B_NO_COLOR_SPACE (an enum may not hold other values).
color_space
space_from_code(uint32 code)
{
	switch (code) {
		case B_RGB32:
		case B_RGBA32:
		case B_RGB24:
		case B_RGB16:
		case B_RGB15:
		case B_RGBA15:
		case B_CMAP8:
		case B_GRAY8:
		case B_GRAY1:
		case B_RGB32_BIG:
		case B_RGBA32_BIG:
		case B_RGB24_BIG:
		case B_RGB16_BIG:
		case B_RGB15_BIG:
		case B_RGBA15_BIG:
			return (color_space)code;
		default:
			return B_NO_COLOR_SPACE;
	}
}

}

void
decode_bitmap_header(const uint8* bytes, TranslatorBitmap* header)
{
	header->magic = read_be32(bytes);
	header->bounds.left = read_be_float(bytes + 4);
	header->bounds.top = read_be_float(bytes + 8);
	header->bounds.right = read_be_float(bytes + 12);
	header->bounds.bottom = read_be_float(bytes + 16);
	header->rowBytes = read_be32(bytes + 20);
	header->colors = space_from_code(read_be32(bytes + 24));
	header->dataSize = read_be32(bytes + 28);
}

void
encode_bitmap_header(const TranslatorBitmap& header, uint8* bytes)
{
	write_be32(bytes, header.magic);
	write_be_float(bytes + 4, header.bounds.left);
	write_be_float(bytes + 8, header.bounds.top);
	write_be_float(bytes + 12, header.bounds.right);
	write_be_float(bytes + 16, header.bounds.bottom);
	write_be32(bytes + 20, header.rowBytes);
	write_be32(bytes + 24, (uint32)header.colors);
	write_be32(bytes + 28, header.dataSize);
}

size_t
row_length_for(color_space space, int32 width)
{
	if (width <= 0)
		return 0;
	switch (space) {
		case B_RGB32:
		case B_RGBA32:
		case B_RGB32_BIG:
		case B_RGBA32_BIG:
			return (size_t)width * 4;
		case B_RGB24:
		case B_RGB24_BIG:
			return (size_t)width * 3;
		case B_RGB16:
		case B_RGB16_BIG:
		case B_RGB15:
		case B_RGB15_BIG:
		case B_RGBA15:
		case B_RGBA15_BIG:
			return (size_t)width * 2;
		case B_CMAP8:
		case B_GRAY8:
			return (size_t)width;
		case B_GRAY1:
			return ((size_t)width + 7) / 8;
		default:
			return 0;
	}
}

bool
space_has_alpha(color_space space)
{
	return space == B_RGBA32 || space == B_RGBA32_BIG || space == B_RGBA15
		|| space == B_RGBA15_BIG || space == B_CMAP8;
}

status_t
check_bitmap_header(const TranslatorBitmap& header, BitmapGeometry* geometry)
{
	if (header.magic != (uint32)B_TRANSLATOR_BITMAP)
		return B_BAD_VALUE;
	int64 width = span_of(header.bounds.left, header.bounds.right);
	int64 height = span_of(header.bounds.top, header.bounds.bottom);
	if (!image_size_allowed(width, height))
		return B_BAD_VALUE;
	size_t rowLength = row_length_for(header.colors, (int32)width);
	// A row longer than any image we would hold is a damaged header, also
	// where only one row is there and its padding never read.
	if (rowLength == 0 || header.rowBytes < rowLength
		|| header.rowBytes > kMaxDataSize)
		return B_BAD_VALUE;
	// The last row need not carry its padding.
	uint64 needed = (uint64)header.rowBytes * (uint64)(height - 1) + rowLength;
	if (needed > kMaxDataSize || header.dataSize < needed
		|| header.dataSize > kMaxDataSize)
		return B_BAD_VALUE;

	geometry->width = (int32)width;
	geometry->height = (int32)height;
	geometry->space = header.colors;
	geometry->rowBytes = header.rowBytes;
	geometry->rowLength = rowLength;
	geometry->dataSize = header.dataSize;
	return B_OK;
}

void
convert_row(const uint8* source, color_space space, int32 width,
	uint8* destination)
{
	const color_map* palette = space == B_CMAP8 ? system_colors() : NULL;
	for (int32 x = 0; x < width; x++, destination += 4) {
		switch (space) {
			case B_RGB32:
				put(destination, source[0], source[1], source[2], 255);
				source += 4;
				break;
			case B_RGBA32:
				put(destination, source[0], source[1], source[2], source[3]);
				source += 4;
				break;
			case B_RGB32_BIG:
				put(destination, source[3], source[2], source[1], 255);
				source += 4;
				break;
			case B_RGBA32_BIG:
				put(destination, source[3], source[2], source[1], source[0]);
				source += 4;
				break;
			case B_RGB24:
				put(destination, source[0], source[1], source[2], 255);
				source += 3;
				break;
			case B_RGB24_BIG:
				put(destination, source[2], source[1], source[0], 255);
				source += 3;
				break;
			case B_RGB16:
			case B_RGB16_BIG: {
				uint32 value = space == B_RGB16
					? (uint32)(source[0] | (source[1] << 8))
					: (uint32)((source[0] << 8) | source[1]);
				put(destination, expand5(value & 0x1f),
					expand6((value >> 5) & 0x3f), expand5((value >> 11) & 0x1f),
					255);
				source += 2;
				break;
			}
			case B_RGB15:
			case B_RGB15_BIG:
			case B_RGBA15:
			case B_RGBA15_BIG: {
				bool little = space == B_RGB15 || space == B_RGBA15;
				uint32 value = little ? (uint32)(source[0] | (source[1] << 8))
					: (uint32)((source[0] << 8) | source[1]);
				bool alpha = space == B_RGBA15 || space == B_RGBA15_BIG;
				put(destination, expand5(value & 0x1f),
					expand5((value >> 5) & 0x1f), expand5((value >> 10) & 0x1f),
					alpha && (value & 0x8000) == 0 ? 0 : 255);
				source += 2;
				break;
			}
			case B_CMAP8: {
				rgb_color color = palette->color_list[source[0]];
				put(destination, color.blue, color.green, color.red,
					source[0] == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255);
				source += 1;
				break;
			}
			case B_GRAY8:
				put(destination, source[0], source[0], source[0], 255);
				source += 1;
				break;
			case B_GRAY1: {
				// A set bit is black, the leftmost pixel the highest bit.
				bool black = (source[x / 8] & (0x80 >> (x % 8))) != 0;
				uint8 level = black ? 0 : 255;
				put(destination, level, level, level, 255);
				break;
			}
			default:
				put(destination, 0, 0, 0, 255);
				break;
		}
	}
}

status_t
write_bitmap_stream(const RasterImage& image, BPositionIO* destination,
	bool headerOnly, bool dataOnly)
{
	if (destination == NULL || image.bits == NULL)
		return B_BAD_VALUE;
	if (headerOnly && dataOnly)
		return B_BAD_VALUE;
	const size_t rowBytes = image.RowBytes();
	const size_t dataSize = rowBytes * (size_t)image.height;
	if (dataSize > kMaxDataSize)
		return B_NO_MEMORY;

	if (!dataOnly) {
		TranslatorBitmap header;
		header.magic = B_TRANSLATOR_BITMAP;
		header.bounds = BRect(0, 0, image.width - 1, image.height - 1);
		header.rowBytes = (uint32)rowBytes;
		header.colors = image.hasAlpha ? B_RGBA32 : B_RGB32;
		header.dataSize = (uint32)dataSize;
		uint8 bytes[kBitmapHeaderSize];
		encode_bitmap_header(header, bytes);
		status_t status = write_fully(destination, bytes, sizeof(bytes));
		if (status != B_OK)
			return status;
	}
	if (headerOnly)
		return B_OK;
	return write_fully(destination, image.bits.get(), dataSize);
}

status_t
read_bitmap_stream(BPositionIO* source, RasterImage* image)
{
	uint8 bytes[kBitmapHeaderSize];
	if (read_fully(source, bytes, sizeof(bytes)) != (ssize_t)sizeof(bytes))
		return B_NO_TRANSLATOR;
	TranslatorBitmap header;
	decode_bitmap_header(bytes, &header);
	BitmapGeometry geometry;
	if (check_bitmap_header(header, &geometry) != B_OK)
		return B_NO_TRANSLATOR;

	// Nothing is reserved for pixels the stream does not hold: the header
	// alone may claim any size within the limits.
	const uint64 needed = (uint64)geometry.rowBytes * (uint64)(geometry.height - 1)
		+ geometry.rowLength;
	const off_t left = bytes_left(source);
	if (left >= 0 && (uint64)left < needed)
		return B_ILLEGAL_DATA;

	status_t status = image->Allocate(geometry.width, geometry.height);
	if (status != B_OK)
		return status;
	// Only a row's pixels are kept; its padding is skipped, however wide
	// the header says the rows are.
	std::vector<uint8> row;
	try {
		row.resize(geometry.rowLength);
	} catch (...) {
		return B_NO_MEMORY;
	}
	for (int32 y = 0; y < geometry.height; y++) {
		status = read_exactly(source, row.data(), geometry.rowLength);
		if (status != B_OK)
			return status;
		convert_row(row.data(), geometry.space, geometry.width, image->Row(y));
		// The last row may come without its padding.
		if (y + 1 < geometry.height && geometry.rowBytes > geometry.rowLength) {
			status = skip_bytes(source, geometry.rowBytes - geometry.rowLength);
			if (status != B_OK)
				return status;
		}
	}
	if (space_has_alpha(geometry.space))
		image->UpdateHasAlpha();
	return B_OK;
}

bool
is_bitmap_stream(BPositionIO* source)
{
	uint8 bytes[kBitmapHeaderSize];
	if (peek(source, bytes, sizeof(bytes)) != sizeof(bytes))
		return false;
	TranslatorBitmap header;
	decode_bitmap_header(bytes, &header);
	BitmapGeometry geometry;
	return check_bitmap_header(header, &geometry) == B_OK;
}

}
