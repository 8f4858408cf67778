#include "prefs/TSimpleInputWin.h"

#include "prefs/PrefWinDefs.h"
#include "prefs/TSimpleInputView.h"

#include <Autolock.h>
#include <Message.h>

TSimpleInputWin::TSimpleInputWin(BRect frame, const char* title)
	: TORVDlgWin(frame, title, B_TITLED_WINDOW, B_NOT_RESIZABLE | B_NOT_ZOOMABLE,
		B_CURRENT_WORKSPACE),
	  fView(NULL)
{
	fView = new TSimpleInputView(frame.OffsetToCopy(0, 0));
	ResizeTo(fView->Frame().Width(), fView->Frame().Height());
	AddMainChild(fView);
	SetMessage(new BMessage(kMsgSimpleInputDone));
}

TSimpleInputWin::~TSimpleInputWin()
{
}

void TSimpleInputWin::MessageReceived(BMessage* message)
{
	TORVDlgWin::MessageReceived(message);
}

bool TSimpleInputWin::QuitRequested()
{
	// The close box: the edit is dropped as by Cancel.
	if (CurrentMessage() != NULL)
		fView->ButtonCancelClicked();
	return TORVDlgWin::QuitRequested();
}

void TSimpleInputWin::Appear()
{
	BAutolock lock(this);
	if (!lock.IsLocked())
		return;
	fView->SelectAllData();
	TORVDlgWin::Appear();
}

const char* TSimpleInputWin::Data()
{
	BAutolock lock(this);
	if (!lock.IsLocked())
		return "";
	return fView->Data();
}

void TSimpleInputWin::SetData(const char* text)
{
	BAutolock lock(this);
	if (lock.IsLocked())
		fView->SetData(text);
}

void TSimpleInputWin::SetDataLabel(const char* label)
{
	BAutolock lock(this);
	if (lock.IsLocked())
		fView->SetDataLabel(label);
}

void TSimpleInputWin::SetButtonLabel(file_panel_button which, const char* label)
{
	BAutolock lock(this);
	if (lock.IsLocked())
		fView->SetButtonLabel(which, label);
}
