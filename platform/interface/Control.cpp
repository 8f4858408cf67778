// BControl: value, label, enabled state and the invocation that the
// concrete controls share.
#include <Control.h>

#include <Looper.h>
#include <OS.h>
#include <Window.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

static BPrivate::InstantiationRegistrar sControlRegistrar("BControl", BControl::Instantiate);

static char* copy_label(const char* label)
{
	return label != NULL ? strdup(label) : NULL;
}

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags),
	  BInvoker(message, NULL, NULL),
	  fLabel(copy_label(label)),
	  fValue(B_CONTROL_OFF),
	  fEnabled(true),
	  fFocusChanging(false),
	  fTracking(false),
	  fNavigable((flags & B_NAVIGABLE) != 0)
{
}

BControl::BControl(BMessage* archive)
	: BView(archive),
	  BInvoker(),
	  fLabel(NULL),
	  fValue(B_CONTROL_OFF),
	  fEnabled(true),
	  fFocusChanging(false),
	  fTracking(false),
	  fNavigable((Flags() & B_NAVIGABLE) != 0)
{
	if (archive == NULL)
		return;
	const char* label;
	if (archive->FindString("_label", &label) == B_OK)
		fLabel = copy_label(label);
	BMessage* message = new BMessage;
	if (archive->FindMessage("_msg", message) == B_OK)
		SetMessage(message);
	else
		delete message;
	int32 value;
	if (archive->FindInt32("_val", &value) == B_OK)
		fValue = value;
	bool disabled;
	if (archive->FindBool("_disable", &disabled) == B_OK && disabled) {
		fEnabled = false;
		SetFlags(Flags() & ~B_NAVIGABLE);
	}
}

BControl::~BControl()
{
	free(fLabel);
}

BArchivable* BControl::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BControl"))
		return NULL;
	return new BControl(archive);
}

status_t BControl::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	// A disabled control is only out of the Tab order for the time being.
	if (!fEnabled && fNavigable)
		archive->ReplaceInt32("_flags", (int32)(Flags() | B_NAVIGABLE));
	if (fLabel != NULL)
		archive->AddString("_label", fLabel);
	if (Message() != NULL)
		archive->AddMessage("_msg", Message());
	archive->AddInt32("_val", fValue);
	if (!fEnabled)
		archive->AddBool("_disable", true);
	return B_OK;
}

// ---- Hooks

void BControl::AttachedToWindow()
{
	// A control takes the colour of what it sits on.
	rgb_color background = ui_color(B_PANEL_BACKGROUND_COLOR);
	if (Parent() != NULL && Parent()->ViewColor() != B_TRANSPARENT_COLOR)
		background = Parent()->ViewColor();
	SetViewColor(background);
	SetLowColor(background);
	SetHighColor(ui_color(B_CONTROL_TEXT_COLOR));

	// Without a target of its own (or when that target has gone), the
	// control speaks to its window. A handler named before it joined a
	// looper is kept.
	if (Target() == NULL && !Messenger().IsValid())
		SetTarget(Window());
	BView::AttachedToWindow();
}

void BControl::WindowActivated(bool active)
{
	// The focus mark is drawn only in the active window.
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}

void BControl::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void BControl::MakeFocus(bool focus)
{
	// Also called by the window after the focus has moved elsewhere, so the
	// mark is redrawn whatever IsFocus() says now.
	fFocusChanging = true;
	BView::MakeFocus(focus);
	Invalidate();
	fFocusChanging = false;
}

void BControl::KeyDown(const char* bytes, int32 numBytes)
{
	// The generic control toggles on space and Enter.
	if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER) && fEnabled) {
		SetValue(fValue == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
		Invoke();
		return;
	}
	BView::KeyDown(bytes, numBytes);
}

void BControl::MouseDown(BPoint where)
{
	BView::MouseDown(where);
}

void BControl::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}

void BControl::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}

// ---- State

void BControl::SetLabel(const char* label)
{
	if (label == fLabel || (label != NULL && fLabel != NULL && strcmp(label, fLabel) == 0))
		return;
	free(fLabel);
	fLabel = copy_label(label);
	Invalidate();
}

const char* BControl::Label() const
{
	return fLabel;
}

void BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

void BControl::SetValueNoUpdate(int32 value)
{
	fValue = value;
}

int32 BControl::Value() const
{
	return fValue;
}

void BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	// A disabled control cannot be reached with Tab, and gives up the focus.
	if (fEnabled) {
		if (fNavigable)
			SetFlags(Flags() | B_NAVIGABLE);
	} else {
		fNavigable = (Flags() & B_NAVIGABLE) != 0;
		SetFlags(Flags() & ~B_NAVIGABLE);
		if (IsFocus())
			MakeFocus(false);
	}
	Invalidate();
}

bool BControl::IsEnabled() const
{
	return fEnabled;
}

void BControl::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	float labelWidth = fLabel != NULL ? StringWidth(fLabel) : 0;
	if (width != NULL)
		*width = std::ceil(labelWidth) + 8;
	if (height != NULL)
		*height = std::ceil(fh.ascent + fh.descent + fh.leading) + 4;
}

void BControl::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

status_t BControl::Invoke(BMessage* message)
{
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	// A message passed on again gets fresh fields, not a second set.
	copy.RemoveName("when");
	copy.RemoveName("source");
	copy.RemoveName("be:value");
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("be:value", fValue);
	return BInvoker::Invoke(&copy);
}

bool BControl::IsFocusChanging() const
{
	return fFocusChanging;
}

bool BControl::IsTracking() const
{
	return fTracking;
}

void BControl::SetTracking(bool state)
{
	fTracking = state;
}
