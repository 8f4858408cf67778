// Writes pixels to a PNG file, so that people and tests can look at what a
// window or bitmap shows.
//
// B_RGB32 buffers become RGB images (alpha is ignored); B_RGBA32 buffers and
// B_CMAP8 bitmaps become RGBA images (palette index 255 transparent). The
// file is written under a temporary name and renamed when complete, so a
// failed write never leaves half a picture behind.
#ifndef INTERFACE_PNG_WRITER_H
#define INTERFACE_PNG_WRITER_H

#include <GraphicsDefs.h>

class BBitmap;

namespace BPrivate {

// B_OK, B_BAD_VALUE for an unusable buffer or space, or the error of
// creating or writing the file.
status_t write_png(const char* path, const void* bits, int32 width,
	int32 height, int32 bytesPerRow, color_space space);
status_t write_png(const char* path, const BBitmap* bitmap);

}

#endif
