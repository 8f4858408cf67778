#include <gtest/gtest.h>

#include <OS.h>

#include "TestUtil.h"
#include "kernel/ThreadTable.h"

#include <atomic>
#include <string>
#include <thread>

using testutil::wait_for;

namespace {

thread_state state_of(thread_id thread)
{
	thread_info info;
	if (get_thread_info(thread, &info) != B_OK)
		return (thread_state)0;
	return info.state;
}

int32 return_data(void* data)
{
	return (int32)(intptr_t)data;
}

int32 count_and_return(void* data)
{
	static_cast<std::atomic<int>*>(data)->fetch_add(1);
	return 7;
}

}

TEST(Thread, SpawnedSuspendedRunsOnlyAfterResume)
{
	std::atomic<int> runs{0};
	thread_id thread = spawn_thread(count_and_return, "kernel test worker", B_LOW_PRIORITY, &runs);
	ASSERT_GT(thread, 0);

	thread_info info;
	ASSERT_EQ(get_thread_info(thread, &info), B_OK);
	EXPECT_EQ(info.state, B_THREAD_SUSPENDED);
	EXPECT_STREQ(info.name, "kernel test worker");
	EXPECT_EQ(info.priority, B_LOW_PRIORITY);
	EXPECT_EQ(info.team, current_team());
	EXPECT_EQ(runs.load(), 0);

	EXPECT_EQ(resume_thread(thread), B_OK);
	status_t result = -1;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, 7);
	EXPECT_EQ(runs.load(), 1);

	// Gone once waited for; its id is not handed out again.
	EXPECT_EQ(wait_for_thread(thread, &result), B_BAD_THREAD_ID);
	EXPECT_EQ(get_thread_info(thread, &info), B_BAD_THREAD_ID);
	EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_ID);
	thread_id next = spawn_thread(return_data, "next", B_NORMAL_PRIORITY, nullptr);
	EXPECT_GT(next, thread);
	EXPECT_EQ(wait_for_thread(next, &result), B_OK);
}

TEST(Thread, WaitForThreadStartsANewThreadAndReportsItsResult)
{
	thread_id thread = spawn_thread(return_data, "waited", B_NORMAL_PRIORITY, (void*)(intptr_t)-42);
	status_t result = 0;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, -42);
	EXPECT_EQ(wait_for_thread(-5, &result), B_BAD_THREAD_ID);
	EXPECT_EQ(wait_for_thread(find_thread(nullptr), &result), B_NOT_ALLOWED);
}

TEST(Thread, ResumeOfARunningThreadIsABadState)
{
	sem_id gate = create_sem(0, "gate");
	thread_id thread = spawn_thread([](void* data) -> int32 {
		return acquire_sem((sem_id)(intptr_t)data);
	}, "gated", B_NORMAL_PRIORITY, (void*)(intptr_t)gate);
	ASSERT_EQ(resume_thread(thread), B_OK);
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_WAITING; }));
	thread_info info;
	ASSERT_EQ(get_thread_info(thread, &info), B_OK);
	EXPECT_EQ(info.sem, gate);
	EXPECT_EQ(resume_thread(thread), B_BAD_THREAD_STATE);
	release_sem(gate);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_OK);
	delete_sem(gate);
}

TEST(Thread, FindThreadByNameAndForThreadsNotSpawnedHere)
{
	const thread_id self = find_thread(nullptr);
	EXPECT_GT(self, 0);
	EXPECT_EQ(find_thread(nullptr), self);

	// A thread of another library gets its own id on first use.
	thread_id other = -1;
	std::thread([&] { other = find_thread(nullptr); }).join();
	EXPECT_GT(other, 0);
	EXPECT_NE(other, self);

	thread_id thread = spawn_thread(return_data, "findable by name", B_NORMAL_PRIORITY, nullptr);
	EXPECT_EQ(find_thread("findable by name"), thread);
	EXPECT_EQ(rename_thread(thread, "renamed thread"), B_OK);
	EXPECT_EQ(find_thread("findable by name"), B_NAME_NOT_FOUND);
	EXPECT_EQ(find_thread("renamed thread"), thread);
	EXPECT_EQ(set_thread_priority(thread, B_LOW_PRIORITY), B_NORMAL_PRIORITY);
	EXPECT_EQ(set_thread_priority(thread, B_NORMAL_PRIORITY), B_LOW_PRIORITY);
	status_t result;
	wait_for_thread(thread, &result);
	EXPECT_EQ(find_thread("renamed thread"), B_NAME_NOT_FOUND);
	EXPECT_EQ(rename_thread(thread, "x"), B_BAD_THREAD_ID);
}

TEST(Thread, StatesFollowWhatTheThreadWaitsFor)
{
	struct Shared {
		sem_id step;
		port_id port;
	} shared{create_sem(0, "step"), create_port(1, nullptr)};
	thread_id thread = spawn_thread([](void* data) -> int32 {
		Shared* shared = static_cast<Shared*>(data);
		acquire_sem(shared->step);
		snooze(B_INFINITE_TIMEOUT / 2);  // ends when the test kills it
		return 0;
	}, "stateful", B_NORMAL_PRIORITY, &shared);
	resume_thread(thread);
	EXPECT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_WAITING; }));
	release_sem(shared.step);
	EXPECT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_ASLEEP; }));
	EXPECT_EQ(kill_thread(thread), B_OK);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_INTERRUPTED);
	delete_sem(shared.step);
	delete_port(shared.port);
}

namespace {

struct KillProbe {
	std::atomic<bool> destroyed{false};
	std::atomic<bool> returned{false};
	sem_id sem = -1;
	port_id port = -1;
};

struct Sentinel {
	KillProbe* probe;
	~Sentinel() { probe->destroyed = true; }
};

}

TEST(Thread, KillWakesAThreadBlockedInAKernelCallAndRunsDestructors)
{
	using Body = int32 (*)(void*);
	const Body bodies[] = {
		[](void* data) -> int32 {
			KillProbe* probe = static_cast<KillProbe*>(data);
			Sentinel sentinel{probe};
			acquire_sem(probe->sem);
			probe->returned = true;
			return 0;
		},
		[](void* data) -> int32 {
			KillProbe* probe = static_cast<KillProbe*>(data);
			Sentinel sentinel{probe};
			char buffer[8];
			int32 code;
			read_port(probe->port, &code, buffer, sizeof(buffer));
			probe->returned = true;
			return 0;
		},
		[](void* data) -> int32 {
			KillProbe* probe = static_cast<KillProbe*>(data);
			Sentinel sentinel{probe};
			thread_id sender;
			receive_data(&sender, nullptr, 0);
			probe->returned = true;
			return 0;
		},
	};
	for (Body body : bodies) {
		KillProbe probe;
		probe.sem = create_sem(0, "never released");
		probe.port = create_port(1, nullptr);
		thread_id thread = spawn_thread(body, "victim", B_NORMAL_PRIORITY, &probe);
		resume_thread(thread);
		ASSERT_TRUE(wait_for([&] {
			thread_state state = state_of(thread);
			return state == B_THREAD_WAITING || state == B_THREAD_RECEIVING;
		}));
		EXPECT_EQ(kill_thread(thread), B_OK);
		status_t result;
		EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
		EXPECT_TRUE(probe.destroyed);
		EXPECT_FALSE(probe.returned);
		// The semaphore and port are intact after the killed waiter left.
		int32 count = -1;
		EXPECT_EQ(get_sem_count(probe.sem, &count), B_OK);
		EXPECT_EQ(count, 0);
		delete_sem(probe.sem);
		delete_port(probe.port);
	}
	EXPECT_EQ(kill_thread(-3), B_BAD_THREAD_ID);
}

TEST(Thread, DestructorsOfAKilledThreadMayStillMakeBlockingCalls)
{
	struct Shared {
		sem_id available;
		sem_id never;
		std::atomic<status_t> cleanupResult{1};
	} shared{create_sem(1, "available"), create_sem(0, "never")};

	thread_id thread = spawn_thread([](void* data) -> int32 {
		struct Cleanup {
			Shared* shared;
			~Cleanup()
			{
				// Unwinding after the kill: blocking calls work as usual.
				snooze(100);
				status_t result = acquire_sem_etc(shared->available, 1, B_RELATIVE_TIMEOUT, 1000000);
				if (result == B_OK)
					release_sem(shared->available);
				shared->cleanupResult = result;
			}
		} cleanup{static_cast<Shared*>(data)};
		acquire_sem(cleanup.shared->never);
		return 0;
	}, "unwinding", B_NORMAL_PRIORITY, &shared);
	resume_thread(thread);
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_WAITING; }));
	EXPECT_EQ(kill_thread(thread), B_OK);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_INTERRUPTED);
	EXPECT_EQ(shared.cleanupResult.load(), B_OK);
	delete_sem(shared.available);
	delete_sem(shared.never);
}

TEST(Thread, KilledBeforeItStartsNeverRuns)
{
	std::atomic<int> runs{0};
	thread_id thread = spawn_thread(count_and_return, "never", B_NORMAL_PRIORITY, &runs);
	EXPECT_EQ(kill_thread(thread), B_OK);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(runs.load(), 0);
}

TEST(Thread, KillOfABusyThreadTakesEffectAtItsNextBlockingCall)
{
	struct Busy {
		std::atomic<bool> spinning{false};
		std::atomic<bool> release{false};
		std::atomic<bool> pastSnooze{false};
	} busy;
	thread_id thread = spawn_thread([](void* data) -> int32 {
		Busy* busy = static_cast<Busy*>(data);
		busy->spinning = true;
		while (!busy->release)
			std::this_thread::yield();
		snooze(1000);
		busy->pastSnooze = true;
		return 0;
	}, "busy", B_NORMAL_PRIORITY, &busy);
	resume_thread(thread);
	ASSERT_TRUE(wait_for([&] { return busy.spinning.load(); }));
	EXPECT_EQ(kill_thread(thread), B_OK);
	busy.release = true;
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_FALSE(busy.pastSnooze);
	EXPECT_EQ(result, B_INTERRUPTED);
}

TEST(Thread, ThreadsNotSpawnedHereCannotBeKilled)
{
	EXPECT_EQ(kill_thread(find_thread(nullptr)), B_NOT_ALLOWED);
}

TEST(Thread, SuspendTakesEffectAtTheNextBlockingCallAndResumeContinues)
{
	struct Steps {
		std::atomic<bool> go{false};
		std::atomic<int> done{0};
	} steps;
	thread_id thread = spawn_thread([](void* data) -> int32 {
		Steps* steps = static_cast<Steps*>(data);
		while (!steps->go)
			std::this_thread::yield();
		snooze(10);
		steps->done = 1;
		// Suspending itself: sleeps until resumed.
		suspend_thread(find_thread(nullptr));
		steps->done = 2;
		return 0;
	}, "suspendable", B_NORMAL_PRIORITY, &steps);
	resume_thread(thread);
	EXPECT_EQ(suspend_thread(thread), B_OK);
	steps.go = true;
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_SUSPENDED; }));
	EXPECT_EQ(steps.done.load(), 0);
	EXPECT_EQ(resume_thread(thread), B_OK);
	ASSERT_TRUE(wait_for([&] { return steps.done == 1 && state_of(thread) == B_THREAD_SUSPENDED; }));
	EXPECT_EQ(resume_thread(thread), B_OK);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(steps.done.load(), 2);
}

TEST(Thread, SendDataWaitsForTheReceiverToTakeThePreviousMessage)
{
	thread_id receiver = spawn_thread([](void*) -> int32 {
		int32 sum = 0;
		for (int i = 0; i < 3; i++) {
			char buffer[4] = {};
			thread_id sender;
			int32 code = receive_data(&sender, buffer, sizeof(buffer));
			if (sender <= 0)
				return -1;
			sum += code + (buffer[0] - '0');
		}
		return sum;
	}, "receiver", B_NORMAL_PRIORITY, nullptr);
	EXPECT_FALSE(has_data(receiver));
	// The receiver has not started: the first message waits in its slot,
	// and the second send must wait for it to be taken.
	EXPECT_EQ(send_data(receiver, 10, "1", 1), B_OK);
	EXPECT_TRUE(has_data(receiver));
	resume_thread(receiver);
	EXPECT_EQ(send_data(receiver, 20, "2", 1), B_OK);
	EXPECT_EQ(send_data(receiver, 30, "3 longer than the buffer", 24), B_OK);
	status_t result;
	EXPECT_EQ(wait_for_thread(receiver, &result), B_OK);
	EXPECT_EQ(result, 10 + 1 + 20 + 2 + 30 + 3);
	EXPECT_EQ(send_data(receiver, 1, nullptr, 0), B_BAD_THREAD_ID);
}

namespace {

std::atomic<int> gExitOrder{0};

void first_callback(void* data)
{
	static_cast<std::atomic<int>*>(data)->store(gExitOrder.fetch_add(1) == 1 ? 1 : -1);
}

void second_callback(void* data)
{
	static_cast<std::atomic<int>*>(data)->store(gExitOrder.fetch_add(1) == 0 ? 1 : -1);
}

}

TEST(Thread, ExitThreadAndExitCallbacks)
{
	std::atomic<int> first{0}, second{0};
	std::atomic<int>* pair[2] = {&first, &second};
	gExitOrder = 0;
	thread_id thread = spawn_thread([](void* data) -> int32 {
		auto** pair = static_cast<std::atomic<int>**>(data);
		on_exit_thread(first_callback, pair[0]);
		on_exit_thread(second_callback, pair[1]);
		exit_thread(1234);
		return 0;
	}, "exiting", B_NORMAL_PRIORITY, pair);
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, 1234);
	// The last registered runs first.
	EXPECT_EQ(first.load(), 1);
	EXPECT_EQ(second.load(), 1);
}

TEST(Thread, EndedThreadsNobodyWaitsForAreReclaimed)
{
	const size_t before = BPrivate::thread_record_count();
	const int count = (int)BPrivate::ThreadTable::kEndedHistory * 2;
	std::atomic<int> runs{0};
	for (int i = 0; i < count; i++)
		resume_thread(spawn_thread(count_and_return, "fire and forget", B_NORMAL_PRIORITY, &runs));
	ASSERT_TRUE(wait_for([&] { return runs.load() == count; }));
	ASSERT_TRUE(wait_for([&] {
		return BPrivate::thread_record_count()
			<= before + BPrivate::ThreadTable::kEndedHistory + 1;
	}));

	// A thread that ended recently still reports its status.
	thread_id last = spawn_thread(return_data, "recent", B_NORMAL_PRIORITY, (void*)(intptr_t)5);
	resume_thread(last);
	ASSERT_TRUE(wait_for([&] { return state_of(last) == (thread_state)0; }));
	status_t result = 0;
	EXPECT_EQ(wait_for_thread(last, &result), B_OK);
	EXPECT_EQ(result, 5);
}

TEST(Thread, NextThreadInfoWalksTheLiveThreads)
{
	thread_id thread = spawn_thread(return_data, "listed", B_NORMAL_PRIORITY, nullptr);
	bool foundSelf = false, foundSpawned = false;
	int32 cookie = 0;
	thread_info info;
	while (get_next_thread_info(0, &cookie, &info) == B_OK) {
		foundSelf |= info.thread == find_thread(nullptr);
		foundSpawned |= info.thread == thread;
	}
	EXPECT_TRUE(foundSelf);
	EXPECT_TRUE(foundSpawned);
	status_t result;
	wait_for_thread(thread, &result);
}

TEST(Thread, SnoozeWaitsAtLeastTheTimeGiven)
{
	const bigtime_t start = system_time();
	EXPECT_EQ(snooze(20000), B_OK);
	EXPECT_GE(system_time() - start, 20000);
	EXPECT_EQ(snooze_until(system_time() - 5, B_SYSTEM_TIMEBASE), B_OK);
	EXPECT_EQ(snooze_until(0, 77), B_BAD_VALUE);
}
