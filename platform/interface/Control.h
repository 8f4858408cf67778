// BControl: the base of the views that the user sets (buttons, check
// boxes, text fields ...). A control keeps a value and a label and, as a
// BInvoker, a message that it sends when the user changes it; Invoke() adds
// "when" (int64), "source" (the control, as a pointer) and "be:value"
// (int32) to the copy it sends. Without a target the message goes to the
// control's window.
//
// A disabled control is drawn greyed, ignores the mouse and keys, and is
// left out of keyboard navigation until it is enabled again.
//
// The control owns its label (a copy) and its message. Archive fields:
// "_msg" (the message), "_label", "_val" (int32), "_disable" (bool), plus
// those of BView.
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <Message.h>
#include <View.h>

enum {
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1
};

class BControl : public BView, public BInvoker {
public:
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode, uint32 flags);
	BControl(BMessage* archive);
	virtual ~BControl();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void WindowActivated(bool active);
	virtual void AttachedToWindow();
	virtual void MessageReceived(BMessage* message);
	virtual void MakeFocus(bool focus = true);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);

	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetValue(int32 value);
	int32 Value() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();
	virtual status_t Invoke(BMessage* message = NULL);

protected:
	bool IsFocusChanging() const;
	bool IsTracking() const;
	void SetTracking(bool state);
	void SetValueNoUpdate(int32 value);

private:
	char* fLabel;
	int32 fValue;
	bool fEnabled;
	bool fFocusChanging;
	bool fTracking;
	bool fNavigable;   // B_NAVIGABLE, taken away while disabled
};

#endif
