#include <Bitmap.h>

#include <View.h>
#include <Window.h>

#include <cairo.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// The largest side we accept; keeps every size computation inside int32.
const int32 kMaxDimension = 16384;

int32
minimum_row_length(color_space space, int32 width)
{
	switch (space) {
		case B_RGB32:
		case B_RGBA32:
			// The stride Cairo wants, so that the painter can hand the
			// memory to it unchanged.
			return cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
		case B_CMAP8:
			return (width + 3) & ~3;
		default:
			return -1;
	}
}

// One source pixel as straight BGRA.
struct Pixel {
	uint8 b, g, r, a;
};

Pixel
read_pixel(const uint8* source, color_space space)
{
	switch (space) {
		case B_CMAP8: {
			rgb_color color = system_colors()->color_list[source[0]];
			return {color.blue, color.green, color.red,
				(uint8)(source[0] == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255)};
		}
		case B_RGB32:
			return {source[0], source[1], source[2], 255};
		default:
			return {source[0], source[1], source[2], source[3]};
	}
}

void
write_pixel(uint8* destination, color_space space, Pixel pixel)
{
	switch (space) {
		case B_CMAP8:
			destination[0] = pixel.a == 0 ? (uint8)B_TRANSPARENT_MAGIC_CMAP8
				: index_for_color(make_color(pixel.r, pixel.g, pixel.b));
			break;
		default:
			destination[0] = pixel.b;
			destination[1] = pixel.g;
			destination[2] = pixel.r;
			destination[3] = pixel.a;
			break;
	}
}

}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space space,
	int32 bytesPerRow, screen_id /*screenID*/)
{
	_Init(bounds, flags, space, bytesPerRow);
}

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews,
	bool needsContiguous)
{
	_Init(bounds, (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
		| (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0), space,
		B_ANY_BYTES_PER_ROW);
}

BBitmap::BBitmap(const BBitmap* source, bool acceptsViews, bool needsContiguous)
{
	if (source == NULL || !source->IsValid()) {
		_Init(BRect(), 0, B_NO_COLOR_SPACE, B_ANY_BYTES_PER_ROW);
		return;
	}
	_Init(source->Bounds(), (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
		| (needsContiguous ? B_BITMAP_IS_CONTIGUOUS : 0), source->ColorSpace(),
		source->BytesPerRow());
	if (IsValid())
		memcpy(fBits, source->Bits(), fBitsLength);
}

void
BBitmap::_Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow)
{
	fBits = NULL;
	fBitsLength = 0;
	fBytesPerRow = 0;
	fColorSpace = space;
	fFlags = flags;
	fInitStatus = B_BAD_VALUE;
	fWindow = NULL;

	// The left-top corner is always the origin; only the size counts.
	bounds.OffsetTo(0.0f, 0.0f);
	fBounds = bounds;
	if (!bounds.IsValid())
		return;
	int32 width = bounds.IntegerWidth() + 1;
	int32 height = bounds.IntegerHeight() + 1;
	if (width > kMaxDimension || height > kMaxDimension)
		return;
	fBounds.Set(0.0f, 0.0f, (float)(width - 1), (float)(height - 1));

	int32 minimumRow = minimum_row_length(space, width);
	if (minimumRow < 0)
		return;
	if (bytesPerRow == B_ANY_BYTES_PER_ROW)
		bytesPerRow = minimumRow;
	if (bytesPerRow < minimumRow || bytesPerRow > minimumRow + 4096
		|| (bytes_per_pixel(space) == 4 && bytesPerRow % 4 != 0))
		return;

	fBytesPerRow = bytesPerRow;
	fBitsLength = bytesPerRow * height;
	// Aligned for the widest loads the drawing code may use.
	fBits = (uint8*)aligned_alloc(16, ((size_t)fBitsLength + 15) & ~(size_t)15);
	if (fBits == NULL) {
		fBitsLength = 0;
		fBytesPerRow = 0;
		fInitStatus = B_NO_MEMORY;
		return;
	}
	// New memory starts out white when asked, else the 32-bit spaces start
	// out opaque black and B_CMAP8 at index 0 (black): never garbage.
	if ((flags & B_BITMAP_CLEAR_TO_WHITE) != 0) {
		if (space == B_CMAP8)
			memset(fBits, index_for_color(make_color(255, 255, 255)), fBitsLength);
		else
			memset(fBits, 0xff, fBitsLength);
	} else if (space == B_CMAP8) {
		memset(fBits, 0, fBitsLength);
	} else {
		uint32* pixel = (uint32*)fBits;
		std::fill(pixel, pixel + fBitsLength / 4, 0xff000000u);
	}
	fInitStatus = B_OK;

	if ((flags & B_BITMAP_ACCEPTS_VIEWS) != 0
		&& (space == B_RGB32 || space == B_RGBA32)) {
		fWindow = new BWindow(this);
		// A looper starts out locked by its maker.
		fWindow->Unlock();
	}
}

BBitmap::~BBitmap()
{
	if (fWindow != NULL) {
		// Quit() deletes the window and the views in it.
		fWindow->Lock();
		fWindow->Quit();
		fWindow = NULL;
	}
	free(fBits);
}

status_t
BBitmap::LockBits(uint32* /*state*/)
{
	return IsValid() ? B_OK : B_NO_INIT;
}

void
BBitmap::UnlockBits()
{
}

void
BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space)
{
	if (!IsValid() || data == NULL || length <= 0 || offset < 0
		|| offset >= fBitsLength)
		return;
	const uint8* source = (const uint8*)data;

	if (space == fColorSpace) {
		memcpy(fBits + offset, source, std::min(length, fBitsLength - offset));
		return;
	}
	if (space != B_RGB32 && space != B_RGBA32 && space != B_CMAP8)
		return;

	int32 width = fBounds.IntegerWidth() + 1;
	int32 height = fBounds.IntegerHeight() + 1;
	int32 destinationPixel = (int32)bytes_per_pixel(fColorSpace);
	int32 sourcePixel = (int32)bytes_per_pixel(space);
	// Source rows: B_CMAP8 padded to four bytes, 32-bit ones unpadded.
	int32 sourceRow = space == B_CMAP8 ? ((width + 3) & ~3) : width * 4;

	int32 y = offset / fBytesPerRow;
	int32 x = (offset % fBytesPerRow) / destinationPixel;
	if (x >= width)
		return;   // the offset points into a row's padding
	int32 sourceOffset = 0;
	while (y < height) {
		int32 rowStart = sourceOffset;
		for (; x < width; x++) {
			if (sourceOffset + sourcePixel > length)
				return;
			write_pixel(fBits + y * fBytesPerRow + x * destinationPixel,
				fColorSpace, read_pixel(source + sourceOffset, space));
			sourceOffset += sourcePixel;
		}
		// Skip the source row's padding (measured from a row's start; a
		// first row that began inside the bitmap's row has none).
		if (space == B_CMAP8 && sourceOffset - rowStart == width)
			sourceOffset = rowStart + sourceRow;
		x = 0;
		y++;
	}
}

// Views in bitmaps: a hidden window without a thread holds them, and its
// drawing goes straight into the pixels.

// Adding and removing take the hidden window's lock themselves (it nests
// when the caller holds it already), so that the view also becomes, or
// stops being, a handler of that window.
void
BBitmap::AddChild(BView* view)
{
	if (fWindow == NULL || !fWindow->Lock())
		return;
	fWindow->AddChild(view);
	fWindow->Unlock();
}

bool
BBitmap::RemoveChild(BView* view)
{
	if (fWindow == NULL || !fWindow->Lock())
		return false;
	bool removed = fWindow->RemoveChild(view);
	fWindow->Unlock();
	return removed;
}

int32
BBitmap::CountChildren() const
{
	return fWindow != NULL ? fWindow->CountChildren() : 0;
}

BView*
BBitmap::ChildAt(int32 index) const
{
	return fWindow != NULL ? fWindow->ChildAt(index) : NULL;
}

BView*
BBitmap::FindView(const char* viewName) const
{
	return fWindow != NULL ? fWindow->FindView(viewName) : NULL;
}

BView*
BBitmap::FindView(BPoint point) const
{
	return fWindow != NULL ? fWindow->FindView(point) : NULL;
}

bool
BBitmap::Lock()
{
	return fWindow != NULL && fWindow->Lock();
}

void
BBitmap::Unlock()
{
	if (fWindow != NULL)
		fWindow->Unlock();
}

bool
BBitmap::IsLocked() const
{
	return fWindow != NULL && fWindow->IsLocked();
}
