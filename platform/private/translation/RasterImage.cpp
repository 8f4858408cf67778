#include "translation/RasterImage.h"

#include <Errors.h>

#include <new>

namespace BPrivate {

bool
image_size_allowed(int64 width, int64 height)
{
	return width > 0 && height > 0 && width <= kMaxImageSide
		&& height <= kMaxImageSide && width * height <= kMaxImagePixels;
}

status_t
RasterImage::Allocate(int64 newWidth, int64 newHeight)
{
	bits.reset();
	width = height = 0;
	hasAlpha = false;
	if (newWidth <= 0 || newHeight <= 0)
		return B_ILLEGAL_DATA;
	if (!image_size_allowed(newWidth, newHeight))
		return B_NO_MEMORY;
	bits.reset(new (std::nothrow) uint8[(size_t)(newWidth * newHeight * 4)]);
	if (!bits)
		return B_NO_MEMORY;
	width = (int32)newWidth;
	height = (int32)newHeight;
	return B_OK;
}

void
RasterImage::UpdateHasAlpha()
{
	hasAlpha = false;
	const size_t count = (size_t)width * height;
	const uint8* pixel = bits.get();
	for (size_t i = 0; i < count; i++, pixel += 4) {
		if (pixel[3] != 255) {
			hasAlpha = true;
			return;
		}
	}
}

}
