// melodeck: the player program. See CommandLine.h for its options.
#include "AudioPlayer.h"
#include "CommandLine.h"
#include "MelodeckApp.h"
#include "Playlist.h"
#include "PluginFolder.h"
#include "SystemClock.h"

#include <AppDefs.h>

#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace {

std::string program_folder()
{
	char path[4096];
	const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return ".";
	path[length] = '\0';
	std::string result(path);
	const size_t slash = result.rfind('/');
	return slash == std::string::npos || slash == 0 ? "/" : result.substr(0, slash);
}

// Ctrl-C and kill ask the player to quit properly, so that the plug-ins
// can close their windows and save their settings. A second Ctrl-C ends it
// at once, for a plug-in that hangs while closing. The watcher sleeps until
// a signal comes; SIGUSR2, sent by its destructor, only ends it.
class SignalWatcher {
public:
	SignalWatcher()
	{
		sigemptyset(&fSignals);
		sigaddset(&fSignals, SIGINT);
		sigaddset(&fSignals, SIGTERM);
		sigaddset(&fSignals, SIGUSR2);
		// before any other thread exists, so that every thread blocks them
		// and only this one takes them
		pthread_sigmask(SIG_BLOCK, &fSignals, NULL);
	}

	void Start()
	{
		fThread = std::thread([this] { _Watch(); });
	}

	~SignalWatcher()
	{
		if (fThread.joinable()) {
			fStop = true;
			pthread_kill(fThread.native_handle(), SIGUSR2);
			fThread.join();
		}
	}

private:
	void _Watch()
	{
		pthread_setname_np(pthread_self(), "signal watcher");
		int count = 0;
		for (;;) {
			const int signal = sigwaitinfo(&fSignals, NULL);
			if (fStop)
				return;
			if (signal < 0 || signal == SIGUSR2)
				continue;
			if (++count > 1) {
				fprintf(stderr, "melodeck: stopped\n");
				_exit(130);
			}
			fprintf(stderr, "melodeck: quitting (again to stop at once)\n");
			be_app_messenger.SendMessage(B_QUIT_REQUESTED);
		}
	}

	sigset_t fSignals;
	std::atomic<bool> fStop{false};
	std::thread fThread;
};

// Whether any entry names a file that is there: a playlist of songs. One
// of names only (the bundled demo has lyrics, no songs) plays on the clock.
bool has_files(const Playlist& playlist)
{
	for (int32 i = 0; i < playlist.CountEntries(); i++) {
		struct stat st;
		if (stat(playlist.EntryAt(i)->filename.c_str(), &st) == 0 && S_ISREG(st.st_mode))
			return true;
	}
	return false;
}

}

int main(int argc, char** argv)
{
	CommandLine commandLine;
	std::string error;
	if (!parse_command_line(argc, argv, &commandLine, &error)) {
		fprintf(stderr, "melodeck: %s\n%s", error.c_str(), command_line_usage());
		return 2;
	}
	if (commandLine.help) {
		fputs(command_line_usage(), stdout);
		return 0;
	}

	Playlist playlist;
	Playlist::Notes notes;
	for (const std::string& path : commandLine.paths)
		playlist.AddPath(path, &notes);
	for (const std::string& note : notes)
		fprintf(stderr, "melodeck: %s\n", note.c_str());
	if (commandLine.options.follow) {
		printf("melodeck: following %s on the session bus\n",
			commandLine.options.followName.empty() ? "media players"
				: commandLine.options.followName.c_str());
	} else if (playlist.IsEmpty())
		fprintf(stderr, "melodeck: the playlist is empty\n");
	else
		printf("melodeck: %d entries in the playlist\n", (int)playlist.CountEntries());

	HostOptions options = commandLine.options;
	if (!commandLine.pluginFoldersGiven)
		options.pluginFolders.push_back(default_plugin_folder(program_folder()));
	options.showWindow = true;
	options.mprisServer = !options.follow;
	options.audio = !commandLine.clock && !options.follow && has_files(playlist);
	options.audioOutput = commandLine.audioOutput == "auto"
		? AudioPlayer::DefaultOutput() : commandLine.audioOutput;
	if (!playlist.IsEmpty()) {
		if (options.audio)
			printf("melodeck: playing through libmpv (audio output %s)\n",
				options.audioOutput.c_str());
		else
			printf("melodeck: playing on the clock, without sound%s\n",
				commandLine.clock ? "" : " (no entry names an existing file)");
	}
	// Before anything opens the display: the environment picks its kind
	// and where its screenshots go.
	if (commandLine.headless)
		setenv("VERSO_DISPLAY", "headless", 1);
	if (!commandLine.screenshotFolder.empty()) {
		std::error_code error;
		std::filesystem::create_directories(commandLine.screenshotFolder, error);
		if (error) {
			fprintf(stderr, "melodeck: cannot make the screenshot folder %s: %s\n",
				commandLine.screenshotFolder.c_str(), error.message().c_str());
			return 1;
		}
		setenv("VERSO_SCREENSHOT_DIR", commandLine.screenshotFolder.c_str(), 1);
	}
	// Nobody sees a headless window: say what plays on stdout instead.
	const char* display = getenv("DISPLAY");
	if (commandLine.headless || display == NULL || display[0] == '\0')
		options.statusInterval = 1000000;

	SignalWatcher signals;
	SystemClock clock;
	MelodeckApp* app = new MelodeckApp(playlist, &clock, options);
	if (app->InitCheck() != B_OK) {
		delete app;
		return 1;
	}
	if (!app->FollowError().empty()) {
		fprintf(stderr, "melodeck: cannot follow a player: %s\n", app->FollowError().c_str());
		delete app;
		return 3;
	}
	signals.Start();
	app->Run();
	delete app;
	return 0;
}
