// The part of a looper that outlives it: its message queue and its lock.
//
// Messengers, handlers and other threads reach a looper through this
// object, held by shared_ptr, never through the BLooper pointer alone. When
// the looper is deleted the port is closed (posts fail with B_BAD_PORT_ID)
// and marked dead (lock attempts fail), so a late sender or locker gets an
// error instead of touching freed memory.
#ifndef PRIVATE_APP_LOOPER_PORT_H
#define PRIVATE_APP_LOOPER_PORT_H

#include <OS.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

class BLooper;
class BMessage;

namespace BPrivate {

// The calling thread's id (find_thread(NULL)), remembered per thread.
thread_id current_thread_id();

class LooperPort {
public:
	LooperPort(BLooper* looper, int32 capacity);
	~LooperPort();

	// ---- The queue

	// Takes `message` on success. Waits up to `timeout` µs for room
	// (B_WOULD_BLOCK with 0, B_TIMED_OUT otherwise); `force` ignores the
	// capacity. B_BAD_PORT_ID once the port is closed.
	status_t Push(BMessage* message, bigtime_t timeout, bool force = false);
	// The oldest message, or NULL when none came within `timeout` or the
	// port was closed.
	BMessage* Pop(bigtime_t timeout);
	int32 Count() const;
	int32 Capacity() const { return fCapacity; }
	// No more posts; the messages still queued are deleted.
	void Close();

	// ---- The lock (nesting per thread)

	// B_OK; B_TIMED_OUT (B_WOULD_BLOCK for a zero time-out) when another
	// thread kept it; B_BAD_VALUE when the looper is gone.
	status_t Lock(bigtime_t timeout);
	// False when the caller does not hold the lock.
	bool Unlock();
	// Releases every lock the caller holds; returns how many.
	int32 UnlockFully();
	thread_id LockingThread() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;
	bool IsLockedByCaller() const;

	// The looper is gone: wakes every waiter and releases the lock.
	void MarkDead();
	bool IsDead() const;

	// The looper; only to be used with the lock held and not dead.
	BLooper* Looper() const { return fLooper; }

	// The looper's thread, -1 before Run.
	std::atomic<thread_id> thread{-1};

private:
	BLooper* const fLooper;
	const int32 fCapacity;

	mutable std::mutex fQueueLock;
	std::condition_variable fQueueChanged;
	std::deque<BMessage*> fQueue;
	bool fClosed = false;

	mutable std::mutex fStateLock;
	std::condition_variable fLockReleased;
	thread_id fOwner = -1;
	int32 fLockCount = 0;
	int32 fRequests = 0;
	bool fDead = false;
};

}

#endif
