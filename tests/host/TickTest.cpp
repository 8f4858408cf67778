// The player's check for entries that have ended, on the real clock: it
// waits long while the end is far off, yet the watchers hear of the next
// entry soon after the end.
#include "HostProtocol.h"
#include "MelodeckApp.h"
#include "Playlist.h"
#include "SystemClock.h"

#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include <gtest/gtest.h>

#include "TestUtil.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Keeps every entry change the player reports.
class EntryRecorder : public BLooper {
public:
	EntryRecorder() : BLooper("entry recorder") {}

	void MessageReceived(BMessage* message) override
	{
		int32 change = 0;
		if (message->what != kMelodeckStateChanged
			|| message->FindInt32(MELODECK_FIELD_CHANGE, &change) != B_OK
			|| (change & kMelodeckEntryChanged) == 0) {
			BLooper::MessageReceived(message);
			return;
		}
		std::lock_guard<std::mutex> lock(fLock);
		fReports.push_back(*message);
	}

	bool Take(BMessage* report)
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (fReports.empty())
			return false;
		*report = fReports.front();
		fReports.erase(fReports.begin());
		return true;
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fReports;
};

struct RunningApp {
	Playlist playlist;
	HostOptions options;
	SystemClock clock;
	std::atomic<MelodeckApp*> app{nullptr};
};

int32 run_app(void* data)
{
	RunningApp* running = static_cast<RunningApp*>(data);
	MelodeckApp* app = new MelodeckApp(running->playlist, &running->clock, running->options);
	running->app = app;
	app->Run();
	delete app;
	return 0;
}

}

TEST(PlayerTick, AnEntryEndIsNoticedWithinTheTickIntervalThoughTheTickWaitsLonger)
{
	RunningApp running;
	// longer than the second the tick waits while the end is far off
	for (const auto& [title, length] : {std::pair{"Short", 1300}, std::pair{"Long", 60000}}) {
		PlaylistEntry entry;
		entry.title = title;
		entry.filename = std::string("/music/") + title + ".mp3";
		entry.length = length;
		running.playlist.AddEntry(entry);
	}
	running.options.tickInterval = 50000;
	running.options.repeat = false;
	thread_id thread = spawn_thread(run_app, "player", B_NORMAL_PRIORITY, &running);
	resume_thread(thread);
	ASSERT_TRUE(testutil::wait_for([&] { return running.app.load() != nullptr; }));
	MelodeckApp* app = running.app;
	ASSERT_TRUE(app->WaitUntilReady(10000000));

	EntryRecorder* recorder = new EntryRecorder;
	recorder->Run();
	BMessage watch(kMelodeckStartWatching), reply;
	watch.AddMessenger("target", BMessenger(recorder));
	ASSERT_EQ(BMessenger(app).SendMessage(&watch, &reply), B_OK);

	BMessage report;
	ASSERT_TRUE(testutil::wait_for([&] { return recorder->Take(&report); }, 10000000));
	int32 index = -1, position = -1;
	report.FindInt32(MELODECK_FIELD_INDEX, &index);
	report.FindInt32(MELODECK_FIELD_POSITION, &position);
	EXPECT_EQ(index, 1);
	// how long after the end the change was seen: a tick interval, and
	// some room for a busy machine, not the second of a far-off end
	EXPECT_GE(position, 0);
	EXPECT_LT(position, 500);

	recorder->Lock();
	recorder->Quit();
	app->PostMessage(B_QUIT_REQUESTED);
	status_t result;
	wait_for_thread(thread, &result);
}
