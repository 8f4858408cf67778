#include "SystemClock.h"

#include <OS.h>

bigtime_t SystemClock::Now() const
{
	return system_time();
}
