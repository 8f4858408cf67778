// How the player application runs: where its plug-ins are, what it
// prints, when it stops.
#ifndef HOST_HOST_OPTIONS_H
#define HOST_HOST_OPTIONS_H

#include <SupportDefs.h>

#include <string>
#include <vector>

struct HostOptions {
	// Folders whose "*.so" files are loaded as plug-ins, and single plug-in
	// libraries.
	std::vector<std::string> pluginFolders;
	std::vector<std::string> pluginFiles;
	// Start again from the first entry after the last one (else stop).
	bool repeat = true;
	// Start playing the first entry as soon as the player is up.
	bool startPlaying = true;
	// Real time between checks for entries that have ended, so that
	// watchers hear of the change in time.
	bigtime_t tickInterval = 100000;
	// Print the playing entry and position on stdout this often; 0: never.
	bigtime_t statusInterval = 0;
	// Quit after this much real time; 0: run until asked to quit.
	bigtime_t quitAfter = 0;
	// Take the plug-ins down and load them again this often (a long-run
	// test of loading and unloading); 0: never.
	bigtime_t reloadPluginsInterval = 0;
	// Play the entries' files through libmpv (else on the clock), on this
	// libmpv audio output list ("null": silent, keeping time).
	bool audio = false;
	std::string audioOutput = "null";
	// Open the player's window (before the plug-ins start, so that they
	// find it).
	bool showWindow = false;
	// Follow a media player on the session bus instead of playing the
	// playlist: the one named (empty: the one playing, else the first).
	bool follow = false;
	std::string followName;
	// Real time between readings of the followed player's position.
	bigtime_t followPollInterval = 500000;
	// Offer the playback on the session bus (MprisServer) for media keys
	// and MPRIS clients; not while following another player.
	bool mprisServer = false;
	// How long to wait for the session bus before giving up.
	bigtime_t busTimeout = 5000000;
};

#endif
