// libFuzzer target: .m3u and .m3u8 playlists with #EXTINF lines, read as
// the player reads a playlist file that sits in a folder of its own.
//
// Checks: every entry has a name, a title and a positive length; the
// expansion ends (libFuzzer's time-out catches one that does not).
#include "fuzz/FuzzCheck.h"

#include "Playlist.h"

#include <stddef.h>
#include <stdint.h>

#include <string>

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	const std::string text(reinterpret_cast<const char*>(data), size);
	Playlist playlist;
	Playlist::Notes notes;
	playlist.AddPlaylistText(text, "/nonexistent/fuzz/playlist.m3u8", &notes);
	for (int32 i = 0; i < playlist.CountEntries(); i++) {
		const PlaylistEntry* entry = playlist.EntryAt(i);
		fuzzcheck::check(entry != nullptr, "playlist", "an entry in range is missing");
		fuzzcheck::check(!entry->filename.empty(), "playlist", "an entry without a file");
		fuzzcheck::check(entry->length > 0, "playlist", "an entry without a length");
	}
	return 0;
}
