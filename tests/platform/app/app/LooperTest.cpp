// BLooper: ordering, locking, quitting, queue limits, handlers.
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <MessageQueue.h>
#include <Messenger.h>
#include <OS.h>

#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "TestUtil.h"
#include "support/Misuse.h"

#include <atomic>
#include <thread>

using apptest::Log;
using apptest::RecordingHandler;
using apptest::RecordingLooper;
using testutil::wait_for;

namespace {

BMessage numbered(uint32 what, int32 n)
{
	BMessage message(what);
	message.AddInt32("n", n);
	return message;
}

// Quits a looper that the test still holds, from the test's thread.
void quit(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

}

TEST(Looper, DeliversInOrderOnItsOwnLockedThread)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	// The constructor leaves the looper locked by its maker.
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(looper->CountLocks(), 1);
	EXPECT_EQ(looper->CountHandlers(), 1);
	EXPECT_EQ(looper->HandlerAt(0), looper);

	std::atomic<thread_id> dispatchThread{-1};
	looper->onMessage = [&](BMessage*) {
		dispatchThread = find_thread(NULL);
		return true;
	};
	// Messages posted before Run wait for it.
	for (int32 i = 0; i < 50; i++) {
		BMessage message = numbered('ordr', i);
		ASSERT_EQ(looper->PostMessage(&message), B_OK);
		// The posted message was copied: changing ours changes nothing.
		message.ReplaceInt32("n", -1);
	}
	thread_id thread = looper->Run();
	ASSERT_GT(thread, 0);
	EXPECT_EQ(looper->Thread(), thread);
	EXPECT_FALSE(looper->IsLocked());

	ASSERT_TRUE(wait_for([&] { return log.Count() == 50; }));
	std::vector<int32> numbers = log.Numbers();
	for (int32 i = 0; i < 50; i++)
		EXPECT_EQ(numbers[(size_t)i], i);
	EXPECT_EQ(dispatchThread.load(), thread);
	EXPECT_TRUE(looper->lockedInDispatch);
	EXPECT_EQ(BLooper::LooperForThread(thread), looper);
	thread_info info;
	EXPECT_EQ(get_thread_info(thread, &info), B_OK);
	quit(looper);
}

TEST(Looper, LocksNestPerThreadAndTimeOut)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->Run();

	ASSERT_TRUE(looper->Lock());
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(looper->CountLocks(), 2);
	EXPECT_EQ(looper->LockingThread(), find_thread(NULL));

	std::atomic<status_t> otherResult{B_OK};
	std::atomic<bool> otherLocked{false};
	std::thread other([&] {
		otherResult = looper->LockWithTimeout(20000);
		if (looper->Lock()) {       // waits until the test lets go
			otherLocked = true;
			EXPECT_FALSE(looper->LockWithTimeout(0) != B_OK);
			looper->Unlock();
			looper->Unlock();
		}
	});
	ASSERT_TRUE(wait_for([&] { return otherResult.load() != B_OK; }));
	EXPECT_EQ(otherResult.load(), B_TIMED_OUT);
	looper->Unlock();
	EXPECT_TRUE(looper->IsLocked());     // one lock left
	EXPECT_FALSE(otherLocked);
	looper->Unlock();
	other.join();
	EXPECT_TRUE(otherLocked);
	EXPECT_FALSE(looper->IsLocked());
	quit(looper);
}

TEST(Looper, QuitFromAnotherThreadHandlesQueuedMessagesThenDeletes)
{
	Log log;
	std::atomic<bool> deleted{false};
	auto* looper = new RecordingLooper(&log, &deleted);
	std::atomic<bool> release{false};
	looper->onMessage = [&](BMessage* message) {
		if (message->what == 'slow')
			wait_for([&] { return release.load(); });
		return true;
	};
	thread_id thread = looper->Run();
	looper->PostMessage('slow');
	ASSERT_TRUE(wait_for([&] { return log.Count('slow') == 1; }));
	// Another thread waits for the lock until the message is done with.
	EXPECT_NE(looper->LockWithTimeout(0), B_OK);
	release = true;
	ASSERT_TRUE(looper->Lock());
	// Posted while we hold the lock: still queued when Quit() is called.
	for (int32 i = 0; i < 5; i++) {
		BMessage message = numbered('late', i);
		looper->PostMessage(&message);
	}
	BMessenger messenger(looper);
	EXPECT_TRUE(messenger.IsValid());
	looper->Quit();     // returns once the looper's thread has ended
	EXPECT_TRUE(deleted);
	EXPECT_EQ(log.Count('late'), 5u);
	EXPECT_EQ(BLooper::LooperForThread(thread), nullptr);
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(messenger.SendMessage('gone'), B_BAD_PORT_ID);
}

TEST(Looper, QuitRequestedDecides)
{
	Log log;
	std::atomic<bool> deleted{false};
	auto* looper = new RecordingLooper(&log, &deleted);
	looper->allowQuit = false;
	looper->Run();
	BMessenger messenger(looper);

	BMessage reply;
	ASSERT_EQ(messenger.SendMessage(B_QUIT_REQUESTED, &reply), B_OK);
	EXPECT_FALSE(reply.FindBool("result"));
	EXPECT_FALSE(deleted);

	looper->allowQuit = true;
	ASSERT_EQ(messenger.SendMessage(B_QUIT_REQUESTED), B_OK);
	EXPECT_TRUE(wait_for([&] { return deleted.load(); }));
	EXPECT_TRUE(wait_for([&] { return !messenger.IsValid(); }));
}

TEST(Looper, QuitWithoutRunDeletesAtOnceAndNeedsTheLock)
{
	Log log;
	std::atomic<bool> deleted{false};
	auto* looper = new RecordingLooper(&log, &deleted);
	looper->Unlock();
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH(looper->Quit(), "BLooper::Quit: the looper \"recording looper\" must be locked");
	// With the checks off, the call is refused.
	BPrivate::set_misuse_checks(false);
	looper->Quit();
	BPrivate::set_misuse_checks(true);
	EXPECT_FALSE(deleted);
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_TRUE(deleted);
}

TEST(Looper, FullQueueBlocksPostersButNeverItsOwnThread)
{
	Log log;
	auto* looper = new RecordingLooper(&log, nullptr, 3);
	std::atomic<bool> release{false};
	std::atomic<status_t> selfPost{B_OK};
	looper->onMessage = [&, looper](BMessage* message) {
		if (message->what == 'hold') {
			wait_for([&] { return release.load(); });
			// Our own queue is full: waiting for room would never end.
			for (int i = 0; i < 10 && selfPost.load() == B_OK; i++)
				selfPost = looper->PostMessage('self');
		}
		return true;
	};
	looper->Run();
	ASSERT_EQ(looper->PostMessage('hold'), B_OK);
	ASSERT_TRUE(wait_for([&] { return log.Count('hold') == 1; }));
	for (int i = 0; i < 3; i++)
		ASSERT_EQ(looper->PostMessage('fill'), B_OK);

	BMessenger messenger(looper);
	BMessage extra('more');
	EXPECT_EQ(messenger.SendMessage(&extra, (BHandler*)NULL, 10000), B_TIMED_OUT);
	std::atomic<bool> posted{false};
	std::atomic<pid_t> posterTid{0};
	std::thread poster([&] {
		posterTid = testutil::current_tid();
		EXPECT_EQ(looper->PostMessage('more'), B_OK);    // blocks until there is room
		posted = true;
	});
	// Either it blocks (waiting for room) or, wrongly, it gets through.
	ASSERT_TRUE(wait_for([&] {
		return posted || (posterTid != 0 && testutil::is_blocked(posterTid));
	}));
	EXPECT_FALSE(posted);
	release = true;
	poster.join();
	EXPECT_EQ(selfPost.load(), B_WOULD_BLOCK);
	EXPECT_TRUE(wait_for([&] { return log.Count('more') == 1; }));
	EXPECT_EQ(log.Count('fill'), 3u);
	quit(looper);
}

TEST(Looper, HandlerChainsAndPreferredHandler)
{
	Log looperLog, firstLog, secondLog;
	auto* looper = new RecordingLooper(&looperLog);
	auto* first = new RecordingHandler("first", &firstLog, 'one_');
	auto* second = new RecordingHandler("second", &secondLog, 'two_');
	looper->AddHandler(first);
	looper->AddHandler(second);
	first->SetNextHandler(second);
	EXPECT_EQ(looper->CountHandlers(), 3);
	EXPECT_EQ(looper->IndexOf(second), 2);
	EXPECT_EQ(first->Looper(), looper);
	looper->SetPreferredHandler(first);
	looper->Run();

	// Unknown to the first handler: passed on to the next.
	looper->PostMessage('two_', first);
	looper->PostMessage('one_');            // to the preferred handler
	ASSERT_TRUE(wait_for([&] {
		return firstLog.Count('one_') == 1 && secondLog.Count('two_') == 1;
	}));
	// At the end of the chain a waiting sender is told nobody understood.
	BMessage reply;
	ASSERT_EQ(BMessenger(first).SendMessage('huh?', &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_MESSAGE_NOT_UNDERSTOOD);
	EXPECT_TRUE(reply.IsReply());

	// A handler of another looper is refused.
	Log otherLog;
	RecordingHandler stranger("stranger", &otherLog);
	EXPECT_EQ(looper->PostMessage('one_', &stranger), B_MISMATCHED_VALUES);

	// A deleted handler takes its messengers' validity with it.
	BMessenger toSecond(second);
	EXPECT_TRUE(toSecond.IsValid());
	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(looper->RemoveHandler(second));
	EXPECT_EQ(first->NextHandler(), nullptr);
	looper->Unlock();
	EXPECT_FALSE(toSecond.IsValid());
	delete second;
	EXPECT_EQ(toSecond.SendMessage('two_'), B_BAD_PORT_ID);

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(first);
	EXPECT_EQ(looper->PreferredHandler(), nullptr);
	looper->Quit();
	delete first;
}

// A message queued for a handler that leaves the looper before it is
// dispatched goes nowhere, even right after others reached that handler.
TEST(Looper, AHandlerThatLeftGetsNoMessageQueuedBefore)
{
	Log looperLog, log;
	auto* looper = new RecordingLooper(&looperLog);
	RecordingHandler handler("leaving", &log, 'two_');
	looper->AddHandler(&handler);
	looper->Run();
	BMessenger toHandler(&handler);
	ASSERT_EQ(toHandler.SendMessage('two_'), B_OK);
	ASSERT_TRUE(wait_for([&] { return log.Count('two_') == 1; }));

	ASSERT_TRUE(looper->Lock());
	ASSERT_EQ(toHandler.SendMessage('two_'), B_OK);   // waits behind the lock
	looper->RemoveHandler(&handler);
	looper->Unlock();
	ASSERT_EQ(BMessenger(looper).SendMessage('mark'), B_OK);
	ASSERT_TRUE(wait_for([&] { return looperLog.Count('mark') == 1; }));
	EXPECT_EQ(log.Count('two_'), 1u);
	quit(looper);
}

TEST(Looper, CurrentMessageAndDetach)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	std::atomic<BMessage*> detached{nullptr};
	std::atomic<bool> sawCurrent{false};
	looper->onMessage = [&](BMessage* message) {
		sawCurrent = looper->CurrentMessage() == message;
		detached = looper->DetachCurrentMessage();
		return true;
	};
	looper->Run();
	BMessage message = numbered('keep', 9);
	looper->PostMessage(&message);
	ASSERT_TRUE(wait_for([&] { return detached.load() != nullptr; }));
	EXPECT_TRUE(sawCurrent);
	// Ours to delete now, and still whole.
	EXPECT_EQ(detached.load()->FindInt32("n"), 9);
	quit(looper);
	delete detached.load();
}

TEST(MessageQueue, FindsAndRemoves)
{
	BMessageQueue queue;
	auto* a = new BMessage('aaaa');
	auto* b = new BMessage('bbbb');
	auto* c = new BMessage('aaaa');
	queue.AddMessage(a);
	queue.AddMessage(b);
	queue.AddMessage(c);
	EXPECT_EQ(queue.CountMessages(), 3);
	EXPECT_EQ(queue.FindMessage((int32)1), b);
	EXPECT_EQ(queue.FindMessage('aaaa', 1), c);
	EXPECT_EQ(queue.FindMessage('cccc', 0), nullptr);
	EXPECT_TRUE(queue.RemoveMessage(b));
	EXPECT_FALSE(queue.RemoveMessage(b));
	delete b;
	EXPECT_EQ(queue.NextMessage(), a);
	delete a;
	EXPECT_TRUE(queue.Lock());
	EXPECT_TRUE(queue.IsLocked());
	queue.Unlock();
	EXPECT_FALSE(queue.IsLocked());
	// `c` is deleted with the queue.
}
