#include "TIAPItem.h"

#include "IAPDefs.h"
#include "framework/FileUtils.h"

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include <string.h>

namespace {

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

	// A reader in another program sees the old value or the new one, and a
	// failed write loses nothing.
	return orvik::save_message(msg, path.Path());
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
