#include "display/PngFile.h"

#include <png.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace display {

status_t write_png_file(const char* path, const uint32* pixels, int32 width,
	int32 height)
{
	if (path == nullptr || pixels == nullptr || width <= 0 || height <= 0)
		return B_BAD_VALUE;

	std::vector<uint8> rgb((size_t)width * height * 3);
	for (size_t i = 0; i < (size_t)width * height; i++) {
		rgb[i * 3 + 0] = (uint8)(pixels[i] >> 16);
		rgb[i * 3 + 1] = (uint8)(pixels[i] >> 8);
		rgb[i * 3 + 2] = (uint8)pixels[i];
	}

	png_image image;
	memset(&image, 0, sizeof(image));
	image.version = PNG_IMAGE_VERSION;
	image.width = (png_uint_32)width;
	image.height = (png_uint_32)height;
	image.format = PNG_FORMAT_RGB;

	std::string temporary = std::string(path) + ".part";
	if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgb.data(),
			width * 3, nullptr)) {
		int error = errno;
		fprintf(stderr, "display: cannot write %s: %s\n", path, image.message);
		remove(temporary.c_str());
		return error != 0 ? errno_to_status(error) : B_ERROR;
	}
	if (rename(temporary.c_str(), path) != 0) {
		int error = errno;
		remove(temporary.c_str());
		return errno_to_status(error);
	}
	return B_OK;
}

}
