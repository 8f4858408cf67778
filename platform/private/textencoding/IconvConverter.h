// iconv descriptors, opened once per thread and encoding pair, and the
// conversion loops that run on them.
#ifndef PRIVATE_TEXTENCODING_ICONV_CONVERTER_H
#define PRIVATE_TEXTENCODING_ICONV_CONVERTER_H

#include "textencoding/Charsets.h"

#include <SupportDefs.h>

#include <iconv.h>

namespace BPrivate {

// A descriptor from `from` to `to`, reset to its initial state, or
// (iconv_t)-1 when iconv lacks the pair. It belongs to the calling thread
// (a descriptor cannot be shared between threads) and stays open for the
// thread's lifetime.
iconv_t iconv_converter(const char* from, const char* to);

// Converts exactly one character of `length` bytes. Returns the bytes
// written to `out` (room for `outSize`), or 0 when the character cannot be
// converted.
size_t convert_one(iconv_t converter, const char* in, size_t length, char* out,
	size_t outSize);

// The two directions of a stateless conversion through iconv, with the
// length semantics described in UTF8.h. `srcLength` and `dstLength` are
// in/out.
void iconv_to_utf8(iconv_t converter, CharLayout layout, const char* src,
	size_t* srcLength, char* dst, size_t* dstLength, char substitute);
void iconv_from_utf8(iconv_t converter, CharLayout layout, const char* src,
	size_t* srcLength, char* dst, size_t* dstLength, char substitute);

}

#endif
