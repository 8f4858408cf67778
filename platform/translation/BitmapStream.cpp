#include <BitmapStream.h>

#include <Bitmap.h>

#include "translation/BitmapFormat.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

using namespace BPrivate;

namespace {

const uint32 kWholeHeader = 0xffffffffu;   // one bit for each of 32 bytes
static_assert(kBitmapHeaderSize == 32, "one mask bit per header byte");

bool
native_space(color_space space)
{
	return space == B_RGB32 || space == B_RGBA32 || space == B_CMAP8;
}

}

BBitmapStream::BBitmapStream(BBitmap* bitmap)
	:
	fMap(NULL),
	fPosition(0),
	fSize(0),
	fDetached(false),
	fHeaderMask(0),
	fHeaderDone(false),
	fRaw(NULL),
	fRawLength(0)
{
	fHeader = TranslatorBitmap();
	memset(fHeaderBytes, 0, sizeof(fHeaderBytes));
	fMap = bitmap;
	if (bitmap == NULL || !bitmap->IsValid())
		return;

	fHeader.magic = B_TRANSLATOR_BITMAP;
	fHeader.bounds = bitmap->Bounds();
	fHeader.rowBytes = (uint32)bitmap->BytesPerRow();
	fHeader.colors = bitmap->ColorSpace();
	fHeader.dataSize = (uint32)bitmap->BitsLength();
	SwapHeader(&fHeader, (TranslatorBitmap*)fHeaderBytes);
	fHeaderMask = kWholeHeader;
	fHeaderDone = true;
	fSize = kBitmapHeaderSize + fHeader.dataSize;
}

BBitmapStream::~BBitmapStream()
{
	delete fMap;
	free(fRaw);
}

void
BBitmapStream::SwapHeader(const TranslatorBitmap* source,
	TranslatorBitmap* destination)
{
	// Host order to stream order; the stream's bytes are big-endian, so the
	// same swap serves both ways on this (little-endian) host.
	uint8 bytes[kBitmapHeaderSize];
	encode_bitmap_header(*source, bytes);
	memcpy(destination, bytes, sizeof(bytes));
}

status_t
BBitmapStream::_AcceptHeader()
{
	TranslatorBitmap header;
	decode_bitmap_header(fHeaderBytes, &header);
	BitmapGeometry geometry;
	status_t status = check_bitmap_header(header, &geometry);
	if (status != B_OK)
		return status;
	// An unusable bitmap given to the constructor makes way for the new one.
	delete fMap;
	fMap = NULL;

	// Kept as it comes where a BBitmap can hold the rows unchanged;
	// otherwise kept raw and converted on DetachBitmap().
	const BRect bounds(0, 0, geometry.width - 1, geometry.height - 1);
	if (native_space(geometry.space)
		&& geometry.dataSize <= geometry.rowBytes * (size_t)geometry.height) {
		BBitmap* bitmap = new BBitmap(bounds, 0, geometry.space,
			(int32)geometry.rowBytes);
		if (bitmap->IsValid()) {
			fMap = bitmap;
		} else {
			status = bitmap->InitCheck();
			delete bitmap;
			if (status == B_NO_MEMORY)
				return status;
		}
	}
	if (fMap == NULL) {
		fRaw = (uint8*)calloc(1, geometry.dataSize);
		if (fRaw == NULL)
			return B_NO_MEMORY;
		fRawLength = geometry.dataSize;
	}
	fHeader = header;
	fHeaderDone = true;
	fSize = kBitmapHeaderSize + geometry.dataSize;
	return B_OK;
}

ssize_t
BBitmapStream::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if (!fHeaderDone || (size_t)position >= fSize || size == 0)
		return 0;
	size = std::min(size, fSize - (size_t)position);
	uint8* out = (uint8*)buffer;
	size_t done = 0;
	size_t at = (size_t)position;
	if (at < kBitmapHeaderSize) {
		size_t chunk = std::min(size, kBitmapHeaderSize - at);
		memcpy(out, fHeaderBytes + at, chunk);
		done += chunk;
		at += chunk;
	}
	if (done < size) {
		const uint8* pixels = fMap != NULL ? (const uint8*)fMap->Bits() : fRaw;
		size_t length = fMap != NULL ? (size_t)fMap->BitsLength() : fRawLength;
		size_t offset = at - kBitmapHeaderSize;
		size_t chunk = size - done;
		// Bytes the header counts but the bitmap does not have read as 0.
		size_t available = offset < length ? std::min(chunk, length - offset) : 0;
		if (available > 0)
			memcpy(out + done, pixels + offset, available);
		memset(out + done + available, 0, chunk - available);
		done += chunk;
	}
	return (ssize_t)done;
}

ssize_t
BBitmapStream::WriteAt(off_t position, const void* data, size_t size)
{
	if (data == NULL || position < 0)
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	const uint8* in = (const uint8*)data;
	size_t at = (size_t)position;
	size_t done = 0;

	if (at < kBitmapHeaderSize) {
		size_t chunk = std::min(size, kBitmapHeaderSize - at);
		for (size_t i = 0; i < chunk; i++) {
			// Once the bitmap exists its header is fixed; writing the same
			// bytes again is harmless.
			if (fHeaderDone && fHeaderBytes[at + i] != in[i])
				return B_BAD_VALUE;
			fHeaderBytes[at + i] = in[i];
			fHeaderMask |= 1u << (at + i);
		}
		done = chunk;
		at += chunk;
		if (!fHeaderDone) {
			fSize = std::max(fSize, at);
			if (fHeaderMask == kWholeHeader) {
				status_t status = _AcceptHeader();
				if (status != B_OK) {
					// Forget the header, so that a good one may follow.
					fHeaderMask = 0;
					fSize = 0;
					return status;
				}
			}
		}
	}
	if (done == size)
		return (ssize_t)done;
	if (!fHeaderDone)
		return done > 0 ? (ssize_t)done : (ssize_t)B_BAD_VALUE;

	ssize_t pixels = _WritePixels(at - kBitmapHeaderSize, in + done, size - done);
	if (pixels < 0)
		return done > 0 ? (ssize_t)done : pixels;
	return (ssize_t)(done + (size_t)pixels);
}

ssize_t
BBitmapStream::_WritePixels(size_t offset, const uint8* data, size_t size)
{
	const size_t dataSize = fSize - kBitmapHeaderSize;
	if (offset >= dataSize)
		return 0;
	size = std::min(size, dataSize - offset);
	uint8* pixels = fMap != NULL ? (uint8*)fMap->Bits() : fRaw;
	size_t length = fMap != NULL ? (size_t)fMap->BitsLength() : fRawLength;
	if (offset < length)
		memcpy(pixels + offset, data, std::min(size, length - offset));
	return (ssize_t)size;
}

off_t
BBitmapStream::Seek(off_t position, uint32 seekMode)
{
	off_t target;
	switch (seekMode) {
		case SEEK_SET:
			target = position;
			break;
		case SEEK_CUR:
			target = (off_t)fPosition + position;
			break;
		case SEEK_END:
			target = (off_t)fSize + position;
			break;
		default:
			return B_BAD_VALUE;
	}
	if (target < 0)
		return B_BAD_VALUE;
	fPosition = (size_t)target;
	return target;
}

off_t
BBitmapStream::Position() const
{
	return (off_t)fPosition;
}

off_t
BBitmapStream::Size() const
{
	return fHeaderDone ? (off_t)fSize : 0;
}

status_t
BBitmapStream::SetSize(off_t size)
{
	return size == Size() ? B_OK : B_NOT_ALLOWED;
}

status_t
BBitmapStream::GetSize(off_t* size) const
{
	if (size == NULL)
		return B_BAD_VALUE;
	*size = Size();
	return B_OK;
}

status_t
BBitmapStream::DetachBitmap(BBitmap** outBitmap)
{
	if (outBitmap == NULL)
		return B_BAD_VALUE;
	// *outBitmap is only set on success.
	BBitmap* result = NULL;
	if (fMap != NULL && fMap->IsValid()) {
		result = fMap;
	} else if (fRaw != NULL && fHeaderDone) {
		BitmapGeometry geometry;
		if (check_bitmap_header(fHeader, &geometry) != B_OK)
			return B_ERROR;
		result = new BBitmap(BRect(0, 0, geometry.width - 1, geometry.height - 1),
			space_has_alpha(geometry.space) ? B_RGBA32 : B_RGB32);
		if (!result->IsValid()) {
			delete result;
			return B_NO_MEMORY;
		}
		uint8* bits = (uint8*)result->Bits();
		for (int32 y = 0; y < geometry.height; y++) {
			convert_row(fRaw + (size_t)y * geometry.rowBytes, geometry.space,
				geometry.width, bits + (size_t)y * result->BytesPerRow());
		}
	} else {
		return B_ERROR;
	}

	// The stream starts over empty.
	fMap = NULL;
	free(fRaw);
	fRaw = NULL;
	fRawLength = 0;
	fHeaderDone = false;
	fHeaderMask = 0;
	memset(fHeaderBytes, 0, sizeof(fHeaderBytes));
	fSize = 0;
	fPosition = 0;
	fDetached = true;
	*outBitmap = result;
	return B_OK;
}
