#include "interface/ClipRegion.h"

#include <math.h>

namespace BPrivate {

PixelBox box_for_rect(BRect rect)
{
	if (!rect.IsValid())
		return PixelBox{0, 0, -1, -1};
	return PixelBox{(int32)floorf(rect.left + 0.5f), (int32)floorf(rect.top + 0.5f),
		(int32)floorf(rect.right + 0.5f), (int32)floorf(rect.bottom + 0.5f)};
}

BRect rect_for_box(const PixelBox& box)
{
	return BRect(box.left, box.top, box.right, box.bottom);
}

ClipRegion::ClipRegion(const PixelBox& box)
{
	if (!box.IsEmpty())
		fBoxes.push_back(box);
}

PixelBox ClipRegion::Frame() const
{
	PixelBox frame{0, 0, -1, -1};
	for (const PixelBox& box : fBoxes)
		frame = frame.Union(box);
	return frame;
}

// Adds to `out` the parts of `box` outside `cut`: at most four boxes.
static void subtract(const PixelBox& box, const PixelBox& cut, std::vector<PixelBox>& out)
{
	PixelBox common = box.Intersect(cut);
	if (common.IsEmpty()) {
		out.push_back(box);
		return;
	}
	if (box.top < common.top)
		out.push_back(PixelBox{box.left, box.top, box.right, common.top - 1});
	if (common.bottom < box.bottom)
		out.push_back(PixelBox{box.left, common.bottom + 1, box.right, box.bottom});
	if (box.left < common.left)
		out.push_back(PixelBox{box.left, common.top, common.left - 1, common.bottom});
	if (common.right < box.right)
		out.push_back(PixelBox{common.right + 1, common.top, box.right, common.bottom});
}

void ClipRegion::Exclude(const PixelBox& cut)
{
	if (cut.IsEmpty())
		return;
	std::vector<PixelBox> result;
	result.reserve(fBoxes.size() + 3);
	for (const PixelBox& box : fBoxes)
		subtract(box, cut, result);
	fBoxes.swap(result);
}

void ClipRegion::Include(const PixelBox& box)
{
	if (box.IsEmpty())
		return;
	// Keep the boxes apart: add only what is not there yet.
	std::vector<PixelBox> pieces{box};
	for (const PixelBox& existing : fBoxes) {
		std::vector<PixelBox> rest;
		for (const PixelBox& piece : pieces)
			subtract(piece, existing, rest);
		pieces.swap(rest);
		if (pieces.empty())
			return;
	}
	fBoxes.insert(fBoxes.end(), pieces.begin(), pieces.end());
}

void ClipRegion::IntersectWith(const PixelBox& clip)
{
	std::vector<PixelBox> result;
	for (const PixelBox& box : fBoxes) {
		PixelBox common = box.Intersect(clip);
		if (!common.IsEmpty())
			result.push_back(common);
	}
	fBoxes.swap(result);
}

void ClipRegion::IntersectWith(const ClipRegion& other)
{
	std::vector<PixelBox> result;
	for (const PixelBox& box : fBoxes) {
		for (const PixelBox& clip : other.fBoxes) {
			PixelBox common = box.Intersect(clip);
			if (!common.IsEmpty())
				result.push_back(common);
		}
	}
	fBoxes.swap(result);
}

std::vector<BRect> ClipRegion::Rects() const
{
	std::vector<BRect> rects;
	rects.reserve(fBoxes.size());
	for (const PixelBox& box : fBoxes)
		rects.push_back(rect_for_box(box));
	return rects;
}

}
