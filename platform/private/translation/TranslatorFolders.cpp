#include "translation/TranslatorFolders.h"

#include <stdlib.h>

namespace BPrivate {

namespace {

std::string
data_home()
{
	const char* data = getenv("XDG_DATA_HOME");
	if (data != NULL && data[0] == '/')
		return data;
	// Without a home folder there is no folder of the user's own.
	const char* home = getenv("HOME");
	if (home == NULL || home[0] != '/')
		return std::string();
	return std::string(home) + "/.local/share";
}

}

std::vector<std::string>
split_translator_path(const char* list)
{
	std::vector<std::string> paths;
	if (list == NULL)
		return paths;
	std::string current;
	for (const char* c = list; ; c++) {
		if (*c == ':' || *c == '\0') {
			if (!current.empty())
				paths.push_back(current);
			current.clear();
			if (*c == '\0')
				break;
		} else {
			current += *c;
		}
	}
	return paths;
}

std::vector<std::string>
default_translator_paths()
{
	std::vector<std::string> paths;
	std::string data = data_home();
	if (!data.empty())
		paths.push_back(data + "/verso/translators");
	for (const std::string& path : split_translator_path(getenv("TRANSLATORS"))) {
		if (path[0] == '/')
			paths.push_back(path);
	}
	return paths;
}

}
