// The melodeck program's command line.
//
//   melodeck [options] [file|folder|playlist.m3u|playlist.m3u8 ...]
//     --headless         no real display: the window draws off screen and
//                        the player prints what it plays
//     --plugins DIR      load the plug-ins of DIR (may be repeated) instead
//                        of the player's own plug-ins folder (see
//                        PluginFolder.h)
//     --plugin FILE      load one more plug-in library (may be repeated)
//     --seconds N        quit after N seconds of real time
//     --no-repeat        stop after the last entry instead of starting over
//     --clock            play on the clock, without sound, even when the
//                        entries' files exist
//     --audio-output OUT libmpv's audio output: "auto" (the default: the
//                        machine's sound when it has any, else silent),
//                        "null" (silent, keeping time), or a libmpv list
//                        such as "pulse,alsa"
//     --follow [NAME]    follow a media player on the session bus (MPRIS)
//                        instead of playing files: the one named, else
//                        the one playing, else the first
//     --screenshots DIR  PNG pictures of the windows in DIR, a few a second
//     -h, --help         usage
// Not in the usage, for long-run tests:
//     --reload-plugins-every N   take the plug-ins down and load them again
//                        every N seconds
// "--" ends the options; everything after it is a path.
#ifndef HOST_COMMAND_LINE_H
#define HOST_COMMAND_LINE_H

#include "HostOptions.h"

#include <string>
#include <vector>

struct CommandLine {
	HostOptions options;
	std::vector<std::string> paths;
	bool headless = false;
	bool help = false;
	bool pluginFoldersGiven = false;
	bool clock = false;
	std::string audioOutput = "auto";
	std::string screenshotFolder;
};

// False, with the reason in `error`, for an unknown option or a missing or
// bad value.
bool parse_command_line(int argc, const char* const* argv, CommandLine* out,
	std::string* error);

const char* command_line_usage();

#endif
