#include <FilePanel.h>

#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <Message.h>
#include <Path.h>

#include "storage/FilePanelWindow.h"

using BPrivate::FilePanelWindow;

namespace {

// Locks the panel's window through a messenger, so that a window that has
// gone (with the application) is never touched.
class PanelLock {
public:
	PanelLock(const BMessenger& messenger, FilePanelWindow* window)
		: fWindow(messenger.LockTarget() ? window : NULL) {}
	~PanelLock()
	{
		if (fWindow != NULL)
			fWindow->Unlock();
	}
	bool IsLocked() const { return fWindow != NULL; }

	PanelLock(const PanelLock&) = delete;
	PanelLock& operator=(const PanelLock&) = delete;

private:
	FilePanelWindow* fWindow;
};

}

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target,
	const entry_ref* startDirectory, uint32 nodeFlavors, bool allowMultipleSelection,
	BMessage* message, BRefFilter* filter, bool modal, bool hideWhenDone)
{
	fMode = mode;
	BMessenger messenger = target != NULL ? *target : be_app_messenger;
	fWindow = new FilePanelWindow(this, mode, messenger, startDirectory, nodeFlavors,
		allowMultipleSelection, message, filter, modal, hideWhenDone);
	// The thread runs at once, hidden, so that whichever thread shows the
	// panel later only needs the window's lock.
	fWindowMessenger = BMessenger(fWindow);
	fWindow->Run();
}

BFilePanel::~BFilePanel()
{
	// Gone without a word to the target: a B_CANCEL now would carry a
	// pointer to a panel that no longer exists. The window may have gone
	// already, with the application.
	if (fWindowMessenger.LockTarget())
		fWindow->Quit();
}

void BFilePanel::Show()
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->ShowPanel();
}

void BFilePanel::Hide()
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->HidePanel();
}

bool BFilePanel::IsShowing() const
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return false;
	return fWindow->IsShowing();
}

void BFilePanel::WasHidden()
{
}

void BFilePanel::SelectionChanged()
{
}

void BFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
	if (target != NULL && message != NULL)
		target->SendMessage(message);
}

BWindow* BFilePanel::Window() const
{
	return fWindow;
}

BMessenger BFilePanel::Messenger() const
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return BMessenger();
	return fWindow->Target();
}

BRefFilter* BFilePanel::RefFilter() const
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return NULL;
	return fWindow->Model().RefFilter();
}

file_panel_mode BFilePanel::PanelMode() const
{
	return fMode;
}

void BFilePanel::SetTarget(BMessenger target)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetTarget(target);
}

void BFilePanel::SetMessage(BMessage* message)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetMessage(message);
}

void BFilePanel::SetRefFilter(BRefFilter* filter)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetRefFilter(filter);
}

void BFilePanel::SetSaveText(const char* text)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetSaveText(text);
}

void BFilePanel::SetButtonLabel(file_panel_button button, const char* label)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetButtonLabel(button, label);
}

void BFilePanel::SetHideWhenDone(bool hideWhenDone)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->SetHideWhenDone(hideWhenDone);
}

bool BFilePanel::HidesWhenDone() const
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return false;
	return fWindow->HidesWhenDone();
}

void BFilePanel::SetPanelDirectory(const BEntry* directory)
{
	entry_ref ref;
	if (directory != NULL && directory->GetRef(&ref) == B_OK)
		SetPanelDirectory(&ref);
}

void BFilePanel::SetPanelDirectory(const BDirectory* directory)
{
	if (directory == NULL || directory->InitCheck() != B_OK)
		return;
	SetPanelDirectory(directory->PathName());
}

void BFilePanel::SetPanelDirectory(const entry_ref* directory)
{
	if (directory == NULL)
		return;
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->GoTo(directory);
}

void BFilePanel::SetPanelDirectory(const char* directory)
{
	if (directory == NULL)
		return;
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->GoTo(directory);
}

void BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref == NULL)
		return;
	*ref = entry_ref();
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	if (fWindow->Model().GetFolderRef(ref) != B_OK)
		*ref = entry_ref();
}

void BFilePanel::Refresh()
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->Refresh();
}

void BFilePanel::Rewind()
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return;
	fWindow->Rewind();
}

status_t BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
	PanelLock lock(fWindowMessenger, fWindow);
	if (!lock.IsLocked())
		return B_NO_INIT;
	return fWindow->GetNextSelectedRef(ref);
}
