// Byte streams: BDataIO (read and write), BPositionIO (with a position that
// can be moved), and two streams in memory, BMemoryIO on a buffer the caller
// owns and BMallocIO on a buffer it allocates and grows itself.
//
// Read and Write return the number of bytes moved (0 at the end of the data)
// or a negative status code.
#ifndef _DATA_IO_H
#define _DATA_IO_H

#include <SupportDefs.h>

#include <stdio.h>  // SEEK_SET, SEEK_CUR, SEEK_END

class BDataIO {
public:
	BDataIO();
	virtual ~BDataIO();

	virtual ssize_t Read(void* buffer, size_t size) = 0;
	virtual ssize_t Write(const void* buffer, size_t size) = 0;

private:
	BDataIO(const BDataIO&) = delete;
	BDataIO& operator=(const BDataIO&) = delete;
};


class BPositionIO : public BDataIO {
public:
	BPositionIO();
	virtual ~BPositionIO();

	// Read and write at the current position, and move it past what was
	// read or written.
	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;

	// `seekMode` is SEEK_SET, SEEK_CUR or SEEK_END. Returns the new position
	// or a negative status code (the position is then unchanged).
	virtual off_t Seek(off_t position, uint32 seekMode) = 0;
	virtual off_t Position() const = 0;

	// B_ERROR unless the stream can change its size.
	virtual status_t SetSize(off_t size);
	// By default found by seeking to the end and back.
	virtual status_t GetSize(off_t* size) const;
};


// A stream on a buffer that the caller owns and that outlives the object.
// It never grows past the buffer: a write that does not fit is cut short.
// The form that takes a const buffer is read-only (writes fail with
// B_NOT_ALLOWED).
class BMemoryIO : public BPositionIO {
public:
	BMemoryIO(void* data, size_t length);
	BMemoryIO(const void* data, size_t length);
	virtual ~BMemoryIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	// Between 0 and the buffer's size (bytes added are zeroed).
	virtual status_t SetSize(off_t size);

private:
	bool fReadOnly;
	char* fBuffer;
	size_t fLength;      // the stream's size
	size_t fBufferSize;  // the room in the buffer
	off_t fPosition;
};


// A stream on memory of its own, which grows as it is written to, by whole
// blocks of the block size. Writing past the end fills the gap with zeros.
class BMallocIO : public BPositionIO {
public:
	BMallocIO();
	virtual ~BMallocIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	virtual status_t SetSize(off_t size);

	void SetBlockSize(size_t blockSize);
	// The data written so far (BufferLength() bytes); valid until the next
	// change. NULL while nothing has been written.
	const void* Buffer() const;
	size_t BufferLength() const;

private:
	status_t _Reserve(size_t size);

	size_t fBlockSize;
	size_t fMallocSize;
	size_t fLength;
	char* fData;
	off_t fPosition;
};

#endif
