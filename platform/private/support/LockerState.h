// What a BLocker keeps behind its public face.
//
// `word` says whether the locker is held and whether threads may be waiting
// for it. A thread takes a free locker with one compare-and-swap and gives
// it back with one exchange; only a release that finds waiters announced
// takes `mutex` to wake them. The holder alone writes `owner` and `nesting`.
// Everything from `name` on is guarded by `mutex`.
#ifndef PRIVATE_SUPPORT_LOCKER_STATE_H
#define PRIVATE_SUPPORT_LOCKER_STATE_H

#include <OS.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

namespace BPrivate {

struct LockerState {
	static constexpr uint32 kHeld = 1;
	static constexpr uint32 kWaiters = 2;    // a release must wake `available`

	std::atomic<uint32> word{0};
	std::atomic<thread_id> owner{-1};        // the holder, -1 while free
	std::atomic<int32> nesting{0};           // the holder's Lock count

	std::mutex mutex;
	std::condition_variable available;       // signalled when a release finds waiters
	std::condition_variable waitersGone;     // signalled when the last waiter leaves

	std::string name;
	sem_id sem = -1;
	int32 waiting = 0;                       // threads blocked in Lock
	bool deleting = false;                   // set by the destructor
};

}

#endif
