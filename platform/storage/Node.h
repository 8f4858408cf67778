// node_ref and BNode: an open file-system node and its attributes.
//
// A BNode holds a file descriptor for as long as it is set. Attributes are
// Linux extended attributes in the "user." namespace: an attribute "foo"
// is stored as "user.foo" with its bytes unchanged, and its type code is kept
// beside it in "user.be:type:foo" (hidden from GetNextAttrName). An attribute
// written by another program has no type beside it and reads as B_RAW_TYPE.
// On a file system without extended attributes the calls fail with
// B_UNSUPPORTED. Node locking does not exist on Linux: Lock() fails with
// B_UNSUPPORTED.
#ifndef _NODE_H
#define _NODE_H

#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>
#include <fs_attr.h>

#include <sys/types.h>

#include <string>
#include <vector>

class BDirectory;
class BEntry;
class BString;
struct entry_ref;

struct node_ref {
	node_ref();
	node_ref(dev_t device, ino_t node);
	node_ref(const node_ref& ref);

	bool operator==(const node_ref& ref) const;
	bool operator!=(const node_ref& ref) const;
	bool operator<(const node_ref& ref) const;
	node_ref& operator=(const node_ref& ref);

	dev_t device;
	ino_t node;
};

class BNode : public BStatable {
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	BNode(const BDirectory* dir, const char* path);
	BNode(const BNode& node);
	virtual ~BNode();

	status_t InitCheck() const;

	virtual status_t GetStat(struct stat* st) const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t Lock();
	status_t Unlock();
	// Flushes the node's data to the disk.
	status_t Sync();

	// `offset` is the place inside the attribute; writing at 0 replaces the
	// attribute. The result is the number of bytes written or read, or an
	// error. ReadAttr ignores `type`, as the platform always did.
	ssize_t WriteAttr(const char* name, type_code type, off_t offset,
	                  const void* buffer, size_t length);
	ssize_t ReadAttr(const char* name, type_code type, off_t offset,
	                 void* buffer, size_t length) const;
	status_t RemoveAttr(const char* name);
	status_t RenameAttr(const char* oldName, const char* newName);
	status_t GetAttrInfo(const char* name, attr_info* info) const;
	// Names of the attributes one after the other; B_ENTRY_NOT_FOUND after
	// the last. `buffer` must hold B_ATTR_NAME_LENGTH bytes.
	status_t GetNextAttrName(char* buffer);
	status_t RewindAttrs();
	// A B_STRING_TYPE attribute with its terminating NUL.
	status_t WriteAttrString(const char* name, const BString* data);
	status_t ReadAttrString(const char* name, BString* result) const;

	// A duplicate of the node's descriptor, which the caller closes; -1
	// when the node is not set.
	int Dup();

	bool operator==(const BNode& node) const;
	bool operator!=(const BNode& node) const;
	BNode& operator=(const BNode& node);

protected:
	virtual status_t set_stat(const struct stat& st, uint32 what);
	virtual status_t get_node_path(std::string* path) const;
	// Opens `path` with `openMode` (open(2) flags) and takes the descriptor;
	// BFile and BDirectory call it with their own modes.
	status_t open_path(const char* path, int openMode, mode_t perms = 0644);
	void close_fd();

	int fFd;
	status_t fCStatus;

private:
	std::vector<std::string> fAttrNames;  // snapshot for GetNextAttrName
	size_t fAttrCursor;
	bool fAttrListed;
	bool fPathOnly;           // fFd opened with O_PATH (a link, an unreadable node)
};

#endif
