#include "kernel/WakeWord.h"

#include <errno.h>
#include <limits.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

namespace BPrivate {

static_assert(sizeof(std::atomic<uint32>) == sizeof(uint32)
	&& std::atomic<uint32>::is_always_lock_free, "a futex is a plain 32-bit word");

[[gnu::hot]] void WakeWord::Wait(uint32 seen, bigtime_t deadline)
{
	uint32* word = reinterpret_cast<uint32*>(&fWord);
	// Beyond some 35 years a deadline is as good as none (and would overflow).
	if (deadline < 0 || deadline >= ((bigtime_t)1 << 50)) {
		syscall(SYS_futex, word, FUTEX_WAIT_PRIVATE, seen, nullptr, nullptr, 0);
		return;
	}
	// An absolute wait on the clock of system_time() (CLOCK_MONOTONIC), so
	// that the clock need not be read again to make it relative.
	const timespec at = {(time_t)(deadline / 1000000), (long)(deadline % 1000000) * 1000};
	syscall(SYS_futex, word, FUTEX_WAIT_BITSET_PRIVATE, seen, &at, nullptr,
		FUTEX_BITSET_MATCH_ANY);
}

[[gnu::hot]] void WakeWord::WakeAll()
{
	syscall(SYS_futex, reinterpret_cast<uint32*>(&fWord), FUTEX_WAKE_PRIVATE, INT_MAX,
		nullptr, nullptr, 0);
}

}
