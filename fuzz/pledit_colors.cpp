// libFuzzer target: the reader of a skin's colour file (PLEDIT.TXT).
//
// Checks, beyond the sanitizers' own: the words are the same whether the
// file comes in one piece or in small ones; there are at most ten, none
// empty and none holding a separator; a key that a word holds always
// answers 0, a key that none holds answers -1 and leaves the colour alone,
// as does a key followed by fewer than six characters; alpha never changes.
#include "prefs/SkinColors.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

void check(bool condition, const char* what)
{
	if (!condition) {
		fprintf(stderr, "pledit_colors: %s\n", what);
		abort();
	}
}

bool same(const rgb_color& a, const rgb_color& b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string text(reinterpret_cast<const char*>(data), size);
	const std::vector<std::string> words = skincolor::first_words(text);

	// The same text in pieces whose sizes the first byte chooses.
	const size_t step = size > 0 ? (size_t)(data[0] % 7) + 1 : 1;
	skincolor::TWordReader reader;
	for (size_t at = 0; at < size; at += step) {
		if (!reader.Feed(text.data() + at, size - at < step ? size - at : step))
			break;
	}
	check(reader.Finish() == words, "pieces read differently");

	check((int32)words.size() <= skincolor::kSkinWordCount, "more than ten words");
	for (const std::string& word : words) {
		check(!word.empty(), "empty word");
		check(word.find_first_of(" \t\n\r\v\f") == std::string::npos, "separator in a word");
	}

	(void)skincolor::has_text_section(words);
	for (const skincolor::TSkinKey& key : skincolor::kSkinKeys) {
		const rgb_color before = {1, 2, 3, 4};
		rgb_color colour = before;
		const int32 found = skincolor::skin_color(words.data(), (int32)words.size(), key.key,
			&colour);
		const std::string* holder = nullptr;
		for (const std::string& word : words) {
			if (word.find(key.key) != std::string::npos) {
				holder = &word;
				break;
			}
		}
		check(found == (holder != nullptr ? 0 : -1), "key found or missed wrongly");
		check(colour.alpha == before.alpha, "alpha changed");
		if (holder == nullptr
			|| holder->size() - holder->find(key.key) - std::string(key.key).size() < 6)
			check(same(colour, before), "colour changed without six digits");
	}
	return 0;
}
