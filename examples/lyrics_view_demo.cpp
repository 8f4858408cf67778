// lyrics_view_demo: the substitute player with the lyrics view in a window
// of its own beside the player's window, following its playlist, so that a
// person can watch the view work without the plug-in.
//
//   lyrics_view_demo [--headless] [--seconds N] [--double-buffering]
//                    [--extended-tags] [--quiet] [playlist or audio files ...]
//
// The player runs in this program on the real clock, as it does for the
// plug-in; without paths it plays the demo playlist. Every change of the
// current line is printed; without --seconds the demo runs until the
// player's window is closed. --extended-tags reads the lyrics as downloaded
// LRC files mean them (data/demo/downloaded/ holds such a file).
#include "MelodeckApp.h"
#include "Playlist.h"
#include "SystemClock.h"

#include "lang/Language.h"
#include "lyrics/TVersoDView.h"
#include "plugin/MelodeckFrontEnd.h"
#include "prefs/PrefStore.h"

#include <MessageRunner.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const uint32 kMsgWatch = 'watc';

struct Options {
	bool headless = false;
	bool doubleBuffering = false;
	bool extendedTags = false;
	bool quiet = false;
	int32 seconds = 0;
	std::vector<std::string> paths;
};

bool parse(int argc, char** argv, Options* options)
{
	for (int i = 1; i < argc; i++) {
		const std::string arg = argv[i];
		if (arg == "--headless")
			options->headless = true;
		else if (arg == "--double-buffering")
			options->doubleBuffering = true;
		else if (arg == "--extended-tags")
			options->extendedTags = true;
		else if (arg == "--quiet")
			options->quiet = true;
		else if (arg == "--seconds" && i + 1 < argc && atoi(argv[i + 1]) > 0)
			options->seconds = atoi(argv[++i]);
		else if (!arg.empty() && arg[0] != '-')
			options->paths.push_back(arg);
		else {
			fprintf(stderr, "usage: lyrics_view_demo [--headless] [--seconds N] "
				"[--double-buffering] [--extended-tags] [--quiet] [playlist or audio files ...]\n");
			return false;
		}
	}
	if (options->paths.empty())
		options->paths.push_back(DEMO_PLAYLIST);
	return true;
}

// The view's window. It prints the current line whenever it changes; the
// view itself knows nothing of the terminal.
class DemoWindow : public BWindow {
public:
	DemoWindow(BRect frame, bool quiet)
		:
		BWindow(frame, "Lyrics", B_TITLED_WINDOW, B_NOT_ZOOMABLE),
		fView(new TVersoDView(frame.OffsetToCopy(0, 0))),
		fQuiet(quiet)
	{
		AddChild(fView);
		BMessage watch(kMsgWatch);
		fWatch = new BMessageRunner(BMessenger(this), &watch, 100000);
	}

	~DemoWindow() override { delete fWatch; }

	// Closing this window alone only hides it; the player's window ends
	// the demo.
	bool QuitRequested() override
	{
		if (CurrentMessage() == nullptr)
			return true;
		Hide();
		return false;
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kMsgWatch) {
			BWindow::MessageReceived(message);
			return;
		}
		const std::string file = fView->LyricsFName();
		const int32 line = fView->CurrentLine();
		if (fQuiet || (file == fFile && line == fLine))
			return;
		if (file != fFile)
			printf("lyrics: %s\n", file.empty() ? "(none: the information is shown)" : file.c_str());
		fFile = file;
		fLine = line;
		printf("  %3d  %s\n", static_cast<int>(line), fView->DisplayLine(line).c_str());
		fflush(stdout);
	}

private:
	TVersoDView* fView;
	BMessageRunner* fWatch;
	bool fQuiet;
	std::string fFile = "?";
	int32 fLine = -1;
};

class DemoApp : public MelodeckApp {
public:
	DemoApp(const Playlist& playlist, Clock* clock, const HostOptions& host, bool quiet)
		: MelodeckApp(playlist, clock, host), fQuiet(quiet) {}

	void ReadyToRun() override
	{
		MelodeckApp::ReadyToRun();
		// below the player's window, as the lyrics window docks
		BRect player;
		BRect frame(100, 420, 499, 524);
		if (get_melodeck_win_frame(&player) == 0) {
			frame.OffsetTo(player.left + 5, player.bottom + 6);
			frame.right = frame.left + (player.right - player.left - 10);
		}
		DemoWindow* window = new DemoWindow(frame, fQuiet);
		window->Show();
	}

private:
	bool fQuiet;
};

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
	for (const std::string& path : options.paths)
		playlist.AddPath(path, &notes);
	for (const std::string& note : notes)
		fprintf(stderr, "lyrics_view_demo: %s\n", note.c_str());
	if (playlist.IsEmpty()) {
		fprintf(stderr, "lyrics_view_demo: nothing to play\n");
		return 1;
	}

	gPref = new TPref;
	gExitState = new TExitState;
	{
		TPrefLock pref;
		pref->doubleBuffering = options.doubleBuffering;
		pref->readExtendedTags = options.extendedTags;
	}
	gLLT = new TLLT;
	const std::string language = std::string(VERSO_SOURCE_DIR) + "/data/Language/English.llt";
	if (gLLT->Load(language.c_str()) != 0)
		fprintf(stderr, "lyrics_view_demo: %s not read; the menu shows no texts\n",
			language.c_str());

	HostOptions host;
	host.showWindow = true;
	host.quitAfter = static_cast<bigtime_t>(options.seconds) * 1000000;
	SystemClock clock;
	DemoApp* app = new DemoApp(playlist, &clock, host, options.quiet);
	int result = 0;
	if (app->InitCheck() == B_OK)
		app->Run();
	else
		result = 1;
	delete app;

	delete gLLT;
	gLLT = nullptr;
	TPrefLock pref;
	delete gPref;
	gPref = nullptr;
	delete gExitState;
	gExitState = nullptr;
	return result;
}
