// The built-in BMP codec.
#ifndef TRANSLATION_BMP_CODEC_H
#define TRANSLATION_BMP_CODEC_H

#include "translation/ImageCodec.h"

namespace BPrivate {

const ImageCodec& bmp_codec();

}

#endif
