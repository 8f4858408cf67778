// BCheckBox: a sunken box that shows a check mark when on.
#include <CheckBox.h>

#include <Window.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>

static BPrivate::InstantiationRegistrar sCheckBoxRegistrar("BCheckBox", BCheckBox::Instantiate);

// Space between the box and the label.
static const float kLabelGap = 6;

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags),
	  fOutlined(false)
{
}

BCheckBox::BCheckBox(BMessage* archive)
	: BControl(archive),
	  fOutlined(false)
{
}

BCheckBox::~BCheckBox()
{
}

BArchivable* BCheckBox::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BCheckBox"))
		return NULL;
	return new BCheckBox(archive);
}

status_t BCheckBox::Archive(BMessage* archive, bool deep) const
{
	return BControl::Archive(archive, deep);
}

BRect BCheckBox::_BoxFrame() const
{
	BCheckBox* self = const_cast<BCheckBox*>(this);
	float size = BPrivate::mark_size(self);
	BRect bounds = Bounds();
	float top = std::floor(bounds.top + (bounds.Height() + 1 - size) / 2);
	return BRect(bounds.left + 1, top, bounds.left + size, top + size - 1);
}

void BCheckBox::Draw(BRect)
{
	rgb_color background = LowColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, IsEnabled());
	BRect box = _BoxFrame();

	// The box: sunken, with a white (or, held down, a shaded) inside.
	BRect inside = BPrivate::draw_bevel(this, box, colors, true);
	rgb_color field = ui_color(B_DOCUMENT_BACKGROUND_COLOR);
	if (fOutlined)
		field = tint_color(field, B_DARKEN_2_TINT);
	else if (!IsEnabled())
		field = tint_color(background, B_LIGHTEN_1_TINT);
	SetHighColor(field);
	FillRect(inside);

	if (Value() != B_CONTROL_OFF) {
		// A check mark two pixels thick, drawn in the inside's upper part.
		BRect mark = inside.InsetByCopy(2, 2);
		SetHighColor(IsEnabled() ? ui_color(B_CONTROL_TEXT_COLOR)
			: tint_color(background, B_DISABLED_MARK_TINT));
		float midX = mark.left + std::floor(mark.Width() / 3);
		for (float d = 0; d < 2; d++) {
			StrokeLine(BPoint(mark.left, mark.top + std::floor(mark.Height() / 2) + d),
				BPoint(midX, mark.bottom - 1 + d));
			StrokeLine(BPoint(midX, mark.bottom - 1 + d), BPoint(mark.right, mark.top + d));
		}
	}

	SetLowColor(background);
	BPrivate::draw_label(this, Label(), box.right + kLabelGap, Bounds(), colors,
		IsFocus() && IsEnabled());
}

void BCheckBox::AttachedToWindow()
{
	BControl::AttachedToWindow();
}

void BCheckBox::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	fOutlined = true;
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
	Invalidate();
	(void)where;
}

void BCheckBox::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
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

void BCheckBox::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	fOutlined = false;
	if (Bounds().Contains(where) && IsEnabled()) {
		SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
		Invoke();
	}
	Invalidate();
}

void BCheckBox::GetPreferredSize(float* width, float* height)
{
	float labelWidth, labelHeight;
	BPrivate::label_size(this, Label(), &labelWidth, &labelHeight);
	float size = BPrivate::mark_size(this);
	if (width != NULL)
		*width = size + 1 + (labelWidth > 0 ? kLabelGap + labelWidth : 0) + 1;
	if (height != NULL)
		*height = std::max(size, labelHeight) + 1;
}

void BCheckBox::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}
