// BLocker: a lock that the thread holding it may lock again.
//
// Every Lock must be matched by one Unlock from the same thread; the lock is
// free again when the last one is undone. A thread that does not hold the
// lock cannot unlock it (the call is ignored). Deleting a locker wakes the
// threads still waiting for it; their Lock returns false.
#ifndef _LOCKER_H
#define _LOCKER_H

#include <OS.h>
#include <SupportDefs.h>

namespace BPrivate { struct LockerState; }

class BLocker {
public:
	BLocker();
	BLocker(const char* name);
	// `benaphoreStyle` is accepted for compatibility; every locker here is
	// cheap to take when nobody else holds it.
	BLocker(bool benaphoreStyle);
	BLocker(const char* name, bool benaphoreStyle);
	virtual ~BLocker();

	// Waits for as long as it takes; false only when the locker is deleted
	// while waiting.
	bool Lock();
	// B_OK, B_TIMED_OUT after waiting `timeout` microseconds, B_WOULD_BLOCK
	// for a zero (or negative) timeout when another thread holds the lock.
	status_t LockWithTimeout(bigtime_t timeout);
	void Unlock();

	// True when the calling thread holds the lock.
	bool IsLocked() const;
	// The holder's thread id, or B_ERROR when nobody holds the lock.
	thread_id LockingThread() const;
	// How many times the holder has locked it (0 when free).
	int32 CountLocks() const;
	// The holder (if any) plus the threads waiting for the lock.
	int32 CountLockRequests() const;
	// A semaphore named after the locker, which identifies it. Waiting is
	// done on a condition variable instead, which lets a thread give up
	// after a time-out without disturbing the others' count.
	sem_id Sem() const;

	const char* Name() const;

private:
	BLocker(const BLocker&) = delete;
	BLocker& operator=(const BLocker&) = delete;

	void _Init(const char* name);

	BPrivate::LockerState* fState;
};

#endif
