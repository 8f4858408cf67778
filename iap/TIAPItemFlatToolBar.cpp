#include "TIAPItemFlatToolBar.h"

#include "IAPDefs.h"

#include <CheckBox.h>
#include <View.h>

namespace {

const char* const kItemName = "FlatToolBar";
const bool kDefaultValue = true;
const char* const kCheckBoxLabel = "Flat Tool Bar";
const BRect kControlFrame(0, 0, 250, 25);

}

TIAPItemFlatToolBar::TIAPItemFlatToolBar()
	:
	TIAPItem(kItemName),
	fValue(kDefaultValue)
{
	bool value = kDefaultValue;
	LoadBool(&value);
	fValue = value;
}

TIAPItemFlatToolBar::~TIAPItemFlatToolBar()
{
}

status_t TIAPItemFlatToolBar::MakeConfigurationView(BView** view, bool dflt)
{
	if (view == nullptr)
		return B_BAD_VALUE;

	// The check box adds no value to its message: the window reads it from
	// the archived check box.
	BMessage* msg = new BMessage(kIAPControlChanged);
	AddDefaultInfo(msg);

	bool value = kDefaultValue;
	GetBool(&value, dflt);

	const std::string name = Name();
	BCheckBox* box = new BCheckBox(kControlFrame, name.c_str(), kCheckBoxLabel, msg,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	box->SetValue(value ? B_CONTROL_ON : B_CONTROL_OFF);
	BView* container = new BView(box->Bounds(), name.c_str(), B_FOLLOW_LEFT_RIGHT,
		B_WILL_DRAW);
	container->AddChild(box);
	*view = container;
	return 0;
}

status_t TIAPItemFlatToolBar::GetValue(BMessage* msg, bool dflt) const
{
	if (msg == nullptr)
		return B_BAD_VALUE;
	AddDefaultInfo(msg);
	bool value = kDefaultValue;
	GetBool(&value, dflt);
	msg->what = kIAPValueChanged;
	msg->AddBool(Name().c_str(), value);
	return 0;
}

status_t TIAPItemFlatToolBar::SetValue(const BMessage& msg)
{
	bool value;
	if (msg.FindBool(Name().c_str(), &value) != B_OK) {
		BMessage box;
		if (msg.FindMessage("_views", &box) != B_OK)
			return -1;
		int32 state = 0;
		value = box.FindInt32("_val", &state) == B_OK && state != 0;
	}

	std::lock_guard<std::mutex> saving(fSaveLock);
	{
		std::lock_guard<std::mutex> lock(fLock);
		fValue = value;
	}
	SaveBool(value);
	return 0;
}

status_t TIAPItemFlatToolBar::GetBool(bool* value, bool dflt) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	if (dflt) {
		*value = kDefaultValue;
		return 0;
	}
	std::lock_guard<std::mutex> lock(fLock);
	*value = fValue;
	return 0;
}

status_t TIAPItemFlatToolBar::SetBool(bool value)
{
	std::lock_guard<std::mutex> lock(fLock);
	fValue = value;
	return 0;
}
