// The built-in JPEG codec.
#ifndef TRANSLATION_JPEG_CODEC_H
#define TRANSLATION_JPEG_CODEC_H

#include "translation/ImageCodec.h"

namespace BPrivate {

const ImageCodec& jpeg_codec();

}

#endif
