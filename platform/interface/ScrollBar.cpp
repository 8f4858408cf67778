#include <ScrollBar.h>

#include <AppDefs.h>
#include <Message.h>
#include <Window.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

static BPrivate::InstantiationRegistrar sScrollBarRegistrar("BScrollBar",
	BScrollBar::Instantiate);

// The thumb never gets shorter than this, so that it can be grabbed.
static const float kMinThumb = 12;

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min,
	float max, orientation direction)
	: BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW | B_FRAME_EVENTS),
	  fTarget(target),
	  fTargetName(NULL),
	  fMin(min),
	  fMax(std::max(min, max)),
	  fValue(0),
	  fProportion(0),
	  fSmallStep(1),
	  fLargeStep(10),
	  fOrientation(direction),
	  fPressed(kNone),
	  fDragOffset(0)
{
	fValue = std::clamp(0.0f, fMin, fMax);
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BScrollBar::BScrollBar(BMessage* archive)
	: BView(archive),
	  fTarget(NULL),
	  fTargetName(NULL),
	  fMin(0),
	  fMax(0),
	  fValue(0),
	  fProportion(0),
	  fSmallStep(1),
	  fLargeStep(10),
	  fOrientation(B_VERTICAL),
	  fPressed(kNone),
	  fDragOffset(0)
{
	float a, b;
	if (archive->FindFloat("_range", 0, &a) == B_OK
		&& archive->FindFloat("_range", 1, &b) == B_OK) {
		fMin = a;
		fMax = std::max(a, b);
	}
	if (archive->FindFloat("_steps", 0, &a) == B_OK
		&& archive->FindFloat("_steps", 1, &b) == B_OK) {
		fSmallStep = a;
		fLargeStep = b;
	}
	if (archive->FindFloat("_val", &a) == B_OK)
		fValue = std::clamp(a, fMin, fMax);
	if (archive->FindFloat("_prop", &a) == B_OK)
		fProportion = std::clamp(a, 0.0f, 1.0f);
	int32 direction;
	if (archive->FindInt32("_orient", &direction) == B_OK)
		fOrientation = direction == B_HORIZONTAL ? B_HORIZONTAL : B_VERTICAL;
	const char* target;
	if (archive->FindString("_target", &target) == B_OK)
		fTargetName = strdup(target);
}

BScrollBar::~BScrollBar()
{
	free(fTargetName);
}

BArchivable* BScrollBar::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BScrollBar"))
		return NULL;
	return new BScrollBar(archive);
}

status_t BScrollBar::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddFloat("_range", fMin);
	archive->AddFloat("_range", fMax);
	archive->AddFloat("_steps", fSmallStep);
	archive->AddFloat("_steps", fLargeStep);
	archive->AddFloat("_val", fValue);
	archive->AddInt32("_orient", fOrientation);
	archive->AddFloat("_prop", fProportion);
	const char* target = fTarget != NULL ? fTarget->Name() : fTargetName;
	if (target != NULL)
		archive->AddString("_target", target);
	return B_OK;
}

// ---- Value, range, target

void BScrollBar::SetValue(float value)
{
	if (isnan(value))
		return;
	// Whole pixels: a target scrolled by a fraction would draw blurred.
	value = std::clamp(roundf(value), fMin, fMax);
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	ValueChanged(fValue);
}

float BScrollBar::Value() const
{
	return fValue;
}

void BScrollBar::ValueChanged(float newValue)
{
	if (fTarget == NULL || fTarget->Window() == NULL || fTarget->Window() != Window())
		return;
	BRect bounds = fTarget->Bounds();
	if (fOrientation == B_VERTICAL)
		fTarget->ScrollTo(bounds.left, newValue);
	else
		fTarget->ScrollTo(newValue, bounds.top);
}

void BScrollBar::SetProportion(float proportion)
{
	if (isnan(proportion))
		return;
	proportion = std::clamp(proportion, 0.0f, 1.0f);
	if (proportion == fProportion)
		return;
	fProportion = proportion;
	Invalidate();
}

float BScrollBar::Proportion() const
{
	return fProportion;
}

void BScrollBar::SetRange(float min, float max)
{
	if (isnan(min) || isnan(max))
		return;
	max = std::max(min, max);
	if (min == fMin && max == fMax)
		return;
	fMin = min;
	fMax = max;
	Invalidate();
	// A value outside the new range follows it, and so does the target.
	float clamped = std::clamp(fValue, fMin, fMax);
	if (clamped != fValue) {
		fValue = clamped;
		ValueChanged(fValue);
	}
}

void BScrollBar::GetRange(float* min, float* max) const
{
	if (min != NULL)
		*min = fMin;
	if (max != NULL)
		*max = fMax;
}

void BScrollBar::SetSteps(float smallStep, float largeStep)
{
	fSmallStep = std::max(0.0f, smallStep);
	fLargeStep = std::max(0.0f, largeStep);
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
	if (smallStep != NULL)
		*smallStep = fSmallStep;
	if (largeStep != NULL)
		*largeStep = fLargeStep;
}

void BScrollBar::SetTarget(BView* target)
{
	fTarget = target;
	free(fTargetName);
	fTargetName = NULL;
}

void BScrollBar::SetTarget(const char* targetName)
{
	free(fTargetName);
	fTargetName = targetName != NULL ? strdup(targetName) : NULL;
	fTarget = NULL;
	if (fTargetName != NULL && Window() != NULL)
		fTarget = Window()->FindView(fTargetName);
}

BView* BScrollBar::Target() const
{
	return fTarget;
}

orientation BScrollBar::Orientation() const
{
	return fOrientation;
}

void BScrollBar::GetPreferredSize(float* width, float* height)
{
	BRect bounds = Bounds();
	if (width != NULL)
		*width = fOrientation == B_VERTICAL ? B_V_SCROLL_BAR_WIDTH : bounds.Width();
	if (height != NULL)
		*height = fOrientation == B_VERTICAL ? bounds.Height() : B_H_SCROLL_BAR_HEIGHT;
}

// ---- Hooks

void BScrollBar::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (fTarget == NULL && fTargetName != NULL)
		fTarget = Window()->FindView(fTargetName);
}

void BScrollBar::DetachedFromWindow()
{
	fPressed = kNone;
	BView::DetachedFromWindow();
}

void BScrollBar::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	Invalidate();
}

void BScrollBar::MessageReceived(BMessage* message)
{
	if (message->what == B_MOUSE_WHEEL_CHANGED) {
		float delta = 0;
		message->FindFloat(fOrientation == B_VERTICAL ? "be:wheel_delta_y"
			: "be:wheel_delta_x", &delta);
		if (delta == 0 && fOrientation == B_HORIZONTAL)
			message->FindFloat("be:wheel_delta_y", &delta);
		if (delta != 0 && _IsEnabled())
			SetValue(fValue + delta * fSmallStep * 3);
		return;
	}
	BView::MessageReceived(message);
}

void BScrollBar::MouseDown(BPoint where)
{
	if (!_IsEnabled())
		return;
	fPressed = _PartAt(where);
	if (fPressed == kNone)
		return;
	if (fPressed == kThumb) {
		BRect thumb = _ThumbRect();
		fDragOffset = _Along(where)
			- (fOrientation == B_VERTICAL ? thumb.top : thumb.left);
	} else {
		_StepBy(fPressed);
	}
	SetMouseEventMask(B_POINTER_EVENTS);
	Invalidate();
}

void BScrollBar::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (fPressed != kThumb)
		return;
	BRect track = _TrackRect();
	BRect thumb = _ThumbRect();
	float trackStart = fOrientation == B_VERTICAL ? track.top : track.left;
	float trackLength = fOrientation == B_VERTICAL ? track.Height() : track.Width();
	float thumbLength = fOrientation == B_VERTICAL ? thumb.Height() : thumb.Width();
	float travel = trackLength - thumbLength;
	if (travel <= 0)
		return;
	float position = _Along(where) - fDragOffset - trackStart;
	SetValue(fMin + position / travel * (fMax - fMin));
}

void BScrollBar::MouseUp(BPoint)
{
	if (fPressed != kNone) {
		fPressed = kNone;
		Invalidate();
	}
}

// ---- Geometry

bool BScrollBar::_IsEnabled() const
{
	return fMax > fMin;
}

float BScrollBar::_Length() const
{
	BRect bounds = Bounds();
	return fOrientation == B_VERTICAL ? bounds.Height() + 1 : bounds.Width() + 1;
}

float BScrollBar::_ArrowSize() const
{
	BRect bounds = Bounds();
	float thickness = fOrientation == B_VERTICAL ? bounds.Width() + 1 : bounds.Height() + 1;
	return std::min(thickness, floorf(_Length() / 2));
}

float BScrollBar::_Along(BPoint where) const
{
	return fOrientation == B_VERTICAL ? where.y : where.x;
}

BRect BScrollBar::_TrackRect() const
{
	BRect bounds = Bounds();
	float arrow = _ArrowSize();
	if (fOrientation == B_VERTICAL)
		return BRect(bounds.left, bounds.top + arrow, bounds.right, bounds.bottom - arrow);
	return BRect(bounds.left + arrow, bounds.top, bounds.right - arrow, bounds.bottom);
}

BRect BScrollBar::_ThumbRect() const
{
	BRect track = _TrackRect();
	float length = fOrientation == B_VERTICAL ? track.Height() + 1 : track.Width() + 1;
	float thumb = fProportion > 0 ? floorf(length * fProportion) : length / 4;
	thumb = std::min(length, std::max(thumb, kMinThumb));
	float position = fMax > fMin ? (fValue - fMin) / (fMax - fMin) : 0;
	float start = floorf((length - thumb) * position);
	if (fOrientation == B_VERTICAL)
		return BRect(track.left, track.top + start, track.right, track.top + start + thumb - 1);
	return BRect(track.left + start, track.top, track.left + start + thumb - 1, track.bottom);
}

BScrollBar::Part BScrollBar::_PartAt(BPoint where) const
{
	BRect bounds = Bounds();
	if (!bounds.Contains(where))
		return kNone;
	float along = _Along(where);
	float arrow = _ArrowSize();
	float start = fOrientation == B_VERTICAL ? bounds.top : bounds.left;
	float end = fOrientation == B_VERTICAL ? bounds.bottom : bounds.right;
	if (along < start + arrow)
		return kArrowBack;
	if (along > end - arrow)
		return kArrowForward;
	BRect thumb = _ThumbRect();
	float thumbStart = fOrientation == B_VERTICAL ? thumb.top : thumb.left;
	float thumbEnd = fOrientation == B_VERTICAL ? thumb.bottom : thumb.right;
	if (along < thumbStart)
		return kPageBack;
	if (along > thumbEnd)
		return kPageForward;
	return kThumb;
}

void BScrollBar::_StepBy(Part part)
{
	switch (part) {
		case kArrowBack:    SetValue(fValue - fSmallStep); break;
		case kArrowForward: SetValue(fValue + fSmallStep); break;
		case kPageBack:     SetValue(fValue - fLargeStep); break;
		case kPageForward:  SetValue(fValue + fLargeStep); break;
		default: break;
	}
}

// ---- Drawing

void BScrollBar::Draw(BRect)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color border = ui_color(B_CONTROL_BORDER_COLOR);
	bool enabled = _IsEnabled();

	BRect track = _TrackRect();
	SetHighColor(tint_color(panel, enabled ? B_DARKEN_1_TINT : B_NO_TINT));
	FillRect(track);

	BRect bounds = Bounds();
	float arrow = _ArrowSize();
	BRect back, forward;
	if (fOrientation == B_VERTICAL) {
		back = BRect(bounds.left, bounds.top, bounds.right, bounds.top + arrow - 1);
		forward = BRect(bounds.left, bounds.bottom - arrow + 1, bounds.right, bounds.bottom);
	} else {
		back = BRect(bounds.left, bounds.top, bounds.left + arrow - 1, bounds.bottom);
		forward = BRect(bounds.right - arrow + 1, bounds.top, bounds.right, bounds.bottom);
	}
	_DrawArrow(back, false, fPressed == kArrowBack);
	_DrawArrow(forward, true, fPressed == kArrowForward);

	if (enabled) {
		BRect thumb = _ThumbRect();
		SetHighColor(fPressed == kThumb ? tint_color(panel, B_DARKEN_1_TINT) : panel);
		FillRect(thumb);
		SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
		StrokeLine(BPoint(thumb.left + 1, thumb.bottom - 1), BPoint(thumb.left + 1, thumb.top + 1));
		StrokeLine(BPoint(thumb.left + 1, thumb.top + 1), BPoint(thumb.right - 1, thumb.top + 1));
		SetHighColor(border);
		StrokeRect(thumb);
	}

	// The outline of the whole bar.
	SetHighColor(border);
	StrokeRect(bounds);
}

void BScrollBar::_DrawArrow(BRect rect, bool forward, bool pressed)
{
	if (rect.Width() < 2 || rect.Height() < 2)
		return;
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetHighColor(pressed ? tint_color(panel, B_DARKEN_2_TINT) : panel);
	FillRect(rect);
	if (!pressed) {
		SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
		StrokeLine(BPoint(rect.left + 1, rect.bottom - 1), BPoint(rect.left + 1, rect.top + 1));
		StrokeLine(BPoint(rect.left + 1, rect.top + 1), BPoint(rect.right - 1, rect.top + 1));
	}
	SetHighColor(ui_color(B_CONTROL_BORDER_COLOR));
	StrokeRect(rect);

	// A small solid triangle pointing along the bar.
	float size = floorf(std::min(rect.Width(), rect.Height()) / 4);
	BPoint center(floorf((rect.left + rect.right) / 2), floorf((rect.top + rect.bottom) / 2));
	SetHighColor(_IsEnabled() ? tint_color(panel, B_DARKEN_4_TINT)
		: tint_color(panel, B_DARKEN_2_TINT));
	if (fOrientation == B_VERTICAL) {
		float tip = forward ? size : -size;
		FillTriangle(BPoint(center.x - size, center.y - tip / 2),
			BPoint(center.x + size, center.y - tip / 2), BPoint(center.x, center.y + tip / 2));
	} else {
		float tip = forward ? size : -size;
		FillTriangle(BPoint(center.x - tip / 2, center.y - size),
			BPoint(center.x - tip / 2, center.y + size), BPoint(center.x + tip / 2, center.y));
	}
}
