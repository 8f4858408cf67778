#include <Directory.h>

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "storage/PathUtil.h"

#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BPrivate;

BDirectory::BDirectory()
	: fDir(nullptr)
{
}

BDirectory::BDirectory(const BDirectory& dir)
	: BNode(), BEntryList(), fDir(nullptr)
{
	*this = dir;
}

BDirectory::BDirectory(const entry_ref* ref)
	: fDir(nullptr)
{
	SetTo(ref);
}

BDirectory::BDirectory(const node_ref* nref)
	: fDir(nullptr)
{
	SetTo(nref);
}

BDirectory::BDirectory(const BEntry* entry)
	: fDir(nullptr)
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path)
	: fDir(nullptr)
{
	SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path)
	: fDir(nullptr)
{
	SetTo(dir, path);
}

BDirectory::~BDirectory()
{
	Unset();
}

status_t BDirectory::set_dir_path(const std::string& path)
{
	char* real = realpath(path.c_str(), nullptr);
	if (real == nullptr)
		return fCStatus = errno_status();
	std::string canonical = real;
	free(real);
	status_t status = open_path(canonical.c_str(), O_RDONLY | O_DIRECTORY);
	if (status != B_OK)
		return status;
	fPath = canonical;
	register_dir_path(fPath);
	return B_OK;
}

status_t BDirectory::SetTo(const char* path)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	return set_dir_path(path);
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = path_for_ref(*ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return set_dir_path(path);
}

status_t BDirectory::SetTo(const node_ref* nref)
{
	Unset();
	if (nref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = lookup_node(nref->device, nref->node, &path);
	if (status != B_OK)
		return fCStatus = status;
	return set_dir_path(path);
}

status_t BDirectory::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	BPath path;
	status_t status = entry->GetPath(&path);
	if (status != B_OK)
		return fCStatus = status;
	return set_dir_path(path.Path());
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path)
{
	if (dir == nullptr || path == nullptr || dir->InitCheck() != B_OK) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	// `dir` may be this object: resolve before unsetting.
	std::string full = dir->resolve(path);
	Unset();
	return set_dir_path(full);
}

void BDirectory::Unset()
{
	if (fDir != nullptr)
		closedir(fDir);
	fDir = nullptr;
	fPath.clear();
	BNode::Unset();
}

std::string BDirectory::resolve(const char* path) const
{
	if (path == nullptr)
		return fPath;
	if (path[0] == '/')
		return path;
	return join_path(fPath, path);
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		entry->Unset();
		return B_NO_INIT;
	}
	return entry->SetTo(fPath.c_str());
}

bool BDirectory::IsRootDirectory() const
{
	if (fCStatus != B_OK)
		return false;
	if (fPath == "/")
		return true;
	// The root of a mounted file system: its parent is on another device.
	struct stat self, parent;
	return fstat(fFd, &self) == 0 && stat(join_path(fPath, "..").c_str(), &parent) == 0
	       && self.st_dev != parent.st_dev;
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (path == nullptr || entry == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		entry->Unset();
		return B_NO_INIT;
	}
	status_t status = entry->SetTo(resolve(path).c_str(), traverse);
	if (status == B_OK && !entry->Exists())
		status = B_ENTRY_NOT_FOUND;
	if (status != B_OK)
		entry->Unset();
	return status;
}

static bool matches_flavor(const struct stat& st, int32 nodeFlags)
{
	if (S_ISDIR(st.st_mode))
		return (nodeFlags & B_DIRECTORY_NODE) != 0;
	if (S_ISLNK(st.st_mode))
		return (nodeFlags & B_SYMLINK_NODE) != 0;
	return (nodeFlags & B_FILE_NODE) != 0;
}

bool BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (fCStatus != B_OK || path == nullptr)
		return false;
	BEntry entry(resolve(path).c_str());
	return Contains(&entry, nodeFlags);
}

bool BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (fCStatus != B_OK || entry == nullptr || entry->InitCheck() != B_OK)
		return false;
	BPath path;
	if (entry->GetPath(&path) != B_OK)
		return false;
	// Anywhere below this folder, at any depth.
	std::string prefix = fPath == "/" ? fPath : fPath + "/";
	if (strncmp(path.Path(), prefix.c_str(), prefix.size()) != 0 || path == fPath.c_str())
		return false;
	struct stat st;
	return lstat(path.Path(), &st) == 0 && matches_flavor(st, nodeFlags);
}

status_t BDirectory::GetStatFor(const char* path, struct stat* st) const
{
	if (path == nullptr || st == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (lstat(resolve(path).c_str(), st) != 0)
		return errno_status();
	return B_OK;
}

// ---- Listing

status_t BDirectory::next_name(std::string* name)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (fDir == nullptr) {
		// A descriptor of its own, so that listing and the node's descriptor
		// do not share a position.
		int fd = openat(fFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
		if (fd < 0)
			return errno_status();
		fDir = fdopendir(fd);
		if (fDir == nullptr) {
			status_t status = errno_status();
			close(fd);
			return status;
		}
	}
	for (;;) {
		errno = 0;
		struct dirent* ent = readdir(fDir);
		if (ent == nullptr)
			return errno != 0 ? errno_status() : B_ENTRY_NOT_FOUND;
		if (strcmp(ent->d_name, ".") == 0 || strcmp(ent->d_name, "..") == 0)
			continue;
		*name = ent->d_name;
		return B_OK;
	}
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	std::string name;
	status_t status = next_name(&name);
	if (status != B_OK) {
		entry->Unset();
		return status;
	}
	std::string path = join_path(fPath, name.c_str());
	status = entry->SetTo(path.c_str(), traverse);
	// A dangling link is listed as the link itself rather than ending the
	// listing early.
	if (status != B_OK && traverse)
		status = entry->SetTo(path.c_str(), false);
	return status;
}

status_t BDirectory::GetNextRef(entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	std::string name;
	status_t status = next_name(&name);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(fFd, &st) != 0)
		return errno_status();
	register_dir(st.st_dev, st.st_ino, fPath);
	ref->device = short_dev(st.st_dev);
	ref->directory = st.st_ino;
	return ref->set_name(name.c_str());
}

int32 BDirectory::GetNextDirents(struct dirent* buffer, size_t bufferSize, int32 count)
{
	if (buffer == nullptr || fCStatus != B_OK)
		return B_BAD_VALUE;
	uint8* out = (uint8*)buffer;
	size_t used = 0;
	int32 filled = 0;
	while (filled < count) {
		bool hadStream = fDir != nullptr;
		long position = hadStream ? telldir(fDir) : 0;
		std::string name;
		if (next_name(&name) != B_OK)
			break;
		size_t length = offsetof(struct dirent, d_name) + name.size() + 1;
		length = (length + 7) & ~(size_t)7;
		if (used + length > bufferSize || length > sizeof(struct dirent)) {
			// Does not fit: leave it for the next call.
			if (hadStream)
				seekdir(fDir, position);
			else
				rewinddir(fDir);
			break;
		}
		struct stat st;
		struct dirent* ent = (struct dirent*)(out + used);
		memset(ent, 0, offsetof(struct dirent, d_name));
		if (lstat(join_path(fPath, name.c_str()).c_str(), &st) == 0) {
			ent->d_ino = st.st_ino;
			ent->d_type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK
			              : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
		}
		ent->d_reclen = (unsigned short)length;
		memcpy(ent->d_name, name.c_str(), name.size() + 1);
		used += length;
		filled++;
	}
	return filled;
}

status_t BDirectory::Rewind()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (fDir != nullptr)
		rewinddir(fDir);
	return B_OK;
}

int32 BDirectory::CountEntries()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	int fd = openat(fFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return errno_status();
	DIR* dir = fdopendir(fd);
	if (dir == nullptr) {
		status_t status = errno_status();
		close(fd);
		return status;
	}
	int32 count = 0;
	while (struct dirent* ent = readdir(dir)) {
		if (strcmp(ent->d_name, ".") != 0 && strcmp(ent->d_name, "..") != 0)
			count++;
	}
	closedir(dir);
	return count;
}

// ---- Making entries

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string full = resolve(path);
	if (mkdir(full.c_str(), 0777) != 0)
		return errno_status();
	if (dir != nullptr)
		return dir->SetTo(full.c_str());
	return B_OK;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	uint32 mode = B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE
	              | (failIfExists ? B_FAIL_IF_EXISTS : 0);
	BFile local;
	BFile* target = file != nullptr ? file : &local;
	return target->SetTo(resolve(path).c_str(), mode);
}

BDirectory& BDirectory::operator=(const BDirectory& dir)
{
	if (this == &dir)
		return *this;
	Unset();
	BNode::operator=(dir);
	if (fCStatus == B_OK)
		fPath = dir.fPath;
	return *this;
}

// ---- create_directory

status_t create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string full = path;
	if (full[0] != '/') {
		char* cwd = getcwd(nullptr, 0);
		if (cwd == nullptr)
			return errno_status();
		full = join_path(cwd, path);
		free(cwd);
	}
	// Each folder on the way, from the top; existing ones are passed.
	size_t position = 1;
	for (;;) {
		size_t slash = full.find('/', position);
		std::string part = full.substr(0, slash);
		if (!part.empty() && part.back() != '/') {
			if (mkdir(part.c_str(), mode) != 0) {
				int error = errno;
				struct stat st;
				if (stat(part.c_str(), &st) != 0) {
					errno = error;
					return errno_status();
				}
				if (!S_ISDIR(st.st_mode))
					return B_NOT_A_DIRECTORY;
			}
		}
		if (slash == std::string::npos)
			return B_OK;
		position = slash + 1;
	}
}
