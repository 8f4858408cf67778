#include "CommandLine.h"

#include <errno.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace {

// A week is longer than anybody means to let a demo run; more is a typo.
const double kMaxSeconds = 7 * 24 * 3600;

}

const char* command_line_usage()
{
	return
		"usage: melodeck [options] [file|folder|playlist.m3u|playlist.m3u8 ...]\n"
		"  --headless         no display: the window is drawn off screen\n"
		"  --plugins DIR      load the plug-ins of DIR instead of the player's own\n"
		"                     plug-ins folder (may be repeated)\n"
		"  --plugin FILE      also load this plug-in library (may be repeated)\n"
		"  --seconds N        quit after N seconds\n"
		"  --no-repeat        stop after the last entry instead of starting over\n"
		"  --clock            play on a clock, without sound\n"
		"  --audio-output OUT auto (default), null (silent), or libmpv outputs\n"
		"                     such as pulse,alsa\n"
		"  --follow [NAME]    follow a media player on the session bus (e.g. mpv)\n"
		"                     instead of playing files\n"
		"  --screenshots DIR  write pictures of the windows into DIR as they change\n"
		"  -h, --help         show this help\n";
}

bool parse_command_line(int argc, const char* const* argv, CommandLine* out,
	std::string* error)
{
	CommandLine result;
	bool optionsEnded = false;
	for (int i = 1; i < argc; i++) {
		const std::string arg = argv[i];
		if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
			result.paths.push_back(arg);
			continue;
		}
		if (arg == "--") {
			optionsEnded = true;
			continue;
		}
		if (arg == "-h" || arg == "--help") {
			result.help = true;
			continue;
		}
		if (arg == "--headless") {
			result.headless = true;
			continue;
		}
		if (arg == "--no-repeat") {
			result.options.repeat = false;
			continue;
		}
		if (arg == "--clock") {
			result.clock = true;
			continue;
		}
		if (arg == "--follow" || arg.compare(0, 9, "--follow=") == 0) {
			// the name is optional: the next argument is taken as one unless
			// it is an option
			result.options.follow = true;
			if (arg.size() > 9)
				result.options.followName = arg.substr(9);
			else if (arg.size() == 9) {
				*error = "--follow= needs a player's name";
				return false;
			} else if (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0')
				result.options.followName = argv[++i];
			continue;
		}

		// the options below take a value, as the next argument or after "="
		std::string name = arg;
		std::string value;
		bool hasValue = false;
		const size_t equals = arg.find('=');
		if (equals != std::string::npos) {
			name = arg.substr(0, equals);
			value = arg.substr(equals + 1);
			hasValue = true;
		}
		if (name != "--plugins" && name != "--plugin" && name != "--seconds"
			&& name != "--screenshots" && name != "--audio-output"
			&& name != "--reload-plugins-every") {
			*error = "unknown option " + arg;
			return false;
		}
		if (!hasValue) {
			if (i + 1 >= argc) {
				*error = name + " needs a value";
				return false;
			}
			value = argv[++i];
		}
		if (value.empty()) {
			*error = name + " needs a value";
			return false;
		}

		if (name == "--plugins") {
			result.options.pluginFolders.push_back(value);
			result.pluginFoldersGiven = true;
		} else if (name == "--plugin") {
			result.options.pluginFiles.push_back(value);
		} else if (name == "--screenshots") {
			result.screenshotFolder = value;
		} else if (name == "--audio-output") {
			// handed to libmpv as one option value: a list of driver names
			if (value.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-,")
				!= std::string::npos) {
				*error = "--audio-output needs \"auto\", \"null\" or output names "
					"such as pulse,alsa, not \"" + value + "\"";
				return false;
			}
			result.audioOutput = value;
		} else {
			char* end = NULL;
			errno = 0;
			const double seconds = strtod(value.c_str(), &end);
			if (errno != 0 || end == value.c_str() || *end != '\0' || !isfinite(seconds)
				|| seconds <= 0 || seconds > kMaxSeconds) {
				*error = name + " needs a number of seconds above 0, not \"" + value + "\"";
				return false;
			}
			if (name == "--seconds")
				result.options.quitAfter = (bigtime_t)(seconds * 1000000.0);
			else
				result.options.reloadPluginsInterval = (bigtime_t)(seconds * 1000000.0);
		}
	}
	if (result.options.follow && !result.paths.empty()) {
		*error = "--follow plays no files of its own (" + result.paths[0] + ")";
		return false;
	}
	*out = result;
	return true;
}
