#include "MelodeckFrontEnd.h"

#include <AppDefs.h>
#include <Application.h>
#include <Autolock.h>
#include <Roster.h>
#include <Window.h>

#include <string.h>

const char* const kMelodeckSignature = "application/x-vnd.Orlund-Melodeck";

namespace {

const uint32 kHello = 'MDAm';
const uint32 kInfoRequest = 'MDAi';

}

// #pragma mark - MDThread

MDThread::MDThread()
	:
	fThreadID(-1),
	fAbortRequested(false),
	fFinished(true),
	fWakeUp(create_sem(0, "MDThread wake-up"))
{
}

MDThread::~MDThread()
{
	Abort();
	delete_sem(fWakeUp);
}

void MDThread::Main()
{
	ThreadInit();
	ThreadCleanUp();
}

int32 MDThread::MainStarter(void* data)
{
	static_cast<MDThread*>(data)->Main();
	return 0;
}

void MDThread::Abort()
{
	fAbortRequested = true;
	release_sem(fWakeUp);
	while (!fFinished)
		snooze(1000);
}

void MDThread::ThreadInit()
{
}

void MDThread::ThreadCleanUp()
{
	fFinished = true;
}

void MDThread::Pause(bigtime_t interval)
{
	acquire_sem_etc(fWakeUp, 1, B_RELATIVE_TIMEOUT, interval);
}

// #pragma mark - MDFE_Receiver

MDFE_Receiver::MDFE_Receiver()
	:
	BLooper("Melo-Deck FrontEnd Mailbox", B_DISPLAY_PRIORITY, 100),
	fSem(create_sem(1, "FrontEnd Mailbox")),
	fInfoFresh(false),
	fConnected(false),
	fLaunchPlayer(false),
	fPlayerRunning(false)
{
	memset(fInfo, 0, sizeof(fInfo));
}

MDFE_Receiver::~MDFE_Receiver()
{
	delete_sem(fSem);
}

bool MDFE_Receiver::Lock()
{
	return acquire_sem(fSem) == B_OK;
}

void MDFE_Receiver::Unlock()
{
	release_sem(fSem);
}

BMessenger MDFE_Receiver::PlayerMessenger()
{
	BMessenger player;
	if (Lock()) {
		player = fMsgr;
		Unlock();
	}
	return player;
}

void MDFE_Receiver::SendHello(const BMessenger& player)
{
	BMessage hello(kHello);
	player.SendMessage(&hello, this);
}

void MDFE_Receiver::StartMelodeck()
{
	if (fLaunchPlayer && !be_roster->IsRunning(kMelodeckSignature))
		be_roster->Launch(kMelodeckSignature);
	BMessenger player(kMelodeckSignature);
	if (player.IsValid())
		SendHello(player);
}

[[gnu::hot]] void MDFE_Receiver::SendMsg(BMessage* message)
{
	BMessenger front = PlayerMessenger();
	bool valid = front.IsValid();
	if (!valid) {
		fConnected = false;
		const bool running = be_roster->IsRunning(kMelodeckSignature);
		fPlayerRunning = running;
		if (fLaunchPlayer && !running)
			be_roster->Launch(kMelodeckSignature);
		BMessenger player(kMelodeckSignature);
		if (player.IsValid()) {
			SendHello(player);
			// give the answer a moment to arrive on the receiver's thread
			snooze(20000);
		}
		front = PlayerMessenger();
		valid = front.IsValid();
	}
	if (fConnected && valid)
		front.SendMessage(message, this);
	// otherwise the request is dropped; the next poll tries again
}

[[gnu::hot]] void MDFE_Receiver::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kInfoRequest: {
			const void* data = nullptr;
			ssize_t size = 0;
			if (message->FindData("Info", B_STRING_TYPE, &data, &size) != B_OK
				|| size < kMelodeckInfoSize)
				break;
			if (!Lock())
				break;
			memcpy(fInfo, data, kMelodeckInfoSize);
			fInfoFresh = true;
			Unlock();
			break;
		}
		case kHello: {
			if (!Lock())
				break;
			BMessenger front;
			if (message->FindMessenger("Msgr", &front) == B_OK) {
				fMsgr = front;
				fConnected = true;
			}
			Unlock();
			break;
		}
		default:
			BLooper::MessageReceived(message);
	}
}

bool MDFE_Receiver::TakeInfo(uint8* info)
{
	if (!fInfoFresh || !Lock())
		return false;
	memcpy(info, fInfo, kMelodeckInfoSize);
	fInfoFresh = false;
	Unlock();
	return true;
}

// #pragma mark - Melodeck_FrontEnd

Melodeck_FrontEnd::Melodeck_FrontEnd(bool autoRequest, bigtime_t interval)
	:
	fReceiver(new MDFE_Receiver),
	fInterval(interval),
	fPriority(B_NORMAL_PRIORITY),
	fAutoRequest(autoRequest)
{
	memset(fInfo, 0, sizeof(fInfo));
	fReceiver->Run();
}

Melodeck_FrontEnd::~Melodeck_FrontEnd()
{
	Abort();
	if (fReceiver->BLooper::Lock())
		fReceiver->Quit();
}

void Melodeck_FrontEnd::Main()
{
	fReceiver->StartMelodeck();
	set_thread_priority(fReceiver->Thread(), fPriority);
	while (!fAbortRequested) {
		if (fAutoRequest)
			SendInfoRequest();
		// Without requests of its own the thread has nothing to do until
		// it is asked to stop (Abort wakes it).
		Pause(fAutoRequest ? fInterval : B_INFINITE_TIMEOUT);
	}
	ThreadCleanUp();
}

[[gnu::hot]] void Melodeck_FrontEnd::SendInfoRequest()
{
	BMessage request(kInfoRequest);
	fReceiver->SendMsg(&request);
}

int32 Melodeck_FrontEnd::CountEntries()
{
	BMessage request(B_COUNT_PROPERTIES);
	request.AddSpecifier("Entry");
	request.AddSpecifier("Playlist");
	BMessage reply;
	int32 count = -1;
	if (BMessenger(kMelodeckSignature).SendMessage(&request, &reply,
			B_INFINITE_TIMEOUT, kMelodeckReplyTimeout) != B_OK
		|| reply.FindInt32("result", &count) != B_OK)
		return -1;
	return count;
}

bool Melodeck_FrontEnd::GetEntry(MelodeckSongEntry* entry, int32 index)
{
	BMessage request(B_GET_PROPERTY);
	request.AddSpecifier("Entry", index);
	request.AddSpecifier("Playlist");
	BMessage reply;
	if (BMessenger(kMelodeckSignature).SendMessage(&request, &reply,
			B_INFINITE_TIMEOUT, kMelodeckReplyTimeout) != B_OK)
		return false;

	const char* filename = nullptr;
	const char* title = nullptr;
	int32 time = 0;
	int32 nr = 0;
	bool played = false;
	if (reply.FindString("filename", &filename) != B_OK
		|| reply.FindString("title", &title) != B_OK
		|| reply.FindInt32("time", &time) != B_OK
		|| reply.FindBool("played", &played) != B_OK
		|| reply.FindInt32("nr", &nr) != B_OK)
		return false;

	entry->SetStrings(filename, title);
	entry->time = time;
	entry->nr = nr;
	entry->played = played;
	return true;
}

void Melodeck_FrontEnd::PlayThis(int32 index, bool fade)
{
	BMessage request(B_EXECUTE_PROPERTY);
	request.AddBool("Fade", fade);
	request.AddSpecifier("Entry", index);
	request.AddSpecifier("Playlist");
	BMessenger(kMelodeckSignature).SendMessage(&request);
}

[[gnu::hot]] bool Melodeck_FrontEnd::TakeInfo()
{
	return fReceiver->TakeInfo(fInfo);
}

[[gnu::hot]] int32 Melodeck_FrontEnd::PlayPosition() const
{
	const uint8* p = fInfo + 4;
	return static_cast<int32>(uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16
		| uint32(p[3]) << 24);
}

[[gnu::hot]] std::string Melodeck_FrontEnd::Title() const
{
	const char* title = reinterpret_cast<const char*>(fInfo + kMelodeckTitleOffset);
	return std::string(title, strnlen(title, kMelodeckTitleSize));
}

// #pragma mark - free functions

bool get_current_song_entry(Melodeck_FrontEnd* client, MelodeckSongEntry* out)
{
	if (client->CountEntries() == 0)
		return false;
	const std::string playing = client->Title();
	MelodeckSongEntry scratch;
	for (int32 index = 0; client->GetEntry(&scratch, index); index++) {
		const char* title = scratch.title != nullptr ? scratch.title : "";
		if (playing == title) {
			out->TakeFrom(scratch);
			return true;
		}
	}
	return false;
}

// The player's window, by its title. Each window is locked (briefly, with a
// time-out so that two windows looking at each other never wait for ever)
// while its title is read, since the player may retitle it meanwhile.
int32 get_melodeck_window(BWindow** out)
{
	if (be_app == NULL)
		return -1;
	static const char kPrefix[] = "Melo-Deck";
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (window->LockWithTimeout(100000) != B_OK)
			continue;
		const char* title = window->Title();
		bool found = title != NULL && strncmp(title, kPrefix, sizeof(kPrefix) - 1) == 0;
		window->Unlock();
		if (found) {
			if (out != NULL)
				*out = window;
			return 0;
		}
	}
	return -1;
}

int32 get_melodeck_win_frame(BRect* out)
{
	BWindow* window = NULL;
	if (get_melodeck_window(&window) != 0)
		return -1;
	if (window->LockWithTimeout(100000) != B_OK)
		return -1;
	if (out != NULL)
		*out = window->Frame();
	window->Unlock();
	return 0;
}
