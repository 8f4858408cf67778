#include <ScrollView.h>

#include <AppDefs.h>
#include <Message.h>
#include <Window.h>

#include <algorithm>

static BPrivate::InstantiationRegistrar sScrollViewRegistrar("BScrollView",
	BScrollView::Instantiate);

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode,
	uint32 flags, bool horizontal, bool vertical, border_style border)
	: BView(_FrameAround(target != NULL ? target->Frame() : BRect(0, 0, 0, 0),
			horizontal, vertical, border),
		name, resizingMode, flags | B_WILL_DRAW | B_FRAME_EVENTS),
	  fTarget(target),
	  fHorizontal(NULL),
	  fVertical(NULL),
	  fBorder(border),
	  fHighlighted(false)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	if (fTarget != NULL) {
		fTarget->SetResizingMode(B_FOLLOW_ALL_SIDES);
		AddChild(fTarget);
	}
	if (horizontal) {
		fHorizontal = new BScrollBar(BRect(0, 0, 20, B_H_SCROLL_BAR_HEIGHT),
			"_HSB_", fTarget, 0, 0, B_HORIZONTAL);
		fHorizontal->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
		AddChild(fHorizontal);
	}
	if (vertical) {
		fVertical = new BScrollBar(BRect(0, 0, B_V_SCROLL_BAR_WIDTH, 20),
			"_VSB_", fTarget, 0, 0, B_VERTICAL);
		fVertical->SetResizingMode(B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT);
		AddChild(fVertical);
	}
	_Layout();
}

BScrollView::BScrollView(BMessage* archive)
	: BView(archive),
	  fTarget(NULL),
	  fHorizontal(NULL),
	  fVertical(NULL),
	  fBorder(B_FANCY_BORDER),
	  fHighlighted(false)
{
	int32 style;
	if (archive->FindInt32("_style", &style) == B_OK
		&& style >= B_PLAIN_BORDER && style <= B_NO_BORDER)
		fBorder = (border_style)style;
	// The children came back from the archive: the bars and the target.
	for (int32 i = 0; BView* child = ChildAt(i); i++) {
		BScrollBar* bar = dynamic_cast<BScrollBar*>(child);
		if (bar == NULL) {
			if (fTarget == NULL)
				fTarget = child;
		} else if (bar->Orientation() == B_HORIZONTAL) {
			if (fHorizontal == NULL)
				fHorizontal = bar;
		} else if (fVertical == NULL) {
			fVertical = bar;
		}
	}
	SetTarget(fTarget);
	_Layout();
}

BScrollView::~BScrollView()
{
}

BArchivable* BScrollView::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BScrollView"))
		return NULL;
	return new BScrollView(archive);
}

status_t BScrollView::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddInt32("_style", fBorder);
	return B_OK;
}

// ---- Geometry

float BScrollView::_BorderSize(border_style border)
{
	switch (border) {
		case B_FANCY_BORDER: return 2;
		case B_PLAIN_BORDER: return 1;
		default: return 0;
	}
}

BRect BScrollView::_FrameAround(BRect targetFrame, bool horizontal, bool vertical,
	border_style border)
{
	float size = _BorderSize(border);
	BRect frame = targetFrame.InsetByCopy(-size, -size);
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	return frame;
}

void BScrollView::_Layout()
{
	BRect bounds = Bounds();
	float size = _BorderSize(fBorder);
	// The bars cover the border's inner line, so that their outlines and
	// the border's make one line.
	float overlap = size > 0 ? 1 : 0;
	BRect target(bounds.left + size, bounds.top + size,
		bounds.right - size, bounds.bottom - size);
	if (fVertical != NULL)
		target.right -= B_V_SCROLL_BAR_WIDTH;
	if (fHorizontal != NULL)
		target.bottom -= B_H_SCROLL_BAR_HEIGHT;
	target.right = std::max(target.left, target.right);
	target.bottom = std::max(target.top, target.bottom);

	if (fTarget != NULL) {
		fTarget->MoveTo(target.LeftTop());
		fTarget->ResizeTo(target.Width(), target.Height());
	}
	if (fVertical != NULL) {
		BRect bar(target.right + 1, bounds.top + size - overlap,
			bounds.right - size + overlap,
			fHorizontal != NULL ? target.bottom : bounds.bottom - size + overlap);
		fVertical->MoveTo(bar.LeftTop());
		fVertical->ResizeTo(bar.Width(), std::max(0.0f, bar.Height()));
	}
	if (fHorizontal != NULL) {
		BRect bar(bounds.left + size - overlap, target.bottom + 1,
			fVertical != NULL ? target.right : bounds.right - size + overlap,
			bounds.bottom - size + overlap);
		fHorizontal->MoveTo(bar.LeftTop());
		fHorizontal->ResizeTo(std::max(0.0f, bar.Width()), bar.Height());
	}
}

void BScrollView::GetPreferredSize(float* width, float* height)
{
	BRect frame = _FrameAround(fTarget != NULL ? fTarget->Frame() : BRect(0, 0, 0, 0),
		fHorizontal != NULL, fVertical != NULL, fBorder);
	if (fTarget != NULL) {
		float targetWidth, targetHeight;
		fTarget->GetPreferredSize(&targetWidth, &targetHeight);
		frame.right = frame.left + (frame.Width() - fTarget->Bounds().Width()) + targetWidth;
		frame.bottom = frame.top + (frame.Height() - fTarget->Bounds().Height()) + targetHeight;
	}
	if (width != NULL)
		*width = frame.Width();
	if (height != NULL)
		*height = frame.Height();
}

void BScrollView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

// ---- Hooks

void BScrollView::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (Parent() != NULL && Parent()->ViewColor() != B_TRANSPARENT_COLOR)
		SetViewColor(Parent()->ViewColor());
	_Layout();
}

void BScrollView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	_Layout();
	Invalidate();
}

void BScrollView::MessageReceived(BMessage* message)
{
	if (message->what == B_MOUSE_WHEEL_CHANGED) {
		BScrollBar* bar = fVertical != NULL ? fVertical : fHorizontal;
		if (bar != NULL) {
			bar->MessageReceived(message);
			return;
		}
	}
	BView::MessageReceived(message);
}

void BScrollView::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	if (fHighlighted)
		Invalidate();
}

void BScrollView::Draw(BRect)
{
	BRect bounds = Bounds();
	rgb_color panel = ViewColor();
	if (fBorder == B_FANCY_BORDER) {
		// Sunken: the outer line dark above and left, light below and right.
		SetHighColor(tint_color(panel, B_DARKEN_1_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
		StrokeLine(bounds.LeftTop(), bounds.RightTop());
		SetHighColor(tint_color(panel, B_LIGHTEN_2_TINT));
		StrokeLine(BPoint(bounds.left + 1, bounds.bottom), bounds.RightBottom());
		StrokeLine(bounds.RightBottom(), BPoint(bounds.right, bounds.top + 1));
		SetHighColor(fHighlighted ? ui_color(B_KEYBOARD_NAVIGATION_COLOR)
			: ui_color(B_CONTROL_BORDER_COLOR));
		StrokeRect(bounds.InsetByCopy(1, 1));
	} else if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(fHighlighted ? ui_color(B_KEYBOARD_NAVIGATION_COLOR)
			: ui_color(B_CONTROL_BORDER_COLOR));
		StrokeRect(bounds);
	}
	// The corner between two bars.
	if (fHorizontal != NULL && fVertical != NULL) {
		BRect corner(fVertical->Frame().left, fHorizontal->Frame().top,
			fVertical->Frame().right, fHorizontal->Frame().bottom);
		SetHighColor(panel);
		FillRect(corner);
		SetHighColor(ui_color(B_CONTROL_BORDER_COLOR));
		StrokeRect(corner);
	}
}

// ---- Parts

BScrollBar* BScrollView::ScrollBar(orientation which) const
{
	return which == B_HORIZONTAL ? fHorizontal : fVertical;
}

void BScrollView::SetBorder(border_style border)
{
	if (border == fBorder)
		return;
	fBorder = border;
	_Layout();
	Invalidate();
}

border_style BScrollView::Border() const
{
	return fBorder;
}

status_t BScrollView::SetBorderHighlighted(bool highlighted)
{
	if (fBorder == B_NO_BORDER)
		return B_ERROR;
	if (highlighted != fHighlighted) {
		fHighlighted = highlighted;
		Invalidate();
	}
	return B_OK;
}

bool BScrollView::IsBorderHighlighted() const
{
	return fHighlighted;
}

void BScrollView::SetTarget(BView* target)
{
	fTarget = target;
	if (fHorizontal != NULL)
		fHorizontal->SetTarget(target);
	if (fVertical != NULL)
		fVertical->SetTarget(target);
}

BView* BScrollView::Target() const
{
	return fTarget;
}
