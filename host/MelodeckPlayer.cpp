#include "MelodeckPlayer.h"

#include "HostProtocol.h"
#include "MelodeckApp.h"

#include <AppDefs.h>
#include <Message.h>

namespace {

// Generous: a sanitizer build on a busy machine is slow, and these are
// upper bounds, not waits.
const bigtime_t kStartTimeout = 10000000;
const bigtime_t kReplyTimeout = 5000000;

}

MelodeckPlayer::MelodeckPlayer(const Playlist& playlist, const HostOptions& options,
	Clock* clock)
	:
	fPlaylist(playlist),
	fOptions(options),
	fClockInUse(clock != NULL ? clock : &fClock),
	fThread(-1),
	fStarted(create_sem(0, "melodeck started")),
	fFinished(create_sem(0, "melodeck finished")),
	fApp(NULL),
	fInitStatus(B_NO_INIT)
{
	fThread = spawn_thread(&MelodeckPlayer::_Run, "melodeck", B_NORMAL_PRIORITY, this);
	if (fThread < 0 || resume_thread(fThread) != B_OK) {
		fInitStatus = fThread < 0 ? fThread : B_ERROR;
		fThread = -1;
		return;
	}
	if (acquire_sem_etc(fStarted, 1, B_RELATIVE_TIMEOUT, kStartTimeout) != B_OK) {
		fInitStatus = B_TIMED_OUT;
		return;
	}
	MelodeckApp* app = fApp.load();
	if (app == NULL) {
		// the application could not be made; the thread has ended
		status_t result;
		wait_for_thread(fThread, &result);
		fThread = -1;
		fInitStatus = result != B_OK ? result : B_ERROR;
		return;
	}
	fMessenger = BMessenger(app);
	fInitStatus = app->WaitUntilReady(kStartTimeout) ? B_OK : B_TIMED_OUT;
}

MelodeckPlayer::~MelodeckPlayer()
{
	if (Quit() == B_TIMED_OUT) {
		// the thread still uses this object: wait rather than free it
		status_t result;
		wait_for_thread(fThread, &result);
	}
	delete_sem(fStarted);
	delete_sem(fFinished);
}

int32 MelodeckPlayer::_Run(void* data)
{
	MelodeckPlayer* self = static_cast<MelodeckPlayer*>(data);
	MelodeckApp* app = new MelodeckApp(self->fPlaylist, self->fClockInUse, self->fOptions);
	status_t status = app->InitCheck();
	if (status == B_OK && !app->FollowError().empty())
		status = B_ERROR;
	if (status != B_OK) {
		delete app;
		release_sem(self->fStarted);
		release_sem(self->fFinished);
		return status;
	}
	self->fApp = app;
	release_sem(self->fStarted);
	app->Run();
	delete app;
	release_sem(self->fFinished);
	return B_OK;
}

status_t MelodeckPlayer::Quit(bigtime_t timeout)
{
	if (fThread < 0)
		return B_OK;
	fMessenger.SendMessage(B_QUIT_REQUESTED);
	// wait_for_thread has no time limit: the thread says when it is done
	if (acquire_sem_etc(fFinished, 1, B_RELATIVE_TIMEOUT, timeout) != B_OK)
		return B_TIMED_OUT;
	status_t result;
	wait_for_thread(fThread, &result);
	fThread = -1;
	fApp = NULL;
	return B_OK;
}

status_t MelodeckPlayer::_Command(BMessage* message)
{
	BMessage reply;
	status_t status = fMessenger.SendMessage(message, &reply, kReplyTimeout, kReplyTimeout);
	if (status != B_OK)
		return status;
	int32 error = B_OK;
	if (reply.FindInt32("error", &error) != B_OK)
		return B_ERROR;
	return error;
}

status_t MelodeckPlayer::_Command(uint32 what)
{
	BMessage message(what);
	return _Command(&message);
}

status_t MelodeckPlayer::Play()
{
	return _Command(kMelodeckPlay);
}

status_t MelodeckPlayer::Pause()
{
	return _Command(kMelodeckPause);
}

status_t MelodeckPlayer::TogglePlay()
{
	return _Command(kMelodeckTogglePlay);
}

status_t MelodeckPlayer::Next()
{
	return _Command(kMelodeckNext);
}

status_t MelodeckPlayer::Previous()
{
	return _Command(kMelodeckPrevious);
}

status_t MelodeckPlayer::Select(int32 index)
{
	BMessage message(kMelodeckSelect);
	message.AddInt32(MELODECK_FIELD_INDEX, index);
	return _Command(&message);
}

status_t MelodeckPlayer::SetPosition(int32 ms)
{
	BMessage message(kMelodeckSeek);
	message.AddInt32(MELODECK_FIELD_POSITION, ms);
	return _Command(&message);
}

status_t MelodeckPlayer::Advance(int32 ms)
{
	BMessage message(kMelodeckAdvance);
	message.AddInt32("ms", ms);
	return _Command(&message);
}

status_t MelodeckPlayer::GetState(BMessage* state)
{
	BMessage request(kMelodeckGetState);
	status_t status = fMessenger.SendMessage(&request, state, kReplyTimeout, kReplyTimeout);
	if (status == B_OK && state->what != kMelodeckState)
		status = B_ERROR;
	return status;
}

int32 MelodeckPlayer::CurrentIndex()
{
	BMessage state;
	int32 index = -1;
	if (GetState(&state) == B_OK)
		state.FindInt32(MELODECK_FIELD_INDEX, &index);
	return index;
}

int32 MelodeckPlayer::Position()
{
	BMessage state;
	int32 position = -1;
	if (GetState(&state) == B_OK)
		state.FindInt32(MELODECK_FIELD_POSITION, &position);
	return position;
}

bool MelodeckPlayer::IsPlaying()
{
	BMessage state;
	bool playing = false;
	if (GetState(&state) == B_OK)
		state.FindBool(MELODECK_FIELD_PLAYING, &playing);
	return playing;
}

std::string MelodeckPlayer::Title()
{
	BMessage state;
	const char* title = "";
	if (GetState(&state) == B_OK)
		state.FindString(MELODECK_FIELD_TITLE, &title);
	return title;
}

status_t MelodeckPlayer::GetAudioPositions(int32* reported, int32* audio, int32* index)
{
	BMessage request(kMelodeckGetAudioState);
	BMessage reply;
	status_t status = fMessenger.SendMessage(&request, &reply, kReplyTimeout, kReplyTimeout);
	int32 error = B_OK;
	if (status == B_OK && reply.FindInt32("error", &error) == B_OK && error != B_OK)
		status = error;
	if (status != B_OK)
		return status;
	if (reply.FindInt32(MELODECK_FIELD_POSITION, reported) != B_OK)
		return B_ERROR;
	if (reply.FindInt32("audio position", audio) != B_OK)
		*audio = -1;
	if (index != NULL && reply.FindInt32(MELODECK_FIELD_INDEX, index) != B_OK)
		return B_ERROR;
	return B_OK;
}
