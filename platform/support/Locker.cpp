#include <Locker.h>

#include "support/LockerState.h"

#include <chrono>

using BPrivate::LockerState;

namespace {

// Time-outs longer than this (about 31 years) are waited for without a
// deadline; adding them to the clock would overflow.
const bigtime_t kLongestDeadline = 1000000000000000LL;

}	// namespace


BLocker::BLocker()
{
	_Init(NULL);
}


BLocker::BLocker(const char* name)
{
	_Init(name);
}


BLocker::BLocker(bool /*benaphoreStyle*/)
{
	_Init(NULL);
}


BLocker::BLocker(const char* name, bool /*benaphoreStyle*/)
{
	_Init(name);
}


void
BLocker::_Init(const char* name)
{
	fState = new LockerState;
	fState->name = name != NULL ? name : "some BLocker";
}


BLocker::~BLocker()
{
	sem_id sem;
	{
		std::unique_lock<std::mutex> lock(fState->mutex);
		fState->deleting = true;
		fState->available.notify_all();
		// The waiters still reference the state: let them leave first.
		fState->waitersGone.wait(lock, [this] { return fState->waiting == 0; });
		sem = fState->sem;
	}
	if (sem >= 0)
		delete_sem(sem);
	delete fState;
}


bool
BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}


status_t
BLocker::LockWithTimeout(bigtime_t timeout)
{
	std::thread::id self = std::this_thread::get_id();
	// Asked before taking our mutex, so that the kernel's tables are never
	// locked inside it.
	thread_id selfThread = find_thread(NULL);

	std::unique_lock<std::mutex> lock(fState->mutex);
	if (fState->deleting)
		return B_BAD_SEM_ID;
	if (fState->held && fState->owner == self) {
		fState->nesting++;
		return B_OK;
	}

	if (fState->held) {
		if (timeout <= 0)
			return B_WOULD_BLOCK;

		auto free = [this] { return !fState->held || fState->deleting; };
		fState->waiting++;
		bool gotIt = true;
		if (timeout >= kLongestDeadline) {
			fState->available.wait(lock, free);
		} else {
			auto deadline = std::chrono::steady_clock::now()
				+ std::chrono::microseconds(timeout);
			gotIt = fState->available.wait_until(lock, deadline, free);
		}
		fState->waiting--;
		if (fState->deleting) {
			if (fState->waiting == 0)
				fState->waitersGone.notify_all();
			return B_BAD_SEM_ID;
		}
		if (!gotIt)
			return B_TIMED_OUT;
	}

	fState->held = true;
	fState->owner = self;
	fState->ownerThread = selfThread;
	fState->nesting = 1;
	return B_OK;
}


void
BLocker::Unlock()
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	if (!fState->held || fState->owner != std::this_thread::get_id())
		return;
	if (--fState->nesting > 0)
		return;
	fState->held = false;
	fState->owner = std::thread::id();
	fState->ownerThread = -1;
	fState->available.notify_one();
}


bool
BLocker::IsLocked() const
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	return fState->held && fState->owner == std::this_thread::get_id();
}


thread_id
BLocker::LockingThread() const
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	return fState->held ? fState->ownerThread : B_ERROR;
}


int32
BLocker::CountLocks() const
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	return fState->held ? fState->nesting : 0;
}


int32
BLocker::CountLockRequests() const
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	return (fState->held ? 1 : 0) + fState->waiting;
}


sem_id
BLocker::Sem() const
{
	// Created on first request: lockers are often static objects, built
	// before the kernel's own tables exist.
	std::lock_guard<std::mutex> lock(fState->mutex);
	if (fState->sem < 0)
		fState->sem = create_sem(0, fState->name.c_str());
	return fState->sem;
}


const char*
BLocker::Name() const
{
	return fState->name.c_str();
}
