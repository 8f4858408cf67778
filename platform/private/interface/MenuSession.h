// One run of open menus: the menu that was opened first, the submenus opened
// from it, and how it ends.
//
// Each open menu sits in a MenuWindow of its own (a window thread of its
// own). Pointer and key events reach the session from any of them, or from
// the view that opened the menus (a menu bar forwards the presses and drags
// it sees); the session finds the open menu under the pointer (the deepest
// one for keys) and hands the event to that menu in its own window's thread,
// by message when the event arrived elsewhere. Windows never lock one
// another: everything between them goes by message, so no thread ever waits
// for another window's lock.
//
// A session ends once: an item is chosen, or it is cancelled (Escape, a
// press outside every open menu, the first menu window losing the focus, the
// menu being deleted). Every menu window then takes its menu off and quits;
// when the last one is gone the session completes in one of three ways:
// - with an owner (a menu bar): the owner gets kMsgMenuDone, with "session"
//   and "item" (pointers), and delivers the item in its own thread;
// - synchronous (BPopUpMenu::Go): Wait() returns the item to the caller;
// - asynchronous: the item is delivered in the last menu window's thread,
//   and the menu is deleted afterwards when it should destroy itself.
// Delivering marks the item in a radio-mode menu and, when asked, invokes
// it.
//
// A menu belongs to at most one session at a time, from the moment it is
// being opened until its window has let go of it; opening it again meanwhile
// fails (and is retried by the next pointer move).
#ifndef PRIVATE_INTERFACE_MENU_SESSION_H
#define PRIVATE_INTERFACE_MENU_SESSION_H

#include <Messenger.h>
#include <Rect.h>

#include <condition_variable>
#include <memory>
#include <vector>

class BMenu;
class BMenuItem;

namespace BPrivate {

class MenuWindow;

enum {
	kMsgMenuClose = '_mcl',
	kMsgMenuPointer = '_mpt',
	kMsgMenuKey = '_mky',
	kMsgMenuDone = '_mdn'
};

struct MenuOptions {
	// The menu's left-top corner on the screen; or, with a valid anchor, the
	// controlling item's screen rectangle: the menu opens below it, or with
	// its marked item over it when overMarked is set.
	BPoint where;
	BRect anchor;
	bool overMarked = false;
	// Invoke the chosen item's message.
	bool deliver = true;
	// The release of the click that opened the menu leaves it open.
	bool sticky = true;
	// A release inside this screen rectangle leaves the menu open too.
	BRect clickToOpen;
	// Where the opening press happened (screen), to tell drags from clicks.
	BPoint start;
	// Select the marked (or the first) item at once: opened by keyboard.
	bool selectMarked = false;
	// Completion: see above. Without an owner and not synchronous, the
	// session is asynchronous.
	BMessenger owner;
	bool synchronous = false;
	bool autoDestruct = false;
	// Where untargeted items send their message (the window the menu was
	// opened from); be_app_messenger when invalid.
	BMessenger home;
};

class MenuSession : public std::enable_shared_from_this<MenuSession> {
public:
	// Opens `root` in a new menu window. NULL when it is already open (or
	// still closing) or has nothing to show.
	static std::shared_ptr<MenuSession> Open(BMenu* root, const MenuOptions& options);

	// Synchronous sessions: blocks until the session completed; the chosen
	// item, or NULL.
	BMenuItem* Wait();

	// Input. `from` is the menu window the event arrived in, or NULL.
	void Pointer(MenuWindow* from, uint32 what, BPoint screenWhere, uint32 buttons);
	void Key(MenuWindow* from, const char* bytes);

	// For the open menus, each from its own window's thread.
	void Choose(BMenuItem* item);
	void Cancel();
	void OpenSubmenu(int32 level, BMenuItem* item, bool selectFirst);
	void CloseAbove(int32 level);
	// Whether a release over an item chooses it now.
	bool ReleaseChooses() const;

	// A menu window has taken its menu off (its own thread).
	void WindowClosed(BMenu* menu);
	// Whether the menu is open, or on its way into or out of a menu window;
	// once this is false no menu window touches it any more.
	static bool IsAttached(BMenu* menu);
	// A menu is being deleted: takes it off its window first.
	static void MenuDeleted(BMenu* menu);

	// Marks the item in a radio-mode menu and, with `invoke`, invokes it.
	void DeliverResult(BMenuItem* item) const;
	bool Delivers() const { return fOptions.deliver; }
	// Sends the item's message with "when", "source" and "index"; without a
	// target of the item's own to `home`, or the menu bar's window, or the
	// application.
	static status_t InvokeItem(BMenuItem* item, BMessage* message, BMessenger home);

	MenuSession() = default;
	~MenuSession();

private:
	struct Level {
		BMenu* menu;
		MenuWindow* window;     // NULL while being made
		BMessenger messenger;
		BRect frame;            // screen
	};

	void _Finish(BMenuItem* item);
	void _OpenWindow(BMenu* menu, int32 level, BRect frame, bool takesFocus);
	void _Complete(BMenuItem* item);
	static void _PostClose(const std::vector<Level>& levels);

	MenuOptions fOptions;
	BMenu* fRoot = nullptr;
	std::vector<Level> fLevels;
	int32 fOpenWindows = 0;
	bool fFinished = false;
	bool fCompleted = false;
	bool fPressedInMenu = false;
	bool fDragged = false;
	BMenuItem* fResult = nullptr;
	std::condition_variable fDone;
};

}

#endif
