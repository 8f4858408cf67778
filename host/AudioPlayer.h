// The player's sound: files decoded and played by libmpv, embedded.
//
// The playback tells it which file to play (Load) and which one follows
// (Queue); the following file is handed to libmpv ahead of time, so that
// it starts without a gap where the two files allow it. Every file is
// tagged with the playlist index it stands for.
//
// libmpv's events are taken on a thread of this object's own. What they
// tell (the heard position, which file plays, which failed, whether the
// end has been reached) is kept here under a lock; GetStatus() reads it,
// from any thread. Whenever something changes that the steady run of the
// sound does not explain, the target messenger gets a `news` message, so
// that its looper comes and reads the status.
//
// The position is the one libmpv reports (its "time-pos" property),
// extrapolated on the monotonic clock between its reports, which come
// about ten times a second. When one file follows another without a gap,
// libmpv reports the new file from the moment it decodes it, while the end
// of the old one still sits in the audio buffers; the status goes on
// reporting the old file until that end has been heard.
//
// Thread-safe; every call may come from any thread. The target must take
// its news by message; nothing here calls into the player.
#ifndef HOST_AUDIO_PLAYER_H
#define HOST_AUDIO_PLAYER_H

#include <Messenger.h>
#include <OS.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct mpv_handle;
struct mpv_event;

class AudioPlayer {
public:
	struct Status {
		int32 index = -1;           // the entry heard (or last heard); -1: none
		bigtime_t position = 0;     // µs into it
		bigtime_t duration = 0;     // µs, 0 when libmpv does not know it yet
		bool playing = false;       // the sound moves (loaded, not paused)
		// Nothing plays any more: the last file has ended (and been heard
		// to its end) or failed, and nothing followed it. `index` is that
		// file's.
		bool finished = false;
	};

	struct Failure {
		int32 index;
		std::string reason;   // libmpv's words
	};

	// `output` is a libmpv audio output list ("null", "pulse,alsa", ...);
	// DefaultOutput() picks one for this machine. `news` is the code of
	// the messages sent to `target`.
	AudioPlayer(const std::string& output, const BMessenger& target, uint32 news);
	~AudioPlayer();

	// B_OK when libmpv runs; otherwise Error() says why.
	status_t InitCheck() const { return fInitStatus; }
	const std::string& Error() const { return fError; }

	// The machine's sound outputs when it seems to have any, else "null"
	// (silent, but keeping time as a sound card would).
	static std::string DefaultOutput();

	// Plays `path` from `position` (ms), paused or not, instead of whatever
	// played or was queued.
	status_t Load(int32 index, const std::string& path, int32 position, bool paused);
	// The file to follow the current one; replaces what was queued.
	status_t Queue(int32 index, const std::string& path);
	void ClearQueue();
	void SetPaused(bool paused);
	// Within the file of entry `index` (ms). B_NOT_ALLOWED when that file
	// is not the one heard (it has ended, or the previous one still plays
	// out): load it instead.
	status_t Seek(int32 index, int32 position);
	// Stops and forgets every file.
	void Stop();

	// 0 … 100; and the mute, which keeps the volume.
	void SetVolume(int32 percent);
	int32 Volume();
	void SetMute(bool mute);
	bool IsMuted();

	Status GetStatus();
	// Files that could not be played since the last call, oldest first.
	std::vector<Failure> TakeFailures();

	// libmpv's own "time-pos" right now, asked synchronously (ms); false
	// when nothing plays. For checks of the reported position.
	bool QueryPosition(int32* position);
	// libmpv's name of the output it opened ("null", "pulse", ...).
	std::string CurrentOutput();

private:
	void _EventLoop();
	void _HandleEvent(const mpv_event* event, bool* news);
	void _Observe(bigtime_t position, bigtime_t now);
	bigtime_t _RawPosition(bigtime_t now) const;
	void _Nudge();

	mpv_handle* fHandle;
	std::thread fThread;
	status_t fInitStatus;
	std::string fError;
	BMessenger fTarget;
	uint32 fNews;

	// All below under fLock.
	std::mutex fLock;
	bool fQuitting;
	std::map<int64, int32> fIndexOf;  // libmpv's playlist entry ids
	int64 fLoadedId;        // the file of the last Load()
	int64 fCurrentId;       // the file libmpv decodes (or last decoded)
	int64 fQueuedId;        // the file queued after it; 0: none
	int32 fCurrentIndex;
	bool fCurrentEnded;     // its end was decoded (or it failed)
	bool fCurrentFailed;
	bool fIdle;             // libmpv has played out everything
	bool fPaused;
	bool fHoldPosition;     // paused at a position set here, not yet played from
	bool fConfirmed;        // libmpv has started the current file
	bool fStarted;          // the current file's sound runs (not loading, not seeking)
	bool fMoving;           // libmpv has reported it moving since it started
	uint64 fAwaitedReply;   // a seek libmpv has not yet taken; 0: none
	uint64 fLastRequest;
	bigtime_t fObserved;    // its last reported position (µs) …
	bigtime_t fObservedAt;  // … and when (system_time)
	bigtime_t fDuration;
	// The previous file, still heard: while the current file's position
	// is below fDelay, the previous one plays out its last fDelay µs.
	int32 fPreviousIndex;
	bigtime_t fPreviousDuration;
	bigtime_t fDelay;
	bigtime_t fSwitchAt;    // when the previous file's end is heard; 0: none
	std::vector<Failure> fFailures;
};

#endif
