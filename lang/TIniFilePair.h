// One key-value line of an INI file.
#ifndef LANG_T_INI_FILE_PAIR_H
#define LANG_T_INI_FILE_PAIR_H

#include <string>

// Both texts are at most the file's line-length limit long; TIniFile cuts
// them to it before they get here. The key never changes after the pair is
// made, so pointers to it stay valid for the pair's life.
struct TIniFilePair {
	TIniFilePair(const std::string& key, const std::string& value)
		: key(key), value(value) {}

	const std::string key;
	std::string value;
};

#endif
