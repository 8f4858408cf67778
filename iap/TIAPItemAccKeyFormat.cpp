#include "TIAPItemAccKeyFormat.h"

#include "IAPDefs.h"

#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <View.h>

namespace {

const char* const kItemName = "AccKeyFormat";
const char* const kDefaultFormat = "a) ";
// The letter a, then the katakana middle dot.
const char* const kDotFormat = "a\xE3\x83\xBB";
const char* const kDashFormat = "a - ";
const char* const kNoFormat = "";

const char* const kFieldLabel = "Accelerator Format: ";
const char* const kMenuName = "Select ...";
const char* const kNoFormatLabel = "(None)";

const BRect kControlFrame(0, 0, 250, 25);

}

TIAPItemAccKeyFormat::TIAPItemAccKeyFormat()
	:
	TIAPItem(kItemName)
{
	std::string value;
	LoadString(&value);
	fValue = value;
}

TIAPItemAccKeyFormat::~TIAPItemAccKeyFormat()
{
}

status_t TIAPItemAccKeyFormat::MakeConfigurationView(BView** view, bool dflt)
{
	if (view == nullptr)
		return B_BAD_VALUE;

	BMenu* menu = new BMenu(kMenuName, B_ITEMS_IN_COLUMN);
	AddMItem(menu, kDefaultFormat, dflt);
	AddMItem(menu, kDotFormat, dflt);
	AddMItem(menu, kDashFormat, dflt);
	menu->AddItem(new BSeparatorItem());
	AddMItem(menu, kNoFormat, dflt);

	const std::string name = Name();
	BMenuField* field = new BMenuField(kControlFrame, name.c_str(), kFieldLabel, menu,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	BView* container = new BView(field->Bounds(), name.c_str(), B_FOLLOW_LEFT_RIGHT,
		B_WILL_DRAW);
	container->AddChild(field);
	*view = container;
	return 0;
}

// One format of the menu: its message is the current value's message with
// the item's own format in place of the value, so the window learns from
// the message alone which program and item it concerns and what was chosen.
void TIAPItemAccKeyFormat::AddMItem(BMenu* menu, const char* format, bool dflt) const
{
	BMessage* msg = new BMessage();
	GetValue(msg, false);
	msg->what = kIAPControlChanged;
	msg->ReplaceString(Name().c_str(), format);

	std::string marked;
	GetString(&marked, dflt);

	BMenuItem* item = new BMenuItem(format[0] != '\0' ? format : kNoFormatLabel, msg);
	item->SetMarked(marked == format);
	menu->AddItem(item);
}

status_t TIAPItemAccKeyFormat::GetValue(BMessage* msg, bool dflt) const
{
	if (msg == nullptr)
		return B_BAD_VALUE;
	AddDefaultInfo(msg);
	std::string value;
	GetString(&value, dflt);
	msg->what = kIAPValueChanged;
	msg->AddString(Name().c_str(), value.c_str());
	return 0;
}

status_t TIAPItemAccKeyFormat::SetValue(const BMessage& msg)
{
	const char* value = nullptr;
	if (msg.FindString(Name().c_str(), &value) != B_OK)
		return -1;

	std::lock_guard<std::mutex> saving(fSaveLock);
	{
		std::lock_guard<std::mutex> lock(fLock);
		fValue = value;
	}
	if (IsFromThisApp(msg))
		SaveString(value);
	return 0;
}

status_t TIAPItemAccKeyFormat::GetString(std::string* value, bool dflt) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	if (dflt) {
		*value = kDefaultFormat;
		return 0;
	}
	std::lock_guard<std::mutex> lock(fLock);
	*value = fValue;
	return 0;
}

status_t TIAPItemAccKeyFormat::SetString(const std::string& value)
{
	std::lock_guard<std::mutex> saving(fSaveLock);
	{
		std::lock_guard<std::mutex> lock(fLock);
		fValue = value;
	}
	SaveString(value);
	return 0;
}
