// The window of a BFilePanel. It owns the panel's state (the model, target,
// message, options) so that everything is guarded by the window's lock;
// BFilePanel locks the window and calls in. Its thread runs from the start
// while the window stays hidden, so that any thread may later show it.
#ifndef _PRIVATE_FILE_PANEL_WINDOW_H
#define _PRIVATE_FILE_PANEL_WINDOW_H

#include <FilePanel.h>
#include <Messenger.h>
#include <Window.h>

#include "storage/FilePanelModel.h"

#include <string>

class BButton;
class BTextControl;

namespace BPrivate {

class FilePanelList;
class FilePanelBackground;

class FilePanelWindow : public BWindow {
public:
	FilePanelWindow(BFilePanel* panel, file_panel_mode mode, const BMessenger& target,
		const entry_ref* startDirectory, uint32 flavors, bool multiple,
		const BMessage* message, BRefFilter* filter, bool modal, bool hideWhenDone);
	virtual ~FilePanelWindow();

	// Everything below with the window locked.
	void ShowPanel();
	void HidePanel();
	bool IsShowing() const { return fShowing; }

	file_panel_mode Mode() const { return fMode; }
	FilePanelModel& Model() { return fModel; }
	void SetTarget(const BMessenger& target) { fTarget = target; }
	BMessenger Target() const { return fTarget; }
	void SetMessage(const BMessage* message);
	void SetRefFilter(BRefFilter* filter);
	void SetButtonLabel(file_panel_button button, const char* label);
	void SetHideWhenDone(bool hide) { fHideWhenDone = hide; }
	bool HidesWhenDone() const { return fHideWhenDone; }
	void SetSaveText(const char* text);

	// Shows another folder; an error leaves the panel where it was and says
	// why in the panel.
	status_t GoTo(const char* path);
	status_t GoTo(const entry_ref* ref);
	status_t GoUp();
	void Refresh();

	void Rewind() { fNextSelected = 0; }
	status_t GetNextSelectedRef(entry_ref* ref);

	// From the list.
	void SelectionChanged();
	void OpenItem(int32 index);   // double-click
	void Open();                  // the default button, Enter
	void Cancel();

	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual bool QuitRequested();

	// For tests: the list view.
	FilePanelList* List() const { return fList; }
	const std::string& Status() const { return fStatus; }

private:
	uint32 _What() const;
	void _Send(BMessage* message);
	void _SendSave(const char* name);
	void _SetStatus(const std::string& status);
	void _Updated();
	void _UpdateButtons();

	BFilePanel* fPanel;          // not owned: it owns this window
	file_panel_mode fMode;
	FilePanelModel fModel;
	BMessenger fTarget;
	BMessage* fMessage;          // owned; NULL: the mode's default
	bool fHideWhenDone;
	bool fShowing;
	int32 fNextSelected;
	std::string fStatus;
	std::string fPendingName;    // save: waiting for the replace question

	FilePanelBackground* fBackground;
	FilePanelList* fList;
	BButton* fParentButton;
	BButton* fCancelButton;
	BButton* fDefaultButton;
	BTextControl* fNameField;    // save panels only
};

}

#endif
