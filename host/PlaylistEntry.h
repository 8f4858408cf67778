// One entry of the player's playlist.
#ifndef HOST_PLAYLIST_ENTRY_H
#define HOST_PLAYLIST_ENTRY_H

#include <SupportDefs.h>

#include <string>

// Entries whose length nobody could tell play for this long.
const int32 kDefaultEntryLength = 3 * 60 * 1000;

struct PlaylistEntry {
	std::string filename;     // absolute path (the file need not exist)
	std::string title;        // UTF-8
	int32 length = 0;         // milliseconds, always > 0 once in a playlist
	bool lengthKnown = false; // false: `length` is kDefaultEntryLength
	int32 number = 0;         // 1-based position in the playlist
	bool played = false;      // has been started at least once
};

#endif
