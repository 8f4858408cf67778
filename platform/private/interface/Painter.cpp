#include "interface/Painter.h"

#include <Bitmap.h>

#include <cairo.h>
#include <math.h>
#include <pango/pangocairo.h>
#include <string.h>

#include <algorithm>

#include "interface/PixelBlend.h"
#include "interface/TextEngine.h"

namespace BPrivate {

namespace {

// The nearest pixel; far-away (and NaN) coordinates are pinned well
// outside any buffer instead of overflowing.
inline int32
round_to_pixel(float value)
{
	if (!(value > -1.0e9f))
		return -1000000000;
	if (value > 1.0e9f)
		return 1000000000;
	return (int32)floorf(value + 0.5f);
}

inline bool
pattern_bit(const pattern& p, int32 x, int32 y)
{
	return (p.data[y & 7] & (0x80 >> (x & 7))) != 0;
}

inline bool
is_solid(const pattern& p, uint8 value)
{
	for (int i = 0; i < 8; i++) {
		if (p.data[i] != value)
			return false;
	}
	return true;
}

// `color` as a pixel of the target stores it (bytes B, G, R, A): opaque
// unless the target keeps alpha.
inline uint32
stored_pixel(rgb_color color, bool hasAlpha)
{
	return ((uint32)(hasAlpha ? color.alpha : 255) << 24) | ((uint32)color.red << 16)
		| ((uint32)color.green << 8) | color.blue;
}

}

PixelBox
PixelBox::Intersect(const PixelBox& other) const
{
	return PixelBox{max_c(left, other.left), max_c(top, other.top),
		min_c(right, other.right), min_c(bottom, other.bottom)};
}

PixelBox
PixelBox::Union(const PixelBox& other) const
{
	if (IsEmpty())
		return other;
	if (other.IsEmpty())
		return *this;
	return PixelBox{min_c(left, other.left), min_c(top, other.top),
		max_c(right, other.right), max_c(bottom, other.bottom)};
}

Painter::Painter()
	:
	fBits(NULL),
	fWidth(0),
	fHeight(0),
	fBytesPerRow(0),
	fHasAlpha(false),
	fMask(NULL),
	fMaskContext(NULL),
	fMaskClipped(false),
	fClipBounds{0, 0, -1, -1},
	fOrigin(0.0f, 0.0f),
	fHighColor(make_color(0, 0, 0)),
	fLowColor(make_color(255, 255, 255)),
	fMode(B_OP_COPY),
	fSourceAlpha(B_PIXEL_ALPHA),
	fAlphaFunction(B_ALPHA_OVERLAY),
	fPenSize(1.0f)
{
}

Painter::~Painter()
{
	Detach();
	if (fMaskContext != NULL)
		cairo_destroy(fMaskContext);
	if (fMask != NULL)
		cairo_surface_destroy(fMask);
}

status_t
Painter::Attach(void* bits, int32 width, int32 height, int32 bytesPerRow,
	color_space space)
{
	Detach();
	if (bits == NULL || width <= 0 || height <= 0 || bytesPerRow < width * 4
		|| bytesPerRow % 4 != 0 || (space != B_RGB32 && space != B_RGBA32))
		return B_BAD_VALUE;

	// The coverage mask has the target's size; it is kept while targets of
	// the same size come and go (a window attaching its backbuffer for every
	// update, say).
	if (fMask == NULL || cairo_image_surface_get_width(fMask) != width
		|| cairo_image_surface_get_height(fMask) != height) {
		if (fMaskContext != NULL)
			cairo_destroy(fMaskContext);
		if (fMask != NULL)
			cairo_surface_destroy(fMask);
		fMask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
		fMaskContext = cairo_create(fMask);
		fMaskClipped = false;
		if (cairo_status(fMaskContext) != CAIRO_STATUS_SUCCESS) {
			cairo_destroy(fMaskContext);
			cairo_surface_destroy(fMask);
			fMask = NULL;
			fMaskContext = NULL;
			return B_NO_MEMORY;
		}
	}

	fBits = (uint8*)bits;
	fWidth = width;
	fHeight = height;
	fBytesPerRow = bytesPerRow;
	fHasAlpha = space == B_RGBA32;
	fOrigin.Set(0.0f, 0.0f);
	ClearClipping();
	return B_OK;
}

status_t
Painter::Attach(BBitmap* bitmap)
{
	if (bitmap == NULL || !bitmap->IsValid())
		return B_BAD_VALUE;
	BRect bounds = bitmap->Bounds();
	return Attach(bitmap->Bits(), bounds.IntegerWidth() + 1,
		bounds.IntegerHeight() + 1, bitmap->BytesPerRow(), bitmap->ColorSpace());
}

void
Painter::Detach()
{
	fBits = NULL;
	fWidth = fHeight = fBytesPerRow = 0;
	fClipping.clear();
	fClipBounds = PixelBox{0, 0, -1, -1};
}

void
Painter::SetClipping(const BRect* rects, int32 count)
{
	fClipping.clear();
	fClipBounds = PixelBox{0, 0, -1, -1};
	PixelBox target{0, 0, fWidth - 1, fHeight - 1};
	for (int32 i = 0; rects != NULL && i < count; i++) {
		if (!rects[i].IsValid())
			continue;
		PixelBox box{round_to_pixel(rects[i].left), round_to_pixel(rects[i].top),
			round_to_pixel(rects[i].right), round_to_pixel(rects[i].bottom)};
		box = box.Intersect(target);
		if (box.IsEmpty())
			continue;
		fClipping.push_back(box);
		fClipBounds = fClipBounds.Union(box);
	}
}

void
Painter::ClearClipping()
{
	fClipping.clear();
	fClipBounds = PixelBox{0, 0, fWidth - 1, fHeight - 1};
	if (!fClipBounds.IsEmpty())
		fClipping.push_back(fClipBounds);
}

PixelBox
Painter::_ToPixels(BRect rect) const
{
	return PixelBox{round_to_pixel(rect.left + fOrigin.x),
		round_to_pixel(rect.top + fOrigin.y),
		round_to_pixel(rect.right + fOrigin.x),
		round_to_pixel(rect.bottom + fOrigin.y)};
}

PixelBox
Painter::TakeTouched()
{
	PixelBox touched = fTouched;
	fTouched = PixelBox{0, 0, -1, -1};
	return touched;
}

void
Painter::_Touch(const PixelBox& box)
{
	fTouched = fTouched.Union(box);
}

int32
Painter::_PenWidth() const
{
	int32 width = round_to_pixel(fPenSize);
	return width < 1 ? 1 : width;
}

// Whole pixels, full coverage: no Cairo needed.
void
Painter::_FillBox(const PixelBox& box, const pattern& p)
{
	if (fBits == NULL || box.IsEmpty())
		return;
	Blender blender{fMode, fSourceAlpha, fAlphaFunction, fHighColor, fLowColor,
		fHasAlpha};
	bool solidHigh = is_solid(p, 0xff);
	bool solidLow = is_solid(p, 0x00);
	bool drawsLow = mode_draws_low_color(fMode);
	if (solidLow && !drawsLow)
		return;

	// The most common case, erasing a background: whole pixels of one
	// colour stored as they are.
	bool plainCopy = (solidHigh || solidLow) && (fMode == B_OP_COPY
		|| (fMode == B_OP_OVER && solidHigh)
		|| (fMode == B_OP_ALPHA && solidHigh && fSourceAlpha == B_CONSTANT_ALPHA
			&& fHighColor.alpha == 255));
	uint32 plainPixel = stored_pixel(solidLow ? fLowColor : fHighColor, fHasAlpha);
	_Touch(box.Intersect(fClipBounds));

	for (const PixelBox& clip : fClipping) {
		PixelBox part = box.Intersect(clip);
		if (part.IsEmpty())
			continue;
		for (int32 y = part.top; y <= part.bottom; y++) {
			uint8* row = fBits + (size_t)y * fBytesPerRow;
			if (plainCopy) {
				uint32* pixel = (uint32*)row + part.left;
				std::fill(pixel, pixel + (part.right - part.left + 1), plainPixel);
				continue;
			}
			for (int32 x = part.left; x <= part.right; x++) {
				bool high = solidHigh || (!solidLow && pattern_bit(p, x, y));
				blender.Blend(row + x * 4, high ? fHighColor : fLowColor,
					high || drawsLow, 255);
			}
		}
	}
}

// Prepares the coverage mask for a shape inside `box` (cut to the clipping
// here): clears that part and, when the clipping cuts the shape, restricts
// Cairo to it. A shape that lies wholly inside the clipping is drawn
// without a clip of Cairo's own, which takes Cairo's faster paths; what it
// draws outside the box is never composited, and the next shape clears
// its own box first. False when nothing of the box can be drawn.
bool
Painter::_BeginMask(PixelBox& box)
{
	if (fBits == NULL || fMaskContext == NULL)
		return false;
	const PixelBox shape = box;
	box = box.Intersect(fClipBounds);
	if (box.IsEmpty())
		return false;

	cairo_surface_flush(fMask);
	uint8* mask = cairo_image_surface_get_data(fMask);
	const int32 stride = cairo_image_surface_get_stride(fMask);
	const int32 width = box.right - box.left + 1;
	const int32 height = box.bottom - box.top + 1;
	for (int32 y = box.top; y <= box.bottom; y++)
		memset(mask + (size_t)y * stride + box.left, 0, width);
	cairo_surface_mark_dirty_rectangle(fMask, box.left, box.top, width, height);

	cairo_t* cr = fMaskContext;
	const bool cut = !(box == shape);
	if (fMaskClipped || cut) {
		cairo_reset_clip(cr);
		fMaskClipped = false;
	}
	cairo_new_path(cr);
	if (cut) {
		cairo_rectangle(cr, box.left, box.top, width, height);
		cairo_clip(cr);
		fMaskClipped = true;
	}
	cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
	cairo_set_source_rgba(cr, 0, 0, 0, 1);
	_Touch(box);
	return true;
}

// Applies the colour through the mask within the box and the clipping.
void
Painter::_CompositeMask(const PixelBox& box, const pattern& p, bool text)
{
	cairo_surface_flush(fMask);
	_Composite(cairo_image_surface_get_data(fMask), cairo_image_surface_get_stride(fMask),
		0, 0, box, p, text);
	cairo_surface_mark_dirty(fMask);
}

// Applies the colour through coverage, whose rows are `maskStride` bytes
// apart and whose first byte covers the pixel (maskLeft, maskTop), within
// the box (which the coverage holds) and the clipping.
void
Painter::_Composite(const uint8* mask, int32 maskStride, int32 maskLeft, int32 maskTop,
	const PixelBox& box, const pattern& p, bool text)
{
	Blender blender{fMode, fSourceAlpha, fAlphaFunction, fHighColor, fLowColor,
		fHasAlpha};
	bool solidHigh = is_solid(p, 0xff);
	bool solidLow = is_solid(p, 0x00);
	bool drawsLow = mode_draws_low_color(fMode);
	// BeOS text in B_OP_COPY: the glyph's edge pixels mix high and low
	// colour and replace what was there.
	bool textCopy = text && fMode == B_OP_COPY;
	// Where the shape covers a pixel whole, the modes that replace it store
	// the high colour as it is: most pixels of a filled shape or of a
	// glyph's stem, stored without going through the blender.
	bool plainHigh = solidHigh && (fMode == B_OP_COPY || fMode == B_OP_OVER);
	uint32 highPixel = stored_pixel(fHighColor, fHasAlpha);
	// The pixel a B_OP_COPY glyph leaves for each coverage, made when that
	// coverage first turns up: a string's edges use a few dozen of them.
	uint32 textPixel[256];
	uint64 textPixelMade[4] = {0, 0, 0, 0};
	auto mixed_pixel = [&](uint32 c) {
		if ((textPixelMade[c >> 6] & (uint64(1) << (c & 63))) == 0) {
			textPixel[c] = stored_pixel(make_color(lerp8(fLowColor.red, fHighColor.red, c),
				lerp8(fLowColor.green, fHighColor.green, c),
				lerp8(fLowColor.blue, fHighColor.blue, c), fHighColor.alpha), fHasAlpha);
			textPixelMade[c >> 6] |= uint64(1) << (c & 63);
		}
		return textPixel[c];
	};

	for (const PixelBox& clip : fClipping) {
		PixelBox part = box.Intersect(clip);
		if (part.IsEmpty())
			continue;
		for (int32 y = part.top; y <= part.bottom; y++) {
			const uint8* maskRow = mask + (size_t)(y - maskTop) * maskStride;
			auto coverage = [&](int32 x) { return maskRow + (x - maskLeft); };
			uint8* row = fBits + (size_t)y * fBytesPerRow;
			for (int32 x = part.left; x <= part.right; x++) {
				// Most of a text's box is empty: skip it eight pixels at a time.
				uint64 eight;
				if (x + 8 <= part.right + 1) {
					memcpy(&eight, coverage(x), sizeof(eight));
					if (eight == 0) {
						x += 7;
						continue;
					}
				}
				uint32 c = *coverage(x);
				if (c == 0)
					continue;
				if (c == 255 && plainHigh) {
					((uint32*)row)[x] = highPixel;
					continue;
				}
				if (textCopy) {
					((uint32*)row)[x] = mixed_pixel(c);
					continue;
				}
				bool high = solidHigh || (!solidLow && pattern_bit(p, x, y));
				blender.Blend(row + x * 4, high ? fHighColor : fLowColor,
					high || drawsLow, c);
			}
		}
	}
}

void
Painter::_FillPath(const PixelBox& box, const pattern& p)
{
	cairo_set_fill_rule(fMaskContext, CAIRO_FILL_RULE_WINDING);
	cairo_fill(fMaskContext);
	_CompositeMask(box, p, false);
}

void
Painter::_StrokePath(const PixelBox& box, const pattern& p, bool squareCaps)
{
	cairo_t* cr = fMaskContext;
	cairo_set_line_width(cr, _PenWidth());
	cairo_set_line_cap(cr, squareCaps ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
	cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
	cairo_stroke(cr);
	_CompositeMask(box, p, false);
}

PixelBox
Painter::_BoxAround(const BPoint* points, int32 count, float margin) const
{
	float left = points[0].x, right = points[0].x;
	float top = points[0].y, bottom = points[0].y;
	for (int32 i = 1; i < count; i++) {
		left = min_c(left, points[i].x);
		right = max_c(right, points[i].x);
		top = min_c(top, points[i].y);
		bottom = max_c(bottom, points[i].y);
	}
	// Whole pixels around every point the path may touch; a box far
	// outside the buffer is cut to it before any integer conversion.
	auto clamp = [](float v) { return max_c(-1.0e6f, min_c(1.0e6f, v)); };
	return PixelBox{(int32)floorf(clamp(left + fOrigin.x - margin)),
		(int32)floorf(clamp(top + fOrigin.y - margin)),
		(int32)ceilf(clamp(right + fOrigin.x + margin)),
		(int32)ceilf(clamp(bottom + fOrigin.y + margin))};
}

void
Painter::_EllipsePath(double cx, double cy, double rx, double ry)
{
	cairo_t* cr = fMaskContext;
	cairo_save(cr);
	cairo_translate(cr, cx, cy);
	cairo_scale(cr, rx, ry);
	cairo_new_sub_path(cr);
	cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2 * M_PI);
	cairo_close_path(cr);
	cairo_restore(cr);
}

void
Painter::_RoundRectPath(double left, double top, double right, double bottom,
	double rx, double ry)
{
	cairo_t* cr = fMaskContext;
	rx = std::min(rx, (right - left) / 2);
	ry = std::min(ry, (bottom - top) / 2);
	if (rx <= 0 || ry <= 0) {
		cairo_rectangle(cr, left, top, right - left, bottom - top);
		return;
	}
	auto corner = [&](double cx, double cy, double from) {
		cairo_save(cr);
		cairo_translate(cr, cx, cy);
		cairo_scale(cr, rx, ry);
		cairo_arc(cr, 0, 0, 1, from, from + M_PI / 2);
		cairo_restore(cr);
	};
	cairo_new_sub_path(cr);
	corner(right - rx, top + ry, -M_PI / 2);
	corner(right - rx, bottom - ry, 0);
	corner(left + rx, bottom - ry, M_PI / 2);
	corner(left + rx, top + ry, M_PI);
	cairo_close_path(cr);
}

void
Painter::FillRect(BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	_FillBox(_ToPixels(rect), p);
}

void
Painter::InvertRect(BRect rect)
{
	drawing_mode mode = fMode;
	fMode = B_OP_INVERT;
	FillRect(rect, B_SOLID_HIGH);
	fMode = mode;
}

void
Painter::StrokeRect(BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	PixelBox box = _ToPixels(rect);
	// Each edge is a band of pen-width pixels centred on it (one pixel
	// more on the outside for even widths). The bands are cut so that no
	// pixel is drawn twice, which matters in B_OP_INVERT and the
	// arithmetic modes.
	int32 width = _PenWidth();
	int32 before = width / 2;
	PixelBox outer{box.left - before, box.top - before,
		box.right - before + width - 1, box.bottom - before + width - 1};
	int32 topEnd = box.top - before + width - 1;
	int32 bottomStart = box.bottom - before;
	int32 leftEnd = box.left - before + width - 1;
	int32 rightStart = box.right - before;
	if (topEnd + 1 >= bottomStart || leftEnd + 1 >= rightStart) {
		_FillBox(outer, p);
		return;
	}
	_FillBox(PixelBox{outer.left, outer.top, outer.right, topEnd}, p);
	_FillBox(PixelBox{outer.left, bottomStart, outer.right, outer.bottom}, p);
	_FillBox(PixelBox{outer.left, topEnd + 1, leftEnd, bottomStart - 1}, p);
	_FillBox(PixelBox{rightStart, topEnd + 1, outer.right, bottomStart - 1}, p);
}

void
Painter::StrokeLine(BPoint start, BPoint end, const pattern& p)
{
	int32 width = _PenWidth();
	int32 before = width / 2;
	float x0 = start.x + fOrigin.x, y0 = start.y + fOrigin.y;
	float x1 = end.x + fOrigin.x, y1 = end.y + fOrigin.y;
	bool integral = x0 == floorf(x0) && y0 == floorf(y0)
		&& x1 == floorf(x1) && y1 == floorf(y1);
	if (integral && (y0 == y1 || x0 == x1)) {
		// Horizontal and vertical lines: the pixels from one end to the
		// other, both included.
		int32 left = round_to_pixel(min_c(x0, x1)), right = round_to_pixel(max_c(x0, x1));
		int32 top = round_to_pixel(min_c(y0, y1)), bottom = round_to_pixel(max_c(y0, y1));
		if (y0 == y1)
			_FillBox(PixelBox{left, top - before, right, top - before + width - 1}, p);
		else
			_FillBox(PixelBox{left - before, top, left - before + width - 1, bottom}, p);
		return;
	}
	BPoint points[2] = {start, end};
	PixelBox box = _BoxAround(points, 2, width + 1.0f);
	if (!_BeginMask(box))
		return;
	// Odd widths centre on the pixel centre, even widths on its edge, so
	// straight parts stay crisp.
	double shift = (width % 2 == 1) ? 0.5 : 0.0;
	cairo_move_to(fMaskContext, x0 + shift, y0 + shift);
	cairo_line_to(fMaskContext, x1 + shift, y1 + shift);
	_StrokePath(box, p, width == 1);
}

void
Painter::FillEllipse(BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	PixelBox box = _ToPixels(rect);
	PixelBox area = box;
	if (!_BeginMask(area))
		return;
	// The ellipse fills the pixel area of the rectangle, edges included.
	double left = box.left, top = box.top;
	double right = box.right + 1.0, bottom = box.bottom + 1.0;
	_EllipsePath((left + right) / 2, (top + bottom) / 2, (right - left) / 2,
		(bottom - top) / 2);
	_FillPath(area, p);
}

void
Painter::StrokeEllipse(BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	PixelBox box = _ToPixels(rect);
	int32 width = _PenWidth();
	// The outline runs through the centres of the rectangle's edge pixels.
	double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
	if (rx < 1.0 || ry < 1.0) {
		FillRect(rect, p);
		return;
	}
	PixelBox area{box.left - width, box.top - width, box.right + width,
		box.bottom + width};
	if (!_BeginMask(area))
		return;
	_EllipsePath(box.left + 0.5 + rx, box.top + 0.5 + ry, rx, ry);
	_StrokePath(area, p, false);
}

void
Painter::FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	if (!rect.IsValid())
		return;
	PixelBox box = _ToPixels(rect);
	PixelBox area = box;
	if (!_BeginMask(area))
		return;
	_RoundRectPath(box.left, box.top, box.right + 1.0, box.bottom + 1.0,
		max_c(0.0f, xRadius), max_c(0.0f, yRadius));
	_FillPath(area, p);
}

void
Painter::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	if (!rect.IsValid())
		return;
	PixelBox box = _ToPixels(rect);
	int32 width = _PenWidth();
	PixelBox area{box.left - width, box.top - width, box.right + width,
		box.bottom + width};
	if (!_BeginMask(area))
		return;
	double shift = (width % 2 == 1) ? 0.5 : 0.0;
	_RoundRectPath(box.left + shift, box.top + shift, box.right + shift,
		box.bottom + shift, max_c(0.0f, xRadius), max_c(0.0f, yRadius));
	_StrokePath(area, p, false);
}

void
Painter::StrokeArc(BRect rect, float startAngle, float arcAngle, const pattern& p)
{
	if (!rect.IsValid() || arcAngle == 0.0f)
		return;
	PixelBox box = _ToPixels(rect);
	int32 width = _PenWidth();
	PixelBox area{box.left - width, box.top - width, box.right + width,
		box.bottom + width};
	double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
	if (rx <= 0 || ry <= 0 || !_BeginMask(area))
		return;
	// BeOS angles turn counter-clockwise on screen; Cairo's, with y
	// pointing down, clockwise.
	cairo_t* cr = fMaskContext;
	cairo_save(cr);
	cairo_translate(cr, box.left + 0.5 + rx, box.top + 0.5 + ry);
	cairo_scale(cr, rx, ry);
	double from = -startAngle * M_PI / 180.0;
	double to = -(startAngle + arcAngle) * M_PI / 180.0;
	if (arcAngle > 0)
		cairo_arc_negative(cr, 0, 0, 1, from, to);
	else
		cairo_arc(cr, 0, 0, 1, from, to);
	cairo_restore(cr);
	_StrokePath(area, p, false);
}

void
Painter::FillArc(BRect rect, float startAngle, float arcAngle, const pattern& p)
{
	if (!rect.IsValid() || arcAngle == 0.0f)
		return;
	PixelBox box = _ToPixels(rect);
	PixelBox area = box;
	if (!_BeginMask(area))
		return;
	double left = box.left, top = box.top;
	double rx = (box.right + 1.0 - left) / 2, ry = (box.bottom + 1.0 - top) / 2;
	cairo_t* cr = fMaskContext;
	cairo_save(cr);
	cairo_translate(cr, left + rx, top + ry);
	cairo_scale(cr, rx, ry);
	double from = -startAngle * M_PI / 180.0;
	double to = -(startAngle + arcAngle) * M_PI / 180.0;
	cairo_move_to(cr, 0, 0);
	if (arcAngle > 0)
		cairo_arc_negative(cr, 0, 0, 1, from, to);
	else
		cairo_arc(cr, 0, 0, 1, from, to);
	cairo_close_path(cr);
	cairo_restore(cr);
	_FillPath(area, p);
}

void
Painter::StrokePolygon(const BPoint* points, int32 count, bool closed,
	const pattern& p)
{
	if (points == NULL || count <= 0)
		return;
	if (count == 1) {
		StrokeLine(points[0], points[0], p);
		return;
	}
	int32 width = _PenWidth();
	PixelBox box = _BoxAround(points, count, width + 1.0f);
	if (!_BeginMask(box))
		return;
	double shift = (width % 2 == 1) ? 0.5 : 0.0;
	cairo_t* cr = fMaskContext;
	for (int32 i = 0; i < count; i++) {
		double x = points[i].x + fOrigin.x + shift;
		double y = points[i].y + fOrigin.y + shift;
		if (i == 0)
			cairo_move_to(cr, x, y);
		else
			cairo_line_to(cr, x, y);
	}
	if (closed && count > 2)
		cairo_close_path(cr);
	_StrokePath(box, p, width == 1 && !closed);
}

void
Painter::FillPolygon(const BPoint* points, int32 count, const pattern& p)
{
	if (points == NULL || count <= 0)
		return;
	if (count < 3) {
		StrokePolygon(points, count, false, p);
		return;
	}
	PixelBox box = _BoxAround(points, count, 2.0f);
	if (!_BeginMask(box))
		return;
	cairo_t* cr = fMaskContext;
	for (int32 i = 0; i < count; i++) {
		double x = points[i].x + fOrigin.x + 0.5;
		double y = points[i].y + fOrigin.y + 0.5;
		if (i == 0)
			cairo_move_to(cr, x, y);
		else
			cairo_line_to(cr, x, y);
	}
	cairo_close_path(cr);
	// The vertices are pixel centres; a one-pixel outline over the fill
	// takes in the pixels that the edges pass through, as FillRect does.
	cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
	cairo_fill_preserve(cr);
	// Square corners stay square; sharper ones are bevelled so that they
	// do not reach past their vertex.
	cairo_set_line_width(cr, 1.0);
	cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
	cairo_set_miter_limit(cr, 1.5);
	cairo_stroke(cr);
	_CompositeMask(box, p, false);
}

void
Painter::StrokeTriangle(BPoint a, BPoint b, BPoint c, const pattern& p)
{
	BPoint points[3] = {a, b, c};
	StrokePolygon(points, 3, true, p);
}

void
Painter::FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& p)
{
	BPoint points[3] = {a, b, c};
	FillPolygon(points, 3, p);
}

float
Painter::DrawString(const char* text, int32 length, BPoint baseline)
{
	if (text == NULL || length == 0 || text[0] == '\0')
		return 0.0f;
	TextEngine& engine = TextEngine::Get();
	std::unique_lock<std::mutex> lock = TextEngine::Lock();
	PangoLayout* layout = engine.Layout(fFont, text, length);
	PangoRectangle exact;
	pango_layout_get_extents(layout, NULL, &exact);
	float advance = (float)exact.width / PANGO_SCALE;
	if (fBits == NULL)
		return advance;
	// The baseline is the lower edge of the pixel row baseline.y.
	const int32 x = round_to_pixel(baseline.x + fOrigin.x);
	const int32 top = round_to_pixel(baseline.y + fOrigin.y) + 1
		- (pango_layout_get_baseline(layout) + PANGO_SCALE / 2) / PANGO_SCALE;
	std::shared_ptr<const TextCoverage> coverage = engine.Coverage();
	if (coverage != nullptr) {
		// The glyphs are in the coverage; the rest needs no Pango.
		lock.unlock();
		const int32 left = x + coverage->left;
		const int32 upper = top + coverage->top;
		const PixelBox box = PixelBox{left, upper, left + coverage->width - 1,
			upper + coverage->height - 1}.Intersect(fClipBounds);
		if (box.IsEmpty())
			return advance;
		_Touch(box);
		_Composite(coverage->bits.data(), coverage->width, left, upper, box,
			B_SOLID_HIGH, true);
		return advance;
	}

	// Text too large to keep (or without ink): drawn into the mask, as far
	// as the target shows it.
	PangoRectangle ink;
	pango_layout_get_pixel_extents(layout, &ink, NULL);
	PixelBox box{x + ink.x - 1, top + ink.y - 1, x + ink.x + ink.width + 1,
		top + ink.y + ink.height + 1};
	if (!_BeginMask(box))
		return advance;
	cairo_set_operator(fMaskContext, kGlyphOperator);
	cairo_move_to(fMaskContext, x, top);
	pango_cairo_show_layout(fMaskContext, layout);
	lock.unlock();
	_CompositeMask(box, B_SOLID_HIGH, true);
	return advance;
}

}
