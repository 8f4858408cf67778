// BBitmapStream: a stream in the standard bitmap format (a TranslatorBitmap
// header, big-endian, then the pixels) that lives in a BBitmap. Translators
// write an image into it and DetachBitmap() hands over the result; or it is
// made from a bitmap and read by a translator that writes a file format.
//
// Writing: the first 32 bytes are the header. Once it is complete the
// stream makes its bitmap; the pixel bytes that follow go into the bitmap.
// Headers in B_RGB32, B_RGBA32 and B_CMAP8 are kept as they are; the other
// common colour spaces (24-bit, big-endian 32-bit, 15/16-bit, 8-bit and
// 1-bit grey) are converted to B_RGB32 or B_RGBA32 by DetachBitmap().
// A header that is not a bitmap header, an unknown colour space, a row
// length too short for the width, or an image larger than a BBitmap may be
// makes the write fail with B_BAD_VALUE. Writing past the end of the image
// is cut short.
//
// Ownership: the stream owns its bitmap, also one given to the constructor,
// and deletes it unless DetachBitmap() was called, which passes it to the
// caller. Not for use by several threads at once.
#ifndef _BITMAP_STREAM_H
#define _BITMAP_STREAM_H

#include <DataIO.h>
#include <TranslatorFormats.h>

class BBitmap;

class BBitmapStream : public BPositionIO {
public:
	BBitmapStream(BBitmap* bitmap = NULL);
	virtual ~BBitmapStream();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* data, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	// Header and pixels; 0 until a header has been written.
	off_t Size() const;
	// Only to the present size (B_OK); anything else is B_NOT_ALLOWED.
	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;

	// Hands the bitmap to the caller, who deletes it. B_BAD_VALUE for NULL,
	// B_ERROR when there is no (valid) bitmap or it was detached already,
	// or B_NO_MEMORY when a conversion fails. The stream is empty afterwards.
	status_t DetachBitmap(BBitmap** outBitmap);

protected:
	// Swaps the header between stream (big-endian) and host order.
	void SwapHeader(const TranslatorBitmap* source,
		TranslatorBitmap* destination);

	TranslatorBitmap fHeader;      // in host order, valid once fHeaderDone
	BBitmap* fMap;
	size_t fPosition;
	size_t fSize;
	bool fDetached;

private:
	BBitmapStream(const BBitmapStream&) = delete;
	BBitmapStream& operator=(const BBitmapStream&) = delete;

	status_t _AcceptHeader();
	ssize_t _WritePixels(size_t offset, const uint8* data, size_t size);

	uint8 fHeaderBytes[sizeof(TranslatorBitmap)];  // as written, big-endian
	uint32 fHeaderMask;       // one bit for each header byte written
	bool fHeaderDone;
	uint8* fRaw;              // pixels in a space BBitmap does not keep
	size_t fRawLength;
};

#endif
