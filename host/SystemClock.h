// The real clock: system_time().
#ifndef HOST_SYSTEM_CLOCK_H
#define HOST_SYSTEM_CLOCK_H

#include "Clock.h"

class SystemClock : public Clock {
public:
	virtual bigtime_t Now() const override;
};

#endif
