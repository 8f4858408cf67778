// Line breaking and character steps for the text views.
//
// The text is UTF-8. Offsets are byte offsets and always lie on character
// boundaries: every step and every break that this helper produces moves by
// whole characters, so that a caret or a selection never ends inside a
// multi-byte character. A byte that does not start a well-formed sequence
// counts as a character of its own (it is shown as U+FFFD), so text in a
// wrong encoding is kept as it is and can still be edited.
//
// Lines. A line feed ends a line (it belongs to the line it ends); with
// wrapping, a paragraph is also broken where the next word would pass the
// width: after a run of spaces, or between two characters of scripts that
// are written without spaces (Japanese, Chinese), or, when a single word is
// wider than the whole line, between any two characters. Spaces at a break
// hang past the edge and are not counted in the line's width. A text that
// ends with a line feed has an empty last line, where the caret goes after
// that line feed. The empty text has one empty line.
//
// Widths come from a measuring function, so the breaking can be tested
// without fonts. Nothing here is shared between threads.
#ifndef INTERFACE_TEXT_LAYOUT_H
#define INTERFACE_TEXT_LAYOUT_H

#include <SupportDefs.h>

#include <functional>
#include <string>
#include <vector>

namespace BPrivate {

// The next and the previous character boundary (clamped to the text).
int32 text_next_char(const std::string& text, int32 offset);
int32 text_previous_char(const std::string& text, int32 offset);
// The boundary at or before `offset`.
int32 text_char_start(const std::string& text, int32 offset);
// The code point that starts at `offset` (U+FFFD for a malformed sequence).
uint32 text_code_point(const std::string& text, int32 offset);
// Word boundaries around `offset`: a run of letters and digits (any
// non-ASCII character counts as a letter), or of anything else.
void text_find_word(const std::string& text, int32 offset, int32* from, int32* to);

class TextLayout {
public:
	// Width in pixels of `length` bytes starting at `text`.
	typedef std::function<float(const char* text, int32 length)> Measure;

	TextLayout();

	// Breaks the text again. `width` only matters with `wrap`.
	void Break(const std::string& text, bool wrap, float width, const Measure& measure);

	int32 CountLines() const { return (int32)fLines.size(); }
	// First byte of the line, and the end of its visible characters (before
	// the line feed that ends it, if any).
	int32 LineStart(int32 line) const;
	int32 LineEnd(int32 line) const;
	// The offset after the line (the next line's start, or the text's end).
	int32 LineLimit(int32 line) const;
	float LineWidth(int32 line) const;
	float MaxWidth() const;
	// The line holding the offset; the text's end is on the last line.
	int32 LineAt(int32 offset) const;

private:
	struct Line {
		int32 start;
		int32 end;      // visible characters end here
		int32 limit;    // the next line starts here
		float width;
	};

	void _BreakParagraph(const std::string& text, int32 start, int32 end,
		bool wrap, float width, const Measure& measure);

	std::vector<Line> fLines;
};

}

#endif
