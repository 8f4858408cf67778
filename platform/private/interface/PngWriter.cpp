#include "interface/PngWriter.h"

#include "storage/SafeWrite.h"

#include <Bitmap.h>

#include <png.h>
#include <setjmp.h>
#include <string.h>

#include <vector>

namespace BPrivate {

namespace {

void
png_error_handler(png_structp png, png_const_charp /*message*/)
{
	longjmp(png_jmpbuf(png), 1);
}

void
png_warning_handler(png_structp, png_const_charp)
{
}

// The picture is made in memory and written as a whole.
void
png_append(png_structp png, png_bytep data, png_size_t length)
{
	std::vector<uint8>* out = static_cast<std::vector<uint8>*>(png_get_io_ptr(png));
	out->insert(out->end(), data, data + length);
}

void
png_flush_nothing(png_structp)
{
}

// Converts one row to 8-bit RGB or RGBA.
void
convert_row(const uint8* source, int32 width, color_space space, uint8* row)
{
	const color_map* palette = space == B_CMAP8 ? system_colors() : NULL;
	for (int32 x = 0; x < width; x++) {
		switch (space) {
			case B_RGB32:
				row[x * 3] = source[x * 4 + 2];
				row[x * 3 + 1] = source[x * 4 + 1];
				row[x * 3 + 2] = source[x * 4];
				break;
			case B_RGBA32:
				row[x * 4] = source[x * 4 + 2];
				row[x * 4 + 1] = source[x * 4 + 1];
				row[x * 4 + 2] = source[x * 4];
				row[x * 4 + 3] = source[x * 4 + 3];
				break;
			default: {
				rgb_color color = palette->color_list[source[x]];
				row[x * 4] = color.red;
				row[x * 4 + 1] = color.green;
				row[x * 4 + 2] = color.blue;
				row[x * 4 + 3] = source[x] == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255;
				break;
			}
		}
	}
}

// Everything that libpng may jump across lives outside this function's
// frame, so that longjmp skips no destructor.
bool
write_rows(std::vector<uint8>* out, const uint8* bits, int32 width, int32 height,
	int32 bytesPerRow, color_space space, uint8* row)
{
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL,
		png_error_handler, png_warning_handler);
	if (png == NULL)
		return false;
	png_infop info = png_create_info_struct(png);
	if (info == NULL) {
		png_destroy_write_struct(&png, NULL);
		return false;
	}
	if (setjmp(png_jmpbuf(png))) {
		png_destroy_write_struct(&png, &info);
		return false;
	}
	png_set_write_fn(png, out, png_append, png_flush_nothing);
	png_set_IHDR(png, info, width, height, 8,
		space == B_RGB32 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
		PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int32 y = 0; y < height; y++) {
		convert_row(bits + (size_t)y * bytesPerRow, width, space, row);
		png_write_row(png, row);
	}
	png_write_end(png, info);
	png_destroy_write_struct(&png, &info);
	return true;
}

}

status_t
write_png(const char* path, const void* bits, int32 width, int32 height,
	int32 bytesPerRow, color_space space)
{
	if (path == NULL || bits == NULL || width <= 0 || height <= 0)
		return B_BAD_VALUE;
	int32 pixelSize = space == B_CMAP8 ? 1 : 4;
	if ((space != B_RGB32 && space != B_RGBA32 && space != B_CMAP8)
		|| bytesPerRow < width * pixelSize)
		return B_BAD_VALUE;

	std::vector<uint8> row((size_t)width * 4);
	std::vector<uint8> encoded;
	if (!write_rows(&encoded, (const uint8*)bits, width, height, bytesPerRow,
			space, row.data()))
		return B_ERROR;
	// A picture can be made again: no flush to the disk.
	return write_file_safely(path, encoded.data(), encoded.size(), 0644, 0);
}

status_t
write_png(const char* path, const BBitmap* bitmap)
{
	if (bitmap == NULL || !bitmap->IsValid())
		return B_BAD_VALUE;
	BRect bounds = bitmap->Bounds();
	return write_png(path, bitmap->Bits(), bounds.IntegerWidth() + 1,
		bounds.IntegerHeight() + 1, bitmap->BytesPerRow(), bitmap->ColorSpace());
}

}
