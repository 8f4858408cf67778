#include <Rect.h>

#include <stdio.h>

void
BRect::PrintToStream() const
{
	printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
}

void BRect::InsetBy(BPoint inset) { InsetBy(inset.x, inset.y); }

void
BRect::InsetBy(float dx, float dy)
{
	left += dx;
	right -= dx;
	top += dy;
	bottom -= dy;
}

BRect& BRect::InsetBySelf(BPoint inset) { InsetBy(inset.x, inset.y); return *this; }
BRect& BRect::InsetBySelf(float dx, float dy) { InsetBy(dx, dy); return *this; }

BRect
BRect::InsetByCopy(BPoint inset) const
{
	BRect copy(*this);
	copy.InsetBy(inset.x, inset.y);
	return copy;
}

BRect
BRect::InsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.InsetBy(dx, dy);
	return copy;
}

void BRect::OffsetBy(BPoint delta) { OffsetBy(delta.x, delta.y); }

void
BRect::OffsetBy(float dx, float dy)
{
	left += dx;
	right += dx;
	top += dy;
	bottom += dy;
}

BRect& BRect::OffsetBySelf(BPoint delta) { OffsetBy(delta.x, delta.y); return *this; }
BRect& BRect::OffsetBySelf(float dx, float dy) { OffsetBy(dx, dy); return *this; }

BRect
BRect::OffsetByCopy(BPoint delta) const
{
	BRect copy(*this);
	copy.OffsetBy(delta.x, delta.y);
	return copy;
}

BRect
BRect::OffsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.OffsetBy(dx, dy);
	return copy;
}

void BRect::OffsetTo(BPoint leftTop) { OffsetTo(leftTop.x, leftTop.y); }

void
BRect::OffsetTo(float x, float y)
{
	right = x + (right - left);
	bottom = y + (bottom - top);
	left = x;
	top = y;
}

BRect& BRect::OffsetToSelf(BPoint leftTop) { OffsetTo(leftTop.x, leftTop.y); return *this; }
BRect& BRect::OffsetToSelf(float x, float y) { OffsetTo(x, y); return *this; }

BRect
BRect::OffsetToCopy(BPoint leftTop) const
{
	BRect copy(*this);
	copy.OffsetTo(leftTop.x, leftTop.y);
	return copy;
}

BRect
BRect::OffsetToCopy(float x, float y) const
{
	BRect copy(*this);
	copy.OffsetTo(x, y);
	return copy;
}

BRect
BRect::operator&(BRect other) const
{
	return BRect(max_c(left, other.left), max_c(top, other.top),
		min_c(right, other.right), min_c(bottom, other.bottom));
}

BRect
BRect::operator|(BRect other) const
{
	// Taking min/max of an invalid rectangle would drag the result towards
	// its arbitrary corners (the origin for a default BRect), so an empty
	// operand contributes nothing.
	if (!other.IsValid())
		return *this;
	if (!IsValid())
		return other;
	return BRect(min_c(left, other.left), min_c(top, other.top),
		max_c(right, other.right), max_c(bottom, other.bottom));
}

bool
BRect::Intersects(BRect other) const
{
	if (!IsValid() || !other.IsValid())
		return false;
	return left <= other.right && other.left <= right
		&& top <= other.bottom && other.top <= bottom;
}

bool
BRect::Contains(BPoint point) const
{
	return point.x >= left && point.x <= right
		&& point.y >= top && point.y <= bottom;
}

bool
BRect::Contains(BRect other) const
{
	if (!IsValid() || !other.IsValid())
		return false;
	return other.left >= left && other.right <= right
		&& other.top >= top && other.bottom <= bottom;
}
