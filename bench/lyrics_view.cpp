// The lyrics view's costs, headless:
//   BM_PollWithoutChange  one poll of the player that finds nothing new
//                         (window-thread time; target < 10 µs)
//   BM_LineChangeByCopy   the change to a prepared line: one copy of the
//                         400 × 120 off-screen bitmap (target < 0.2 ms)
//   BM_FullRedraw         the whole screen drawn directly (target < 1 ms)
//   BM_FollowPlayback/N   the player and the view, 25 ms polling, N seconds
//                         of real playback; "cpu_%" is the process's CPU
//                         time over wall time (target < 0.5 % of one core).
//                         /60 is the figure; /10 is a quick look:
//                         bench_lyrics_view --benchmark_filter=Follow.*/10
#include <benchmark/benchmark.h>

#include "ManualClock.h"
#include "MelodeckApp.h"
#include "MelodeckPlayer.h"
#include "SystemClock.h"

#include "lyrics/TVersoDView.h"
#include "lyrics/VersoDMessages.h"
#include "prefs/PrefStore.h"

#include <Autolock.h>
#include <Bitmap.h>
#include <OS.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

// Before anything opens the display or meets other applications.
const std::string kFolder = [] {
	setenv("VERSO_HEADLESS", "1", 1);
	std::string folder = (std::filesystem::temp_directory_path() / "lyrics-view-bench-XXXXXX").string();
	if (mkdtemp(folder.data()) == nullptr)
		abort();
	setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
	setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
	return folder;
}();

const char* const kTitle = "Bench Song";

// A song of 10 minutes with a line every 3 seconds.
Playlist make_playlist()
{
	std::ofstream lyrics(kFolder + "/song.lrc");
	for (int i = 0; i < 200; i++) {
		char tag[32];
		snprintf(tag, sizeof(tag), "[%02d:%02d.00]", i * 3 / 60, i * 3 % 60);
		lyrics << tag << "line number " << i << " of the benchmark song\n";
	}
	lyrics.close();

	Playlist playlist;
	PlaylistEntry entry;
	entry.filename = kFolder + "/song.mp3";
	entry.title = kTitle;
	entry.length = 600000;
	playlist.AddEntry(entry);
	return playlist;
}

void set_prefs(bigtime_t pollInterval, bool doubleBuffering)
{
	TPrefLock lock;
	if (gPref == nullptr)
		gPref = new TPref;
	gPref->pollingInterval = pollInterval;
	gPref->doubleBuffering = doubleBuffering;
}

bool wait_for(const std::function<bool()>& done, bigtime_t timeout = 10000000)
{
	const bigtime_t end = system_time() + timeout;
	while (!done()) {
		if (system_time() > end)
			return false;
		snooze(2000);
	}
	return true;
}

// The view in a 400 × 120 window.
struct ViewWindow {
	BWindow* window;
	TVersoDView* view;

	ViewWindow()
	{
		window = new BWindow(BRect(50, 50, 449, 169), "lyrics", B_TITLED_WINDOW, 0);
		view = new TVersoDView(BRect(0, 0, 399, 119));
		window->AddChild(view);
		window->Show();
	}

	~ViewWindow()
	{
		window->Lock();
		window->Quit();
	}

	bool WaitLoaded()
	{
		return wait_for([this] {
			BAutolock lock(window);
			return view->CountDisplayLines() == 200;
		});
	}
};

// The player in this process on a manual clock (nothing moves).
struct StillPlayer {
	std::unique_ptr<MelodeckPlayer> player;
	StillPlayer()
	{
		HostOptions options;
		options.tickInterval = 0;
		player.reset(new MelodeckPlayer(make_playlist(), options));
		player->SetPosition(4500);   // line 1, between two tags
	}
	~StillPlayer() { player->Quit(); }
};

double cpu_seconds()
{
	struct rusage usage;
	getrusage(RUSAGE_SELF, &usage);
	return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
		+ usage.ru_stime.tv_usec / 1e6;
}

}

static void BM_PollWithoutChange(benchmark::State& state)
{
	set_prefs(5000, false);
	StillPlayer player;
	ViewWindow lyrics;
	if (!lyrics.WaitLoaded()) {
		state.SkipWithError("the lyrics did not load");
		return;
	}
	// the timer stays quiet from the next poll on; the benchmark polls
	set_prefs(100000000, false);
	BMessage poll(kMsgPollPlayer);
	lyrics.window->Lock();
	for (auto _ : state)
		lyrics.view->MessageReceived(&poll);
	const bool unchanged = lyrics.view->CurrentLine() == 1;
	lyrics.window->Unlock();
	if (!unchanged)
		state.SkipWithError("the current line moved");
}
BENCHMARK(BM_PollWithoutChange)->Unit(benchmark::kMicrosecond);

static void BM_LineChangeByCopy(benchmark::State& state)
{
	set_prefs(100000000, true);
	StillPlayer player;
	ViewWindow lyrics;
	// a bitmap of the view's size, as the off-screen one is
	BBitmap screen(BRect(0, 0, 399, 119), B_RGB32, true);
	lyrics.window->Lock();
	for (auto _ : state) {
		lyrics.view->DrawBitmap(&screen, BPoint(0, 0));
		lyrics.view->Sync();
	}
	lyrics.window->Unlock();
}
BENCHMARK(BM_LineChangeByCopy)->Unit(benchmark::kMicrosecond);

static void BM_FullRedraw(benchmark::State& state)
{
	set_prefs(5000, false);
	StillPlayer player;
	ViewWindow lyrics;
	if (!lyrics.WaitLoaded()) {
		state.SkipWithError("the lyrics did not load");
		return;
	}
	set_prefs(100000000, false);
	lyrics.window->Lock();
	int32 line = 0;
	for (auto _ : state) {
		lyrics.view->DrawLyrics(lyrics.view, line);
		lyrics.view->Sync();
		line = (line + 1) % 200;
	}
	lyrics.window->Unlock();
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

// The player on the real clock, run as the application on a thread.
static void BM_FollowPlayback(benchmark::State& state)
{
	const int64 seconds = state.range(0);
	set_prefs(25000, true);
	struct Runner {
		Playlist playlist = make_playlist();
		SystemClock clock;
		std::atomic<MelodeckApp*> app{nullptr};
	} runnerData;
	// the application runs on the thread that makes it
	thread_id runner = spawn_thread([](void* data) -> int32 {
		Runner* runner = static_cast<Runner*>(data);
		MelodeckApp* app = new MelodeckApp(runner->playlist, &runner->clock, HostOptions());
		runner->app = app;
		app->Run();
		delete app;
		return 0;
	}, "player", B_NORMAL_PRIORITY, &runnerData);
	resume_thread(runner);
	if (!wait_for([&] { return runnerData.app.load() != nullptr; })
		|| !runnerData.app.load()->WaitUntilReady(10000000)) {
		state.SkipWithError("the player did not start");
		return;
	}
	MelodeckApp* app = runnerData.app;

	double cpu = 0;
	double wall = 0;
	int32 lines = 0;
	{
		ViewWindow lyrics;
		if (!lyrics.WaitLoaded()) {
			state.SkipWithError("the lyrics did not load");
		} else {
			for (auto _ : state) {
				const double cpuStart = cpu_seconds();
				const bigtime_t wallStart = system_time();
				snooze(seconds * 1000000);
				cpu = cpu_seconds() - cpuStart;
				wall = (system_time() - wallStart) / 1e6;
			}
			BAutolock lock(lyrics.window);
			lines = lyrics.view->CurrentLine();
		}
	}
	app->PostMessage(B_QUIT_REQUESTED);
	status_t result;
	wait_for_thread(runner, &result);

	state.counters["cpu_%"] = wall > 0 ? 100.0 * cpu / wall : 0;
	state.counters["cpu_ms"] = cpu * 1000;
	state.counters["lines_followed"] = lines;
}
BENCHMARK(BM_FollowPlayback)->Arg(60)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);
