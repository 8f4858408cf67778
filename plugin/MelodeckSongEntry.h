// One entry of the player's playlist, as the player reports it.
#ifndef PLUGIN_MELODECK_SONG_ENTRY_H
#define PLUGIN_MELODECK_SONG_ENTRY_H

#include <SupportDefs.h>

// The entry owns its two strings (heap copies, null when empty).
struct MelodeckSongEntry {
	char* filename = nullptr;
	char* title = nullptr;
	int32 time = 0;
	int32 nr = 0;
	bool played = false;

	MelodeckSongEntry() = default;
	~MelodeckSongEntry();
	MelodeckSongEntry(const MelodeckSongEntry&) = delete;
	MelodeckSongEntry& operator=(const MelodeckSongEntry&) = delete;

	// Frees the strings and sets every field back to its fresh value.
	void Clear();
	// Replaces this entry's strings with copies of `filename` and `title`
	// (null or empty gives null).
	void SetStrings(const char* filename, const char* title);
	// Takes over `other`'s strings and values; `other` is left fresh.
	void TakeFrom(MelodeckSongEntry& other);
};

#endif
