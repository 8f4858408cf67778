#include "storage/PathUtil.h"

#include <Entry.h>

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

namespace BPrivate {

status_t errno_status()
{
	if (errno == ENODATA)
		return B_ENTRY_NOT_FOUND;
	return errno_to_status(errno);
}

bool path_needs_normalizing(const char* path)
{
	if (path == nullptr || path[0] != '/')
		return true;
	size_t length = strlen(path);
	if (length > 1 && path[length - 1] == '/')
		return true;
	// Look at each component: empty (a doubled slash), "." or "..".
	const char* p = path + 1;
	while (*p != '\0') {
		const char* end = strchr(p, '/');
		size_t n = end ? (size_t)(end - p) : strlen(p);
		if (n == 0 || (n == 1 && p[0] == '.') || (n == 2 && p[0] == '.' && p[1] == '.'))
			return true;
		if (end == nullptr)
			break;
		p = end + 1;
	}
	return false;
}

static status_t real_path(const std::string& path, std::string* out)
{
	char* resolved = realpath(path.c_str(), nullptr);
	if (resolved == nullptr)
		return errno_status();
	*out = resolved;
	free(resolved);
	return B_OK;
}

status_t normalize_path(const char* path, std::string* out)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (strlen(path) >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;

	std::string full;
	if (path[0] == '/') {
		full = path;
	} else {
		char cwd[PATH_MAX];
		if (getcwd(cwd, sizeof(cwd)) == nullptr)
			return errno_status();
		full = join_path(cwd, path);
	}
	while (full.size() > 1 && full.back() == '/')
		full.pop_back();

	size_t slash = full.rfind('/');
	std::string leaf = full.substr(slash + 1);
	if (full == "/" || leaf == "." || leaf == "..") {
		// The whole path names a folder that must exist.
		return real_path(full, out);
	}
	std::string dir;
	status_t status = real_path(slash == 0 ? std::string("/") : full.substr(0, slash), &dir);
	if (status != B_OK)
		return status;
	struct stat st;
	if (stat(dir.c_str(), &st) != 0)
		return errno_status();
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	*out = join_path(dir, leaf.c_str());
	if (out->size() >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	return B_OK;
}

std::string join_path(const std::string& dir, const char* leaf)
{
	if (leaf == nullptr || leaf[0] == '\0')
		return dir;
	if (dir.empty() || dir.back() == '/')
		return dir + leaf;
	return dir + "/" + leaf;
}

void split_path(const std::string& path, std::string* dir, std::string* leaf)
{
	if (path == "/") {
		*dir = "/";
		*leaf = ".";
		return;
	}
	size_t slash = path.rfind('/');
	*dir = slash == 0 ? std::string("/") : path.substr(0, slash);
	*leaf = path.substr(slash + 1);
}

// ---- The table of known folders

namespace {

struct DirTable {
	std::mutex lock;
	std::map<std::pair<uint64, uint64>, std::string> paths;
	std::map<std::pair<uint64, uint64>, std::string> nodes;  // any kind of node
};

DirTable& dir_table()
{
	// Never destroyed: refs may be resolved while other static objects go away.
	static DirTable* table = new DirTable;
	return *table;
}

}

void register_dir(dev_t device, ino_t node, const std::string& path)
{
	DirTable& table = dir_table();
	std::lock_guard<std::mutex> guard(table.lock);
	table.paths[{(uint64)short_dev(device), (uint64)node}] = path;
}

status_t register_dir_path(const std::string& path, dev_t* device, ino_t* node)
{
	struct stat st;
	if (stat(path.c_str(), &st) != 0)
		return errno_status();
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	register_dir(st.st_dev, st.st_ino, path);
	if (device != nullptr)
		*device = short_dev(st.st_dev);
	if (node != nullptr)
		*node = st.st_ino;
	return B_OK;
}

status_t lookup_dir(dev_t device, ino_t node, std::string* path)
{
	std::string found;
	{
		DirTable& table = dir_table();
		std::lock_guard<std::mutex> guard(table.lock);
		auto it = table.paths.find({(uint64)short_dev(device), (uint64)node});
		if (it == table.paths.end())
			return B_ENTRY_NOT_FOUND;
		found = it->second;
	}
	// The folder may have moved or gone since: a stale path would name some
	// other folder, so it is checked.
	struct stat st;
	if (stat(found.c_str(), &st) != 0 || short_dev(st.st_dev) != short_dev(device)
	    || st.st_ino != node)
		return B_ENTRY_NOT_FOUND;
	*path = found;
	return B_OK;
}

void register_node(dev_t device, ino_t node, const std::string& path)
{
	DirTable& table = dir_table();
	std::lock_guard<std::mutex> guard(table.lock);
	table.nodes[{(uint64)short_dev(device), (uint64)node}] = path;
}

status_t lookup_node(dev_t device, ino_t node, std::string* path)
{
	std::string found;
	{
		DirTable& table = dir_table();
		std::lock_guard<std::mutex> guard(table.lock);
		auto it = table.nodes.find({(uint64)short_dev(device), (uint64)node});
		if (it == table.nodes.end()) {
			it = table.paths.find({(uint64)short_dev(device), (uint64)node});
			if (it == table.paths.end())
				return B_ENTRY_NOT_FOUND;
		}
		found = it->second;
	}
	struct stat st;
	if (lstat(found.c_str(), &st) != 0 || short_dev(st.st_dev) != short_dev(device)
	    || st.st_ino != node)
		return B_ENTRY_NOT_FOUND;
	*path = found;
	return B_OK;
}

status_t path_for_ref(const entry_ref& ref, std::string* path)
{
	if (ref.name == nullptr || ref.name[0] == '\0')
		return B_BAD_VALUE;
	if (strchr(ref.name, '/') != nullptr)
		return B_BAD_VALUE;
	std::string dir;
	status_t status = lookup_dir(ref.device, ref.directory, &dir);
	if (status != B_OK)
		return status;
	if (strcmp(ref.name, ".") == 0) {
		*path = dir;
		return B_OK;
	}
	if (strcmp(ref.name, "..") == 0)
		return normalize_path(join_path(dir, "..").c_str(), path);
	*path = join_path(dir, ref.name);
	return B_OK;
}

status_t ref_for_normalized_path(const std::string& path, entry_ref* ref)
{
	std::string dir, leaf;
	split_path(path, &dir, &leaf);
	dev_t device;
	ino_t node;
	status_t status = register_dir_path(path == "/" ? path : dir, &device, &node);
	if (status != B_OK)
		return status;
	ref->device = device;
	ref->directory = node;
	return ref->set_name(leaf.c_str());
}

}
