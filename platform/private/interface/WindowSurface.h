// What a window draws into and how it reaches the screen: the backbuffer
// (or, for the hidden window of a bitmap that accepts views, the bitmap's
// own pixels), the painter attached to it, the area waiting for an update,
// the area being updated now, and the damage drawn but not yet presented.
//
// BWindow owns one and decides when things happen (it queues the update
// and present messages); the surface only keeps the pixels and regions.
//
// Threads. The surface has no lock of its own: it is used under the
// window's lock, by whichever thread holds it.
#ifndef PRIVATE_INTERFACE_WINDOW_SURFACE_H
#define PRIVATE_INTERFACE_WINDOW_SURFACE_H

#include <Rect.h>
#include <SupportDefs.h>

#include "display/DisplayServer.h"
#include "interface/ClipRegion.h"
#include "interface/Painter.h"

#include <vector>

class BBitmap;

namespace BPrivate {

class WindowSurface {
public:
	// A backbuffer of width x height pixels, white.
	WindowSurface(int32 width, int32 height);
	// The pixels of `bitmap` (not owned; it outlives the surface).
	explicit WindowSurface(BBitmap* bitmap);
	WindowSurface(const WindowSurface&) = delete;
	WindowSurface& operator=(const WindowSurface&) = delete;

	bool IsBitmap() const { return fOnBitmap; }
	Painter* GetPainter() { return &fPainter; }
	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// The whole surface in window coordinates.
	BRect Bounds() const;

	// A backbuffer of the new size that keeps what overlaps the old one
	// (the rest white); nothing waits to be presented any more.
	void Resize(int32 width, int32 height);

	// ---- Updates: what the views must draw again.
	// Adds the part of `windowRect` that lies on the surface.
	void Invalidate(BRect windowRect);
	bool NeedsUpdate() const { return !fInvalid.IsEmpty(); }
	// Moves what waits to the region being updated, which drawing inside
	// Draw() is clipped to until EndUpdate(). False if nothing waits.
	bool BeginUpdate();
	const ClipRegion& UpdateRegion() const { return fUpdating; }
	void EndUpdate();

	// ---- Damage: drawn, not yet on the screen.
	// Kept as a few rectangles; beyond that many, a new one joins the
	// rectangle that it enlarges least.
	void AddDamage(BRect windowRect);
	bool HasDamage() const { return !fDamage.empty(); }
	// The damage as pixel rectangles and the pixels to present them from;
	// the damage is then forgotten.
	std::vector<display::PixelRect> TakeDamage();
	display::PixelSource Pixels() const;

	// A copy of the pixels, 0xAARRGGBB, row after row.
	void ReadPixels(std::vector<uint32>* pixels, int32* width, int32* height) const;

private:
	void _AttachPainter();

	Painter fPainter;
	std::vector<uint32> fBuffer;   // the backbuffer; empty on a bitmap
	uint32* fBits;
	int32 fWidth;
	int32 fHeight;
	int32 fBytesPerRow;
	bool fOnBitmap;
	ClipRegion fInvalid;           // waiting for an update
	ClipRegion fUpdating;          // being drawn now
	std::vector<BRect> fDamage;
};

}

#endif
