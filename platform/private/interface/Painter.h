// The painter: draws the Interface Kit's shapes, text and bitmaps into a
// 32-bit pixel buffer (a BBitmap's bits or a window's backbuffer).
//
// Pixels are four bytes, blue, green, red, alpha (B_RGB32 / B_RGBA32, the
// layout of Cairo's ARGB32), colour not premultiplied. In a B_RGB32 target
// the painter writes 255 into every alpha byte it touches; a B_RGBA32
// target keeps real alpha (B_OP_COPY writes the colour's alpha, B_OP_ALPHA
// with B_ALPHA_COMPOSITE composes it).
//
// Coordinates follow BeOS: integer coordinates are pixel centres and
// rectangles include their edges, so FillRect(BRect(0, 0, 3, 3)) fills 4 x 4
// pixels and a one-pixel line through integer coordinates covers exactly one
// row or column. Rectangles, rectangle frames and horizontal or vertical
// lines are drawn pixel-exact; ellipses, round corners, arcs, polygons and
// slanted lines are rasterised by Cairo with anti-aliased edges. Filled
// polygons include the pixels their edges pass through, like FillRect.
//
// Drawing modes: B_OP_COPY ignores alpha; B_OP_OVER draws only the high
// colour of a pattern (for text and shapes) and skips B_TRANSPARENT_COLOR
// pixels of bitmaps; B_OP_ERASE draws the low colour where OVER would draw;
// B_OP_INVERT inverts there; B_OP_SELECT swaps high and low colour there;
// B_OP_ADD, B_OP_SUBTRACT (destination minus source), B_OP_BLEND (average),
// B_OP_MIN and B_OP_MAX work per colour component, clamped; B_OP_ALPHA
// blends with the high colour's alpha (B_CONSTANT_ALPHA) or the source's
// own alpha (B_PIXEL_ALPHA). In every mode but B_OP_COPY a bitmap's
// B_TRANSPARENT_COLOR pixels (index 255 in B_CMAP8) are left out.
// Text in B_OP_COPY is blended from the low colour to the high colour at its
// anti-aliased edges, as BeOS does; in the other modes it blends into what
// is already there.
//
// Bitmaps are scaled by nearest neighbour, or bilinearly with
// B_FILTER_BITMAP_BILINEAR.
//
// A painter belongs to one thread at a time. It keeps its Cairo context,
// coverage mask and (through the thread's text engine) its Pango layout
// from one call to the next. It does not own the target's memory.
#ifndef INTERFACE_PAINTER_H
#define INTERFACE_PAINTER_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Rect.h>
#include <ViewDefs.h>

#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class BBitmap;

namespace BPrivate {

// A rectangle of whole pixels, edges included.
struct PixelBox {
	int32 left;
	int32 top;
	int32 right;
	int32 bottom;

	bool IsEmpty() const { return right < left || bottom < top; }
	PixelBox Intersect(const PixelBox& other) const;
	// The smallest box holding both (an empty one adds nothing).
	PixelBox Union(const PixelBox& other) const;
	bool operator==(const PixelBox&) const = default;
};

class Painter {
public:
	Painter();
	~Painter();
	Painter(const Painter&) = delete;
	Painter& operator=(const Painter&) = delete;

	// The buffer to draw into: B_RGB32 or B_RGBA32, bytesPerRow a multiple
	// of four and at least width * 4. Resets the clipping to the whole
	// buffer and the origin to (0, 0); colours, mode, pen and font stay.
	// B_BAD_VALUE for anything else (the painter then draws nothing).
	status_t Attach(void* bits, int32 width, int32 height, int32 bytesPerRow,
		color_space space);
	status_t Attach(BBitmap* bitmap);
	void Detach();
	bool IsAttached() const { return fBits != NULL; }

	// The pixels drawn into since the last call, as one box around them
	// (empty when none), which is then forgotten.
	PixelBox TakeTouched();

	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }

	// Drawing coordinates + origin = buffer coordinates.
	void SetOrigin(BPoint origin) { fOrigin = origin; }
	BPoint Origin() const { return fOrigin; }

	// Where drawing may touch, in buffer coordinates: the union of the
	// rectangles (a view's visible area cut with the update region, say).
	// No rectangles means nothing is drawn. ClearClipping allows the whole
	// buffer again.
	void SetClipping(const BRect* rects, int32 count);
	void ClearClipping();

	void SetHighColor(rgb_color color) { fHighColor = color; }
	void SetLowColor(rgb_color color) { fLowColor = color; }
	rgb_color HighColor() const { return fHighColor; }
	rgb_color LowColor() const { return fLowColor; }
	void SetDrawingMode(drawing_mode mode) { fMode = mode; }
	drawing_mode DrawingMode() const { return fMode; }
	void SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction)
		{ fSourceAlpha = sourceAlpha; fAlphaFunction = alphaFunction; }
	source_alpha SourceAlpha() const { return fSourceAlpha; }
	alpha_function AlphaFunction() const { return fAlphaFunction; }
	// Sizes below 1 draw as 1 (the thinnest line).
	void SetPenSize(float size) { fPenSize = size; }
	float PenSize() const { return fPenSize; }
	void SetFont(const BFont& font) { fFont = font; }
	const BFont& Font() const { return fFont; }

	void StrokeLine(BPoint start, BPoint end, const pattern& p = B_SOLID_HIGH);
	void StrokeRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void FillRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void InvertRect(BRect rect);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius,
		const pattern& p = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius,
		const pattern& p = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	void FillEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	// Angles in degrees, counter-clockwise from three o'clock.
	void StrokeArc(BRect rect, float startAngle, float arcAngle,
		const pattern& p = B_SOLID_HIGH);
	void FillArc(BRect rect, float startAngle, float arcAngle,
		const pattern& p = B_SOLID_HIGH);
	void StrokePolygon(const BPoint* points, int32 count, bool closed = true,
		const pattern& p = B_SOLID_HIGH);
	void FillPolygon(const BPoint* points, int32 count,
		const pattern& p = B_SOLID_HIGH);
	void StrokeTriangle(BPoint a, BPoint b, BPoint c, const pattern& p = B_SOLID_HIGH);
	void FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p = B_SOLID_HIGH);

	// UTF-8 text (its first `length` bytes; negative: all of it) in the
	// current font and high colour, its baseline through the pixel row of
	// `baseline.y` (letters without descenders end on that row) and starting
	// at the pixel column of `baseline.x`. Returns the advance width, which
	// equals the font's StringWidth.
	float DrawString(const char* text, int32 length, BPoint baseline);

	// Draws the part `source` of the bitmap (bitmap coordinates) scaled
	// into `destination`. Options: B_FILTER_BITMAP_BILINEAR.
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination,
		uint32 options = 0);
	// Draws the whole bitmap unscaled with its left-top pixel at `where`.
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	// The same for raw pixels (B_RGB32, B_RGBA32 or B_CMAP8).
	void DrawPixels(const void* bits, int32 width, int32 height,
		int32 bytesPerRow, color_space space, BRect source, BRect destination,
		uint32 options = 0);

private:
	struct BlendState;

	PixelBox _ToPixels(BRect rect) const;
	void _Touch(const PixelBox& box);
	void _FillBox(const PixelBox& box, const pattern& p);
	bool _BeginMask(PixelBox& box);
	void _CompositeMask(const PixelBox& box, const pattern& p, bool text);
	void _Composite(const uint8* mask, int32 maskStride, int32 maskLeft, int32 maskTop,
		const PixelBox& box, const pattern& p, bool text);
	void _FillPath(const PixelBox& box, const pattern& p);
	void _StrokePath(const PixelBox& box, const pattern& p, bool squareCaps);
	void _EllipsePath(double cx, double cy, double rx, double ry);
	void _RoundRectPath(double left, double top, double right, double bottom,
		double rx, double ry);
	PixelBox _BoxAround(const BPoint* points, int32 count, float margin) const;
	int32 _PenWidth() const;

	uint8* fBits;
	int32 fWidth;
	int32 fHeight;
	int32 fBytesPerRow;
	bool fHasAlpha;

	cairo_surface_t* fMask;
	cairo_t* fMaskContext;
	bool fMaskClipped;                 // Cairo's clip is set on fMaskContext

	std::vector<PixelBox> fClipping;
	PixelBox fClipBounds;
	PixelBox fTouched{0, 0, -1, -1};

	BPoint fOrigin;
	rgb_color fHighColor;
	rgb_color fLowColor;
	drawing_mode fMode;
	source_alpha fSourceAlpha;
	alpha_function fAlphaFunction;
	float fPenSize;
	BFont fFont;
};

}

#endif
