// What a file panel shows: one folder's entries, sorted, and which of them
// are selected. No drawing and no locking: the panel's window owns one and
// uses it with the window locked.
#ifndef _PRIVATE_FILE_PANEL_MODEL_H
#define _PRIVATE_FILE_PANEL_MODEL_H

#include <Entry.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

class BRefFilter;

namespace BPrivate {

struct PanelEntry {
	entry_ref ref;          // the entry as listed (a link is the link)
	entry_ref target;       // what is sent for it: the link's target, or ref
	std::string name;
	bool isFolder;          // a folder, or a link to one
	bool isLink;
	bool sendable;          // of a kind the panel may send
	bool selected;

	// Folders can be selected even where they cannot be sent: the default
	// button then goes into them. Entries of other kinds are greyed.
	bool Selectable() const { return sendable || isFolder; }
};

class FilePanelModel {
public:
	// `flavors` as for BFilePanel (0 means files).
	FilePanelModel(uint32 flavors, bool multipleSelection);

	// Lists the folder. When it cannot be opened or read, the model stays
	// as it was and the error is returned.
	status_t SetFolder(const char* path);
	status_t SetFolder(const entry_ref* ref);
	// Lists the current folder again, keeping the selection of the entries
	// that are still there.
	status_t Reload();
	// The folder above; B_ENTRY_NOT_FOUND at the root.
	status_t GoUp();

	const std::string& FolderPath() const { return fPath; }
	status_t GetFolderRef(entry_ref* ref) const;
	bool HasFolder() const { return !fPath.empty(); }

	void SetRefFilter(BRefFilter* filter) { fFilter = filter; }
	BRefFilter* RefFilter() const { return fFilter; }
	uint32 Flavors() const { return fFlavors; }
	bool AllowsFolders() const;
	bool MultipleSelection() const { return fMultiple; }

	int32 CountItems() const { return (int32)fItems.size(); }
	const PanelEntry* ItemAt(int32 index) const;
	// The index of the entry named `name`, or -1.
	int32 IndexOf(const char* name) const;

	// Selection. `toggle` (Control-click) adds or removes one entry,
	// `extend` (Shift-click) selects from the anchor to `index`; both need
	// multiple selection, and fall back to a plain click otherwise. Entries
	// that are not Selectable() are never selected. Returns whether the
	// selection changed.
	bool Select(int32 index, bool extend = false, bool toggle = false);
	bool SelectAll();
	bool DeselectAll();
	int32 CountSelected() const;
	int32 Anchor() const { return fAnchor; }
	// The first selected index, or -1.
	int32 FirstSelected() const;
	// What the default button sends: the selected entries that may be
	// sent, in listing order.
	std::vector<entry_ref> SelectedRefs() const;

private:
	status_t _Read(const std::string& path, std::vector<PanelEntry>* items) const;

	uint32 fFlavors;
	bool fMultiple;
	BRefFilter* fFilter;      // not owned
	std::string fPath;        // absolute, normalised; empty before the first listing
	std::vector<PanelEntry> fItems;
	int32 fAnchor;
};

// Orders entries as the panel lists them: folders first, then by name
// without regard to case, numbers in names by their value.
bool panel_entry_less(const PanelEntry& a, const PanelEntry& b);

}

#endif
