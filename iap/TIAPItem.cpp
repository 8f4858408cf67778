#include "TIAPItem.h"

#include "IAPDefs.h"
#include "framework/FileUtils.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Path.h>

#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <vector>

namespace {

// Distinguishes the temporary files of saves that run at the same time in
// this process (two stores may hold items of the same name).
std::atomic<uint32> sSaveCounter{0};

const char kSavingSuffix[] = ".saving";

// Removes the temporary files of the item file `target` ("<leaf>.<pid>-<n>
// .saving") that saves of programs no longer running left behind: a program
// killed while it saved leaves its file, and the next one has another pid.
// This program's own are left alone, another save of it may be writing.
void remove_stale_temporaries(const std::string& target)
{
	const size_t slash = target.find_last_of('/');
	if (slash == std::string::npos)
		return;
	const std::string folder = target.substr(0, slash);
	const std::string prefix = target.substr(slash + 1) + ".";
	BDirectory dir(folder.c_str());
	if (dir.InitCheck() != B_OK)
		return;
	std::vector<std::string> stale;
	BEntry entry;
	char name[B_FILE_NAME_LENGTH];
	while (dir.GetNextEntry(&entry) == B_OK) {
		if (entry.GetName(name) != B_OK)
			continue;
		const size_t length = strlen(name);
		const size_t suffixLength = sizeof(kSavingSuffix) - 1;
		if (length <= prefix.size() + suffixLength
			|| strncmp(name, prefix.c_str(), prefix.size()) != 0
			|| strcmp(name + length - suffixLength, kSavingSuffix) != 0)
			continue;
		char* end = nullptr;
		const long pid = strtol(name + prefix.size(), &end, 10);
		if (pid <= 0 || end == nullptr || *end != '-' || pid == (long)getpid())
			continue;
		if (kill((pid_t)pid, 0) != 0 && errno == ESRCH)
			stale.push_back(folder + "/" + name);
	}
	for (const std::string& path : stale)
		unlink(path.c_str());
}

bool item_entry(const std::string& name, BEntry* entry)
{
	const std::string file = name + ".arc";
	return orvik::get_entry(file.c_str(), entry, orvik::BASE_DIR_SETTINGS, kIAPSettingsFolder)
		&& entry->InitCheck() == B_OK;
}

}

TIAPItem::TIAPItem(const char* name)
	:
	fAppSignature(nullptr),
	fName(name != nullptr ? name : ""),
	fLLT(nullptr)
{
}

TIAPItem::~TIAPItem()
{
}

status_t TIAPItem::MakeConfigurationView(BView**, bool)
{
	return -1;
}

status_t TIAPItem::GetValue(BMessage*, bool) const
{
	return -1;
}

status_t TIAPItem::SetValue(const BMessage&)
{
	return -1;
}

status_t TIAPItem::GetBool(bool*, bool) const
{
	return -1;
}

status_t TIAPItem::SetBool(bool)
{
	return -1;
}

status_t TIAPItem::GetString(std::string*, bool) const
{
	return -1;
}

status_t TIAPItem::SetString(const std::string&)
{
	return -1;
}

std::string TIAPItem::Name() const
{
	return fName;
}

const char* TIAPItem::AppSignatureRef() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fAppSignature;
}

TLLT* TIAPItem::LLTRef() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fLLT;
}

status_t TIAPItem::SetAppSignatureRef(const char* signature)
{
	std::lock_guard<std::mutex> lock(fLock);
	fAppSignature = signature;
	return 0;
}

status_t TIAPItem::SetLLTRef(TLLT* table)
{
	std::lock_guard<std::mutex> lock(fLock);
	fLLT = table;
	return 0;
}

void TIAPItem::AddDefaultInfo(BMessage* msg) const
{
	const char* signature = AppSignatureRef();
	msg->AddString(kIAPFieldSrcApp, signature != nullptr ? signature : "");
	msg->AddString(kIAPFieldSrcItem, fName.c_str());
}

bool TIAPItem::IsFromThisApp(const BMessage& msg) const
{
	// A program without a signature is nobody's source, so it never takes
	// over another program's file.
	const char* ours = AppSignatureRef();
	const char* source = nullptr;
	return ours != nullptr && ours[0] != '\0'
		&& msg.FindString(kIAPFieldSrcApp, &source) == B_OK
		&& strcmp(source, ours) == 0;
}

status_t TIAPItem::Load(BMessage* msg) const
{
	BEntry entry;
	if (!item_entry(fName, &entry))
		return B_ENTRY_NOT_FOUND;
	BFile file(&entry, B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	return msg->Unflatten(&file);
}

status_t TIAPItem::LoadBool(bool* value) const
{
	BMessage msg;
	Load(&msg);
	if (msg.FindBool(fName.c_str(), value) != B_OK)
		return GetBool(value, true);
	return B_OK;
}

status_t TIAPItem::LoadString(std::string* value) const
{
	BMessage msg;
	Load(&msg);
	const char* stored = nullptr;
	if (msg.FindString(fName.c_str(), &stored) != B_OK)
		return GetString(value, true);
	*value = stored;
	return B_OK;
}

status_t TIAPItem::Save(BMessage msg) const
{
	const char* signature = AppSignatureRef();
	msg.AddString(kIAPFieldSrcApp, signature != nullptr ? signature : "");

	BEntry entry;
	BPath path;
	if (!item_entry(fName, &entry) || entry.GetPath(&path) != B_OK || path.Path() == nullptr)
		return B_ENTRY_NOT_FOUND;

	// Written beside the file and renamed over it: a reader in another
	// program sees the old value or the new one, and a failed write loses
	// nothing.
	const std::string target = path.Path();
	char suffix[48];
	snprintf(suffix, sizeof(suffix), ".%ld-%lu%s", (long)getpid(),
		(unsigned long)sSaveCounter.fetch_add(1), kSavingSuffix);
	const std::string temp = target + suffix;

	status_t status;
	{
		BFile file(temp.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		status = file.InitCheck();
		if (status == B_OK) {
			ssize_t size = 0;
			status = msg.Flatten(&file, &size);
			if (status == B_OK && size != msg.FlattenedSize())
				status = B_IO_ERROR;
			if (status == B_OK)
				status = file.Sync();
		}
	}
	if (status == B_OK && rename(temp.c_str(), target.c_str()) != 0)
		status = B_IO_ERROR;
	if (status != B_OK)
		unlink(temp.c_str());
	else
		remove_stale_temporaries(target);
	return status;
}

status_t TIAPItem::SaveBool(bool value) const
{
	BMessage msg;
	msg.AddBool(fName.c_str(), value);
	return Save(msg);
}

status_t TIAPItem::SaveString(const std::string& value) const
{
	BMessage msg;
	msg.AddString(fName.c_str(), value.c_str());
	return Save(msg);
}
