// TORVView: a view that sorts mouse presses into presses, clicks, double
// clicks and drags, per button, and calls one hook for each.
//
// MouseDown follows the pointer until the buttons change (a click) or the
// pointer has moved more than about 3.16 pixels from the press (a drag),
// polling every 20 ms; it returns only then, so the hooks run in the
// window's thread with the window locked. Every hook gets the position of
// the press in view coordinates and does nothing here.
//
// For a left button:
//   single click  MouseDownLeft, MouseClickLeftSingle
//   double click  MouseDownLeft, MouseClickLeftSingle, MouseClickLeftDouble
//   press + move  MouseDownLeft, MouseDragLeft (once; the hook follows the
//                 mouse itself from there)
// and the same for the right button. A press with both buttons, a third
// click, and a drag that starts on a repeated click call nothing. A press
// whose buttons differ from those of the previous press anywhere in the
// process counts as a first click whatever the platform's click count.
#ifndef FRAMEWORK_TORV_VIEW_H
#define FRAMEWORK_TORV_VIEW_H

#include <View.h>

class TORVView : public BView {
public:
	TORVView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	TORVView(BMessage* archive);
	virtual ~TORVView();

	virtual void MouseClickLeftDouble(BPoint where);
	virtual void MouseClickLeftSingle(BPoint where);
	virtual void MouseClickRightDouble(BPoint where);
	virtual void MouseClickRightSingle(BPoint where);
	virtual void MouseDownLeft(BPoint where);
	virtual void MouseDownRight(BPoint where);
	virtual void MouseDragLeft(BPoint where);
	virtual void MouseDragRight(BPoint where);

	virtual void MouseDown(BPoint where);

	// For tests only: replaces the 20 ms pause between two reads of the
	// pointer while a press is followed (NULL restores snooze(20000)), so a
	// test that queues its mouse messages beforehand needs no real waiting.
	typedef void (*tracking_pause)();
	static void SetTrackingPause(tracking_pause pause);
};

#endif
