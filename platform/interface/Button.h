// BButton: a push button that invokes its message when clicked, or when
// Enter (or space) is pressed while it has the focus. The window's default
// button also takes Enter pressed in any view that does not use it, and is
// drawn with a heavier frame.
//
// Becoming the default button grows the button by 3 pixels on every side
// for the heavier frame (and it shrinks back when it stops being default).
// A button is pressed (value 1) while the mouse holds it over the button;
// released over it, it invokes; dragged off, it lets go of the press.
// Archive: those of BControl, and "_default" (bool) for the default button.
//
// Ownership as for every control: the button owns its message.
#ifndef _BUTTON_H
#define _BUTTON_H

#include <Control.h>

class BButton : public BControl {
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BButton(BMessage* archive);
	virtual ~BButton();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void MakeFocus(bool focus = true);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();
	virtual status_t Invoke(BMessage* message = NULL);
	virtual void SetLabel(const char* label);

	// Makes this button the window's default button (or no longer). The
	// window keeps the answer: IsDefault() asks it.
	virtual void MakeDefault(bool flag);
	bool IsDefault() const;

private:
	bool fTracking;      // the mouse went down on the button
	bool fGrown;         // enlarged to hold the default button's frame
	bool fWantsDefault;  // MakeDefault(true) before the button had a window
};

#endif
