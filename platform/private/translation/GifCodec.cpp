#include "translation/GifCodec.h"

#include "translation/StreamUtil.h"

#include <Errors.h>
#include <TranslatorFormats.h>

#include <gif_lib.h>
#include <string.h>

#include <memory>
#include <new>

// Only the first image of a GIF file is read (a background shows one
// picture); it is placed on the file's logical screen, which stays
// transparent where the image does not cover it.

namespace BPrivate {

namespace {

struct GifCloser {
	void operator()(GifFileType* gif) const
	{
		int error;
		DGifCloseFile(gif, &error);
	}
};

int
read_callback(GifFileType* gif, GifByteType* buffer, int length)
{
	BPositionIO* source = (BPositionIO*)gif->UserData;
	if (length <= 0)
		return 0;
	ssize_t got = read_fully(source, buffer, (size_t)length);
	return got > 0 ? (int)got : 0;
}

bool
recognise_gif(BPositionIO* source)
{
	// Signature and version, then the logical screen's width and height.
	uint8 head[10];
	if (read_fully(source, head, sizeof(head)) != (ssize_t)sizeof(head))
		return false;
	return memcmp(head, "GIF87a", 6) == 0 || memcmp(head, "GIF89a", 6) == 0;
}

// The transparent index set by a graphic control extension, or -1.
int
transparent_index(const GifByteType* block)
{
	if (block == NULL || block[0] < 4)
		return -1;
	return (block[1] & 0x01) != 0 ? block[4] : -1;
}

status_t
read_image(GifFileType* gif, int transparent, RasterImage* image)
{
	if (DGifGetImageDesc(gif) == GIF_ERROR)
		return B_ILLEGAL_DATA;
	const GifImageDesc& frame = gif->Image;
	if (frame.Width <= 0 || frame.Height <= 0
		|| (int64)frame.Width * frame.Height > kMaxImagePixels)
		return B_ILLEGAL_DATA;
	const ColorMapObject* colors = frame.ColorMap != NULL ? frame.ColorMap
		: gif->SColorMap;
	if (colors == NULL || colors->Colors == NULL || colors->ColorCount <= 0)
		return B_ILLEGAL_DATA;

	// Some writers leave the screen size 0; the image then sets it.
	int64 width = gif->SWidth > 0 ? gif->SWidth : (int64)frame.Left + frame.Width;
	int64 height = gif->SHeight > 0 ? gif->SHeight : (int64)frame.Top + frame.Height;
	status_t status = image->Allocate(width, height);
	if (status != B_OK)
		return status;
	memset(image->bits.get(), 0, image->RowBytes() * image->height);

	std::unique_ptr<GifPixelType[]> line(new (std::nothrow) GifPixelType[frame.Width]);
	if (!line)
		return B_NO_MEMORY;

	// Interlaced images come in four passes over the rows.
	static const int kPassStart[4] = { 0, 4, 2, 1 };
	static const int kPassStep[4] = { 8, 8, 4, 2 };
	const int passes = frame.Interlace ? 4 : 1;
	for (int pass = 0; pass < passes; pass++) {
		int start = frame.Interlace ? kPassStart[pass] : 0;
		int step = frame.Interlace ? kPassStep[pass] : 1;
		for (int row = start; row < frame.Height; row += step) {
			if (DGifGetLine(gif, line.get(), frame.Width) == GIF_ERROR)
				return B_ILLEGAL_DATA;
			int64 y = (int64)frame.Top + row;
			if (y < 0 || y >= image->height)
				continue;
			uint8* out = image->Row((int32)y);
			for (int column = 0; column < frame.Width; column++) {
				int64 x = (int64)frame.Left + column;
				if (x >= image->width)
					break;
				int index = line[column];
				uint8* pixel = out + x * 4;
				if (index == transparent) {
					memset(pixel, 0, 4);
				} else if (index < colors->ColorCount) {
					const GifColorType& color = colors->Colors[index];
					pixel[0] = color.Blue;
					pixel[1] = color.Green;
					pixel[2] = color.Red;
					pixel[3] = 255;
				} else {
					// An index past the palette: black, as most readers show it.
					pixel[0] = pixel[1] = pixel[2] = 0;
					pixel[3] = 255;
				}
			}
		}
	}
	image->UpdateHasAlpha();
	return B_OK;
}

status_t
decode_gif(BPositionIO* source, RasterImage* image)
{
	int error = 0;
	std::unique_ptr<GifFileType, GifCloser> gif(
		DGifOpen(source, read_callback, &error));
	if (!gif)
		return error == D_GIF_ERR_NOT_ENOUGH_MEM ? (status_t)B_NO_MEMORY
			: (status_t)B_ILLEGAL_DATA;

	int transparent = -1;
	for (;;) {
		GifRecordType record;
		if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
			return B_ILLEGAL_DATA;
		switch (record) {
			case IMAGE_DESC_RECORD_TYPE:
				return read_image(gif.get(), transparent, image);
			case EXTENSION_RECORD_TYPE: {
				int code;
				GifByteType* block;
				if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
					return B_ILLEGAL_DATA;
				if (code == GRAPHICS_EXT_FUNC_CODE)
					transparent = transparent_index(block);
				while (block != NULL) {
					if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
						return B_ILLEGAL_DATA;
				}
				break;
			}
			case TERMINATE_RECORD_TYPE:
				return B_ILLEGAL_DATA;   // a file without any image
			default:
				return B_ILLEGAL_DATA;
		}
	}
}

const ImageCodec kGifCodec = {
	"GIF Images",
	"Reads GIF images, the first picture of animated ones (built in, using giflib).",
	0x100,
	B_GIF_FORMAT,
	"image/gif",
	"GIF image",
	0.8f,
	0.8f,
	recognise_gif,
	decode_gif,
	NULL
};

}

const ImageCodec&
gif_codec()
{
	return kGifCodec;
}

}
