// The accelerator format "AccKeyFormat": how a menu or dialog label shows
// its key. The first "a" of the format stands for the key; "a) " (the
// default) makes "S) Save". The configuration view is a menu field with
// the formats "a) ", "a・", "a - " and, after a separator, the empty format
// shown as "(None)".
//
// Every program updates its value in memory when a change arrives, but
// only the program that supplied the item to the common window writes the
// file, so the programs do not all write it at once.
#ifndef IAP_T_IAP_ITEM_ACC_KEY_FORMAT_H
#define IAP_T_IAP_ITEM_ACC_KEY_FORMAT_H

#include "TIAPItem.h"

#include <string>

class BMenu;

class TIAPItemAccKeyFormat : public TIAPItem {
public:
	// Starts with the stored value, or with the default without a file.
	TIAPItemAccKeyFormat();
	virtual ~TIAPItemAccKeyFormat();

	virtual status_t MakeConfigurationView(BView** view, bool dflt);
	virtual status_t GetValue(BMessage* msg, bool dflt) const;
	// The string under the item's name becomes the value (-1 without it);
	// the file is written when "IAP:SrcApp" is this program's signature.
	virtual status_t SetValue(const BMessage& msg);
	virtual status_t GetString(std::string* value, bool dflt) const;
	// Sets the value and writes the file.
	virtual status_t SetString(const std::string& value);

private:
	void AddMItem(BMenu* menu, const char* format, bool dflt) const;

	std::string fValue;
};

#endif
