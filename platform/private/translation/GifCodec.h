// The built-in GIF codec.
#ifndef TRANSLATION_GIF_CODEC_H
#define TRANSLATION_GIF_CODEC_H

#include "translation/ImageCodec.h"

namespace BPrivate {

const ImageCodec& gif_codec();

}

#endif
