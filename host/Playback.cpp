#include "Playback.h"

#include "HostProtocol.h"

#include <Message.h>

#include <algorithm>

Playback::Playback(const Playlist& playlist, const Clock* clock)
	:
	fPlaylist(playlist),
	fClock(clock),
	fRepeat(true),
	fIndex(playlist.IsEmpty() ? -1 : 0),
	fPlaying(false),
	fBase(0),
	fAnchor(clock->Now())
{
}

bigtime_t Playback::_Length(int32 index) const
{
	const PlaylistEntry* entry = fPlaylist.EntryAt(index);
	// entries always have a length; 1 ms keeps a damaged one from stalling
	return entry != NULL ? std::max<bigtime_t>(entry->length, 1) * 1000 : 1000;
}

bigtime_t Playback::_PositionAt(bigtime_t now) const
{
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
}

void Playback::_StopAtEnd()
{
	fPlaying = false;
	fIndex = 0;
	fBase = 0;
	fAnchor = fClock->Now();
}

void Playback::Update()
{
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
	Update();
	if (fPlaying || fIndex < 0)
		return;
	fPlaying = true;
	fAnchor = fClock->Now();
	fPlaylist.EntryAt(fIndex)->played = true;
	_Notify(kMelodeckPlayStateChanged);
}

void Playback::Pause()
{
	Update();
	if (!fPlaying)
		return;
	const bigtime_t now = fClock->Now();
	fBase = _PositionAt(now);
	fAnchor = now;
	fPlaying = false;
	_Notify(kMelodeckPlayStateChanged);
}

void Playback::TogglePlay()
{
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
	const bigtime_t position = std::clamp<bigtime_t>((bigtime_t)ms * 1000, 0,
		_Length(fIndex));
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

int32 Playback::Position()
{
	Update();
	if (fIndex < 0)
		return 0;
	return (int32)(_PositionAt(fClock->Now()) / 1000);
}

bool Playback::IsPlaying()
{
	Update();
	return fPlaying;
}

const PlaylistEntry* Playback::CurrentEntry()
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
