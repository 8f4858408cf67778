// BBitmap: an image in memory, in one of the colour spaces the display
// draws (B_RGB32, B_RGBA32 and B_CMAP8).
//
// The bitmap owns its pixel memory. 32-bit rows hold blue, green, red and
// alpha bytes (colour not premultiplied) and are as long as the drawing code
// wants them (a multiple of four bytes); B_CMAP8 rows are padded to a
// multiple of four bytes and hold indices into system_colors().
//
// Bounds() is inclusive, as every BRect: BBitmap(BRect(0, 0, 31, 31), ...)
// is 32 x 32 pixels, and its left-top corner is always (0, 0).
//
// Views in bitmaps (B_BITMAP_ACCEPTS_VIEWS, B_RGB32 and B_RGBA32 only): the
// bitmap keeps a hidden window for them, so they draw into its pixels
// exactly as they would on the screen. Lock the bitmap around drawing and
// call Sync() (or Flush()) before reading the pixels. The bitmap owns the
// views added to it and deletes them with itself. Draw() is not called for
// views in a bitmap: the program draws when it wants to.
#ifndef _BITMAP_H
#define _BITMAP_H

#include <GraphicsDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

class BView;
class BWindow;

enum {
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS  = 0x00000002,
	B_BITMAP_IS_AREA        = 0x00000004,
	B_BITMAP_IS_LOCKED      = 0x00000008 | B_BITMAP_IS_AREA,
	B_BITMAP_IS_CONTIGUOUS  = 0x00000010 | B_BITMAP_IS_LOCKED,
	B_BITMAP_IS_OFFSCREEN   = 0x00000020
};

#define B_ANY_BYTES_PER_ROW -1

class BBitmap {
public:
	// bytesPerRow: B_ANY_BYTES_PER_ROW, or a row length at least as long as
	// the pixels need (for 32-bit spaces a multiple of four). An invalid
	// bounds rectangle, an unsupported colour space or a row length that is
	// too short leaves the bitmap invalid (InitCheck() says why).
	BBitmap(BRect bounds, uint32 flags, color_space space,
		int32 bytesPerRow = B_ANY_BYTES_PER_ROW,
		screen_id screenID = B_MAIN_SCREEN_ID);
	BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
		bool needsContiguous = false);
	// A copy of source's pixels (an invalid source gives an invalid bitmap).
	BBitmap(const BBitmap* source, bool acceptsViews = false,
		bool needsContiguous = false);
	virtual ~BBitmap();

	BBitmap(const BBitmap&) = delete;
	BBitmap& operator=(const BBitmap&) = delete;

	// B_OK, B_BAD_VALUE (bounds, colour space or row length) or B_NO_MEMORY.
	status_t InitCheck() const { return fInitStatus; }
	bool IsValid() const { return fInitStatus == B_OK; }

	// The memory never moves, so these only report success.
	status_t LockBits(uint32* state = NULL);
	void UnlockBits();

	// The pixels (null when invalid), their size in bytes, the row length.
	void* Bits() const { return fBits; }
	int32 BitsLength() const { return fBitsLength; }
	int32 BytesPerRow() const { return fBytesPerRow; }
	color_space ColorSpace() const { return fColorSpace; }
	BRect Bounds() const { return fBounds; }
	uint32 Flags() const { return fFlags; }

	// Copies `length` bytes of `data`, pixels in colour space `space`, into
	// the bitmap starting at byte `offset` of Bits(), converting them to the
	// bitmap's colour space. Source pixels are taken as one stream that fills
	// the bitmap row after row (source rows are not padded, except B_CMAP8
	// rows, which are padded to four bytes like the bitmap's own). Supported
	// sources: the bitmap's own space, B_RGB32, B_RGBA32 and B_CMAP8; others
	// are ignored. Nothing is written past the end of the bitmap.
	void SetBits(const void* data, int32 length, int32 offset, color_space space);

	// Views drawing into the bitmap (see above). AddChild and RemoveChild
	// lock the bitmap themselves. Without
	// B_BITMAP_ACCEPTS_VIEWS AddChild ignores the view, RemoveChild and Lock
	// return false, and the queries find nothing.
	virtual void AddChild(BView* view);
	virtual bool RemoveChild(BView* view);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* viewName) const;
	BView* FindView(BPoint point) const;
	bool Lock();
	void Unlock();
	bool IsLocked() const;

private:
	void _Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow);

	uint8* fBits;
	int32 fBitsLength;
	int32 fBytesPerRow;
	color_space fColorSpace;
	BRect fBounds;
	uint32 fFlags;
	status_t fInitStatus;
	BWindow* fWindow;        // owned; only with B_BITMAP_ACCEPTS_VIEWS
};

#endif
