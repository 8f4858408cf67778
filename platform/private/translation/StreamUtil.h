// Small helpers for reading and writing whole blocks on BPositionIO
// streams, which may move fewer bytes than asked in one call.
#ifndef TRANSLATION_STREAM_UTIL_H
#define TRANSLATION_STREAM_UTIL_H

#include <DataIO.h>

namespace BPrivate {

// Reads until `size` bytes are in, the data ends or an error occurs.
// Returns the number of bytes read or a negative status code.
ssize_t read_fully(BPositionIO* source, void* buffer, size_t size);
// B_OK when exactly `size` bytes could be read, B_ILLEGAL_DATA when the data
// ended first, or the stream's error.
status_t read_exactly(BPositionIO* source, void* buffer, size_t size);
// Writes all of `data`; B_OK, or the stream's error (B_IO_ERROR when it
// stopped taking data).
status_t write_fully(BPositionIO* destination, const void* data, size_t size);

// Reads up to `size` bytes from the current position and puts the position
// back. Returns the number of bytes read (0 on errors).
size_t peek(BPositionIO* source, void* buffer, size_t size);
// Bytes from the current position to the stream's end (the position is
// kept), or -1 when the stream cannot tell.
off_t bytes_left(BPositionIO* source);

// Puts a stream back to a position when it goes out of scope.
class PositionKeeper {
public:
	explicit PositionKeeper(BPositionIO* stream)
		: fStream(stream), fPosition(stream != NULL ? stream->Position() : -1) {}
	~PositionKeeper()
	{
		if (fStream != NULL && fPosition >= 0)
			fStream->Seek(fPosition, SEEK_SET);
	}
	off_t Start() const { return fPosition; }

private:
	PositionKeeper(const PositionKeeper&) = delete;
	PositionKeeper& operator=(const PositionKeeper&) = delete;

	BPositionIO* fStream;
	off_t fPosition;
};

}

#endif
