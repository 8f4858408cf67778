// A word that threads of this process sleep on until another changes it:
// a Linux futex, for waits that must cost no more system calls than the
// sleep and the wake-up themselves.
//
// The waiter reads the word (usually under the lock that guards what it
// waits for), lets go of that lock and calls Wait with the value it read;
// whoever changes what it waits for bumps the word under that lock and
// calls WakeAll after letting go of it. A bump between the read and the
// wait makes the wait return at once, so no wake-up is ever lost. The
// word carries no data: what it announces is read under the lock.
#ifndef PRIVATE_KERNEL_WAKE_WORD_H
#define PRIVATE_KERNEL_WAKE_WORD_H

#include <OS.h>

#include <atomic>

namespace BPrivate {

class WakeWord {
public:
	uint32 Value() const { return fWord.load(std::memory_order_acquire); }
	void Bump() { fWord.fetch_add(1, std::memory_order_release); }

	// Sleeps while the word still holds `seen`, at most until `deadline`
	// (a system_time(); B_INFINITE_TIMEOUT for no limit). May return
	// early without cause: the caller looks again and waits again.
	void Wait(uint32 seen, bigtime_t deadline);
	// Wakes every thread in Wait.
	void WakeAll();

private:
	std::atomic<uint32> fWord{0};
};

}

#endif
