// Playback of a playlist, on a clock or through the sound of an
// AudioPlayer.
//
// The current entry "plays" while the clock runs: its position is where it
// was started or sought to, plus the time since. When an entry reaches its
// length the next one starts at once, carrying over whatever time is left.
// After the last entry the playlist starts again from the first when
// repeating (the default); otherwise playback stops with the first entry
// chosen at position 0.
//
// With an AudioPlayer (SetAudio), the entries' files are played and the
// sound decides instead of the clock: the position is the one heard, an
// entry ends when its sound has been heard to the end, and the next one is
// queued so that it follows without a gap. An entry whose file cannot be
// played is reported (Problem(), stderr and the watchers) and skipped; when
// no entry of the playlist can be played, playback stops.
//
// Watchers (BMessengers) are told of every change that the steady run of
// the clock does not explain: another entry, play or pause, a seek. The
// position itself is not announced; ask for it.
//
// With a PlaybackSource (SetSource), another player decides instead: the
// playlist, the current entry, play or pause and the position are taken
// from it, and the commands are passed on to it.
//
// Not thread-safe: the player application owns it and uses it on its own
// thread only. The clock is not owned and must outlive the playback.
#ifndef HOST_PLAYBACK_H
#define HOST_PLAYBACK_H

#include "AudioPlayer.h"
#include "Clock.h"
#include "PlaybackSource.h"
#include "Playlist.h"

#include <Messenger.h>

#include <string>
#include <vector>

class BMessage;

class Playback {
public:
	Playback(const Playlist& playlist, const Clock* clock);

	const Playlist& List() const { return fPlaylist; }

	// Plays the entries through `audio` from now on (not owned; NULL: on
	// the clock again).
	void SetAudio(AudioPlayer* audio);
	AudioPlayer* Audio() const { return fAudio; }

	// Follows `source` from now on (not owned, must outlive the playback
	// or be unset first; NULL: plays by itself again, on the playlist the
	// source left).
	void SetSource(PlaybackSource* source);
	PlaybackSource* Source() const { return fSource; }

	void SetRepeat(bool repeat) { fRepeat = repeat; }
	bool Repeat() const { return fRepeat; }

	// Starts or resumes the current entry; nothing with an empty playlist.
	void Play();
	void Pause();
	void TogglePlay();
	// Chooses an entry and plays it from the start. B_BAD_INDEX when there
	// is no such entry.
	status_t Select(int32 index);
	// The next entry, kept playing or paused as before; after the last one
	// as when the last entry ends.
	void Next();
	// The previous entry; at the first entry, the last one when repeating,
	// else the first one from its start.
	void Previous();
	// Moves within the current entry; limited to 0 … its length (the
	// length itself ends the entry).
	void SetPosition(int32 ms);

	// Lets entries end that the clock has run past (or that the sound has
	// left). Every query does this first; a timer and the audio player's
	// news call it so that watchers hear of entry changes.
	void Update();

	// The last entry skipped because it could not be played, and why;
	// empty once playback has moved past the entry that followed it.
	const std::string& Problem() const { return fProblem; }

	// The sound's volume (0 … 100) and mute; they only matter with an
	// audio player, and are kept for it otherwise.
	void SetVolume(int32 percent);
	int32 Volume() const { return fVolume; }
	void SetMuted(bool muted);
	bool IsMuted() const { return fMuted; }

	// -1 with an empty playlist.
	int32 CurrentIndex();
	// Milliseconds into the current entry.
	int32 Position();
	bool IsPlaying();
	// NULL with an empty playlist.
	const PlaylistEntry* CurrentEntry();

	// Adds the state fields (see HostProtocol.h) to `message`.
	void AddState(BMessage* message);

	void StartWatching(const BMessenger& target);
	void StopWatching(const BMessenger& target);
	int32 CountWatchers() const { return (int32)fWatchers.size(); }

private:
	bigtime_t _PositionAt(bigtime_t now) const;
	bigtime_t _Length(int32 index) const;
	void _Start(int32 index, bigtime_t positionUs, bigtime_t now);
	void _StopAtEnd();
	void _Notify(uint32 change);
	void _UpdateAudio();
	void _LoadAudio(int32 index, bigtime_t positionUs);
	void _QueueNext();
	void _AfterAudioEntry(int32 index);
	bigtime_t _AudioPosition();
	void _Report(int32 index, const std::string& reason);
	void _KeepProblem();
	bool _StopWhenNothingPlays();
	void _UpdateFromSource();

	Playlist fPlaylist;
	const Clock* fClock;
	bool fRepeat;
	int32 fIndex;
	bool fPlaying;
	// The position (µs) the entry had at clock time fAnchor; while playing
	// it grows with the clock from there.
	bigtime_t fBase;
	bigtime_t fAnchor;
	std::vector<BMessenger> fWatchers;

	AudioPlayer* fAudio;
	bool fAudioLoaded;      // the audio player holds the current entry
	int32 fFailuresInRow;   // entries that could not be played, one after another
	int32 fVolume;
	bool fMuted;
	std::string fProblem;
	int32 fProblemIndex;    // the entry that played when fProblem was set

	PlaybackSource* fSource;
	uint64 fSourceGeneration;  // of the source's state last taken
	uint64 fSourceJumps;
};

#endif
