#include "interface/WindowSurface.h"

#include <Bitmap.h>

#include <string.h>

#include <algorithm>

namespace BPrivate {

static const size_t kMaxDamageRects = 8;

WindowSurface::WindowSurface(int32 width, int32 height)
	:
	fBits(NULL),
	fWidth(0),
	fHeight(0),
	fBytesPerRow(0),
	fOnBitmap(false)
{
	Resize(width, height);
}

WindowSurface::WindowSurface(BBitmap* bitmap)
	:
	fBits(static_cast<uint32*>(bitmap->Bits())),
	fWidth(bitmap->Bounds().IntegerWidth() + 1),
	fHeight(bitmap->Bounds().IntegerHeight() + 1),
	fBytesPerRow(bitmap->BytesPerRow()),
	fOnBitmap(true)
{
	fPainter.Attach(bitmap);
}

BRect WindowSurface::Bounds() const
{
	return BRect(0, 0, fWidth - 1, fHeight - 1);
}

void WindowSurface::Resize(int32 width, int32 height)
{
	if (fOnBitmap)
		return;
	std::vector<uint32> buffer((size_t)width * height, 0xffffffff);
	for (int32 y = 0; y < std::min(height, fHeight); y++) {
		memcpy(&buffer[(size_t)y * width], &fBuffer[(size_t)y * fWidth],
			sizeof(uint32) * std::min(width, fWidth));
	}
	fBuffer.swap(buffer);
	fWidth = width;
	fHeight = height;
	fBytesPerRow = width * 4;
	fBits = fBuffer.data();
	fPainter.Attach(fBits, fWidth, fHeight, fBytesPerRow, B_RGB32);
	fDamage.clear();
}

void WindowSurface::Invalidate(BRect windowRect)
{
	fInvalid.Include(box_for_rect(windowRect));
}

bool WindowSurface::BeginUpdate()
{
	if (fInvalid.IsEmpty())
		return false;
	std::swap(fInvalid, fUpdating);
	fInvalid.MakeEmpty();
	return true;
}

void WindowSurface::EndUpdate()
{
	fUpdating.MakeEmpty();
}

static float area_of(BRect rect)
{
	return (rect.Width() + 1) * (rect.Height() + 1);
}

void WindowSurface::AddDamage(BRect windowRect)
{
	// Drawn over again: nothing new.
	for (const BRect& rect : fDamage) {
		if (rect.Contains(windowRect))
			return;
	}
	// Rectangles it covers go; when there are as many as are kept, it joins
	// the one that grows least by it, so that a few small changes far apart
	// do not become one large area.
	fDamage.erase(std::remove_if(fDamage.begin(), fDamage.end(),
		[&](const BRect& rect) { return windowRect.Contains(rect); }), fDamage.end());
	if (fDamage.size() < kMaxDamageRects) {
		fDamage.push_back(windowRect);
		return;
	}
	size_t best = 0;
	float bestGrowth = 0;
	for (size_t i = 0; i < fDamage.size(); i++) {
		const float growth = area_of(fDamage[i] | windowRect) - area_of(fDamage[i]);
		if (i == 0 || growth < bestGrowth) {
			best = i;
			bestGrowth = growth;
		}
	}
	fDamage[best] = fDamage[best] | windowRect;
}

std::vector<display::PixelRect> WindowSurface::TakeDamage()
{
	std::vector<display::PixelRect> rects;
	rects.reserve(fDamage.size());
	for (const BRect& rect : fDamage) {
		PixelBox box = box_for_rect(rect);
		rects.push_back(display::PixelRect{box.left, box.top,
			box.right - box.left + 1, box.bottom - box.top + 1});
	}
	fDamage.clear();
	return rects;
}

display::PixelSource WindowSurface::Pixels() const
{
	return display::PixelSource{fBits, fWidth, fHeight, fBytesPerRow};
}

void WindowSurface::ReadPixels(std::vector<uint32>* pixels, int32* width,
	int32* height) const
{
	*width = fWidth;
	*height = fHeight;
	pixels->resize((size_t)fWidth * fHeight);
	const uint8* row = reinterpret_cast<const uint8*>(fBits);
	for (int32 y = 0; y < fHeight; y++, row += fBytesPerRow)
		memcpy(&(*pixels)[(size_t)y * fWidth], row, (size_t)fWidth * 4);
}

}
