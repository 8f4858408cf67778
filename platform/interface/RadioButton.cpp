// BRadioButton: a round button that shows a dot when it is the group's
// choice.
#include <RadioButton.h>

#include <Window.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>

static BPrivate::InstantiationRegistrar sRadioButtonRegistrar("BRadioButton",
	BRadioButton::Instantiate);

static const float kLabelGap = 6;

BRadioButton::BRadioButton(BRect frame, const char* name, const char* label,
	BMessage* message, uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags),
	  fOutlined(false)
{
}

BRadioButton::BRadioButton(BMessage* archive)
	: BControl(archive),
	  fOutlined(false)
{
}

BRadioButton::~BRadioButton()
{
}

BArchivable* BRadioButton::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BRadioButton"))
		return NULL;
	return new BRadioButton(archive);
}

status_t BRadioButton::Archive(BMessage* archive, bool deep) const
{
	return BControl::Archive(archive, deep);
}

BRect BRadioButton::_DotFrame() const
{
	BRadioButton* self = const_cast<BRadioButton*>(this);
	float size = BPrivate::mark_size(self);
	BRect bounds = Bounds();
	float top = std::floor(bounds.top + (bounds.Height() + 1 - size) / 2);
	return BRect(bounds.left + 1, top, bounds.left + size, top + size - 1);
}

void BRadioButton::Draw(BRect)
{
	rgb_color background = LowColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, IsEnabled());
	BRect circle = _DotFrame();

	rgb_color field = ui_color(B_DOCUMENT_BACKGROUND_COLOR);
	if (fOutlined)
		field = tint_color(field, B_DARKEN_2_TINT);
	else if (!IsEnabled())
		field = tint_color(background, B_LIGHTEN_1_TINT);
	SetHighColor(field);
	FillEllipse(circle);
	// Shaded on the upper left, lit on the lower right: a hollow.
	SetHighColor(colors.shadow);
	StrokeArc(circle, 45, 180);
	SetHighColor(colors.light);
	StrokeArc(circle, 225, 180);
	SetHighColor(colors.frame);
	StrokeEllipse(circle.InsetByCopy(1, 1));

	if (Value() != B_CONTROL_OFF) {
		float inset = std::floor(circle.Width() / 3.5f);
		SetHighColor(IsEnabled() ? ui_color(B_CONTROL_TEXT_COLOR)
			: tint_color(background, B_DISABLED_MARK_TINT));
		FillEllipse(circle.InsetByCopy(inset, inset));
	}

	SetLowColor(background);
	BPrivate::draw_label(this, Label(), circle.right + kLabelGap, Bounds(), colors,
		IsFocus() && IsEnabled());
}

void BRadioButton::AttachedToWindow()
{
	BControl::AttachedToWindow();
	// A group rebuilt from an archive, or put together by hand, may have
	// more than one button on: the last one added wins.
	if (Value() != B_CONTROL_OFF) {
		SetValueNoUpdate(B_CONTROL_OFF);
		SetValue(B_CONTROL_ON);
	}
}

void BRadioButton::SetValue(int32 value)
{
	if (value != B_CONTROL_OFF)
		value = B_CONTROL_ON;
	if (value == B_CONTROL_ON) {
		// Siblings are walked from the first, so that it does not matter
		// whether the buttons are in a view or directly in the window.
		const BView* first = this;
		while (first->PreviousSibling() != NULL)
			first = first->PreviousSibling();
		for (BView* sibling = const_cast<BView*>(first); sibling != NULL;
				sibling = sibling->NextSibling()) {
			BRadioButton* radio = dynamic_cast<BRadioButton*>(sibling);
			if (radio != NULL && radio != this && radio->Value() != B_CONTROL_OFF)
				radio->SetValue(B_CONTROL_OFF);
		}
	}
	BControl::SetValue(value);
}

void BRadioButton::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	fOutlined = true;
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
	Invalidate();
	(void)where;
}

void BRadioButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (!IsTracking()) {
		BControl::MouseMoved(where, transit, dragMessage);
		return;
	}
	bool inside = Bounds().Contains(where);
	if (inside != fOutlined) {
		fOutlined = inside;
		Invalidate();
	}
}

void BRadioButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	fOutlined = false;
	if (Bounds().Contains(where) && IsEnabled()) {
		SetValue(B_CONTROL_ON);
		Invoke();
	}
	Invalidate();
}

BRadioButton* BRadioButton::_Neighbour(bool next) const
{
	for (BView* view = next ? NextSibling() : PreviousSibling(); view != NULL;
			view = next ? view->NextSibling() : view->PreviousSibling()) {
		BRadioButton* radio = dynamic_cast<BRadioButton*>(view);
		if (radio != NULL && radio->IsEnabled() && !radio->IsHidden())
			return radio;
	}
	return NULL;
}

void BRadioButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes != 1 || !IsEnabled()) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	switch (bytes[0]) {
		case B_SPACE:
		case B_ENTER:
			// Never off by the keyboard: a group always keeps its choice.
			SetValue(B_CONTROL_ON);
			Invoke();
			break;
		case B_UP_ARROW:
		case B_LEFT_ARROW:
		case B_DOWN_ARROW:
		case B_RIGHT_ARROW: {
			bool next = bytes[0] == B_DOWN_ARROW || bytes[0] == B_RIGHT_ARROW;
			BRadioButton* neighbour = _Neighbour(next);
			if (neighbour != NULL) {
				neighbour->MakeFocus(true);
				neighbour->SetValue(B_CONTROL_ON);
				neighbour->Invoke();
			}
			break;
		}
		default:
			BView::KeyDown(bytes, numBytes);
			break;
	}
}

void BRadioButton::GetPreferredSize(float* width, float* height)
{
	float labelWidth, labelHeight;
	BPrivate::label_size(this, Label(), &labelWidth, &labelHeight);
	float size = BPrivate::mark_size(this);
	if (width != NULL)
		*width = size + 1 + (labelWidth > 0 ? kLabelGap + labelWidth : 0) + 1;
	if (height != NULL)
		*height = std::max(size, labelHeight) + 1;
}

void BRadioButton::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}
