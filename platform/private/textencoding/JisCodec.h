// ISO-2022-JP ("JIS"): 7-bit Japanese text that switches character sets with
// escape sequences. The set in force is the conversion state that
// convert_to_utf8 and convert_from_utf8 carry between calls.
#ifndef PRIVATE_TEXTENCODING_JIS_CODEC_H
#define PRIVATE_TEXTENCODING_JIS_CODEC_H

#include <SupportDefs.h>

#include <stddef.h>

namespace BPrivate {

// Decodes JIS into UTF-8. Accepts ESC ( B (ASCII), ESC ( J (JIS Roman),
// ESC ( I (half-width katakana), ESC $ @ and ESC $ B (JIS X 0208), ESC $ ( D
// (JIS X 0212), the shifts SO and SI to and from katakana, and 8-bit
// half-width katakana. JIS X 0208 is decoded as Shift-JIS is, so the two
// give the same characters. Returns false when the converters are missing.
bool jis_to_utf8(const char* src, size_t* srcLength, char* dst, size_t* dstLength,
	int32* state, char substitute);

// Encodes UTF-8 as JIS, switching between ASCII, half-width katakana and JIS
// X 0208 as needed. When the whole source has been converted the output is
// switched back to ASCII (if that fits), so a text converted in one call is
// complete; the state still records the set in force for a following call.
bool utf8_to_jis(const char* src, size_t* srcLength, char* dst, size_t* dstLength,
	int32* state, char substitute);

// JIS X 0208 row/cell bytes (0x21-0x7e each) to the Shift-JIS pair, and
// back (false when the Shift-JIS pair has no JIS X 0208 position).
void jis_to_sjis(unsigned char c1, unsigned char c2, unsigned char* s1, unsigned char* s2);
bool sjis_to_jis(unsigned char s1, unsigned char s2, unsigned char* c1, unsigned char* c2);

}

#endif
