#include <gtest/gtest.h>

#include <OS.h>

#include "TestUtil.h"

#include <atomic>

using testutil::wait_for;

namespace {

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

TEST(Atomic, ReturnThePreviousValue)
{
	vint32 value = 5;
	EXPECT_EQ(atomic_add(&value, 3), 5);
	EXPECT_EQ(atomic_and(&value, 0xC), 8);
	EXPECT_EQ(atomic_or(&value, 1), 8);
	EXPECT_EQ(atomic_set(&value, -1), 9);
	EXPECT_EQ(atomic_get(&value), -1);
}
