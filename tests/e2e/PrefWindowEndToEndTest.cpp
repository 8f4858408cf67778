// End to end: the player's "Prefs" call opens the real plug-in's preference
// window; a colour edited there reaches the lyrics window through the real
// communication manager, and Cancel takes it back. Only the platform's
// classes are touched, by view name: the windows' own classes belong to the
// library.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "MelodeckPlayer.h"
#include "HostProtocol.h"

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <Application.h>
#include <ColorControl.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TabView.h>
#include <Window.h>

#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

BWindow* find_pref_window()
{
	BWindow* found = nullptr;
	if (!be_app->Lock())
		return nullptr;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (!window->Lock())
			continue;
		if (window->FindView("TabViewCategory") != nullptr)
			found = window;
		window->Unlock();
		if (found != nullptr)
			break;
	}
	be_app->Unlock();
	return found;
}

BPoint in_window(BWindow* window, BView* view, BPoint where)
{
	return windowtest::locked(window, BPoint(-1, -1), [&](BWindow* w) {
		BPoint point = where;
		view->ConvertToScreen(&point);
		return point - w->Frame().LeftTop();
	});
}

void inject_click(BWindow* window, BPoint where)
{
	auto server = display::DisplayServer::Get();
	const display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, false,
		display::display_clock());
}

class PrefWindowEndToEnd : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fMusic.File("config").c_str(), 1);
		fMusic.Write("harbour.lrc", "[00:00.00]Harbour lights\n[00:30.00]and the tide\n");
		Playlist playlist;
		PlaylistEntry entry;
		entry.title = "harbour";
		entry.filename = fMusic.File("harbour.mp3");
		entry.length = 60000;
		playlist.AddEntry(entry);
		HostOptions options;
		options.pluginFiles.push_back(VERSOD_PLUGIN_PATH);
		options.showWindow = true;
		options.tickInterval = 0;
		fPlayer = std::make_unique<MelodeckPlayer>(playlist, options);
		ASSERT_EQ(fPlayer->InitCheck(), B_OK);
		ASSERT_TRUE(testutil::wait_for([&] {
			fLyrics = windowtest::find_window("Verso Displayer");
			return fLyrics != nullptr;
		}));
	}

	void TearDown() override
	{
		if (fPlayer) {
			EXPECT_EQ(fPlayer->Quit(), B_OK);
		}
		fPlayer.reset();
		unsetenv("XDG_CONFIG_HOME");
	}

	// The lyrics window's background, away from the lines.
	uint32 LyricsBackground()
	{
		windowtest::Pixels pixels(fLyrics);
		return pixels.At(2, 0);
	}

	testutil::TempDir fMusic;
	std::unique_ptr<MelodeckPlayer> fPlayer;
	BWindow* fLyrics = nullptr;
};

}

TEST_F(PrefWindowEndToEnd, AColourEditedInThePreferencesReachesTheLyricsWindow)
{
	ASSERT_TRUE(testutil::wait_for([&] { return LyricsBackground() == 0x000000; }));

	BMessage request(kMelodeckPluginPrefs);
	request.AddInt32("plugin", 0);
	BMessage reply;
	ASSERT_EQ(fPlayer->Messenger().SendMessage(&request, &reply), B_OK);
	BWindow* prefs = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] { return (prefs = find_pref_window()) != nullptr; }));
	windowtest::settle(prefs);
	EXPECT_EQ(windowtest::locked(prefs, std::string(),
		[](BWindow* w) { return std::string(w->Title()); }), "Verso Preferences");

	// The display tab, then the background colour for editing.
	BTabView* tabs = windowtest::locked(prefs, (BTabView*)nullptr,
		[](BWindow* w) { return dynamic_cast<BTabView*>(w->FindView("TabViewCategory")); });
	ASSERT_NE(tabs, nullptr);
	BRect tab = windowtest::locked(prefs, BRect(), [&](BWindow*) { return tabs->TabFrame(1); });
	BPoint tabCenter = in_window(prefs, tabs,
		BPoint((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
	windowtest::click(prefs, (int32)tabCenter.x, (int32)tabCenter.y);
	windowtest::settle(prefs);

	BMenuField* colors = windowtest::locked(prefs, (BMenuField*)nullptr,
		[](BWindow* w) { return dynamic_cast<BMenuField*>(w->FindView("MFieldColor")); });
	ASSERT_NE(colors, nullptr);
	BRect bar = windowtest::locked(prefs, BRect(),
		[&](BWindow*) { return colors->MenuBar()->Frame(); });
	BPoint button = in_window(prefs, colors,
		BPoint((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2));
	windowtest::click(prefs, (int32)button.x, (int32)button.y);
	BWindow* menu = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		return (menu = windowtest::find_window("menu")) != nullptr;
	}));
	windowtest::settle(menu);
	BRect item = windowtest::locked(menu, BRect(),
		[&](BWindow*) { return colors->Menu()->ItemAt(1)->Frame(); });
	inject_click(menu, BPoint(floorf((item.left + item.right) / 2),
		floorf((item.top + item.bottom) / 2)));
	ASSERT_TRUE(testutil::wait_for([] { return windowtest::find_window("menu") == nullptr; }));
	windowtest::settle(prefs);

	// A click on the red band of the colour control.
	BColorControl* control = windowtest::locked(prefs, (BColorControl*)nullptr,
		[](BWindow* w) { return dynamic_cast<BColorControl*>(w->FindView("ColCtrlAppearance")); });
	ASSERT_NE(control, nullptr);
	BPoint red = in_window(prefs, control, BPoint(200, 4));
	windowtest::click(prefs, (int32)red.x, (int32)red.y);
	windowtest::settle(prefs);
	const uint32 chosen = windowtest::locked(prefs, (uint32)0,
		[&](BWindow*) { return windowtest::rgb(control->ValueAsColor()); });
	ASSERT_NE(chosen, 0x000000u);
	EXPECT_TRUE(testutil::wait_for([&] { return LyricsBackground() == chosen; }))
		<< std::hex << LyricsBackground() << " instead of " << chosen;

	// Escape cancels: the lyrics window is black again.
	windowtest::key(prefs, 41);
	EXPECT_TRUE(testutil::wait_for([&] {
		return windowtest::locked(prefs, false, [](BWindow* w) { return w->IsHidden(); });
	}));
	EXPECT_TRUE(testutil::wait_for([&] { return LyricsBackground() == 0x000000u; }));

	// The player's call shows the same window again.
	ASSERT_EQ(fPlayer->Messenger().SendMessage(&request, &reply), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] {
		return !windowtest::locked(prefs, true, [](BWindow* w) { return w->IsHidden(); });
	}));
	EXPECT_EQ(find_pref_window(), prefs);
}
