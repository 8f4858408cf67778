#include "AudioPlayer.h"

#include <Message.h>

#include <mpv/client.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

namespace {

enum {
	kTimePos = 1,
	kDuration,
	kPause
};

// libmpv reports the position about ten times a second; in between it is
// extrapolated, but never further than this past a report: a sound that
// stalls must not run away in the answers.
const bigtime_t kMaxExtrapolation = 1000000;
// The end of a file that is still in the audio buffers when the next one
// starts: libmpv's buffers hold well under this.
const bigtime_t kMaxBufferedEnd = 1500000;
// A report a little behind the extrapolated position is jitter, not a
// step back of the sound; the position shown does not go back for it.
const bigtime_t kJitter = 30000;

// Positions may be negative: see _Observe().
bigtime_t seconds_to_us(double seconds)
{
	if (!isfinite(seconds))
		return 0;
	return (bigtime_t)llround(seconds * 1000000.0);
}

// Runs a "loadfile" command; the id of the playlist entry it made, or 0
// when libmpv refused it.
int64 load_file(mpv_handle* handle, const char** command)
{
	mpv_node result;
	if (mpv_command_ret(handle, command, &result) < 0)
		return 0;
	int64 id = 0;
	if (result.format == MPV_FORMAT_NODE_MAP) {
		for (int i = 0; i < result.u.list->num; i++) {
			if (strcmp(result.u.list->keys[i], "playlist_entry_id") == 0
				&& result.u.list->values[i].format == MPV_FORMAT_INT64)
				id = result.u.list->values[i].u.int64;
		}
	}
	mpv_free_node_contents(&result);
	return id;
}

bool exists(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0;
}

}

AudioPlayer::AudioPlayer(const std::string& output, const BMessenger& target, uint32 news)
	:
	fHandle(NULL),
	fInitStatus(B_NO_INIT),
	fTarget(target),
	fNews(news),
	fQuitting(false),
	fLoadedId(0),
	fCurrentId(0),
	fQueuedId(0),
	fCurrentIndex(-1),
	fCurrentEnded(false),
	fCurrentFailed(false),
	fIdle(true),
	fPaused(false),
	fHoldPosition(false),
	fConfirmed(false),
	fStarted(false),
	fMoving(false),
	fAwaitedReply(0),
	fLastRequest(0),
	fObserved(0),
	fObservedAt(0),
	fDuration(0),
	fPreviousIndex(-1),
	fPreviousDuration(0),
	fDelay(0),
	fSwitchAt(0)
{
	fHandle = mpv_create();
	if (fHandle == NULL) {
		fInitStatus = B_NO_MEMORY;
		fError = "libmpv could not be started";
		return;
	}
	// Sound only, nothing of libmpv's own user interface, no configuration
	// or scripts of the user's, no network look-ups.
	const char* const options[][2] = {
		{"ao", output.empty() ? "null" : output.c_str()},
		{"vid", "no"},
		{"audio-display", "no"},
		{"idle", "yes"},
		{"gapless-audio", "weak"},
		{"prefetch-playlist", "yes"},
		{"ytdl", "no"},
		{"load-scripts", "no"},
		{"input-default-bindings", "no"},
		{"resume-playback", "no"},
		{"audio-client-name", "Melodeck"},
	};
	for (const auto& option : options) {
		const int error = mpv_set_option_string(fHandle, option[0], option[1]);
		if (error < 0) {
			fError = std::string("libmpv refuses ") + option[0] + "=" + option[1] + ": "
				+ mpv_error_string(error);
			fInitStatus = B_BAD_VALUE;
			return;
		}
	}
	const int error = mpv_initialize(fHandle);
	if (error < 0) {
		fError = std::string("libmpv could not be started: ") + mpv_error_string(error);
		fInitStatus = B_ERROR;
		return;
	}
	mpv_observe_property(fHandle, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
	mpv_observe_property(fHandle, kDuration, "duration", MPV_FORMAT_DOUBLE);
	mpv_observe_property(fHandle, kPause, "pause", MPV_FORMAT_FLAG);
	fThread = std::thread([this] { _EventLoop(); });
	fInitStatus = B_OK;
}

AudioPlayer::~AudioPlayer()
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fQuitting = true;
	}
	if (fHandle != NULL)
		mpv_wakeup(fHandle);
	if (fThread.joinable())
		fThread.join();
	if (fHandle != NULL)
		mpv_terminate_destroy(fHandle);
}

std::string AudioPlayer::DefaultOutput()
{
	// A sound server of the user's session, or a sound card; libmpv takes
	// the first of the list that opens, and the silent output when none
	// does. Without any of them the list is not even tried: the libraries
	// behind it complain loudly on a machine without sound.
	bool sound = false;
	if (const char* runtime = getenv("XDG_RUNTIME_DIR")) {
		const std::string folder = runtime;
		sound = exists(folder + "/pipewire-0") || exists(folder + "/pulse/native");
	}
	if (!sound)
		sound = exists("/dev/snd/controlC0");
	return sound ? "pipewire,pulse,alsa,null" : "null";
}

void AudioPlayer::_EventLoop()
{
	for (;;) {
		double timeout = 1.0;
		{
			std::lock_guard<std::mutex> lock(fLock);
			if (fQuitting)
				return;
			if (fSwitchAt > 0)
				timeout = std::max<bigtime_t>(fSwitchAt - system_time(), 0) / 1000000.0;
		}
		mpv_event* event = mpv_wait_event(fHandle, timeout);
		bool news = false;
		{
			std::lock_guard<std::mutex> lock(fLock);
			if (fQuitting || event->event_id == MPV_EVENT_SHUTDOWN)
				return;
			if (event->event_id != MPV_EVENT_NONE)
				_HandleEvent(event, &news);
			if (fSwitchAt > 0 && system_time() >= fSwitchAt) {
				// the previous file's end has been heard: the next one plays
				fSwitchAt = 0;
				news = true;
			}
		}
		if (news)
			_Nudge();
	}
}

// With fLock held.
void AudioPlayer::_HandleEvent(const mpv_event* event, bool* news)
{
	const bigtime_t now = system_time();
	switch (event->event_id) {
		case MPV_EVENT_PROPERTY_CHANGE: {
			const mpv_event_property* property
				= static_cast<const mpv_event_property*>(event->data);
			if (event->reply_userdata == kDuration) {
				// (a file that has ended keeps its length)
				if (property->format != MPV_FORMAT_DOUBLE)
					break;
				const bigtime_t duration = std::max<bigtime_t>(
					seconds_to_us(*static_cast<double*>(property->data)), 0);
				if (duration != fDuration) {
					fDuration = duration;
					*news = true;
				}
			} else if (event->reply_userdata == kTimePos) {
				// Reports from before a load or seek took effect are stale.
				// After a load or seek while paused, libmpv counts the sound
				// waiting in its buffers as if heard; the sound goes on from
				// the sought position all the same.
				if (property->format != MPV_FORMAT_DOUBLE || !fStarted || fCurrentEnded
					|| (fPaused && fHoldPosition))
					break;
				_Observe(seconds_to_us(*static_cast<double*>(property->data)), now);
			} else if (event->reply_userdata == kPause
				&& property->format == MPV_FORMAT_FLAG) {
				const bool paused = *static_cast<int*>(property->data) != 0;
				if (paused != fPaused) {
					fObserved = _RawPosition(now);
					fObservedAt = now;
					fPaused = paused;
				}
				if (!paused)
					fHoldPosition = false;
			}
			break;
		}

		case MPV_EVENT_START_FILE: {
			const int64 id = static_cast<const mpv_event_start_file*>(event->data)
				->playlist_entry_id;
			const auto found = fIndexOf.find(id);
			if (found == fIndexOf.end()) {
				// libmpv numbers its entries upwards. One from before the
				// last load is stale news; a newer one that is not ours was
				// brought by a file that turned out to be a playlist of its
				// own, and that entry is no song.
				if (id > fLoadedId)
					mpv_command_string(fHandle, "stop");
				break;
			}
			if (id == fCurrentId) {
				// the file Load() asked for
				fConfirmed = true;
				break;
			}
			if (id != fQueuedId)
				break;
			// The queued file follows. When the current one ended normally,
			// its end is still being heard.
			const bool gapless = fCurrentEnded && !fCurrentFailed && fStarted;
			if (gapless) {
				const bigtime_t heard = std::clamp<bigtime_t>(_RawPosition(now) - fDelay, 0,
					fDuration > 0 ? fDuration : INT64_MAX);
				const bigtime_t length = fDuration > 0 ? fDuration : heard;
				fPreviousIndex = fCurrentIndex;
				fPreviousDuration = length;
				fDelay = std::clamp<bigtime_t>(length - heard, 0, kMaxBufferedEnd);
				fSwitchAt = fDelay > 0 ? now + fDelay : 0;
			} else {
				fPreviousIndex = -1;
				fDelay = 0;
				fSwitchAt = 0;
			}
			fCurrentId = id;
			fCurrentIndex = found->second;
			fConfirmed = true;
			fQueuedId = 0;
			fCurrentEnded = fCurrentFailed = false;
			fIdle = false;
			fStarted = gapless;
			fMoving = gapless;
			fObserved = 0;
			fObservedAt = now;
			fDuration = 0;
			*news = true;
			break;
		}

		case MPV_EVENT_PLAYBACK_RESTART: {
			// The sound runs from here (after a load or a seek). A restart
			// from before the last load or seek is stale.
			if (!fConfirmed || fAwaitedReply != 0 || fCurrentEnded)
				break;
			double seconds = 0;
			const bool gotPosition = !(fPaused && fHoldPosition)
				&& mpv_get_property(fHandle, "time-pos", MPV_FORMAT_DOUBLE, &seconds) >= 0;
			if (fStarted) {
				// a file that followed without a gap: the sound never stopped
				if (gotPosition)
					_Observe(seconds_to_us(seconds), now);
			} else {
				// The sound starts from here, but the audio output may take a
				// moment to begin: the position moves once libmpv reports it
				// moving, never ahead of the sound.
				if (gotPosition) {
					fObserved = seconds_to_us(seconds);
					fObservedAt = now;
				}
				fStarted = true;
				fMoving = false;
			}
			*news = true;
			break;
		}

		case MPV_EVENT_END_FILE: {
			const mpv_event_end_file* end = static_cast<const mpv_event_end_file*>(event->data);
			const auto found = fIndexOf.find(end->playlist_entry_id);
			if (found == fIndexOf.end())
				break;
			const bool current = end->playlist_entry_id == fCurrentId;
			if (end->reason == MPV_END_FILE_REASON_ERROR
				|| end->reason == MPV_END_FILE_REASON_REDIRECT) {
				Failure failure;
				failure.index = found->second;
				failure.reason = end->reason == MPV_END_FILE_REASON_REDIRECT
					? "a playlist, not a song" : mpv_error_string(end->error);
				fFailures.push_back(failure);
				if (current) {
					fCurrentEnded = fCurrentFailed = true;
					fPreviousIndex = -1;
					fSwitchAt = 0;
				} else if (end->playlist_entry_id == fQueuedId)
					fQueuedId = 0;
				*news = true;
			} else if (end->reason == MPV_END_FILE_REASON_EOF && current) {
				// decoded to its end; heard to its end when libmpv is idle
				fObserved = _RawPosition(now);
				fObservedAt = now;
				fCurrentEnded = true;
				*news = true;
			}
			fIndexOf.erase(found);
			break;
		}

		case MPV_EVENT_COMMAND_REPLY:
			if (event->reply_userdata == fAwaitedReply)
				fAwaitedReply = 0;
			break;

		case MPV_EVENT_IDLE:
			if (fCurrentEnded || fCurrentId == 0) {
				fIdle = true;
				fSwitchAt = 0;
				*news = true;
			}
			break;

		default:
			break;
	}
}

// A position reported by libmpv for the current file (µs). With fLock held.
//
// When a file follows another without a gap, libmpv may count the end of
// the previous file, still in the buffers, itself: the new file's position
// then starts below zero and reaches zero when its first sound is heard.
// Or it may not, and start at zero at once; fDelay then makes up for it. A
// report well below what the second way expects shows the first way, and
// fDelay is dropped.
void AudioPlayer::_Observe(bigtime_t position, bigtime_t now)
{
	if (!fMoving) {
		if (position == fObserved)
			return;
		fMoving = true;
		fObservedAt = now;
	}
	const bigtime_t expected = _RawPosition(now);
	if (fDelay > 0 && fPreviousIndex >= 0 && position < expected - fDelay / 2) {
		fDelay = 0;
		fSwitchAt = position < 0 ? now - position : now;
	} else if (fPreviousIndex >= 0 && expected < 0 && position > expected + kJitter) {
		// libmpv's own count says the previous file is still heard; a report
		// ahead of it was sent before libmpv knew better
		return;
	} else if (!fPaused && position < expected && expected - position < kJitter)
		return;
	fObserved = position;
	fObservedAt = now;
}

// The current file's position as libmpv counts it (µs), at `now`; below
// zero while the previous file's end is heard. With fLock held.
bigtime_t AudioPlayer::_RawPosition(bigtime_t now) const
{
	bigtime_t position = fObserved;
	if (fStarted && fMoving && !fPaused && !fIdle)
		position += std::clamp<bigtime_t>(now - fObservedAt, 0, kMaxExtrapolation);
	if (fDuration > 0)
		position = std::min(position, fDuration + fDelay);
	return position;
}

AudioPlayer::Status AudioPlayer::GetStatus()
{
	std::lock_guard<std::mutex> lock(fLock);
	Status status;
	if (fCurrentIndex < 0) {
		status.finished = fIdle && fCurrentId != 0;
		return status;
	}
	const bigtime_t raw = _RawPosition(system_time());
	if (fPreviousIndex >= 0 && raw < fDelay) {
		status.index = fPreviousIndex;
		status.duration = fPreviousDuration;
		status.position = std::clamp<bigtime_t>(fPreviousDuration - (fDelay - raw), 0,
			fPreviousDuration);
		status.playing = !fPaused;
		return status;
	}
	status.index = fCurrentIndex;
	status.duration = fDuration;
	status.position = std::max<bigtime_t>(raw - fDelay, 0);
	if (fDuration > 0)
		status.position = std::min(status.position, fDuration);
	status.finished = fIdle && fCurrentEnded;
	status.playing = !fPaused && !status.finished;
	if (status.finished && !fCurrentFailed && fDuration > 0)
		status.position = fDuration;
	return status;
}

std::vector<AudioPlayer::Failure> AudioPlayer::TakeFailures()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<Failure> failures;
	failures.swap(fFailures);
	return failures;
}

status_t AudioPlayer::Load(int32 index, const std::string& path, int32 position,
	bool paused)
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	// The lock is held while libmpv takes the command, so that its events
	// about the new file find the file's id known.
	std::lock_guard<std::mutex> lock(fLock);
	mpv_set_property_string(fHandle, "pause", paused ? "yes" : "no");
	const std::string start = "start=" + std::to_string(std::max<int32>(position, 0) / 1000.0);
	const char* command[] = {"loadfile", path.c_str(), "replace", start.c_str(), NULL};
	const int64 id = load_file(fHandle, command);
	if (id == 0)
		return B_ERROR;

	fIndexOf.clear();
	fIndexOf[id] = index;
	fLoadedId = id;
	fCurrentId = id;
	fCurrentIndex = index;
	fQueuedId = 0;
	fCurrentEnded = fCurrentFailed = false;
	fIdle = false;
	fPaused = paused;
	fHoldPosition = paused;
	fConfirmed = false;
	fStarted = false;
	fAwaitedReply = 0;
	fObserved = (bigtime_t)std::max<int32>(position, 0) * 1000;
	fObservedAt = system_time();
	fDuration = 0;
	fPreviousIndex = -1;
	fDelay = 0;
	fSwitchAt = 0;
	fFailures.clear();
	return B_OK;
}

status_t AudioPlayer::Queue(int32 index, const std::string& path)
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	std::lock_guard<std::mutex> lock(fLock);
	if (fCurrentId == 0 || fIdle)
		return B_NOT_ALLOWED;
	// "playlist-clear" keeps the file that plays and drops what follows it
	mpv_command_string(fHandle, "playlist-clear");
	if (fQueuedId != 0) {
		fIndexOf.erase(fQueuedId);
		fQueuedId = 0;
	}
	const char* command[] = {"loadfile", path.c_str(), "append", NULL};
	const int64 id = load_file(fHandle, command);
	if (id == 0)
		return B_ERROR;
	fIndexOf[id] = index;
	fQueuedId = id;
	return B_OK;
}

void AudioPlayer::ClearQueue()
{
	if (fInitStatus != B_OK)
		return;
	std::lock_guard<std::mutex> lock(fLock);
	mpv_command_string(fHandle, "playlist-clear");
	if (fQueuedId != 0) {
		fIndexOf.erase(fQueuedId);
		fQueuedId = 0;
	}
}

void AudioPlayer::SetPaused(bool paused)
{
	if (fInitStatus != B_OK)
		return;
	std::lock_guard<std::mutex> lock(fLock);
	if (paused == fPaused)
		return;
	// the position stops (or moves on) at once; libmpv's next report
	// tells where exactly the sound stopped
	const bigtime_t now = system_time();
	fObserved = _RawPosition(now);
	fObservedAt = now;
	fPaused = paused;
	if (!paused)
		fHoldPosition = false;
	mpv_set_property_string(fHandle, "pause", paused ? "yes" : "no");
}

status_t AudioPlayer::Seek(int32 index, int32 position)
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	std::lock_guard<std::mutex> lock(fLock);
	if (fCurrentId == 0 || fIdle || fCurrentEnded || index != fCurrentIndex
		|| (fPreviousIndex >= 0 && _RawPosition(system_time()) < fDelay))
		return B_NOT_ALLOWED;
	const std::string seconds = std::to_string(std::max<int32>(position, 0) / 1000.0);
	const char* command[] = {"seek", seconds.c_str(), "absolute+exact", NULL};
	// Asked without waiting: the reply marks where libmpv's events begin
	// to speak of the new position.
	const uint64 request = ++fLastRequest;
	if (mpv_command_async(fHandle, request, command) < 0)
		return B_ERROR;
	fAwaitedReply = request;
	// Until playback restarts, the sought position is the one heard; the
	// buffers are flushed, so no earlier file's end is heard any more.
	fObserved = (bigtime_t)std::max<int32>(position, 0) * 1000;
	fObservedAt = system_time();
	fStarted = false;
	fHoldPosition = fPaused;
	fPreviousIndex = -1;
	fDelay = 0;
	fSwitchAt = 0;
	return B_OK;
}

void AudioPlayer::Stop()
{
	if (fInitStatus != B_OK)
		return;
	std::lock_guard<std::mutex> lock(fLock);
	mpv_command_string(fHandle, "stop");
	fIndexOf.clear();
	fCurrentId = fQueuedId = 0;
	fCurrentIndex = -1;
	fCurrentEnded = fCurrentFailed = false;
	fIdle = true;
	fConfirmed = fStarted = false;
	fAwaitedReply = 0;
	fObserved = fObservedAt = fDuration = 0;
	fPreviousIndex = -1;
	fDelay = 0;
	fSwitchAt = 0;
	fFailures.clear();
}

void AudioPlayer::SetVolume(int32 percent)
{
	if (fInitStatus != B_OK)
		return;
	double volume = std::clamp<int32>(percent, 0, 100);
	mpv_set_property(fHandle, "volume", MPV_FORMAT_DOUBLE, &volume);
}

int32 AudioPlayer::Volume()
{
	double volume = 100;
	if (fInitStatus == B_OK)
		mpv_get_property(fHandle, "volume", MPV_FORMAT_DOUBLE, &volume);
	return (int32)(volume + 0.5);
}

void AudioPlayer::SetMute(bool mute)
{
	if (fInitStatus != B_OK)
		return;
	int flag = mute ? 1 : 0;
	mpv_set_property(fHandle, "mute", MPV_FORMAT_FLAG, &flag);
}

bool AudioPlayer::IsMuted()
{
	int flag = 0;
	if (fInitStatus == B_OK)
		mpv_get_property(fHandle, "mute", MPV_FORMAT_FLAG, &flag);
	return flag != 0;
}

bool AudioPlayer::QueryPosition(int32* position)
{
	double seconds = 0;
	if (fInitStatus != B_OK
		|| mpv_get_property(fHandle, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0)
		return false;
	*position = (int32)(seconds * 1000.0 + 0.5);
	return true;
}

std::string AudioPlayer::CurrentOutput()
{
	if (fInitStatus != B_OK)
		return std::string();
	char* name = mpv_get_property_string(fHandle, "current-ao");
	const std::string result = name != NULL ? name : "";
	mpv_free(name);
	return result;
}

void AudioPlayer::_Nudge()
{
	BMessage news(fNews);
	// never wait: a full queue means the target has news to read already
	fTarget.SendMessage(&news, (BHandler*)NULL, 0);
}
