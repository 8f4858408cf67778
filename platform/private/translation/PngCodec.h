// The built-in PNG codec.
#ifndef TRANSLATION_PNG_CODEC_H
#define TRANSLATION_PNG_CODEC_H

#include "translation/ImageCodec.h"

namespace BPrivate {

const ImageCodec& png_codec();

}

#endif
