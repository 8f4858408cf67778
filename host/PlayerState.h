// What the player's window knows of the playback: a copy of the state
// fields of HostProtocol.h, taken from kMelodeckState and
// kMelodeckStateChanged messages.
#ifndef HOST_PLAYER_STATE_H
#define HOST_PLAYER_STATE_H

#include <SupportDefs.h>

#include <string>

class BMessage;

struct PlayerState {
	int32 index = -1;        // -1: nothing to play
	int32 count = 0;
	int32 position = 0;      // ms
	int32 length = 0;        // ms
	bool playing = false;
	std::string title;
	std::string problem;     // the last entry skipped, and why
	bool audio = false;      // plays sound (else on a clock)
	int32 volume = 100;
	bool muted = false;

	// Takes the fields that `message` has; the others keep their value.
	// False when it holds no state at all (no index).
	bool Read(const BMessage* message);
	bool HasEntry() const { return index >= 0 && count > 0; }
	// True when `other` differs from this state in the position at most.
	bool SameButPosition(const PlayerState& other) const;
};

// "m:ss" for a time in milliseconds; minutes go on counting past an hour
// ("75:03"). Negative times read as 0:00.
std::string format_play_time(int32 ms);

#endif
