// Line breaking and character steps, measured with a fixed-width fake so
// that the breaks are known exactly.
#include <gtest/gtest.h>

#include "interface/TextLayout.h"

#include <string>

using BPrivate::TextLayout;

namespace {

// Every character is 10 pixels wide, whatever its byte length.
float fixed_width(const char* text, int32 length)
{
	std::string piece(text, length);
	int32 count = 0;
	for (int32 i = 0; i < length; i = BPrivate::text_next_char(piece, i))
		count++;
	return count * 10.0f;
}

std::vector<std::string> lines_of(const std::string& text, bool wrap, float width)
{
	TextLayout layout;
	layout.Break(text, wrap, width, fixed_width);
	std::vector<std::string> lines;
	for (int32 i = 0; i < layout.CountLines(); i++)
		lines.push_back(text.substr(layout.LineStart(i),
			layout.LineEnd(i) - layout.LineStart(i)));
	return lines;
}

}

TEST(TextLayout, LineFeedsEndLinesAndATrailingOneOpensAnEmptyLine)
{
	EXPECT_EQ(lines_of("", false, 0), std::vector<std::string>({""}));
	EXPECT_EQ(lines_of("one\ntwo", false, 0), std::vector<std::string>({"one", "two"}));
	EXPECT_EQ(lines_of("one\n", false, 0), std::vector<std::string>({"one", ""}));
	EXPECT_EQ(lines_of("a\n\nb", false, 0), std::vector<std::string>({"a", "", "b"}));

	TextLayout layout;
	std::string text = "one\ntwo";
	layout.Break(text, false, 0, fixed_width);
	EXPECT_EQ(layout.LineAt(3), 0);    // before the line feed
	EXPECT_EQ(layout.LineAt(4), 1);
	EXPECT_EQ(layout.LineAt(7), 1);    // the end of the text
	EXPECT_EQ(layout.LineLimit(0), 4);
	EXPECT_FLOAT_EQ(layout.LineWidth(1), 30);
}

TEST(TextLayout, WrapsAtSpacesThatHangPastTheEdge)
{
	// 10 characters fit in 100 pixels.
	EXPECT_EQ(lines_of("the quick brown fox jumps", true, 100),
		std::vector<std::string>({"the quick", "brown fox", "jumps"}));
	// A space right at the edge does not push the next word down early.
	EXPECT_EQ(lines_of("abcdefghij klm", true, 100),
		std::vector<std::string>({"abcdefghij", "klm"}));
	// Without wrapping nothing breaks.
	EXPECT_EQ(lines_of("the quick brown fox jumps", false, 100).size(), 1u);

	TextLayout layout;
	std::string text = "the quick brown";
	layout.Break(text, true, 100, fixed_width);
	ASSERT_EQ(layout.CountLines(), 2);
	EXPECT_FLOAT_EQ(layout.LineWidth(0), 90);   // the hanging space is not counted
	// The offset after the space begins the second line.
	EXPECT_EQ(layout.LineAt(10), 1);
}

TEST(TextLayout, AWordWiderThanTheLineIsCutBetweenCharacters)
{
	EXPECT_EQ(lines_of("abcdefghijklmnopqrstuvwxy", true, 100),
		std::vector<std::string>({"abcdefghij", "klmnopqrst", "uvwxy"}));
	// Even a line narrower than one character takes one character.
	EXPECT_EQ(lines_of("abc", true, 5), std::vector<std::string>({"a", "b", "c"}));
}

TEST(TextLayout, JapaneseBreaksBetweenCharactersButNotBeforeClosingMarks)
{
	// Twelve characters, five to a line; the full stop may not begin the
	// third line, so the character before it goes down with it.
	std::string text = "日本語の歌詞を表示す。る";
	auto lines = lines_of(text, true, 50);
	ASSERT_EQ(lines.size(), 3u);
	EXPECT_EQ(lines[0], "日本語の歌");
	EXPECT_EQ(lines[1], "詞を表示");
	EXPECT_EQ(lines[2], "す。る");
	// Every line starts on a character boundary.
	TextLayout layout;
	layout.Break(text, true, 50, fixed_width);
	for (int32 i = 0; i < layout.CountLines(); i++)
		EXPECT_EQ(layout.LineStart(i) % 3, 0);
}

TEST(TextLayout, StepsMoveByWholeCharactersAndKeepMalformedBytes)
{
	std::string text = "a\xc3\xa9\xe6\x97\xa5\xf0\x9f\x8e\xb5z";   // a é 日 🎵 z
	std::vector<int32> forward;
	for (int32 i = 0; i < (int32)text.size(); i = BPrivate::text_next_char(text, i))
		forward.push_back(i);
	EXPECT_EQ(forward, std::vector<int32>({0, 1, 3, 6, 10}));
	std::vector<int32> backward;
	for (int32 i = (int32)text.size(); i > 0; ) {
		i = BPrivate::text_previous_char(text, i);
		backward.push_back(i);
	}
	EXPECT_EQ(backward, std::vector<int32>({10, 6, 3, 1, 0}));
	// An offset inside a character belongs to that character.
	EXPECT_EQ(BPrivate::text_char_start(text, 4), 3);
	EXPECT_EQ(BPrivate::text_char_start(text, 8), 6);
	EXPECT_EQ(BPrivate::text_code_point(text, 3), 0x65e5u);

	// Latin-1 bytes in UTF-8 text are single characters, not swallowed.
	std::string latin = "caf\xe9s";
	EXPECT_EQ(BPrivate::text_next_char(latin, 3), 4);
	EXPECT_EQ(BPrivate::text_previous_char(latin, 5), 4);
	// A truncated sequence at the end does not reach past the text.
	std::string cut = "ab\xe6\x97";
	EXPECT_EQ(BPrivate::text_next_char(cut, 2), 3);
	EXPECT_EQ(BPrivate::text_next_char(cut, 3), 4);
}

TEST(TextLayout, WordsAreRunsOfLettersOrOfEverythingElse)
{
	std::string text = "hello, world\nnext";
	int32 from, to;
	BPrivate::text_find_word(text, 2, &from, &to);
	EXPECT_EQ(text.substr(from, to - from), "hello");
	BPrivate::text_find_word(text, 8, &from, &to);
	EXPECT_EQ(text.substr(from, to - from), "world");
	BPrivate::text_find_word(text, 5, &from, &to);
	EXPECT_EQ(text.substr(from, to - from), ", ");
	// A word never runs over a line feed.
	BPrivate::text_find_word(text, 14, &from, &to);
	EXPECT_EQ(text.substr(from, to - from), "next");
	BPrivate::text_find_word(text, 100, &from, &to);
	EXPECT_EQ(text.substr(from, to - from), "next");
}
