// The items: their values, files and '_ipc' messages.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"

#include "framework/TextUtils.h"
#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"

#include <CheckBox.h>
#include <View.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

namespace {

const char* const kOurs = "application/x-vnd.ORVIK-IAPTest";
const char* const kTheirs = "application/x-vnd.ORVIK-Other";

BMessage change_from(const char* source, const char* item)
{
	BMessage msg(kIAPValueChanged);
	msg.AddString(kIAPFieldSrcApp, source);
	msg.AddString(kIAPFieldSrcItem, item);
	return msg;
}

std::string stored_string(const iaptest::SettingsFolder& settings, const char* name)
{
	BMessage msg;
	const char* value = nullptr;
	if (!settings.ReadItemFile(name, &msg) || msg.FindString(name, &value) != B_OK)
		return "<none>";
	return value;
}

}

TEST(IAPAccKeyFormat, WithoutAFileTheDefaultLabelsKeys)
{
	iaptest::SettingsFolder settings;
	TIAPItemAccKeyFormat item;
	std::string format;
	EXPECT_EQ(item.GetString(&format, false), 0);
	EXPECT_EQ(format, "a) ");
	EXPECT_EQ(orvik::merge_accelerator_key(format, "S", "Save"), "S) Save");
	EXPECT_FALSE(settings.HasItemFile("AccKeyFormat"));

	// A damaged file counts as none.
	settings.WriteItemFile("AccKeyFormat", "not a message at all");
	TIAPItemAccKeyFormat damaged;
	EXPECT_EQ(damaged.GetString(&format, false), 0);
	EXPECT_EQ(format, "a) ");
}

TEST(IAPAccKeyFormat, SetStringWritesTheFileThatTheNextStartReads)
{
	iaptest::SettingsFolder settings;
	{
		TIAPItemAccKeyFormat item;
		item.SetAppSignatureRef(kOurs);
		EXPECT_EQ(item.SetString("a - "), 0);
	}
	BMessage file;
	ASSERT_TRUE(settings.ReadItemFile("AccKeyFormat", &file));
	EXPECT_EQ(file.what, 0u);
	EXPECT_STREQ(file.FindString("AccKeyFormat"), "a - ");
	EXPECT_STREQ(file.FindString(kIAPFieldSrcApp), kOurs);

	TIAPItemAccKeyFormat next;
	std::string format, dflt;
	next.GetString(&format, false);
	next.GetString(&dflt, true);
	EXPECT_EQ(format, "a - ");
	EXPECT_EQ(dflt, "a) ");
	EXPECT_EQ(orvik::merge_accelerator_key(format, "S", "Save"), "S - Save");

	// The empty format ("(None)") is a value of its own, not a missing one.
	next.SetString("");
	TIAPItemAccKeyFormat third;
	third.GetString(&format, false);
	EXPECT_EQ(format, "");
}

TEST(IAPAccKeyFormat, ASaveRemovesWhatKilledSavesLeftAndNothingElse)
{
	iaptest::SettingsFolder settings;
	settings.WriteItemFile("AccKeyFormat", "");
	// A process that has ended: a child that was waited for.
	const pid_t gone = fork();
	ASSERT_GE(gone, 0);
	if (gone == 0)
		_exit(0);
	ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
	const std::string item = settings.ItemFile("AccKeyFormat");
	const std::string dead = item + "." + std::to_string(gone) + "-3.saving";
	const std::string running = item + "." + std::to_string(getppid()) + "-0.saving";
	const std::string ours = item + "." + std::to_string(getpid()) + "-99.saving";
	const std::string other = settings.ItemFile("FlatToolBar") + "." + std::to_string(gone)
		+ "-0.saving";
	const std::string unlike = item + ".x-1.saving";
	for (const std::string& path : {dead, running, ours, other, unlike})
		ASSERT_TRUE(BFile(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE).InitCheck() == B_OK);

	TIAPItemAccKeyFormat format;
	format.SetAppSignatureRef(kOurs);
	format.SetString("a - ");
	struct stat info;
	EXPECT_NE(stat(dead.c_str(), &info), 0) << "left by a killed save";
	// Saves that may still be under way, another item's, and names of
	// another form stay.
	for (const std::string& path : {running, ours, other, unlike})
		EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
	EXPECT_EQ(stored_string(settings, "AccKeyFormat"), "a - ");
}

TEST(IAPAccKeyFormat, OnlyTheSupplyingProgramWritesAChange)
{
	iaptest::SettingsFolder settings;
	TIAPItemAccKeyFormat item;
	item.SetAppSignatureRef(kOurs);
	std::string format;

	BMessage theirs = change_from(kTheirs, "AccKeyFormat");
	theirs.AddString("AccKeyFormat", "a\xE3\x83\xBB");
	EXPECT_EQ(item.SetValue(theirs), 0);
	item.GetString(&format, false);
	EXPECT_EQ(format, "a\xE3\x83\xBB");
	EXPECT_FALSE(settings.HasItemFile("AccKeyFormat"));

	BMessage ours = change_from(kOurs, "AccKeyFormat");
	ours.AddString("AccKeyFormat", "a - ");
	EXPECT_EQ(item.SetValue(ours), 0);
	item.GetString(&format, false);
	EXPECT_EQ(format, "a - ");
	EXPECT_EQ(stored_string(settings, "AccKeyFormat"), "a - ");

	// Without a value nothing changes.
	BMessage empty = change_from(kOurs, "AccKeyFormat");
	EXPECT_EQ(item.SetValue(empty), -1);
	item.GetString(&format, false);
	EXPECT_EQ(format, "a - ");

	// A program without a signature is nobody's source: it never writes.
	iaptest::SettingsFolder elsewhere;
	TIAPItemAccKeyFormat anonymous;
	BMessage unnamed = change_from("", "AccKeyFormat");
	unnamed.AddString("AccKeyFormat", "a - ");
	EXPECT_EQ(anonymous.SetValue(unnamed), 0);
	EXPECT_FALSE(elsewhere.HasItemFile("AccKeyFormat"));
}

TEST(IAPFlatToolBar, DefaultsStoresAndSavesOnlyOnChanges)
{
	iaptest::SettingsFolder settings;
	TIAPItemFlatToolBar item;
	item.SetAppSignatureRef(kOurs);
	bool flat = false;
	EXPECT_EQ(item.GetBool(&flat, false), 0);
	EXPECT_TRUE(flat);

	// SetBool changes the value only.
	EXPECT_EQ(item.SetBool(false), 0);
	item.GetBool(&flat, false);
	EXPECT_FALSE(flat);
	EXPECT_FALSE(settings.HasItemFile("FlatToolBar"));

	// A change always goes to the file, whoever supplied the item.
	BMessage change = change_from(kTheirs, "FlatToolBar");
	change.AddBool("FlatToolBar", false);
	EXPECT_EQ(item.SetValue(change), 0);
	BMessage file;
	ASSERT_TRUE(settings.ReadItemFile("FlatToolBar", &file));
	EXPECT_FALSE(file.FindBool("FlatToolBar"));
	EXPECT_STREQ(file.FindString(kIAPFieldSrcApp), kOurs);

	TIAPItemFlatToolBar next;
	next.GetBool(&flat, false);
	EXPECT_FALSE(flat);

}

TEST(IAPFlatToolBar, AChangeFromTheCheckBoxTakesItsArchivedValue)
{
	iaptest::SettingsFolder settings;
	TIAPItemFlatToolBar item;
	item.SetAppSignatureRef(kOurs);

	// What the window sends for the check box: the archived view, no bool.
	BView* view = nullptr;
	ASSERT_EQ(item.MakeConfigurationView(&view, false), 0);
	std::unique_ptr<BView> owned(view);
	BCheckBox* box = dynamic_cast<BCheckBox*>(view->ChildAt(0));
	ASSERT_NE(box, nullptr);
	box->SetValue(B_CONTROL_OFF);
	BMessage change = change_from(kOurs, "FlatToolBar");
	ASSERT_EQ(view->Archive(&change, true), B_OK);
	ASSERT_FALSE(change.HasBool("FlatToolBar"));

	EXPECT_EQ(item.SetValue(change), 0);
	bool flat = true;
	item.GetBool(&flat, false);
	EXPECT_FALSE(flat);
	BMessage file;
	ASSERT_TRUE(settings.ReadItemFile("FlatToolBar", &file));
	EXPECT_FALSE(file.FindBool("FlatToolBar"));

	box->SetValue(B_CONTROL_ON);
	BMessage on = change_from(kOurs, "FlatToolBar");
	view->Archive(&on, true);
	EXPECT_EQ(item.SetValue(on), 0);
	item.GetBool(&flat, false);
	EXPECT_TRUE(flat);

	// Neither a value nor a view: refused, nothing changes.
	EXPECT_EQ(item.SetValue(change_from(kOurs, "FlatToolBar")), -1);
	item.GetBool(&flat, false);
	EXPECT_TRUE(flat);
}
