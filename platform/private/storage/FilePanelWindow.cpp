#include "storage/FilePanelWindow.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Button.h>
#include <Directory.h>
#include <Entry.h>
#include <Errors.h>
#include <Invoker.h>
#include <Path.h>
#include <Screen.h>
#include <TextControl.h>

#include "storage/FilePanelBackground.h"
#include "storage/FilePanelList.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>

namespace BPrivate {

static const uint32 kMsgParent = '_FPp';
static const uint32 kMsgCancel = '_FPc';
static const uint32 kMsgDefault = '_FPd';
static const uint32 kMsgReplace = '_FPr';   // the answer to "replace it?"

static const float kWidth = 520;
static const float kHeight = 380;
static const float kMargin = 8;
static const float kButtonWidth = 80;

static std::string home_folder()
{
	const char* home = getenv("HOME");
	return home != NULL && home[0] != '\0' ? home : "/";
}

static BRect centred_frame()
{
	BRect screen = BScreen().Frame();
	float left = screen.left + std::max(0.0f, floorf((screen.Width() - kWidth) / 2));
	float top = screen.top + std::max(0.0f, floorf((screen.Height() - kHeight) / 3));
	return BRect(left, top, left + kWidth - 1, top + kHeight - 1);
}

FilePanelWindow::FilePanelWindow(BFilePanel* panel, file_panel_mode mode,
	const BMessenger& target, const entry_ref* startDirectory, uint32 flavors,
	bool multiple, const BMessage* message, BRefFilter* filter, bool modal,
	bool hideWhenDone)
	:
	BWindow(centred_frame(), mode == B_SAVE_PANEL ? "Save" : "Open",
		B_TITLED_WINDOW_LOOK, modal ? B_MODAL_APP_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL,
		B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
	fPanel(panel),
	fMode(mode),
	fModel(flavors, mode == B_OPEN_PANEL && multiple),
	fTarget(target),
	fMessage(message != NULL ? new BMessage(*message) : NULL),
	fHideWhenDone(hideWhenDone),
	fShowing(false),
	fNextSelected(0),
	fNameField(NULL)
{
	SetSizeLimits(320, 32768, 220, 32768);
	fModel.SetRefFilter(filter);

	BRect bounds = Bounds();
	fBackground = new FilePanelBackground(bounds);
	AddChild(fBackground);

	float barTop = bounds.bottom - FilePanelBackground::kBarHeight + 2;
	float buttonTop = barTop + 7;
	float buttonBottom = bounds.bottom - 7;

	fParentButton = new BButton(BRect(kMargin, 7, kMargin + kButtonWidth - 1, 32),
		"parent button", "Parent", new BMessage(kMsgParent));
	fBackground->AddChild(fParentButton);

	BRect listFrame(kMargin, FilePanelBackground::kBarHeight + 6, bounds.right - kMargin,
		barTop - 6);
	fList = new FilePanelList(listFrame, this, &fModel);
	fBackground->AddChild(fList);

	float right = bounds.right - kMargin;
	fDefaultButton = new BButton(BRect(right - kButtonWidth + 1, buttonTop, right,
		buttonBottom), "default button", mode == B_SAVE_PANEL ? "Save" : "Open",
		new BMessage(kMsgDefault), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	right -= kButtonWidth + kMargin;
	fCancelButton = new BButton(BRect(right - kButtonWidth + 1, buttonTop, right,
		buttonBottom), "cancel button", "Cancel", new BMessage(kMsgCancel),
		B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	fBackground->AddChild(fCancelButton);
	fBackground->AddChild(fDefaultButton);
	fDefaultButton->MakeDefault(true);

	if (mode == B_SAVE_PANEL) {
		float fieldRight = right - kButtonWidth - kMargin;
		fNameField = new BTextControl(BRect(kMargin, buttonTop + 1, fieldRight,
			buttonBottom), "text view", "Name:", "", NULL,
			B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
		fNameField->SetDivider(fBackground->StringWidth("Name:") + 8);
		// Enter in the field reaches the default button: the field needs no
		// message of its own.
		fBackground->AddChild(fNameField);
		fNameField->MakeFocus(true);
	} else {
		fList->MakeFocus(true);
	}

	// The start folder, else the home folder, else the root: a panel always
	// shows some folder.
	status_t status = B_NO_INIT;
	if (startDirectory != NULL)
		status = fModel.SetFolder(startDirectory);
	if (status != B_OK)
		status = fModel.SetFolder(home_folder().c_str());
	if (status != B_OK)
		fModel.SetFolder("/");
	_Updated();
}

FilePanelWindow::~FilePanelWindow()
{
	delete fMessage;
}

// ---- Showing and hiding

void FilePanelWindow::ShowPanel()
{
	if (fShowing) {
		Activate();
		return;
	}
	fShowing = true;
	// What changed on the disk while the panel was away shows at once.
	Refresh();
	Show();
}

void FilePanelWindow::HidePanel()
{
	if (!fShowing)
		return;
	fShowing = false;
	Hide();
	// The target hears of every hiding, whatever caused it.
	BMessage cancel(B_CANCEL);
	cancel.AddInt32("old_what", (int32)_What());
	cancel.AddPointer("source", fPanel);
	_Send(&cancel);
	fPanel->WasHidden();
}

bool FilePanelWindow::QuitRequested()
{
	// The close box (a message in this window's thread) hides the panel;
	// the BFilePanel decides when its window goes. The application asks
	// from its own thread when it quits, and then the panel does not hold
	// it up.
	if (find_thread(NULL) != Thread())
		return true;
	HidePanel();
	return false;
}

// ---- Settings

uint32 FilePanelWindow::_What() const
{
	if (fMessage != NULL)
		return fMessage->what;
	return fMode == B_SAVE_PANEL ? (uint32)B_SAVE_REQUESTED : (uint32)B_REFS_RECEIVED;
}

void FilePanelWindow::SetMessage(const BMessage* message)
{
	delete fMessage;
	fMessage = message != NULL ? new BMessage(*message) : NULL;
}

void FilePanelWindow::SetRefFilter(BRefFilter* filter)
{
	fModel.SetRefFilter(filter);
	Refresh();
}

void FilePanelWindow::SetButtonLabel(file_panel_button button, const char* label)
{
	BButton* target = button == B_CANCEL_BUTTON ? fCancelButton : fDefaultButton;
	if (target == NULL || label == NULL)
		return;
	target->SetLabel(label);
	// A longer label widens the button to the left, keeping the row's
	// right edge.
	float width, height;
	target->GetPreferredSize(&width, &height);
	BRect frame = target->Frame();
	float wanted = std::max(kButtonWidth, width);
	if (target == fDefaultButton)
		wanted = std::max(wanted, frame.Width() + 1);
	float grow = wanted - (frame.Width() + 1);
	if (grow > 0) {
		target->ResizeBy(grow, 0);
		target->MoveBy(-grow, 0);
		if (target == fDefaultButton) {
			fCancelButton->MoveBy(-grow, 0);
			if (fNameField != NULL)
				fNameField->ResizeBy(-grow, 0);
		} else if (fNameField != NULL) {
			fNameField->ResizeBy(-grow, 0);
		}
	}
	_UpdateButtons();
}

void FilePanelWindow::SetSaveText(const char* text)
{
	if (fNameField != NULL)
		fNameField->SetText(text != NULL ? text : "");
}

// ---- Folders

status_t FilePanelWindow::GoTo(const char* path)
{
	status_t status = fModel.SetFolder(path);
	if (status != B_OK) {
		_SetStatus(std::string("Cannot open \"") + (path != NULL ? path : "")
			+ "\": " + strerror_status(status));
		return status;
	}
	_SetStatus("");
	_Updated();
	SelectionChanged();
	return B_OK;
}

status_t FilePanelWindow::GoTo(const entry_ref* ref)
{
	BPath path(ref);
	if (path.InitCheck() != B_OK) {
		_SetStatus(std::string("Cannot find the folder: ") + strerror_status(path.InitCheck()));
		return path.InitCheck();
	}
	return GoTo(path.Path());
}

status_t FilePanelWindow::GoUp()
{
	status_t status = fModel.GoUp();
	if (status == B_ENTRY_NOT_FOUND)
		return status;   // at the root already: nothing to say
	if (status != B_OK) {
		_SetStatus(std::string("Cannot open the parent folder: ") + strerror_status(status));
		return status;
	}
	_SetStatus("");
	_Updated();
	SelectionChanged();
	return B_OK;
}

void FilePanelWindow::Refresh()
{
	status_t status = fModel.Reload();
	if (status != B_OK) {
		// The folder went away or became unreadable: go up until one reads.
		std::string path = fModel.FolderPath();
		while (status != B_OK && path.size() > 1) {
			path = path.substr(0, path.find_last_of('/'));
			if (path.empty())
				path = "/";
			status = fModel.SetFolder(path.c_str());
		}
		if (status != B_OK)
			fModel.SetFolder(home_folder().c_str());
	}
	_Updated();
}

void FilePanelWindow::_Updated()
{
	fBackground->SetPath(fModel.FolderPath(), kMargin + fParentButton->Frame().Width() + 12);
	fList->Reset();
	_UpdateButtons();
}

void FilePanelWindow::_SetStatus(const std::string& status)
{
	fStatus = status;
	float right = Bounds().right - fCancelButton->Frame().left + kMargin;
	if (fNameField != NULL)
		right = Bounds().right - fNameField->Frame().left + kMargin;
	fBackground->SetStatus(status, kMargin, right);
}

void FilePanelWindow::_UpdateButtons()
{
	fParentButton->SetEnabled(fModel.FolderPath() != "/");
	if (fMode == B_SAVE_PANEL) {
		fDefaultButton->SetEnabled(true);
		return;
	}
	// Open needs something to open: a selection, or the folder itself when
	// folders may be chosen.
	bool enabled = fModel.CountSelected() > 0 || fModel.AllowsFolders();
	fDefaultButton->SetEnabled(enabled);
}

// ---- Selection

void FilePanelWindow::SelectionChanged()
{
	fNextSelected = 0;
	_UpdateButtons();
	if (fMode == B_SAVE_PANEL && fNameField != NULL) {
		// Choosing a file in a save panel takes its name.
		int32 index = fModel.FirstSelected();
		const PanelEntry* item = fModel.ItemAt(index);
		if (item != NULL && !item->isFolder)
			fNameField->SetText(item->name.c_str());
	}
	if (fMode == B_OPEN_PANEL) {
		int32 count = fModel.CountSelected();
		_SetStatus(count > 1 ? std::to_string(count) + " items selected" : "");
	}
	fPanel->SelectionChanged();
}

status_t FilePanelWindow::GetNextSelectedRef(entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	std::vector<entry_ref> refs = fModel.SelectedRefs();
	if (fNextSelected < 0 || fNextSelected >= (int32)refs.size())
		return B_ENTRY_NOT_FOUND;
	*ref = refs[fNextSelected++];
	return B_OK;
}

// ---- Opening

void FilePanelWindow::OpenItem(int32 index)
{
	const PanelEntry* item = fModel.ItemAt(index);
	if (item == NULL)
		return;
	if (item->isFolder) {
		BPath path(&item->ref);
		if (path.InitCheck() == B_OK)
			GoTo(path.Path());
		return;
	}
	if (fMode == B_SAVE_PANEL) {
		fNameField->SetText(item->name.c_str());
		Open();
		return;
	}
	if (item->sendable) {
		fModel.Select(index);
		Open();
	}
}

void FilePanelWindow::Open()
{
	if (fMode == B_SAVE_PANEL) {
		_SendSave(fNameField->Text());
		return;
	}
	std::vector<entry_ref> refs = fModel.SelectedRefs();
	if (refs.empty()) {
		int32 index = fModel.FirstSelected();
		const PanelEntry* item = fModel.ItemAt(index);
		if (item != NULL && item->isFolder && fModel.CountSelected() == 1) {
			// A folder that cannot be chosen is gone into.
			OpenItem(index);
			return;
		}
		entry_ref folder;
		if (!fModel.AllowsFolders() || fModel.GetFolderRef(&folder) != B_OK)
			return;
		refs.push_back(folder);
	}
	BMessage message(_What());
	if (fMessage != NULL)
		message = *fMessage;
	for (const entry_ref& ref : refs)
		message.AddRef("refs", &ref);
	_Send(&message);
	if (fHideWhenDone)
		HidePanel();
}

void FilePanelWindow::_SendSave(const char* name)
{
	if (name == NULL || name[0] == '\0') {
		_SetStatus("Type a name for the file");
		return;
	}
	if (strchr(name, '/') != NULL || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) {
		_SetStatus(std::string("\"") + name + "\" cannot be a file name");
		return;
	}
	std::string path = fModel.FolderPath();
	path += path == "/" ? "" : "/";
	path += name;
	struct stat st;
	if (stat(path.c_str(), &st) == 0) {
		if (S_ISDIR(st.st_mode)) {
			GoTo(path.c_str());
			return;
		}
		if (fPendingName != name) {
			// Nothing is overwritten without asking.
			fPendingName = name;
			BAlert* alert = new BAlert("Save",
				(std::string("A file named \"") + name + "\" already exists. Replace it?").c_str(),
				"Cancel", "Replace", NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
			alert->SetShortcut(0, B_ESCAPE);
			alert->Go(new BInvoker(new BMessage(kMsgReplace), this));
			return;
		}
	}
	fPendingName.clear();
	entry_ref folder;
	if (fModel.GetFolderRef(&folder) != B_OK) {
		_SetStatus("The folder cannot be found any more");
		return;
	}
	BMessage message(_What());
	if (fMessage != NULL)
		message = *fMessage;
	message.AddRef("directory", &folder);
	message.AddString("name", name);
	_Send(&message);
	if (fHideWhenDone)
		HidePanel();
}

void FilePanelWindow::Cancel()
{
	HidePanel();
}

void FilePanelWindow::_Send(BMessage* message)
{
	fPanel->SendMessage(&fTarget, message);
}

// ---- Messages

void FilePanelWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message != NULL && message->what == B_KEY_DOWN) {
		const char* bytes = NULL;
		if (message->FindString("bytes", &bytes) == B_OK && bytes != NULL
			&& bytes[0] == B_ESCAPE && bytes[1] == '\0') {
			Cancel();
			return;
		}
	}
	BWindow::DispatchMessage(message, handler);
}

void FilePanelWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgParent:
			GoUp();
			return;
		case kMsgCancel:
			Cancel();
			return;
		case kMsgDefault:
			Open();
			return;
		case kMsgReplace:
		{
			int32 which = 0;
			std::string name = fPendingName;
			if (message->FindInt32("which", &which) == B_OK && which == 1
				&& fNameField != NULL && name == fNameField->Text()) {
				_SendSave(name.c_str());
			} else {
				fPendingName.clear();
			}
			return;
		}
		default:
			BWindow::MessageReceived(message);
			return;
	}
}

}
