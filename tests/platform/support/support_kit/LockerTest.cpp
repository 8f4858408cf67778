// BLocker and BAutolock: nesting per thread, time-outs, and contention.
#include <Autolock.h>
#include <Locker.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>


TEST(Locker, NestsPerThread)
{
	BLocker locker("nesting");
	EXPECT_STREQ("nesting", locker.Name());
	EXPECT_FALSE(locker.IsLocked());
	EXPECT_EQ(B_ERROR, locker.LockingThread());

	ASSERT_TRUE(locker.Lock());
	ASSERT_TRUE(locker.Lock());
	EXPECT_EQ(B_OK, locker.LockWithTimeout(0));
	EXPECT_TRUE(locker.IsLocked());
	EXPECT_EQ(3, locker.CountLocks());
	EXPECT_EQ(1, locker.CountLockRequests());
	EXPECT_EQ(find_thread(NULL), locker.LockingThread());

	// Another thread sees it held, and cannot unlock it.
	std::thread other([&] {
		EXPECT_FALSE(locker.IsLocked());
		locker.Unlock();
	});
	other.join();
	EXPECT_EQ(3, locker.CountLocks());

	locker.Unlock();
	locker.Unlock();
	EXPECT_TRUE(locker.IsLocked());
	locker.Unlock();
	EXPECT_FALSE(locker.IsLocked());
	EXPECT_EQ(0, locker.CountLocks());
	locker.Unlock();  // one too many: ignored
	EXPECT_EQ(0, locker.CountLockRequests());
}


TEST(Locker, TimesOutWhileAnotherThreadHoldsIt)
{
	BLocker locker;
	std::atomic<bool> held(false);
	std::atomic<bool> release(false);
	std::thread holder([&] {
		locker.Lock();
		held = true;
		testutil::wait_for([&] { return release.load(); });
		locker.Unlock();
	});
	ASSERT_TRUE(testutil::wait_for([&] { return held.load(); }));

	EXPECT_EQ(B_WOULD_BLOCK, locker.LockWithTimeout(0));
	bigtime_t start = system_time();
	EXPECT_EQ(B_TIMED_OUT, locker.LockWithTimeout(20000));
	EXPECT_GE(system_time() - start, 20000);
	EXPECT_FALSE(locker.IsLocked());
	EXPECT_EQ(1, locker.CountLockRequests());  // the time-out left no trace

	// A waiter gets it as soon as the holder lets go.
	std::atomic<bool> got(false);
	std::thread waiter([&] {
		if (locker.LockWithTimeout(10000000) == B_OK) {
			got = true;
			locker.Unlock();
		}
	});
	ASSERT_TRUE(testutil::wait_for([&] { return locker.CountLockRequests() == 2; }));
	release = true;
	waiter.join();
	holder.join();
	EXPECT_TRUE(got);
}


TEST(Locker, SerialisesManyThreads)
{
	BLocker locker("counter");
	int counter = 0;  // guarded by locker only
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([&] {
			for (int i = 0; i < 2000; i++) {
				BAutolock lock(locker);
				if (!lock.IsLocked())
					return;
				int seen = counter;
				if (i % 2 == 0) {
					BAutolock nested(&locker);  // nesting inside the lock
					counter = seen + 1;
				} else
					counter = seen + 1;
			}
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(8000, counter);
	EXPECT_EQ(0, locker.CountLockRequests());
}


TEST(Locker, AutolockUnlocksOnceAndDeletionWakesWaiters)
{
	BLocker locker;
	{
		BAutolock lock(&locker);
		EXPECT_TRUE(lock.IsLocked());
		lock.Unlock();
		EXPECT_FALSE(locker.IsLocked());
		EXPECT_FALSE(lock.IsLocked());
	}
	EXPECT_EQ(0, locker.CountLocks());
	BAutolock none((BLocker*)NULL);
	EXPECT_FALSE(none.IsLocked());

	// A thread waiting for a locker that is deleted gives up with false.
	BLocker* doomed = new BLocker("doomed");
	doomed->Lock();
	std::atomic<int> result(-1);
	std::thread waiter([&] { result = doomed->Lock() ? 1 : 0; });
	ASSERT_TRUE(testutil::wait_for([&] { return doomed->CountLockRequests() == 2; }));
	delete doomed;
	waiter.join();
	EXPECT_EQ(0, result);
}


// Waiters that give up after short time-outs, mixed with waiters that wait
// for good and with takers that never wait: every lock taken is exclusive,
// and nobody waits for good on a locker that has come free.
TEST(Locker, TimeOutsAndPatientWaitersMix)
{
	BLocker locker("mixed");
	int counter = 0;  // guarded by locker only
	std::atomic<int> taken(0);
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([&, t] {
			for (int i = 0; i < 3000; i++) {
				const bigtime_t timeout = t == 0 ? B_INFINITE_TIMEOUT
					: t == 1 ? 0 : (bigtime_t)(i % 3) * 20;
				if (locker.LockWithTimeout(timeout) != B_OK)
					continue;
				EXPECT_EQ(1, locker.CountLocks());
				counter++;
				taken++;
				locker.Unlock();
			}
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(taken.load(), counter);
	EXPECT_GE(taken.load(), 3000);  // the patient thread always gets it
	EXPECT_EQ(0, locker.CountLockRequests());
	EXPECT_EQ(B_ERROR, locker.LockingThread());
}
