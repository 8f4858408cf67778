#include "translation/StreamUtil.h"

#include <Errors.h>

namespace BPrivate {

ssize_t
read_fully(BPositionIO* source, void* buffer, size_t size)
{
	uint8* out = (uint8*)buffer;
	size_t total = 0;
	while (total < size) {
		ssize_t got = source->Read(out + total, size - total);
		if (got < 0)
			return total > 0 ? (ssize_t)total : got;
		if (got == 0)
			break;
		total += (size_t)got;
	}
	return (ssize_t)total;
}

status_t
read_exactly(BPositionIO* source, void* buffer, size_t size)
{
	ssize_t got = read_fully(source, buffer, size);
	if (got < 0)
		return (status_t)got;
	return (size_t)got == size ? B_OK : (status_t)B_ILLEGAL_DATA;
}

status_t
write_fully(BPositionIO* destination, const void* data, size_t size)
{
	const uint8* in = (const uint8*)data;
	size_t total = 0;
	while (total < size) {
		ssize_t put = destination->Write(in + total, size - total);
		if (put < 0)
			return (status_t)put;
		if (put == 0)
			return B_IO_ERROR;
		total += (size_t)put;
	}
	return B_OK;
}

size_t
peek(BPositionIO* source, void* buffer, size_t size)
{
	PositionKeeper keeper(source);
	ssize_t got = read_fully(source, buffer, size);
	return got > 0 ? (size_t)got : 0;
}

off_t
bytes_left(BPositionIO* source)
{
	if (source == NULL)
		return -1;
	const off_t here = source->Position();
	if (here < 0)
		return -1;
	const off_t end = source->Seek(0, SEEK_END);
	source->Seek(here, SEEK_SET);
	if (end < 0)
		return -1;
	return end > here ? end - here : 0;
}

}
