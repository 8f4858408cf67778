// A set of whole pixels as non-overlapping boxes: the part of a view that
// may be drawn, or the part of a window waiting to be drawn.
#ifndef PRIVATE_INTERFACE_CLIP_REGION_H
#define PRIVATE_INTERFACE_CLIP_REGION_H

#include <Rect.h>

#include "interface/Painter.h"

#include <vector>

namespace BPrivate {

// The pixels whose centres a rectangle covers (edges included).
PixelBox box_for_rect(BRect rect);
BRect rect_for_box(const PixelBox& box);

class ClipRegion {
public:
	ClipRegion() = default;
	explicit ClipRegion(const PixelBox& box);

	bool IsEmpty() const { return fBoxes.empty(); }
	const std::vector<PixelBox>& Boxes() const { return fBoxes; }
	PixelBox Frame() const;

	void Include(const PixelBox& box);
	void Exclude(const PixelBox& box);
	void IntersectWith(const PixelBox& box);
	void IntersectWith(const ClipRegion& other);
	void MakeEmpty() { fBoxes.clear(); }

	// As rectangles, for the painter's clipping.
	std::vector<BRect> Rects() const;

private:
	std::vector<PixelBox> fBoxes;
};

}

#endif
