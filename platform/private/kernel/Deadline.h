// When a blocking kernel call gives up: the flags and time-out of the *_etc
// calls turned into one point in system_time().
#ifndef PRIVATE_KERNEL_DEADLINE_H
#define PRIVATE_KERNEL_DEADLINE_H

#include <OS.h>

namespace BPrivate {

struct Deadline {
	static constexpr bigtime_t kForever = B_INFINITE_TIMEOUT / 2000;

	bigtime_t at = B_INFINITE_TIMEOUT;  // system_time() at which the wait ends
	bool poll = false;                  // a relative time-out of 0: never wait

	bool Infinite() const { return at == B_INFINITE_TIMEOUT; }
	// B_WOULD_BLOCK for a poll, B_TIMED_OUT for a wait that ran out.
	status_t Expired() const { return poll ? B_WOULD_BLOCK : B_TIMED_OUT; }

	static Deadline Never() { return Deadline(); }

	static Deadline From(uint32 flags, bigtime_t timeout)
	{
		Deadline d;
		if (flags & B_ABSOLUTE_TIMEOUT) {
			d.at = timeout;
		} else if (flags & B_RELATIVE_TIMEOUT) {
			if (timeout <= 0) {
				d.poll = true;
				d.at = 0;
			} else {
				const bigtime_t now = system_time();
				d.at = timeout >= kForever - now ? B_INFINITE_TIMEOUT : now + timeout;
			}
		}
		// Waits end on the steady clock, counted in nanoseconds: anything
		// beyond about a century is "for ever", not an overflow.
		if (d.at >= kForever)
			d.at = B_INFINITE_TIMEOUT;
		return d;
	}

	static Deadline After(bigtime_t amount)
	{
		return From(B_RELATIVE_TIMEOUT, amount);
	}
};

}

#endif
