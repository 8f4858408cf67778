// The tool-bar style "FlatToolBar": whether tool bars are drawn flat
// (default true). Its configuration view is the check box "Flat Tool Bar".
//
// A change from the common window is written to the file by every program
// that holds the item; SetBool only changes the value in memory.
#ifndef IAP_T_IAP_ITEM_FLAT_TOOL_BAR_H
#define IAP_T_IAP_ITEM_FLAT_TOOL_BAR_H

#include "TIAPItem.h"

class TIAPItemFlatToolBar : public TIAPItem {
public:
	// Starts with the stored value, or with the default without a file.
	TIAPItemFlatToolBar();
	virtual ~TIAPItemFlatToolBar();

	virtual status_t MakeConfigurationView(BView** view, bool dflt);
	virtual status_t GetValue(BMessage* msg, bool dflt) const;
	// The bool under the item's name, or else the value of the archived
	// check box in "_views" ("_val" not 0); -1 when neither is there.
	// Writes the file.
	virtual status_t SetValue(const BMessage& msg);
	virtual status_t GetBool(bool* value, bool dflt) const;
	virtual status_t SetBool(bool value);

private:
	bool fValue;
};

#endif
