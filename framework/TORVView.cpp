#include "framework/TORVView.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

#include <atomic>

namespace {

// The buttons of the previous press in any view of the process. Only
// whether a press counts as a repeated click depends on it, so windows'
// threads share it without a lock.
std::atomic<int32> sPreviousButtons{0};

// The pause between two reads of the pointer while a press is followed.
std::atomic<TORVView::tracking_pause> sTrackingPause{nullptr};

// A press becomes a drag once the pointer is more than this (squared
// distance, so about 3.16 pixels) from where it went down.
const float kDragDistanceSquared = 10.0f;
const bigtime_t kTrackingStep = 20000;

void pause_tracking()
{
	TORVView::tracking_pause pause = sTrackingPause.load();
	if (pause != nullptr)
		pause();
	else
		snooze(kTrackingStep);
}

}

TORVView::TORVView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags)
{
}

TORVView::TORVView(BMessage* archive)
	: BView(archive)
{
}

TORVView::~TORVView()
{
}

void TORVView::MouseClickLeftDouble(BPoint) {}
void TORVView::MouseClickLeftSingle(BPoint) {}
void TORVView::MouseClickRightDouble(BPoint) {}
void TORVView::MouseClickRightSingle(BPoint) {}
void TORVView::MouseDownLeft(BPoint) {}
void TORVView::MouseDownRight(BPoint) {}
void TORVView::MouseDragLeft(BPoint) {}
void TORVView::MouseDragRight(BPoint) {}

void TORVView::SetTrackingPause(tracking_pause pause)
{
	sTrackingPause.store(pause);
}

void TORVView::MouseDown(BPoint where)
{
	int32 buttons = 0;
	int32 clicks = 1;
	BMessage* current = Window() != NULL ? Window()->CurrentMessage() : NULL;
	if (current != NULL) {
		current->FindInt32("buttons", &buttons);
		current->FindInt32("clicks", &clicks);
		current->FindPoint("where", &where);
	} else {
		// Called from code rather than for a press: take the buttons held now.
		uint32 held = 0;
		GetMouse(NULL, &held, false);
		buttons = (int32)held;
	}

	// Another button than last time starts a new series of clicks, whatever
	// the platform counted.
	if (buttons != sPreviousButtons.load())
		clicks = 1;

	if (clicks % 2 == 1) {
		if (buttons == B_PRIMARY_MOUSE_BUTTON)
			MouseDownLeft(where);
		else if (buttons == B_SECONDARY_MOUSE_BUTTON)
			MouseDownRight(where);
	}

	// Follow the pointer until the buttons change (a click) or it has moved
	// away from the press (a drag). The queued mouse messages are read
	// first, so nothing the user did meanwhile is missed.
	bool drag = false;
	for (;;) {
		BPoint now;
		uint32 held = 0;
		GetMouse(&now, &held, true);
		float dx = now.x - where.x;
		float dy = now.y - where.y;
		if (dx * dx + dy * dy > kDragDistanceSquared) {
			drag = true;
			break;
		}
		if ((int32)held != buttons)
			break;
		pause_tracking();
	}

	if (drag) {
		if (clicks == 1) {
			if (buttons == B_PRIMARY_MOUSE_BUTTON)
				MouseDragLeft(where);
			else if (buttons == B_SECONDARY_MOUSE_BUTTON)
				MouseDragRight(where);
		}
	} else if (clicks == 1) {
		if (buttons == B_PRIMARY_MOUSE_BUTTON)
			MouseClickLeftSingle(where);
		else if (buttons == B_SECONDARY_MOUSE_BUTTON)
			MouseClickRightSingle(where);
	} else if (clicks == 2) {
		if (buttons == B_PRIMARY_MOUSE_BUTTON)
			MouseClickLeftDouble(where);
		else if (buttons == B_SECONDARY_MOUSE_BUTTON)
			MouseClickRightDouble(where);
	}

	sPreviousButtons.store(buttons);
}
