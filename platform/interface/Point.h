// BPoint: a point in a two-dimensional coordinate system.
//
// Coordinates are floats. Integer coordinates lie on pixel centres, so the
// point (0, 0) names the whole top-left pixel of a view or bitmap.
// A BPoint is a plain value; it owns nothing.
#ifndef _POINT_H
#define _POINT_H

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
	float x;
	float y;

	BPoint() : x(0.0f), y(0.0f) {}
	BPoint(float X, float Y) : x(X), y(Y) {}
	BPoint(const BPoint& other) = default;
	BPoint& operator=(const BPoint& other) = default;

	void Set(float X, float Y) { x = X; y = Y; }

	// Moves the point to the nearest position inside rect (edges included).
	void ConstrainTo(BRect rect);

	void PrintToStream() const;

	BPoint operator+(const BPoint& other) const { return BPoint(x + other.x, y + other.y); }
	BPoint operator-(const BPoint& other) const { return BPoint(x - other.x, y - other.y); }
	BPoint& operator+=(const BPoint& other) { x += other.x; y += other.y; return *this; }
	BPoint& operator-=(const BPoint& other) { x -= other.x; y -= other.y; return *this; }

	bool operator==(const BPoint& other) const { return x == other.x && y == other.y; }
	bool operator!=(const BPoint& other) const { return !(*this == other); }
};

extern const BPoint B_ORIGIN;

#endif
