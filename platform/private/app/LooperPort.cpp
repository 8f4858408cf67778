#include "app/LooperPort.h"

#include <Message.h>

#include <chrono>
#include <vector>

namespace BPrivate {

thread_id current_thread_id()
{
	thread_local thread_id id = find_thread(NULL);
	return id;
}

namespace {

// Waits on `cv` until `ready` holds or `timeout` µs pass. Returns `ready`.
template<typename Predicate>
bool wait_with_timeout(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                       bigtime_t timeout, Predicate ready)
{
	// Beyond some 35 years a time-out is as good as none (and would overflow).
	if (timeout < 0 || timeout >= ((bigtime_t)1 << 50)) {
		cv.wait(lock, ready);
		return true;
	}
	return cv.wait_for(lock, std::chrono::microseconds(timeout), ready);
}

}

LooperPort::LooperPort(BLooper* looper, int32 capacity)
	: fLooper(looper), fCapacity(capacity > 0 ? capacity : 1)
{
}

LooperPort::~LooperPort()
{
	Close();
}

status_t LooperPort::Push(BMessage* message, bigtime_t timeout, bool force)
{
	std::unique_lock<std::mutex> lock(fQueueLock);
	if (fClosed)
		return B_BAD_PORT_ID;
	if (!force && (int32)fQueue.size() >= fCapacity) {
		if (timeout == 0)
			return B_WOULD_BLOCK;
		bool room = wait_with_timeout(fQueueChanged, lock, timeout, [this] {
			return fClosed || (int32)fQueue.size() < fCapacity;
		});
		if (!room)
			return B_TIMED_OUT;
		if (fClosed)
			return B_BAD_PORT_ID;
	}
	fQueue.push_back(message);
	fQueueChanged.notify_all();
	return B_OK;
}

BMessage* LooperPort::Pop(bigtime_t timeout)
{
	std::unique_lock<std::mutex> lock(fQueueLock);
	if (fQueue.empty()) {
		if (timeout == 0)
			return NULL;
		wait_with_timeout(fQueueChanged, lock, timeout, [this] {
			return fClosed || !fQueue.empty();
		});
		if (fQueue.empty())
			return NULL;
	}
	BMessage* message = fQueue.front();
	fQueue.pop_front();
	fQueueChanged.notify_all();
	return message;
}

int32 LooperPort::Count() const
{
	std::lock_guard<std::mutex> lock(fQueueLock);
	return (int32)fQueue.size();
}

void LooperPort::Close()
{
	std::deque<BMessage*> left;
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		fClosed = true;
		left.swap(fQueue);
		fQueueChanged.notify_all();
	}
	// Deleted outside the lock: a message whose sender waits answers it
	// with B_NO_REPLY as it goes.
	for (BMessage* message : left)
		delete message;
}

status_t LooperPort::Lock(bigtime_t timeout)
{
	thread_id me = current_thread_id();
	std::unique_lock<std::mutex> lock(fStateLock);
	if (fDead)
		return B_BAD_VALUE;
	if (fOwner == me) {
		fLockCount++;
		return B_OK;
	}
	if (fOwner != -1) {
		if (timeout == 0)
			return B_WOULD_BLOCK;
		fRequests++;
		bool free = wait_with_timeout(fLockReleased, lock, timeout, [this] {
			return fDead || fOwner == -1;
		});
		fRequests--;
		if (fDead)
			return B_BAD_VALUE;
		if (!free)
			return B_TIMED_OUT;
	}
	fOwner = me;
	fLockCount = 1;
	return B_OK;
}

bool LooperPort::Unlock()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	if (fOwner != current_thread_id())
		return false;
	if (--fLockCount == 0) {
		fOwner = -1;
		fLockReleased.notify_all();
	}
	return true;
}

int32 LooperPort::UnlockFully()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	if (fOwner != current_thread_id())
		return 0;
	int32 count = fLockCount;
	fLockCount = 0;
	fOwner = -1;
	fLockReleased.notify_all();
	return count;
}

thread_id LooperPort::LockingThread() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fOwner;
}

int32 LooperPort::CountLocks() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fLockCount;
}

int32 LooperPort::CountLockRequests() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fRequests;
}

bool LooperPort::IsLockedByCaller() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fOwner == current_thread_id();
}

void LooperPort::MarkDead()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	fDead = true;
	fOwner = -1;
	fLockCount = 0;
	fLockReleased.notify_all();
}

bool LooperPort::IsDead() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fDead;
}

}
