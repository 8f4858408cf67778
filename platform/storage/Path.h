// BPath: an absolute path name, split into folder and leaf on demand.
//
// SetTo normalises a path (making it absolute, resolving ".", ".." and
// symbolic links in its folders) when asked to, and whenever the path needs
// it: a relative path, "." or ".." components, doubled or trailing slashes.
// Normalising needs the folder to exist (B_ENTRY_NOT_FOUND otherwise); the
// leaf need not. A clean absolute path is taken as it is, existing or not.
//
// The flattened form (type B_REF_TYPE, as the platform had it) is the
// entry_ref of the path; see RefFlattening in the kit's private part.
#ifndef _PATH_H
#define _PATH_H

#include <Flattenable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BEntry;
struct entry_ref;

class BPath : public BFlattenable {
public:
	BPath();
	BPath(const BPath& path);
	BPath(const entry_ref* ref);
	BPath(const BEntry* entry);
	BPath(const char* dir, const char* leaf = NULL, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf = NULL, bool normalize = false);
	virtual ~BPath();

	status_t InitCheck() const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	// `leaf` is a relative path appended to `path`.
	status_t SetTo(const char* path, const char* leaf = NULL, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* path = NULL, bool normalize = false);
	void Unset();

	status_t Append(const char* path, bool normalize = false);

	// NULL when the path is not initialised.
	const char* Path() const;
	// The last component; "" for the root.
	const char* Leaf() const;
	// B_ENTRY_NOT_FOUND for the root.
	status_t GetParent(BPath* path) const;

	bool operator==(const BPath& item) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& item) const;
	bool operator!=(const char* path) const;
	BPath& operator=(const BPath& item);
	BPath& operator=(const char* path);

	virtual bool IsFixedSize() const;
	virtual type_code TypeCode() const;
	virtual ssize_t FlattenedSize() const;
	virtual status_t Flatten(void* buffer, ssize_t size) const;
	virtual bool AllowsTypeCode(type_code code) const;
	virtual status_t Unflatten(type_code code, const void* buffer, ssize_t size);

private:
	char* fName;      // owned; NULL when not initialised
	status_t fCStatus;
};

#endif
