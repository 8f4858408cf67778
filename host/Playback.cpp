#include "Playback.h"

#include "HostProtocol.h"

#include <Message.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <stdint.h>

Playback::Playback(const Playlist& playlist, const Clock* clock)
	:
	fPlaylist(playlist),
	fClock(clock),
	fRepeat(true),
	fIndex(playlist.IsEmpty() ? -1 : 0),
	fPlaying(false),
	fBase(0),
	fAnchor(clock->Now()),
	fAudio(NULL),
	fAudioLoaded(false),
	fFailuresInRow(0),
	fVolume(100),
	fMuted(false),
	fProblemIndex(-1),
	fSource(NULL),
	fSourceGeneration(0),
	fSourceJumps(0)
{
}

void Playback::SetAudio(AudioPlayer* audio)
{
	if (fAudio != NULL && fAudioLoaded) {
		fBase = _AudioPosition();
		fAudio->Stop();
	}
	fAudio = audio;
	fAudioLoaded = false;
	if (fAudio != NULL) {
		fAudio->SetVolume(fVolume);
		fAudio->SetMute(fMuted);
	}
	fAnchor = fClock->Now();
	if (fAudio != NULL && fPlaying)
		_LoadAudio(fIndex, fBase);
}

void Playback::SetSource(PlaybackSource* source)
{
	if (source == fSource)
		return;
	if (source != NULL && fAudio != NULL && fAudioLoaded) {
		fAudio->Stop();
		fAudioLoaded = false;
	}
	if (source == NULL && fSource != NULL) {
		// on from where the other player was, paused
		fBase = fIndex >= 0 ? (bigtime_t)Position() * 1000 : 0;
		fAnchor = fClock->Now();
		fPlaying = false;
	}
	fSource = source;
	fSourceGeneration = UINT64_MAX;   // nothing taken yet
	if (fSource != NULL) {
		fPlaying = false;
		fBase = 0;
		_UpdateFromSource();
	}
}

// Takes the source's state when it has changed, and tells the watchers
// what changed.
void Playback::_UpdateFromSource()
{
	if (fSource->Generation() == fSourceGeneration)
		return;
	SourceState state;
	fSource->GetState(&state);
	fSourceGeneration = state.generation;

	const PlaylistEntry* before = fPlaylist.EntryAt(fIndex);
	const std::string beforeFile = before != NULL ? before->filename : std::string();
	const std::string beforeTitle = before != NULL ? before->title : std::string();
	const int32 beforeIndex = fIndex;
	const bool wasPlaying = fPlaying;

	Playlist playlist;
	for (const SourceTrack& track : state.tracks) {
		PlaylistEntry entry;
		entry.filename = track.filename;
		entry.title = track.title;
		entry.length = track.length;
		entry.lengthKnown = track.length > 0;
		playlist.AddEntry(entry);
	}
	fPlaylist = playlist;
	fIndex = playlist.EntryAt(state.index) != NULL ? state.index
		: (playlist.IsEmpty() ? -1 : 0);
	fPlaying = state.playing && fIndex >= 0;
	if (fPlaying)
		fPlaylist.EntryAt(fIndex)->played = true;

	const PlaylistEntry* after = fPlaylist.EntryAt(fIndex);
	uint32 change = 0;
	if (fIndex != beforeIndex || (after != NULL
			&& (after->filename != beforeFile || after->title != beforeTitle)))
		change |= kMelodeckEntryChanged;
	if (fPlaying != wasPlaying)
		change |= kMelodeckPlayStateChanged;
	if (state.jumps != fSourceJumps)
		change |= kMelodeckPositionChanged;
	fSourceJumps = state.jumps;
	_Notify(change);
}

[[gnu::hot]] bigtime_t Playback::_Length(int32 index) const
{
	const PlaylistEntry* entry = fPlaylist.EntryAt(index);
	// entries always have a length; 1 ms keeps a damaged one from stalling
	return entry != NULL ? std::max<bigtime_t>(entry->length, 1) * 1000 : 1000;
}

[[gnu::hot]] bigtime_t Playback::_PositionAt(bigtime_t now) const
{
	if (fAudio != NULL)
		return fBase;   // only while the audio player does not hold the entry
	if (!fPlaying)
		return fBase;
	return fBase + std::max<bigtime_t>(now - fAnchor, 0);
}

void Playback::_Start(int32 index, bigtime_t positionUs, bigtime_t now)
{
	fIndex = index;
	fBase = positionUs;
	fAnchor = now;
	if (fPlaying)
		fPlaylist.EntryAt(index)->played = true;
	_KeepProblem();
	if (fAudio != NULL) {
		if (fPlaying)
			_LoadAudio(index, positionUs);
		else if (fAudioLoaded) {
			// paused: the new entry waits at its start, ready to go on
			_LoadAudio(index, positionUs);
		}
	}
}

void Playback::_StopAtEnd()
{
	if (fAudio != NULL) {
		fAudio->Stop();
		fAudioLoaded = false;
	}
	fPlaying = false;
	fIndex = 0;
	fBase = 0;
	fAnchor = fClock->Now();
	_KeepProblem();
}

[[gnu::hot]] void Playback::Update()
{
	if (fSource != NULL) {
		_UpdateFromSource();
		return;
	}
	if (fAudio != NULL) {
		_UpdateAudio();
		return;
	}
	if (!fPlaying || fIndex < 0)
		return;
	const bigtime_t now = fClock->Now();
	bigtime_t position = _PositionAt(now);
	if (position < _Length(fIndex))
		return;

	// A long jump of the clock may pass whole rounds of a repeating
	// playlist; they change nothing and are skipped at once.
	bigtime_t total = 0;
	for (int32 i = 0; i < fPlaylist.CountEntries(); i++)
		total += _Length(i);

	int32 index = fIndex;
	while (position >= _Length(index)) {
		position -= _Length(index);
		index++;
		if (index >= fPlaylist.CountEntries()) {
			if (!fRepeat) {
				_StopAtEnd();
				_Notify(kMelodeckEntryChanged | kMelodeckPlayStateChanged);
				return;
			}
			index = 0;
			position %= total;
		}
		// every entry the clock passes through has been played
		fPlaylist.EntryAt(index)->played = true;
	}
	_Start(index, position, now);
	_Notify(kMelodeckEntryChanged);
}

void Playback::Play()
{
	if (fSource != NULL) {
		fSource->Play();
		return;
	}
	Update();
	if (fPlaying || fIndex < 0)
		return;
	fPlaying = true;
	fAnchor = fClock->Now();
	fPlaylist.EntryAt(fIndex)->played = true;
	if (fAudio != NULL) {
		if (fAudioLoaded)
			fAudio->SetPaused(false);
		else
			_LoadAudio(fIndex, fBase);
	}
	_Notify(kMelodeckPlayStateChanged);
}

void Playback::Pause()
{
	if (fSource != NULL) {
		fSource->Pause();
		return;
	}
	Update();
	if (!fPlaying)
		return;
	const bigtime_t now = fClock->Now();
	if (fAudio != NULL) {
		fAudio->SetPaused(true);
		fBase = _AudioPosition();
	} else
		fBase = _PositionAt(now);
	fAnchor = now;
	fPlaying = false;
	_Notify(kMelodeckPlayStateChanged);
}

void Playback::TogglePlay()
{
	if (fSource != NULL) {
		fSource->TogglePlay();
		return;
	}
	Update();
	if (fPlaying)
		Pause();
	else
		Play();
}

status_t Playback::Select(int32 index)
{
	if (fPlaylist.EntryAt(index) == NULL)
		return B_BAD_INDEX;
	Update();
	if (fSource != NULL) {
		fSource->Select(index);
		return B_OK;
	}
	const bool wasPlaying = fPlaying;
	const bool otherEntry = index != fIndex;
	fPlaying = true;
	_Start(index, 0, fClock->Now());
	_Notify((otherEntry ? kMelodeckEntryChanged : 0)
		| (wasPlaying ? 0 : kMelodeckPlayStateChanged) | kMelodeckPositionChanged);
	return B_OK;
}

void Playback::Next()
{
	if (fSource != NULL) {
		fSource->Next();
		return;
	}
	Update();
	if (fIndex < 0)
		return;
	if (fIndex + 1 < fPlaylist.CountEntries()) {
		_Start(fIndex + 1, 0, fClock->Now());
		_Notify(kMelodeckEntryChanged);
	} else if (fRepeat) {
		_Start(0, 0, fClock->Now());
		_Notify(kMelodeckEntryChanged);
	} else {
		const bool wasPlaying = fPlaying;
		const bool otherEntry = fIndex != 0;
		_StopAtEnd();
		_Notify((otherEntry ? kMelodeckEntryChanged : kMelodeckPositionChanged)
			| (wasPlaying ? kMelodeckPlayStateChanged : 0));
	}
}

void Playback::Previous()
{
	if (fSource != NULL) {
		fSource->Previous();
		return;
	}
	Update();
	if (fIndex < 0)
		return;
	if (fIndex > 0) {
		_Start(fIndex - 1, 0, fClock->Now());
		_Notify(kMelodeckEntryChanged);
	} else if (fRepeat && fPlaylist.CountEntries() > 1) {
		_Start(fPlaylist.CountEntries() - 1, 0, fClock->Now());
		_Notify(kMelodeckEntryChanged);
	} else {
		_Start(0, 0, fClock->Now());
		_Notify(kMelodeckPositionChanged);
	}
}

void Playback::SetPosition(int32 ms)
{
	Update();
	if (fIndex < 0)
		return;
	if (fSource != NULL) {
		fSource->SetPosition(std::max<int32>(ms, 0));
		return;
	}
	const bigtime_t position = std::clamp<bigtime_t>((bigtime_t)ms * 1000, 0,
		_Length(fIndex));
	if (fAudio != NULL) {
		if (position >= _Length(fIndex) && fPlaying) {
			// the very end: the entry is over
			_AfterAudioEntry(fIndex);
			return;
		}
		fBase = position;
		if (fAudioLoaded && fAudio->Seek(fIndex, (int32)(position / 1000)) != B_OK)
			_LoadAudio(fIndex, position);
		else if (!fAudioLoaded && fPlaying)
			_LoadAudio(fIndex, position);
		_Notify(kMelodeckPositionChanged);
		return;
	}
	fBase = position;
	fAnchor = fClock->Now();
	// a seek to the very end ends the entry, which is news of its own
	const int32 before = fIndex;
	Update();
	if (fIndex == before)
		_Notify(kMelodeckPositionChanged);
}

int32 Playback::CurrentIndex()
{
	Update();
	return fIndex;
}

[[gnu::hot]] int32 Playback::Position()
{
	Update();
	if (fIndex < 0)
		return 0;
	if (fSource != NULL) {
		const PlaylistEntry* entry = fPlaylist.EntryAt(fIndex);
		const int32 position = std::max<int32>(fSource->Position(), 0);
		// a length nobody told is no limit
		return entry->lengthKnown ? std::min(position, entry->length) : position;
	}
	if (fAudio != NULL)
		return (int32)(_AudioPosition() / 1000);
	return (int32)(_PositionAt(fClock->Now()) / 1000);
}

bool Playback::IsPlaying()
{
	Update();
	return fPlaying;
}

[[gnu::hot]] const PlaylistEntry* Playback::CurrentEntry()
{
	Update();
	return fPlaylist.EntryAt(fIndex);
}

void Playback::AddState(BMessage* message)
{
	Update();
	const PlaylistEntry* entry = fPlaylist.EntryAt(fIndex);
	message->AddInt32(MELODECK_FIELD_INDEX, fIndex);
	message->AddInt32(MELODECK_FIELD_COUNT, fPlaylist.CountEntries());
	message->AddInt32(MELODECK_FIELD_POSITION, Position());
	message->AddInt32(MELODECK_FIELD_LENGTH, entry != NULL ? entry->length : 0);
	message->AddBool(MELODECK_FIELD_PLAYING, fPlaying);
	message->AddString(MELODECK_FIELD_TITLE, entry != NULL ? entry->title.c_str() : "");
	message->AddString(MELODECK_FIELD_FILENAME,
		entry != NULL ? entry->filename.c_str() : "");
	message->AddString(MELODECK_FIELD_PROBLEM, fProblem.c_str());
	message->AddBool(MELODECK_FIELD_AUDIO, fAudio != NULL);
	if (fAudio != NULL) {
		message->AddInt32(MELODECK_FIELD_VOLUME, fVolume);
		message->AddBool(MELODECK_FIELD_MUTED, fMuted);
	}
}

void Playback::SetVolume(int32 percent)
{
	percent = std::clamp<int32>(percent, 0, 100);
	if (percent == fVolume)
		return;
	fVolume = percent;
	if (fAudio != NULL)
		fAudio->SetVolume(fVolume);
	_Notify(kMelodeckVolumeChanged);
}

void Playback::SetMuted(bool muted)
{
	if (muted == fMuted)
		return;
	fMuted = muted;
	if (fAudio != NULL)
		fAudio->SetMute(fMuted);
	_Notify(kMelodeckVolumeChanged);
}

void Playback::StartWatching(const BMessenger& target)
{
	if (!target.IsValid())
		return;
	if (std::find(fWatchers.begin(), fWatchers.end(), target) == fWatchers.end())
		fWatchers.push_back(target);
}

void Playback::StopWatching(const BMessenger& target)
{
	fWatchers.erase(std::remove(fWatchers.begin(), fWatchers.end(), target),
		fWatchers.end());
}

void Playback::_Notify(uint32 change)
{
	if (fWatchers.empty() || change == 0)
		return;
	BMessage message(kMelodeckStateChanged);
	message.AddInt32(MELODECK_FIELD_CHANGE, (int32)change);
	AddState(&message);
	// Never wait on a watcher: one with a full queue misses this report and
	// catches up with the next. One that is gone is forgotten.
	for (size_t i = 0; i < fWatchers.size();) {
		if (fWatchers[i].SendMessage(&message, (BHandler*)NULL, 0) == B_BAD_PORT_ID)
			fWatchers.erase(fWatchers.begin() + i);
		else
			i++;
	}
}

// #pragma mark - through the audio player

// Where the current entry is heard (µs).
bigtime_t Playback::_AudioPosition()
{
	if (!fAudioLoaded)
		return fBase;
	const AudioPlayer::Status status = fAudio->GetStatus();
	// a file that the audio player has moved on to is not ours until
	// Update() has taken it
	return status.index == fIndex ? status.position : fBase;
}

void Playback::_LoadAudio(int32 index, bigtime_t positionUs)
{
	const PlaylistEntry* entry = fPlaylist.EntryAt(index);
	if (entry == NULL)
		return;
	if (fAudio->Load(index, entry->filename, (int32)(positionUs / 1000), !fPlaying) != B_OK) {
		// libmpv would not even take it: skipped like a file that fails
		_Report(index, "libmpv refused it");
		fFailuresInRow++;
		if (fPlaying)
			_AfterAudioEntry(index);
		else
			fAudioLoaded = false;
		return;
	}
	fAudioLoaded = true;
	_QueueNext();
}

// Hands the entry after the current one to the audio player ahead of
// time, so that it follows without a gap.
void Playback::_QueueNext()
{
	int32 next = fIndex + 1;
	if (next >= fPlaylist.CountEntries())
		next = fRepeat ? 0 : -1;
	const PlaylistEntry* entry = fPlaylist.EntryAt(next);
	if (entry == NULL) {
		fAudio->ClearQueue();
		return;
	}
	fAudio->Queue(next, entry->filename);
}

void Playback::_Report(int32 index, const std::string& reason)
{
	const PlaylistEntry* entry = fPlaylist.EntryAt(index);
	if (entry == NULL)
		return;
	// a file that is not there says so better than the decoder would
	std::string why = reason;
	struct stat st;
	if (entry->filename.find("://") == std::string::npos
		&& stat(entry->filename.c_str(), &st) != 0)
		why = strerror(errno);
	fProblem = "Skipped " + std::to_string(entry->number) + " \"" + entry->title + "\": "
		+ why;
	fProblemIndex = -1;
	fprintf(stderr, "melodeck: %s cannot be played (%s); skipped\n",
		entry->filename.c_str(), why.c_str());
}

// A skipped entry stays reported while the entry after it plays.
void Playback::_KeepProblem()
{
	if (fProblem.empty())
		return;
	if (fProblemIndex < 0)
		fProblemIndex = fIndex;
	else if (fProblemIndex != fIndex)
		fProblem.clear();
}

// When every entry has failed in turn, going round again would only fail
// again: playback stops, saying so.
bool Playback::_StopWhenNothingPlays()
{
	if (fFailuresInRow < fPlaylist.CountEntries())
		return false;
	fProblem = "Nothing in the playlist can be played";
	fProblemIndex = -1;
	fFailuresInRow = 0;
	const bool otherEntry = fIndex != 0;
	_StopAtEnd();
	_Notify((otherEntry ? kMelodeckEntryChanged : kMelodeckPositionChanged)
		| kMelodeckPlayStateChanged);
	return true;
}

// After entry `index` has been heard to its end, or failed: the next one,
// or the end of the playlist.
void Playback::_AfterAudioEntry(int32 index)
{
	fAudioLoaded = false;
	const int32 count = fPlaylist.CountEntries();
	if (_StopWhenNothingPlays())
		return;
	int32 next = index + 1;
	if (next >= count) {
		if (!fRepeat) {
			const bool otherEntry = fIndex != 0;
			_StopAtEnd();
			_Notify((otherEntry ? kMelodeckEntryChanged : kMelodeckPositionChanged)
				| kMelodeckPlayStateChanged);
			return;
		}
		next = 0;
	}
	const bool otherEntry = next != fIndex;
	_Start(next, 0, fClock->Now());
	_Notify(otherEntry ? kMelodeckEntryChanged : kMelodeckPositionChanged);
}

void Playback::_UpdateAudio()
{
	if (!fAudioLoaded)
		return;
	for (const AudioPlayer::Failure& failure : fAudio->TakeFailures()) {
		_Report(failure.index, failure.reason);
		fFailuresInRow++;
	}
	const AudioPlayer::Status status = fAudio->GetStatus();

	if (status.finished) {
		// nothing plays any more: on to the next entry, or the end
		_AfterAudioEntry(status.index >= 0 ? status.index : fIndex);
		return;
	}
	if (status.index >= 0 && status.index != fIndex) {
		// the audio player went on by itself: the queued entry follows the
		// one that ended (or failed)
		if (_StopWhenNothingPlays())
			return;
		fIndex = status.index;
		fBase = 0;
		fPlaylist.EntryAt(fIndex)->played = true;
		_QueueNext();
		_KeepProblem();
		_Notify(kMelodeckEntryChanged);
	}
	if (status.index == fIndex && status.duration > 0) {
		// the file plays: whatever failed before it is no longer in a row
		fFailuresInRow = 0;
		PlaylistEntry* entry = fPlaylist.EntryAt(fIndex);
		if (!entry->lengthKnown) {
			// the tags did not tell; the decoder does
			entry->length = (int32)std::min<bigtime_t>(status.duration / 1000, INT32_MAX);
			entry->lengthKnown = true;
		}
	}
}
