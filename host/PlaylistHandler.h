// The player's "Playlist" for scripting: its "Entry" property.
//
//   B_COUNT_PROPERTIES  "Entry" (direct)            → "result" (int32)
//   B_GET_PROPERTY      "Entry" by index            → "filename", "title"
//                       (strings), "time" (int32, the length in ms),
//                       "played" (bool), "nr" (int32, 1-based)
//   B_EXECUTE_PROPERTY  "Entry" by index, "Fade"    → plays that entry
//
// Indexes are 0-based; a reverse index counts from the last entry. A bad
// index is answered with B_MESSAGE_NOT_UNDERSTOOD and "error" B_BAD_INDEX.
// The application resolves "Playlist" to this handler; the handler lives in
// the application's looper and uses its Playback there.
#ifndef HOST_PLAYLIST_HANDLER_H
#define HOST_PLAYLIST_HANDLER_H

#include <Handler.h>

class Playback;

class PlaylistHandler : public BHandler {
public:
	explicit PlaylistHandler(Playback* playback);

	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index,
		BMessage* specifier, int32 form, const char* property) override;
	virtual status_t GetSupportedSuites(BMessage* data) override;
	virtual void MessageReceived(BMessage* message) override;

private:
	// The entry index named by the current specifier, or B_BAD_INDEX.
	status_t _EntryIndex(BMessage* message, int32* index);
	void _ReplyError(BMessage* message, status_t error, const char* text);

	Playback* fPlayback;
};

#endif
