// prefs_demo: the substitute player with the real gen_VersoD plug-in, whose
// preference window is opened the way the player opens it (its "Prefs"
// call), beside the lyrics window.
//
//   prefs_demo [--headless] [--out FOLDER] [--seconds N] [playlist]
//
// On a display the windows stay until the player's window is closed (or N
// seconds). Headless, the demo shows each of the five tabs in English and in
// the built-in Japanese, choosing the language in the window's own menu,
// and writes a picture of each into FOLDER (prefs-en-1-general.png ...
// prefs-ja-5-editor.png), one of the option menu opened on the display tab
// and one of its load submenu, after saving the appearance as the preset
// "Night" (kept in the demo's settings); then it cancels, so that the
// settings stay as they were.
#include "MelodeckPlayer.h"
#include "Playlist.h"
#include "HostProtocol.h"

#include "interface/WindowAccess.h"

#include <Application.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <TabView.h>
#include <Window.h>

#include "display/DisplayServer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>

namespace {

struct Options {
	bool headless = false;
	int32 seconds = 0;
	std::string out = ".";
	std::string playlist = DEMO_PLAYLIST;
};

bool parse(int argc, char** argv, Options* options)
{
	for (int i = 1; i < argc; i++) {
		const std::string arg = argv[i];
		if (arg == "--headless")
			options->headless = true;
		else if (arg == "--out" && i + 1 < argc)
			options->out = argv[++i];
		else if (arg == "--seconds" && i + 1 < argc && atoi(argv[i + 1]) > 0)
			options->seconds = atoi(argv[++i]);
		else if (!arg.empty() && arg[0] != '-')
			options->playlist = arg;
		else {
			fprintf(stderr, "usage: prefs_demo [--headless] [--out FOLDER] [--seconds N] "
				"[playlist]\n");
			return false;
		}
	}
	return true;
}

bool wait_for(const std::function<bool()>& done, bigtime_t timeout = 10000000)
{
	const bigtime_t end = timeout == B_INFINITE_TIMEOUT ? timeout : system_time() + timeout;
	while (!done()) {
		if (system_time() > end)
			return false;
		snooze(20000);
	}
	return true;
}

BWindow* find_window(const char* prefix)
{
	BWindow* found = nullptr;
	if (!be_app->Lock())
		return nullptr;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (!window->Lock())
			continue;
		if (strncmp(window->Title(), prefix, strlen(prefix)) == 0)
			found = window;
		window->Unlock();
		if (found != nullptr)
			break;
	}
	be_app->Unlock();
	return found;
}

// The preference window: the one with the tab view of the preferences.
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

std::string title_of(BWindow* window)
{
	std::string title;
	if (window->Lock()) {
		title = window->Title();
		window->Unlock();
	}
	return title;
}

void select_tab(BWindow* window, int32 index)
{
	if (!window->Lock())
		return;
	if (BTabView* tabs = dynamic_cast<BTabView*>(window->FindView("TabViewCategory")))
		tabs->Select(index);
	window->Unlock();
	BPrivate::WindowAccess::Settle(window);
}

// Chooses the language item whose file name ends with `suffix` (the
// built-in language has an empty one), as a click in the menu would.
bool choose_language(BWindow* window, const char* suffix)
{
	// The language menu is on the first tab.
	select_tab(window, 0);
	if (!window->Lock())
		return false;
	bool chosen = false;
	BMenuField* field = dynamic_cast<BMenuField*>(window->FindView("MFieldLanguage"));
	for (int32 i = 0; field != nullptr && field->Menu()->ItemAt(i) != nullptr; i++) {
		BMenuItem* item = field->Menu()->ItemAt(i);
		const char* path = nullptr;
		if (item->Message() == nullptr || item->Message()->FindString("LLTF", &path) != B_OK)
			continue;
		const size_t length = strlen(path);
		const size_t want = strlen(suffix);
		const bool matches = want == 0 ? length == 0
			: (length >= want && strcmp(path + length - want, suffix) == 0);
		if (matches) {
			item->SetMarked(true);
			item->Invoke();
			chosen = true;
			break;
		}
	}
	window->Unlock();
	return chosen;
}

bool write_png(BWindow* window, const std::string& path)
{
	if (BPrivate::WindowAccess::WritePng(window, path.c_str()) != B_OK) {
		fprintf(stderr, "prefs_demo: cannot write %s\n", path.c_str());
		return false;
	}
	printf("prefs_demo: %s\n", path.c_str());
	return true;
}

// A menu window other than `other`, or NULL.
BWindow* find_menu_besides(BWindow* other)
{
	BWindow* found = nullptr;
	if (!be_app->Lock())
		return nullptr;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (window == other || !window->Lock())
			continue;
		if (strcmp(window->Title(), "menu") == 0)
			found = window;
		window->Unlock();
		if (found != nullptr)
			break;
	}
	be_app->Unlock();
	return found;
}

void press_escape(BWindow* window)
{
	auto server = display::DisplayServer::Get();
	display::KeyInput escape;
	escape.scancode = 41;
	server->InjectKey(BPrivate::WindowAccess::NativeWindow(window), escape);
	escape.down = false;
	server->InjectKey(BPrivate::WindowAccess::NativeWindow(window), escape);
}

// Opens the option menu with a click on its button and pictures it; with
// `loadPath`, also its load submenu, opened by pointing at its item.
void picture_option_menu(BWindow* window, const std::string& path,
	const std::string& loadPath = std::string())
{
	BPoint button(-1, -1);
	BMenuField* field = nullptr;
	if (window->Lock()) {
		field = dynamic_cast<BMenuField*>(window->FindView("MFieldOption"));
		if (field != nullptr) {
			BRect frame = field->MenuBar()->Bounds();
			button = BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
			field->MenuBar()->ConvertToScreen(&button);
			button -= window->Frame().LeftTop();
		}
		window->Unlock();
	}
	if (button.x < 0)
		return;
	auto server = display::DisplayServer::Get();
	const display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	server->InjectMouseButton(id, (int32)button.x, (int32)button.y, 1, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)button.x, (int32)button.y, 1, false,
		display::display_clock());
	BWindow* menu = nullptr;
	if (!wait_for([&] { return (menu = find_window("menu")) != nullptr; }, 3000000))
		return;
	BPrivate::WindowAccess::Settle(menu);
	write_png(menu, path);

	if (!loadPath.empty() && menu->Lock()) {
		BRect item = field->Menu()->ItemAt(0)->Frame();
		menu->Unlock();
		server->InjectMouseMove(BPrivate::WindowAccess::NativeWindow(menu),
			(int32)((item.left + item.right) / 2), (int32)((item.top + item.bottom) / 2),
			display::display_clock());
		BWindow* submenu = nullptr;
		if (wait_for([&] { return (submenu = find_menu_besides(menu)) != nullptr; }, 3000000)) {
			BPrivate::WindowAccess::Settle(submenu);
			write_png(submenu, loadPath);
			press_escape(submenu);
			wait_for([&] { return find_menu_besides(menu) == nullptr; }, 3000000);
		}
	}
	// Escape closes it again.
	if (find_window("menu") != nullptr)
		press_escape(menu);
	wait_for([] { return find_window("menu") == nullptr; }, 3000000);
}

bool picture_tabs(BWindow* window, const Options& options, const char* language)
{
	static const char* const kTabs[] = {"general", "display", "image", "other", "editor"};
	bool written = true;
	for (int32 i = 0; i < 5; i++) {
		select_tab(window, i);
		const std::string path = options.out + "/prefs-" + language + "-" + std::to_string(i + 1)
			+ "-" + kTabs[i] + ".png";
		written = write_png(window, path) && written;
		if (i == 1) {
			// A preset of the demo's own settings, so that the load menu
			// shows one.
			if (window->Lock()) {
				BView* view = window->FindView("PrefView");
				window->Unlock();
				BMessage save('snpr');
				save.AddString("_SmplIptData", "Night");
				window->PostMessage(&save, view);
				BPrivate::WindowAccess::Settle(window);
			}
			const std::string prefix = options.out + "/prefs-" + language + "-2-";
			picture_option_menu(window, prefix + "options-menu.png", prefix + "load-menu.png");
		}
	}
	return written;
}

}

int main(int argc, char** argv)
{
	Options options;
	if (!parse(argc, argv, &options))
		return 2;
	if (options.headless)
		setenv("VERSO_DISPLAY", "headless", 1);

	Playlist playlist;
	Playlist::Notes notes;
	playlist.AddPath(options.playlist, &notes);
	for (const std::string& note : notes)
		fprintf(stderr, "prefs_demo: %s\n", note.c_str());

	HostOptions host;
	host.pluginFiles.push_back(VERSOD_PLUGIN_PATH);
	host.showWindow = true;
	MelodeckPlayer player(playlist, host);
	if (player.InitCheck() != B_OK) {
		fprintf(stderr, "prefs_demo: the player does not start\n");
		return 1;
	}
	if (!wait_for([] { return find_window("Verso Displayer") != nullptr; }))
		fprintf(stderr, "prefs_demo: the lyrics window did not open\n");

	// The player's "Prefs" call on its first plug-in.
	BMessage prefs(kMelodeckPluginPrefs);
	prefs.AddInt32("plugin", 0);
	BMessage reply;
	player.Messenger().SendMessage(&prefs, &reply);
	BWindow* window = nullptr;
	if (!wait_for([&] { return (window = find_pref_window()) != nullptr; })) {
		fprintf(stderr, "prefs_demo: the preference window did not open\n");
		player.Quit();
		return 1;
	}
	BPrivate::WindowAccess::Settle(window);

	int status = 0;
	if (options.headless) {
		const std::string before = title_of(window);
		if (choose_language(window, "/English.llt"))
			wait_for([&] { return title_of(window) == "Verso Preferences"; }, 5000000);
		if (!picture_tabs(window, options, "en"))
			status = 1;
		const std::string english = title_of(window);
		if (!choose_language(window, "")
			|| !wait_for([&] { return title_of(window) != english; }, 5000000))
			fprintf(stderr, "prefs_demo: the built-in language was not taken\n");
		if (!picture_tabs(window, options, "ja"))
			status = 1;
		// Cancel: the demo's settings stay as they were.
		if (window->Lock()) {
			BView* view = window->FindView("PrefView");
			window->Unlock();
			window->PostMessage('_cnc', view);
		}
		wait_for([&] { return title_of(window) == before; }, 5000000);
		if (options.seconds > 0)
			snooze((bigtime_t)options.seconds * 1000000);
	} else if (options.seconds > 0) {
		snooze((bigtime_t)options.seconds * 1000000);
	} else {
		// Until the person closes the player's window.
		BMessenger app = player.Messenger();
		wait_for([&] { return !app.IsValid(); }, B_INFINITE_TIMEOUT);
	}
	player.Quit();
	return status;
}
