#include "textencoding/Utf8Sequence.h"

namespace BPrivate {

Utf8Char
utf8_char_at(const unsigned char* bytes, size_t length)
{
	unsigned char lead = bytes[0];
	if (lead < 0x80)
		return { Utf8Char::Valid, 1 };

	size_t needed;
	uint32 lowest;
	uint32 value;
	if (lead >= 0xc2 && lead <= 0xdf) {
		needed = 2;
		lowest = 0x80;
		value = lead & 0x1f;
	} else if (lead >= 0xe0 && lead <= 0xef) {
		needed = 3;
		lowest = 0x800;
		value = lead & 0x0f;
	} else if (lead >= 0xf0 && lead <= 0xf4) {
		needed = 4;
		lowest = 0x10000;
		value = lead & 0x07;
	} else
		return { Utf8Char::Invalid, 1 };

	for (size_t i = 1; i < needed; i++) {
		if (i >= length)
			return { Utf8Char::Incomplete, length };
		if ((bytes[i] & 0xc0) != 0x80)
			return { Utf8Char::Invalid, 1 };
		value = (value << 6) | (bytes[i] & 0x3f);
		// Reject overlong forms and surrogates as soon as the second byte
		// shows them, so that a cut-off invalid sequence is not mistaken for
		// an incomplete one.
		if (i == 1) {
			uint32 shifted = value << (6 * (needed - 2));
			if ((needed > 2 && shifted < lowest) || (needed == 3 && shifted >= 0xd800
					&& shifted <= 0xdfff) || shifted > 0x10ffff)
				return { Utf8Char::Invalid, 1 };
		}
	}
	return { Utf8Char::Valid, needed };
}


size_t
encode_utf8(uint32 codePoint, char* out)
{
	if (codePoint < 0x80) {
		out[0] = (char)codePoint;
		return 1;
	}
	if (codePoint < 0x800) {
		out[0] = (char)(0xc0 | (codePoint >> 6));
		out[1] = (char)(0x80 | (codePoint & 0x3f));
		return 2;
	}
	if (codePoint < 0x10000) {
		out[0] = (char)(0xe0 | (codePoint >> 12));
		out[1] = (char)(0x80 | ((codePoint >> 6) & 0x3f));
		out[2] = (char)(0x80 | (codePoint & 0x3f));
		return 3;
	}
	out[0] = (char)(0xf0 | (codePoint >> 18));
	out[1] = (char)(0x80 | ((codePoint >> 12) & 0x3f));
	out[2] = (char)(0x80 | ((codePoint >> 6) & 0x3f));
	out[3] = (char)(0x80 | (codePoint & 0x3f));
	return 4;
}

}	// namespace BPrivate
