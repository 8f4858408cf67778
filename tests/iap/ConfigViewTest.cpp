// The configuration views, as the common window receives them from another
// program: archived, flattened, unflattened and rebuilt by class name.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"

#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"

#include <Archivable.h>
#include <CheckBox.h>
#include <DataIO.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <View.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kOurs = "application/x-vnd.ORVIK-IAPTest";

std::unique_ptr<BView> round_trip(TIAPItem* item, bool dflt)
{
	BView* view = nullptr;
	EXPECT_EQ(item->MakeConfigurationView(&view, dflt), 0);
	if (view == nullptr)
		return nullptr;
	std::unique_ptr<BView> original(view);

	BMessage archive;
	EXPECT_EQ(view->Archive(&archive, true), B_OK);
	std::vector<char> bytes(archive.FlattenedSize());
	EXPECT_EQ(archive.Flatten(bytes.data(), bytes.size()), B_OK);
	BMemoryIO stream(bytes.data(), bytes.size());
	BMessage received;
	EXPECT_EQ(received.Unflatten(&stream), B_OK);
	return std::unique_ptr<BView>(dynamic_cast<BView*>(instantiate_object(&received)));
}

struct MenuEntry {
	std::string label;
	bool marked;
	bool separator;
	std::string format;   // the value in the item's message
	uint32 what;
};

std::vector<MenuEntry> entries_of(BMenu* menu)
{
	std::vector<MenuEntry> entries;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		MenuEntry entry{item->Label() != nullptr ? item->Label() : "", item->IsMarked(),
			dynamic_cast<BSeparatorItem*>(item) != nullptr, "", 0};
		if (BMessage* msg = item->Message()) {
			entry.what = msg->what;
			const char* format = nullptr;
			if (msg->FindString("AccKeyFormat", &format) == B_OK)
				entry.format = format;
			EXPECT_STREQ(msg->FindString(kIAPFieldSrcApp), kOurs);
			EXPECT_STREQ(msg->FindString(kIAPFieldSrcItem), "AccKeyFormat");
			EXPECT_EQ(msg->CountNames(B_STRING_TYPE), 3) << entry.label;
		}
		entries.push_back(entry);
	}
	return entries;
}

}

TEST(IAPConfigView, AccKeyFormatMenuSurvivesTheTrip)
{
	iaptest::SettingsFolder settings;
	TIAPItemAccKeyFormat item;
	item.SetAppSignatureRef(kOurs);
	item.SetString("a - ");

	std::unique_ptr<BView> container = round_trip(&item, false);
	ASSERT_NE(container, nullptr);
	EXPECT_STREQ(container->Name(), "AccKeyFormat");
	EXPECT_EQ(container->ResizingMode(), (uint32)B_FOLLOW_LEFT_RIGHT);
	EXPECT_EQ(container->Bounds(), BRect(0, 0, 250, 25));
	ASSERT_EQ(container->CountChildren(), 1);

	BMenuField* field = dynamic_cast<BMenuField*>(container->ChildAt(0));
	ASSERT_NE(field, nullptr);
	EXPECT_STREQ(field->Name(), "AccKeyFormat");
	EXPECT_STREQ(field->Label(), "Accelerator Format: ");
	EXPECT_EQ(field->Frame(), BRect(0, 0, 250, 25));
	EXPECT_EQ(field->Flags(), (uint32)(B_WILL_DRAW | B_NAVIGABLE));
	ASSERT_NE(field->Menu(), nullptr);
	EXPECT_STREQ(field->Menu()->Name(), "Select ...");

	std::vector<MenuEntry> entries = entries_of(field->Menu());
	ASSERT_EQ(entries.size(), 5u);
	const char* labels[] = {"a) ", "a\xE3\x83\xBB", "a - ", nullptr, "(None)"};
	const char* formats[] = {"a) ", "a\xE3\x83\xBB", "a - ", nullptr, ""};
	for (size_t i = 0; i < entries.size(); i++) {
		SCOPED_TRACE(i);
		if (labels[i] == nullptr) {
			EXPECT_TRUE(entries[i].separator);
			continue;
		}
		EXPECT_EQ(entries[i].label, labels[i]);
		EXPECT_EQ(entries[i].format, formats[i]);
		EXPECT_EQ(entries[i].what, (uint32)kIAPControlChanged);
		EXPECT_EQ(entries[i].marked, i == 2);
	}

	// The default's view marks the default format.
	std::unique_ptr<BView> dflt = round_trip(&item, true);
	ASSERT_NE(dflt, nullptr);
	BMenuField* dfltField = dynamic_cast<BMenuField*>(dflt->ChildAt(0));
	ASSERT_NE(dfltField, nullptr);
	BMenuItem* marked = dfltField->Menu()->FindMarked();
	ASSERT_NE(marked, nullptr);
	EXPECT_STREQ(marked->Label(), "a) ");
}

TEST(IAPConfigView, FlatToolBarCheckBoxSurvivesTheTrip)
{
	iaptest::SettingsFolder settings;
	TIAPItemFlatToolBar item;
	item.SetAppSignatureRef(kOurs);
	item.SetBool(false);

	for (bool dflt : {false, true}) {
		SCOPED_TRACE(dflt);
		std::unique_ptr<BView> container = round_trip(&item, dflt);
		ASSERT_NE(container, nullptr);
		EXPECT_STREQ(container->Name(), "FlatToolBar");
		BCheckBox* box = dynamic_cast<BCheckBox*>(container->ChildAt(0));
		ASSERT_NE(box, nullptr);
		EXPECT_STREQ(box->Name(), "FlatToolBar");
		EXPECT_STREQ(box->Label(), "Flat Tool Bar");
		EXPECT_EQ(box->Value(), dflt ? B_CONTROL_ON : B_CONTROL_OFF);
		ASSERT_NE(box->Message(), nullptr);
		EXPECT_EQ(box->Message()->what, (uint32)kIAPControlChanged);
		EXPECT_STREQ(box->Message()->FindString(kIAPFieldSrcApp), kOurs);
		EXPECT_STREQ(box->Message()->FindString(kIAPFieldSrcItem), "FlatToolBar");
		EXPECT_FALSE(box->Message()->HasBool("FlatToolBar"));
	}
}
