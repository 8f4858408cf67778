// The store: items by name, references, and readers on other threads.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"

#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"
#include "iap/TInterAppPrefs.h"
#include "lang/TLLT.h"

#include <OS.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kOurs = "application/x-vnd.ORVIK-IAPTest";
const char* const kTheirs = "application/x-vnd.ORVIK-Other";

// Tells whether an item's destructor ran.
class WatchedItem : public TIAPItemFlatToolBar {
public:
	explicit WatchedItem(bool* deleted) : fDeleted(deleted) {}
	~WatchedItem() override { *fDeleted = true; }
private:
	bool* fDeleted;
};

}

TEST(IAPStore, ItemsTakeTheStoresReferences)
{
	iaptest::SettingsFolder settings;
	TLLT table;
	TInterAppPrefs store;
	TIAPItemAccKeyFormat* early = new TIAPItemAccKeyFormat();
	EXPECT_EQ(store.AddItem(early), B_OK);
	EXPECT_EQ(early->AppSignatureRef(), nullptr);

	EXPECT_EQ(store.SetAppSignatureRef(kOurs), 0);
	EXPECT_EQ(store.SetLLTRef(&table), 0);
	EXPECT_EQ(early->AppSignatureRef(), kOurs);
	EXPECT_EQ(early->LLTRef(), &table);

	TIAPItemFlatToolBar* late = new TIAPItemFlatToolBar();
	store.AddItem(late);
	EXPECT_EQ(late->AppSignatureRef(), kOurs);
	EXPECT_EQ(late->LLTRef(), &table);
}

TEST(IAPStore, NamesTheStoreDoesNotHoldAreRefused)
{
	iaptest::SettingsFolder settings;
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemAccKeyFormat());

	std::string format = "unchanged";
	bool flag = false;
	EXPECT_EQ(store.GetString("FlatToolBar", &format), -1);
	EXPECT_EQ(store.GetBool("FlatToolBar", &flag), -1);
	EXPECT_EQ(store.SetBool("FlatToolBar", true), -1);
	EXPECT_EQ(store.SetString("Nothing", "x"), -1);
	EXPECT_EQ(store.GetString(nullptr, &format), -1);
	EXPECT_EQ(format, "unchanged");

	BMessage unknown(kIAPValueChanged);
	unknown.AddString(kIAPFieldSrcApp, kOurs);
	unknown.AddString(kIAPFieldSrcItem, "FlatToolBar");
	unknown.AddBool("FlatToolBar", false);
	EXPECT_EQ(store.SetValue(unknown), -1);

	BMessage anonymous(kIAPValueChanged);
	anonymous.AddString("AccKeyFormat", "a - ");
	EXPECT_EQ(store.SetValue(anonymous), -1);

	EXPECT_EQ(store.GetString("AccKeyFormat", &format), 0);
	EXPECT_EQ(format, "a) ");
	EXPECT_FALSE(settings.HasItemFile("AccKeyFormat"));
	EXPECT_FALSE(settings.HasItemFile("FlatToolBar"));
}

TEST(IAPStore, ValuesPassToTheNamedItem)
{
	iaptest::SettingsFolder settings;
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemAccKeyFormat());
	store.AddItem(new TIAPItemFlatToolBar());

	BMessage change(kIAPValueChanged);
	change.AddString(kIAPFieldSrcApp, kTheirs);
	change.AddString(kIAPFieldSrcItem, "AccKeyFormat");
	change.AddString("AccKeyFormat", "a - ");
	EXPECT_EQ(store.SetValue(change), 0);
	std::string format;
	store.GetString("AccKeyFormat", &format);
	EXPECT_EQ(format, "a - ");
	EXPECT_FALSE(settings.HasItemFile("AccKeyFormat"));

	EXPECT_EQ(store.SetBool("FlatToolBar", false), 0);
	bool flat = true;
	EXPECT_EQ(store.GetBool("FlatToolBar", &flat), 0);
	EXPECT_FALSE(flat);
	EXPECT_EQ(store.SetString("AccKeyFormat", ""), 0);
	store.GetString("AccKeyFormat", &format);
	EXPECT_EQ(format, "");
	EXPECT_TRUE(settings.HasItemFile("AccKeyFormat"));

	// A kind answers only for its own sort of value.
	EXPECT_EQ(store.GetBool("AccKeyFormat", &flat), -1);
	EXPECT_EQ(store.GetString("FlatToolBar", &format), -1);
}

TEST(IAPStore, OwnsItsItemsAndRefusesASecondOfAName)
{
	iaptest::SettingsFolder settings;
	bool firstDeleted = false, secondDeleted = false;
	{
		TInterAppPrefs store;
		EXPECT_EQ(store.AddItem(new WatchedItem(&firstDeleted)), B_OK);
		EXPECT_EQ(store.AddItem(new WatchedItem(&secondDeleted)), B_NAME_IN_USE);
		EXPECT_TRUE(secondDeleted);
		EXPECT_FALSE(firstDeleted);
	}
	EXPECT_TRUE(firstDeleted);
}

// Window threads read labels while the manager's thread applies changes:
// every read sees one whole value (run under ThreadSanitizer).
TEST(IAPStore, ReadersOnOtherThreadsSeeWholeValues)
{
	iaptest::SettingsFolder settings;
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemAccKeyFormat());
	const std::vector<std::string> formats = {"a) ", "a\xE3\x83\xBB", "a - ", ""};

	std::atomic<bool> stop{false};
	std::atomic<int> torn{0};
	std::vector<std::thread> readers;
	for (int i = 0; i < 3; i++) {
		readers.emplace_back([&] {
			std::string format;
			while (!stop) {
				store.GetString("AccKeyFormat", &format);
				if (std::find(formats.begin(), formats.end(), format) == formats.end())
					torn++;
			}
		});
	}
	for (int round = 0; round < 200; round++) {
		BMessage change(kIAPValueChanged);
		change.AddString(kIAPFieldSrcApp, round % 10 == 0 ? kOurs : kTheirs);
		change.AddString(kIAPFieldSrcItem, "AccKeyFormat");
		change.AddString("AccKeyFormat", formats[round % formats.size()].c_str());
		ASSERT_EQ(store.SetValue(change), 0);
	}
	stop = true;
	for (std::thread& reader : readers)
		reader.join();
	EXPECT_EQ(torn.load(), 0);

	// The file holds the value that was saved last.
	BMessage file;
	ASSERT_TRUE(settings.ReadItemFile("AccKeyFormat", &file));
	EXPECT_STREQ(file.FindString("AccKeyFormat"), formats[190 % formats.size()].c_str());
}

TEST(IAPStore, WithoutAWindowMakerNoWindowIsClaimed)
{
	iaptest::SettingsFolder settings;
	ASSERT_LT(find_port(kIAPPortName), 0);
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemAccKeyFormat());

	EXPECT_EQ(store.CreateAndShowWindow(BRect(10, 10, 300, 200)), B_UNSUPPORTED);
	EXPECT_EQ(store.ShowWindow(BRect(10, 10, 300, 200)), B_UNSUPPORTED);
	EXPECT_FALSE(store.IsWindowOwner());
	// No window, nothing to close.
	EXPECT_EQ(store.CloseWindow(false), 0);
	EXPECT_EQ(store.CloseWindow(true), 0);
}
