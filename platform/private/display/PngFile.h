// Writes window contents to a PNG file.
#ifndef DISPLAY_PNG_FILE_H
#define DISPLAY_PNG_FILE_H

#include <SupportDefs.h>

namespace display {

// `pixels` holds width x height uint32 values 0xAARRGGBB, row after row.
// Window contents are opaque, so the file has no alpha channel. The file is
// written under a temporary name and renamed into place, so that a reader
// never sees half a picture.
status_t write_png_file(const char* path, const uint32* pixels, int32 width,
	int32 height);

}

#endif
