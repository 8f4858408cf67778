#include <DataIO.h>

#include "support/SeekTarget.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const size_t kDefaultBlockSize = 256;

}	// namespace


BMallocIO::BMallocIO()
	:
	fBlockSize(kDefaultBlockSize),
	fMallocSize(0),
	fLength(0),
	fData(NULL),
	fPosition(0)
{
}


BMallocIO::~BMallocIO()
{
	free(fData);
}


status_t
BMallocIO::_Reserve(size_t size)
{
	if (size <= fMallocSize)
		return B_OK;
	size_t blocks = size / fBlockSize + (size % fBlockSize != 0 ? 1 : 0);
	size_t newSize;
	if (__builtin_mul_overflow(blocks, fBlockSize, &newSize)
		|| newSize > (size_t)SSIZE_MAX)
		return B_NO_MEMORY;
	char* data = (char*)realloc(fData, newSize);
	if (data == NULL)
		return B_NO_MEMORY;
	fData = data;
	fMallocSize = newSize;
	return B_OK;
}


ssize_t
BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((uint64)position >= fLength)
		return 0;
	size_t count = fLength - (size_t)position;
	if (size < count)
		count = size;
	memcpy(buffer, fData + position, count);
	return (ssize_t)count;
}


ssize_t
BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (buffer == NULL || position < 0 || size > (size_t)SSIZE_MAX)
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	uint64 end;
	if (__builtin_add_overflow((uint64)position, (uint64)size, &end)
		|| end > (uint64)SSIZE_MAX)
		return B_NO_MEMORY;
	status_t status = _Reserve((size_t)end);
	if (status != B_OK)
		return status;
	if ((size_t)position > fLength)
		memset(fData + fLength, 0, (size_t)position - fLength);
	memmove(fData + position, buffer, size);
	if ((size_t)end > fLength)
		fLength = (size_t)end;
	return (ssize_t)size;
}


off_t
BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t target = BPrivate::seek_target(fPosition, (off_t)fLength, position, seekMode);
	if (target >= 0)
		fPosition = target;
	return target;
}


off_t
BMallocIO::Position() const
{
	return fPosition;
}


status_t
BMallocIO::SetSize(off_t size)
{
	if (size < 0 || (uint64)size > (uint64)SSIZE_MAX)
		return B_BAD_VALUE;
	if (size == 0) {
		free(fData);
		fData = NULL;
		fMallocSize = 0;
		fLength = 0;
		return B_OK;
	}
	status_t status = _Reserve((size_t)size);
	if (status != B_OK)
		return status;
	if ((size_t)size > fLength)
		memset(fData + fLength, 0, (size_t)size - fLength);
	fLength = (size_t)size;
	return B_OK;
}


void
BMallocIO::SetBlockSize(size_t blockSize)
{
	fBlockSize = blockSize > 0 ? blockSize : 1;
}


const void*
BMallocIO::Buffer() const
{
	return fData;
}


size_t
BMallocIO::BufferLength() const
{
	return fLength;
}
