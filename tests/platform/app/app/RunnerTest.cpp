// BMessageRunner: timing of the first message, counts, changes, bad input.
#include <Application.h>
#include <Looper.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "TestUtil.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

using apptest::Log;
using apptest::RecordingHandler;
using apptest::RecordingLooper;
using testutil::wait_for;

namespace {

void quit(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

}

TEST(MessageRunner, FirstMessageAfterOneIntervalThenCountThenStops)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	std::atomic<bigtime_t> firstArrival{0};
	looper->onMessage = [&](BMessage*) {
		bigtime_t none = 0;
		firstArrival.compare_exchange_strong(none, system_time());
		return true;
	};
	looper->Run();

	BMessage tick('tick');
	bigtime_t start = system_time();
	BMessageRunner runner(BMessenger(looper), &tick, 50000, 3);
	ASSERT_EQ(runner.InitCheck(), B_OK);
	// The runner keeps its own copy.
	tick.what = 'chgd';
	bigtime_t interval = 0;
	int32 count = 0;
	ASSERT_EQ(runner.GetInfo(&interval, &count), B_OK);
	EXPECT_EQ(interval, 50000);

	ASSERT_TRUE(wait_for([&] { return log.Count('tick') == 3; }));
	EXPECT_GE(firstArrival.load() - start, 50000);
	// Every message sent: the runner is done.
	ASSERT_TRUE(wait_for([&] { return runner.GetInfo(&interval, &count) == B_BAD_VALUE; }));
	BMessage reply;
	ASSERT_EQ(BMessenger(looper).SendMessage('sync', &reply), B_OK);
	EXPECT_EQ(log.Count('tick'), 3u);
	EXPECT_EQ(log.Count('chgd'), 0u);
	quit(looper);
}

TEST(MessageRunner, SetIntervalAndSetCount)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->Run();
	BMessage tick('tick');
	BMessageRunner runner(BMessenger(looper), &tick, 60 * 1000000LL);
	bigtime_t interval;
	int32 count;
	ASSERT_EQ(runner.GetInfo(&interval, &count), B_OK);
	EXPECT_EQ(count, -1);

	// A shorter interval takes effect at once, not after the old one.
	ASSERT_EQ(runner.SetInterval(10000), B_OK);
	ASSERT_TRUE(wait_for([&] { return log.Count('tick') >= 2; }));
	ASSERT_EQ(runner.SetCount(2), B_OK);
	ASSERT_TRUE(wait_for([&] { return runner.GetInfo(&interval, &count) == B_BAD_VALUE; }));
	// The last tick may still wait in the queue: let it through first.
	BMessage reply;
	ASSERT_EQ(BMessenger(looper).SendMessage('sync', &reply), B_OK);
	size_t total = log.Count('tick');
	EXPECT_GE(total, 4u);
	EXPECT_EQ(runner.SetCount(5), B_BAD_VALUE);
	EXPECT_EQ(runner.SetInterval(0), B_BAD_VALUE);
	quit(looper);
}

// A runner of a long interval rides on a wake-up its looper has anyway:
// once due, it goes out with the next message the looper takes, and the
// looper wakes for it alone only when its leeway (a tenth of the interval)
// has run out. It is never early.
TEST(MessageRunner, ALongIntervalGoesOutWithTheLoopersNextWakeUp)
{
	const bigtime_t kInterval = 300000;
	const bigtime_t kLeeway = kInterval / 10;
	struct Arrival {
		uint32 what;
		bigtime_t when;
	};
	std::mutex lock;
	std::vector<Arrival> arrivals;
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->onMessage = [&](BMessage* message) {
		std::lock_guard<std::mutex> guard(lock);
		arrivals.push_back({message->what, system_time()});
		return true;
	};
	looper->Run();

	bool rode = false;
	for (int attempt = 0; attempt < 5 && !rode; attempt++) {
		{
			std::lock_guard<std::mutex> guard(lock);
			arrivals.clear();
		}
		BMessage tick('tick');
		const bigtime_t start = system_time();
		BMessageRunner runner(BMessenger(looper), &tick, kInterval, 1);
		ASSERT_EQ(runner.InitCheck(), B_OK);
		// a little after the runner is due, well within its leeway
		snooze_until(system_time() + kInterval + kLeeway / 4, B_SYSTEM_TIMEBASE);
		looper->PostMessage('poke');
		ASSERT_TRUE(wait_for([&] {
			std::lock_guard<std::mutex> guard(lock);
			return arrivals.size() == 2;
		}));
		std::lock_guard<std::mutex> guard(lock);
		const Arrival& first = arrivals[0];
		const Arrival& second = arrivals[1];
		const Arrival& tickArrival = first.what == 'tick' ? first : second;
		EXPECT_GE(tickArrival.when - start, kInterval);
		if (first.what == 'tick') {
			// the poke came too late (a busy machine): the looper woke for
			// the runner alone, but only once its leeway was over
			EXPECT_GE(first.when - start, kInterval + kLeeway);
			continue;
		}
		// taken from the queue together with the poke
		EXPECT_EQ(second.what, (uint32)'tick');
		rode = true;
	}
	EXPECT_TRUE(rode);
	quit(looper);
}

// Another thread that puts a runner's next message off does not wake the
// looper: it would only go back to sleep (it wakes at its old time at the
// latest and looks again then).
TEST(MessageRunner, ALaterTimeSetFromAnotherThreadLetsTheLooperSleep)
{
	auto* looper = new BLooper("runner sleeper");
	looper->Run();
	BMessage tick('tick');
	BMessageRunner runner(BMessenger(looper), &tick, 10 * 1000000LL);
	ASSERT_EQ(runner.InitCheck(), B_OK);
	BMessenger(looper).SendMessage('sync', (BHandler*)NULL);
	ASSERT_TRUE(wait_for([&] { return looper->CountLocks() == 0 && !looper->IsMessageWaiting(); }));
	const long long before = testutil::thread_switches("runner sleeper");
	ASSERT_GE(before, 0);
	long long seen = before;
	for (int i = 0; i < 5; i++) {
		ASSERT_EQ(runner.SetInterval(20 * 1000000LL + i), B_OK);
		// a looper that was woken goes back to sleep soon
		wait_for([&] { return (seen = testutil::thread_switches("runner sleeper")) > before + 1; },
			50000);
	}
	EXPECT_LE(seen - before, 1);
	// a message still wakes it
	BMessage reply;
	ASSERT_EQ(BMessenger(looper).SendMessage('sync', &reply), B_OK);
	quit(looper);
}

TEST(MessageRunner, RefusesBadArgumentsAndStopsWhenDeleted)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->Run();
	BMessenger target(looper);
	BMessage tick('tick');
	EXPECT_EQ(BMessageRunner(target, NULL, 1000).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BMessageRunner(target, &tick, 0).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BMessageRunner(target, &tick, 1000, 0).InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BMessageRunner(BMessenger(), &tick, 1000).InitCheck(), B_BAD_VALUE);

	auto* runner = new BMessageRunner(target, &tick, 5000);
	ASSERT_TRUE(wait_for([&] { return log.Count('tick') >= 1; }));
	delete runner;
	// Nothing is sent once the destructor has returned: after draining what
	// was queued before, a few intervals (counted by a second runner of the
	// same interval and target) bring nothing new.
	BMessage reply;
	ASSERT_EQ(target.SendMessage('sync', &reply), B_OK);
	size_t afterDelete = log.Count('tick');
	BMessage tock('tock');
	auto* marker = new BMessageRunner(target, &tock, 5000);
	ASSERT_TRUE(wait_for([&] { return log.Count('tock') >= 4; }));
	delete marker;
	ASSERT_EQ(target.SendMessage('sync', &reply), B_OK);
	EXPECT_EQ(log.Count('tick'), afterDelete);
	quit(looper);
}

namespace {

// The names of this process's threads.
std::vector<std::string> thread_names()
{
	std::vector<std::string> names;
	for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
		std::ifstream comm(task.path() / "comm");
		std::string name;
		if (std::getline(comm, name))
			names.push_back(name);
	}
	return names;
}

}

TEST(MessageRunner, LocalTargetNeedsNoTimerThreadAndRepliesGoWhereAsked)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	std::mutex lock;
	std::vector<BMessenger> returnAddresses;
	looper->onMessage = [&](BMessage* message) {
		std::lock_guard<std::mutex> guard(lock);
		returnAddresses.push_back(message->ReturnAddress());
		return true;
	};
	looper->Run();
	auto* replies = new RecordingLooper(&log);
	replies->Run();

	BMessage tick('tick');
	{
		BMessageRunner toApp(BMessenger(looper), &tick, 5000, 1);
		BMessageRunner toReplies(BMessenger(looper), &tick, 5000, 1, BMessenger(replies));
		ASSERT_TRUE(wait_for([&] { return log.Count('tick') == 2; }));
	}
	{
		std::lock_guard<std::mutex> guard(lock);
		ASSERT_EQ(returnAddresses.size(), 2u);
		// without a reply target, replies go to the application
		const BMessenger app = be_app_messenger;
		EXPECT_TRUE(std::count(returnAddresses.begin(), returnAddresses.end(), app) == 1);
		EXPECT_TRUE(std::count(returnAddresses.begin(), returnAddresses.end(),
			BMessenger(replies)) == 1);
	}
	// the target's own wait carried both runners
	const auto names = thread_names();
	EXPECT_EQ(std::count(names.begin(), names.end(), "message runners"), 0);
	quit(replies);
	quit(looper);
}

TEST(MessageRunner, EndsWithItsTargetAndFollowsAHandlerToAnotherLooper)
{
	// A looper that quits ends the runner; deleting it later is safe.
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->Run();
	BMessage tick('tick');
	auto* runner = new BMessageRunner(BMessenger(looper), &tick, 5000);
	ASSERT_TRUE(wait_for([&] { return log.Count('tick') >= 1; }));
	quit(looper);
	bigtime_t interval;
	int32 count;
	EXPECT_EQ(runner->GetInfo(&interval, &count), B_BAD_VALUE);
	EXPECT_EQ(runner->SetInterval(1000), B_BAD_VALUE);
	delete runner;

	// A handler that moves to another looper gets its messages there;
	// one that leaves every looper ends its runner.
	Log first, second;
	auto* from = new RecordingLooper(&first);
	auto* to = new RecordingLooper(&second);
	from->Run();
	to->Run();
	RecordingHandler handler("moving", &second, 'tick');
	ASSERT_TRUE(from->Lock());
	from->AddHandler(&handler);
	from->Unlock();
	BMessageRunner moving(BMessenger(&handler), &tick, 5000);
	ASSERT_TRUE(wait_for([&] { return second.Count('tick') >= 1; }));
	ASSERT_TRUE(from->Lock());
	from->RemoveHandler(&handler);
	from->Unlock();
	ASSERT_TRUE(to->Lock());
	to->AddHandler(&handler);
	to->Unlock();
	const size_t before = second.Count('tick');
	ASSERT_TRUE(wait_for([&] { return second.Count('tick') >= before + 2; }));
	ASSERT_TRUE(to->Lock());
	to->RemoveHandler(&handler);
	to->Unlock();
	EXPECT_TRUE(wait_for([&] { return moving.GetInfo(&interval, &count) == B_BAD_VALUE; }));
	quit(to);
	quit(from);
}
