// Where translator add-ons are looked for on this system (see
// TranslatorRoster.h for the list and its order).
#ifndef TRANSLATION_TRANSLATOR_FOLDERS_H
#define TRANSLATION_TRANSLATOR_FOLDERS_H

#include <string>
#include <vector>

namespace BPrivate {

// The translators folders, from the environment as it is now. Relative
// entries of TRANSLATORS are left out.
std::vector<std::string> default_translator_paths();

// The translators folders that come with the program at the absolute path
// `program`: "Translators" beside it and, for a program in a folder named
// "bin", <prefix>/lib/<program name>/Translators. None for a path that is
// not absolute.
std::vector<std::string> program_translator_paths(const std::string& program);

// Splits a colon-separated list of paths, dropping empty entries.
std::vector<std::string> split_translator_path(const char* list);

}

#endif
