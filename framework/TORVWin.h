// TORVWin: the window every window of the displayer derives from.
//
// A BWindow with one main view, hidden (not destroyed) when the user clicks
// its close box, placed on the screen with SetPos, and with key messages
// that reach the window itself passed on to the main view.
//
// Ownership. The main child is a view of the window once added, so the
// window owns and deletes it as every child view; the window keeps only the
// pointer. The window is destroyed when its owner quits it in code
// (Lock(); Quit();), never by the close box.
#ifndef FRAMEWORK_TORV_WIN_H
#define FRAMEWORK_TORV_WIN_H

#include <Window.h>

class TORVView;

class TORVWin : public BWindow {
public:
	// As BWindow's; B_ASYNCHRONOUS_CONTROLS is always added to `flags`.
	TORVWin(BRect frame, const char* title, window_look look, window_feel feel,
		uint32 flags, uint32 workspaces = B_CURRENT_WORKSPACE);
	TORVWin(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspaces = B_CURRENT_WORKSPACE);
	virtual ~TORVWin();

	// Remembers `view` as the main child and adds it to the window, which
	// then owns it. NULL forgets the main child (before removing it).
	virtual void AddMainChild(TORVView* view);
	// Brings the window up: shows it when hidden, else activates it.
	virtual void Appear();
	// A key message that reached the window itself: handed to the main
	// child, when there is one.
	virtual void KeyDown(BMessage* message);
	// Called when a workspace is activated; does nothing and returns true
	// here. Derived windows set their title as the desk bar shows it.
	virtual bool SetDeskBarTitle();

	virtual void MessageReceived(BMessage* message);
	// True when the window is quit in code (no current message); when the
	// user closes it, the window hides instead and the answer is false.
	virtual bool QuitRequested();
	virtual void WorkspaceActivated(int32 workspace, bool active);
	// Key presses: one that a TSCFilter of this window sent to the window,
	// or that arrives while no view has the focus, reaches MessageReceived
	// (and so KeyDown); one sent to a particular view goes to that view's
	// KeyDown; the rest go to the focus view as usual. Derived windows that
	// override it pass what they do not handle on to this one.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	// Moves the window to `point` kept 5 pixels inside the right and bottom
	// edges of the main screen and not above or left of its origin
	// (use_point true), or to the centre of the screen (use_point false).
	// Returns the new left-top corner.
	BPoint SetPos(bool use_point, BPoint point);

	TORVView* MainChild() const { return fMainChild; }

private:
	bool _RedirectedHere(const BMessage* message) const;

	TORVView* fMainChild;   // a child of the window; not owned separately
};

#endif
