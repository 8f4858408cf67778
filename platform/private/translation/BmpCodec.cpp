#include "translation/BmpCodec.h"

#include "translation/StreamUtil.h"

#include <Errors.h>
#include <TranslatorFormats.h>

#include <string.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

// BMP files are read by hand: the Windows headers (core, info and the
// later versions with colour masks), 1, 4 and 8 bits through a palette
// (also run-length compressed), 16 and 32 bits with or without colour
// masks, and 24 bits; rows bottom-up or top-down.

namespace BPrivate {

namespace {

enum {
	kCompressionNone = 0,
	kCompressionRle8 = 1,
	kCompressionRle4 = 2,
	kCompressionBitFields = 3,
	kCompressionAlphaBitFields = 6
};

const size_t kFileHeaderSize = 14;

struct BmpHeader {
	uint32 pixelOffset;
	uint32 headerSize;
	int32 width;
	int32 height;            // always positive; see topDown
	bool topDown;
	uint32 bitCount;
	uint32 compression;
	uint32 masks[4];         // red, green, blue, alpha (0: none)
	uint32 paletteOffset;    // from the start of the file
	uint32 paletteEntrySize; // 3 (core header) or 4
	uint32 paletteCount;
};

uint16
le16(const uint8* bytes)
{
	return (uint16)(bytes[0] | (bytes[1] << 8));
}

uint32
le32(const uint8* bytes)
{
	return (uint32)bytes[0] | ((uint32)bytes[1] << 8) | ((uint32)bytes[2] << 16)
		| ((uint32)bytes[3] << 24);
}

bool
known_header_size(uint32 size)
{
	return size == 12 || size == 40 || size == 52 || size == 56 || size == 64
		|| size == 108 || size == 124;
}

// Reads and checks the headers from the file's start (the current
// position). B_NO_TRANSLATOR when the data is no BMP or a kind we do not
// read; the position is then undefined.
status_t
read_header(BPositionIO* source, BmpHeader* header)
{
	uint8 bytes[kFileHeaderSize + 124 + 16];
	memset(bytes, 0, sizeof(bytes));
	if (read_fully(source, bytes, kFileHeaderSize + 4) != (ssize_t)(kFileHeaderSize + 4))
		return B_NO_TRANSLATOR;
	if (bytes[0] != 'B' || bytes[1] != 'M')
		return B_NO_TRANSLATOR;
	header->pixelOffset = le32(bytes + 10);
	header->headerSize = le32(bytes + 14);
	if (!known_header_size(header->headerSize))
		return B_NO_TRANSLATOR;
	uint8* info = bytes + kFileHeaderSize;
	if (read_fully(source, info + 4, header->headerSize - 4)
			!= (ssize_t)(header->headerSize - 4))
		return B_NO_TRANSLATOR;

	int64 height;
	memset(header->masks, 0, sizeof(header->masks));
	header->paletteOffset = kFileHeaderSize + header->headerSize;
	uint32 colorsUsed = 0;
	if (header->headerSize == 12) {
		header->width = le16(info + 4);
		height = le16(info + 6);
		header->bitCount = le16(info + 10);
		header->compression = kCompressionNone;
		header->paletteEntrySize = 3;
		if (header->bitCount != 1 && header->bitCount != 4
			&& header->bitCount != 8 && header->bitCount != 24)
			return B_NO_TRANSLATOR;
	} else {
		header->width = (int32)le32(info + 4);
		height = (int32)le32(info + 8);
		header->bitCount = le16(info + 14);
		header->compression = le32(info + 16);
		colorsUsed = le32(info + 32);
		header->paletteEntrySize = 4;
		// The 64-byte header of the other family numbers its compressions
		// differently; only the common ones mean the same there.
		if (header->headerSize == 64 && header->compression > kCompressionRle4)
			return B_NO_TRANSLATOR;

		if (header->compression == kCompressionBitFields
			|| header->compression == kCompressionAlphaBitFields) {
			if (header->bitCount != 16 && header->bitCount != 32)
				return B_NO_TRANSLATOR;
			uint32 maskCount = header->compression == kCompressionAlphaBitFields ? 4 : 3;
			if (header->headerSize == 40) {
				// The masks follow the header.
				if (read_fully(source, info + 40, maskCount * 4) != (ssize_t)(maskCount * 4))
					return B_NO_TRANSLATOR;
				header->paletteOffset += maskCount * 4;
			} else {
				maskCount = header->headerSize >= 56 ? 4 : 3;
			}
			for (uint32 i = 0; i < maskCount; i++)
				header->masks[i] = le32(info + 40 + i * 4);
			if (header->masks[0] == 0 && header->masks[1] == 0 && header->masks[2] == 0)
				return B_NO_TRANSLATOR;
		} else if (header->compression == kCompressionNone) {
			if (header->bitCount == 16) {
				header->masks[0] = 0x7c00;
				header->masks[1] = 0x03e0;
				header->masks[2] = 0x001f;
			} else if (header->bitCount == 32) {
				header->masks[0] = 0x00ff0000;
				header->masks[1] = 0x0000ff00;
				header->masks[2] = 0x000000ff;
			} else if (header->bitCount != 1 && header->bitCount != 4
				&& header->bitCount != 8 && header->bitCount != 24) {
				return B_NO_TRANSLATOR;
			}
		} else if (header->compression == kCompressionRle8) {
			if (header->bitCount != 8)
				return B_NO_TRANSLATOR;
		} else if (header->compression == kCompressionRle4) {
			if (header->bitCount != 4)
				return B_NO_TRANSLATOR;
		} else {
			return B_NO_TRANSLATOR;
		}
	}

	header->topDown = height < 0;
	if (height < 0)
		height = -height;
	if (header->width <= 0 || height <= 0)
		return B_NO_TRANSLATOR;
	// Run-length data is always stored bottom-up.
	if (header->topDown && (header->compression == kCompressionRle8
			|| header->compression == kCompressionRle4))
		return B_NO_TRANSLATOR;
	if (height > kMaxImageSide * 4LL)
		return B_NO_TRANSLATOR;
	header->height = (int32)height;

	header->paletteCount = 0;
	if (header->bitCount <= 8) {
		uint32 most = 1u << header->bitCount;
		header->paletteCount = colorsUsed != 0 && colorsUsed < most ? colorsUsed : most;
	}
	if (header->pixelOffset < header->paletteOffset)
		return B_NO_TRANSLATOR;
	return B_OK;
}

// Reads the bytes of a file one by one, in blocks.
class ByteReader {
public:
	explicit ByteReader(BPositionIO* source) : fSource(source) {}

	// The next byte, or -1 at the end of the data or on an error.
	int Next()
	{
		if (fPosition == fLength) {
			ssize_t got = fSource->Read(fBuffer, sizeof(fBuffer));
			if (got <= 0)
				return -1;
			fLength = (size_t)got;
			fPosition = 0;
		}
		return fBuffer[fPosition++];
	}

	// Reads `size` bytes; false when the data ends first.
	bool Read(uint8* out, size_t size)
	{
		while (size > 0) {
			if (fPosition == fLength) {
				ssize_t got = fSource->Read(fBuffer, sizeof(fBuffer));
				if (got <= 0)
					return false;
				fLength = (size_t)got;
				fPosition = 0;
			}
			size_t chunk = std::min(size, fLength - fPosition);
			memcpy(out, fBuffer + fPosition, chunk);
			fPosition += chunk;
			out += chunk;
			size -= chunk;
		}
		return true;
	}

private:
	BPositionIO* fSource;
	uint8 fBuffer[16384];
	size_t fLength = 0;
	size_t fPosition = 0;
};

// Extracts one colour channel through its mask and scales it to 8 bits.
struct Channel {
	uint32 mask = 0;
	uint32 shift = 0;
	uint32 bits = 0;

	explicit Channel(uint32 channelMask) : mask(channelMask)
	{
		if (mask == 0)
			return;
		while (((mask >> shift) & 1) == 0)
			shift++;
		while (shift + bits < 32 && ((mask >> (shift + bits)) & 1) != 0)
			bits++;
	}

	uint8 Value(uint32 pixel, uint8 missing) const
	{
		if (mask == 0)
			return missing;
		uint32 value = (pixel & mask) >> shift;
		if (bits >= 8)
			return (uint8)(value >> (bits - 8));
		uint32 most = (1u << bits) - 1;
		return (uint8)((std::min(value, most) * 255 + most / 2) / most);
	}
};

struct Palette {
	uint8 colors[256][4];   // blue, green, red, alpha

	void Put(uint32 index, uint8* out) const { memcpy(out, colors[index & 0xff], 4); }
};

status_t
read_palette(BPositionIO* source, off_t fileStart, const BmpHeader& header,
	Palette* palette)
{
	for (int i = 0; i < 256; i++) {
		palette->colors[i][0] = palette->colors[i][1] = palette->colors[i][2] = 0;
		palette->colors[i][3] = 255;
	}
	if (header.paletteCount == 0)
		return B_OK;
	// Only the entries that fit before the pixels; the rest stay black.
	uint32 room = (header.pixelOffset - header.paletteOffset) / header.paletteEntrySize;
	uint32 count = std::min(header.paletteCount, room);
	if (count == 0)
		return B_OK;
	off_t position = fileStart + header.paletteOffset;
	if (source->Seek(position, SEEK_SET) != position)
		return B_ILLEGAL_DATA;
	uint8 entries[256 * 4];
	status_t status = read_exactly(source, entries, count * header.paletteEntrySize);
	if (status != B_OK)
		return status;
	for (uint32 i = 0; i < count; i++) {
		const uint8* entry = entries + i * header.paletteEntrySize;
		palette->colors[i][0] = entry[0];
		palette->colors[i][1] = entry[1];
		palette->colors[i][2] = entry[2];
	}
	return B_OK;
}

void
convert_row(const uint8* row, const BmpHeader& header, const Palette& palette,
	const Channel* channels, uint8* out)
{
	const int32 width = header.width;
	switch (header.bitCount) {
		case 1:
		case 4:
		case 8: {
			const uint32 bits = header.bitCount;
			const uint32 perByte = 8 / bits;
			const uint32 mask = (1u << bits) - 1;
			for (int32 x = 0; x < width; x++, out += 4) {
				uint32 shift = (perByte - 1 - (uint32)x % perByte) * bits;
				palette.Put((row[x / perByte] >> shift) & mask, out);
			}
			break;
		}
		case 24:
			for (int32 x = 0; x < width; x++, out += 4, row += 3) {
				out[0] = row[0];
				out[1] = row[1];
				out[2] = row[2];
				out[3] = 255;
			}
			break;
		case 16:
		case 32: {
			const bool wide = header.bitCount == 32;
			for (int32 x = 0; x < width; x++, out += 4) {
				uint32 pixel = wide ? le32(row) : le16(row);
				row += wide ? 4 : 2;
				out[0] = channels[2].Value(pixel, 0);
				out[1] = channels[1].Value(pixel, 0);
				out[2] = channels[0].Value(pixel, 0);
				out[3] = channels[3].Value(pixel, 255);
			}
			break;
		}
	}
}

status_t
read_uncompressed(ByteReader& reader, const BmpHeader& header,
	const Palette& palette, RasterImage* image)
{
	const uint64 stride = (((uint64)header.width * header.bitCount + 31) / 32) * 4;
	std::unique_ptr<uint8[]> row(new (std::nothrow) uint8[stride]);
	if (!row)
		return B_NO_MEMORY;
	const Channel channels[4] = { Channel(header.masks[0]), Channel(header.masks[1]),
		Channel(header.masks[2]), Channel(header.masks[3]) };
	for (int32 stored = 0; stored < header.height; stored++) {
		if (!reader.Read(row.get(), stride))
			return B_ILLEGAL_DATA;
		int32 y = header.topDown ? stored : header.height - 1 - stored;
		convert_row(row.get(), header, palette, channels, image->Row(y));
	}
	return B_OK;
}

// Run-length compressed 8-bit and 4-bit images: pairs of (count, index),
// or an escape (0, code) for line end, image end, a jump, or a run of
// literal indices.
status_t
read_run_length(ByteReader& reader, const BmpHeader& header,
	const Palette& palette, RasterImage* image)
{
	const bool four = header.compression == kCompressionRle4;
	const int32 width = header.width;
	const int32 height = header.height;
	// Pixels the data never reaches keep the first palette colour.
	for (int32 y = 0; y < height; y++) {
		uint8* out = image->Row(y);
		for (int32 x = 0; x < width; x++)
			palette.Put(0, out + x * 4);
	}

	// Wide enough that no amount of runs and jumps can overflow them.
	int64 x = 0;
	int64 stored = 0;   // row counted from the bottom
	auto put = [&](uint32 index) {
		if (x < width && stored < height)
			palette.Put(index, image->Row((int32)(height - 1 - stored)) + x * 4);
		x++;
	};

	while (stored < height) {
		int count = reader.Next();
		int value = reader.Next();
		if (count < 0 || value < 0)
			return B_ILLEGAL_DATA;
		if (count > 0) {
			for (int i = 0; i < count; i++) {
				if (x >= width) {
					x += count - i;   // past the row's end: nothing to draw
					break;
				}
				put(four ? (i % 2 == 0 ? value >> 4 : value & 0x0f) : value);
			}
			continue;
		}
		switch (value) {
			case 0:
				x = 0;
				stored++;
				break;
			case 1:
				return B_OK;
			case 2: {
				int dx = reader.Next();
				int dy = reader.Next();
				if (dx < 0 || dy < 0)
					return B_ILLEGAL_DATA;
				x += dx;
				stored += dy;
				break;
			}
			default: {
				// `value` literal indices, padded to an even number of bytes.
				int bytes = four ? (value + 1) / 2 : value;
				for (int i = 0; i < bytes; i++) {
					int data = reader.Next();
					if (data < 0)
						return B_ILLEGAL_DATA;
					if (four) {
						put(data >> 4);
						if (i * 2 + 1 < value)
							put(data & 0x0f);
					} else {
						put(data);
					}
				}
				if (bytes % 2 != 0 && reader.Next() < 0)
					return B_ILLEGAL_DATA;
				break;
			}
		}
	}
	// Every row is filled; the end marker may be missing.
	return B_OK;
}

bool
recognise_bmp(BPositionIO* source)
{
	BmpHeader header;
	return read_header(source, &header) == B_OK;
}

status_t
decode_bmp(BPositionIO* source, RasterImage* image)
{
	const off_t fileStart = source->Position();
	if (fileStart < 0)
		return B_IO_ERROR;
	BmpHeader header;
	if (read_header(source, &header) != B_OK)
		return B_ILLEGAL_DATA;
	if (!image_size_allowed(header.width, header.height))
		return B_NO_MEMORY;

	Palette palette;
	status_t status = read_palette(source, fileStart, header, &palette);
	if (status != B_OK)
		return status;
	const off_t pixels = fileStart + header.pixelOffset;
	if (source->Seek(pixels, SEEK_SET) != pixels)
		return B_ILLEGAL_DATA;
	// Uncompressed rows take their full size each: nothing is reserved for
	// rows that the file does not hold. (Run-length data may be far
	// smaller than the image it fills.)
	if (header.compression != kCompressionRle8 && header.compression != kCompressionRle4) {
		const uint64 stride = (((uint64)header.width * header.bitCount + 31) / 32) * 4;
		const off_t left = bytes_left(source);
		if (left >= 0 && (uint64)left < stride * (uint64)header.height)
			return B_ILLEGAL_DATA;
	}
	status = image->Allocate(header.width, header.height);
	if (status != B_OK)
		return status;

	std::unique_ptr<ByteReader> reader(new (std::nothrow) ByteReader(source));
	if (!reader)
		return B_NO_MEMORY;
	if (header.compression == kCompressionRle8 || header.compression == kCompressionRle4)
		status = read_run_length(*reader, header, palette, image);
	else
		status = read_uncompressed(*reader, header, palette, image);
	if (status != B_OK)
		return status;

	if (header.masks[3] != 0) {
		image->UpdateHasAlpha();
		// An alpha mask over nothing but zeros is a writer's slip (the
		// picture would be invisible): show it opaque.
		bool anyVisible = false;
		const size_t count = (size_t)image->width * image->height;
		for (size_t i = 0; i < count && !anyVisible; i++)
			anyVisible = image->bits[i * 4 + 3] != 0;
		if (!anyVisible) {
			for (size_t i = 0; i < count; i++)
				image->bits[i * 4 + 3] = 255;
			image->hasAlpha = false;
		}
	} else {
		image->hasAlpha = false;
	}
	return B_OK;
}

const ImageCodec kBmpCodec = {
	"BMP Images",
	"Reads BMP images (built in).",
	0x100,
	B_BMP_FORMAT,
	"image/bmp",
	"BMP image",
	0.7f,
	0.8f,
	recognise_bmp,
	decode_bmp,
	NULL
};

}

const ImageCodec&
bmp_codec()
{
	return kBmpCodec;
}

}
