#include "prefs/SkinColors.h"

#include <string.h>

namespace skincolor {

namespace {

bool is_blank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}

TWordReader::TWordReader(int32 limit)
	: fLimit(limit < 0 ? 0 : limit)
{
}

bool TWordReader::Feed(const char* data, size_t size)
{
	for (size_t i = 0; i < size && !Complete(); i++) {
		if (!is_blank(data[i])) {
			fCurrent += data[i];
		} else if (!fCurrent.empty()) {
			fWords.push_back(fCurrent);
			fCurrent.clear();
		}
	}
	return !Complete();
}

const std::vector<std::string>& TWordReader::Finish()
{
	if (!fCurrent.empty() && !Complete())
		fWords.push_back(fCurrent);
	fCurrent.clear();
	return fWords;
}

std::vector<std::string> first_words(const std::string& text, int32 limit)
{
	TWordReader reader(limit);
	reader.Feed(text.data(), text.size());
	return reader.Finish();
}

bool has_text_section(const std::vector<std::string>& words)
{
	for (const std::string& word : words) {
		if (word.find("[Text]") != std::string::npos)
			return true;
	}
	return false;
}

uint8 hex_digit(char c)
{
	const unsigned char byte = (unsigned char)c;
	if (byte < ':')
		return (uint8)(byte - '0');
	const unsigned char upper = (byte >= 'a' && byte <= 'z') ? (unsigned char)(byte - 0x20) : byte;
	return (uint8)(upper - '7');
}

int32 skin_color(const std::string* tokens, int32 count, const char* key, rgb_color* colour)
{
	if (tokens == NULL || key == NULL)
		return -1;
	for (int32 i = 0; i < count; i++) {
		const std::string& token = tokens[i];
		const size_t found = token.find(key);
		if (found == std::string::npos)
			continue;
		const size_t p = found + strlen(key);
		if (token.size() - p < 6)
			return 0;
		colour->red = (uint8)(16 * hex_digit(token[p]) + hex_digit(token[p + 1]));
		colour->green = (uint8)(16 * hex_digit(token[p + 2]) + hex_digit(token[p + 3]));
		colour->blue = (uint8)(16 * hex_digit(token[p + 4]) + hex_digit(token[p + 5]));
		return 0;
	}
	return -1;
}

}
