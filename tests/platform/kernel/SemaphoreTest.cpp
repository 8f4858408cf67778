#include <gtest/gtest.h>

#include <OS.h>

#include "TestUtil.h"
#include "kernel/KernelStats.h"

#include <atomic>
#include <thread>
#include <vector>

using testutil::wait_for;

namespace {

thread_state state_of(thread_id thread)
{
	thread_info info;
	if (get_thread_info(thread, &info) != B_OK)
		return (thread_state)0;
	return info.state;
}

int32 sem_count(sem_id sem)
{
	int32 count = 0;
	get_sem_count(sem, &count);
	return count;
}

struct Acquirer {
	sem_id sem;
	int32 count;
	uint32 flags = 0;
	bigtime_t timeout = 0;
	std::atomic<status_t> result{1};
};

int32 acquire_in_thread(void* data)
{
	Acquirer* acquirer = static_cast<Acquirer*>(data);
	acquirer->result = acquire_sem_etc(acquirer->sem, acquirer->count, acquirer->flags,
		acquirer->timeout);
	return 0;
}

thread_id start_acquirer(Acquirer* acquirer)
{
	thread_id thread = spawn_thread(acquire_in_thread, "acquirer", B_NORMAL_PRIORITY, acquirer);
	resume_thread(thread);
	return thread;
}

}

TEST(Semaphore, CountsAndInfo)
{
	sem_id sem = create_sem(2, "counting");
	ASSERT_GT(sem, 0);
	EXPECT_EQ(acquire_sem(sem), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(release_sem_etc(sem, 3, B_DO_NOT_RESCHEDULE), B_OK);
	EXPECT_EQ(sem_count(sem), 3);

	sem_info info;
	ASSERT_EQ(get_sem_info(sem, &info), B_OK);
	EXPECT_STREQ(info.name, "counting");
	EXPECT_EQ(info.count, 3);
	EXPECT_EQ(info.latest_holder, find_thread(nullptr));

	EXPECT_EQ(create_sem(-1, "negative"), B_BAD_VALUE);
	EXPECT_EQ(acquire_sem_etc(sem, 0, 0, 0), B_BAD_VALUE);
	EXPECT_EQ(release_sem_etc(sem, -2, 0), B_BAD_VALUE);
	EXPECT_EQ(delete_sem(sem), B_OK);
	EXPECT_EQ(acquire_sem(sem), B_BAD_SEM_ID);
	EXPECT_EQ(release_sem(sem), B_BAD_SEM_ID);
	EXPECT_EQ(delete_sem(sem), B_BAD_SEM_ID);
}

TEST(Semaphore, TimeOuts)
{
	sem_id sem = create_sem(0, "empty");
	bigtime_t start = system_time();
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 20000), B_TIMED_OUT);
	EXPECT_GE(system_time() - start, 20000);
	start = system_time();
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_ABSOLUTE_TIMEOUT, start + 20000), B_TIMED_OUT);
	EXPECT_GE(system_time() - start, 20000);
	// A waiter that gave up leaves no trace in the count.
	EXPECT_EQ(sem_count(sem), 0);
	delete_sem(sem);
}

TEST(Semaphore, CountAboveOneWaitsForAllOfItAndHoldsBackLaterWaiters)
{
	sem_id sem = create_sem(1, "batch");
	Acquirer big{sem, 3};
	thread_id bigThread = start_acquirer(&big);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -2; }));

	// Arriving later, a waiter for one is served after the first.
	Acquirer small{sem, 1};
	thread_id smallThread = start_acquirer(&small);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -3; }));
	release_sem(sem);
	EXPECT_EQ(sem_count(sem), -2);
	EXPECT_EQ(small.result.load(), 1);

	// Four available: three for the first, then one for the second.
	release_sem_etc(sem, 2, 0);
	status_t ignored;
	wait_for_thread(bigThread, &ignored);
	wait_for_thread(smallThread, &ignored);
	EXPECT_EQ(big.result.load(), B_OK);
	EXPECT_EQ(small.result.load(), B_OK);
	EXPECT_EQ(sem_count(sem), 0);
	delete_sem(sem);
}

TEST(Semaphore, AWaiterThatTimesOutLetsThoseBehindItThrough)
{
	sem_id sem = create_sem(1, "head of line");
	Acquirer big{sem, 5, B_RELATIVE_TIMEOUT, 50000};
	Acquirer small{sem, 1};
	thread_id bigThread = start_acquirer(&big);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -4; }));
	thread_id smallThread = start_acquirer(&small);
	status_t ignored;
	wait_for_thread(bigThread, &ignored);
	EXPECT_EQ(big.result.load(), B_TIMED_OUT);
	wait_for_thread(smallThread, &ignored);
	EXPECT_EQ(small.result.load(), B_OK);
	delete_sem(sem);
}

TEST(Semaphore, DeleteWakesEveryWaiterWithBadSemId)
{
	sem_id sem = create_sem(0, "doomed");
	Acquirer waiters[3] = {{sem, 1}, {sem, 2}, {sem, 1, B_RELATIVE_TIMEOUT, 60000000}};
	thread_id threads[3];
	for (int i = 0; i < 3; i++)
		threads[i] = start_acquirer(&waiters[i]);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -4; }));
	EXPECT_EQ(delete_sem(sem), B_OK);
	for (int i = 0; i < 3; i++) {
		status_t ignored;
		wait_for_thread(threads[i], &ignored);
		EXPECT_EQ(waiters[i].result.load(), B_BAD_SEM_ID);
	}
}

TEST(Semaphore, ReleaseOfSeveralWakesSeveralWaiters)
{
	sem_id sem = create_sem(0, "many");
	Acquirer waiters[4] = {{sem, 1}, {sem, 1}, {sem, 1}, {sem, 1}};
	thread_id threads[4];
	for (int i = 0; i < 4; i++)
		threads[i] = start_acquirer(&waiters[i]);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -4; }));
	release_sem_etc(sem, 4, B_DO_NOT_RESCHEDULE);
	for (int i = 0; i < 4; i++) {
		status_t ignored;
		wait_for_thread(threads[i], &ignored);
		EXPECT_EQ(waiters[i].result.load(), B_OK);
	}
	delete_sem(sem);
}

// ---- Without contention, acquire and release skip the kernel lock; these
// check that they still keep the order of waiters, the count, and the ids.

namespace {

// Threads taking one and giving it back as fast as they can, beside one that
// takes all of the count at once.
struct Hammer {
	sem_id sem;
	int32 total;
	int32 rounds;
	std::atomic<int32> held{0};
	std::atomic<int32> mostHeld{0};
	std::atomic<int32> failures{0};

	void Hold(int32 count)
	{
		int32 now = held.fetch_add(count) + count;
		int32 most = mostHeld.load();
		while (now > most && !mostHeld.compare_exchange_weak(most, now)) {
		}
	}

	void Run(int32 count)
	{
		for (int32 i = 0; i < rounds; i++) {
			// Bounded: a waiter overtaken for ever times out.
			if (acquire_sem_etc(sem, count, B_RELATIVE_TIMEOUT, 10000000) != B_OK) {
				failures++;
				continue;
			}
			Hold(count);
			// Now and then held a while, so that others have to queue.
			if (i % 4 == 0)
				std::this_thread::yield();
			held.fetch_sub(count);
			if (release_sem_etc(sem, count, 0) != B_OK)
				failures++;
		}
	}
};

int32 hammer_by_one(void* data)
{
	static_cast<Hammer*>(data)->Run(1);
	return 0;
}

int32 hammer_by_all(void* data)
{
	Hammer* hammer = static_cast<Hammer*>(data);
	hammer->Run(hammer->total);
	return 0;
}

thread_id start(thread_func func, void* data, const char* name = "semaphore test")
{
	thread_id thread = spawn_thread(func, name, B_NORMAL_PRIORITY, data);
	resume_thread(thread);
	return thread;
}

}

TEST(Semaphore, ManyThreadsTakingAndGivingLoseNothingAndNeverOvertakeAWaiter)
{
	Hammer hammer{create_sem(3, "hammered"), 3, 10000};
	thread_id threads[5];
	for (int i = 0; i < 4; i++)
		threads[i] = start(hammer_by_one, &hammer);
	// Asks for all three: it only gets through if those asking for one
	// queue behind it instead of taking what was released before it.
	threads[4] = start(hammer_by_all, &hammer);
	for (thread_id thread : threads) {
		status_t ignored;
		wait_for_thread(thread, &ignored);
	}
	EXPECT_EQ(hammer.failures.load(), 0);
	EXPECT_LE(hammer.mostHeld.load(), 3);
	EXPECT_EQ(sem_count(hammer.sem), 3);
	EXPECT_EQ(delete_sem(hammer.sem), B_OK);
}

TEST(Semaphore, AQueuedWaiterHoldsBackPollsAndReleasesPastTheLimit)
{
	sem_id sem = create_sem(INT32_MAX - 5, "nearly full");
	EXPECT_EQ(release_sem_etc(sem, 6, 0), B_BAD_VALUE);
	EXPECT_EQ(release_sem_etc(sem, 5, 0), B_OK);
	EXPECT_EQ(release_sem(sem), B_BAD_VALUE);
	EXPECT_EQ(sem_count(sem), INT32_MAX);
	EXPECT_EQ(acquire_sem_etc(sem, INT32_MAX - 1, 0, 0), B_OK);
	EXPECT_EQ(sem_count(sem), 1);

	// A waiter for two is queued: one available does not go to a poll,
	// nor to a time-out that has passed, even though one is there.
	Acquirer waiter{sem, 2};
	thread_id thread = start_acquirer(&waiter);
	ASSERT_TRUE(wait_for([&] { return sem_count(sem) == -1; }));
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_ABSOLUTE_TIMEOUT, system_time() - 1000), B_TIMED_OUT);
	EXPECT_EQ(sem_count(sem), -1);
	// The limit holds while a thread waits too.
	EXPECT_EQ(release_sem_etc(sem, INT32_MAX, 0), B_BAD_VALUE);
	EXPECT_EQ(waiter.result.load(), 1);
	EXPECT_EQ(release_sem(sem), B_OK);
	status_t ignored;
	wait_for_thread(thread, &ignored);
	EXPECT_EQ(waiter.result.load(), B_OK);

	// Nobody waits any more: polls succeed at once again.
	EXPECT_EQ(release_sem_etc(sem, 2, 0), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_ABSOLUTE_TIMEOUT, 0), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	delete_sem(sem);
}

TEST(Semaphore, LatestHolderIsTheLastThreadThatAcquired)
{
	sem_id sem = create_sem(2, "held");
	sem_info info;
	ASSERT_EQ(get_sem_info(sem, &info), B_OK);
	EXPECT_EQ(info.latest_holder, -1);

	Acquirer other{sem, 1};
	thread_id thread = start_acquirer(&other);
	status_t ignored;
	wait_for_thread(thread, &ignored);
	ASSERT_EQ(other.result.load(), B_OK);
	ASSERT_EQ(get_sem_info(sem, &info), B_OK);
	EXPECT_EQ(info.latest_holder, thread);

	EXPECT_EQ(acquire_sem(sem), B_OK);
	ASSERT_EQ(get_sem_info(sem, &info), B_OK);
	EXPECT_EQ(info.latest_holder, find_thread(nullptr));
	EXPECT_EQ(info.count, 0);
	delete_sem(sem);
}

namespace {

struct Racer {
	sem_id sem;
	std::atomic<int32> rounds{0};
	std::atomic<status_t> ended{1};
};

int32 race_until_gone(void* data)
{
	Racer* racer = static_cast<Racer*>(data);
	for (;;) {
		status_t result = acquire_sem(racer->sem);
		if (result == B_OK)
			result = release_sem(racer->sem);
		if (result != B_OK) {
			racer->ended = result;
			return 0;
		}
		racer->rounds++;
	}
}

}

TEST(Semaphore, DeletionWhileThreadsTakeAndGiveEndsThemWithBadSemId)
{
	for (int round = 0; round < 20; round++) {
		sem_id sem = create_sem(1, "deleted under way");
		Racer racers[3];
		thread_id threads[3];
		for (int i = 0; i < 3; i++) {
			racers[i].sem = sem;
			threads[i] = start(race_until_gone, &racers[i]);
		}
		ASSERT_TRUE(wait_for([&] { return racers[round % 3].rounds.load() > 100; }));
		EXPECT_EQ(delete_sem(sem), B_OK);
		for (int i = 0; i < 3; i++) {
			status_t ignored;
			wait_for_thread(threads[i], &ignored);
			EXPECT_EQ(racers[i].ended.load(), B_BAD_SEM_ID);
		}
		// Its successor is a different semaphore.
		sem_id next = create_sem(0, "next");
		EXPECT_NE(next, sem);
		EXPECT_EQ(release_sem(sem), B_BAD_SEM_ID);
		EXPECT_EQ(sem_count(next), 0);
		delete_sem(next);
	}
}

TEST(Semaphore, IdsOfDeletedSemaphoresStayInvalidWhenTheirPlaceIsReused)
{
	sem_id gone = create_sem(1, "gone");
	sem_id kept = create_sem(1, "kept");
	ASSERT_EQ(delete_sem(gone), B_OK);
	// Enough semaphores come and go for every place to be used again.
	const int32 before = BPrivate::semaphore_count();
	for (int i = 0; i < 70000; i++) {
		sem_id sem = create_sem(i % 7, nullptr);
		ASSERT_GT(sem, 0);
		ASSERT_NE(sem, gone);
		ASSERT_NE(sem, kept);
		EXPECT_EQ(release_sem(gone), B_BAD_SEM_ID);
		EXPECT_EQ(acquire_sem_etc(gone, 1, B_RELATIVE_TIMEOUT, 0), B_BAD_SEM_ID);
		int32 count;
		ASSERT_EQ(get_sem_count(sem, &count), B_OK);
		ASSERT_EQ(count, i % 7);
		ASSERT_EQ(delete_sem(sem), B_OK);
	}
	EXPECT_EQ(BPrivate::semaphore_count(), before);
	EXPECT_EQ(acquire_sem(kept), B_OK);
	EXPECT_EQ(sem_count(kept), 0);
	EXPECT_EQ(release_sem(kept), B_OK);
	EXPECT_EQ(delete_sem(kept), B_OK);
	EXPECT_EQ(acquire_sem(0), B_BAD_SEM_ID);
	EXPECT_EQ(release_sem(-1), B_BAD_SEM_ID);
}

TEST(Semaphore, AsManyAsTheLimitAndNoMore)
{
	const int32 before = BPrivate::semaphore_count();
	std::vector<sem_id> sems;
	sem_id sem;
	while ((sem = create_sem(1, nullptr)) > 0 && sems.size() < 70000)
		sems.push_back(sem);
	EXPECT_EQ(sem, B_NO_MORE_SEMS);
	EXPECT_EQ(before + (int32)sems.size(), 65536);
	// Every one of them is its own.
	EXPECT_EQ(acquire_sem(sems.front()), B_OK);
	EXPECT_EQ(sem_count(sems.front()), 0);
	EXPECT_EQ(sem_count(sems.back()), 1);
	for (sem_id each : sems)
		ASSERT_EQ(delete_sem(each), B_OK);
	EXPECT_EQ(BPrivate::semaphore_count(), before);
	sem = create_sem(0, "after the limit");
	EXPECT_GT(sem, 0);
	delete_sem(sem);
}

namespace {

struct Looping {
	sem_id sem;
	std::atomic<bool> go{false};
	std::atomic<int64> rounds{0};
	std::atomic<bool> loopedAfterGo{false};
};

// Spins until told to go, then takes and gives an uncontended semaphore
// for ever.
int32 loop_on_free_semaphore(void* data)
{
	Looping* looping = static_cast<Looping*>(data);
	looping->rounds++;
	while (!looping->go)
		std::this_thread::yield();
	for (;;) {
		acquire_sem(looping->sem);
		looping->loopedAfterGo = true;
		release_sem(looping->sem);
		looping->rounds++;
	}
}

}

TEST(Semaphore, AKillOrSuspensionPendingTakesEffectAtAnAcquireThatNeedsNoWait)
{
	// Asked while the thread was busy: its very next acquire ends it.
	Looping killed{create_sem(1, "free")};
	thread_id thread = start(loop_on_free_semaphore, &killed, "killed");
	ASSERT_TRUE(wait_for([&] { return killed.rounds.load() > 0; }));
	EXPECT_EQ(kill_thread(thread), B_OK);
	killed.go = true;
	status_t result;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_INTERRUPTED);
	EXPECT_FALSE(killed.loopedAfterGo.load());
	EXPECT_EQ(sem_count(killed.sem), 1);

	// The same for a suspension; resumed, it carries on.
	Looping suspended{create_sem(1, "free")};
	thread = start(loop_on_free_semaphore, &suspended, "suspended");
	ASSERT_TRUE(wait_for([&] { return suspended.rounds.load() > 0; }));
	EXPECT_EQ(suspend_thread(thread), B_OK);
	suspended.go = true;
	ASSERT_TRUE(wait_for([&] { return state_of(thread) == B_THREAD_SUSPENDED; }));
	EXPECT_FALSE(suspended.loopedAfterGo.load());
	EXPECT_EQ(resume_thread(thread), B_OK);
	const int64 seen = suspended.rounds.load();
	EXPECT_TRUE(wait_for([&] { return suspended.rounds.load() > seen + 1000; }));

	// Killed while it loops, it still ends.
	EXPECT_EQ(kill_thread(thread), B_OK);
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_INTERRUPTED);
	EXPECT_EQ(sem_count(suspended.sem), 1);
	delete_sem(killed.sem);
	delete_sem(suspended.sem);
}

TEST(Atomic, ReturnThePreviousValue)
{
	vint32 value = 5;
	EXPECT_EQ(atomic_add(&value, 3), 5);
	EXPECT_EQ(atomic_and(&value, 0xC), 8);
	EXPECT_EQ(atomic_or(&value, 1), 8);
	EXPECT_EQ(atomic_set(&value, -1), 9);
	EXPECT_EQ(atomic_get(&value), -1);
}
