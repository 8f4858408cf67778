#include <Statable.h>

#include <Node.h>

#include "storage/PathUtil.h"

BStatable::~BStatable()
{
}

bool BStatable::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool BStatable::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

bool BStatable::IsSymLink() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}

status_t BStatable::GetNodeRef(node_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	ref->device = BPrivate::short_dev(st.st_dev);
	ref->node = st.st_ino;
	std::string path;
	if (get_node_path(&path) == B_OK)
		BPrivate::register_node(st.st_dev, st.st_ino, path);
	return B_OK;
}

status_t BStatable::get_node_path(std::string*) const
{
	return B_UNSUPPORTED;
}

// Reads one field of the stat into `out`.
template<typename T, typename F>
static status_t get_field(const BStatable* statable, T* out, F field)
{
	if (out == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = statable->GetStat(&st);
	if (status == B_OK)
		*out = field(st);
	return status;
}

status_t BStatable::GetOwner(uid_t* owner) const
{
	return get_field(this, owner, [](const struct stat& st) { return st.st_uid; });
}

status_t BStatable::SetOwner(uid_t owner)
{
	struct stat st = {};
	st.st_uid = owner;
	return set_stat(st, B_STAT_UID);
}

status_t BStatable::GetGroup(gid_t* group) const
{
	return get_field(this, group, [](const struct stat& st) { return st.st_gid; });
}

status_t BStatable::SetGroup(gid_t group)
{
	struct stat st = {};
	st.st_gid = group;
	return set_stat(st, B_STAT_GID);
}

status_t BStatable::GetPermissions(mode_t* perms) const
{
	return get_field(this, perms, [](const struct stat& st) { return (mode_t)(st.st_mode & 07777); });
}

status_t BStatable::SetPermissions(mode_t perms)
{
	struct stat st = {};
	st.st_mode = perms;
	return set_stat(st, B_STAT_MODE);
}

status_t BStatable::GetSize(off_t* size) const
{
	return get_field(this, size, [](const struct stat& st) { return st.st_size; });
}

status_t BStatable::GetModificationTime(time_t* mtime) const
{
	return get_field(this, mtime, [](const struct stat& st) { return st.st_mtime; });
}

status_t BStatable::SetModificationTime(time_t mtime)
{
	struct stat st = {};
	st.st_mtime = mtime;
	return set_stat(st, B_STAT_MODIFICATION_TIME);
}

status_t BStatable::GetCreationTime(time_t* ctime) const
{
	return get_field(this, ctime, [](const struct stat& st) { return st.st_ctime; });
}

status_t BStatable::SetCreationTime(time_t)
{
	return B_UNSUPPORTED;
}

status_t BStatable::GetAccessTime(time_t* atime) const
{
	return get_field(this, atime, [](const struct stat& st) { return st.st_atime; });
}

status_t BStatable::SetAccessTime(time_t atime)
{
	struct stat st = {};
	st.st_atime = atime;
	return set_stat(st, B_STAT_ACCESS_TIME);
}
