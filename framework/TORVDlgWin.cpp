#include "framework/TORVDlgWin.h"

#include "framework/TORVDlgView.h"
#include "framework/TSCFilter.h"

#include <Message.h>
#include <Messenger.h>
#include <OS.h>

TORVDlgWin::TORVDlgWin(BRect frame, const char* title, window_type type, uint32 flags,
	uint32 workspaces)
	: TORVWin(frame, title, type, flags, workspaces),
	  fTarget(NULL),
	  fMessage(NULL),
	  fDlgView(NULL)
{
	// Shortcut keys typed into any view come to the window, which passes
	// them to the dialog view.
	AddCommonFilter(new TSCFilter(NULL));
}

TORVDlgWin::~TORVDlgWin()
{
	delete fMessage;
}

void TORVDlgWin::MessageReceived(BMessage* message)
{
	if (message->what == B_KEY_DOWN) {
		KeyDown(message);
		return;
	}
	TORVWin::MessageReceived(message);
}

void TORVDlgWin::Show()
{
	// The window's thread starts with the first Show(); raise it as soon as
	// it exists.
	bool running = Thread() >= 0;
	if (running)
		set_thread_priority(Thread(), B_DISPLAY_PRIORITY);
	TORVWin::Show();
	if (!running && Thread() >= 0)
		set_thread_priority(Thread(), B_DISPLAY_PRIORITY);
}

void TORVDlgWin::Hide()
{
	TORVWin::Hide();
	if (Thread() >= 0)
		set_thread_priority(Thread(), B_LOW_PRIORITY);
}

void TORVDlgWin::AddMainChild(TORVView* view)
{
	fDlgView = dynamic_cast<TORVDlgView*>(view);
	TORVWin::AddMainChild(view);
}

void TORVDlgWin::KeyDown(BMessage* message)
{
	TORVWin::KeyDown(message);
	if (fDlgView == NULL || fDlgView->Window() != this)
		return;
	int32 rawChar = 0;
	int32 key = 0;
	message->FindInt32("raw_char", &rawChar);
	message->FindInt32("key", &key);
	fDlgView->ShortCutDown(rawChar, key);
}

status_t TORVDlgWin::SetMessage(BMessage* message)
{
	if (fDlgView == NULL)
		return B_NO_INIT;
	if (message != fMessage) {
		delete fMessage;
		fMessage = message;
	}
	return B_OK;
}

status_t TORVDlgWin::Invoke(BMessage* message)
{
	if (fTarget == NULL)
		return B_NO_INIT;
	if (message == NULL)
		message = fMessage;
	if (message == NULL)
		return B_BAD_VALUE;
	return BMessenger(fTarget).SendMessage(message, (BHandler*)NULL);
}
