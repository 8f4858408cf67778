// The encodings behind the conversion constants of UTF8.h.
#ifndef PRIVATE_TEXTENCODING_CHARSETS_H
#define PRIVATE_TEXTENCODING_CHARSETS_H

#include <SupportDefs.h>

#include <stddef.h>

namespace BPrivate {

// How the bytes of an encoding group into characters, which decides how many
// bytes an undecodable character spans.
enum class CharLayout {
	SingleByte,     // every byte is a character
	ShiftJis,       // lead bytes 0x81-0x9f, 0xe0-0xfc take one trail byte
	EucJp,          // 0x8e and 0xa1-0xfe lead two bytes, 0x8f three
	EucKr,          // 0xa1-0xfe lead two bytes
	DoubleByte,     // Big5, GBK: 0x81-0xfe lead two bytes
	Utf16,          // two-byte units
	Jis             // ISO-2022-JP: converted by JisCodec, not by iconv
};

struct Charset {
	const char* iconvName;
	CharLayout layout;
};

// NULL for an unknown conversion constant.
const Charset* charset_for(uint32 conversion);

// How many bytes at `bytes` (`length` of them, at least 1) belong to a
// character that could not be decoded, so that one substitute replaces it.
size_t undecodable_length(CharLayout layout, const unsigned char* bytes, size_t length);

}

#endif
