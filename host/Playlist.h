// The player's playlist, built from what the command line names: audio
// files, folders of audio files and .m3u/.m3u8 playlists.
//
// Problems that do not stop the rest (a missing file, an unreadable tag, an
// entry whose length nobody knows) are collected as one-line notes for the
// user; the playlist takes whatever it can.
#ifndef HOST_PLAYLIST_H
#define HOST_PLAYLIST_H

#include "PlaylistEntry.h"

#include <SupportDefs.h>

#include <string>
#include <vector>

class Playlist {
public:
	typedef std::vector<std::string> Notes;

	// Adds what `path` names. Relative paths are taken from the current
	// folder. An error when nothing could be taken from `path`; the reason
	// is then among the notes too.
	status_t AddPath(const std::string& path, Notes* notes);

	// An audio file: its title from its tags, else its file name without
	// the extension; its length from the audio stream.
	status_t AddFile(const std::string& path, Notes* notes);
	// The folder's audio files (by extension, not its subfolders), in name
	// order.
	status_t AddFolder(const std::string& path, Notes* notes);
	// The entries of an .m3u or .m3u8 playlist. "#EXTINF:<seconds>,<title>"
	// gives the next entry's length and title; relative paths are relative
	// to the playlist's folder; an entry's file need not exist.
	status_t AddPlaylistFile(const std::string& path, Notes* notes);
	// The entries of playlist text as if read from the file at `path`
	// (which gives the folder relative entries are taken from).
	status_t AddPlaylistText(const std::string& text, const std::string& path,
		Notes* notes);

	// Appends an entry, numbering it; a length of 0 or less becomes
	// kDefaultEntryLength.
	void AddEntry(PlaylistEntry entry);

	int32 CountEntries() const { return (int32)fEntries.size(); }
	bool IsEmpty() const { return fEntries.empty(); }
	// NULL when `index` is out of range.
	const PlaylistEntry* EntryAt(int32 index) const;
	PlaylistEntry* EntryAt(int32 index);

	static bool IsPlaylistFile(const std::string& path);

private:
	// One expansion of what a path names: the playlists open on the way
	// down (one naming another already open is skipped), and how many were
	// read in all and how much text they held (both bounded, whatever
	// their nesting).
	struct Walk {
		std::vector<std::string> open;
		int32 reads = 0;
		size_t text = 0;
		bool stopped = false;
	};

	status_t _AddPlaylistFile(const std::string& path, Notes* notes, Walk* walk);
	status_t _AddPlaylistText(const std::string& text, const std::string& path,
		Notes* notes, Walk* walk);
	status_t _AddLocation(const std::string& path, const std::string& title,
		int32 length, Notes* notes, Walk* walk);

	std::vector<PlaylistEntry> fEntries;
};

#endif
