// BTextControl: a label and a one-line editable text field.
//
// The label sits left of the divider; the field fills the rest of the
// control and is a BTextView child (TextView()) that takes the focus for the
// control: the text view, not the control, is in the Tab order.
//
// Messages. The modification message (SetModificationMessage) is sent on
// every change of the text: each typed character, each deletion, cut and
// paste, and each SetText() call, even one that sets the same text, so that
// code setting the text hears about it the way it hears about the user. The
// invocation message (SetMessage) is sent when Enter is pressed in the field,
// and when the field loses the focus after the user changed the text. Enter
// then goes on to BView::KeyDown, so that the window's default button is
// pressed as well. Both messages carry "when", "source" and "be:value" as
// every control's invocation does.
//
// The field takes no line feeds: line breaks in pasted or inserted text
// become spaces.
//
// Ownership. The control owns its label, its messages and its text view.
// Archive fields: "_label", "_msg", "_val", "_disable" (BControl), "_text",
// "_divide" (float), "_a_label" and "_a_text" (the alignments, int32),
// "_mod_msg", plus those of BView; the text view is archived as the child
// "_input_".
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include <Control.h>

class BTextView;

namespace BPrivate {
class TextInput;
}

class BTextControl : public BControl {
public:
	BTextControl(BRect frame, const char* name, const char* label, const char* text,
		BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BTextControl(BMessage* archive);
	virtual ~BTextControl();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void SetText(const char* text);
	const char* Text() const;
	virtual void SetValue(int32 value);
	virtual status_t Invoke(BMessage* message = NULL);

	BTextView* TextView() const;

	virtual void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const;

	virtual void SetAlignment(alignment label, alignment text);
	void GetAlignment(alignment* label, alignment* text) const;
	// The x coordinate (in the control) where the field begins.
	virtual void SetDivider(float dividingLine);
	float Divider() const;

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void AttachedToWindow();
	virtual void MakeFocus(bool focus = true);
	virtual void SetEnabled(bool enabled);
	virtual void SetLabel(const char* label);
	virtual void FrameResized(float width, float height);
	virtual void WindowActivated(bool active);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();
	virtual void MessageReceived(BMessage* message);

private:
	friend class BPrivate::TextInput;

	void _Init(const char* text, uint32 flags);
	BRect _FieldFrame() const;
	void _LayoutTextView();
	void _UpdateFieldColors();
	void _SendModification();

	BPrivate::TextInput* fText;     // owned, as a child
	BMessage* fModificationMessage; // owned
	alignment fLabelAlign;
	float fDivider;
	bool fFieldNavigable;           // the field is in the Tab order when enabled
};

#endif
