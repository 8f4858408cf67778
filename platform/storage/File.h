// BFile: a regular file opened for reading and/or writing; a BPositionIO.
#ifndef _FILE_H
#define _FILE_H

#include <DataIO.h>
#include <Node.h>
#include <StorageDefs.h>

class BFile : public BNode, public BPositionIO {
public:
	BFile();
	BFile(const BFile& file);
	BFile(const entry_ref* ref, uint32 openMode);
	BFile(const BEntry* entry, uint32 openMode);
	BFile(const char* path, uint32 openMode);
	BFile(const BDirectory* dir, const char* path, uint32 openMode);
	virtual ~BFile();

	// `openMode` combines one of B_READ_ONLY, B_WRITE_ONLY and B_READ_WRITE
	// with B_CREATE_FILE, B_ERASE_FILE, B_FAIL_IF_EXISTS and B_OPEN_AT_END.
	// A folder is refused with B_IS_A_DIRECTORY. New files get mode 0644
	// (less the process umask).
	status_t SetTo(const entry_ref* ref, uint32 openMode);
	status_t SetTo(const BEntry* entry, uint32 openMode);
	status_t SetTo(const char* path, uint32 openMode);
	status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
	void Unset();

	bool IsReadable() const;
	bool IsWritable() const;

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t ReadAt(off_t pos, void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t pos, const void* buffer, size_t size);

	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;

	BFile& operator=(const BFile& file);

private:
	uint32 fMode;
};

#endif
