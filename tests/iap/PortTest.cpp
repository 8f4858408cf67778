// The port of the common window: the port manager, and a store handing its
// items to a window over it.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"

#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"
#include "iap/TIAPPortManager.h"
#include "iap/TInterAppPrefs.h"

#include <AppDefs.h>
#include <Archivable.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <OS.h>
#include <View.h>

#include <memory>
#include <string>
#include <vector>

using testutil::wait_for;

namespace {

const char* const kOurs = "application/x-vnd.ORVIK-IAPTest";

void write_message(port_id port, const BMessage& msg)
{
	std::vector<char> bytes(msg.FlattenedSize());
	ASSERT_EQ(msg.Flatten(bytes.data(), bytes.size()), B_OK);
	ASSERT_EQ(write_port(port, 0, bytes.data(), bytes.size()), B_OK);
}

// A window stand-in: a looper that collects what the port brings, and the
// port manager that feeds it.
class PortFixture : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_LT(find_port(kIAPPortName), 0) << "a port of an earlier test is left";
		fTarget = iaptest::start_looper();
	}
	void TearDown() override
	{
		fManager.reset();
		EXPECT_LT(find_port(kIAPPortName), 0);
		iaptest::quit_looper(fTarget);
	}

	TIAPPortManager* StartManager()
	{
		fManager = std::make_unique<TIAPPortManager>(BMessenger(fTarget));
		fManager->Resume();
		EXPECT_TRUE(wait_for([&] { return fManager->Port() != kIAPPortPending; }));
		return fManager.get();
	}

	iaptest::SettingsFolder fSettings;
	iaptest::CollectingLooper* fTarget = nullptr;
	std::unique_ptr<TIAPPortManager> fManager;
};

}

TEST_F(PortFixture, ForwardsRecordsAndStopsOnTheWakeUpRecord)
{
	fManager = std::make_unique<TIAPPortManager>(BMessenger(fTarget));
	EXPECT_EQ(fManager->Port(), kIAPPortPending);
	EXPECT_LT(find_port(kIAPPortName), 0);
	fManager->Resume();
	ASSERT_TRUE(wait_for([&] { return fManager->Port() >= 0; }));
	const port_id port = fManager->Port();
	EXPECT_EQ(find_port(kIAPPortName), port);
	port_info info;
	ASSERT_EQ(get_port_info(port, &info), B_OK);
	EXPECT_EQ(info.capacity, kIAPPortCapacity);

	BMessage first('frst');
	first.AddString("text", "one");
	write_message(port, first);
	// Neither damaged records nor wake-up records reach the window.
	const char garbage[] = "this is no flattened message";
	ASSERT_EQ(write_port(port, 0, garbage, sizeof(garbage)), B_OK);
	std::vector<char> cut(first.FlattenedSize());
	first.Flatten(cut.data(), cut.size());
	ASSERT_EQ(write_port(port, 0, cut.data(), cut.size() / 2), B_OK);
	fManager->PreventBlocking();
	BMessage second('scnd');
	write_message(port, second);

	ASSERT_TRUE(wait_for([&] { return fTarget->Count() >= 2; }));
	std::vector<BMessage> got = fTarget->Messages();
	ASSERT_EQ(got.size(), 2u);
	EXPECT_EQ(got[0].what, (uint32)'frst');
	EXPECT_STREQ(got[0].FindString("text"), "one");
	EXPECT_EQ(got[1].what, (uint32)'scnd');
	EXPECT_FALSE(fManager->IsTerminated());

	// The window's shutdown.
	fManager->Terminate();
	fManager->PreventBlocking();
	EXPECT_TRUE(fManager->Wait());
	EXPECT_TRUE(fManager->IsTerminated());
	EXPECT_LT(find_port(kIAPPortName), 0);
	EXPECT_EQ(fTarget->Count(), 2u);
}

TEST_F(PortFixture, DeletingARunningManagerTakesItsPort)
{
	StartManager();
	ASSERT_GE(find_port(kIAPPortName), 0);
	fManager.reset();
	EXPECT_LT(find_port(kIAPPortName), 0);

	// Nor does one that never ran leave anything behind.
	fManager = std::make_unique<TIAPPortManager>(BMessenger(fTarget));
	fManager.reset();
}

TEST_F(PortFixture, AnotherProgramsWindowIsActivatedAndGivenTheItems)
{
	StartManager();
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemFlatToolBar());
	store.AddItem(new TIAPItemAccKeyFormat());
	store.SetString("AccKeyFormat", "a - ");

	EXPECT_EQ(store.ShowWindow(BRect(20, 20, 300, 200)), 0);
	EXPECT_FALSE(store.IsWindowOwner());
	ASSERT_TRUE(wait_for([&] { return fTarget->Count() >= 2; }));
	std::vector<BMessage> got = fTarget->Messages();
	ASSERT_EQ(got.size(), 2u);
	EXPECT_EQ(got[0].what, (uint32)kIAPActivateWindow);
	ASSERT_EQ(got[1].what, (uint32)kIAPAddComponents);

	// Every item, each with its current view twice and its default once.
	const BMessage& components = got[1];
	type_code type;
	int32 count = 0;
	ASSERT_EQ(components.GetInfo("AccKeyFormat", &type, &count), B_OK);
	EXPECT_EQ(type, (type_code)B_MESSAGE_TYPE);
	EXPECT_EQ(count, 3);
	ASSERT_EQ(components.GetInfo("FlatToolBar", &type, &count), B_OK);
	EXPECT_EQ(count, 3);

	const char* expected[] = {"a - ", "a - ", "a) "};
	for (int32 i = 0; i < 3; i++) {
		SCOPED_TRACE(i);
		BMessage entry;
		ASSERT_EQ(components.FindMessage("AccKeyFormat", i, &entry), B_OK);
		EXPECT_EQ(entry.what, (uint32)kIAPValueChanged);
		EXPECT_STREQ(entry.FindString(kIAPFieldSrcApp), kOurs);
		EXPECT_STREQ(entry.FindString(kIAPFieldSrcItem), "AccKeyFormat");
		EXPECT_STREQ(entry.FindString("AccKeyFormat"), expected[i]);
		EXPECT_TRUE(entry.HasMessage("_views"));
		std::unique_ptr<BView> view(dynamic_cast<BView*>(instantiate_object(&entry)));
		ASSERT_NE(view, nullptr);
		BMenuField* field = dynamic_cast<BMenuField*>(view->ChildAt(0));
		ASSERT_NE(field, nullptr);
		ASSERT_NE(field->Menu()->FindMarked(), nullptr);
		EXPECT_STREQ(field->Menu()->FindMarked()->Label(), expected[i]);
	}
	BMessage flat;
	ASSERT_EQ(components.FindMessage("FlatToolBar", 2, &flat), B_OK);
	EXPECT_TRUE(flat.FindBool("FlatToolBar"));

	// Not our window: closing it takes force.
	EXPECT_EQ(store.CloseWindow(false), -1);
	EXPECT_EQ(store.CloseWindow(true), 0);
	ASSERT_TRUE(wait_for([&] { return fTarget->Count() >= 3; }));
	EXPECT_EQ(fTarget->Codes(),
		(std::vector<uint32>{kIAPActivateWindow, kIAPAddComponents, B_QUIT_REQUESTED}));
}

TEST_F(PortFixture, TheProgramThatMakesTheWindowOwnsIt)
{
	TInterAppPrefs store;
	store.SetAppSignatureRef(kOurs);
	store.AddItem(new TIAPItemAccKeyFormat());
	int made = 0;
	store.SetWindowMaker([&](BRect frame) {
		made++;
		EXPECT_EQ(frame, BRect(20, 20, 300, 200));
		// The window starts its port manager as it shows; the store waits
		// for the port.
		fManager = std::make_unique<TIAPPortManager>(BMessenger(fTarget));
		fManager->Resume();
		return fManager.get();
	});

	EXPECT_EQ(store.ShowWindow(BRect(20, 20, 300, 200)), 0);
	EXPECT_EQ(made, 1);
	EXPECT_TRUE(store.IsWindowOwner());
	ASSERT_GE(fManager->Port(), 0);
	ASSERT_TRUE(wait_for([&] { return fTarget->Count() >= 1; }));
	// A window made here needs no activation; it gets the items.
	EXPECT_EQ(fTarget->Codes(), std::vector<uint32>{kIAPAddComponents});

	// Shown again: the port is there now.
	EXPECT_EQ(store.ShowWindow(BRect(20, 20, 300, 200)), 0);
	EXPECT_EQ(made, 1);
	EXPECT_EQ(store.CloseWindow(false), 0);
	ASSERT_TRUE(wait_for([&] { return fTarget->Count() >= 4; }));
	EXPECT_EQ(fTarget->Codes(), (std::vector<uint32>{kIAPAddComponents, kIAPActivateWindow,
		kIAPAddComponents, B_QUIT_REQUESTED}));

	// A window that cannot be made is reported, not claimed.
	TInterAppPrefs other;
	other.SetWindowMaker([](BRect) { return (TIAPPortManager*)nullptr; });
	EXPECT_EQ(other.CreateAndShowWindow(BRect()), B_ERROR);
	EXPECT_FALSE(other.IsWindowOwner());
}

TEST_F(PortFixture, SendingToAPortThatIsGoneFails)
{
	TInterAppPrefs store;
	BMessage msg('test');
	EXPECT_NE(store.SendMessage(-1, &msg), B_OK);
	EXPECT_EQ(store.SendMessage(-1, nullptr), B_BAD_VALUE);

	StartManager();
	const port_id port = fManager->Port();
	EXPECT_EQ(store.SendMessage(port, &msg), B_OK);
	ASSERT_TRUE(wait_for([&] { return fTarget->Count() == 1; }));
	fManager.reset();
	EXPECT_NE(store.SendMessage(port, &msg), B_OK);
}
