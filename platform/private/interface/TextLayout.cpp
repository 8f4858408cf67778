#include "interface/TextLayout.h"

#include <algorithm>

namespace BPrivate {

namespace {

// Length of the well-formed sequence at `offset`, or 1 for a malformed one.
int32 sequence_length(const std::string& text, int32 offset, uint32* codePoint)
{
	const uint8* bytes = (const uint8*)text.data();
	int32 size = (int32)text.size();
	uint8 lead = bytes[offset];
	int32 length;
	uint32 value;
	uint32 minimum;
	if (lead < 0x80) {
		*codePoint = lead;
		return 1;
	} else if (lead >= 0xc2 && lead <= 0xdf) {
		length = 2; value = lead & 0x1f; minimum = 0x80;
	} else if (lead >= 0xe0 && lead <= 0xef) {
		length = 3; value = lead & 0x0f; minimum = 0x800;
	} else if (lead >= 0xf0 && lead <= 0xf4) {
		length = 4; value = lead & 0x07; minimum = 0x10000;
	} else {
		*codePoint = 0xfffd;
		return 1;
	}
	if (offset + length > size) {
		*codePoint = 0xfffd;
		return 1;
	}
	for (int32 i = 1; i < length; i++) {
		uint8 byte = bytes[offset + i];
		if ((byte & 0xc0) != 0x80) {
			*codePoint = 0xfffd;
			return 1;
		}
		value = (value << 6) | (byte & 0x3f);
	}
	if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) {
		*codePoint = 0xfffd;
		return 1;
	}
	*codePoint = value;
	return length;
}

// Scripts written without spaces between words: a line may break between
// any two of their characters.
bool breaks_anywhere(uint32 c)
{
	return (c >= 0x2e80 && c <= 0x9fff) || (c >= 0xf900 && c <= 0xfaff)
		|| (c >= 0xff00 && c <= 0xffef) || (c >= 0x20000 && c <= 0x3ffff);
}

// Closing punctuation and marks that must not begin a line.
bool never_starts_line(uint32 c)
{
	switch (c) {
		case 0x3001: case 0x3002: case 0xff0c: case 0xff0e: case 0x300d:
		case 0x300f: case 0xff09: case 0xff01: case 0xff1f: case 0x30fc:
		case 0x3009: case 0x300b: case 0x3011: case 0xff3d: case 0xff5d:
			return true;
		default:
			return false;
	}
}

bool is_space(char c)
{
	return c == ' ' || c == '\t';
}

bool is_word_char(uint32 c)
{
	return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')
		|| (c >= 'A' && c <= 'Z') || c == '_';
}

}

int32 text_next_char(const std::string& text, int32 offset)
{
	int32 size = (int32)text.size();
	if (offset < 0)
		return 0;
	if (offset >= size)
		return size;
	uint32 codePoint;
	return offset + sequence_length(text, offset, &codePoint);
}

int32 text_char_start(const std::string& text, int32 offset)
{
	int32 size = (int32)text.size();
	if (offset <= 0)
		return 0;
	if (offset >= size)
		return size;
	// A well-formed sequence is at most four bytes: look back that far for
	// one that covers the offset.
	for (int32 back = 1; back <= 3 && offset - back >= 0; back++) {
		uint32 codePoint;
		int32 start = offset - back;
		if (sequence_length(text, start, &codePoint) > back)
			return start;
	}
	return offset;
}

int32 text_previous_char(const std::string& text, int32 offset)
{
	if (offset <= 0)
		return 0;
	int32 size = (int32)text.size();
	if (offset > size)
		offset = size;
	return text_char_start(text, offset - 1);
}

uint32 text_code_point(const std::string& text, int32 offset)
{
	if (offset < 0 || offset >= (int32)text.size())
		return 0;
	uint32 codePoint;
	sequence_length(text, offset, &codePoint);
	return codePoint;
}

void text_find_word(const std::string& text, int32 offset, int32* from, int32* to)
{
	int32 size = (int32)text.size();
	offset = text_char_start(text, std::clamp(offset, 0, size));
	if (size == 0) {
		*from = *to = 0;
		return;
	}
	if (offset == size)
		offset = text_previous_char(text, offset);
	bool word = is_word_char(text_code_point(text, offset));
	int32 start = offset;
	while (start > 0) {
		int32 previous = text_previous_char(text, start);
		if (is_word_char(text_code_point(text, previous)) != word
			|| text[previous] == '\n')
			break;
		start = previous;
	}
	int32 end = offset;
	while (end < size && text[end] != '\n'
		&& is_word_char(text_code_point(text, end)) == word)
		end = text_next_char(text, end);
	if (end == offset)
		end = text_next_char(text, offset);
	*from = start;
	*to = end;
}

// ---- TextLayout

TextLayout::TextLayout()
{
	fLines.push_back(Line{0, 0, 0, 0});
}

void TextLayout::Break(const std::string& text, bool wrap, float width,
	const Measure& measure)
{
	fLines.clear();
	int32 size = (int32)text.size();
	int32 start = 0;
	while (true) {
		size_t feed = text.find('\n', start);
		int32 end = feed == std::string::npos ? size : (int32)feed;
		_BreakParagraph(text, start, end, wrap, width, measure);
		if (feed == std::string::npos)
			break;
		fLines.back().limit = end + 1;
		start = end + 1;
	}
}

void TextLayout::_BreakParagraph(const std::string& text, int32 start, int32 end,
	bool wrap, float width, const Measure& measure)
{
	const char* bytes = text.data();
	int32 lineStart = start;
	while (true) {
		float whole = measure(bytes + lineStart, end - lineStart);
		if (!wrap || whole <= width || lineStart >= end) {
			fLines.push_back(Line{lineStart, end, end, whole});
			return;
		}

		// The longest run of whole characters that fits.
		std::vector<int32> ends;
		for (int32 p = text_next_char(text, lineStart); p <= end;
				p = text_next_char(text, p)) {
			ends.push_back(p);
			if (p == end)
				break;
		}
		int32 low = 0;
		int32 high = (int32)ends.size() - 1;
		int32 fit = -1;
		while (low <= high) {
			int32 middle = (low + high) / 2;
			if (measure(bytes + lineStart, ends[middle] - lineStart) <= width) {
				fit = middle;
				low = middle + 1;
			} else {
				high = middle - 1;
			}
		}
		int32 fitEnd = ends[fit >= 0 ? fit : 0];

		// Where to break: after spaces, or between characters of scripts
		// without spaces, at the last such place that fits.
		int32 breakAt = -1;
		if (is_space(bytes[fitEnd])) {
			breakAt = fitEnd;
		} else {
			for (int32 p = fitEnd; p > lineStart; p = text_previous_char(text, p)) {
				int32 previous = text_previous_char(text, p);
				uint32 before = text_code_point(text, previous);
				uint32 after = text_code_point(text, p);
				if (is_space(bytes[previous]) && !is_space(bytes[p])) {
					breakAt = p;
					break;
				}
				if ((breaks_anywhere(before) || breaks_anywhere(after))
					&& !never_starts_line(after) && !is_space(bytes[p])) {
					breakAt = p;
					break;
				}
			}
		}
		if (breakAt <= lineStart)
			breakAt = fitEnd;

		// Spaces at the break hang past the edge.
		int32 visibleEnd = breakAt;
		while (visibleEnd > lineStart && is_space(bytes[visibleEnd - 1]))
			visibleEnd--;
		int32 next = breakAt;
		while (next < end && is_space(bytes[next]))
			next++;
		if (next >= end) {
			fLines.push_back(Line{lineStart, end, end,
				measure(bytes + lineStart, visibleEnd - lineStart)});
			return;
		}
		fLines.push_back(Line{lineStart, visibleEnd, next,
			measure(bytes + lineStart, visibleEnd - lineStart)});
		lineStart = next;
	}
}

int32 TextLayout::LineStart(int32 line) const
{
	line = std::clamp(line, (int32)0, CountLines() - 1);
	return fLines[line].start;
}

int32 TextLayout::LineEnd(int32 line) const
{
	line = std::clamp(line, (int32)0, CountLines() - 1);
	return fLines[line].end;
}

int32 TextLayout::LineLimit(int32 line) const
{
	line = std::clamp(line, (int32)0, CountLines() - 1);
	return fLines[line].limit;
}

float TextLayout::LineWidth(int32 line) const
{
	if (line < 0 || line >= CountLines())
		return 0;
	return fLines[line].width;
}

float TextLayout::MaxWidth() const
{
	float width = 0;
	for (const Line& line : fLines)
		width = std::max(width, line.width);
	return width;
}

int32 TextLayout::LineAt(int32 offset) const
{
	auto it = std::upper_bound(fLines.begin(), fLines.end(), offset,
		[](int32 value, const Line& line) { return value < line.start; });
	if (it == fLines.begin())
		return 0;
	return (int32)(it - fLines.begin()) - 1;
}

}
