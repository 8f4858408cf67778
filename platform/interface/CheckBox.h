// BCheckBox: a box with a label that the user turns on and off. Clicking
// it (press and release over it) or pressing space or Enter while it has
// the focus toggles the value between B_CONTROL_OFF and B_CONTROL_ON and
// invokes.
//
// Ownership and archive fields as for every control.
#ifndef _CHECK_BOX_H
#define _CHECK_BOX_H

#include <Control.h>

class BCheckBox : public BControl {
public:
	BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BCheckBox(BMessage* archive);
	virtual ~BCheckBox();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void Draw(BRect updateRect);
	virtual void AttachedToWindow();
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

private:
	BRect _BoxFrame() const;

	bool fOutlined;   // the mouse holds the box down over it
};

#endif
