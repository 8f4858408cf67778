#include "ImageFixtures.h"

#include <Bitmap.h>

#include "interface/PngWriter.h"

#include <gif_lib.h>
#include <png.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

#include <vector>

namespace fixture {

Rgba
test_pattern(int x, int y, bool alpha)
{
	return Rgba{ (uint8)(x * 37 + 11), (uint8)(y * 53 + 7),
		(uint8)((x + y) * 29 + 3), (uint8)(alpha ? (x * 41 + y * 13) % 256 : 255) };
}

int
palette_index(int x, int y)
{
	return (x * 3 + y * 5) % 16;
}

Rgba
palette_color(int index)
{
	return Rgba{ (uint8)(index * 16), (uint8)(255 - index * 16),
		(uint8)(index * 40), 255 };
}

Rgba
pixel(const BBitmap* bitmap, int x, int y)
{
	const uint8* p = (const uint8*)bitmap->Bits() + y * bitmap->BytesPerRow() + x * 4;
	return Rgba{ p[2], p[1], p[0], p[3] };
}

std::string
png_via_writer(const std::string& path, int width, int height, bool alpha)
{
	std::vector<uint8> bits((size_t)width * height * 4);
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			Rgba c = test_pattern(x, y, alpha);
			uint8* p = &bits[((size_t)y * width + x) * 4];
			p[0] = c.b;
			p[1] = c.g;
			p[2] = c.r;
			p[3] = c.a;
		}
	}
	BPrivate::write_png(path.c_str(), bits.data(), width, height, width * 4,
		alpha ? B_RGBA32 : B_RGB32);
	return path;
}

namespace {

void
png_append(png_structp png, png_bytep data, size_t length)
{
	((std::string*)png_get_io_ptr(png))->append((const char*)data, length);
}

void
png_flush(png_structp)
{
}

}

std::string
png_bytes(PngKind kind, int width, int height)
{
	std::string out;
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
	png_infop info = png_create_info_struct(png);
	std::vector<std::vector<uint8>> rows(height);
	if (setjmp(png_jmpbuf(png))) {
		png_destroy_write_struct(&png, &info);
		return std::string();
	}
	png_set_write_fn(png, &out, png_append, png_flush);
	switch (kind) {
		case kPngPaletteTransparent: {
			png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE,
				PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
			png_color colors[16];
			for (int i = 0; i < 16; i++) {
				Rgba c = palette_color(i);
				colors[i] = png_color{ c.r, c.g, c.b };
			}
			png_set_PLTE(png, info, colors, 16);
			png_byte alpha[1] = { 0 };   // index 0 transparent
			png_set_tRNS(png, info, alpha, 1, NULL);
			for (int y = 0; y < height; y++) {
				rows[y].resize(width);
				for (int x = 0; x < width; x++)
					rows[y][x] = (uint8)palette_index(x, y);
			}
			break;
		}
		case kPngGray16:
			png_set_IHDR(png, info, width, height, 16, PNG_COLOR_TYPE_GRAY,
				PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
			for (int y = 0; y < height; y++) {
				rows[y].resize(width * 2);
				for (int x = 0; x < width; x++) {
					uint8 level = test_pattern(x, y).r;
					rows[y][x * 2] = level;       // big-endian samples
					rows[y][x * 2 + 1] = 0x80;
				}
			}
			break;
		case kPngInterlaced:
			png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB,
				PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
			for (int y = 0; y < height; y++) {
				rows[y].resize(width * 3);
				for (int x = 0; x < width; x++) {
					Rgba c = test_pattern(x, y);
					rows[y][x * 3] = c.r;
					rows[y][x * 3 + 1] = c.g;
					rows[y][x * 3 + 2] = c.b;
				}
			}
			break;
	}
	std::vector<png_bytep> pointers(height);
	for (int y = 0; y < height; y++)
		pointers[y] = rows[y].data();
	png_write_info(png, info);
	png_write_image(png, pointers.data());
	png_write_end(png, NULL);
	png_destroy_write_struct(&png, &info);
	return out;
}

Rgba
block_color(int x, int y)
{
	static const Rgba kColors[4] = {
		{ 200, 30, 40, 255 }, { 20, 180, 60, 255 }, { 40, 50, 220, 255 },
		{ 230, 230, 30, 255 } };
	return kColors[((x / 8) + (y / 8) * 3) % 4];
}

std::string
jpeg_bytes(int width, int height, bool gray, int quality)
{
	jpeg_compress_struct info;
	jpeg_error_mgr error;
	info.err = jpeg_std_error(&error);
	jpeg_create_compress(&info);
	unsigned char* buffer = NULL;
	unsigned long size = 0;
	jpeg_mem_dest(&info, &buffer, &size);
	info.image_width = width;
	info.image_height = height;
	info.input_components = gray ? 1 : 3;
	info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
	jpeg_set_defaults(&info);
	jpeg_set_quality(&info, quality, TRUE);
	jpeg_start_compress(&info, TRUE);
	std::vector<uint8> row(width * 3);
	while (info.next_scanline < info.image_height) {
		int y = info.next_scanline;
		for (int x = 0; x < width; x++) {
			Rgba c = block_color(x, y);
			if (gray) {
				row[x] = c.g;
			} else {
				row[x * 3] = c.r;
				row[x * 3 + 1] = c.g;
				row[x * 3 + 2] = c.b;
			}
		}
		JSAMPROW pointer = row.data();
		jpeg_write_scanlines(&info, &pointer, 1);
	}
	jpeg_finish_compress(&info);
	jpeg_destroy_compress(&info);
	std::string out((const char*)buffer, size);
	free(buffer);
	return out;
}

namespace {

int
gif_append(GifFileType* gif, const GifByteType* data, int length)
{
	((std::string*)gif->UserData)->append((const char*)data, length);
	return length;
}

}

std::string
gif_bytes(int width, int height, bool interlaced, int transparent,
	int screenWidth, int screenHeight, int left, int top)
{
	std::string out;
	int error = 0;
	GifFileType* gif = EGifOpen(&out, gif_append, &error);
	EGifSetGifVersion(gif, true);
	GifColorType colors[16];
	for (int i = 0; i < 16; i++) {
		Rgba c = palette_color(i);
		colors[i] = GifColorType{ c.r, c.g, c.b };
	}
	ColorMapObject* map = GifMakeMapObject(16, colors);
	EGifPutScreenDesc(gif, screenWidth > 0 ? screenWidth : width,
		screenHeight > 0 ? screenHeight : height, 8, 0, map);
	if (transparent >= 0) {
		GraphicsControlBlock control = {};
		control.DisposalMode = DISPOSAL_UNSPECIFIED;
		control.TransparentColor = transparent;
		GifByteType extension[4];
		EGifGCBToExtension(&control, extension);
		EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
	}
	EGifPutImageDesc(gif, left, top, width, height, interlaced, NULL);
	// The encoder writes lines in the order given: interlaced files get
	// theirs in pass order.
	std::vector<int> order;
	if (interlaced) {
		const int start[4] = { 0, 4, 2, 1 };
		const int step[4] = { 8, 8, 4, 2 };
		for (int pass = 0; pass < 4; pass++)
			for (int y = start[pass]; y < height; y += step[pass])
				order.push_back(y);
	} else {
		for (int y = 0; y < height; y++)
			order.push_back(y);
	}
	std::vector<GifPixelType> line(width);
	for (int y : order) {
		for (int x = 0; x < width; x++)
			line[x] = (GifPixelType)palette_index(x, y);
		EGifPutLine(gif, line.data(), width);
	}
	EGifCloseFile(gif, &error);
	GifFreeMapObject(map);
	return out;
}

namespace {

void
le16(std::string& out, uint32 value)
{
	out += (char)(value & 0xff);
	out += (char)((value >> 8) & 0xff);
}

void
le32(std::string& out, uint32 value)
{
	le16(out, value & 0xffff);
	le16(out, value >> 16);
}

}

Rgba
test_pattern_565(int x, int y)
{
	Rgba c = test_pattern(x, y);
	// Scaled back to 8 bits with rounding.
	auto five = [](uint8 v) { return (uint8)(((v >> 3) * 255 + 15) / 31); };
	auto six = [](uint8 v) { return (uint8)(((v >> 2) * 255 + 31) / 63); };
	return Rgba{ five(c.r), six(c.g), five(c.b), 255 };
}

std::string
bmp_bytes(BmpKind kind, int width, int height)
{
	uint32 bits = 24;
	uint32 headerSize = 40;
	uint32 compression = 0;
	uint32 paletteCount = 0;
	switch (kind) {
		case kBmp24BottomUp:
		case kBmp24TopDown:
			bits = 24;
			break;
		case kBmpCore24:
			bits = 24;
			headerSize = 12;
			break;
		case kBmp32:
			bits = 32;
			break;
		case kBmp32AlphaMasks:
			bits = 32;
			headerSize = 124;
			compression = 3;
			break;
		case kBmp16Masks565:
			bits = 16;
			compression = 3;
			break;
		case kBmp8Palette:
			bits = 8;
			paletteCount = 16;
			break;
		case kBmp4Palette:
			bits = 4;
			paletteCount = 16;
			break;
		case kBmp8Rle:
			bits = 8;
			paletteCount = 16;
			compression = 1;
			break;
	}
	const bool topDown = kind == kBmp24TopDown;
	const uint32 stride = ((width * bits + 31) / 32) * 4;

	// The pixels, in stored row order.
	std::string pixels;
	for (int stored = 0; stored < height; stored++) {
		int y = topDown ? stored : height - 1 - stored;
		if (kind == kBmp8Rle) {
			// Runs of two equal pixels where the pattern allows, else
			// one-pixel runs; then the end of the line.
			for (int x = 0; x < width; x++) {
				pixels += (char)1;
				pixels += (char)palette_index(x, y);
			}
			pixels += (char)0;
			pixels += (char)(stored + 1 == height ? 1 : 0);
			continue;
		}
		std::string row;
		for (int x = 0; x < width; x++) {
			Rgba c = test_pattern(x, y, kind == kBmp32AlphaMasks);
			switch (bits) {
				case 24:
					row += (char)c.b;
					row += (char)c.g;
					row += (char)c.r;
					break;
				case 32:
					row += (char)c.b;
					row += (char)c.g;
					row += (char)c.r;
					row += (char)(kind == kBmp32AlphaMasks ? c.a : 0);
					break;
				case 16:
					le16(row, ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
					break;
				case 8:
					row += (char)palette_index(x, y);
					break;
				case 4:
					if (x % 2 == 0)
						row += (char)(palette_index(x, y) << 4);
					else
						row.back() = (char)(row.back() | palette_index(x, y));
					break;
			}
		}
		row.resize(stride, '\0');
		pixels += row;
	}

	std::string header;
	le32(header, headerSize);
	if (headerSize == 12) {
		le16(header, width);
		le16(header, height);
		le16(header, 1);
		le16(header, bits);
	} else {
		le32(header, width);
		le32(header, topDown ? (uint32)-height : (uint32)height);
		le16(header, 1);
		le16(header, bits);
		le32(header, compression);
		le32(header, (uint32)pixels.size());
		le32(header, 2835);
		le32(header, 2835);
		le32(header, paletteCount);
		le32(header, 0);
		if (headerSize == 124) {
			le32(header, 0x00ff0000);
			le32(header, 0x0000ff00);
			le32(header, 0x000000ff);
			le32(header, 0xff000000);
			header.resize(headerSize, '\0');
		} else if (kind == kBmp16Masks565) {
			// The masks follow the 40-byte header.
			le32(header, 0xf800);
			le32(header, 0x07e0);
			le32(header, 0x001f);
		}
	}
	std::string palette;
	for (uint32 i = 0; i < paletteCount; i++) {
		Rgba c = palette_color(i);
		palette += (char)c.b;
		palette += (char)c.g;
		palette += (char)c.r;
		palette += (char)0;
	}

	std::string file = "BM";
	const uint32 offset = 14 + header.size() + palette.size();
	le32(file, offset + pixels.size());
	le32(file, 0);
	le32(file, offset);
	return file + header + palette + pixels;
}

}
