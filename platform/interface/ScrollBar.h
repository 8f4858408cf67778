// BScrollBar: a horizontal or vertical bar that scrolls a target view.
//
// The value runs over the range (SetRange); the thumb's length shows the
// proportion of the content that the target shows (SetProportion, 0 to 1).
// The arrows move the value by the small step, a click in the bar beside
// the thumb by the large step, and the thumb can be dragged. Every change of
// the value calls ValueChanged(), which scrolls the target to the value
// along the bar's orientation (keeping its other coordinate). A range of
// (0, 0) disables the bar: it draws without a thumb and ignores the mouse.
//
// The bar does not own its target; a target that goes away must be taken
// from the bar first (SetTarget(NULL)) unless both leave the window together,
// as in a BScrollView. Archive fields: "_range" (two floats), "_steps" (two
// floats), "_val" (float), "_orient" (int32), "_prop" (float), plus those of
// BView; the target is found again by its name ("_target") once attached.
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include <View.h>

#define B_V_SCROLL_BAR_WIDTH 14.0f
#define B_H_SCROLL_BAR_HEIGHT 14.0f

class BScrollBar : public BView {
public:
	BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
		orientation direction);
	BScrollBar(BMessage* archive);
	virtual ~BScrollBar();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void FrameResized(float width, float height);
	virtual void MessageReceived(BMessage* message);

	// Clamped to the range.
	void SetValue(float value);
	float Value() const;
	void SetProportion(float proportion);
	float Proportion() const;
	// Called on every change of the value; scrolls the target.
	virtual void ValueChanged(float newValue);

	// A range with max < min is taken as (min, min).
	void SetRange(float min, float max);
	void GetRange(float* min, float* max) const;
	void SetSteps(float smallStep, float largeStep);
	void GetSteps(float* smallStep, float* largeStep) const;
	void SetTarget(BView* target);
	// The view of that name in the bar's window, found when attached.
	void SetTarget(const char* targetName);
	BView* Target() const;
	orientation Orientation() const;

	virtual void GetPreferredSize(float* width, float* height);

private:
	enum Part { kNone, kArrowBack, kArrowForward, kPageBack, kPageForward, kThumb };

	float _Length() const;          // along the bar
	float _ArrowSize() const;
	BRect _TrackRect() const;       // between the arrows
	BRect _ThumbRect() const;
	Part _PartAt(BPoint where) const;
	float _Along(BPoint where) const;
	void _StepBy(Part part);
	void _DrawArrow(BRect rect, bool forward, bool pressed);
	bool _IsEnabled() const;

	BView* fTarget;                 // not owned
	char* fTargetName;              // owned; looked up when attached
	float fMin;
	float fMax;
	float fValue;
	float fProportion;
	float fSmallStep;
	float fLargeStep;
	orientation fOrientation;
	Part fPressed;                  // the part the mouse holds
	float fDragOffset;              // pointer to thumb start, while dragging
};

#endif
