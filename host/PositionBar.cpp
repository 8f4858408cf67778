#include "PositionBar.h"

#include "HostProtocol.h"
#include "PlayerDisplay.h"

#include <Bitmap.h>
#include <Message.h>
#include <Window.h>

#include <algorithm>
#include <cmath>
#include <string.h>

namespace {

// The knob's half width; the track leaves room for it at both ends.
const float kKnobRadius = 5;
// Room around the knob's circle in its bitmap for the outline's soft edge.
const float kKnobMargin = 2;

// A player too busy to take the request within this time misses it, rather
// than freezing the window.
const bigtime_t kSendTimeout = 500000;

}

PositionBar::PositionBar(BRect frame, const char* name, uint32 resizingMode)
	:
	BView(frame, name, resizingMode, B_WILL_DRAW | B_FRAME_EVENTS | B_FULL_UPDATE_ON_RESIZE),
	fPosition(0),
	fLength(0),
	fHeld(0),
	fTracking(false),
	fKnob(NULL),
	fKnobRadius(-1),
	fKnobColor()
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

PositionBar::~PositionBar()
{
	delete fKnob;
}

BRect PositionBar::_Track() const
{
	const BRect bounds = Bounds();
	const float middle = std::floor((bounds.top + bounds.bottom) / 2);
	return BRect(bounds.left + kKnobRadius, middle - 2, bounds.right - kKnobRadius,
		middle + 2);
}

float PositionBar::XFor(int32 position) const
{
	const BRect track = _Track();
	if (fLength <= 0)
		return track.left;
	const double share = std::clamp((double)position / fLength, 0.0, 1.0);
	return track.left + (float)std::round(share * track.Width());
}

int32 PositionBar::PositionAt(float x) const
{
	const BRect track = _Track();
	if (fLength <= 0 || track.Width() <= 0)
		return 0;
	const double share = std::clamp((x - track.left) / track.Width(), 0.0f, 1.0f);
	return (int32)std::lround(share * fLength);
}

float PositionBar::_FillRight(int32 position) const
{
	return XFor(position);
}

void PositionBar::SetPosition(int32 position, int32 length)
{
	const float before = _FillRight(ShownPosition());
	const int32 oldLength = fLength;
	_Take(position, length);
	if (oldLength != fLength)
		Invalidate();
	else
		_InvalidateMove(before, _FillRight(ShownPosition()));
}

void PositionBar::DrawPositionNow(int32 position, int32 length)
{
	const float before = _FillRight(ShownPosition());
	const int32 oldLength = fLength;
	_Take(position, length);
	const float after = _FillRight(ShownPosition());
	if (oldLength == fLength && before == after)
		return;
	// As the update does: the view colour first, then what lies there, in
	// the strip that the knob left and entered. Near the track's ends its
	// rounded shape is drawn whole, which only the whole bar takes without
	// blending its edges twice.
	BRect area = _MoveStrip(before, after);
	if (oldLength != fLength || !_Plain(area))
		area = Bounds();
	SetHighColor(ViewColor());
	FillRect(area);
	Draw(area);
}

void PositionBar::_Take(int32 position, int32 length)
{
	fPosition = std::max(0, position);
	fLength = std::max(0, length);
	if (fTracking && fLength <= 0)
		fTracking = false;   // the entry went away under the pointer
}

// True when `area` keeps clear of the track's rounded ends.
bool PositionBar::_Plain(BRect area) const
{
	const BRect track = _Track();
	return area.left > track.left + 2 && area.right < track.right - 2;
}

// Only the strip that the knob (and the end of the fill beneath it) left
// and entered is drawn again.
BRect PositionBar::_MoveStrip(float before, float after) const
{
	const float margin = kKnobRadius + 2;
	const BRect bounds = Bounds();
	return BRect(std::min(before, after) - margin, bounds.top,
		std::max(before, after) + margin, bounds.bottom) & bounds;
}

void PositionBar::_InvalidateMove(float before, float after)
{
	if (before != after)
		Invalidate(_MoveStrip(before, after));
}

void PositionBar::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	Invalidate();
}

void PositionBar::Draw(BRect updateRect)
{
	const rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	const rgb_color groove = tint_color(panel, B_DARKEN_2_TINT);
	const rgb_color fill = ui_color(B_CONTROL_HIGHLIGHT_COLOR);
	const BRect track = _Track();
	// Away from the track's rounded ends, the part of it to draw is a plain
	// rectangle (the fill's rounded end lies under the knob), far cheaper
	// to draw than the whole rounded shape.
	const bool plain = _Plain(updateRect);

	SetHighColor(groove);
	if (plain)
		FillRect(track & updateRect);
	else
		FillRoundRect(track, 2, 2);
	if (fLength <= 0)
		return;

	const float right = _FillRight(ShownPosition());
	if (right > track.left) {
		SetHighColor(fill);
		const BRect filled(track.left, track.top, right, track.bottom);
		if (!plain)
			FillRoundRect(filled, 2, 2);
		else if ((filled & updateRect).IsValid())
			FillRect(filled & updateRect);
	}

	const BRect bounds = Bounds();
	const float middle = (track.top + track.bottom) / 2;
	const float radius = std::min(kKnobRadius, std::floor(bounds.Height() / 2));
	const rgb_color knobColor = fTracking ? tint_color(fill, B_DARKEN_1_TINT)
		: make_color(250, 250, 250);
	const BBitmap* knob = _Knob(radius, knobColor);
	if (knob == NULL)
		return;
	SetDrawingMode(B_OP_ALPHA);
	SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_OVERLAY);
	DrawBitmap(knob, BPoint(right - radius - kKnobMargin, middle - radius - kKnobMargin));
	SetDrawingMode(B_OP_COPY);
}

// The knob, a filled circle with an outline, around the middle of a
// transparent bitmap; made again only when its size or colour changes.
const BBitmap* PositionBar::_Knob(float radius, rgb_color color)
{
	if (fKnob != NULL && radius == fKnobRadius && color == fKnobColor)
		return fKnob;
	delete fKnob;
	fKnob = NULL;
	const float size = 2 * (radius + kKnobMargin);
	// Drawn in a bitmap that takes views and kept in a plain copy: the
	// drawing one holds a looper, which would outlive the plug-ins loaded
	// before the first draw and look like one of theirs.
	BBitmap canvas(BRect(0, 0, size, size), B_BITMAP_ACCEPTS_VIEWS, B_RGBA32);
	if (canvas.InitCheck() != B_OK || !canvas.Lock())
		return NULL;
	BView* view = new BView(canvas.Bounds(), "knob", B_FOLLOW_NONE, B_WILL_DRAW);
	canvas.AddChild(view);
	memset(canvas.Bits(), 0, canvas.BitsLength());
	// Composed over transparency, the soft edges keep their own colour and
	// carry their coverage as alpha.
	view->SetDrawingMode(B_OP_ALPHA);
	view->SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_COMPOSITE);
	const BPoint centre(radius + kKnobMargin, radius + kKnobMargin);
	view->SetHighColor(color);
	view->FillEllipse(centre, radius, radius);
	view->SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_3_TINT));
	view->StrokeEllipse(centre, radius, radius);
	view->Sync();
	canvas.Unlock();
	fKnob = new BBitmap(&canvas);
	if (fKnob->InitCheck() != B_OK) {
		delete fKnob;
		fKnob = NULL;
		return NULL;
	}
	fKnobRadius = radius;
	fKnobColor = color;
	return fKnob;
}

void PositionBar::_Hold(BPoint where)
{
	const float before = _FillRight(fHeld);
	fHeld = PositionAt(where.x);
	_InvalidateMove(before, _FillRight(fHeld));
}

void PositionBar::MouseDown(BPoint where)
{
	if (fLength <= 0)
		return;
	fTracking = true;
	fHeld = -1;
	_Hold(where);
	Invalidate();
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
}

void PositionBar::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (fTracking)
		_Hold(where);
	else
		BView::MouseMoved(where, transit, dragMessage);
}

void PositionBar::MouseUp(BPoint where)
{
	if (!fTracking)
		return;
	_Hold(where);
	fTracking = false;
	// Until the player reports the new position, show the one asked for.
	fPosition = fHeld;
	Invalidate();

	BMessage seek(kMelodeckSeek);
	seek.AddInt32(MELODECK_FIELD_POSITION, fHeld);
	fTarget.SendMessage(&seek, (BHandler*)NULL, kSendTimeout);
}
