// ImageTranslator: a built-in translator for one image file format. It
// reads the format into the standard bitmap format; a codec that can write
// also turns standard bitmaps into the format (and passes standard bitmaps
// through unchanged).
//
// Honours the extension fields B_TRANSLATOR_EXT_HEADER_ONLY and
// B_TRANSLATOR_EXT_DATA_ONLY when writing the standard format. Holds no
// state between calls, so any number of threads may use it at once.
#ifndef TRANSLATION_IMAGE_TRANSLATOR_H
#define TRANSLATION_IMAGE_TRANSLATOR_H

#include <Translator.h>

#include "translation/ImageCodec.h"

namespace BPrivate {

class ImageTranslator : public BTranslator {
public:
	explicit ImageTranslator(const ImageCodec& codec);

	virtual const char* TranslatorName() const;
	virtual const char* TranslatorInfo() const;
	virtual int32 TranslatorVersion() const;
	virtual const translation_format* InputFormats(int32* outCount) const;
	virtual const translation_format* OutputFormats(int32* outCount) const;
	virtual status_t Identify(BPositionIO* inSource,
		const translation_format* inFormat, BMessage* ioExtension,
		translator_info* outInfo, uint32 outType);
	virtual status_t Translate(BPositionIO* inSource,
		const translator_info* inInfo, BMessage* ioExtension, uint32 outType,
		BPositionIO* outDestination);

protected:
	virtual ~ImageTranslator();

private:
	enum Source { kNotOurs, kFileFormat, kStandardBitmap };
	// What the stream holds, from its current position (which is kept).
	Source _Examine(BPositionIO* source) const;

	const ImageCodec& fCodec;
	translation_format fFileFormat;
	translation_format fBitmapFormat;
	translation_format fInputs[2];
	translation_format fOutputs[2];
	int32 fFormatCount;
};

// The built-in translators, one for n = 0, 1, ... and NULL after the last.
BTranslator* make_builtin_translator(int32 n);

}

#endif
