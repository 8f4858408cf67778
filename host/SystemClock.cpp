#include "SystemClock.h"

#include <OS.h>

[[gnu::hot]] bigtime_t SystemClock::Now() const
{
	return system_time();
}
