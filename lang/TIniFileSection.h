// One section of an INI file: its name, its pairs in file order and its
// comment lines.
#ifndef LANG_T_INI_FILE_SECTION_H
#define LANG_T_INI_FILE_SECTION_H

#include "TIniFilePair.h"

#include <SupportDefs.h>

#include <memory>
#include <string>
#include <vector>

// The section owns its pairs. Keys are found without regard to the case of
// ASCII letters; with several pairs of one key the first is found.
class TIniFileSection {
public:
	TIniFileSection(const std::string& name, int limit);

	const char* Name() const { return fName.c_str(); }
	int Limit() const { return fLimit; }

	TIniFilePair* FindPair(const char* key) const;
	TIniFilePair* AddPair(const std::string& key, const std::string& value);
	// Removes the first pair of `key`; false when there is none.
	bool DeletePair(const char* key);
	int32 CountPairs() const { return static_cast<int32>(fPairs.size()); }
	const TIniFilePair* PairAt(int32 index) const;

	// Appends one comment line (without its line feed).
	void AddComment(const std::string& text);
	// The next comment line after the read position, which it advances;
	// false when every line has been read.
	bool ReadComment(std::string* out);
	void RewindComments() { fCommentPosition = 0; }
	// Every comment line, each followed by a line feed.
	const std::string& Comments() const { return fComments; }

private:
	const std::string fName;
	int32 fCommentPosition;
	const int32 fLimit;
	std::vector<std::unique_ptr<TIniFilePair>> fPairs;
	std::string fComments;
};

// True when `a` and `b` are equal but for the case of ASCII letters.
bool ini_name_equal(const char* a, const char* b);

#endif
