// BAlert: a small modal window with a message, an icon for the kind of
// alert, and up to three buttons.
//
// Buttons are indexed 0 to 2 from left to right; the rightmost one is the
// default button and answers Enter. SetShortcut() gives a button a key of
// its own: B_ESCAPE for a Cancel button, or a letter (pressed without
// Command; upper and lower case are the same key). The window is centred on
// the screen and sized to its text, which is word-wrapped (between words, or
// between characters where a script has no blanks) and kept in lines the
// alert draws itself: TextView() returns NULL.
//
// Go() shows the alert and blocks the calling thread until a button is
// pressed, then returns its index (-1 when the alert was quit without one).
// Called from a window's thread, that window handles no messages meanwhile,
// but it is still redrawn. Go(BInvoker*) returns at once; the button later
// sends the invoker's message with "which" (int32, the index) added.
//
// Ownership: BAlert is made with new and deletes itself once a button was
// pressed, after either Go(). Go(BInvoker*) takes the invoker (made with
// new) and deletes it with the alert. Go() must be called by the thread
// that made the alert, as Show() must for any window.
#ifndef _ALERT_H
#define _ALERT_H

#include <Window.h>

class BButton;
class BInvoker;
class BTextView;

namespace BPrivate {
class AlertView;
}

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT
};

enum button_spacing {
	B_EVEN_SPACING = 0,
	B_OFFSET_SPACING
};

// How wide the buttons are: at least the usual width (and wider for a long
// label), all as wide as the widest label, or each as wide as its own.
enum button_width {
	B_WIDTH_AS_USUAL,
	B_WIDTH_FROM_WIDEST,
	B_WIDTH_FROM_LABEL
};

class BAlert : public BWindow {
public:
	BAlert(const char* title, const char* text, const char* button0,
		const char* button1 = NULL, const char* button2 = NULL,
		button_width width = B_WIDTH_AS_USUAL, alert_type type = B_INFO_ALERT);
	BAlert(const char* title, const char* text, const char* button0,
		const char* button1, const char* button2, button_width width,
		button_spacing spacing, alert_type type = B_INFO_ALERT);
	virtual ~BAlert();

	// A key for the button at `index`; 0 takes it away. Keys are matched
	// without regard to case.
	void SetShortcut(int32 index, char key);
	char Shortcut(int32 index) const;

	int32 Go();
	status_t Go(BInvoker* invoker);

	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual bool QuitRequested();
	virtual void Quit();

	// NULL when there is no such button.
	BButton* ButtonAt(int32 index) const;
	// The alert draws its own text: always NULL.
	BTextView* TextView() const;
	alert_type Type() const { return fType; }
	// The text as it was given.
	const char* Text() const;

	// Where an alert of this size goes: the centre of the screen.
	static BPoint AlertPosition(float width, float height);

private:
	void _Init(const char* text, const char* button0, const char* button1,
		const char* button2, button_width width, button_spacing spacing,
		alert_type type);
	void _Layout();
	void _Pressed(int32 index);
	int32 _ButtonForKey(const char* bytes) const;

	BPrivate::AlertView* fView;     // the window's only child
	BButton* fButtons[3];           // children of fView
	char fKeys[3];
	int32 fButtonCount;
	button_width fWidthMode;
	button_spacing fSpacing;
	alert_type fType;
	char* fText;

	// Set by Go(): the waiting thread's semaphore and where the answer goes.
	sem_id fWaitSem;
	int32* fResult;
	BInvoker* fInvoker;             // owned
	bool fDone;
};

#endif
