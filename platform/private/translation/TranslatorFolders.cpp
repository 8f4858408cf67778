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

// The running program's own path, or "".
std::string program_path()
{
	char path[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return std::string();
	return std::string(path, (size_t)length);
}

}

std::vector<std::string>
program_translator_paths(const std::string& program)
{
	std::vector<std::string> paths;
	size_t slash = program.rfind('/');
	if (program.empty() || program[0] != '/' || slash == std::string::npos
		|| slash == 0 || slash + 1 == program.size())
		return paths;
	std::string folder = program.substr(0, slash);
	std::string name = program.substr(slash + 1);
	paths.push_back(folder + "/Translators");
	// An installed program lives in <prefix>/bin and keeps what it loads in
	// <prefix>/lib/<name>, as the Debian layout has it.
	size_t parentSlash = folder.rfind('/');
	if (parentSlash != std::string::npos && folder.compare(parentSlash + 1,
			std::string::npos, "bin") == 0) {
		paths.push_back(folder.substr(0, parentSlash) + "/lib/" + name
			+ "/Translators");
	}
	return paths;
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
	paths = program_translator_paths(program_path());
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
