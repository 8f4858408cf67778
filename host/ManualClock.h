// A clock that stands still until someone moves it. Any thread may read or
// advance it.
#ifndef HOST_MANUAL_CLOCK_H
#define HOST_MANUAL_CLOCK_H

#include "Clock.h"

#include <atomic>

class ManualClock : public Clock {
public:
	explicit ManualClock(bigtime_t start = 0) : fNow(start) {}

	virtual bigtime_t Now() const override { return fNow.load(); }
	virtual bool IsManual() const override { return true; }

	// Moves the clock forward; a negative amount is ignored (a clock never
	// goes back).
	void Advance(bigtime_t amount)
	{
		if (amount > 0)
			fNow.fetch_add(amount);
	}

private:
	std::atomic<bigtime_t> fNow;
};

#endif
