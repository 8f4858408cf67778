#include "translation/PngCodec.h"

#include "translation/StreamUtil.h"

#include <Errors.h>
#include <TranslatorFormats.h>

#include <png.h>
#include <setjmp.h>
#include <string.h>

#include <new>
#include <vector>

// libpng reports errors by jumping back to the setjmp() of the function
// that called it. The functions below that set a jump point keep every
// object with a destructor in the caller's frame (the *State structures),
// so a jump never skips one, and they return at once after a jump.

namespace BPrivate {

namespace {

const uint8 kSignature[8] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

void
error_callback(png_structp png, png_const_charp /*message*/)
{
	png_longjmp(png, 1);
}

void
warning_callback(png_structp /*png*/, png_const_charp /*message*/)
{
	// Damaged ancillary chunks are dropped silently.
}

void
read_callback(png_structp png, png_bytep data, size_t length)
{
	BPositionIO* source = (BPositionIO*)png_get_io_ptr(png);
	if (read_fully(source, data, length) != (ssize_t)length)
		png_error(png, "the data ends early");
}

void
write_callback(png_structp png, png_bytep data, size_t length)
{
	BPositionIO* destination = (BPositionIO*)png_get_io_ptr(png);
	if (write_fully(destination, data, length) != B_OK)
		png_error(png, "the destination does not take the data");
}

void
flush_callback(png_structp /*png*/)
{
}

struct ReadState {
	png_structp png = NULL;
	png_infop info = NULL;
	std::vector<png_bytep> rows;

	~ReadState() { png_destroy_read_struct(&png, info != NULL ? &info : NULL, NULL); }
};

struct WriteState {
	png_structp png = NULL;
	png_infop info = NULL;
	std::vector<png_bytep> rows;

	~WriteState() { png_destroy_write_struct(&png, info != NULL ? &info : NULL); }
};

bool
recognise_png(BPositionIO* source)
{
	// The signature, then the length and name of the first chunk, which is
	// always IHDR.
	uint8 head[16];
	if (read_fully(source, head, sizeof(head)) != (ssize_t)sizeof(head))
		return false;
	return memcmp(head, kSignature, sizeof(kSignature)) == 0
		&& memcmp(head + 12, "IHDR", 4) == 0;
}

// Reads the header and sets up the conversion to blue-green-red-alpha.
// Returns B_OK or a status to return; jumps on damaged data.
status_t
read_header(ReadState& state, RasterImage* image)
{
	png_structp png = state.png;
	png_infop info = state.info;
	png_read_info(png, info);

	png_uint_32 width, height;
	int bitDepth, colorType, interlace;
	png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace,
		NULL, NULL);
	const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
	const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;

	if (colorType == PNG_COLOR_TYPE_PALETTE)
		png_set_palette_to_rgb(png);
	if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
		png_set_expand_gray_1_2_4_to_8(png);
	if (transparency)
		png_set_tRNS_to_alpha(png);
	if (bitDepth == 16)
		png_set_strip_16(png);
	if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
		png_set_gray_to_rgb(png);
	png_set_bgr(png);
	if (!alpha)
		png_set_filler(png, 0xff, PNG_FILLER_AFTER);
	png_set_interlace_handling(png);
	png_read_update_info(png, info);

	if (png_get_rowbytes(png, info) != (size_t)width * 4)
		return B_ILLEGAL_DATA;
	status_t status = image->Allocate(width, height);
	if (status != B_OK)
		return status;
	try {
		state.rows.resize(height);
	} catch (...) {
		return B_NO_MEMORY;
	}
	for (png_uint_32 y = 0; y < height; y++)
		state.rows[y] = image->Row((int32)y);
	image->hasAlpha = alpha;
	return B_OK;
}

status_t
read_png(ReadState& state, BPositionIO* source, RasterImage* image)
{
	if (setjmp(png_jmpbuf(state.png)))
		return B_ILLEGAL_DATA;

	png_set_read_fn(state.png, source, read_callback);
	// A larger side could never become a BBitmap; libpng refuses it before
	// anything is allocated.
	png_set_user_limits(state.png, kMaxImageSide, kMaxImageSide);
	status_t status = read_header(state, image);
	if (status != B_OK)
		return status;
	png_read_image(state.png, state.rows.data());
	// What follows the pixels (comments, the end chunk) is not needed; a
	// file cut short after them still reads.
	return B_OK;
}

status_t
decode_png(BPositionIO* source, RasterImage* image)
{
	ReadState state;
	state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL,
		error_callback, warning_callback);
	if (state.png == NULL)
		return B_NO_MEMORY;
	state.info = png_create_info_struct(state.png);
	if (state.info == NULL)
		return B_NO_MEMORY;
	status_t status = read_png(state, source, image);
	if (status != B_OK)
		return status;
	if (image->hasAlpha)
		image->UpdateHasAlpha();
	return B_OK;
}

status_t
write_png(WriteState& state, const RasterImage& image, BPositionIO* destination)
{
	if (setjmp(png_jmpbuf(state.png)))
		return B_IO_ERROR;

	png_set_write_fn(state.png, destination, write_callback, flush_callback);
	png_set_IHDR(state.png, state.info, (png_uint_32)image.width,
		(png_uint_32)image.height, 8,
		image.hasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
		PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(state.png, state.info);
	png_set_bgr(state.png);
	if (!image.hasAlpha)
		png_set_filler(state.png, 0, PNG_FILLER_AFTER);   // drops the fourth byte
	png_write_image(state.png, state.rows.data());
	png_write_end(state.png, NULL);
	return B_OK;
}

status_t
encode_png(const RasterImage& image, BPositionIO* destination)
{
	if (image.bits == NULL || image.width <= 0 || image.height <= 0)
		return B_BAD_VALUE;
	WriteState state;
	try {
		state.rows.resize(image.height);
	} catch (...) {
		return B_NO_MEMORY;
	}
	for (int32 y = 0; y < image.height; y++)
		state.rows[y] = const_cast<png_bytep>(image.Row(y));
	state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL,
		error_callback, warning_callback);
	if (state.png == NULL)
		return B_NO_MEMORY;
	state.info = png_create_info_struct(state.png);
	if (state.info == NULL)
		return B_NO_MEMORY;
	return write_png(state, image, destination);
}

const ImageCodec kPngCodec = {
	"PNG Images",
	"Reads and writes PNG images (built in, using libpng).",
	0x100,
	B_PNG_FORMAT,
	"image/png",
	"PNG image",
	0.8f,
	0.8f,
	recognise_png,
	decode_png,
	encode_png
};

}

const ImageCodec&
png_codec()
{
	return kPngCodec;
}

}
