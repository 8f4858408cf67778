#include <DataIO.h>

#include "support/SeekTarget.h"

#include <cstring>


BMemoryIO::BMemoryIO(void* data, size_t length)
	:
	fReadOnly(false),
	fBuffer((char*)data),
	fLength(data != NULL ? length : 0),
	fBufferSize(data != NULL ? length : 0),
	fPosition(0)
{
}


BMemoryIO::BMemoryIO(const void* data, size_t length)
	:
	fReadOnly(true),
	fBuffer((char*)data),
	fLength(data != NULL ? length : 0),
	fBufferSize(data != NULL ? length : 0),
	fPosition(0)
{
}


BMemoryIO::~BMemoryIO()
{
}


ssize_t
BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((uint64)position >= fLength)
		return 0;
	size_t count = fLength - (size_t)position;
	if (size < count)
		count = size;
	memcpy(buffer, fBuffer + position, count);
	return (ssize_t)count;
}


ssize_t
BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	// A write with no room at all is an error rather than 0 bytes, so that
	// a caller writing in a loop does not spin for ever.
	if ((uint64)position >= fBufferSize)
		return B_DEVICE_FULL;
	size_t count = fBufferSize - (size_t)position;
	if (size < count)
		count = size;
	// Bytes between the old end and the write hold nothing the stream
	// wrote: zero them rather than expose what the buffer held.
	if ((size_t)position > fLength)
		memset(fBuffer + fLength, 0, (size_t)position - fLength);
	memmove(fBuffer + position, buffer, count);
	if ((size_t)position + count > fLength)
		fLength = (size_t)position + count;
	return (ssize_t)count;
}


off_t
BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t target = BPrivate::seek_target(fPosition, (off_t)fLength, position, seekMode);
	if (target >= 0)
		fPosition = target;
	return target;
}


off_t
BMemoryIO::Position() const
{
	return fPosition;
}


status_t
BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || (uint64)size > fBufferSize)
		return B_BAD_VALUE;
	if ((size_t)size > fLength)
		memset(fBuffer + fLength, 0, (size_t)size - fLength);
	fLength = (size_t)size;
	return B_OK;
}
