// What a BLocker keeps behind its public face: who holds it, how often, and
// who waits. Everything is guarded by `mutex`.
#ifndef PRIVATE_SUPPORT_LOCKER_STATE_H
#define PRIVATE_SUPPORT_LOCKER_STATE_H

#include <OS.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace BPrivate {

struct LockerState {
	std::mutex mutex;
	std::condition_variable available;   // signalled when the lock becomes free
	std::condition_variable waitersGone; // signalled when the last waiter leaves

	std::string name;
	sem_id sem = -1;

	bool held = false;
	std::thread::id owner;               // meaningful while `held`
	thread_id ownerThread = -1;          // the platform id of `owner`
	int32 nesting = 0;                   // the owner's Lock count
	int32 waiting = 0;                   // threads blocked in Lock
	bool deleting = false;               // set by the destructor
};

}

#endif
