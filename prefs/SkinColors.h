// Reading the playlist-editor colour file of a player skin (PLEDIT.TXT):
// its first words, and the colours written after keys such as "Normal=#".
//
// Only the first kSkinWordCount whitespace-separated words of the file
// count. The file is taken as a colour file when one of them contains
// "[Text]"; a key's colour is the six hexadecimal digits that follow it in
// the first word containing the key.
//
// Plain functions and values, no threads, no files: the preference view
// feeds the file's bytes in.
#ifndef PREFS_SKIN_COLORS_H
#define PREFS_SKIN_COLORS_H

#include <GraphicsDefs.h>
#include <SupportDefs.h>

#include <stddef.h>

#include <string>
#include <vector>

namespace skincolor {

// How many words of the file are looked at.
inline constexpr int32 kSkinWordCount = 10;

// Collects the first `limit` words of a text given in pieces of any size
// (a word may be split between pieces). Blanks, tabs, line ends, vertical
// tabs and form feeds separate words; every other byte belongs to one.
class TWordReader {
public:
	explicit TWordReader(int32 limit = kSkinWordCount);
	// Takes the next piece; false once the words are complete, so that the
	// caller can stop reading.
	bool Feed(const char* data, size_t size);
	// The words read, a word cut off by the end of the text included.
	const std::vector<std::string>& Finish();
	bool Complete() const { return (int32)fWords.size() >= fLimit; }

private:
	int32 fLimit;
	std::vector<std::string> fWords;
	std::string fCurrent;
};

// The first `limit` words of `text`.
std::vector<std::string> first_words(const std::string& text, int32 limit = kSkinWordCount);

// Whether one of the words contains "[Text]".
bool has_text_section(const std::vector<std::string>& words);

// The value of one hexadecimal digit: '0' to '9', then 'A' to 'F' in either
// case. Other characters are not rejected; they give what the same
// arithmetic gives, taken modulo 256.
uint8 hex_digit(char c);

// Finds the first of the `count` tokens that contains `key` and reads the
// red, green and blue digits that follow the key into *colour (alpha
// stays). 0 when a token holds the key, even when fewer than six
// characters follow it (the colour is then left alone); -1 when none does.
int32 skin_color(const std::string* tokens, int32 count, const char* key, rgb_color* colour);

// The keys of the colour file, in the order they are read, and the
// appearance colour each one sets (index as TPrefView::PrefColor: 0 lyrics,
// 1 background, 2 current line, 3 current line's background).
struct TSkinKey {
	const char* key;
	int32 colorIndex;
};
inline constexpr TSkinKey kSkinKeys[] = {
	{"Normal=#", 0},
	{"NormalBG=#", 1},
	{"Current=#", 2},
	{"SelectedBG=#", 3},
};

}

#endif
