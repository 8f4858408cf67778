// BMessenger and replies: synchronous sends, time-outs, the automatic
// B_NO_REPLY, self-sends, and validity; BMessageFilter.
#include <Handler.h>
#include <List.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "TestUtil.h"

#include <atomic>
#include <functional>
#include <thread>

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

TEST(Messenger, SynchronousSendGetsTheReply)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	looper->onMessage = [](BMessage* message) {
		if (message->what != 'ask?')
			return false;
		EXPECT_TRUE(message->IsSourceWaiting());
		EXPECT_FALSE(message->IsSourceRemote());
		BMessage reply('answ');
		reply.AddInt32("double", message->FindInt32("n") * 2);
		EXPECT_EQ(message->SendReply(&reply), B_OK);
		EXPECT_EQ(message->SendReply(&reply), B_DUPLICATE_REPLY);
		EXPECT_FALSE(message->IsSourceWaiting());
		return true;
	};
	looper->Run();
	BMessenger messenger(looper);
	EXPECT_TRUE(messenger.IsTargetLocal());
	EXPECT_EQ(messenger.Team(), current_team());

	BMessage question('ask?');
	question.AddInt32("n", 21);
	BMessage reply;
	ASSERT_EQ(messenger.SendMessage(&question, &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)'answ');
	EXPECT_EQ(reply.FindInt32("double"), 42);
	EXPECT_TRUE(reply.IsReply());
	ASSERT_NE(reply.Previous(), nullptr);
	EXPECT_EQ(reply.Previous()->what, (uint32)'ask?');
	EXPECT_EQ(reply.Previous()->FindInt32("n"), 21);

	// A question of nothing but its code is remembered as well, and stays
	// the same message however often it is asked for.
	BMessage bare('ask?');
	BMessage second;
	ASSERT_EQ(messenger.SendMessage(&bare, &second), B_OK);
	const BMessage* previous = second.Previous();
	ASSERT_NE(previous, nullptr);
	EXPECT_EQ(previous->what, (uint32)'ask?');
	EXPECT_TRUE(previous->IsEmpty());
	EXPECT_EQ(second.Previous(), previous);
	quit(looper);
}

// An answer to a return address that has gone away is refused as a bad
// reply, and can be given to one that is still there.
TEST(Messenger, AnsweringAReturnAddressThatIsGoneIsABadReply)
{
	Log log, askerLog;
	auto* looper = new RecordingLooper(&log);
	std::atomic<bool> answer{false};
	std::atomic<status_t> answered{1};
	looper->onMessage = [&](BMessage* message) {
		if (message->what != 'ask?')
			return false;
		testutil::wait_for([&] { return answer.load(); });
		answered = message->SendReply('answ');
		return true;
	};
	looper->Run();
	auto* asker = new RecordingLooper(&askerLog);
	asker->Run();
	BMessage question('ask?');
	ASSERT_EQ(BMessenger(looper).SendMessage(&question, BMessenger(asker)), B_OK);
	quit(asker);
	answer = true;
	ASSERT_TRUE(testutil::wait_for([&] { return answered.load() != 1; }));
	EXPECT_EQ(answered.load(), B_BAD_REPLY);

	// The same with a return address still there.
	Log stayingLog;
	auto* staying = new RecordingLooper(&stayingLog);
	staying->Run();
	answered = 1;
	ASSERT_EQ(BMessenger(looper).SendMessage(&question, BMessenger(staying)), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return stayingLog.Count('answ') == 1; }));
	EXPECT_EQ(answered.load(), B_OK);
	quit(staying);
	quit(looper);
}

TEST(Messenger, UnansweredMessagesProduceNoReplyAndTimeOuts)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	std::atomic<int32> released{0};
	looper->onMessage = [&](BMessage* message) {
		// A 'wait' holds the looper until the test releases it.
		if (message->what == 'wait') {
			int32 n = message->FindInt32("n");
			wait_for([&] { return released.load() >= n; });
		}
		return true;   // nothing answered
	};
	looper->Run();
	BMessenger messenger(looper);

	// The handler returns without answering: the sender hears B_NO_REPLY
	// when the message is deleted.
	BMessage reply;
	ASSERT_EQ(messenger.SendMessage('mute', &reply), B_OK);
	EXPECT_EQ(reply.what, (uint32)B_NO_REPLY);

	// A reply that does not come in time.
	BMessage wait('wait');
	wait.AddInt32("n", 1);
	EXPECT_EQ(messenger.SendMessage(&wait, &reply, B_INFINITE_TIMEOUT, 20000), B_TIMED_OUT);
	released = 1;

	// A message still queued when its looper goes is answered too: sent
	// while the test holds the looper's lock, it still waits when Quit()
	// is called.
	std::atomic<status_t> late{B_ERROR};
	std::atomic<uint32> lateWhat{0};
	ASSERT_TRUE(looper->Lock());
	std::thread sender([&] {
		BMessage r;
		late = messenger.SendMessage('last', &r);
		lateWhat = r.what;
	});
	ASSERT_TRUE(wait_for([&] { return looper->IsMessageWaiting(); }));
	// Quit handles the queued 'last' first, which frees the sender.
	looper->Quit();
	sender.join();
	EXPECT_EQ(late.load(), B_OK);
	EXPECT_EQ(lateWhat.load(), (uint32)B_NO_REPLY);
}

TEST(Messenger, SelfSendFailsInsteadOfDeadlocking)
{
	Log log;
	auto* looper = new RecordingLooper(&log);
	std::atomic<status_t> selfResult{B_OK};
	std::atomic<bool> done{false};
	looper->onMessage = [&, looper](BMessage* message) {
		if (message->what == 'self') {
			BMessage reply;
			selfResult = BMessenger(looper).SendMessage('echo', &reply);
			done = true;
		}
		return true;
	};
	looper->Run();
	looper->PostMessage('self');
	ASSERT_TRUE(wait_for([&] { return done.load(); }));
	EXPECT_EQ(selfResult.load(), B_WOULD_BLOCK);

	// The same for a thread that holds the target's lock.
	ASSERT_TRUE(looper->Lock());
	BMessage reply;
	EXPECT_EQ(BMessenger(looper).SendMessage('echo', &reply), B_WOULD_BLOCK);
	looper->Quit();
}

TEST(Messenger, ConstructionAndComparison)
{
	status_t status;
	BMessenger none((BHandler*)NULL, NULL, &status);
	EXPECT_EQ(status, B_BAD_VALUE);
	EXPECT_FALSE(none.IsValid());
	EXPECT_EQ(none.SendMessage('nope'), B_BAD_PORT_ID);

	Log log;
	RecordingHandler loose("loose", &log);
	BMessenger toLoose(&loose, NULL, &status);
	EXPECT_EQ(status, B_BAD_HANDLER);

	auto* a = new RecordingLooper(&log);
	auto* b = new RecordingLooper(&log);
	auto* handler = new RecordingHandler("h", &log);
	a->AddHandler(handler);
	BMessenger mismatch(handler, b, &status);
	EXPECT_EQ(status, B_MISMATCHED_VALUES);
	BMessenger toHandler(handler, a, &status);
	EXPECT_EQ(status, B_OK);
	BLooper* looper = NULL;
	EXPECT_EQ(toHandler.Target(&looper), handler);
	EXPECT_EQ(looper, a);
	BMessenger toA(NULL, a);
	EXPECT_EQ(toA.Target(&looper), nullptr);   // the preferred handler
	EXPECT_EQ(looper, a);

	BMessenger copy(toHandler);
	EXPECT_TRUE(copy == toHandler);
	EXPECT_TRUE(copy != toA);
	EXPECT_NE(toA < toHandler, toHandler < toA);
	EXPECT_FALSE(copy < toHandler);

	EXPECT_TRUE(toA.LockTarget());
	EXPECT_TRUE(a->IsLocked());
	a->Unlock();

	a->Unlock();   // the constructor's lock
	b->Unlock();
	ASSERT_TRUE(a->Lock());
	a->RemoveHandler(handler);
	a->Quit();
	delete handler;
	EXPECT_FALSE(toA.IsValid());
	EXPECT_FALSE(toA.LockTarget());
	quit(b);
}

// ---- Filters

namespace {

class SkipFilter : public BMessageFilter {
public:
	SkipFilter(uint32 what) : BMessageFilter(what) {}
	filter_result Filter(BMessage*, BHandler**) override
	{
		sawLooper = Looper();
		return B_SKIP_MESSAGE;
	}
	std::atomic<BLooper*> sawLooper{nullptr};
};

BHandler* gRetarget = NULL;

filter_result retarget(BMessage*, BHandler** target, BMessageFilter*)
{
	*target = gRetarget;
	return B_DISPATCH_MESSAGE;
}

}

TEST(MessageFilter, SkipRetargetAndCriteria)
{
	Log looperLog, handlerLog;
	auto* looper = new RecordingLooper(&looperLog);
	auto* handler = new RecordingHandler("target", &handlerLog);
	looper->AddHandler(handler);
	gRetarget = handler;

	auto* skip = new SkipFilter('skip');
	looper->AddCommonFilter(skip);
	looper->AddFilter(new BMessageFilter('move', retarget));
	// Only messages from other processes: nothing here matches.
	looper->AddCommonFilter(new BMessageFilter(B_ANY_DELIVERY, B_REMOTE_SOURCE,
		[](BMessage*, BHandler**, BMessageFilter*) { return B_SKIP_MESSAGE; }));
	EXPECT_EQ(looper->CommonFilterList()->CountItems(), 2);

	BMessageFilter byWhat('abcd');
	EXPECT_FALSE(byWhat.FiltersAnyCommand());
	EXPECT_EQ(byWhat.Command(), (uint32)'abcd');
	BMessageFilter any(B_PROGRAMMED_DELIVERY, B_LOCAL_SOURCE);
	EXPECT_TRUE(any.FiltersAnyCommand());
	EXPECT_EQ(any.MessageSource(), B_LOCAL_SOURCE);

	looper->Run();
	looper->PostMessage('skip');
	looper->PostMessage('move');
	looper->PostMessage('stay');
	ASSERT_TRUE(wait_for([&] { return looperLog.Count('stay') == 1; }));
	ASSERT_TRUE(wait_for([&] { return handlerLog.Count('move') == 1; }));
	EXPECT_EQ(looperLog.Count('skip'), 0u);
	EXPECT_EQ(looperLog.Count('move'), 0u);
	EXPECT_EQ(skip->sawLooper.load(), looper);

	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(looper->RemoveCommonFilter(skip));
	EXPECT_EQ(skip->Looper(), nullptr);
	looper->Unlock();
	delete skip;
	looper->PostMessage('skip');
	ASSERT_TRUE(wait_for([&] { return looperLog.Count('skip') == 1; }));

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(handler);
	looper->Quit();
	delete handler;
}

// ---- Locking a handler's looper: BHandler and BMessenger give one answer
// for the same situation.

namespace {

struct LockAnswers {
	status_t handler;
	status_t messenger;
};

// Both ways of locking `handler`'s looper, each from a thread of its own;
// `meanwhile` runs once both wait for `looper`, which the caller holds.
LockAnswers lock_while(BHandler* handler, BLooper* looper, const std::function<void()>& meanwhile)
{
	LockAnswers answers{B_ERROR, B_ERROR};
	BMessenger messenger(handler);
	std::thread byHandler([&] {
		answers.handler = handler->LockLooperWithTimeout(5000000);
		if (answers.handler == B_OK)
			handler->Looper()->Unlock();
	});
	std::thread byMessenger([&] {
		answers.messenger = messenger.LockTargetWithTimeout(5000000);
		if (answers.messenger == B_OK)
			handler->Looper()->Unlock();
	});
	EXPECT_TRUE(wait_for([&] { return looper->CountLockRequests() == 2; }));
	meanwhile();
	looper->Unlock();
	byHandler.join();
	byMessenger.join();
	return answers;
}

}

TEST(Messenger, LockingAHandlersLooperGivesTheHandlersAnswers)
{
	auto* a = new BLooper("a");
	auto* b = new BLooper("b");
	a->Run();
	b->Run();
	BHandler* handler = new BHandler("moving");

	// In no looper.
	EXPECT_EQ(handler->LockLooperWithTimeout(0), B_BAD_VALUE);
	EXPECT_EQ(BMessenger(handler).LockTargetWithTimeout(0), B_BAD_VALUE);

	// Held by another thread: a zero wait would block, a short one times out.
	ASSERT_TRUE(a->Lock());
	a->AddHandler(handler);
	std::thread other([&] {
		EXPECT_EQ(handler->LockLooperWithTimeout(0), B_WOULD_BLOCK);
		EXPECT_EQ(BMessenger(handler).LockTargetWithTimeout(0), B_WOULD_BLOCK);
		EXPECT_EQ(handler->LockLooperWithTimeout(1000), B_TIMED_OUT);
		EXPECT_EQ(BMessenger(handler).LockTargetWithTimeout(1000), B_TIMED_OUT);
	});
	other.join();

	// Moved to another looper while they waited.
	LockAnswers moved = lock_while(handler, a, [&] {
		a->RemoveHandler(handler);
		ASSERT_TRUE(b->Lock());
		b->AddHandler(handler);
		b->Unlock();
	});
	EXPECT_EQ(moved.handler, B_MISMATCHED_VALUES);
	EXPECT_EQ(moved.messenger, B_MISMATCHED_VALUES);

	// Taken out of every looper while they waited.
	ASSERT_TRUE(b->Lock());
	LockAnswers removed = lock_while(handler, b, [&] { b->RemoveHandler(handler); });
	EXPECT_EQ(removed.handler, B_BAD_VALUE);
	EXPECT_EQ(removed.messenger, B_BAD_VALUE);

	delete handler;
	quit(a);
	quit(b);
}
