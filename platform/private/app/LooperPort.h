// The part of a looper that outlives it: its message queue and its lock.
//
// Messengers, handlers and other threads reach a looper through this
// object, held by shared_ptr, never through the BLooper pointer alone. When
// the looper is deleted the port is closed (posts fail with B_BAD_PORT_ID)
// and marked dead (lock attempts fail), so a late sender or locker gets an
// error instead of touching freed memory.
#ifndef PRIVATE_APP_LOOPER_PORT_H
#define PRIVATE_APP_LOOPER_PORT_H

#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include "app/TokenSpace.h"
#include "kernel/ThreadTable.h"
#include "kernel/WakeWord.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class BLooper;
class BMessage;

namespace BPrivate {

// A message runner whose target is a looper of this process. It is
// carried by that looper's port: the looper's own wait for its next
// message ends when the runner is due, and the message is made then, on
// the looper's thread, so that no other thread has to wake to post it.
// A runner of a long interval may be sent a little late (runner_leeway),
// when the looper wakes for something else anyway, so that a looper that
// is woken often does not wake once more for the runner alone. It is
// never sent early, and its schedule does not drift.
// Every member is guarded by the port's queue lock.
struct PortRunner {
	int32 targetToken = -1;
	bool preferred = true;
	BMessage message;
	BMessenger replyTo;      // the application when not valid
	bigtime_t interval = 0;
	bigtime_t due = 0;
	int32 count = 0;         // messages still to send; negative: for ever
	TokenSpace::Memo target; // whether the target is still in this looper
};

// How late a runner of `interval` µs may be sent: a tenth of the
// interval, at most 50 ms; none below 100 ms.
bigtime_t runner_leeway(bigtime_t interval);

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
	// As Pop, but takes up to `most` of the queued messages at once, the
	// oldest first, into `messages`; returns how many (0 as Pop's NULL).
	int32 PopSome(bigtime_t timeout, BMessage** messages, int32 most);
	int32 Count() const;
	int32 Capacity() const { return fCapacity; }
	// No more posts; the messages still queued are deleted.
	void Close();

	// ---- Message runners carried by this port

	// From now on the port sends the runner's messages. A runner added to
	// a closed port has nothing more to send (its count becomes 0).
	void AddRunner(const std::shared_ptr<PortRunner>& runner);
	// After this returns, the runner sends nothing more.
	void RemoveRunner(const PortRunner* runner);
	// B_BAD_VALUE for a runner that has sent all its messages.
	status_t SetRunnerInterval(PortRunner* runner, bigtime_t interval);
	status_t SetRunnerCount(PortRunner* runner, int32 count);
	status_t GetRunnerInfo(const PortRunner* runner, bigtime_t* interval,
	                       int32* count) const;

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

	// The handler that the looper's messages went to last, for the
	// looper's thread while it holds the lock.
	TokenSpace::Memo dispatchTarget;

private:
	BLooper* const fLooper;
	const int32 fCapacity;

	// Queues the messages of the runners that are due; returns when the
	// next one must be sent at the latest (B_INFINITE_TIMEOUT for none). Called with the queue
	// lock held, which it may let go of for a while.
	bigtime_t _SendDueRunners(std::unique_lock<std::mutex>& lock);
	// Tells the threads waiting for a message that something changed; true
	// when there are any, to be woken with fChanged.WakeAll() after the
	// queue lock is let go of (so that they do not wake only to wait for
	// it). Called with the queue lock held.
	bool _SignalReaders();
	// Whether a reader waiting now would sleep past `deadline` (a runner's
	// new time) unless it is woken. Called with the queue lock held.
	bool _ReaderOversleeps(bigtime_t deadline) const;

	mutable std::mutex fQueueLock;
	WakeWord fChanged;                       // a message came, or a runner changed
	std::condition_variable fRoomMade;       // a message was taken
	std::deque<BMessage*> fQueue;
	bool fClosed = false;
	int32 fRoomWaiters = 0;                  // posters waiting for room
	int32 fReaders = 0;                      // threads waiting in Pop
	bigtime_t fReaderWakesAt = 0;            // when the last of them wakes by itself
	std::vector<std::shared_ptr<PortRunner>> fRunners;
	const PortRunner* fSending = nullptr;    // sent with the lock let go of
	std::condition_variable fSent;           // fSending was done with

	mutable std::mutex fStateLock;
	std::condition_variable fLockReleased;
	thread_id fOwner = -1;
	int32 fLockCount = 0;
	int32 fRequests = 0;
	std::atomic<bool> fDead{false};          // set with fStateLock held
};

}

#endif
