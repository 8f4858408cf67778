#include "interface/AlertTextWrap.h"

#include <string.h>

namespace BPrivate {

// Bytes of the UTF-8 character starting at `s` (1 for a stray byte, so that
// broken text still advances).
static int32 char_length(const char* s)
{
	unsigned char c = (unsigned char)s[0];
	int32 length = 1;
	if (c >= 0xf0)
		length = 4;
	else if (c >= 0xe0)
		length = 3;
	else if (c >= 0xc0)
		length = 2;
	for (int32 i = 1; i < length; i++) {
		if (((unsigned char)s[i] & 0xc0) != 0x80)
			return 1;
	}
	return length;
}

// Pieces a line may break between: a run of blanks, a word of ASCII
// letters, or one character of any other script (those break anywhere).
static int32 piece_length(const char* s)
{
	if (*s == ' ' || *s == '\t') {
		int32 n = 0;
		while (s[n] == ' ' || s[n] == '\t')
			n++;
		return n;
	}
	if ((unsigned char)*s >= 0x80)
		return char_length(s);
	int32 n = 0;
	while (s[n] != '\0' && s[n] != '\n' && s[n] != ' ' && s[n] != '\t'
		&& (unsigned char)s[n] < 0x80)
		n++;
	return n;
}

static void trim_trailing_blanks(std::string* line)
{
	while (!line->empty() && (line->back() == ' ' || line->back() == '\t'))
		line->pop_back();
}

static void wrap_paragraph(const char* text, int32 length, float width,
	const text_measure& measure, std::vector<std::string>* lines)
{
	std::string line;
	int32 at = 0;
	while (at < length) {
		int32 n = piece_length(text + at);
		if (n <= 0 || at + n > length)
			n = length - at;
		bool blank = text[at] == ' ' || text[at] == '\t';
		std::string candidate = line + std::string(text + at, n);
		if (measure(candidate.c_str(), (int32)candidate.size()) <= width) {
			line.swap(candidate);
			at += n;
			continue;
		}
		if (blank) {
			// The line ends here; the blanks go with the break.
			trim_trailing_blanks(&line);
			lines->push_back(line);
			line.clear();
			at += n;
			continue;
		}
		std::string trimmed = line;
		trim_trailing_blanks(&trimmed);
		if (!trimmed.empty()) {
			lines->push_back(trimmed);
			line.clear();
			continue;   // the piece starts the next line
		}
		// A piece wider than a whole line: as many characters as fit.
		int32 taken = 0;
		while (taken < n) {
			int32 c = char_length(text + at + taken);
			std::string more = line + std::string(text + at + taken, c);
			if (!line.empty() && measure(more.c_str(), (int32)more.size()) > width)
				break;
			line.swap(more);
			taken += c;
		}
		at += taken;
		if (taken < n) {
			lines->push_back(line);
			line.clear();
			// Blanks after a forced break would start the next line.
			while (at < length && (text[at] == ' ' || text[at] == '\t'))
				at++;
		}
	}
	trim_trailing_blanks(&line);
	lines->push_back(line);
}

std::vector<std::string> wrap_text(const char* text, float width,
	const text_measure& measure)
{
	std::vector<std::string> lines;
	if (text == NULL)
		return lines;
	const char* paragraph = text;
	while (true) {
		const char* end = strchr(paragraph, '\n');
		int32 length = end != NULL ? (int32)(end - paragraph) : (int32)strlen(paragraph);
		wrap_paragraph(paragraph, length, width, measure, &lines);
		if (end == NULL)
			break;
		paragraph = end + 1;
	}
	return lines;
}

}
