// The client side of the player's front-end interface: who the player is
// playing, where in the song it is, and its playlist.
#ifndef PLUGIN_MELODECK_FRONT_END_H
#define PLUGIN_MELODECK_FRONT_END_H

#include "MelodeckSongEntry.h"

#include <Looper.h>
#include <Messenger.h>
#include <OS.h>
#include <Rect.h>

#include <atomic>
#include <string>

class BWindow;

// The player's application signature.
extern const char* const kMelodeckSignature;  // "application/x-vnd.Orlund-Melodeck"

// Size of the player's current-song information block.
const int32 kMelodeckInfoSize = 124;
// The title stands at offset 12 and takes at most the remaining 112 bytes.
const int32 kMelodeckTitleOffset = 12;
const int32 kMelodeckTitleSize = kMelodeckInfoSize - kMelodeckTitleOffset;

// How long a playlist request waits for the player's answer. A hung player
// must not freeze the lyrics window; a time-out counts as a missing answer.
const bigtime_t kMelodeckReplyTimeout = 2000000;

// A thread body that runs Main() until asked to abort.
class MDThread {
public:
	MDThread();
	virtual ~MDThread();
	virtual void Main();

	// Thread entry: runs the Main() of the MDThread passed as `data`.
	static int32 MainStarter(void* data);

	// Asks Main() to end and waits until it has.
	void Abort();
	void ThreadInit();
	void ThreadCleanUp();

	thread_id fThreadID;
	std::atomic<bool> fAbortRequested;
	std::atomic<bool> fFinished;

protected:
	// Sleeps for `interval`, returning early when an abort is requested.
	void Pause(bigtime_t interval);

private:
	sem_id fWakeUp;
};

// Collects the player's answers on its own looper thread.
class MDFE_Receiver : public BLooper {
public:
	MDFE_Receiver();
	virtual ~MDFE_Receiver();

	// Launches the player when asked to and it does not run, then greets it.
	void StartMelodeck();
	// Sends a request (not taken over) to the player's front end, greeting
	// the player first when no connection is known.
	void SendMsg(BMessage* message);
	virtual void MessageReceived(BMessage* message) override;

	// The "FrontEnd Mailbox" semaphore that guards the block and the
	// messenger. These hide BLooper::Lock/Unlock: lock the looper itself
	// with BLooper::Lock().
	bool Lock();
	void Unlock();

	// Copies the newest block into `info` when one arrived since the last
	// call. False when there was none (`info` keeps its contents).
	bool TakeInfo(uint8* info);

	void SetLaunchPlayer(bool launch) { fLaunchPlayer = launch; }
	bool IsConnected() const { return fConnected; }
	bool PlayerWasRunning() const { return fPlayerRunning; }

private:
	void SendHello(const BMessenger& player);
	BMessenger PlayerMessenger();

	BMessenger fMsgr;
	uint8 fInfo[kMelodeckInfoSize];
	sem_id fSem;
	std::atomic<bool> fInfoFresh;
	std::atomic<bool> fConnected;
	std::atomic<bool> fLaunchPlayer;
	std::atomic<bool> fPlayerRunning;
};

class Melodeck_FrontEnd : public MDThread {
public:
	// Creates and runs the receiver. The owner spawns the thread on
	// MDThread::MainStarter and resumes it.
	Melodeck_FrontEnd(bool autoRequest, bigtime_t interval);
	// Stops the thread and quits the receiver.
	virtual ~Melodeck_FrontEnd();

	virtual void Main() override;

	void SendInfoRequest();
	// The number of playlist entries, -1 without an answer.
	int32 CountEntries();
	// Reads one playlist entry; false (the entry untouched) when any of its
	// fields is missing from the answer.
	bool GetEntry(MelodeckSongEntry* entry, int32 index);
	void PlayThis(int32 index, bool fade);

	// Takes the receiver's newest block, if a new one arrived.
	bool TakeInfo();
	// Fields of the taken block.
	int32 PlayPosition() const;
	std::string Title() const;

	MDFE_Receiver* fReceiver;
	bigtime_t fInterval;
	int32 fPriority;
	uint8 fInfo[kMelodeckInfoSize];
	bool fAutoRequest;
};

// Finds the playlist entry whose title is the playing one. False (`out`
// untouched) when there is none.
bool get_current_song_entry(Melodeck_FrontEnd* client, MelodeckSongEntry* out);

// The host application's window whose title begins with "Melo-Deck", and
// its frame. 0 on success, -1 when there is none.
int32 get_melodeck_window(BWindow** out);
int32 get_melodeck_win_frame(BRect* out);

#endif
