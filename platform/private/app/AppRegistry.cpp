#include "app/AppRegistry.h"

#include "storage/SafeWrite.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace BPrivate {

namespace {

std::string registry_folder()
{
	const char* data = getenv("XDG_DATA_HOME");
	std::string base;
	if (data != NULL && data[0] == '/') {
		base = data;
	} else {
		const char* home = getenv("HOME");
		if (home == NULL || home[0] != '/')
			return std::string();
		base = std::string(home) + "/.local/share";
	}
	return base + "/verso/apps";
}

// Creates every missing folder of `path`.
bool make_folders(const std::string& path)
{
	for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
		std::string part = path.substr(0, slash);
		if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
			return false;
		if (slash == std::string::npos)
			return true;
	}
}

std::string record_name(const char* signature)
{
	std::string name;
	for (const char* c = signature; *c != '\0'; c++)
		name += *c == '/' ? '%' : (char)tolower((unsigned char)*c);
	return name;
}

bool runnable(const std::string& path)
{
	struct stat st;
	return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)
		&& access(path.c_str(), X_OK) == 0;
}

}

void record_app(const char* signature, const std::string& executable)
{
	std::string folder = registry_folder();
	if (signature == NULL || folder.empty() || !runnable(executable))
		return;
	std::string known;
	if (lookup_app(signature, &known) && known == executable)
		return;
	if (!make_folders(folder))
		return;
	// A reader never sees half a record. The record is found again at the
	// next start, so it is not flushed to the disk.
	std::string path = folder + "/" + record_name(signature);
	std::string record = executable + "\n";
	write_file_safely(path.c_str(), record.data(), record.size(), 0644, 0);
}

bool lookup_app(const char* signature, std::string* executable)
{
	std::string folder = registry_folder();
	if (signature == NULL || folder.empty())
		return false;
	std::ifstream in(folder + "/" + record_name(signature));
	std::string path;
	if (!std::getline(in, path) || !runnable(path))
		return false;
	*executable = path;
	return true;
}

}
