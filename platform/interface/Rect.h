// BRect: an axis-aligned rectangle given by its four edges.
//
// Edges are inclusive, as everywhere in the Interface Kit: BRect(0, 0, 3, 3)
// has Width() 3 and covers 4 x 4 pixels. A rectangle whose right edge lies
// left of its left edge (or bottom above top) is invalid; the default
// constructor makes such a rectangle (0, 0, -1, -1), which stands for
// "nothing". A BRect is a plain value; it owns nothing.
#ifndef _RECT_H
#define _RECT_H

#include <math.h>

#include <Point.h>

class BRect {
public:
	float left;
	float top;
	float right;
	float bottom;

	BRect() : left(0.0f), top(0.0f), right(-1.0f), bottom(-1.0f) {}
	BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
	BRect(BPoint leftTop, BPoint rightBottom)
		: left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y) {}
	BRect(const BRect& other) = default;
	BRect& operator=(const BRect& other) = default;

	void Set(float l, float t, float r, float b)
		{ left = l; top = t; right = r; bottom = b; }

	void PrintToStream() const;

	// Corners.
	BPoint LeftTop() const { return BPoint(left, top); }
	BPoint RightBottom() const { return BPoint(right, bottom); }
	BPoint LeftBottom() const { return BPoint(left, bottom); }
	BPoint RightTop() const { return BPoint(right, top); }

	// Moving one corner changes the size; the opposite corner stays.
	void SetLeftTop(const BPoint p) { left = p.x; top = p.y; }
	void SetRightBottom(const BPoint p) { right = p.x; bottom = p.y; }
	void SetLeftBottom(const BPoint p) { left = p.x; bottom = p.y; }
	void SetRightTop(const BPoint p) { right = p.x; top = p.y; }

	// Inset: positive values shrink the rectangle on every side, negative
	// values grow it. The plain form changes this rectangle; the Self form
	// changes it and returns it, the Copy form returns a changed copy.
	void InsetBy(BPoint inset);
	void InsetBy(float dx, float dy);
	BRect& InsetBySelf(BPoint inset);
	BRect& InsetBySelf(float dx, float dy);
	BRect InsetByCopy(BPoint inset) const;
	BRect InsetByCopy(float dx, float dy) const;

	// Offset: moves the rectangle by a distance, keeping its size.
	void OffsetBy(BPoint delta);
	void OffsetBy(float dx, float dy);
	BRect& OffsetBySelf(BPoint delta);
	BRect& OffsetBySelf(float dx, float dy);
	BRect OffsetByCopy(BPoint delta) const;
	BRect OffsetByCopy(float dx, float dy) const;

	// OffsetTo: moves the rectangle so that its left-top corner is at the
	// given point, keeping its size.
	void OffsetTo(BPoint leftTop);
	void OffsetTo(float x, float y);
	BRect& OffsetToSelf(BPoint leftTop);
	BRect& OffsetToSelf(float x, float y);
	BRect OffsetToCopy(BPoint leftTop) const;
	BRect OffsetToCopy(float x, float y) const;

	bool operator==(BRect other) const
		{ return left == other.left && top == other.top
			&& right == other.right && bottom == other.bottom; }
	bool operator!=(BRect other) const { return !(*this == other); }

	// Intersection; invalid when the two do not meet.
	BRect operator&(BRect other) const;
	// The smallest rectangle that encloses both. An invalid operand is
	// ignored, so that "nothing" is the neutral element of a union.
	BRect operator|(BRect other) const;

	bool IsValid() const { return left <= right && top <= bottom; }

	// Distances between the edges (the pixel count is one more).
	float Width() const { return right - left; }
	float Height() const { return bottom - top; }
	int32 IntegerWidth() const { return (int32)ceilf(right - left); }
	int32 IntegerHeight() const { return (int32)ceilf(bottom - top); }

	// Inclusive edges: a point on an edge is contained, and two rectangles
	// that share only an edge intersect. Invalid rectangles contain and
	// meet nothing.
	bool Intersects(BRect other) const;
	bool Contains(BPoint point) const;
	bool Contains(BRect other) const;
};

#endif
