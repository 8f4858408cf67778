#include "framework/TORVWin.h"

#include "framework/TORVView.h"
#include "framework/TSCFilter.h"

#include <InterfaceDefs.h>
#include <List.h>
#include <Message.h>
#include <Screen.h>

#include <cstring>

TORVWin::TORVWin(BRect frame, const char* title, window_look look, window_feel feel,
	uint32 flags, uint32 workspaces)
	: BWindow(frame, title, look, feel, flags | B_ASYNCHRONOUS_CONTROLS, workspaces),
	  fMainChild(NULL)
{
}

TORVWin::TORVWin(BRect frame, const char* title, window_type type, uint32 flags,
	uint32 workspaces)
	: BWindow(frame, title, type, flags | B_ASYNCHRONOUS_CONTROLS, workspaces),
	  fMainChild(NULL)
{
}

TORVWin::~TORVWin()
{
}

void TORVWin::AddMainChild(TORVView* view)
{
	fMainChild = view;
	if (view != NULL)
		AddChild(view);
}

void TORVWin::Appear()
{
	if (IsHidden())
		Show();
	else
		Activate(true);
}

void TORVWin::KeyDown(BMessage* message)
{
	if (fMainChild != NULL && fMainChild->Window() == this)
		DispatchMessage(message, fMainChild);
}

bool TORVWin::SetDeskBarTitle()
{
	return true;
}

void TORVWin::MessageReceived(BMessage* message)
{
	if (message->what == B_KEY_DOWN) {
		KeyDown(message);
		return;
	}
	BWindow::MessageReceived(message);
}

bool TORVWin::QuitRequested()
{
	// Quitting in code (the application asking every window, or the owner)
	// happens outside the window's own message loop, so there is no current
	// message; a close box click arrives as the current message.
	if (CurrentMessage() == NULL)
		return true;
	if (!IsHidden())
		Hide();
	return false;
}

void TORVWin::WorkspaceActivated(int32, bool)
{
	SetDeskBarTitle();
}

[[gnu::hot]] void TORVWin::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || message->what != B_KEY_DOWN || handler == NULL) {
		BWindow::DispatchMessage(message, handler);
		return;
	}

	if (handler == this) {
		// The window answers Command shortcuts itself; leave those to it.
		int32 modifiers = 0;
		message->FindInt32("modifiers", &modifiers);
		if ((modifiers & B_COMMAND_KEY) == 0
			&& (CurrentFocus() == NULL || _RedirectedHere(message))) {
			BLooper::DispatchMessage(message, this);
			return;
		}
		BWindow::DispatchMessage(message, handler);
		return;
	}

	if (BView* view = dynamic_cast<BView*>(handler)) {
		if (view->Window() != this)
			return;
		if (view == CurrentFocus()) {
			BWindow::DispatchMessage(message, handler);
			return;
		}
		const char* bytes = NULL;
		if (message->FindString("bytes", &bytes) != B_OK || bytes == NULL)
			bytes = "";
		view->KeyDown(bytes, (int32)strlen(bytes));
		return;
	}

	if (handler->Looper() == this)
		BLooper::DispatchMessage(message, handler);
}

// Whether one of this window's shortcut filters sent the key to the window.
bool TORVWin::_RedirectedHere(const BMessage* message) const
{
	if (!TSCFilter::IsShortcutKey(message))
		return false;
	BList* lists[2] = { CommonFilterList(), const_cast<TORVWin*>(this)->FilterList() };
	for (BList* filters : lists) {
		if (filters == NULL)
			continue;
		for (int32 i = 0; i < filters->CountItems(); i++) {
			TSCFilter* filter = dynamic_cast<TSCFilter*>(
				static_cast<BMessageFilter*>(filters->ItemAt(i)));
			if (filter != NULL && (filter->Target() == NULL || filter->Target() == this))
				return true;
		}
	}
	return false;
}

BPoint TORVWin::SetPos(bool use_point, BPoint point)
{
	BRect screen = BScreen(this).Frame();
	BRect bounds = Bounds();
	float width = bounds.right;
	float height = bounds.bottom;

	BPoint leftTop;
	if (use_point) {
		leftTop = point;
		if (leftTop.x + width > screen.right - 5)
			leftTop.x = screen.right - width - 5;
		if (leftTop.y + height > screen.bottom - 5)
			leftTop.y = screen.bottom - height - 5;
		if (leftTop.x < 0)
			leftTop.x = 0;
		if (leftTop.y < 0)
			leftTop.y = 0;
	} else {
		leftTop.x = (screen.right - width) * 0.5f;
		leftTop.y = (screen.bottom - height) * 0.5f;
	}
	MoveTo(leftTop);
	return leftTop;
}
