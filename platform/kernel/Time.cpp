// Clocks.

#include <OS.h>

#include <time.h>

[[gnu::hot]] bigtime_t system_time(void)
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

uint32 real_time_clock(void)
{
	return (uint32)time(nullptr);
}
