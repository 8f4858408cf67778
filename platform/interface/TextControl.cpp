#include <TextControl.h>

#include <Message.h>
#include <Window.h>

#include "interface/TextInput.h"

#include <math.h>

#include <algorithm>

using BPrivate::TextInput;

static BPrivate::InstantiationRegistrar sTextControlRegistrar("BTextControl",
	BTextControl::Instantiate);

static const char* kInputName = "_input_";

BTextControl::BTextControl(BRect frame, const char* name, const char* label,
	const char* text, BMessage* message, uint32 resizingMode, uint32 flags)
	// The field, not the control, takes the focus.
	: BControl(frame, name, label, message, resizingMode, flags & ~B_NAVIGABLE)
{
	fText = NULL;
	fModificationMessage = NULL;
	fLabelAlign = B_ALIGN_LEFT;
	fDivider = 0;
	if (label != NULL && label[0] != '\0')
		fDivider = ceilf(StringWidth(label)) + 6;
	fFieldNavigable = (flags & B_NAVIGABLE) != 0;
	_Init(text, flags);
}

BTextControl::BTextControl(BMessage* archive)
	: BControl(archive)
{
	fText = NULL;
	fModificationMessage = NULL;
	fLabelAlign = B_ALIGN_LEFT;
	fDivider = 0;
	fFieldNavigable = (Flags() & B_NAVIGABLE) != 0;

	// The field rebuilt from the archive's children, if it is one of ours.
	for (int32 i = 0; BView* child = ChildAt(i); i++) {
		if (TextInput* input = dynamic_cast<TextInput*>(child)) {
			fText = input;
			fFieldNavigable = fFieldNavigable || (input->Flags() & B_NAVIGABLE) != 0;
			break;
		}
	}
	BView::SetFlags(Flags() & ~B_NAVIGABLE);

	float divider;
	if (archive->FindFloat("_divide", &divider) == B_OK)
		fDivider = std::max(0.0f, divider);
	int32 align;
	if (archive->FindInt32("_a_label", &align) == B_OK)
		fLabelAlign = (alignment)align;
	BMessage* modification = new BMessage;
	if (archive->FindMessage("_mod_msg", modification) == B_OK)
		fModificationMessage = modification;
	else
		delete modification;

	const char* text = NULL;
	archive->FindString("_text", &text);
	_Init(text, fFieldNavigable ? (uint32)B_NAVIGABLE : 0);
	if (archive->FindInt32("_a_text", &align) == B_OK)
		fText->SetAlignment((alignment)align);
}

void BTextControl::_Init(const char* text, uint32 flags)
{
	if (fText == NULL) {
		BRect frame = _FieldFrame().InsetByCopy(2, 2);
		fText = new TextInput(frame, kInputName,
			BRect(0, 0, std::max(0.0f, frame.Width()), frame.Height()),
			B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
			B_WILL_DRAW | B_FRAME_EVENTS | (flags & B_NAVIGABLE));
		AddChild(fText);
	} else {
		fText->SetFlags((fText->Flags() & ~B_NAVIGABLE) | (flags & B_NAVIGABLE));
	}
	fText->SetControl(this);
	// The message is not set yet, so nobody hears of the first text.
	fText->SetText(text != NULL ? text : "");
	fText->ClearUserChanged();
	_LayoutTextView();
	if (!IsEnabled()) {
		fText->MakeEditable(false);
		fText->MakeSelectable(false);
		fText->SetFlags(fText->Flags() & ~B_NAVIGABLE);
	}
}

BTextControl::~BTextControl()
{
	// The field dies with the control's children; it must not call back.
	if (fText != NULL)
		fText->SetControl(NULL);
	delete fModificationMessage;
}

BArchivable* BTextControl::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BTextControl"))
		return NULL;
	return new BTextControl(archive);
}

status_t BTextControl::Archive(BMessage* archive, bool deep) const
{
	status_t status = BControl::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (fFieldNavigable)
		archive->ReplaceInt32("_flags", (int32)(Flags() | B_NAVIGABLE));
	archive->AddString("_text", Text());
	archive->AddFloat("_divide", fDivider);
	alignment label, text;
	GetAlignment(&label, &text);
	archive->AddInt32("_a_label", label);
	archive->AddInt32("_a_text", text);
	if (fModificationMessage != NULL)
		archive->AddMessage("_mod_msg", fModificationMessage);
	return B_OK;
}

// ---- Text and messages

void BTextControl::SetText(const char* text)
{
	// One modification message per call, whatever the field had before.
	fText->Edit(false, [&] {
		fText->SetText(text != NULL ? text : "");
		fText->MarkChanged();
	});
}

const char* BTextControl::Text() const
{
	return fText->Text();
}

void BTextControl::SetValue(int32 value)
{
	BControl::SetValue(value);
}

status_t BTextControl::Invoke(BMessage* message)
{
	return BControl::Invoke(message);
}

BTextView* BTextControl::TextView() const
{
	return fText;
}

void BTextControl::SetModificationMessage(BMessage* message)
{
	if (message == fModificationMessage)
		return;
	delete fModificationMessage;
	fModificationMessage = message;
}

BMessage* BTextControl::ModificationMessage() const
{
	return fModificationMessage;
}

void BTextControl::_SendModification()
{
	if (fModificationMessage != NULL)
		Invoke(fModificationMessage);
}

// ---- Layout

void BTextControl::SetAlignment(alignment label, alignment text)
{
	fLabelAlign = label;
	fText->SetAlignment(text);
	Invalidate();
}

void BTextControl::GetAlignment(alignment* label, alignment* text) const
{
	if (label != NULL)
		*label = fLabelAlign;
	if (text != NULL)
		*text = fText->Alignment();
}

void BTextControl::SetDivider(float dividingLine)
{
	fDivider = std::max(0.0f, floorf(dividingLine + 0.5f));
	_LayoutTextView();
	Invalidate();
}

float BTextControl::Divider() const
{
	return fDivider;
}

BRect BTextControl::_FieldFrame() const
{
	BRect bounds = Bounds();
	BRect field(std::min(fDivider, bounds.right), bounds.top, bounds.right, bounds.bottom);
	return field;
}

void BTextControl::_LayoutTextView()
{
	if (fText == NULL)
		return;
	BRect frame = _FieldFrame().InsetByCopy(2, 2);
	if (frame.right < frame.left)
		frame.right = frame.left;
	if (frame.bottom < frame.top)
		frame.bottom = frame.top;
	fText->MoveTo(frame.LeftTop());
	fText->ResizeTo(frame.Width(), frame.Height());
	// The line sits in the middle of the field, a little in from its sides.
	float lineHeight = fText->LineHeight();
	float top = std::max(0.0f, floorf((frame.Height() + 1 - lineHeight) / 2));
	fText->SetTextRect(BRect(2, top, std::max(2.0f, frame.Width() - 2), top + lineHeight - 1));
}

void BTextControl::FrameResized(float width, float height)
{
	BControl::FrameResized(width, height);
	_LayoutTextView();
	Invalidate();
}

void BTextControl::GetPreferredSize(float* width, float* height)
{
	if (width != NULL) {
		float text = std::max(ceilf(fText->LineWidth(0)) + 8, 40.0f);
		*width = std::max(Bounds().Width(), fDivider + text);
	}
	if (height != NULL)
		*height = fText->LineHeight() + 7;
}

void BTextControl::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

// ---- Drawing and input

void BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
	_UpdateFieldColors();
	_LayoutTextView();
}

void BTextControl::_UpdateFieldColors()
{
	// A disabled field sinks into the panel, with greyed text.
	bool enabled = IsEnabled();
	rgb_color field = enabled ? ui_color(B_DOCUMENT_BACKGROUND_COLOR)
		: tint_color(ViewColor(), B_LIGHTEN_1_TINT);
	rgb_color ink = enabled ? ui_color(B_DOCUMENT_TEXT_COLOR)
		: tint_color(ui_color(B_DOCUMENT_TEXT_COLOR), B_DISABLED_LABEL_TINT);
	fText->SetViewColor(field);
	fText->SetLowColor(field);
	fText->SetFontAndColor(NULL, 0, &ink);
}

void BTextControl::Draw(BRect)
{
	bool enabled = IsEnabled();
	rgb_color panel = ViewColor();

	const char* label = Label();
	if (label != NULL && label[0] != '\0') {
		font_height height;
		GetFontHeight(&height);
		float baseline = fText->Frame().top + fText->TextRect().top + ceilf(height.ascent);
		float width = StringWidth(label);
		float room = fDivider - 3;
		float x = 0;
		if (fLabelAlign == B_ALIGN_RIGHT)
			x = std::max(0.0f, room - width);
		else if (fLabelAlign == B_ALIGN_CENTER)
			x = std::max(0.0f, floorf((room - width) / 2));
		SetHighColor(enabled ? ui_color(B_CONTROL_TEXT_COLOR)
			: tint_color(ui_color(B_CONTROL_TEXT_COLOR), B_DISABLED_LABEL_TINT));
		SetLowColor(panel);
		DrawString(label, BPoint(x, baseline));
	}

	// A sunken field: dark above and left, light below and right; the
	// inner frame turns to the navigation colour while the field is typed in.
	BRect field = _FieldFrame();
	if (field.Width() < 2 || field.Height() < 2)
		return;
	BRect inner = field.InsetByCopy(1, 1);
	SetHighColor(fText->ViewColor());
	FillRect(inner.InsetByCopy(1, 1));
	SetHighColor(tint_color(panel, B_DARKEN_1_TINT));
	StrokeLine(field.LeftBottom(), field.LeftTop());
	StrokeLine(field.LeftTop(), field.RightTop());
	SetHighColor(tint_color(panel, B_LIGHTEN_2_TINT));
	StrokeLine(BPoint(field.left + 1, field.bottom), field.RightBottom());
	StrokeLine(field.RightBottom(), BPoint(field.right, field.top + 1));
	bool focused = fText->IsFocus() && Window() != NULL && Window()->IsActive();
	if (focused)
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
	else
		SetHighColor(enabled ? ui_color(B_CONTROL_BORDER_COLOR)
			: tint_color(panel, B_DARKEN_1_TINT));
	StrokeRect(inner);
}

void BTextControl::MouseDown(BPoint where)
{
	// A click on the label puts the caret in the field.
	if (IsEnabled() && !fText->IsFocus())
		fText->MakeFocus(true);
	BControl::MouseDown(where);
}

void BTextControl::MakeFocus(bool focus)
{
	if (focus != fText->IsFocus())
		fText->MakeFocus(focus);
}

void BTextControl::SetEnabled(bool enabled)
{
	if (enabled == IsEnabled())
		return;
	BControl::SetEnabled(enabled);
	if (!enabled && fText->IsFocus())
		fText->MakeFocus(false);
	fText->MakeEditable(enabled);
	fText->MakeSelectable(enabled);
	uint32 flags = fText->Flags() & ~B_NAVIGABLE;
	if (enabled && fFieldNavigable)
		flags |= B_NAVIGABLE;
	fText->SetFlags(flags);
	_UpdateFieldColors();
	fText->Invalidate();
	Invalidate();
}

void BTextControl::SetLabel(const char* label)
{
	BControl::SetLabel(label);
	Invalidate();
}

void BTextControl::WindowActivated(bool active)
{
	BControl::WindowActivated(active);
	Invalidate();
}

void BTextControl::MessageReceived(BMessage* message)
{
	BControl::MessageReceived(message);
}
