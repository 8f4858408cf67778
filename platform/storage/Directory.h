// BDirectory: an open folder, its entries, and making files and folders in it.
//
// Entries are listed in the order the file system keeps them, without "."
// and "..".
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <EntryList.h>
#include <Node.h>
#include <StorageDefs.h>

#include <string>

class BFile;
class BPath;
class BSymLink;

class BDirectory : public BNode, public BEntryList {
public:
	BDirectory();
	BDirectory(const BDirectory& dir);
	BDirectory(const entry_ref* ref);
	BDirectory(const node_ref* nref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	BDirectory(const BDirectory* dir, const char* path);
	virtual ~BDirectory();

	// Anything but a folder fails with B_NOT_A_DIRECTORY.
	status_t SetTo(const entry_ref* ref);
	// Only folders whose path this process has seen can be found by node;
	// anything else fails with B_ENTRY_NOT_FOUND or B_NOT_A_DIRECTORY.
	status_t SetTo(const node_ref* nref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t GetEntry(BEntry* entry) const;
	bool IsRootDirectory() const;

	// `path` relative to this folder, or absolute.
	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
	bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

	// BDirectory has its own GetStatFor, to stat a path relative to it.
	status_t GetStatFor(const char* path, struct stat* st) const;

	virtual status_t GetNextEntry(BEntry* entry, bool traverse = false);
	virtual status_t GetNextRef(entry_ref* ref);
	virtual int32 GetNextDirents(struct dirent* buffer, size_t bufferSize,
	                             int32 count = INT_MAX);
	virtual status_t Rewind();
	// Counts the entries; the listing position is kept.
	virtual int32 CountEntries();

	status_t CreateDirectory(const char* path, BDirectory* dir);
	// Creates (or, without `failIfExists`, opens and empties) a file,
	// opened for reading and writing.
	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);

	BDirectory& operator=(const BDirectory& dir);

	// The folder's canonical path, for the kit's own use.
	const char* PathName() const { return fPath.c_str(); }

private:
	status_t set_dir_path(const std::string& path);
	std::string resolve(const char* path) const;
	status_t next_name(std::string* name);

	std::string fPath;
	DIR* fDir;      // listing stream, opened on first use
};

// Creates `path` and every missing folder above it, each with `mode`.
// Succeeds when the folder already exists.
status_t create_directory(const char* path, mode_t mode);

#endif
