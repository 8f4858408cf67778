#include <Point.h>

#include <stdio.h>

#include <Rect.h>

const BPoint B_ORIGIN(0.0f, 0.0f);

void
BPoint::ConstrainTo(BRect rect)
{
	// Clamp each axis on its own; with an invalid rectangle the right and
	// bottom edges win, which keeps the result deterministic.
	if (x < rect.left)
		x = rect.left;
	if (x > rect.right)
		x = rect.right;
	if (y < rect.top)
		y = rect.top;
	if (y > rect.bottom)
		y = rect.bottom;
}

void
BPoint::PrintToStream() const
{
	printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}
