// RasterImage: a decoded picture on its way between a file format and the
// standard bitmap format. Pixels are straight (not premultiplied) blue,
// green, red and alpha bytes, rows packed without padding, top row first.
//
// Decoders check a file's claimed size against the limits below before
// they allocate anything, so a hostile header cannot make us reserve
// gigabytes.
#ifndef TRANSLATION_RASTER_IMAGE_H
#define TRANSLATION_RASTER_IMAGE_H

#include <SupportDefs.h>

#include <memory>

namespace BPrivate {

// A BBitmap is never wider or taller than this, so neither is an image.
const int32 kMaxImageSide = 16384;
// 64 megapixels (256 MB of pixels) at most.
const int64 kMaxImagePixels = (int64)1 << 26;

struct RasterImage {
	int32 width = 0;
	int32 height = 0;
	// True when some pixel is not fully opaque (the image then travels as
	// B_RGBA32, else as B_RGB32).
	bool hasAlpha = false;
	std::unique_ptr<uint8[]> bits;

	// Reserves width x height pixels (contents undefined). B_ILLEGAL_DATA
	// for an empty or negative size, B_NO_MEMORY for one past the limits or
	// when memory runs out.
	status_t Allocate(int64 width, int64 height);

	size_t RowBytes() const { return (size_t)width * 4; }
	uint8* Row(int32 y) { return bits.get() + (size_t)y * RowBytes(); }
	const uint8* Row(int32 y) const { return bits.get() + (size_t)y * RowBytes(); }

	// Looks at the alpha bytes and sets hasAlpha.
	void UpdateHasAlpha();
};

// True when a width and height are inside the limits above.
bool image_size_allowed(int64 width, int64 height);

}

#endif
