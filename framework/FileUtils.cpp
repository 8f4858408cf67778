#include "FileUtils.h"

#include <Application.h>
#include <Directory.h>
#include <File.h>
#include <FindDirectory.h>
#include <Node.h>
#include <Roster.h>
#include <fs_attr.h>

#include <string.h>

#include <string>
#include <vector>

namespace orvik {

namespace {

const size_t kMaxCopyPath = 511;

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

bool save_message(const BMessage& message, const char* path)
{
	if (path == NULL || *path == '\0')
		return false;
	const std::string target(path);
	const size_t slash = target.find_last_of('/');
	const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
	const std::string leaf = target.substr(slash == std::string::npos ? 0 : slash + 1);
	if (leaf.empty() || leaf == "." || leaf == "..")
		return false;
	const std::string temp = folder + "." + leaf + ".saving";

	bool written = false;
	{
		BFile file(temp.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		if (file.InitCheck() != B_OK)
			return false;
		ssize_t size = 0;
		written = message.Flatten(&file, &size) == B_OK && size == message.FlattenedSize()
			&& file.Sync() == B_OK;
	}
	BEntry entry(temp.c_str());
	if (written && entry.Rename(target.c_str(), true) == B_OK)
		return true;
	entry.Remove();
	return false;
}

}
