#include "MelodeckApp.h"

#include "AudioPlayer.h"
#include "FrontEndHandler.h"
#include "HostProtocol.h"
#include "ManualClock.h"
#include "MprisFollower.h"
#include "MprisServer.h"
#include "PlayerState.h"
#include "PlayerWindow.h"
#include "PlaylistHandler.h"

#include <AppDefs.h>
#include <MessageRunner.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <stdint.h>

const char* const kMelodeckAppSignature = "application/x-vnd.Orlund-Melodeck";

namespace {

// Scripting specifiers may hand a message from handler to handler; a chain
// longer than this is a loop.
const int32 kMaxSpecifierHops = 16;

void reply_status(BMessage* message, status_t status)
{
	if (!message->IsSourceWaiting())
		return;
	BMessage reply(B_REPLY);
	reply.AddInt32("error", status);
	message->SendReply(&reply);
}

}

MelodeckApp::MelodeckApp(const Playlist& playlist, Clock* clock,
	const HostOptions& options)
	:
	BApplication(kMelodeckAppSignature),
	fClock(clock),
	fOptions(options),
	fAudio(NULL),
	fFollower(NULL),
	fMpris(NULL),
	fPlayback(playlist, clock),
	fFrontEnd(new FrontEndHandler(&fPlayback)),
	fPlaylistHandler(new PlaylistHandler(&fPlayback)),
	fTeardown(kPluginsRunning),
	fTeardownThread(-1),
	fTickRunner(NULL),
	fTickWait(0),
	fStatusRunner(NULL),
	fQuitRunner(NULL),
	fReloadRunner(NULL),
	fReloadAfterTeardown(false),
	fReloads(0),
	fStatusPrinted(false),
	fReady(create_sem(0, "melodeck ready"))
{
	fPlayback.SetRepeat(options.repeat);
	if (options.follow) {
		fFollower = new MprisFollower(options.followName, BMessenger(this),
			kMelodeckFollowNews, options.followPollInterval);
		if (fFollower->Start(options.busTimeout, &fFollowError) == B_OK)
			fPlayback.SetSource(fFollower);
		else {
			if (fFollowError.empty())
				fFollowError = "the session bus cannot be reached";
			delete fFollower;
			fFollower = NULL;
		}
	} else if (options.audio) {
		fAudio = new AudioPlayer(options.audioOutput, BMessenger(this), kMelodeckAudioNews);
		if (fAudio->InitCheck() == B_OK)
			fPlayback.SetAudio(fAudio);
		else {
			fprintf(stderr, "melodeck: %s; playing on the clock, without sound\n",
				fAudio->Error().c_str());
			delete fAudio;
			fAudio = NULL;
		}
	}
	AddHandler(fFrontEnd);
	AddHandler(fPlaylistHandler);
	// The player has nothing to do on a pulse; without one it does not
	// wake twice a second for nothing.
	SetPulseRate(0);
}

MelodeckApp::~MelodeckApp()
{
	delete fQuitRunner;
	delete fReloadRunner;
	delete fStatusRunner;
	delete fTickRunner;

	// A quit that did not pass through QuitRequested still takes the
	// plug-ins down properly, only without the application answering them.
	if (fTeardown == kPluginsTearingDown) {
		status_t result;
		wait_for_thread(fTeardownThread, &result);
	} else if (fTeardown == kPluginsRunning)
		fPlugins.UnloadAll();

	if (Lock()) {
		if (fMpris != NULL) {
			fPlayback.StopWatching(BMessenger(fMpris));
			RemoveHandler(fMpris);
		}
		RemoveHandler(fFrontEnd);
		RemoveHandler(fPlaylistHandler);
		Unlock();
	}
	delete fMpris;
	delete fFrontEnd;
	delete fPlaylistHandler;
	fPlayback.SetSource(NULL);
	delete fFollower;
	fPlayback.SetAudio(NULL);
	delete fAudio;
	delete_sem(fReady);
}

bool MelodeckApp::WaitUntilReady(bigtime_t timeout)
{
	if (acquire_sem_etc(fReady, 1, B_RELATIVE_TIMEOUT, timeout) != B_OK)
		return false;
	// let the next waiter through too
	release_sem(fReady);
	return true;
}

void MelodeckApp::ReadyToRun()
{
	if (fOptions.startPlaying)
		fPlayback.Play();

	// The window comes first: plug-ins look for it when they start, and
	// it is no looper of theirs.
	if (fOptions.showWindow)
		_OpenWindow();

	fPlugins.SetHostMessenger(BMessenger(this));
	_LoadPlugins();

	if (fOptions.mprisServer && fFollower == NULL) {
		fMpris = new MprisServer(BMessenger(this));
		AddHandler(fMpris);
		fPlayback.StartWatching(BMessenger(fMpris));
		BMessage state;
		fPlayback.AddState(&state);
		fMpris->Publish(state, 0);
		fMpris->Start();
	}

	BMessenger self(this);
	if (fOptions.tickInterval > 0) {
		BMessage tick(kMelodeckTick);
		fTickRunner = new BMessageRunner(self, &tick, fOptions.tickInterval);
		fTickWait = fOptions.tickInterval;
		_ScheduleTick(true);
	}
	if (fOptions.statusInterval > 0) {
		_PrintStatus();
		BMessage print(kMelodeckPrintStatus);
		fStatusRunner = new BMessageRunner(self, &print, fOptions.statusInterval);
	}
	if (fOptions.quitAfter > 0) {
		BMessage quit(B_QUIT_REQUESTED);
		fQuitRunner = new BMessageRunner(self, &quit, fOptions.quitAfter, 1);
	}
	if (fOptions.reloadPluginsInterval > 0) {
		BMessage reload(kMelodeckReloadPlugins);
		fReloadRunner = new BMessageRunner(self, &reload, fOptions.reloadPluginsInterval);
	}
	release_sem(fReady);
}

bool MelodeckApp::QuitRequested()
{
	switch (fTeardown) {
		case kPluginsRunning:
			if (fPlugins.CountPlugins() > 0) {
				_StartTeardown();
				return false;
			}
			fTeardown = kPluginsGone;
			break;
		case kPluginsTearingDown:
			// the teardown asks again when it is done, and loads nothing
			// again
			fReloadAfterTeardown = false;
			return false;
		case kPluginsGone:
			break;
	}
	return BApplication::QuitRequested();
}

void MelodeckApp::_StartTeardown()
{
	fTeardown = kPluginsTearingDown;
	fTeardownThread = spawn_thread(&MelodeckApp::_TeardownThread,
		"plug-in teardown", B_NORMAL_PRIORITY, this);
	if (fTeardownThread < 0 || resume_thread(fTeardownThread) != B_OK) {
		// no thread to spare: take them down here, at the risk of a plug-in
		// window waiting for an answer meanwhile
		fPlugins.UnloadAll();
		fTeardownThread = -1;
		_TeardownDone();
	}
}

void MelodeckApp::_TeardownDone()
{
	if (!fReloadAfterTeardown) {
		fTeardown = kPluginsGone;
		PostMessage(B_QUIT_REQUESTED);
		return;
	}
	fReloadAfterTeardown = false;
	fTeardown = kPluginsRunning;
	_LoadPlugins();
	fReloads++;
	if (fOptions.statusInterval > 0) {
		printf("plug-ins loaded again (%ld time(s)): %ld running\n", (long)fReloads,
			(long)fPlugins.CountPlugins());
		fflush(stdout);
	}
}

void MelodeckApp::_LoadPlugins()
{
	for (const std::string& folder : fOptions.pluginFolders)
		fPlugins.LoadFolder(folder);
	for (const std::string& file : fOptions.pluginFiles)
		fPlugins.Load(file);
	fPlugins.InitAll();
	if (fWindow.IsValid())
		_TellWindowPlugins();
}

int32 MelodeckApp::_TeardownThread(void* data)
{
	MelodeckApp* app = static_cast<MelodeckApp*>(data);
	// The application's thread leaves the plug-ins alone until it hears
	// that this is done.
	app->fPlugins.UnloadAll();
	app->PostMessage(kMelodeckPluginsGone);
	return 0;
}

[[gnu::hot]] void MelodeckApp::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message != NULL && handler == this && message->HasSpecifiers()) {
		handler = _ResolveSpecifiers(message);
		if (handler == NULL)
			return;   // answered by whoever refused the specifier
	}
	BApplication::DispatchMessage(message, handler);
}

// Hands a scripting message from handler to handler, as their specifiers
// say, until one of them takes it.
BHandler* MelodeckApp::_ResolveSpecifiers(BMessage* message)
{
	BHandler* target = this;
	for (int32 hops = 0; hops < kMaxSpecifierHops; hops++) {
		int32 index = 0, form = 0;
		BMessage specifier;
		const char* property = NULL;
		if (message->GetCurrentSpecifier(&index, &specifier, &form, &property) != B_OK)
			return target;
		BHandler* next = target->ResolveSpecifier(message, index, &specifier, form,
			property);
		if (next == NULL || next == target)
			return next;
		target = next;
	}
	return target;
}

BHandler* MelodeckApp::ResolveSpecifier(BMessage* message, int32 index,
	BMessage* specifier, int32 form, const char* property)
{
	if (property != NULL && strcmp(property, "Playlist") == 0
		&& form == B_DIRECT_SPECIFIER) {
		message->PopSpecifier();
		return fPlaylistHandler;
	}
	return BApplication::ResolveSpecifier(message, index, specifier, form, property);
}

status_t MelodeckApp::GetSupportedSuites(BMessage* data)
{
	if (data == NULL)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", "suite/vnd.Orlund-Melodeck");
	if (status != B_OK)
		return status;
	return BApplication::GetSupportedSuites(data);
}

void MelodeckApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMelodeckHello: {
			BMessage reply(kMelodeckHello);
			reply.AddMessenger("Msgr", BMessenger(fFrontEnd));
			message->SendReply(&reply);
			break;
		}
		case kMelodeckInfo:
			fFrontEnd->ReplyInfo(message);
			break;

		case kMelodeckPlay:
		case kMelodeckPause:
		case kMelodeckTogglePlay:
		case kMelodeckNext:
		case kMelodeckPrevious:
		case kMelodeckSeek:
		case kMelodeckSelect:
		case kMelodeckAdvance:
		case kMelodeckSetVolume:
		case kMelodeckToggleMute:
		case kMelodeckGetState:
		case kMelodeckStartWatching:
		case kMelodeckStopWatching:
			// The window asks for the state every second while it plays:
			// the check for an ended entry is made then, and the tick put
			// off, so that the two do not wake the player apart.
			if (message->what == kMelodeckGetState)
				fPlayback.Update();
			_HandleCommand(message);
			_ScheduleTick(true);
			break;

		case kMelodeckGetPlugins:
		case kMelodeckPluginPrefs:
		case kMelodeckPluginAbout:
			_HandlePluginRequest(message);
			break;

		case kMelodeckTick:
		case kMelodeckAudioNews:
		case kMelodeckFollowNews:
			fPlayback.Update();
			_ScheduleTick(false);
			break;
		case kMelodeckGetAudioState:
			_ReplyAudioState(message);
			break;
		case kMelodeckPrintStatus:
			_PrintStatus();
			break;
		case kMelodeckReloadPlugins:
			// Taken down on a thread of their own, as for quitting: their
			// windows may ask the application something meanwhile.
			if (fTeardown == kPluginsRunning) {
				fReloadAfterTeardown = true;
				_StartTeardown();
			}
			break;
		case kMelodeckPluginsGone: {
			status_t result;
			wait_for_thread(fTeardownThread, &result);
			fTeardownThread = -1;
			_TeardownDone();
			break;
		}
		default:
			BApplication::MessageReceived(message);
	}
}

// The tick only matters when the playing entry may end: it comes every
// tick interval near the end, but while the end is far off (or nothing
// plays) at most once a second, so that a long song does not wake the
// player ten times a second for nothing. A command may move the end, so
// after one the tick starts again from now.
void MelodeckApp::_ScheduleTick(bool force)
{
	if (fTickRunner == NULL)
		return;
	const bigtime_t kFarTickWait = 1000000;
	bigtime_t wait = std::max(fOptions.tickInterval, kFarTickWait);
	const PlaylistEntry* entry = fPlayback.CurrentEntry();
	if (fPlayback.IsPlaying() && entry != NULL) {
		const bigtime_t left = ((bigtime_t)entry->length - fPlayback.Position()) * 1000;
		wait = std::min(wait, std::max(fOptions.tickInterval, left));
	}
	if (!force && wait == fTickWait)
		return;
	if (fTickRunner->SetInterval(wait) == B_OK)
		fTickWait = wait;
}

void MelodeckApp::_HandleCommand(BMessage* message)
{
	status_t status = B_OK;
	switch (message->what) {
		case kMelodeckPlay:
			fPlayback.Play();
			break;
		case kMelodeckPause:
			fPlayback.Pause();
			break;
		case kMelodeckTogglePlay:
			fPlayback.TogglePlay();
			break;
		case kMelodeckNext:
			fPlayback.Next();
			break;
		case kMelodeckPrevious:
			fPlayback.Previous();
			break;
		case kMelodeckSeek: {
			int32 position = 0, offset = 0;
			if (message->FindInt32(MELODECK_FIELD_POSITION, &position) == B_OK)
				fPlayback.SetPosition(position);
			else if (message->FindInt32(MELODECK_FIELD_OFFSET, &offset) == B_OK) {
				// in 64 bits: a far jump must not wrap round
				const int64 target = (int64)fPlayback.Position() + offset;
				fPlayback.SetPosition((int32)std::clamp<int64>(target, 0, INT32_MAX));
			} else
				status = B_BAD_VALUE;
			break;
		}
		case kMelodeckSelect: {
			int32 index = 0;
			status = message->FindInt32(MELODECK_FIELD_INDEX, &index);
			if (status == B_OK)
				status = fPlayback.Select(index);
			break;
		}
		case kMelodeckAdvance: {
			int32 ms = 0;
			status = message->FindInt32("ms", &ms);
			if (status == B_OK && (!fClock->IsManual() || fAudio != NULL))
				status = B_NOT_ALLOWED;
			else if (status == B_OK && ms < 0)
				status = B_BAD_VALUE;
			if (status == B_OK) {
				static_cast<ManualClock*>(fClock)->Advance((bigtime_t)ms * 1000);
				fPlayback.Update();
			}
			break;
		}
		case kMelodeckSetVolume: {
			int32 volume = 0, offset = 0;
			if (message->FindInt32(MELODECK_FIELD_VOLUME, &volume) == B_OK)
				fPlayback.SetVolume(volume);
			else if (message->FindInt32(MELODECK_FIELD_OFFSET, &offset) == B_OK)
				fPlayback.SetVolume(fPlayback.Volume() + std::clamp<int32>(offset, -100, 100));
			else
				status = B_BAD_VALUE;
			break;
		}
		case kMelodeckToggleMute:
			fPlayback.SetMuted(!fPlayback.IsMuted());
			break;
		case kMelodeckGetState: {
			BMessage reply(kMelodeckState);
			fPlayback.AddState(&reply);
			reply.AddInt32("error", B_OK);
			if (!_ShowInWindow(message, reply))
				message->SendReply(&reply);
			return;
		}
		case kMelodeckStartWatching:
		case kMelodeckStopWatching: {
			BMessenger target;
			status = message->FindMessenger("target", &target);
			if (status == B_OK && message->what == kMelodeckStartWatching) {
				if (target.IsValid())
					fPlayback.StartWatching(target);
				else
					status = B_BAD_VALUE;
			} else if (status == B_OK)
				fPlayback.StopWatching(target);
			break;
		}
	}
	reply_status(message, status);
}

// The window asks for the state every second while an entry plays, mostly
// for the time. This thread is awake then anyway (the runner waits for the
// plug-ins' next request), the window's is not: when only the position
// changed and the window is free, the answer is drawn into it from here,
// under its lock, and its thread sleeps on. A window that is busy, or a
// state that changed more, gets the answer as a message.
bool MelodeckApp::_ShowInWindow(BMessage* request, const BMessage& state)
{
	// (locking fails for a window that is gone)
	if (request->ReturnAddress() != fWindow || fWindow.LockTargetWithTimeout(0) != B_OK)
		return false;
	BLooper* looper = NULL;
	fWindow.Target(&looper);
	if (looper == NULL)
		return false;
	PlayerWindow* window = dynamic_cast<PlayerWindow*>(looper);
	const bool shown = window != NULL && window->ShowPositionNow(&state);
	looper->Unlock();
	return shown;
}

void MelodeckApp::_ReplyAudioState(BMessage* message)
{
	if (fAudio == NULL) {
		reply_status(message, B_NOT_ALLOWED);
		return;
	}
	BMessage reply(B_REPLY);
	// both at the same moment, on this thread: what the player reports and
	// what libmpv itself says
	reply.AddInt32(MELODECK_FIELD_POSITION, fPlayback.Position());
	int32 position = 0;
	if (fAudio->QueryPosition(&position))
		reply.AddInt32("audio position", position);
	reply.AddInt32(MELODECK_FIELD_INDEX, fPlayback.CurrentIndex());
	reply.AddString("output", fAudio->CurrentOutput().c_str());
	reply.AddInt32("error", B_OK);
	message->SendReply(&reply);
}

void MelodeckApp::_HandlePluginRequest(BMessage* message)
{
	// While the plug-ins are being taken down they belong to that thread.
	if (fTeardown != kPluginsRunning) {
		reply_status(message, B_NOT_ALLOWED);
		return;
	}
	if (message->what == kMelodeckGetPlugins) {
		BMessage reply(B_REPLY);
		for (int32 i = 0; i < fPlugins.CountPlugins(); i++) {
			reply.AddString("name", fPlugins.NameAt(i).c_str());
			reply.AddString("description", fPlugins.DescriptionAt(i).c_str());
			reply.AddString("path", fPlugins.PathAt(i).c_str());
		}
		reply.AddInt32("error", B_OK);
		message->SendReply(&reply);
		return;
	}
	int32 index = -1;
	status_t status = message->FindInt32("plugin", &index);
	if (status == B_OK && (index < 0 || index >= fPlugins.CountPlugins()))
		status = B_BAD_INDEX;
	if (status == B_OK) {
		const bool shown = message->what == kMelodeckPluginPrefs
			? fPlugins.Prefs(index, false) : fPlugins.About(index, false);
		if (!shown)
			status = B_ERROR;
	}
	reply_status(message, status);
}

void MelodeckApp::_OpenWindow()
{
	PlayerWindow* window = new PlayerWindow(BMessenger(this));
	fWindow = BMessenger(window);
	window->Show();
}

// The window's plug-in menu, offering only what each plug-in has.
void MelodeckApp::_TellWindowPlugins()
{
	if (fPlugins.CountPlugins() == 0)
		return;
	BMessage plugins(kPlayerPlugins);
	for (int32 i = 0; i < fPlugins.CountPlugins(); i++) {
		plugins.AddString("name", fPlugins.NameAt(i).c_str());
		plugins.AddBool("prefs", fPlugins.Prefs(i, true));
		plugins.AddBool("about", fPlugins.About(i, true));
	}
	fWindow.SendMessage(&plugins, (BHandler*)NULL, 0);
}

void MelodeckApp::_PrintStatus()
{
	const PlaylistEntry* entry = fPlayback.CurrentEntry();
	if (entry == NULL) {
		// said once is enough
		if (fStatusPrinted)
			return;
		printf("melodeck: nothing to play\n");
	} else {
		printf("%s %d/%d  %s / %s  %s\n", fPlayback.IsPlaying() ? "playing" : "paused ",
			(int)entry->number, (int)fPlayback.List().CountEntries(),
			format_play_time(fPlayback.Position()).c_str(),
			format_play_time(entry->length).c_str(),
			entry->title.c_str());
	}
	fStatusPrinted = true;
	fflush(stdout);
}
