// BEntryList: the interface of anything that lists entries (BDirectory).
#ifndef _ENTRY_LIST_H
#define _ENTRY_LIST_H

#include <SupportDefs.h>

#include <dirent.h>
#include <limits.h>

class BEntry;
struct entry_ref;

class BEntryList {
public:
	BEntryList();
	virtual ~BEntryList();

	virtual status_t GetNextEntry(BEntry* entry, bool traverse = false) = 0;
	virtual status_t GetNextRef(entry_ref* ref) = 0;
	// Fills `direntBuffer` (of `bufferSize` bytes) with up to `count`
	// Linux dirent records; returns how many, 0 at the end.
	virtual int32 GetNextDirents(struct dirent* direntBuffer, size_t bufferSize,
	                             int32 count = INT_MAX) = 0;
	virtual status_t Rewind() = 0;
	virtual int32 CountEntries() = 0;
};

#endif
