#include "translation/JpegCodec.h"

#include "translation/StreamUtil.h"

#include <Errors.h>
#include <TranslatorFormats.h>

#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <memory>
#include <new>

#include <jpeglib.h>

// libjpeg reports fatal errors through error_exit, which must not return;
// ours jumps back to the setjmp() in read_jpeg. As with PNG, every object
// with a destructor lives in the caller's frame (DecodeState), so a jump
// skips none.

namespace BPrivate {

namespace {

const size_t kInputBufferSize = 16384;

struct ErrorManager {
	jpeg_error_mgr base;
	jmp_buf jump;
};

// Feeds the decoder from a BPositionIO. At the end of the data it hands
// over an end-of-image marker, as libjpeg expects, and notes that the data
// ended early.
struct SourceManager {
	jpeg_source_mgr base;
	BPositionIO* stream;
	JOCTET buffer[kInputBufferSize];
	bool endedEarly;
};

struct DecodeState {
	jpeg_decompress_struct info;
	ErrorManager error;
	SourceManager source;
	bool created = false;

	~DecodeState()
	{
		if (created)
			jpeg_destroy_decompress(&info);
	}
};

void
error_exit(j_common_ptr info)
{
	ErrorManager* error = (ErrorManager*)info->err;
	longjmp(error->jump, 1);
}

void
output_message(j_common_ptr /*info*/)
{
	// Warnings about damaged data are not printed; the caller hears about
	// real failures through the result.
}

void
init_source(j_decompress_ptr /*info*/)
{
}

boolean
fill_input_buffer(j_decompress_ptr info)
{
	SourceManager* source = (SourceManager*)info->src;
	ssize_t got = source->stream->Read(source->buffer, kInputBufferSize);
	if (got <= 0) {
		source->endedEarly = true;
		source->buffer[0] = (JOCTET)0xff;
		source->buffer[1] = (JOCTET)JPEG_EOI;
		got = 2;
	}
	source->base.next_input_byte = source->buffer;
	source->base.bytes_in_buffer = (size_t)got;
	return TRUE;
}

void
skip_input_data(j_decompress_ptr info, long count)
{
	SourceManager* source = (SourceManager*)info->src;
	if (count <= 0)
		return;
	while ((size_t)count > source->base.bytes_in_buffer) {
		count -= (long)source->base.bytes_in_buffer;
		fill_input_buffer(info);
		if (source->endedEarly)
			return;
	}
	source->base.next_input_byte += count;
	source->base.bytes_in_buffer -= (size_t)count;
}

void
term_source(j_decompress_ptr /*info*/)
{
}

bool
recognise_jpeg(BPositionIO* source)
{
	// Start-of-image, then the first marker.
	uint8 head[3];
	if (read_fully(source, head, sizeof(head)) != (ssize_t)sizeof(head))
		return false;
	return head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff;
}

// CMYK and YCCK files: libjpeg hands out CMYK, inverted in the files that
// Adobe applications write (most of them).
void
cmyk_row_to_bgra(const JSAMPLE* cmyk, int32 width, bool inverted, uint8* out)
{
	for (int32 x = 0; x < width; x++, cmyk += 4, out += 4) {
		uint32 c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
		if (!inverted) {
			c = 255 - c;
			m = 255 - m;
			y = 255 - y;
			k = 255 - k;
		}
		out[0] = (uint8)(y * k / 255);
		out[1] = (uint8)(m * k / 255);
		out[2] = (uint8)(c * k / 255);
		out[3] = 255;
	}
}

status_t
read_jpeg(DecodeState& state, RasterImage* image, JSAMPLE* cmykRow)
{
	jpeg_decompress_struct& info = state.info;
	if (setjmp(state.error.jump))
		return B_ILLEGAL_DATA;

	if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
		return B_ILLEGAL_DATA;
	if (!image_size_allowed(info.image_width, info.image_height))
		return B_NO_MEMORY;

	const bool cmyk = info.jpeg_color_space == JCS_CMYK
		|| info.jpeg_color_space == JCS_YCCK;
	info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
	jpeg_start_decompress(&info);
	if (info.output_width != info.image_width
		|| info.output_height != info.image_height
		|| info.output_components != 4)
		return B_ILLEGAL_DATA;

	status_t status = image->Allocate(info.output_width, info.output_height);
	if (status != B_OK)
		return status;
	while (info.output_scanline < info.output_height) {
		uint8* out = image->Row((int32)info.output_scanline);
		JSAMPROW row = cmyk ? cmykRow : (JSAMPROW)out;
		if (jpeg_read_scanlines(&info, &row, 1) != 1)
			return B_ILLEGAL_DATA;
		if (cmyk)
			cmyk_row_to_bgra(cmykRow, image->width, info.saw_Adobe_marker, out);
		// Rows made up after the data ran out are not the picture.
		if (state.source.endedEarly)
			return B_ILLEGAL_DATA;
	}
	// What follows the last row is not needed: a file cut short right
	// after it still reads.
	jpeg_abort_decompress(&info);
	image->hasAlpha = false;
	return B_OK;
}

status_t
decode_jpeg(BPositionIO* source, RasterImage* image)
{
	// The conversion buffer for CMYK files, large enough for any width.
	std::unique_ptr<JSAMPLE[]> cmykRow(
		new (std::nothrow) JSAMPLE[(size_t)kMaxImageSide * 4]);
	if (!cmykRow)
		return B_NO_MEMORY;

	DecodeState state;
	state.info.err = jpeg_std_error(&state.error.base);
	state.error.base.error_exit = error_exit;
	state.error.base.output_message = output_message;
	if (setjmp(state.error.jump))
		return B_NO_MEMORY;   // only running out of memory gets here
	jpeg_create_decompress(&state.info);
	state.created = true;
	// Even the largest allowed image stays within this budget.
	state.info.mem->max_memory_to_use = 512L * 1024 * 1024;

	state.source.stream = source;
	state.source.endedEarly = false;
	state.source.base.init_source = init_source;
	state.source.base.fill_input_buffer = fill_input_buffer;
	state.source.base.skip_input_data = skip_input_data;
	state.source.base.resync_to_restart = jpeg_resync_to_restart;
	state.source.base.term_source = term_source;
	state.source.base.next_input_byte = NULL;
	state.source.base.bytes_in_buffer = 0;
	state.info.src = &state.source.base;

	return read_jpeg(state, image, cmykRow.get());
}

const ImageCodec kJpegCodec = {
	"JPEG Images",
	"Reads JPEG images (built in, using libjpeg).",
	0x100,
	B_JPEG_FORMAT,
	"image/jpeg",
	"JPEG image",
	0.8f,
	0.8f,
	recognise_jpeg,
	decode_jpeg,
	NULL
};

}

const ImageCodec&
jpeg_codec()
{
	return kJpegCodec;
}

}
