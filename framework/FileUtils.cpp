#include "FileUtils.h"

#include <Application.h>
#include <Directory.h>
#include <File.h>
#include <FindDirectory.h>
#include <Node.h>
#include <OS.h>
#include <Roster.h>
#include <fs_attr.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>
#include <vector>

namespace orvik {

namespace {

const size_t kMaxCopyPath = 511;

// A file being saved is written first as ".<leaf>.saving-<team>-<unique>"
// beside its target; the team (this program's id) tells whose it is.
const char kSavingMark[] = ".saving-";
const size_t kTeamLength = 10;     // the digits of a team id at most
const size_t kUniqueLength = 12;
const int kMaxSaveAttempts = 64;
std::atomic<uint32> sSaveSerial{0};

// Differs between the threads (of any program) that save at the same time; the
// file is created only where no file is, so a clash costs one more try.
std::string unique_suffix()
{
	char suffix[32];
	const uint32 serial = sSaveSerial.fetch_add(1);
	snprintf(suffix, sizeof(suffix), "%d-%06x%06x", (int)current_team(),
		(unsigned)(find_thread(NULL) & 0xffffff),
		(unsigned)((serial * 2654435761u) ^ (uint32)system_time()) & 0xffffff);
	return suffix;
}

// Removes the files that saves of `leaf` in `folder` left when their
// program was killed while saving: those of teams that have ended. A file
// of this program or of one still running may be a save under way.
void remove_killed_saves(const BPath& folder, const std::string& hiddenPrefix)
{
	BDirectory dir(folder.Path());
	if (dir.InitCheck() != B_OK)
		return;
	const team_id self = current_team();
	std::vector<std::string> killed;
	BEntry entry;
	char name[B_FILE_NAME_LENGTH];
	while (dir.GetNextEntry(&entry) == B_OK) {
		if (entry.GetName(name) != B_OK
			|| strncmp(name, hiddenPrefix.c_str(), hiddenPrefix.size()) != 0)
			continue;
		char* end = nullptr;
		const long team = strtol(name + hiddenPrefix.size(), &end, 10);
		team_info info;
		if (team <= 0 || end == name + hiddenPrefix.size() || *end != '-'
			|| team == self || get_team_info((team_id)team, &info) == B_OK)
			continue;
		killed.push_back(name);
	}
	for (const std::string& leftover : killed) {
		BEntry stale(&dir, leftover.c_str());
		stale.Remove();
	}
}

bool set_entry(BEntry* entry, const std::string& folder, const char* name)
{
	BPath path(folder.c_str(), name);
	if (path.InitCheck() != B_OK)
		return false;
	return entry->SetTo(path.Path()) == B_OK;
}

}

bool get_entry(const char* name, BEntry* entry, TBaseDir base, const char* subfolder)
{
	if (name == nullptr || name[0] == '\0')
		return false;
	if (name[0] == '/') {
		entry->SetTo(name);
		return true;
	}

	switch (base) {
		case BASE_DIR_PATH: {
			if (subfolder == nullptr)
				return false;
			BPath folder(subfolder, nullptr, true);
			if (folder.InitCheck() != B_OK)
				return false;
			return set_entry(entry, folder.Path(), name);
		}
		case BASE_DIR_APP: {
			app_info info;
			if (be_app == nullptr || be_app->GetAppInfo(&info) != B_OK)
				return false;
			BPath app(&info.ref);
			BPath folder;
			if (app.InitCheck() != B_OK || app.GetParent(&folder) != B_OK)
				return false;
			if (subfolder != nullptr && subfolder[0] != '\0') {
				folder.Append(subfolder);
				create_directory(folder.Path(), 0777);
			}
			return set_entry(entry, folder.Path(), name);
		}
		case BASE_DIR_SETTINGS: {
			BPath folder;
			if (find_directory(B_USER_SETTINGS_DIRECTORY, &folder, true) != B_OK)
				return false;
			folder.Append("ORVIK");
			if (subfolder != nullptr && subfolder[0] != '\0')
				folder.Append(subfolder);
			create_directory(folder.Path(), 0777);
			set_entry(entry, folder.Path(), name);
			return true;
		}
	}
	return true;
}

bool get_ref(const entry_ref& dir, const char* name, entry_ref* out)
{
	BPath path(&dir);
	path.Append(name);
	BEntry(path.Path()).GetRef(out);
	return true;
}

BPath path_for_ref(const entry_ref* ref)
{
	return BPath(ref);
}

bool get_save_ref(const BMessage* msg, entry_ref* out)
{
	entry_ref dir;
	const char* name = nullptr;
	if (msg->FindRef("directory", &dir) != B_OK || msg->FindString("name", &name) != B_OK)
		return false;
	return get_ref(dir, name, out);
}

bool copy_file(const char* source, const char* target)
{
	if (source == nullptr || target == nullptr)
		return false;
	std::string to = target;
	if (BEntry(target).IsDirectory()) {
		if (to.empty() || to.back() != '/')
			to += "/";
		BPath sourcePath(source);
		to += sourcePath.Leaf() != nullptr ? sourcePath.Leaf() : "";
	}
	if (strlen(source) > kMaxCopyPath || to.size() > kMaxCopyPath)
		return false;

	BFile in(source, B_READ_ONLY);
	BFile out(to.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	if (in.InitCheck() != B_OK || out.InitCheck() != B_OK)
		return false;

	std::vector<char> buffer(64 * 1024);
	for (;;) {
		ssize_t got = in.Read(buffer.data(), buffer.size());
		if (got < 0)
			return false;
		if (got == 0)
			break;
		if (out.Write(buffer.data(), got) != got)
			return false;
	}

	// Attributes, unchanged.
	char name[B_ATTR_NAME_LENGTH];
	in.RewindAttrs();
	while (in.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (in.GetAttrInfo(name, &info) != B_OK)
			continue;
		std::vector<char> data(info.size);
		ssize_t got = in.ReadAttr(name, info.type, 0, data.data(), data.size());
		if (got >= 0)
			out.WriteAttr(name, info.type, 0, data.data(), got);
	}
	return true;
}

status_t save_message(const BMessage& message, const char* path)
{
	if (path == NULL || *path == '\0')
		return B_BAD_VALUE;
	// Through a link, the file it names is replaced.
	BEntry target(path, true);
	BPath targetPath;
	status_t status = target.InitCheck();
	if (status == B_OK)
		status = target.GetPath(&targetPath);
	if (status != B_OK)
		return status;
	if (target.IsDirectory())
		return B_IS_A_DIRECTORY;
	mode_t permissions = 0;
	const bool replacing = target.Exists() && target.GetPermissions(&permissions) == B_OK;

	// The hidden file's name must fit into a file name too.
	std::string leaf = targetPath.Leaf();
	const size_t room = B_FILE_NAME_LENGTH - 1 - strlen(kSavingMark) - 1 - kTeamLength - 1
		- kUniqueLength;
	if (leaf.size() > room)
		leaf.resize(room);
	const std::string folder(targetPath.Path(), targetPath.Leaf() - targetPath.Path());
	const std::string hiddenPrefix = "." + leaf + kSavingMark;
	const std::string prefix = folder + hiddenPrefix;

	BFile file;
	std::string temp;
	status = B_FILE_EXISTS;
	for (int attempt = 0; status == B_FILE_EXISTS && attempt < kMaxSaveAttempts; attempt++) {
		temp = prefix + unique_suffix();
		status = file.SetTo(temp.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	}
	if (status != B_OK)
		return status;
	if (replacing)
		status = file.SetPermissions(permissions);
	ssize_t size = 0;
	if (status == B_OK)
		status = message.Flatten(&file, &size);
	if (status == B_OK && size != message.FlattenedSize())
		status = B_IO_ERROR;
	if (status == B_OK)
		status = file.Sync();
	file.Unset();

	BEntry written(temp.c_str());
	if (status == B_OK)
		status = written.Rename(targetPath.Path(), true);
	if (status != B_OK) {
		written.Remove();
		return status;
	}
	BPath parent;
	if (targetPath.GetParent(&parent) == B_OK)
		remove_killed_saves(parent, hiddenPrefix);
	return B_OK;
}

}
