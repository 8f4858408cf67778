// Breaking an alert's text into lines, measured with a fixed-pitch font of
// 10 pixels a character (UTF-8 sequences count as one character).
#include <gtest/gtest.h>

#include "interface/AlertTextWrap.h"

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

float fixed_pitch(const char* text, int32 length)
{
	float width = 0;
	for (int32 i = 0; i < length; i++) {
		if (((unsigned char)text[i] & 0xc0) != 0x80)
			width += 10;
	}
	return width;
}

Lines wrap(const char* text, float width)
{
	return BPrivate::wrap_text(text, width, fixed_pitch);
}

}

TEST(AlertTextWrap, BreaksBetweenWordsAndKeepsLineFeeds)
{
	EXPECT_EQ(wrap("one two three four", 90), (Lines{"one two", "three", "four"}));
	// Exactly the width fits; blanks at a break vanish.
	EXPECT_EQ(wrap("abcd   efgh", 40), (Lines{"abcd", "efgh"}));
	// Line feeds end lines, and an empty line stays.
	EXPECT_EQ(wrap("Title\n\nText", 200), (Lines{"Title", "", "Text"}));
	EXPECT_EQ(wrap("", 100), (Lines{""}));
	EXPECT_EQ(wrap(nullptr, 100), Lines{});
}

TEST(AlertTextWrap, BreaksInsideWordsAndScriptsWithoutBlanks)
{
	// A path longer than the line is cut by characters.
	EXPECT_EQ(wrap("/home/user/lyrics", 60), (Lines{"/home/", "user/l", "yrics"}));
	EXPECT_EQ(wrap("see /home/user/lyrics now", 60),
		(Lines{"see", "/home/", "user/l", "yrics", "now"}));
	// Japanese breaks between any two characters, never inside one.
	const char* japanese = "\xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97\xE3\x82\x92\xE8\xA1\xA8";
	EXPECT_EQ(wrap(japanese, 20), (Lines{"\xE3\x83\x98\xE3\x83\xAB",
		"\xE3\x83\x97\xE3\x82\x92", "\xE8\xA1\xA8"}));
	// Narrower than one character: one character a line, no endless loop.
	EXPECT_EQ(wrap("ab", 5), (Lines{"a", "b"}));
	// A broken UTF-8 sequence still advances byte by byte.
	EXPECT_EQ(wrap("a\xE3\x83", 100).size(), 1u);
}
