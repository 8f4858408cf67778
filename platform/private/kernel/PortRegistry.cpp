#include "kernel/PortRegistry.h"

#include "kernel/PortListener.h"
#include "kernel/PortTable.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

namespace BPrivate {

namespace {

// "<dir>/<pid>.<port>.sock" must fit a socket address.
const size_t kMaxDirectoryLength = sizeof(sockaddr_un::sun_path) - 32;

struct Published {
	std::string socketPath;
	std::string linkPath;
};

std::mutex& registry_mutex()
{
	static std::mutex* mutex = new std::mutex;
	return *mutex;
}

// Ports this process published; guarded by registry_mutex().
std::map<port_id, Published>& published()
{
	static auto* map = new std::map<port_id, Published>;
	return *map;
}

bool is_private_to_us(const struct stat& st)
{
	return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

std::string choose_runtime_directory()
{
	const char* xdg = getenv("XDG_RUNTIME_DIR");
	if (xdg != nullptr && xdg[0] == '/') {
		struct stat st;
		std::string path = std::string(xdg) + "/libbe";
		if (stat(xdg, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid()
			&& path.size() <= kMaxDirectoryLength
			&& prepare_private_directory(path) == B_OK)
			return path;
	}
	std::string path = "/tmp/libbe-" + std::to_string(geteuid());
	if (prepare_private_directory(path) == B_OK)
		return path;
	fprintf(stderr, "libbe: no private runtime folder (%s is unusable); "
		"named ports stay within this process\n", path.c_str());
	return std::string();
}

void unlink_entry(const std::string& directory, const std::string& key, pid_t owner, port_id port)
{
	unlink((directory + "/" + key).c_str());
	unlink((directory + "/" + std::to_string(owner) + "." + std::to_string(port) + ".sock").c_str());
}

bool parse_key(const char* fileName, pid_t* owner, port_id* port, int64* created)
{
	int pid = 0, id = 0, consumed = 0;
	long long ns = 0;
	if (sscanf(fileName, "%d.%d.%lld.port%n", &pid, &id, &ns, &consumed) != 3
		|| fileName[consumed] != '\0' || pid <= 0 || id <= 0)
		return false;
	*owner = pid;
	*port = id;
	*created = ns;
	return true;
}

bool process_is_gone(pid_t pid)
{
	return kill(pid, 0) != 0 && errno == ESRCH;
}

// The process that published the ports in published(): a child made by
// fork() inherits the list, but the registrations are not its own to remove.
pid_t gPublisher = -1;

void remove_at_exit()
{
	std::lock_guard<std::mutex> lock(registry_mutex());
	if (getpid() != gPublisher)
		return;
	for (const auto& entry : published()) {
		unlink(entry.second.linkPath.c_str());
		unlink(entry.second.socketPath.c_str());
	}
	published().clear();
}

}

status_t prepare_private_directory(const std::string& path)
{
	if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
		return errno_to_status(errno);
	struct stat st;
	// lstat: a link planted in our place is refused, never followed.
	if (lstat(path.c_str(), &st) != 0)
		return errno_to_status(errno);
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	if (st.st_uid != geteuid())
		return B_PERMISSION_DENIED;
	if ((st.st_mode & 077) != 0) {
		if (chmod(path.c_str(), 0700) != 0 || lstat(path.c_str(), &st) != 0)
			return B_PERMISSION_DENIED;
	}
	return is_private_to_us(st) ? B_OK : B_PERMISSION_DENIED;
}

const std::string& runtime_directory()
{
	static const std::string* directory = new std::string(choose_runtime_directory());
	return *directory;
}

status_t publish_port(port_id port, const std::string& name)
{
	const std::string& directory = runtime_directory();
	if (directory.empty() || name.empty())
		return B_ERROR;

	const std::string base = directory + "/" + std::to_string(getpid()) + "." + std::to_string(port);
	const std::string socketPath = base + ".sock";
	sockaddr_un address{};
	address.sun_family = AF_UNIX;
	if (socketPath.size() >= sizeof(address.sun_path))
		return B_NAME_TOO_LONG;
	memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
	if (fd < 0)
		return errno_to_status(errno);
	// A socket left by a dead process that had our pid.
	unlink(socketPath.c_str());
	if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
		|| listen(fd, 64) != 0) {
		status_t error = errno_to_status(errno);
		close(fd);
		unlink(socketPath.c_str());
		return error;
	}

	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	const int64 created = (int64)now.tv_sec * 1000000000 + now.tv_nsec;
	const std::string linkPath = base + "." + std::to_string(created) + ".port";

	{
		std::lock_guard<std::mutex> lock(registry_mutex());
		static bool cleanupRegistered = false;
		if (!cleanupRegistered) {
			atexit(remove_at_exit);
			cleanupRegistered = true;
		}
		gPublisher = getpid();
		published()[port] = Published{socketPath, linkPath};
	}
	PortListener::Default().Serve(port, fd);

	if (symlink(name.c_str(), linkPath.c_str()) != 0) {
		status_t error = errno_to_status(errno);
		unpublish_port(port);
		return error;
	}
	// The port may have been deleted while it was being published.
	if (!local_port_exists(port))
		unpublish_port(port);
	return B_OK;
}

void unpublish_port(port_id port)
{
	{
		std::lock_guard<std::mutex> lock(registry_mutex());
		auto found = published().find(port);
		if (found == published().end())
			return;
		// The link first: nobody finds the port any more once it is gone.
		unlink(found->second.linkPath.c_str());
		unlink(found->second.socketPath.c_str());
		published().erase(found);
	}
	PortListener::Default().Stop(port);
}

std::vector<PortEntry> find_remote_ports(const std::string& name, bool prefix)
{
	std::vector<PortEntry> entries;
	const std::string& directory = runtime_directory();
	if (directory.empty())
		return entries;
	DIR* dir = opendir(directory.c_str());
	if (dir == nullptr)
		return entries;

	std::set<std::string> ownLinks;
	{
		std::lock_guard<std::mutex> lock(registry_mutex());
		for (const auto& entry : published())
			ownLinks.insert(entry.second.linkPath);
	}

	const pid_t self = getpid();
	while (dirent* item = readdir(dir)) {
		PortEntry entry;
		if (!parse_key(item->d_name, &entry.owner, &entry.port, &entry.created))
			continue;
		entry.key = item->d_name;
		const std::string linkPath = directory + "/" + entry.key;
		if (entry.owner == self) {
			// Ours are found in the port table; one we do not know is a
			// leftover of a dead process that had our pid.
			if (ownLinks.count(linkPath) == 0)
				unlink_entry(directory, entry.key, entry.owner, entry.port);
			continue;
		}
		if (process_is_gone(entry.owner)) {
			unlink_entry(directory, entry.key, entry.owner, entry.port);
			continue;
		}
		char target[4096];
		ssize_t length = readlinkat(dirfd(dir), item->d_name, target, sizeof(target));
		if (length <= 0 || length >= (ssize_t)sizeof(target))
			continue;
		entry.name.assign(target, length);
		if (prefix ? entry.name.compare(0, name.size(), name) != 0 : entry.name != name)
			continue;
		entry.socketPath = directory + "/" + std::to_string(entry.owner) + "."
			+ std::to_string(entry.port) + ".sock";
		entries.push_back(std::move(entry));
	}
	closedir(dir);

	std::sort(entries.begin(), entries.end(), [](const PortEntry& a, const PortEntry& b) {
		return a.created != b.created ? a.created < b.created : a.owner < b.owner;
	});
	return entries;
}

int connect_to_port(const PortEntry& entry, bool* gone)
{
	*gone = false;
	sockaddr_un address{};
	address.sun_family = AF_UNIX;
	if (entry.socketPath.size() >= sizeof(address.sun_path))
		return -1;
	memcpy(address.sun_path, entry.socketPath.c_str(), entry.socketPath.size() + 1);
	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
	if (fd < 0)
		return -1;
	if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
		return fd;
	const int error = errno;
	close(fd);
	// EAGAIN: the owner's backlog is full; it is alive, only busy.
	if (error == ECONNREFUSED || error == ENOENT) {
		// Nobody listens: the owner died and its pid went to someone else.
		*gone = true;
		unlink_entry(runtime_directory(), entry.key, entry.owner, entry.port);
	}
	return -1;
}

bool port_entry_exists(const std::string& key)
{
	const std::string& directory = runtime_directory();
	struct stat st;
	return !directory.empty() && lstat((directory + "/" + key).c_str(), &st) == 0;
}

status_t list_system_ports(const char* prefix, std::vector<std::string>* names)
{
	if (names == nullptr)
		return B_BAD_VALUE;
	const std::string start = prefix != nullptr ? prefix : "";
	std::set<std::string> found;
	{
		KernelLock lock(kernel_mutex());
		for (std::string& name : PortTable::Default().LocalNames(start))
			found.insert(std::move(name));
	}
	for (const PortEntry& entry : find_remote_ports(start, true)) {
		if (found.count(entry.name) != 0)
			continue;
		// Make sure somebody still listens (the pid may belong to another
		// program by now).
		bool gone = false;
		int fd = connect_to_port(entry, &gone);
		if (fd >= 0)
			close(fd);
		if (!gone)
			found.insert(entry.name);
	}
	names->assign(found.begin(), found.end());
	return B_OK;
}

}
