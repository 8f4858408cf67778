// ImageCodec: what the built-in image translators know about one file
// format: its description, how to recognise it, and how to read (and
// perhaps write) it. ImageTranslator turns a codec into a BTranslator.
#ifndef TRANSLATION_IMAGE_CODEC_H
#define TRANSLATION_IMAGE_CODEC_H

#include <DataIO.h>
#include <TranslationDefs.h>

#include "translation/RasterImage.h"

namespace BPrivate {

struct ImageCodec {
	const char* translatorName;
	const char* translatorInfo;
	int32 translatorVersion;
	// The file format (type, MIME, name; group B_TRANSLATOR_BITMAP) and how
	// well the codec reads it.
	uint32 type;
	const char* mime;
	const char* formatName;
	float quality;
	float capability;

	// Whether the stream, from its current position, holds this format in
	// a variant the codec can read. May move the position.
	bool (*recognise)(BPositionIO* source);
	// Reads the image from the current position. B_ILLEGAL_DATA for damaged
	// or cut-short data, B_NO_MEMORY for an image past the size limits.
	status_t (*decode)(BPositionIO* source, RasterImage* image);
	// Writes the image in this format; NULL when the codec only reads.
	status_t (*encode)(const RasterImage& image, BPositionIO* destination);
};

}

#endif
