// Guessing the encoding and the line-end convention of a text.
#ifndef FRAMEWORK_TEXT_GUESS_H
#define FRAMEWORK_TEXT_GUESS_H

#include <SupportDefs.h>

namespace orvik {

enum {
	CR_TYPE_LF = 0,
	CR_TYPE_CRLF = 1,
	CR_TYPE_CR = 2
};

// B_JIS_CONVERSION when the text holds an escape byte, else
// B_UNICODE_CONVERSION (meaning: already UTF-8) when every byte of 0x80 or
// more is part of a well-formed UTF-8 sequence, else B_SJIS_CONVERSION.
// Reads up to the terminating NUL, never past it.
int32 detect_charset(const char* text);

// CR_TYPE_CR when the text has more CRs than LFs, CR_TYPE_CRLF when it has
// as many (and some), otherwise CR_TYPE_LF.
int32 detect_cr_type(const char* text);

}

#endif
