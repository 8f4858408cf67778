// The time base that playback runs on.
//
// The player plays no sound: an entry "plays" while its clock moves. The
// program uses SystemClock; tests use ManualClock and move it themselves,
// so that nothing waits for real time.
#ifndef HOST_CLOCK_H
#define HOST_CLOCK_H

#include <SupportDefs.h>

class Clock {
public:
	virtual ~Clock() {}
	// Microseconds from an arbitrary origin; never goes backwards.
	// Safe to call from any thread.
	virtual bigtime_t Now() const = 0;
	// Whether tests may move this clock by hand.
	virtual bool IsManual() const { return false; }
};

#endif
