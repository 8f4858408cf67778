// Another player that Playback follows instead of playing by itself
// (MprisFollower: a media player on the session bus).
//
// The source keeps its own state, on threads of its own; Playback takes
// it on the player application's thread. Every call is thread-safe and
// returns at once: commands are passed on and take effect when the other
// player says so.
#ifndef HOST_PLAYBACK_SOURCE_H
#define HOST_PLAYBACK_SOURCE_H

#include <SupportDefs.h>

#include <string>
#include <vector>

struct SourceTrack {
	std::string filename;   // the local file, or an address that names none
	std::string title;      // UTF-8, never empty
	int32 length = 0;       // ms; 0 or less: unknown
};

struct SourceState {
	// Grows with every change below; equal numbers, equal state.
	uint64 generation = 0;
	std::vector<SourceTrack> tracks;
	int32 index = -1;       // the current track, -1: none
	bool playing = false;
	// Grows with every jump of the position that its steady run does not
	// explain (a seek, a track started again).
	uint64 jumps = 0;
};

class PlaybackSource {
public:
	virtual ~PlaybackSource() {}

	// The state's generation, cheaply: the state need only be taken
	// when it has changed.
	virtual uint64 Generation() = 0;
	virtual void GetState(SourceState* state) = 0;
	// Where the current track is now (ms), between the other player's
	// reports extrapolated with its rate; never negative.
	virtual int32 Position() = 0;

	virtual void Play() = 0;
	virtual void Pause() = 0;
	virtual void TogglePlay() = 0;
	virtual void Next() = 0;
	virtual void Previous() = 0;
	virtual void SetPosition(int32 ms) = 0;
	// Plays track `index` of the state's tracks.
	virtual void Select(int32 index) = 0;
};

#endif
