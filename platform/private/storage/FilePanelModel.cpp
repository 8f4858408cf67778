#include "storage/FilePanelModel.h"

#include <FilePanel.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include "storage/PathUtil.h"

#include <ctype.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <set>

namespace BPrivate {

// Names compare without regard to case, and runs of digits by their value,
// so that "song 2" comes before "song 10".
static int compare_names(const char* a, const char* b)
{
	while (*a != '\0' && *b != '\0') {
		if (isdigit((unsigned char)*a) && isdigit((unsigned char)*b)) {
			while (*a == '0')
				a++;
			while (*b == '0')
				b++;
			size_t lengthA = 0, lengthB = 0;
			while (isdigit((unsigned char)a[lengthA]))
				lengthA++;
			while (isdigit((unsigned char)b[lengthB]))
				lengthB++;
			if (lengthA != lengthB)
				return lengthA < lengthB ? -1 : 1;
			int order = strncmp(a, b, lengthA);
			if (order != 0)
				return order;
			a += lengthA;
			b += lengthB;
			continue;
		}
		int ca = tolower((unsigned char)*a);
		int cb = tolower((unsigned char)*b);
		if (ca != cb)
			return ca < cb ? -1 : 1;
		a++;
		b++;
	}
	return (*a != '\0') - (*b != '\0');
}

bool panel_entry_less(const PanelEntry& a, const PanelEntry& b)
{
	if (a.isFolder != b.isFolder)
		return a.isFolder;
	int order = compare_names(a.name.c_str(), b.name.c_str());
	if (order != 0)
		return order < 0;
	return a.name < b.name;
}

FilePanelModel::FilePanelModel(uint32 flavors, bool multipleSelection)
	:
	fFlavors(flavors != 0 ? flavors : (uint32)B_FILE_NODE),
	fMultiple(multipleSelection),
	fFilter(NULL),
	fAnchor(-1)
{
}

bool FilePanelModel::AllowsFolders() const
{
	return (fFlavors & B_DIRECTORY_NODE) != 0;
}

// Reads the folder into `items`, sorted. Entries that vanish or cannot be
// looked at while the folder is read are left out; only a folder that
// cannot be opened at all is an error.
status_t FilePanelModel::_Read(const std::string& path,
	std::vector<PanelEntry>* items) const
{
	DIR* dir = opendir(path.c_str());
	if (dir == NULL)
		return errno_status();
	std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, closedir);
	int dirFd = dirfd(dir);

	// One look-up teaches the kit where the folder is; the other refs are
	// made from its device and node.
	struct stat folderStat;
	if (fstat(dirFd, &folderStat) != 0)
		return errno_status();
	entry_ref probe;
	status_t status = get_ref_for_path(join_path(path, "x").c_str(), &probe);
	if (status != B_OK)
		return status;

	items->clear();
	while (true) {
		// readdir() tells its end from an error only through errno.
		errno = 0;
		struct dirent* dirent = readdir(dir);
		if (dirent == NULL) {
			if (errno != 0)
				return errno_status();
			break;
		}
		const char* name = dirent->d_name;
		if (name[0] == '.')
			continue;   // ".", ".." and hidden files
		struct stat linkStat;
		if (fstatat(dirFd, name, &linkStat, AT_SYMLINK_NOFOLLOW) != 0)
			continue;
		PanelEntry item;
		item.name = name;
		item.ref = entry_ref(probe.device, probe.directory, name);
		item.target = item.ref;
		item.isLink = S_ISLNK(linkStat.st_mode);
		item.isFolder = S_ISDIR(linkStat.st_mode);
		item.selected = false;
		bool isFile = S_ISREG(linkStat.st_mode);
		bool dangling = false;
		if (item.isLink) {
			struct stat targetStat;
			if (fstatat(dirFd, name, &targetStat, 0) == 0) {
				item.isFolder = S_ISDIR(targetStat.st_mode);
				isFile = S_ISREG(targetStat.st_mode);
				char resolved[PATH_MAX];
				if (realpath(join_path(path, name).c_str(), resolved) == NULL
					|| get_ref_for_path(resolved, &item.target) != B_OK)
					dangling = true;
			} else {
				dangling = true;
			}
			if (dangling)
				item.isFolder = isFile = false;
		}

		if ((fFlavors & B_SYMLINK_NODE) != 0 && item.isLink)
			item.sendable = true;
		else if (item.isFolder)
			item.sendable = (fFlavors & B_DIRECTORY_NODE) != 0;
		else
			item.sendable = isFile && (fFlavors & B_FILE_NODE) != 0;
		// A link sent as a link keeps its own ref.
		if ((fFlavors & B_SYMLINK_NODE) != 0 && item.isLink)
			item.target = item.ref;

		if (fFilter != NULL) {
			BNode node(&item.ref);
			char type[B_MIME_TYPE_LENGTH] = "";
			if (node.InitCheck() == B_OK) {
				BNodeInfo info(&node);
				if (info.GetType(type) != B_OK)
					type[0] = '\0';
			}
			if (!fFilter->Filter(&item.ref, &node, &linkStat, type))
				continue;
		}
		items->push_back(std::move(item));
	}
	std::sort(items->begin(), items->end(), panel_entry_less);
	return B_OK;
}

status_t FilePanelModel::SetFolder(const char* path)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;
	char resolved[PATH_MAX];
	if (realpath(path, resolved) == NULL)
		return errno_status();
	struct stat st;
	if (stat(resolved, &st) != 0)
		return errno_status();
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	std::vector<PanelEntry> items;
	status_t status = _Read(resolved, &items);
	if (status != B_OK)
		return status;
	fPath = resolved;
	fItems.swap(items);
	fAnchor = -1;
	return B_OK;
}

status_t FilePanelModel::SetFolder(const entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return path.InitCheck();
	return SetFolder(path.Path());
}

status_t FilePanelModel::Reload()
{
	if (fPath.empty())
		return B_NO_INIT;
	std::vector<PanelEntry> items;
	status_t status = _Read(fPath, &items);
	if (status != B_OK)
		return status;
	std::set<std::string> selected;
	for (const PanelEntry& item : fItems) {
		if (item.selected)
			selected.insert(item.name);
	}
	std::string anchor = fAnchor >= 0 && fAnchor < CountItems() ? fItems[fAnchor].name : "";
	fItems.swap(items);
	fAnchor = -1;
	for (int32 i = 0; i < CountItems(); i++) {
		PanelEntry& item = fItems[i];
		item.selected = item.Selectable() && selected.count(item.name) != 0;
		if (!anchor.empty() && item.name == anchor)
			fAnchor = i;
	}
	return B_OK;
}

status_t FilePanelModel::GoUp()
{
	if (fPath.empty())
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	std::string parent = fPath.substr(0, fPath.find_last_of('/'));
	if (parent.empty())
		parent = "/";
	std::string child = fPath.substr(fPath.find_last_of('/') + 1);
	status_t status = SetFolder(parent.c_str());
	if (status != B_OK)
		return status;
	// The folder we came from is where the user goes on from.
	int32 index = IndexOf(child.c_str());
	if (index >= 0) {
		if (fItems[index].Selectable())
			Select(index);
		else
			fAnchor = index;
	}
	return B_OK;
}

status_t FilePanelModel::GetFolderRef(entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	if (fPath.empty())
		return B_NO_INIT;
	return get_ref_for_path(fPath.c_str(), ref);
}

const PanelEntry* FilePanelModel::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return &fItems[index];
}

int32 FilePanelModel::IndexOf(const char* name) const
{
	if (name == NULL)
		return -1;
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i].name == name)
			return i;
	}
	return -1;
}

bool FilePanelModel::Select(int32 index, bool extend, bool toggle)
{
	if (index < 0 || index >= CountItems())
		return false;
	std::vector<bool> before;
	for (const PanelEntry& item : fItems)
		before.push_back(item.selected);

	if (fMultiple && toggle) {
		PanelEntry& item = fItems[index];
		item.selected = item.Selectable() && !item.selected;
		fAnchor = index;
	} else if (fMultiple && extend && fAnchor >= 0) {
		int32 from = std::min(fAnchor, index);
		int32 to = std::max(fAnchor, index);
		for (int32 i = 0; i < CountItems(); i++)
			fItems[i].selected = i >= from && i <= to && fItems[i].Selectable();
	} else {
		for (PanelEntry& item : fItems)
			item.selected = false;
		fItems[index].selected = fItems[index].Selectable();
		fAnchor = index;
	}

	for (int32 i = 0; i < CountItems(); i++) {
		if (before[i] != fItems[i].selected)
			return true;
	}
	return false;
}

bool FilePanelModel::SelectAll()
{
	if (!fMultiple)
		return false;
	bool changed = false;
	for (PanelEntry& item : fItems) {
		if (item.Selectable() && !item.selected) {
			item.selected = true;
			changed = true;
		}
	}
	return changed;
}

bool FilePanelModel::DeselectAll()
{
	bool changed = false;
	for (PanelEntry& item : fItems) {
		changed |= item.selected;
		item.selected = false;
	}
	return changed;
}

int32 FilePanelModel::CountSelected() const
{
	int32 count = 0;
	for (const PanelEntry& item : fItems)
		count += item.selected ? 1 : 0;
	return count;
}

int32 FilePanelModel::FirstSelected() const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i].selected)
			return i;
	}
	return -1;
}

std::vector<entry_ref> FilePanelModel::SelectedRefs() const
{
	std::vector<entry_ref> refs;
	for (const PanelEntry& item : fItems) {
		if (item.selected && item.sendable)
			refs.push_back(item.target);
	}
	return refs;
}

}
