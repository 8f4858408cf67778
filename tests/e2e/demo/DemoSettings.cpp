// versod_demo_settings SETTINGS_FOLDER: prepares the settings folder that
// scripts/demo runs the player with, so that the lyrics window starts
// docked below the player's window, as wide as it. A folder that already
// holds the window state is left alone: what the person running the demo
// changed stays.
#include "PlayerWindow.h"

#include "prefs/PrefStore.h"

#include <Application.h>
#include <Entry.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

const char* const kSubFolder = "VersoD";
const char* const kExitStateFile = "VersoD_ExitStates.arc";

// The player's window where it opens, asked of the window itself, so that
// the docked place follows the player's layout.
BRect player_frame()
{
	PlayerWindow* window = new PlayerWindow(BMessenger());
	window->Lock();
	const BRect frame = window->Frame();
	window->Quit();
	return frame;
}

}

int main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: versod_demo_settings SETTINGS_FOLDER\n");
		return 2;
	}
	const std::string folder = argv[1];
	const std::string state = folder + "/ORVIK/" + kSubFolder + "/" + kExitStateFile;
	if (BEntry(state.c_str()).Exists())
		return 0;

	setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
	// nothing is shown: the window is only measured
	setenv("VERSO_DISPLAY", "headless", 1);
	BApplication app("application/x-vnd.ORVIK-VersoDemoSettings");
	const BRect player = player_frame();

	// Below the player, the way the lyrics window's own menu docks it
	// (Window Position > Below, Window Size > Width).
	gExitState = new TExitState;
	const float left = player.left + 5;
	const float top = player.bottom + 6;
	gExitState->windowFrame = BRect(left, top, left + player.Width() - 10, top + 105);
	const bool saved = save_exit_state(kSubFolder, kExitStateFile);
	delete gExitState;
	gExitState = nullptr;
	if (!saved) {
		fprintf(stderr, "versod_demo_settings: cannot write %s\n", state.c_str());
		return 1;
	}
	return 0;
}
