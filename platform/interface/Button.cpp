// BButton: a push button; pressed while the mouse holds it, invoked when the
// mouse is released over it or by Enter and space.
#include <Button.h>

#include <Window.h>

#include "interface/ControlLook.h"

#include <algorithm>
#include <cmath>

static BPrivate::InstantiationRegistrar sButtonRegistrar("BButton", BButton::Instantiate);

// The default button grows by this much on every side to make room for
// its heavier frame, so that its face keeps the size of its neighbours'.
static const float kDefaultInset = 3;

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BControl(frame, name, label, message, resizingMode, flags),
	  fTracking(false),
	  fGrown(false),
	  fWantsDefault(false)
{
}

BButton::BButton(BMessage* archive)
	: BControl(archive),
	  fTracking(false),
	  fGrown(false),
	  fWantsDefault(false)
{
	bool isDefault;
	if (archive != NULL && archive->FindBool("_default", &isDefault) == B_OK)
		fWantsDefault = isDefault;
}

BButton::~BButton()
{
}

BArchivable* BButton::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BButton"))
		return NULL;
	return new BButton(archive);
}

status_t BButton::Archive(BMessage* archive, bool deep) const
{
	status_t status = BControl::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (IsDefault() || fWantsDefault) {
		archive->AddBool("_default", true);
		// The frame as it was given: the rebuilt button grows again when it
		// becomes default in its new window.
		if (fGrown) {
			BRect frame = Frame();
			frame.InsetBy(kDefaultInset, kDefaultInset);
			archive->ReplaceRect("_frame", frame);
		}
	}
	return B_OK;
}

// ---- Drawing

void BButton::Draw(BRect)
{
	BRect bounds = Bounds();
	rgb_color background = LowColor();
	BPrivate::ControlColors colors = BPrivate::control_colors(background, IsEnabled());
	bool pressed = Value() == B_CONTROL_ON;
	bool isDefault = IsDefault();

	if (isDefault) {
		// The heavier frame: an outline around a darker band.
		SetHighColor(colors.frame);
		StrokeRect(bounds);
		BRect band = bounds.InsetByCopy(1, 1);
		SetHighColor(tint_color(background, IsEnabled() ? B_DARKEN_2_TINT : B_DARKEN_1_TINT));
		StrokeRect(band);
		band.InsetBy(1, 1);
		StrokeRect(band);
		bounds.InsetBy(kDefaultInset, kDefaultInset);
	}

	rgb_color face = pressed ? tint_color(background, B_DARKEN_2_TINT)
		: tint_color(background, IsEnabled() ? B_LIGHTEN_1_TINT : B_NO_TINT);
	BRect inside = BPrivate::draw_bevel(this, bounds, colors, pressed);
	SetHighColor(face);
	FillRect(inside);

	const char* label = Label();
	if (label != NULL && label[0] != '\0') {
		float width = StringWidth(label);
		float x = std::floor(bounds.left + (bounds.Width() + 1 - width) / 2);
		float y = BPrivate::centred_baseline(this, bounds);
		if (pressed) {
			x += 1;
			y += 1;
		}
		SetHighColor(colors.text);
		SetLowColor(face);
		DrawString(label, BPoint(x, y));
		SetLowColor(background);
		if (IsFocus() && IsEnabled()) {
			font_height fh;
			GetFontHeight(&fh);
			BPrivate::draw_focus_line(this, x, x + std::ceil(width) - 1,
				y + std::min(2.0f, std::ceil(fh.descent)), colors);
		}
	}
}

// ---- Input

void BButton::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	fTracking = true;
	SetTracking(true);
	SetValue(B_CONTROL_ON);
	SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
	(void)where;
}

void BButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (fTracking) {
		// Pressed only while the pointer is over the button.
		SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
		return;
	}
	BControl::MouseMoved(where, transit, dragMessage);
}

void BButton::MouseUp(BPoint where)
{
	if (!fTracking)
		return;
	fTracking = false;
	SetTracking(false);
	if (Bounds().Contains(where) && IsEnabled()) {
		SetValue(B_CONTROL_ON);
		Invoke();
	}
	SetValue(B_CONTROL_OFF);
}

void BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
		if (IsEnabled()) {
			SetValue(B_CONTROL_ON);
			Invoke();
			SetValue(B_CONTROL_OFF);
		}
		return;
	}
	// Not BControl's: a button does not toggle.
	BView::KeyDown(bytes, numBytes);
}

void BButton::AttachedToWindow()
{
	BControl::AttachedToWindow();
	if (fWantsDefault)
		MakeDefault(true);
}

void BButton::DetachedFromWindow()
{
	// The default button stays default when it comes back (and is not
	// grown a second time).
	if (IsDefault())
		fWantsDefault = true;
	BControl::DetachedFromWindow();
}

void BButton::MakeFocus(bool focus)
{
	BControl::MakeFocus(focus);
}

void BButton::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	const char* label = Label();
	float labelWidth = label != NULL ? std::ceil(StringWidth(label)) : 0;
	float w = std::max(labelWidth + 24, 75.0f);
	float h = std::ceil(fh.ascent) + std::ceil(fh.descent) + 12;
	if (fGrown) {
		w += 2 * kDefaultInset;
		h += 2 * kDefaultInset;
	}
	if (width != NULL)
		*width = w;
	if (height != NULL)
		*height = h;
}

void BButton::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}

status_t BButton::Invoke(BMessage* message)
{
	return BControl::Invoke(message);
}

void BButton::SetLabel(const char* label)
{
	BControl::SetLabel(label);
}

void BButton::MakeDefault(bool flag)
{
	BWindow* window = Window();
	if (window == NULL) {
		// Remembered until the button is in a window.
		fWantsDefault = flag;
		return;
	}
	fWantsDefault = false;
	if (flag) {
		BButton* old = window->DefaultButton();
		if (old != NULL && old != this)
			old->MakeDefault(false);
		window->SetDefaultButton(this);
	} else if (window->DefaultButton() == this) {
		window->SetDefaultButton(NULL);
	}
	if (flag != fGrown) {
		// The heavier frame goes around the face, not into it.
		float d = flag ? kDefaultInset : -kDefaultInset;
		if (Parent() != NULL)
			Parent()->Invalidate(Frame());
		MoveBy(-d, -d);
		ResizeBy(2 * d, 2 * d);
		fGrown = flag;
	}
	Invalidate();
}

bool BButton::IsDefault() const
{
	BWindow* window = Window();
	if (window == NULL)
		return fWantsDefault;
	return window->DefaultButton() == this;
}
