// BRadioButton: one choice of a group. The group is the radio buttons that
// share a parent view: turning one on (by a click, space or Enter, or
// SetValue) turns the others off. Other kinds of siblings are left alone.
// A click on the button that is already on invokes again without changing
// anything. The arrow keys move the choice to the previous or next button
// of the group, as a click would.
//
// Ownership and archive fields as for every control.
#ifndef _RADIO_BUTTON_H
#define _RADIO_BUTTON_H

#include <Control.h>

class BRadioButton : public BControl {
public:
	BRadioButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BRadioButton(BMessage* archive);
	virtual ~BRadioButton();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void SetValue(int32 value);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

private:
	BRect _DotFrame() const;
	BRadioButton* _Neighbour(bool next) const;

	bool fOutlined;   // the mouse holds the button down over it
};

#endif
