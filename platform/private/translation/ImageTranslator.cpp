#include "translation/ImageTranslator.h"

#include "translation/BitmapFormat.h"
#include "translation/BmpCodec.h"
#include "translation/GifCodec.h"
#include "translation/JpegCodec.h"
#include "translation/PngCodec.h"
#include "translation/StreamUtil.h"

#include <Message.h>
#include <TranslatorFormats.h>

#include <stdio.h>
#include <string.h>

namespace BPrivate {

namespace {

void
set_format(translation_format* format, uint32 type, float quality,
	float capability, const char* mime, const char* name)
{
	memset(format, 0, sizeof(*format));
	format->type = type;
	format->group = B_TRANSLATOR_BITMAP;
	format->quality = quality;
	format->capability = capability;
	snprintf(format->MIME, sizeof(format->MIME), "%s", mime);
	snprintf(format->name, sizeof(format->name), "%s", name);
}

void
fill_info(translator_info* info, const translation_format& format)
{
	memset(info, 0, sizeof(*info));
	info->type = format.type;
	info->group = format.group;
	info->quality = format.quality;
	info->capability = format.capability;
	snprintf(info->name, sizeof(info->name), "%s", format.name);
	snprintf(info->MIME, sizeof(info->MIME), "%s", format.MIME);
}

bool
find_flag(const BMessage* message, const char* name)
{
	bool value = false;
	return message != NULL && message->FindBool(name, &value) == B_OK && value;
}

}

ImageTranslator::ImageTranslator(const ImageCodec& codec)
	:
	fCodec(codec)
{
	set_format(&fFileFormat, codec.type, codec.quality, codec.capability,
		codec.mime, codec.formatName);
	set_format(&fBitmapFormat, B_TRANSLATOR_BITMAP, 0.4f, 0.6f,
		"image/x-be-bitmap", "Be Bitmap Format");

	// Reading: the file format in, standard bitmaps out. Writing adds the
	// other direction.
	fInputs[0] = fFileFormat;
	fOutputs[0] = fBitmapFormat;
	fFormatCount = 1;
	if (codec.encode != NULL) {
		fInputs[1] = fBitmapFormat;
		fOutputs[1] = fFileFormat;
		fFormatCount = 2;
	}
}

ImageTranslator::~ImageTranslator()
{
}

const char*
ImageTranslator::TranslatorName() const
{
	return fCodec.translatorName;
}

const char*
ImageTranslator::TranslatorInfo() const
{
	return fCodec.translatorInfo;
}

int32
ImageTranslator::TranslatorVersion() const
{
	return fCodec.translatorVersion;
}

const translation_format*
ImageTranslator::InputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = fFormatCount;
	return fInputs;
}

const translation_format*
ImageTranslator::OutputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = fFormatCount;
	return fOutputs;
}

ImageTranslator::Source
ImageTranslator::_Examine(BPositionIO* source) const
{
	{
		PositionKeeper keeper(source);
		if (fCodec.recognise(source))
			return kFileFormat;
	}
	if (fCodec.encode != NULL && is_bitmap_stream(source))
		return kStandardBitmap;
	return kNotOurs;
}

status_t
ImageTranslator::Identify(BPositionIO* inSource,
	const translation_format* /*inFormat*/, BMessage* /*ioExtension*/,
	translator_info* outInfo, uint32 outType)
{
	if (inSource == NULL || outInfo == NULL)
		return B_BAD_VALUE;
	if (outType == 0)
		outType = B_TRANSLATOR_BITMAP;

	switch (_Examine(inSource)) {
		case kFileFormat:
			if (outType != B_TRANSLATOR_BITMAP)
				return B_NO_TRANSLATOR;
			fill_info(outInfo, fFileFormat);
			return B_OK;
		case kStandardBitmap:
			if (outType != B_TRANSLATOR_BITMAP && outType != fCodec.type)
				return B_NO_TRANSLATOR;
			fill_info(outInfo, fBitmapFormat);
			return B_OK;
		default:
			return B_NO_TRANSLATOR;
	}
}

status_t
ImageTranslator::Translate(BPositionIO* inSource,
	const translator_info* /*inInfo*/, BMessage* ioExtension, uint32 outType,
	BPositionIO* outDestination)
{
	if (inSource == NULL || outDestination == NULL)
		return B_BAD_VALUE;
	if (outType == 0)
		outType = B_TRANSLATOR_BITMAP;
	const bool headerOnly = find_flag(ioExtension, B_TRANSLATOR_EXT_HEADER_ONLY);
	const bool dataOnly = find_flag(ioExtension, B_TRANSLATOR_EXT_DATA_ONLY);

	// The whole image is read before anything is written, so that damaged
	// data never leaves half a picture in the destination.
	RasterImage image;
	status_t status;
	switch (_Examine(inSource)) {
		case kFileFormat:
			if (outType != B_TRANSLATOR_BITMAP)
				return B_NO_TRANSLATOR;
			status = fCodec.decode(inSource, &image);
			if (status != B_OK)
				return status;
			return write_bitmap_stream(image, outDestination, headerOnly, dataOnly);
		case kStandardBitmap:
			if (outType != B_TRANSLATOR_BITMAP && outType != fCodec.type)
				return B_NO_TRANSLATOR;
			status = read_bitmap_stream(inSource, &image);
			if (status != B_OK)
				return status;
			if (outType == fCodec.type)
				return fCodec.encode(image, outDestination);
			return write_bitmap_stream(image, outDestination, headerOnly, dataOnly);
		default:
			return B_NO_TRANSLATOR;
	}
}

BTranslator*
make_builtin_translator(int32 n)
{
	switch (n) {
		case 0:
			return new ImageTranslator(png_codec());
		case 1:
			return new ImageTranslator(jpeg_codec());
		case 2:
			return new ImageTranslator(gif_codec());
		case 3:
			return new ImageTranslator(bmp_codec());
		default:
			return NULL;
	}
}

}
