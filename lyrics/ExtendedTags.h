// The extended reading of lyrics lines, as most downloaded LRC files need
// it: several time tags at the start of a line, header lines such as
// "[ar:Artist]" and "[offset:+250]", fractions of one to three digits and
// word times ("<00:02.50>") inside the text.
//
// All functions are pure: no preferences, no files, no global state.
#ifndef LYRICS_EXTENDED_TAGS_H
#define LYRICS_EXTENDED_TAGS_H

#include <SupportDefs.h>

#include <string>
#include <vector>

// One line read the extended way.
struct TExtendedLine {
	// A header line ("[key:value]" where key is not a time) is not shown.
	bool isHeader = false;
	std::string headerKey;     // as written, e.g. "ar", "offset"
	std::string headerValue;   // everything after the first colon
	// The times of the tags at the start of the line, in their order.
	std::vector<int32> times;
	// What is shown: the line without its leading time tags and without
	// word times. Empty for a header.
	std::string text;
};

// Reads the inside of a time tag: "m:ss", "m:ss.f", "m:ss.ff" or
// "m:ss.fff" (tenths, hundredths, milliseconds); ":" is accepted before the
// fraction as well, as the editor writes it. Minutes have one or more
// digits, seconds one or two. False for anything else, and for times that
// do not fit into int32 milliseconds.
bool read_extended_time(const std::string& field, int32* time);

// Splits `line` into its parts. The line must not contain line ends.
TExtendedLine read_extended_line(const std::string& line);

// The value of an "[offset:…]" header in milliseconds: an optional sign,
// then digits, surrounded by blanks at most. Values beyond the int32
// range are limited to it. False when the value is not such a number.
bool read_offset_value(const std::string& value, int32* offset);

// Whether a header key names the offset ("offset" in any case).
bool is_offset_key(const std::string& key);

// Removes every "<time>" (see read_extended_time) from `text`; other
// angle brackets stay.
std::string strip_word_times(const std::string& text);

#endif
