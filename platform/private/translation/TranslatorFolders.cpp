#include "translation/TranslatorFolders.h"

#include <FindDirectory.h>
#include <StorageDefs.h>

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

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

// The folder that holds the running program, or "".
std::string program_folder()
{
	char path[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return std::string();
	std::string program(path, (size_t)length);
	size_t slash = program.rfind('/');
	return slash == std::string::npos || slash == 0 ? std::string()
		: program.substr(0, slash);
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
	std::string program = program_folder();
	if (!program.empty())
		paths.push_back(program + "/Translators");
	char user[B_PATH_NAME_LENGTH];
	if (find_directory(B_USER_TRANSLATORS_DIRECTORY, -1, false, user, sizeof(user)) == B_OK)
		paths.push_back(user);
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
