// BStatable: what every node and entry can tell about itself (kind, size,
// owner, permissions, times).
#ifndef _STATABLE_H
#define _STATABLE_H

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>
#include <time.h>

#include <string>

struct node_ref;
class BVolume;

class BStatable {
public:
	virtual ~BStatable();

	// For a BEntry this describes the entry itself (a link is not
	// followed); for a BNode, the open node.
	virtual status_t GetStat(struct stat* st) const = 0;

	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;

	status_t GetNodeRef(node_ref* ref) const;

	status_t GetOwner(uid_t* owner) const;
	status_t SetOwner(uid_t owner);
	status_t GetGroup(gid_t* group) const;
	status_t SetGroup(gid_t group);
	status_t GetPermissions(mode_t* perms) const;
	status_t SetPermissions(mode_t perms);
	status_t GetSize(off_t* size) const;

	status_t GetModificationTime(time_t* mtime) const;
	status_t SetModificationTime(time_t mtime);
	// Linux keeps no creation time that can be set; the status-change time
	// is reported instead and setting it fails with B_UNSUPPORTED.
	status_t GetCreationTime(time_t* ctime) const;
	status_t SetCreationTime(time_t ctime);
	status_t GetAccessTime(time_t* atime) const;
	status_t SetAccessTime(time_t atime);

protected:
	// Which fields of the stat a set_stat call changes.
	enum {
		B_STAT_MODE              = 0x0001,
		B_STAT_UID               = 0x0002,
		B_STAT_GID               = 0x0004,
		B_STAT_ACCESS_TIME       = 0x0010,
		B_STAT_MODIFICATION_TIME = 0x0020
	};
	virtual status_t set_stat(const struct stat& st, uint32 what) = 0;
	// The node's current path, so that GetNodeRef can record where the node
	// is (node monitoring finds nodes by path).
	virtual status_t get_node_path(std::string* path) const;
};

#endif
