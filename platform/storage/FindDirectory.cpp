#include <FindDirectory.h>

#include <Directory.h>
#include <Path.h>

#include "storage/PathUtil.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace BPrivate;

namespace {

// An environment variable holding an absolute path, or "".
std::string env_path(const char* name)
{
	const char* value = getenv(name);
	if (value == nullptr || value[0] != '/')
		return std::string();
	std::string path = value;
	while (path.size() > 1 && path.back() == '/')
		path.pop_back();
	return path;
}

std::string home_dir()
{
	std::string home = env_path("HOME");
	if (!home.empty())
		return home;
	std::vector<char> buffer(16384);
	struct passwd entry;
	struct passwd* found = nullptr;
	if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0
	    && found != nullptr && found->pw_dir != nullptr)
		return found->pw_dir;
	return std::string();
}

std::string config_dir()
{
	std::string config = env_path("XDG_CONFIG_HOME");
	if (!config.empty())
		return config;
	std::string home = home_dir();
	return home.empty() ? home : home + "/.config";
}

std::string data_dir()
{
	std::string data = env_path("XDG_DATA_HOME");
	if (!data.empty())
		return data;
	std::string home = home_dir();
	return home.empty() ? home : home + "/.local/share";
}

// The private temporary folder: made with mode 0700 when missing, and used
// only when it is a real folder of this user that others cannot enter.
status_t private_temp_dir(std::string* out)
{
	std::string base = env_path("TMPDIR");
	if (base.empty())
		base = "/tmp";
	char leaf[64];
	snprintf(leaf, sizeof(leaf), "libbe-tmp-%u", (unsigned)getuid());
	std::string path = join_path(base, leaf);

	if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
		return errno_status();
	// Opened without following a link, so the checks below are about the
	// folder itself and cannot be raced by swapping the name.
	int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0)
		return (errno == ELOOP || errno == ENOTDIR) ? (status_t)B_PERMISSION_DENIED
		                                            : errno_status();
	struct stat st;
	status_t status = B_OK;
	if (fstat(fd, &st) != 0)
		status = errno_status();
	else if (!S_ISDIR(st.st_mode) || st.st_uid != getuid())
		status = B_PERMISSION_DENIED;
	else if ((st.st_mode & 077) != 0 && fchmod(fd, 0700) != 0)
		status = errno_status();
	close(fd);
	if (status == B_OK)
		*out = path;
	return status;
}

// Where a folder is; `userArea` says whether `create` may make it.
status_t locate(directory_which which, std::string* out, bool* userArea)
{
	*userArea = true;
	std::string home = home_dir();
	std::string config = config_dir();
	std::string data = data_dir();
	const bool needsHome = which == B_DESKTOP_DIRECTORY || which == B_TRASH_DIRECTORY
	                       || (which >= B_USER_DIRECTORY && which < B_APPS_DIRECTORY);
	if (needsHome && (home.empty() || config.empty() || data.empty()))
		return B_ENTRY_NOT_FOUND;
	const std::string userAddons = data + "/be/add-ons";

	switch (which) {
		case B_USER_DIRECTORY:
		case B_USER_BOOT_DIRECTORY:          *out = home; return B_OK;
		case B_DESKTOP_DIRECTORY:            *out = home + "/Desktop"; return B_OK;
		case B_TRASH_DIRECTORY:              *out = data + "/Trash/files"; return B_OK;
		case B_USER_CONFIG_DIRECTORY:
		case B_USER_SETTINGS_DIRECTORY:      *out = config; return B_OK;
		case B_USER_DESKBAR_DIRECTORY:       *out = config + "/be/deskbar"; return B_OK;
		case B_USER_ADDONS_DIRECTORY:        *out = userAddons; return B_OK;
		case B_USER_TRANSLATORS_DIRECTORY:   *out = userAddons + "/Translators"; return B_OK;
		case B_USER_MEDIA_NODES_DIRECTORY:   *out = userAddons + "/media"; return B_OK;
		case B_USER_FONTS_DIRECTORY:         *out = data + "/fonts"; return B_OK;
		case B_USER_LIB_DIRECTORY:           *out = home + "/.local/lib"; return B_OK;
		case B_USER_SOUNDS_DIRECTORY:        *out = data + "/sounds"; return B_OK;
		case B_COMMON_TEMP_DIRECTORY:        return private_temp_dir(out);
		default:
			break;
	}

	*userArea = false;
	switch (which) {
		case B_COMMON_SETTINGS_DIRECTORY:
		case B_COMMON_ETC_DIRECTORY:
		case B_BEOS_ETC_DIRECTORY:           *out = "/etc"; return B_OK;
		case B_COMMON_VAR_DIRECTORY:         *out = "/var"; return B_OK;
		case B_COMMON_LOG_DIRECTORY:         *out = "/var/log"; return B_OK;
		case B_COMMON_SPOOL_DIRECTORY:       *out = "/var/spool"; return B_OK;
		case B_COMMON_DIRECTORY:
		case B_COMMON_SYSTEM_DIRECTORY:
		case B_COMMON_BOOT_DIRECTORY:
		case B_BEOS_DIRECTORY:
		case B_BEOS_SYSTEM_DIRECTORY:
		case B_BEOS_BOOT_DIRECTORY:          *out = "/usr"; return B_OK;
		case B_BEOS_BIN_DIRECTORY:
		case B_COMMON_BIN_DIRECTORY:
		case B_BEOS_APPS_DIRECTORY:
		case B_APPS_DIRECTORY:
		case B_BEOS_PREFERENCES_DIRECTORY:
		case B_PREFERENCES_DIRECTORY:
		case B_UTILITIES_DIRECTORY:          *out = "/usr/bin"; return B_OK;
		case B_BEOS_LIB_DIRECTORY:
		case B_COMMON_LIB_DIRECTORY:         *out = "/usr/lib"; return B_OK;
		case B_BEOS_FONTS_DIRECTORY:
		case B_COMMON_FONTS_DIRECTORY:       *out = "/usr/share/fonts"; return B_OK;
		case B_BEOS_DOCUMENTATION_DIRECTORY:
		case B_COMMON_DOCUMENTATION_DIRECTORY: *out = "/usr/share/doc"; return B_OK;
		case B_BEOS_SOUNDS_DIRECTORY:
		case B_COMMON_SOUNDS_DIRECTORY:      *out = "/usr/share/sounds"; return B_OK;
		case B_BEOS_ADDONS_DIRECTORY:
		case B_COMMON_ADDONS_DIRECTORY:      *out = "/usr/lib/be/add-ons"; return B_OK;
		case B_BEOS_TRANSLATORS_DIRECTORY:
		case B_COMMON_TRANSLATORS_DIRECTORY: *out = "/usr/lib/be/add-ons/Translators"; return B_OK;
		case B_BEOS_MEDIA_NODES_DIRECTORY:
		case B_COMMON_MEDIA_NODES_DIRECTORY: *out = "/usr/lib/be/add-ons/media"; return B_OK;
		case B_BEOS_SERVERS_DIRECTORY:
		case B_COMMON_SERVERS_DIRECTORY:     *out = "/usr/lib/be/servers"; return B_OK;
		case B_COMMON_DEVELOP_DIRECTORY:     *out = "/usr/include"; return B_OK;
		default:
			return B_BAD_VALUE;
	}
}

status_t find(directory_which which, bool create, std::string* out)
{
	bool userArea;
	status_t status = locate(which, out, &userArea);
	if (status != B_OK)
		return status;
	if (create && userArea && which != B_COMMON_TEMP_DIRECTORY)
		status = create_directory(out->c_str(), 0755);
	return status;
}

}

status_t find_directory(directory_which which, dev_t, bool create, char* buffer, int32 length)
{
	if (buffer == nullptr || length <= 0)
		return B_BAD_VALUE;
	std::string path;
	status_t status = find(which, create, &path);
	if (status != B_OK)
		return status;
	if (path.size() + 1 > (size_t)length)
		return B_NAME_TOO_LONG;
	memcpy(buffer, path.c_str(), path.size() + 1);
	return B_OK;
}

status_t find_directory(directory_which which, BPath* path, bool create, BVolume*)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	std::string found;
	status_t status = find(which, create, &found);
	if (status != B_OK)
		return status;
	return path->SetTo(found.c_str());
}
