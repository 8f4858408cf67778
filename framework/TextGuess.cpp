#include "TextGuess.h"

#include <UTF8.h>

#include <algorithm>
#include <string.h>

namespace orvik {

int32 detect_charset(const char* text)
{
	int32 escapes = 0;
	int32 invalid = 0;
	const uint8* p = reinterpret_cast<const uint8*>(text);

	while (*p != 0) {
		const uint8 c = *p;
		if (c < 0x80) {
			if (c == 0x1b)
				escapes++;
			p++;
			continue;
		}
		if ((c & 0xc0) == 0x80) {
			// a continuation byte where a sequence should begin
			invalid++;
			p++;
			continue;
		}
		// A lead byte: one following byte for each further leading 1-bit.
		int32 following = 0;
		for (uint8 mask = 0x40; mask != 0 && (c & mask) != 0; mask >>= 1)
			following++;
		p++;
		for (int32 i = 0; i < following; i++) {
			if (*p == 0) {
				// the text ends inside the sequence
				invalid++;
				break;
			}
			if ((*p & 0xc0) != 0x80)
				invalid++;
			p++;
		}
	}

	if (escapes > 0)
		return B_JIS_CONVERSION;
	if (invalid == 0)
		return B_UNICODE_CONVERSION;
	return B_SJIS_CONVERSION;
}

int32 detect_cr_type(const char* text)
{
	const char* end = text + strlen(text);
	const int32 lf = static_cast<int32>(std::count(text, end, '\n'));
	const int32 cr = static_cast<int32>(std::count(text, end, '\r'));
	if (cr > lf)
		return CR_TYPE_CR;
	if (cr == lf && cr > 0)
		return CR_TYPE_CRLF;
	return CR_TYPE_LF;
}

}
