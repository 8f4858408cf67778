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

// Splits a colon-separated list of paths, dropping empty entries.
std::vector<std::string> split_translator_path(const char* list);

}

#endif
