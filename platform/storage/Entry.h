// entry_ref and BEntry: a name in a folder.
//
// An entry_ref names an entry by (device, folder inode, leaf name). Linux
// cannot open a folder by its inode, so the kit keeps a process-wide table
// from (device, folder inode) to the folder's path; it is filled whenever a
// ref is made from a path and whenever a ref arrives in a message (the
// flattened form carries the full path). A ref whose folder is not in the
// table, or whose folder has since moved, does not resolve and the calls
// taking it fail with B_ENTRY_NOT_FOUND.
//
// A BEntry may name an entry that does not exist yet, as long as its folder
// exists. It holds no file descriptor; it remembers the folder's canonical
// path (symbolic links resolved) and the leaf name.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

class BDirectory;
class BPath;

struct entry_ref {
	entry_ref();
	entry_ref(dev_t dev, ino_t dir, const char* name);
	entry_ref(const entry_ref& ref);
	~entry_ref();

	// Copies `name`; NULL clears it.
	status_t set_name(const char* name);

	bool operator==(const entry_ref& ref) const;
	bool operator!=(const entry_ref& ref) const;
	entry_ref& operator=(const entry_ref& ref);

	dev_t device;
	ino_t directory;
	char* name;      // owned by the ref
};

// Orders refs by device, folder and name, so that they can key a map.
bool operator<(const entry_ref& a, const entry_ref& b);

// The ref of the entry at `path`, which need not exist; its folder must.
status_t get_ref_for_path(const char* path, entry_ref* ref);

class BEntry : public BStatable {
public:
	BEntry();
	BEntry(const BDirectory* dir, const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const char* path, bool traverse = false);
	BEntry(const BEntry& entry);
	virtual ~BEntry();

	status_t InitCheck() const;
	bool Exists() const;

	virtual status_t GetStat(struct stat* st) const;

	// With `traverse`, a symbolic link is replaced by the entry it points
	// to (B_ENTRY_NOT_FOUND for a dangling link). A relative `path` is
	// taken from `dir`, or from the current folder.
	status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const char* path, bool traverse = false);
	void Unset();

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	// The folder holding this entry; B_ENTRY_NOT_FOUND for the root.
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* dir) const;
	// `buffer` must hold B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;

	// Renames the entry inside its folder (or to an absolute path). Without
	// `clobber` an existing entry of that name is left alone and the call
	// fails with B_FILE_EXISTS. The BEntry follows the renamed entry.
	status_t Rename(const char* path, bool clobber = false);
	// Moves the entry into `dir`, optionally under a new name.
	status_t MoveTo(BDirectory* dir, const char* path = NULL, bool clobber = false);
	// Removes the entry (a folder only when it is empty). The BEntry keeps
	// naming the place where it was.
	status_t Remove();

	bool operator==(const BEntry& item) const;
	bool operator!=(const BEntry& item) const;
	BEntry& operator=(const BEntry& item);

protected:
	virtual status_t set_stat(const struct stat& st, uint32 what);
	virtual status_t get_node_path(std::string* path) const;

private:
	status_t set_from_path(const char* path, bool traverse);
	std::string full_path() const;

	std::string fDirPath;   // canonical, absolute; "/" for the root's folder
	std::string fName;      // leaf; "." for the root itself
	status_t fCStatus;
};

#endif
