// Breaking an alert's text into lines that fit a width.
#ifndef _PRIVATE_ALERT_TEXT_WRAP_H
#define _PRIVATE_ALERT_TEXT_WRAP_H

#include <SupportDefs.h>

#include <functional>
#include <string>
#include <vector>

namespace BPrivate {

// Width of `length` bytes of UTF-8 text.
typedef std::function<float(const char* text, int32 length)> text_measure;

// Lines of `text` no wider than `width`. A line feed always ends a line
// (an empty line stays); lines break between words where they can, and
// between characters where a word (or a script without blanks, such as
// Japanese) is wider than the line. Blanks where a line breaks are
// dropped. Never splits a UTF-8 sequence; a single character wider than
// the line gets a line of its own.
std::vector<std::string> wrap_text(const char* text, float width,
	const text_measure& measure);

}

#endif
