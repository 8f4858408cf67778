// BFilePanel: the open (and save) panel, a window that lists a folder and
// lets the user pick entries of it.
//
// The open panel lists the folder (sorted by name, numbers by their value,
// folders first; names
// beginning with a dot are Linux's hidden files and are left out), moves
// into a folder on a double-click, goes up with its parent button or
// Backspace, and selects with the mouse (Shift extends, Control toggles
// when multiple selection is allowed) and the arrow keys. Its default
// button sends a copy of the panel's message (B_REFS_RECEIVED unless
// another was set) with one entry_ref "refs" per selected entry to the
// target (be_app_messenger unless another was set). Entries of a kind that
// the node flavors do not allow are shown greyed and cannot be chosen;
// folders can always be entered. Symbolic links count as what they point
// to and their target is sent, unless B_SYMLINK_NODE is among the flavors:
// then the link itself is sent.
//
// The save panel has a name field; its default button sends the message
// (B_SAVE_REQUESTED unless another was set) with the folder as the
// entry_ref "directory" and the name as the string "name", after asking
// before an existing file is replaced.
//
// Every time the panel hides — cancelled, closed, hidden by the program, or
// after sending its message when it hides when done — it sends B_CANCEL to
// the target with "old_what" (int32, the what of the panel's message) and
// "source" (pointer, this BFilePanel). It does not when it is deleted.
//
// Threads: the panel's state lives in its window and every call locks the
// window, so the panel may be driven from any thread. The hooks
// (SelectionChanged, WasHidden, SendMessage) run in the window's thread.
//
// Ownership: the panel owns its window (deleting the panel quits it) and its
// message; the ref filter stays the caller's and must outlive the panel.
// The close box only hides the panel; when the application quits, the
// panel's window goes with the others, and the BFilePanel, left without a
// window, does nothing from then on but may still be deleted.
#ifndef _FILE_PANEL_H
#define _FILE_PANEL_H

#include <Entry.h>
#include <Messenger.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>

class BDirectory;
class BEntry;
class BMessage;
class BNode;
class BWindow;

namespace BPrivate {
class FilePanelWindow;
}

enum file_panel_mode {
	B_OPEN_PANEL,
	B_SAVE_PANEL
};

enum file_panel_button {
	B_CANCEL_BUTTON,
	B_DEFAULT_BUTTON
};

// Decides which entries the panel lists. Called in the panel's thread for
// each entry, folders included, with the entry's stat (of the link itself
// for a symbolic link) and its MIME type ("" when it has none).
class BRefFilter {
public:
	virtual ~BRefFilter() {}
	virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* st,
		const char* mimeType) = 0;
};

class BFilePanel {
public:
	// node_flavors 0 means B_FILE_NODE. Without a start folder the panel
	// shows the home folder; a start folder that cannot be read falls back
	// to the home folder too.
	BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = NULL,
		const entry_ref* startDirectory = NULL, uint32 nodeFlavors = 0,
		bool allowMultipleSelection = true, BMessage* message = NULL,
		BRefFilter* filter = NULL, bool modal = false, bool hideWhenDone = true);
	virtual ~BFilePanel();

	void Show();
	void Hide();
	bool IsShowing() const;

	// Hooks, called in the panel's thread.
	virtual void WasHidden();
	virtual void SelectionChanged();
	// Sends the panel's notifications; the default sends `message` to
	// `target`.
	virtual void SendMessage(const BMessenger* target, BMessage* message);

	BWindow* Window() const;
	BMessenger Messenger() const;
	BRefFilter* RefFilter() const;
	file_panel_mode PanelMode() const;

	void SetTarget(BMessenger target);
	// Copies `message`; NULL goes back to the mode's default message.
	void SetMessage(BMessage* message);
	void SetRefFilter(BRefFilter* filter);
	void SetSaveText(const char* text);
	void SetButtonLabel(file_panel_button button, const char* label);
	void SetHideWhenDone(bool hideWhenDone);
	bool HidesWhenDone() const;

	// A folder that cannot be read leaves the panel where it was.
	void SetPanelDirectory(const BEntry* directory);
	void SetPanelDirectory(const BDirectory* directory);
	void SetPanelDirectory(const entry_ref* directory);
	void SetPanelDirectory(const char* directory);
	void GetPanelDirectory(entry_ref* ref) const;

	// Lists the folder again.
	void Refresh();

	// The selected entries, in the order they are listed.
	void Rewind();
	// B_ENTRY_NOT_FOUND after the last one.
	status_t GetNextSelectedRef(entry_ref* ref);

	BFilePanel(const BFilePanel&) = delete;
	BFilePanel& operator=(const BFilePanel&) = delete;

private:
	BPrivate::FilePanelWindow* fWindow;   // owned; quit by the destructor
	BMessenger fWindowMessenger;          // tells whether the window is still there
	file_panel_mode fMode;
};

#endif
