// The real gen_VersoD library loaded, started and unloaded again and again
// beside the player's window: every time, nothing of the plug-in may stay
// behind (threads, loopers, windows, filters, watched nodes), and the code
// must leave the process.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "MelodeckPlayer.h"
#include "PluginHost.h"

#include "storage/NodeWatcher.h"

#include <Application.h>
#include <List.h>
#include <OS.h>
#include <Window.h>

#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>

namespace {

const int kCycles = 100;

// The about window's title in the language the plug-in starts with.
const char* const kAboutTitle = "About Verso Displayer";

// A looper of the application by name, or NULL.
BLooper* find_looper(const char* name)
{
	BLooper* found = nullptr;
	if (be_app->Lock()) {
		for (int32 i = 0; BLooper* looper = be_app->LooperAt(i); i++) {
			if (looper->Name() != nullptr && strcmp(looper->Name(), name) == 0)
				found = looper;
		}
		be_app->Unlock();
	}
	return found;
}

bool is_loaded(const char* path)
{
	void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
	if (handle == nullptr)
		return false;
	dlclose(handle);
	return true;
}

// The names of the threads that run, each once. The plug-in's threads have
// names of their own, which the player's process has not while the plug-in
// is away. Counting them instead would also count the platform's helper
// threads, which join the thread list late, when they first call into the
// platform, under the name of the thread that started them.
std::set<std::string> thread_names()
{
	std::set<std::string> names;
	thread_info info;
	int32 cookie = 0;
	while (get_next_thread_info(0, &cookie, &info) == B_OK)
		names.insert(info.name);
	return names;
}

// What the plug-in may add to the application while it runs, and must take
// away again.
struct Footprint {
	int32 loopers = 0;
	int32 windows = 0;
	int32 appFilters = 0;
	int32 playerFilters = 0;
	int32 watchedNodes = 0;
	std::set<std::string> threads;

	bool operator==(const Footprint&) const = default;
};

void PrintTo(const Footprint& f, std::ostream* out)
{
	*out << "loopers " << f.loopers << ", windows " << f.windows << ", app filters "
		<< f.appFilters << ", player filters " << f.playerFilters << ", watched nodes "
		<< f.watchedNodes << ", threads [";
	for (const std::string& name : f.threads)
		*out << name << "; ";
	*out << "]";
}

int32 count_filters(BLooper* looper)
{
	BList* filters = looper->CommonFilterList();
	return filters != nullptr ? filters->CountItems() : 0;
}

Footprint footprint(BWindow* player)
{
	Footprint f;
	if (be_app->Lock()) {
		f.loopers = be_app->CountLoopers();
		f.windows = be_app->CountWindows();
		f.appFilters = count_filters(be_app);
		be_app->Unlock();
	}
	if (player->Lock()) {
		f.playerFilters = count_filters(player);
		player->Unlock();
	}
	f.watchedNodes = BPrivate::watched_node_count();
	f.threads = thread_names();
	return f;
}

}

TEST(PluginUnload, LoadingAndUnloadingLeavesNothingBehind)
{
	testutil::TempDir settings;
	setenv("XDG_CONFIG_HOME", settings.Path().c_str(), 1);

	Playlist playlist;
	PlaylistEntry entry;
	entry.title = "Harbour";
	entry.filename = settings.File("harbour.mp3");
	entry.length = 120000;
	playlist.AddEntry(entry);
	settings.Write("harbour.lrc", "[00:00.00]one\n[00:01.00]two\n");

	HostOptions options;
	options.tickInterval = 0;
	options.showWindow = true;
	MelodeckPlayer player(playlist, options);
	ASSERT_EQ(player.InitCheck(), B_OK);
	BWindow* playerWindow = windowtest::find_window("Melo-Deck");
	ASSERT_NE(playerWindow, nullptr);

	PluginHost host;
	host.SetHostMessenger(player.Messenger());

	// One cycle of the whole life: load, start (the lyrics window opens and
	// puts its filter on the player's window), stop, unload.
	auto cycle = [&](int round) {
		ASSERT_EQ(host.Load(VERSOD_PLUGIN_PATH), B_OK) << "round " << round;
		ASSERT_EQ(host.CountPlugins(), 1);
		EXPECT_EQ(host.NameAt(0), "Verso Displayer");
		host.InitAll();
		ASSERT_TRUE(testutil::wait_for([] { return windowtest::find_window("Verso Displayer") != nullptr; }))
			<< "round " << round;
		// Now and then the about window and the common preference window
		// are open when the plug-in goes: they must go with it.
		if (round % 10 == 3) {
			EXPECT_TRUE(host.About(0, false));
			EXPECT_TRUE(testutil::wait_for([] { return windowtest::find_window(kAboutTitle) != nullptr; }))
				<< "round " << round;

			BLooper* manager = find_looper("VersoD Communication Manager");
			ASSERT_NE(manager, nullptr);
			manager->PostMessage('pscc');
			EXPECT_TRUE(testutil::wait_for([] {
				return windowtest::find_window("ORVIK Common Preferences") != nullptr
					&& find_port("ORVIKIAPPort") >= 0;
			})) << "round " << round;
		}
		host.UnloadAll();
		EXPECT_EQ(host.CountPlugins(), 0);
		ASSERT_FALSE(is_loaded(VERSOD_PLUGIN_PATH)) << "round " << round;
	};

	// The platform starts some threads of its own on first use (the node
	// monitor's reader, the timers); the first cycles let them start.
	const int kWarmUp = 2;
	for (int round = 0; round < kWarmUp; round++) {
		cycle(round);
		if (HasFatalFailure())
			return;
	}
	const Footprint before = footprint(playerWindow);

	for (int round = kWarmUp; round < kCycles; round++) {
		cycle(round);
		if (HasFatalFailure())
			break;
		const Footprint after = footprint(playerWindow);
		ASSERT_EQ(after, before) << "round " << round;
		// the plug-in's own threads by name
		ASSERT_EQ(find_thread("VersoD Communication Manager"), B_NAME_NOT_FOUND);
		ASSERT_EQ(find_thread("Melo-Deck FrontEnd"), B_NAME_NOT_FOUND);
		ASSERT_EQ(find_thread("IAPPortManager"), B_NAME_NOT_FOUND);
		ASSERT_LT(find_port("ORVIKIAPPort"), 0);
	}

	EXPECT_EQ(windowtest::find_window("Verso Displayer"), nullptr);
	EXPECT_EQ(player.Quit(), B_OK);
	unsetenv("XDG_CONFIG_HOME");
}
