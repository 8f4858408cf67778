// The player's window: found by its title, showing what plays, and driving
// the playback with its bar, buttons, keys and menus.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "HostProtocol.h"
#include "MelodeckPlayer.h"
#include "PlayerDisplay.h"
#include "PlayerWindow.h"
#include "PositionBar.h"

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Screen.h>

#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const uint32 kScanSpace = 44;
const uint32 kScanRight = 79;
const uint32 kScanLeft = 80;
const uint32 kScanN = 17;
const uint32 kScanP = 19;

Playlist playlist_of(const std::vector<std::pair<std::string, int32>>& entries)
{
	Playlist playlist;
	for (const auto& [title, length] : entries) {
		PlaylistEntry entry;
		entry.title = title;
		entry.filename = "/music/" + title + ".mp3";
		entry.length = length;
		playlist.AddEntry(entry);
	}
	return playlist;
}

Playlist two_entries()
{
	return playlist_of({{"First", 90000}, {"Second", 60000}});
}

HostOptions window_options()
{
	HostOptions options;
	options.tickInterval = 0;
	options.showWindow = true;
	return options;
}

// The first window whose title begins with "Melo-Deck", as a plug-in looks
// for the player's window.
BWindow* find_player_window()
{
	BWindow* found = nullptr;
	if (!be_app->Lock())
		return nullptr;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (!window->Lock())
			continue;
		const bool match = strncmp(window->Title(), "Melo-Deck", 9) == 0;
		window->Unlock();
		if (match) {
			found = window;
			break;
		}
	}
	be_app->Unlock();
	return found;
}

// Runs `read` with the window locked.
template<typename T>
T locked(BWindow* window, const std::function<T()>& read)
{
	EXPECT_TRUE(window->Lock());
	T result = read();
	window->Unlock();
	return result;
}

PlayerDisplay* display_of(BWindow* window)
{
	return dynamic_cast<PlayerDisplay*>(window->FindView("display"));
}

PositionBar* bar_of(BWindow* window)
{
	return dynamic_cast<PositionBar*>(window->FindView("position"));
}

std::string title_of(BWindow* window)
{
	return locked<std::string>(window, [&] { return std::string(window->Title()); });
}

std::string time_text(BWindow* window)
{
	return locked<std::string>(window, [&] { return display_of(window)->TimeText(); });
}

std::string status_text(BWindow* window)
{
	return locked<std::string>(window, [&] { return display_of(window)->StatusText(); });
}

// A view's rectangle in window coordinates.
BRect frame_in_window(BWindow* window, const char* name)
{
	return locked<BRect>(window, [&] {
		BView* view = window->FindView(name);
		EXPECT_NE(view, nullptr) << name;
		return view != nullptr ? window->ConvertFromScreen(view->ConvertToScreen(view->Bounds()))
			: BRect();
	});
}

void click_view(BWindow* window, const char* name)
{
	const BRect frame = frame_in_window(window, name);
	windowtest::click(window, (int32)((frame.left + frame.right) / 2),
		(int32)((frame.top + frame.bottom) / 2));
}

// The window point of the bar that stands for `position`.
BPoint bar_point(BWindow* window, int32 position)
{
	const BRect frame = frame_in_window(window, "position");
	const float x = locked<float>(window, [&] { return bar_of(window)->XFor(position); });
	return BPoint(frame.left + x, (frame.top + frame.bottom) / 2);
}

// The pixels of the view `name`, row by row, once the window has drawn.
std::vector<uint32> view_pixels(BWindow* window, const char* name)
{
	const BRect frame = frame_in_window(window, name);
	windowtest::Pixels pixels(window);
	std::vector<uint32> found;
	for (int32 y = (int32)frame.top; y <= (int32)frame.bottom; y++)
		for (int32 x = (int32)frame.left; x <= (int32)frame.right; x++)
			found.push_back(pixels.At(x, y));
	return found;
}

// Has the view `name` drawn whole again.
void redraw_whole(BWindow* window, const char* name)
{
	locked<bool>(window, [&] {
		window->FindView(name)->Invalidate();
		return true;
	});
}

bool near(int32 value, int32 expected, int32 tolerance)
{
	return value >= expected - tolerance && value <= expected + tolerance;
}

// A window of the player other than `known`, once it is on screen (a menu
// that opened).
BWindow* wait_for_other_window(const std::vector<BWindow*>& known)
{
	BWindow* found = nullptr;
	testutil::wait_for([&] {
		if (!be_app->Lock())
			return false;
		for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
			if (std::find(known.begin(), known.end(), window) == known.end()
				&& window->Lock()) {
				if (!window->IsHidden())
					found = window;
				window->Unlock();
			}
		}
		be_app->Unlock();
		return found != nullptr;
	});
	return found;
}

// The middle of a menu's item in the coordinates of the window the menu
// is open in.
BPoint item_point(BWindow* menuWindow, BMenu* menu, int32 index)
{
	return locked<BPoint>(menuWindow, [&] {
		BMenuItem* item = menu->ItemAt(index);
		const BRect frame = item->Frame();
		return menuWindow->ConvertFromScreen(
			item->Menu()->ConvertToScreen(BPoint((frame.left + frame.right) / 2,
				(frame.top + frame.bottom) / 2)));
	});
}

// A click for a window that closes because of it: the window is not
// touched afterwards.
void click_and_forget(BWindow* window, BPoint where)
{
	const display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto server = display::DisplayServer::Get();
	for (bool down : {true, false}) {
		server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, down,
			display::display_clock());
	}
}

bool is_loaded(const char* path)
{
	void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
	if (handle == nullptr)
		return false;
	dlclose(handle);
	return true;
}

std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		lines.push_back(line);
	return lines;
}

}

TEST(PlayerWindow, IsFoundByItsTitleAndShowsThePlayingEntry)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);

	EXPECT_TRUE(testutil::wait_for([&] { return title_of(window) == "Melo-Deck - First"; }));
	EXPECT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:00 / 1:30"; }));
	EXPECT_EQ(status_text(window), "1 of 2  \xc2\xb7  Playing");

	// on the left of the screen, leaving room for a window beside it
	const BRect frame = locked<BRect>(window, [&] { return window->Frame(); });
	EXPECT_NEAR(frame.Width() + 1, 400, 1);
	EXPECT_LT(frame.right, BScreen().Frame().Width() / 2);

	ASSERT_EQ(player.Next(), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return title_of(window) == "Melo-Deck - Second"; }));
	EXPECT_EQ(locked<std::string>(window, [&] { return display_of(window)->Title(); }),
		"Second");
	EXPECT_EQ(status_text(window), "2 of 2  \xc2\xb7  Playing");
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, PositionAndBarFollowThePlayback)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);

	// the clock's steady run is not announced: the window asks while it plays
	ASSERT_EQ(player.Advance(42000), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:42 / 1:30"; }));
	EXPECT_EQ(locked<int32>(window, [&] { return bar_of(window)->Position(); }), 42000);

	// the bar is drawn filled up to the position, and empty after it
	const BPoint mark = bar_point(window, 42000);
	windowtest::Pixels pixels(window);
	const uint32 fill = windowtest::rgb(ui_color(B_CONTROL_HIGHLIGHT_COLOR));
	EXPECT_EQ(pixels.At((int32)mark.x - 10, (int32)mark.y), fill);
	EXPECT_NE(pixels.At((int32)mark.x + 10, (int32)mark.y), fill);

	// pausing is announced, and the play button offers to play again
	ASSERT_EQ(player.Pause(), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] {
		return status_text(window) == "1 of 2  \xc2\xb7  Paused";
	}));
	EXPECT_EQ(locked<std::string>(window, [&] {
		return std::string(dynamic_cast<BButton*>(window->FindView("play"))->Label());
	}), "Play");

	// an entry that ends moves the window on to the next one
	ASSERT_EQ(player.Play(), B_OK);
	ASSERT_EQ(player.Advance(50000), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:02 / 1:00"; }));
	EXPECT_EQ(title_of(window), "Melo-Deck - Second");
	EXPECT_EQ(player.Quit(), B_OK);
}

// The bar draws again only the strip its knob left and entered; step by
// step, forwards and back, it looks as it does drawn whole.
TEST(PlayerWindow, TheBarMovedStepByStepLooksAsDrawnWhole)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);

	int32 position = 0;
	for (int32 step : {700, 1300, 4000, 2000, 9000}) {
		position += step;
		ASSERT_EQ(player.Advance(step), B_OK);
		ASSERT_TRUE(testutil::wait_for([&] {
			return locked<int32>(window, [&] { return bar_of(window)->Position(); })
				== position;
		}));
	}
	ASSERT_EQ(player.SetPosition(3000), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] {
		return locked<int32>(window, [&] { return bar_of(window)->Position(); }) == 3000;
	}));
	const std::vector<uint32> stepped = view_pixels(window, "position");

	redraw_whole(window, "position");
	EXPECT_EQ(view_pixels(window, "position"), stepped);
	EXPECT_EQ(player.Quit(), B_OK);
}

// A new second draws the time line again and leaves the title as it was.
TEST(PlayerWindow, ANewSecondRedrawsTheTimeAndKeepsTheTitle)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	const BRect display = frame_in_window(window, "display");
	const int32 middle = (int32)((display.top + display.bottom) / 2);
	// the pixels of the display's upper (title) or lower (time) half
	auto half = [&](bool upper) {
		windowtest::Pixels pixels(window);
		std::vector<uint32> found;
		const int32 top = upper ? (int32)display.top : middle;
		const int32 bottom = upper ? middle : (int32)display.bottom;
		for (int32 y = top; y < bottom; y++)
			for (int32 x = (int32)display.left; x <= (int32)display.right; x++)
				found.push_back(pixels.At(x, y));
		return found;
	};
	const uint32 text = windowtest::rgb(PlayerDisplay::TextColor());

	ASSERT_EQ(player.Advance(1000), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:01 / 1:30"; }));
	std::vector<uint32> title, time;
	ASSERT_TRUE(testutil::wait_for([&] {
		title = half(true);
		time = half(false);
		return std::count(title.begin(), title.end(), text) > 0
			&& std::count(time.begin(), time.end(), text) > 0;
	}));

	ASSERT_EQ(player.Advance(1000), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:02 / 1:30"; }));
	EXPECT_TRUE(testutil::wait_for([&] { return half(false) != time; }));
	EXPECT_EQ(half(true), title);
	// the new time stands where the old one stood, with as much ink
	const std::vector<uint32> newTime = half(false);
	EXPECT_NEAR((double)std::count(newTime.begin(), newTime.end(), text),
		(double)std::count(time.begin(), time.end(), text),
		std::count(time.begin(), time.end(), text) * 0.3);
	EXPECT_EQ(player.Quit(), B_OK);
}

// Only the time's end of the line below is drawn again, second after
// second and across a wider time: the display looks as drawn whole.
TEST(PlayerWindow, TheTimeRedrawnAloneLooksAsDrawnWhole)
{
	MelodeckPlayer player(playlist_of({{"Long", 660000}}), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);

	ASSERT_EQ(player.Advance(597000), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return time_text(window) == "9:57 / 11:00"; }));
	const std::vector<uint32> before = view_pixels(window, "display");
	for (const char* shown : {"9:58 / 11:00", "9:59 / 11:00", "10:00 / 11:00",
			"10:01 / 11:00"}) {
		ASSERT_EQ(player.Advance(1000), B_OK);
		ASSERT_TRUE(testutil::wait_for([&] { return time_text(window) == shown; }));
	}
	const std::vector<uint32> stepped = view_pixels(window, "display");
	EXPECT_NE(stepped, before);
	redraw_whole(window, "display");
	EXPECT_EQ(view_pixels(window, "display"), stepped);
	EXPECT_EQ(player.Quit(), B_OK);
}

// While it plays, the player draws each new second into the window itself
// (it is awake for the plug-ins anyway): the window's thread sleeps on, and
// the window looks as drawn whole.
TEST(PlayerWindow, TheSecondsAreDrawnWhileTheWindowsThreadSleeps)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	ASSERT_EQ(player.Advance(1000), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return time_text(window) == "0:01 / 1:30"; }));
	view_pixels(window, "display");   // the window's queue is empty

	const pid_t thread = testutil::thread_named(kPlayerWindowTitle);
	ASSERT_TRUE(testutil::wait_for([&] { return testutil::is_blocked(thread); }));
	const long long before = testutil::thread_switches(kPlayerWindowTitle);
	ASSERT_GE(before, 0);
	// what the screen shows, read without the window's lock or thread
	const display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto screen = [&] {
		std::vector<uint32> pixels;
		display::DisplayServer::Get()->ReadContents(id, &pixels, nullptr, nullptr);
		return pixels;
	};
	for (int32 second = 2; second <= 4; second++) {
		const std::vector<uint32> shown = screen();
		ASSERT_EQ(player.Advance(1000), B_OK);
		ASSERT_TRUE(testutil::wait_for([&] { return screen() != shown; })) << second;
	}
	// (one more for a sleep that was still on its way when counted; a
	// window woken for the time would add one or two for every second)
	EXPECT_LE(testutil::thread_switches(kPlayerWindowTitle), before + 1);

	EXPECT_EQ(time_text(window), "0:04 / 1:30");
	EXPECT_EQ(locked<int32>(window, [&] { return bar_of(window)->Position(); }), 4000);
	for (const char* name : {"display", "position"}) {
		const std::vector<uint32> drawn = view_pixels(window, name);
		redraw_whole(window, name);
		EXPECT_EQ(view_pixels(window, name), drawn) << name;
	}
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, ClickingOrDraggingTheBarSeeks)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	ASSERT_EQ(player.Pause(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	ASSERT_TRUE(testutil::wait_for([&] {
		return locked<int32>(window, [&] { return bar_of(window)->Length(); }) == 90000;
	}));
	// one pixel of the bar is worth this much
	const int32 step = locked<int32>(window, [&] {
		return bar_of(window)->PositionAt(bar_of(window)->XFor(0) + 1);
	});

	BPoint point = bar_point(window, 30000);
	windowtest::click(window, (int32)point.x, (int32)point.y);
	EXPECT_TRUE(testutil::wait_for([&] { return near(player.Position(), 30000, step); }));

	// held and dragged: the seek happens once, where the button is released
	const BPoint from = bar_point(window, 10000);
	const BPoint to = bar_point(window, 67500);
	windowtest::mouse_button(window, (int32)from.x, (int32)from.y, true);
	windowtest::mouse_move(window, (int32)to.x, (int32)from.y);
	EXPECT_TRUE(locked<bool>(window, [&] { return bar_of(window)->IsTracking(); }));
	EXPECT_TRUE(near(player.Position(), 30000, step));
	windowtest::mouse_button(window, (int32)to.x, (int32)from.y, false);
	EXPECT_TRUE(testutil::wait_for([&] { return near(player.Position(), 67500, step); }));
	EXPECT_TRUE(testutil::wait_for([&] { return time_text(window) == "1:07 / 1:30"; }));
	EXPECT_EQ(player.CurrentIndex(), 0);
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, ButtonsAndKeysDriveThePlayback)
{
	MelodeckPlayer player(playlist_of({{"One", 60000}, {"Two", 60000}, {"Three", 60000}}),
		window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	ASSERT_TRUE(testutil::wait_for([&] {
		return locked<bool>(window, [&] {
			return dynamic_cast<BButton*>(window->FindView("next"))->IsEnabled();
		});
	}));

	click_view(window, "next");
	EXPECT_TRUE(testutil::wait_for([&] { return player.CurrentIndex() == 1; }));
	click_view(window, "previous");
	EXPECT_TRUE(testutil::wait_for([&] { return player.CurrentIndex() == 0; }));
	click_view(window, "play");
	EXPECT_TRUE(testutil::wait_for([&] { return !player.IsPlaying(); }));

	// the keys work whichever button was clicked last
	windowtest::key(window, kScanSpace);
	EXPECT_TRUE(testutil::wait_for([&] { return player.IsPlaying(); }));
	ASSERT_EQ(player.Pause(), B_OK);
	windowtest::key(window, kScanRight);
	windowtest::key(window, kScanRight);
	EXPECT_TRUE(testutil::wait_for([&] { return player.Position() == 10000; }));
	windowtest::key(window, kScanLeft);
	EXPECT_TRUE(testutil::wait_for([&] { return player.Position() == 5000; }));
	windowtest::key(window, kScanLeft);
	windowtest::key(window, kScanLeft);   // not before the start
	EXPECT_TRUE(testutil::wait_for([&] { return player.Position() == 0; }));
	windowtest::key(window, kScanN);
	windowtest::key(window, kScanN);
	EXPECT_TRUE(testutil::wait_for([&] { return player.CurrentIndex() == 2; }));
	windowtest::key(window, kScanP);
	EXPECT_TRUE(testutil::wait_for([&] { return player.CurrentIndex() == 1; }));
	EXPECT_FALSE(player.IsPlaying());
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, NothingToPlayLeavesTheControlsIdle)
{
	MelodeckPlayer player(Playlist(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	// the player has answered the window (its question came first) and the
	// window has taken the answer in
	BMessage state;
	ASSERT_EQ(player.GetState(&state), B_OK);
	windowtest::settle(window);
	EXPECT_EQ(title_of(window), "Melo-Deck");
	EXPECT_EQ(status_text(window), "Nothing to play");
	EXPECT_EQ(time_text(window), "");
	EXPECT_FALSE(locked<bool>(window, [&] {
		return dynamic_cast<BButton*>(window->FindView("play"))->IsEnabled();
	}));

	// a click on the bar or a key asks nothing impossible of the player
	const BRect bar = frame_in_window(window, "position");
	windowtest::click(window, (int32)(bar.left + bar.right) / 2, (int32)(bar.top + bar.bottom) / 2);
	windowtest::key(window, kScanRight);
	windowtest::key(window, kScanSpace);
	EXPECT_EQ(player.CurrentIndex(), -1);
	EXPECT_FALSE(player.IsPlaying());
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, ALongTitleIsCutToTheDisplay)
{
	std::string title;
	for (int i = 0; i < 60; i++)
		title += "長い題名";
	MelodeckPlayer player(playlist_of({{title, 60000}}), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	ASSERT_TRUE(testutil::wait_for([&] { return title_of(window) == "Melo-Deck - " + title; }));
	EXPECT_EQ(locked<std::string>(window, [&] { return display_of(window)->Title(); }), title);

	// nothing is drawn into the display's right margin
	const BRect display = frame_in_window(window, "display");
	windowtest::Pixels pixels(window);
	const uint32 background = windowtest::rgb(PlayerDisplay::BackgroundColor());
	EXPECT_EQ(pixels.Count(background, (int32)display.right - 6, (int32)display.top + 2,
		(int32)display.right - 2, (int32)display.top + 20), 5 * 19);
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerWindow, PluginMenuCallsPreferencesAndAbout)
{
	testutil::TempDir dir;
	setenv("MELODECK_TEST_PLUGIN_LOG", dir.File("calls.log").c_str(), 1);
	HostOptions options = window_options();
	options.pluginFiles.push_back(HOST_TEST_RECORDING_PLUGIN);
	MelodeckPlayer player(two_entries(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);

	auto invoke = [&](const char* menu, const char* item) {
		return locked<status_t>(window, [&]() -> status_t {
			BMenuBar* bar = dynamic_cast<BMenuBar*>(window->FindView("menu bar"));
			BMenuItem* found = bar != nullptr ? bar->FindItem(item) : nullptr;
			EXPECT_NE(found, nullptr) << item;
			if (found == nullptr)
				return B_ERROR;
			EXPECT_STREQ(found->Menu()->Name(), menu);
			return found->IsEnabled() ? found->Invoke() : B_NOT_ALLOWED;
		});
	};
	auto log = [&] { return lines_of(testutil::read_file(dir.File("calls.log"))); };
	// the player told the window what the plug-in offers before it was ready
	windowtest::settle(window);

	// by the mouse: Plug-ins, Recorder, Preferences…
	BMenu* plugins = locked<BMenu*>(window, [&] {
		return dynamic_cast<BMenuBar*>(window->FindView("menu bar"))->SubmenuAt(1);
	});
	ASSERT_NE(plugins, nullptr);
	BMenu* recorderMenu = locked<BMenu*>(window, [&] { return plugins->SubmenuAt(0); });
	ASSERT_NE(recorderMenu, nullptr);
	const BPoint entry = locked<BPoint>(window, [&] {
		BMenuBar* bar = dynamic_cast<BMenuBar*>(window->FindView("menu bar"));
		const BRect frame = bar->ItemAt(1)->Frame();
		return bar->ConvertToParent(BPoint((frame.left + frame.right) / 2,
			(frame.top + frame.bottom) / 2));
	});
	windowtest::click(window, (int32)entry.x, (int32)entry.y);
	BWindow* pluginWindow = wait_for_other_window({window});
	ASSERT_NE(pluginWindow, nullptr);
	const BPoint recorder = item_point(pluginWindow, plugins, 0);
	windowtest::click(pluginWindow, (int32)recorder.x, (int32)recorder.y);
	BWindow* recorderWindow = wait_for_other_window({window, pluginWindow});
	ASSERT_NE(recorderWindow, nullptr);
	const BPoint prefs = item_point(recorderWindow, recorderMenu, 0);
	click_and_forget(recorderWindow, prefs);
	EXPECT_TRUE(testutil::wait_for([&] { return log().size() >= 5; }));

	// and by the item itself
	EXPECT_EQ(invoke("Recorder", "About\xe2\x80\xa6"), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return log().size() >= 6; }));
	const std::vector<std::string> expected = {"new Recorder", "init", "prefs query",
		"about query", "prefs", "about"};
	EXPECT_EQ(log(), expected);

	// Quit in the menu quits the player, plug-ins first
	EXPECT_EQ(invoke("Player", "Quit"), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return !player.Messenger().IsValid(); }, 10000000));
	EXPECT_EQ(log().back(), "destroyed");
	EXPECT_EQ(player.Quit(), B_OK);
	// the window is no looper of the plug-in's: its library could go
	EXPECT_FALSE(is_loaded(HOST_TEST_RECORDING_PLUGIN));
	unsetenv("MELODECK_TEST_PLUGIN_LOG");
}

TEST(PlayerWindow, ClosingTheWindowQuitsThePlayer)
{
	MelodeckPlayer player(two_entries(), window_options());
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* window = find_player_window();
	ASSERT_NE(window, nullptr);
	// as the close box does
	window->PostMessage(B_QUIT_REQUESTED);
	EXPECT_TRUE(testutil::wait_for([&] { return !player.Messenger().IsValid(); }, 10000000));
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerCommands, SeekByOffsetStaysInsideTheEntry)
{
	HostOptions options;
	options.tickInterval = 0;
	MelodeckPlayer player(two_entries(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);
	ASSERT_EQ(player.Pause(), B_OK);
	auto seek_by = [&](int32 offset) {
		BMessage seek(kMelodeckSeek), reply;
		seek.AddInt32(MELODECK_FIELD_OFFSET, offset);
		int32 error = B_ERROR;
		if (player.Messenger().SendMessage(&seek, &reply) == B_OK)
			reply.FindInt32("error", &error);
		return error;
	};
	ASSERT_EQ(player.SetPosition(2000), B_OK);
	EXPECT_EQ(seek_by(-5000), B_OK);
	EXPECT_EQ(player.Position(), 0);
	EXPECT_EQ(seek_by(80000), B_OK);
	EXPECT_EQ(player.Position(), 80000);
	EXPECT_EQ(seek_by(INT32_MAX), B_OK);   // no wrapping round: the very end
	EXPECT_EQ(player.CurrentIndex(), 0);
	EXPECT_EQ(player.Position(), 90000);
	ASSERT_EQ(player.Play(), B_OK);        // which ends the entry once it plays
	EXPECT_EQ(player.CurrentIndex(), 1);
	EXPECT_EQ(player.Position(), 0);

	BMessage empty(kMelodeckSeek), reply;
	ASSERT_EQ(player.Messenger().SendMessage(&empty, &reply), B_OK);
	int32 error = B_OK;
	reply.FindInt32("error", &error);
	EXPECT_EQ(error, B_BAD_VALUE);
	EXPECT_EQ(player.Quit(), B_OK);
}

TEST(PlayerCommands, PlayTimesReadAsMinutesAndSeconds)
{
	EXPECT_EQ(format_play_time(0), "0:00");
	EXPECT_EQ(format_play_time(59999), "0:59");
	EXPECT_EQ(format_play_time(61000), "1:01");
	EXPECT_EQ(format_play_time(3725000), "62:05");
	EXPECT_EQ(format_play_time(-5000), "0:00");
}
