#include <Entry.h>

#include <Directory.h>
#include <Path.h>

#include "storage/PathUtil.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

using namespace BPrivate;

// ---- entry_ref

entry_ref::entry_ref()
	: device(0), directory(0), name(nullptr)
{
}

entry_ref::entry_ref(dev_t dev, ino_t dir, const char* leaf)
	: device(dev), directory(dir), name(nullptr)
{
	set_name(leaf);
}

entry_ref::entry_ref(const entry_ref& ref)
	: device(ref.device), directory(ref.directory), name(nullptr)
{
	set_name(ref.name);
}

entry_ref::~entry_ref()
{
	free(name);
}

status_t entry_ref::set_name(const char* leaf)
{
	char* copy = nullptr;
	if (leaf != nullptr) {
		copy = strdup(leaf);
		if (copy == nullptr)
			return B_NO_MEMORY;
	}
	free(name);
	name = copy;
	return B_OK;
}

bool entry_ref::operator==(const entry_ref& ref) const
{
	if (short_dev(device) != short_dev(ref.device) || directory != ref.directory)
		return false;
	if (name == nullptr || ref.name == nullptr)
		return name == ref.name;
	return strcmp(name, ref.name) == 0;
}

bool entry_ref::operator!=(const entry_ref& ref) const
{
	return !(*this == ref);
}

entry_ref& entry_ref::operator=(const entry_ref& ref)
{
	if (this != &ref) {
		device = ref.device;
		directory = ref.directory;
		set_name(ref.name);
	}
	return *this;
}

bool operator<(const entry_ref& a, const entry_ref& b)
{
	if (short_dev(a.device) != short_dev(b.device))
		return short_dev(a.device) < short_dev(b.device);
	if (a.directory != b.directory)
		return a.directory < b.directory;
	if (a.name == nullptr || b.name == nullptr)
		return a.name == nullptr && b.name != nullptr;
	return strcmp(a.name, b.name) < 0;
}

status_t get_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == nullptr || ref == nullptr)
		return B_BAD_VALUE;
	std::string normalized;
	status_t status = normalize_path(path, &normalized);
	if (status != B_OK)
		return status;
	return ref_for_normalized_path(normalized, ref);
}

// ---- BEntry

BEntry::BEntry()
	: fCStatus(B_NO_INIT)
{
}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse)
	: fCStatus(B_NO_INIT)
{
	SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse)
	: fCStatus(B_NO_INIT)
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse)
	: fCStatus(B_NO_INIT)
{
	SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& entry)
	: BStatable(), fDirPath(entry.fDirPath), fName(entry.fName), fCStatus(entry.fCStatus)
{
}

BEntry::~BEntry()
{
}

status_t BEntry::InitCheck() const
{
	return fCStatus;
}

std::string BEntry::full_path() const
{
	if (fName == ".")
		return fDirPath;
	return join_path(fDirPath, fName.c_str());
}

bool BEntry::Exists() const
{
	struct stat st;
	return fCStatus == B_OK && lstat(full_path().c_str(), &st) == 0;
}

status_t BEntry::GetStat(struct stat* st) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (st == nullptr)
		return B_BAD_VALUE;
	if (lstat(full_path().c_str(), st) != 0)
		return errno_status();
	return B_OK;
}

status_t BEntry::set_from_path(const char* path, bool traverse)
{
	std::string normalized;
	status_t status = normalize_path(path, &normalized);
	if (status == B_OK && traverse) {
		struct stat st;
		if (lstat(normalized.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
			char* resolved = realpath(normalized.c_str(), nullptr);
			if (resolved == nullptr) {
				status = errno == ELOOP ? B_LINK_LIMIT : B_ENTRY_NOT_FOUND;
			} else {
				normalized = resolved;
				free(resolved);
			}
		}
	}
	if (status != B_OK) {
		Unset();
		fCStatus = status;
		return status;
	}
	split_path(normalized, &fDirPath, &fName);
	fCStatus = B_OK;
	return B_OK;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
	if (dir == nullptr) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	if (path != nullptr && path[0] == '/')
		return set_from_path(path, traverse);
	if (dir->InitCheck() != B_OK) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	std::string full = join_path(dir->PathName(), path);
	return set_from_path(full.c_str(), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	if (ref == nullptr) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	std::string path;
	status_t status = path_for_ref(*ref, &path);
	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	return set_from_path(path.c_str(), traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
	if (path == nullptr) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	return set_from_path(path, traverse);
}

void BEntry::Unset()
{
	fDirPath.clear();
	fName.clear();
	fCStatus = B_NO_INIT;
}

status_t BEntry::GetRef(entry_ref* ref) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (ref == nullptr)
		return B_BAD_VALUE;
	return ref_for_normalized_path(full_path(), ref);
}

status_t BEntry::GetPath(BPath* path) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (path == nullptr)
		return B_BAD_VALUE;
	return path->SetTo(full_path().c_str());
}

status_t BEntry::GetParent(BEntry* entry) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (fName == ".")
		return B_ENTRY_NOT_FOUND;
	return entry->SetTo(fDirPath.c_str());
}

status_t BEntry::GetParent(BDirectory* dir) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (dir == nullptr)
		return B_BAD_VALUE;
	if (fName == ".")
		return B_ENTRY_NOT_FOUND;
	return dir->SetTo(fDirPath.c_str());
}

status_t BEntry::GetName(char* buffer) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		buffer[0] = '\0';
		return B_NO_INIT;
	}
	const std::string name = fName == "." ? std::string("/") : fName;
	if (name.size() >= B_FILE_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	memcpy(buffer, name.c_str(), name.size() + 1);
	return B_OK;
}

// Renames `from` to `to`; without `clobber`, an existing `to` is kept and
// the call fails. The check and the rename are one step where the file
// system allows it, so that no entry appearing in between is lost.
static status_t rename_entry(const std::string& from, const std::string& to, bool clobber)
{
	if (from == to)
		return B_OK;
	if (clobber) {
		if (rename(from.c_str(), to.c_str()) != 0)
			return errno_status();
		return B_OK;
	}
	if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
		return B_OK;
	if (errno != EINVAL && errno != ENOSYS)
		return errno_status();
	// The file system cannot refuse to replace: check first.
	struct stat st;
	if (lstat(to.c_str(), &st) == 0)
		return B_FILE_EXISTS;
	if (rename(from.c_str(), to.c_str()) != 0)
		return errno_status();
	return B_OK;
}

status_t BEntry::Rename(const char* path, bool clobber)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fName == ".")
		return B_NOT_ALLOWED;
	std::string target = path[0] == '/' ? std::string(path) : join_path(fDirPath, path);
	std::string normalized;
	status_t status = normalize_path(target.c_str(), &normalized);
	if (status != B_OK)
		return status;
	status = rename_entry(full_path(), normalized, clobber);
	if (status != B_OK)
		return status;
	split_path(normalized, &fDirPath, &fName);
	return B_OK;
}

status_t BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return B_BAD_VALUE;
	if (path != nullptr && path[0] == '/')
		return Rename(path, clobber);
	std::string target = join_path(dir->PathName(), path != nullptr ? path : fName.c_str());
	return Rename(target.c_str(), clobber);
}

status_t BEntry::Remove()
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string path = full_path();
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return errno_status();
	int result = S_ISDIR(st.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
	if (result != 0)
		return errno_status();
	return B_OK;
}

bool BEntry::operator==(const BEntry& item) const
{
	if (fCStatus != B_OK || item.fCStatus != B_OK)
		return fCStatus != B_OK && item.fCStatus != B_OK;
	return fDirPath == item.fDirPath && fName == item.fName;
}

bool BEntry::operator!=(const BEntry& item) const
{
	return !(*this == item);
}

BEntry& BEntry::operator=(const BEntry& item)
{
	fDirPath = item.fDirPath;
	fName = item.fName;
	fCStatus = item.fCStatus;
	return *this;
}

status_t BEntry::set_stat(const struct stat& st, uint32 what)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string path = full_path();
	// The entry itself is changed: a link is not followed.
	if (what & B_STAT_MODE) {
		struct stat current;
		if (lstat(path.c_str(), &current) != 0)
			return errno_status();
		if (S_ISLNK(current.st_mode))
			return B_UNSUPPORTED;
		if (chmod(path.c_str(), st.st_mode & 07777) != 0)
			return errno_status();
	}
	if (what & (B_STAT_UID | B_STAT_GID)) {
		uid_t uid = (what & B_STAT_UID) ? st.st_uid : (uid_t)-1;
		gid_t gid = (what & B_STAT_GID) ? st.st_gid : (gid_t)-1;
		if (lchown(path.c_str(), uid, gid) != 0)
			return errno_status();
	}
	if (what & (B_STAT_ACCESS_TIME | B_STAT_MODIFICATION_TIME)) {
		struct timespec times[2];
		times[0].tv_sec = st.st_atime;
		times[0].tv_nsec = (what & B_STAT_ACCESS_TIME) ? 0 : UTIME_OMIT;
		times[1].tv_sec = st.st_mtime;
		times[1].tv_nsec = (what & B_STAT_MODIFICATION_TIME) ? 0 : UTIME_OMIT;
		if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
			return errno_status();
	}
	return B_OK;
}

status_t BEntry::get_node_path(std::string* path) const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	*path = full_path();
	return B_OK;
}
