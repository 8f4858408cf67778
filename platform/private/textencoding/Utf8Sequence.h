// Small helpers for UTF-8 byte sequences.
#ifndef PRIVATE_TEXTENCODING_UTF8_SEQUENCE_H
#define PRIVATE_TEXTENCODING_UTF8_SEQUENCE_H

#include <SupportDefs.h>

#include <stddef.h>

namespace BPrivate {

// What the bytes at the start of a UTF-8 text hold.
struct Utf8Char {
	enum Kind { Valid, Invalid, Incomplete } kind;
	size_t length;  // bytes of the character, or of the invalid run (1)
};

// Looks at the character at `bytes` (`length` > 0 bytes available). Overlong
// forms, surrogates and values past U+10FFFF are invalid; a valid beginning
// cut off by the end of the data is incomplete.
Utf8Char utf8_char_at(const unsigned char* bytes, size_t length);

// Writes the UTF-8 form of `codePoint` (at most 4 bytes) and returns its
// length.
size_t encode_utf8(uint32 codePoint, char* out);

}

#endif
