#include "storage/SafeWrite.h"

#include <Errors.h>

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <dirent.h>
#include <signal.h>

#include <atomic>
#include <string>

namespace BPrivate {

namespace {

// ".<leaf>.saving-", the writing process's id, "-" and eight hex digits.
const size_t kUniqueDigits = 8;
const size_t kProcessDigits = 10;
const char kTemporaryMark[] = ".saving-";
const int kMaxAttempts = 64;

std::atomic<uint64> sSerial{0};

status_t last_error()
{
	return errno_to_status(errno);
}

// Eight hex digits that differ between calls, threads and processes; O_EXCL
// settles the rare collision.
std::string unique_digits()
{
	timespec now = {};
	clock_gettime(CLOCK_REALTIME, &now);
	uint64 mix = sSerial.fetch_add(1) * 0x9E3779B97F4A7C15ull;
	mix ^= (uint64)getpid() << 32;
	mix ^= (uint64)now.tv_nsec * 0xBF58476D1CE4E5B9ull ^ (uint64)now.tv_sec;
	mix ^= mix >> 31;
	char digits[17];
	snprintf(digits, sizeof(digits), "%016llx", (unsigned long long)mix);
	return std::string(digits + 16 - kUniqueDigits);
}

bool write_all(int fd, const void* data, size_t size)
{
	const char* bytes = static_cast<const char*>(data);
	while (size > 0) {
		ssize_t written = write(fd, bytes, size);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0) {
			if (written == 0)
				errno = EIO;
			return false;
		}
		bytes += written;
		size -= (size_t)written;
	}
	return true;
}

// Removes the temporary files that writes of `leaf` by processes that have
// ended left in `folder` (they were killed between create and rename).
// Those of this process and of running ones may be writes under way; names
// of any other form are not ours to judge.
void remove_ended_leftovers(const std::string& folder, const std::string& start)
{
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return;
	const pid_t self = getpid();
	while (dirent* entry = readdir(dir)) {
		const char* name = entry->d_name;
		if (strncmp(name, start.c_str(), start.size()) != 0)
			continue;
		const char* rest = name + start.size();
		char* end = nullptr;
		errno = 0;
		const long pid = strtol(rest, &end, 10);
		if (errno != 0 || end == rest || *rest == '-' || *rest == '+' || *end != '-'
			|| strlen(end + 1) != kUniqueDigits || pid <= 0 || pid == self)
			continue;
		if (kill((pid_t)pid, 0) == 0 || errno != ESRCH)
			continue;
		unlinkat(dirfd(dir), name, 0);
	}
	closedir(dir);
}

void sync_folder(const std::string& folder)
{
	int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	// Some file systems cannot flush a folder; the file itself is safe.
	fsync(fd);
	close(fd);
}

}

status_t write_file_safely(const char* path, const void* data, size_t size,
	mode_t newFileMode, uint32 flags)
{
	if (path == nullptr || *path == '\0' || (data == nullptr && size > 0))
		return B_BAD_VALUE;
	std::string target(path);

	// A link stays a link: the file it names is replaced.
	struct stat st;
	if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
		char* resolved = realpath(target.c_str(), nullptr);
		if (resolved != nullptr) {
			target = resolved;
			free(resolved);
		}
	}

	const size_t slash = target.find_last_of('/');
	const std::string folder = slash == std::string::npos ? std::string(".")
		: slash == 0 ? std::string("/") : target.substr(0, slash);
	std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
	if (leaf.empty() || leaf == "." || leaf == "..")
		return B_BAD_VALUE;

	bool exists = false;
	if (stat(target.c_str(), &st) == 0) {
		if (S_ISDIR(st.st_mode))
			return B_IS_A_DIRECTORY;
		exists = true;
	} else if (errno != ENOENT) {
		return last_error();
	}

	// The temporary name must fit into a file name too.
	const size_t room = NAME_MAX - 1 - (sizeof(kTemporaryMark) - 1) - kProcessDigits - 1
		- kUniqueDigits;
	if (leaf.size() > room)
		leaf.resize(room);
	const std::string start = "." + leaf + kTemporaryMark;
	const std::string prefix = (slash == std::string::npos ? std::string()
		: target.substr(0, slash + 1)) + start + std::to_string(getpid()) + "-";

	std::string temporary;
	int fd = -1;
	for (int attempt = 0; fd < 0 && attempt < kMaxAttempts; attempt++) {
		temporary = prefix + unique_digits();
		fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
			newFileMode & 07777);
		if (fd < 0 && errno != EEXIST)
			return last_error();
	}
	if (fd < 0)
		return B_FILE_EXISTS;

	status_t status = B_OK;
	if (exists && fchmod(fd, st.st_mode & 07777) != 0)
		status = last_error();
	if (status == B_OK && !write_all(fd, data, size))
		status = last_error();
	if (status == B_OK && (flags & B_SAFE_WRITE_SYNC) != 0 && fsync(fd) != 0)
		status = last_error();
	// Where the file system reports a failed write-back only now.
	if (close(fd) != 0 && errno != EINTR && status == B_OK)
		status = last_error();
	if (status == B_OK && rename(temporary.c_str(), target.c_str()) != 0)
		status = last_error();
	if (status != B_OK) {
		unlink(temporary.c_str());
		return status;
	}
	remove_ended_leftovers(folder, start);
	if ((flags & B_SAFE_WRITE_SYNC) != 0)
		sync_folder(folder);
	return B_OK;
}

}
