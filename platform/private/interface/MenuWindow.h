// The borderless window an open menu lives in, above every other window.
//
// The first menu of a session takes the keyboard focus (so Up, Down, Enter
// and Escape reach it); submenus never take it. The window handles the
// pointer and keys itself and hands them to its session, which passes them
// to the right menu; it quits when the session tells it to, after taking its
// menu off (the menu belongs to whoever made it, never to this window).
#ifndef PRIVATE_INTERFACE_MENU_WINDOW_H
#define PRIVATE_INTERFACE_MENU_WINDOW_H

#include <Window.h>

#include <memory>

class BMenu;

namespace BPrivate {

class MenuSession;

class MenuWindow : public BWindow {
public:
	MenuWindow(BRect frame, bool takesFocus);
	virtual ~MenuWindow();

	// Called by the thread that made the window, before it runs.
	void AttachMenu(BMenu* menu, std::shared_ptr<MenuSession> session, int32 level);
	// With the window locked: takes the menu off the window. False when it
	// was not (or no longer) there.
	bool DetachMenu(BMenu* menu);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void WindowActivated(bool active);
	virtual bool QuitRequested();

private:
	BMenu* fMenu;
	std::shared_ptr<MenuSession> fSession;
	int32 fLevel;
};

}

#endif
