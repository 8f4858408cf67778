#include "interface/MenuWindow.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>

#include "interface/MenuSession.h"

namespace BPrivate {

MenuWindow::MenuWindow(BRect frame, bool takesFocus)
	:
	BWindow(frame, "menu", B_NO_BORDER_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL,
		B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE
			| B_NOT_RESIZABLE | B_WILL_ACCEPT_FIRST_CLICK
			| (takesFocus ? 0 : B_AVOID_FOCUS)),
	fMenu(NULL),
	fLevel(0)
{
}

MenuWindow::~MenuWindow()
{
	// A menu still here (the window went without being told to close) is
	// taken off, so the window's destructor never deletes it.
	if (fMenu != NULL) {
		BMenu* menu = fMenu;
		std::shared_ptr<MenuSession> session = fSession;
		DetachMenu(menu);
		if (session != nullptr)
			session->WindowClosed(menu);
	}
}

void MenuWindow::AttachMenu(BMenu* menu, std::shared_ptr<MenuSession> session,
	int32 level)
{
	fMenu = menu;
	fSession = std::move(session);
	fLevel = level;
	menu->MoveTo(0, 0);
	menu->ResizeTo(Bounds().Width(), Bounds().Height());
	AddChild(menu);
}

bool MenuWindow::DetachMenu(BMenu* menu)
{
	if (menu == NULL || fMenu != menu)
		return false;
	fMenu = NULL;
	if (BMenuItem* selected = menu->fSelected)
		selected->fSelected = false;
	menu->fSelected = NULL;
	menu->fSession.reset();
	menu->fLevel = -1;
	RemoveChild(menu);
	return true;
}

void MenuWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
		{
			std::shared_ptr<MenuSession> session = fSession;
			if (fMenu == NULL || session == nullptr)
				return;
			bool exited = false;
			if (message->FindBool("be:window_exited", &exited) == B_OK && exited)
				return;
			BPoint screen;
			if (message->FindPoint("screen_where", &screen) != B_OK) {
				BPoint where;
				if (message->FindPoint("where", &where) != B_OK)
					return;
				screen = ConvertToScreen(where);
			}
			int32 buttons = 0;
			message->FindInt32("buttons", &buttons);
			session->Pointer(this, message->what, screen, (uint32)buttons);
			return;
		}
		case B_KEY_DOWN:
		{
			std::shared_ptr<MenuSession> session = fSession;
			const char* bytes = NULL;
			if (fMenu != NULL && session != nullptr
				&& message->FindString("bytes", &bytes) == B_OK) {
				session->Key(this, bytes);
			}
			return;
		}
		case kMsgMenuPointer:
		{
			int32 what = 0;
			BPoint where;
			int32 buttons = 0;
			message->FindInt32("what", &what);
			message->FindPoint("where", &where);
			message->FindInt32("buttons", &buttons);
			if (fMenu != NULL)
				fMenu->_TrackPointer((uint32)what, where, (uint32)buttons);
			return;
		}
		case kMsgMenuKey:
		{
			const char* bytes = NULL;
			if (fMenu != NULL && message->FindString("bytes", &bytes) == B_OK)
				fMenu->_TrackKey(bytes);
			return;
		}
		case kMsgMenuClose:
		{
			BMenu* menu = fMenu;
			std::shared_ptr<MenuSession> session = fSession;
			fSession.reset();
			if (menu != NULL && DetachMenu(menu) && session != nullptr)
				session->WindowClosed(menu);
			Quit();
			return;
		}
		default:
			break;
	}
	BWindow::DispatchMessage(message, handler);
}

void MenuWindow::WindowActivated(bool active)
{
	// Another window took the focus: the user went elsewhere.
	if (!active && fLevel == 0 && fSession != nullptr)
		fSession->Cancel();
}

// Asked when the application quits: the menus close without a choice, and
// this window may go at once (its destructor lets go of the menu).
bool MenuWindow::QuitRequested()
{
	if (fSession != nullptr)
		fSession->Cancel();
	return true;
}

}
