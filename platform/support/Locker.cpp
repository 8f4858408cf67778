#include <Locker.h>

#include "kernel/ThreadTable.h"
#include "support/LockerState.h"

#include <chrono>

using BPrivate::LockerState;
using BPrivate::current_thread_id;

namespace {

// Time-outs longer than this (about 31 years) are waited for without a
// deadline; adding them to the clock would overflow.
const bigtime_t kLongestDeadline = 1000000000000000LL;

// Takes the locker, which the caller does not hold, once it is free: B_OK
// when the caller holds it then.
status_t
wait_for(LockerState& state, bigtime_t timeout)
{
	if (timeout <= 0) {
		uint32 word = state.word.load(std::memory_order_relaxed);
		while ((word & LockerState::kHeld) == 0) {
			if (state.word.compare_exchange_weak(word, word | LockerState::kHeld,
					std::memory_order_acquire, std::memory_order_relaxed))
				return B_OK;
		}
		return B_WOULD_BLOCK;
	}

	const bool forever = timeout >= kLongestDeadline;
	const auto deadline = std::chrono::steady_clock::now()
		+ std::chrono::microseconds(forever ? 0 : timeout);
	std::unique_lock<std::mutex> lock(state.mutex);
	if (state.deleting)
		return B_BAD_SEM_ID;
	state.waiting++;
	status_t result = B_TIMED_OUT;
	bool timedOut = false;
	for (;;) {
		if (state.deleting) {
			result = B_BAD_SEM_ID;
			break;
		}
		uint32 word = state.word.load(std::memory_order_relaxed);
		if ((word & LockerState::kHeld) == 0) {
			// Taken; the waiters still blocked must be woken by our release.
			const uint32 taken = LockerState::kHeld
				| (state.waiting > 1 ? LockerState::kWaiters : 0);
			if (state.word.compare_exchange_weak(word, taken,
					std::memory_order_acquire, std::memory_order_relaxed)) {
				result = B_OK;
				break;
			}
			continue;
		}
		if (timedOut)
			break;
		// Announced under the mutex, so that the holder's release, which
		// takes the mutex to wake us, cannot slip in before we wait.
		if ((word & LockerState::kWaiters) == 0
			&& !state.word.compare_exchange_weak(word, word | LockerState::kWaiters,
				std::memory_order_relaxed, std::memory_order_relaxed))
			continue;
		if (forever)
			state.available.wait(lock);
		else if (state.available.wait_until(lock, deadline) == std::cv_status::timeout)
			timedOut = true;   // one more look, then give up
	}
	state.waiting--;
	if (state.deleting && state.waiting == 0)
		state.waitersGone.notify_all();
	return result;
}

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


[[gnu::hot]] bool
BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}


[[gnu::hot]] status_t
BLocker::LockWithTimeout(bigtime_t timeout)
{
	const thread_id self = current_thread_id();
	if (fState->owner.load(std::memory_order_relaxed) == self) {
		fState->nesting.store(fState->nesting.load(std::memory_order_relaxed) + 1,
			std::memory_order_relaxed);
		return B_OK;
	}
	uint32 expected = 0;
	if (!fState->word.compare_exchange_strong(expected, LockerState::kHeld,
			std::memory_order_acquire, std::memory_order_relaxed)) {
		const status_t status = wait_for(*fState, timeout);
		if (status != B_OK)
			return status;
	}
	fState->owner.store(self, std::memory_order_relaxed);
	fState->nesting.store(1, std::memory_order_relaxed);
	return B_OK;
}


[[gnu::hot]] void
BLocker::Unlock()
{
	LockerState& state = *fState;
	if (state.owner.load(std::memory_order_relaxed) != current_thread_id())
		return;
	const int32 nesting = state.nesting.load(std::memory_order_relaxed) - 1;
	state.nesting.store(nesting, std::memory_order_relaxed);
	if (nesting > 0)
		return;
	state.owner.store(-1, std::memory_order_relaxed);
	if ((state.word.exchange(0, std::memory_order_release) & LockerState::kWaiters) != 0) {
		std::lock_guard<std::mutex> lock(state.mutex);
		state.available.notify_all();
	}
}


bool
BLocker::IsLocked() const
{
	return fState->owner.load(std::memory_order_relaxed) == current_thread_id();
}


thread_id
BLocker::LockingThread() const
{
	const thread_id owner = fState->owner.load(std::memory_order_relaxed);
	return owner >= 0 ? owner : B_ERROR;
}


int32
BLocker::CountLocks() const
{
	return fState->owner.load(std::memory_order_relaxed) >= 0
		? fState->nesting.load(std::memory_order_relaxed) : 0;
}


int32
BLocker::CountLockRequests() const
{
	std::lock_guard<std::mutex> lock(fState->mutex);
	const bool held = (fState->word.load(std::memory_order_relaxed) & LockerState::kHeld) != 0;
	return (held ? 1 : 0) + fState->waiting;
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
