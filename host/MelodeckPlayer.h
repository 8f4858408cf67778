// Melodeck in-process, for tests: the player application runs on a thread
// of its own, on a manual clock, and is driven by messages (HostProtocol.h)
// that return once the player has carried them out. Nothing here waits for
// real time to pass: Advance() moves the clock and lets entries end.
// With HostOptions::audio the entries play through libmpv instead, in real
// time; Advance() is then refused.
//
// There is one application per process, so one MelodeckPlayer at a time.
// Every call is thread-safe.
#ifndef HOST_MELODECK_PLAYER_H
#define HOST_MELODECK_PLAYER_H

#include "HostOptions.h"
#include "ManualClock.h"
#include "Playlist.h"

#include <Messenger.h>
#include <OS.h>

#include <atomic>
#include <string>

class MelodeckApp;

class MelodeckPlayer {
public:
	// Starts the player and returns when it is ready (plug-ins started).
	// The options' intervals are real time; a test that wants no timers
	// sets them to 0.
	// `clock` (not owned, must outlive the player) replaces the player's
	// own manual clock, e.g. with a SystemClock for measurements.
	explicit MelodeckPlayer(const Playlist& playlist,
		const HostOptions& options = HostOptions(), Clock* clock = NULL);
	// Quits the player if it still runs.
	~MelodeckPlayer();

	// B_OK when the player runs.
	status_t InitCheck() const { return fInitStatus; }
	// The application.
	BMessenger Messenger() const { return fMessenger; }

	status_t Play();
	status_t Pause();
	status_t TogglePlay();
	status_t Next();
	status_t Previous();
	status_t Select(int32 index);
	status_t SetPosition(int32 ms);
	// Moves the clock forward by `ms` and lets the entries that end within
	// that time end.
	status_t Advance(int32 ms);

	int32 CurrentIndex();
	int32 Position();
	bool IsPlaying();
	std::string Title();
	// The whole state (kMelodeckState).
	status_t GetState(BMessage* state);
	// With sound: the position the player reports and libmpv's own, taken
	// at the same moment (ms; `audio` is -1 when libmpv plays nothing).
	status_t GetAudioPositions(int32* reported, int32* audio, int32* index = NULL);

	// Asks the player to quit (plug-ins are taken down first) and waits
	// until it has ended. B_TIMED_OUT when it still runs after `timeout`.
	status_t Quit(bigtime_t timeout = 10000000);

private:
	status_t _Command(BMessage* message);
	status_t _Command(uint32 what);
	static int32 _Run(void* data);

	Playlist fPlaylist;
	HostOptions fOptions;
	ManualClock fClock;
	Clock* fClockInUse;
	thread_id fThread;
	sem_id fStarted;
	sem_id fFinished;
	std::atomic<MelodeckApp*> fApp;
	status_t fInitStatus;
	BMessenger fMessenger;
};

#endif
