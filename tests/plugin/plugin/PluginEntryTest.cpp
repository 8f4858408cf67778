// The plug-in object as the player sees it: the fields NewPlugin fills, what
// each entry point asks of the communication manager, the globals' life,
// the saved window frame and the reset keys. The object is linked in here
// and runs inside a substitute player without a window.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "MelodeckPlayer.h"

#include "framework/Alerts.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "plugin/CommManMessages.h"
#include "plugin/TAppPrivacy.h"
#include "plugin/TVersoD.h"
#include "prefs/PrefStore.h"

#include "interface/Modifiers.h"

#include <Application.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Window.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

const uint32 kResetKeys = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY;

// Sits in front of the manager: keeps the code of every request the plug-in
// object posts and lets none of them through, so the test sees exactly what
// was posted, in order, without windows opening.
class TRequestRecorder : public BMessageFilter {
public:
	TRequestRecorder() : BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE) {}

	filter_result Filter(BMessage* message, BHandler**) override
	{
		static const uint32 kRequests[] = {kMsgOpenMainWin, kMsgPrepareOpenPrefWin,
			kMsgPrepareOpenAboutWin, kMsgCloseAboutWin, kMsgClosePrefWin,
			kMsgCloseCommonPrefWin, kMsgCloseMainWin};
		if (std::find(std::begin(kRequests), std::end(kRequests), message->what)
				== std::end(kRequests))
			return B_DISPATCH_MESSAGE;
		std::lock_guard<std::mutex> lock(fLock);
		fCodes.push_back(message->what);
		return B_SKIP_MESSAGE;
	}

	std::vector<uint32> Codes() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fCodes;
	}

	bool WaitForCount(size_t count) const
	{
		return testutil::wait_for([&] { return Codes().size() >= count; });
	}

private:
	mutable std::mutex fLock;
	std::vector<uint32> fCodes;
};

std::string code_text(uint32 code)
{
	char text[5] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code), 0};
	return text;
}

std::vector<std::string> code_texts(const std::vector<uint32>& codes)
{
	std::vector<std::string> texts;
	for (uint32 code : codes)
		texts.push_back(code_text(code));
	return texts;
}

int32 count_windows_titled(const char* title)
{
	int32 count = 0;
	if (!be_app->Lock())
		return -1;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (window->Lock()) {
			if (strcmp(window->Title(), title) == 0)
				count++;
			window->Unlock();
		}
	}
	be_app->Unlock();
	return count;
}

class PluginEntry : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fSettings.Path().c_str(), 1);
		// Linked in, the object does not find a plug-in file beside its
		// language folder; the alert that says so is answered here.
		orvik::set_alert_responder([this](const orvik::TAlertRequest&) {
			fAlerts++;
			return int32(0);
		});
		Playlist playlist;
		PlaylistEntry entry;
		entry.title = "Only";
		entry.filename = fSettings.File("only.mp3");
		entry.length = 60000;
		playlist.AddEntry(entry);
		HostOptions options;
		options.tickInterval = 0;
		options.startPlaying = false;
		fPlayer = std::make_unique<MelodeckPlayer>(playlist, options);
		ASSERT_EQ(fPlayer->InitCheck(), B_OK);
	}

	void TearDown() override
	{
		BPrivate::set_modifiers(0);
		if (fPlayer) {
			EXPECT_EQ(fPlayer->Quit(), B_OK);
		}
		fPlayer.reset();
		orvik::set_alert_responder(nullptr);
		unsetenv("XDG_CONFIG_HOME");
	}

	GeneralPlugin* NewVersoD(PluginConstructorStruct* info = nullptr)
	{
		PluginConstructorStruct own;
		if (info == nullptr)
			info = &own;
		info->accepted = 0;
		info->host = fPlayer->Messenger();
		info->interfaceVersion = kGeneralPluginInterfaceVersion;
		info->pluginPath = nullptr;
		return NewPlugin(info);
	}

	// A plug-in whose requests are recorded instead of carried out.
	TVersoD* NewRecorded()
	{
		TVersoD* plugin = static_cast<TVersoD*>(NewVersoD());
		BLooper* manager = plugin->CommMan();
		EXPECT_TRUE(manager->Lock());
		manager->AddCommonFilter(&fRecorder);
		manager->Unlock();
		return plugin;
	}

	void DeleteRecorded(TVersoD* plugin)
	{
		BLooper* manager = plugin->CommMan();
		if (manager->Lock()) {
			manager->RemoveCommonFilter(&fRecorder);
			manager->Unlock();
		}
		delete plugin;
	}

	testutil::TempDir fSettings;
	std::unique_ptr<MelodeckPlayer> fPlayer;
	TRequestRecorder fRecorder;
	int fAlerts = 0;
};

}

TEST_F(PluginEntry, NewPluginAcceptsAndFillsTheHostVisibleFields)
{
	PluginConstructorStruct info;
	GeneralPlugin* plugin = NewVersoD(&info);
	ASSERT_NE(plugin, nullptr);
	EXPECT_EQ(info.accepted, 1);
	EXPECT_STREQ(plugin->name, "Verso Displayer");
	EXPECT_STREQ(plugin->description, "Verso Displayer  by ORVIK");
	EXPECT_EQ(plugin->reserved, 0);
	EXPECT_FALSE(plugin->keepLoaded);
	EXPECT_EQ(plugin->GetFlags(), 0u);

	// the process-wide objects exist while the plug-in does, the store
	// knows the accelerator format, and a language was loaded
	ASSERT_NE(gAppPrivacy, nullptr);
	ASSERT_NE(gExitState, nullptr);
	ASSERT_NE(gPref, nullptr);
	ASSERT_NE(gLLT, nullptr);
	ASSERT_NE(gIAP, nullptr);
	std::string format;
	EXPECT_EQ(gIAP->GetString("AccKeyFormat", &format), B_OK);
	EXPECT_STREQ(gIAP->AppSignatureRef(), "application/x-vnd.ORVIK-VersoDisplayer");

	delete plugin;
	// and nothing of them is left behind
	EXPECT_EQ(gAppPrivacy, nullptr);
	EXPECT_EQ(gExitState, nullptr);
	EXPECT_EQ(gPref, nullptr);
	EXPECT_EQ(gLLT, nullptr);
	EXPECT_EQ(gIAP, nullptr);
}

TEST_F(PluginEntry, QueriesPostNothingAndRequestsPostOneMessageEach)
{
	TVersoD* plugin = NewRecorded();
	EXPECT_TRUE(plugin->Prefs(true));
	EXPECT_TRUE(plugin->About(true));
	EXPECT_TRUE(plugin->Prefs(false));
	EXPECT_TRUE(plugin->About(true));
	EXPECT_TRUE(plugin->About(false));
	EXPECT_TRUE(plugin->Init());

	// the manager handles its queue in order: once the last request is in,
	// everything posted before it is too
	ASSERT_TRUE(fRecorder.WaitForCount(3));
	const std::vector<std::string> expected = {"Sppr", "Spar", "Somr"};
	EXPECT_EQ(code_texts(fRecorder.Codes()), expected);

	plugin->Cleanup();
	ASSERT_TRUE(fRecorder.WaitForCount(7));
	DeleteRecorded(plugin);
}

TEST_F(PluginEntry, CleanupPostsTheFourCloseRequestsInOrder)
{
	TVersoD* plugin = NewRecorded();
	// even when no window was ever opened
	plugin->Cleanup();
	ASSERT_TRUE(fRecorder.WaitForCount(4));
	const std::vector<std::string> expected = {"Scar", "Scpr", "Scsr", "Scmr"};
	EXPECT_EQ(code_texts(fRecorder.Codes()), expected);
	DeleteRecorded(plugin);
	// the destructor adds none after a Cleanup
	EXPECT_EQ(fRecorder.Codes().size(), 4u);
}

TEST_F(PluginEntry, TheLyricsWindowIsGoneWhenThePluginIsDeletedEvenWithoutCleanup)
{
	const int32 loopersBefore = be_app->CountLoopers();
	GeneralPlugin* plugin = NewVersoD();
	plugin->Init();
	ASSERT_TRUE(testutil::wait_for([] { return count_windows_titled("Verso Displayer") == 1; }));

	delete plugin;   // no Cleanup(): a player that never got that far
	EXPECT_EQ(count_windows_titled("Verso Displayer"), 0);
	EXPECT_TRUE(testutil::wait_for([&] { return be_app->CountLoopers() == loopersBefore; }));
}

TEST_F(PluginEntry, TheLyricsWindowsFrameAtQuitIsWhatIsSaved)
{
	GeneralPlugin* plugin = NewVersoD();
	plugin->Init();
	BWindow* lyrics = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		if (!be_app->Lock())
			return false;
		for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
			if (window->Lock()) {
				if (strcmp(window->Title(), "Verso Displayer") == 0)
					lyrics = window;
				window->Unlock();
			}
		}
		be_app->Unlock();
		return lyrics != nullptr;
	}));
	ASSERT_TRUE(lyrics->Lock());
	lyrics->MoveTo(321, 432);
	lyrics->Unlock();

	// the close request is still queued when the destructor starts; the
	// frame the window stores as it quits must reach the file all the same
	plugin->Cleanup();
	delete plugin;

	TExitState saved;
	BEntry entry(fSettings.File("ORVIK/VersoD/VersoD_ExitStates.arc").c_str());
	ASSERT_TRUE(entry.Exists());
	ASSERT_TRUE(saved.Load(entry));
	EXPECT_EQ(saved.windowFrame.LeftTop(), BPoint(321, 432));
	EXPECT_EQ(saved.version, "Ver 3.72");
}

TEST_F(PluginEntry, TheResetKeysStartWithTheDefaultsAndWriteThem)
{
	// a user's settings on disk
	GeneralPlugin* plugin = NewVersoD();
	{
		TPrefLock pref;
		pref->stayOnTop = true;
		pref->fontSize = 20;
		pref->readEncoding = 1;
	}
	ASSERT_TRUE(save_pref(true));
	delete plugin;

	// read back normally
	plugin = NewVersoD();
	{
		TPrefLock pref;
		EXPECT_TRUE(pref->stayOnTop);
		EXPECT_EQ(pref->fontSize, 20);
	}
	delete plugin;

	// the four keys held while the player loads the plug-in
	BPrivate::set_modifiers(kResetKeys);
	plugin = NewVersoD();
	{
		TPrefLock pref;
		EXPECT_FALSE(pref->stayOnTop);
		EXPECT_EQ(pref->fontSize, 12);
		EXPECT_EQ(pref->readEncoding, 4);
	}
	BPrivate::set_modifiers(0);
	delete plugin;

	BMessage archive;
	const std::string bytes =
		testutil::read_file(fSettings.File("ORVIK/Shared/VersoShared_Prefs.arc"));
	ASSERT_FALSE(bytes.empty());
	ASSERT_EQ(archive.Unflatten(bytes.data()), B_OK);
	TPref written;
	written.stayOnTop = true;
	written.fontSize = 30;
	written.Unarchive(archive);
	EXPECT_FALSE(written.stayOnTop);
	EXPECT_EQ(written.fontSize, 12);
	EXPECT_EQ(written.readEncoding, 4);
}
