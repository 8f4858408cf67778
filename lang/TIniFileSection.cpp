#include "TIniFileSection.h"

namespace {

char upper(char c)
{
	return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}

bool ini_name_equal(const char* a, const char* b)
{
	for (; *a != '\0' && *b != '\0'; a++, b++) {
		if (upper(*a) != upper(*b))
			return false;
	}
	return *a == *b;
}

TIniFileSection::TIniFileSection(const std::string& name, int limit)
	: fName(name),
	  fCommentPosition(0),
	  fLimit(limit)
{
	fPairs.reserve(20);
}

TIniFilePair* TIniFileSection::FindPair(const char* key) const
{
	for (const auto& pair : fPairs) {
		if (ini_name_equal(pair->key.c_str(), key))
			return pair.get();
	}
	return nullptr;
}

TIniFilePair* TIniFileSection::AddPair(const std::string& key, const std::string& value)
{
	fPairs.push_back(std::make_unique<TIniFilePair>(key, value));
	return fPairs.back().get();
}

bool TIniFileSection::DeletePair(const char* key)
{
	for (auto it = fPairs.begin(); it != fPairs.end(); ++it) {
		if (ini_name_equal((*it)->key.c_str(), key)) {
			fPairs.erase(it);
			return true;
		}
	}
	return false;
}

const TIniFilePair* TIniFileSection::PairAt(int32 index) const
{
	if (index < 0 || index >= CountPairs())
		return nullptr;
	return fPairs[index].get();
}

void TIniFileSection::AddComment(const std::string& text)
{
	fComments += text;
	fComments += '\n';
}

bool TIniFileSection::ReadComment(std::string* out)
{
	const size_t start = static_cast<size_t>(fCommentPosition);
	if (start >= fComments.size())
		return false;
	const size_t end = fComments.find('\n', start);
	*out = fComments.substr(start, end - start);
	fCommentPosition = static_cast<int32>(end + 1);
	return true;
}
