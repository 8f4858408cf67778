// Counts mouse clicks the way BeOS does: a press of the same button in the
// same window, within the double-click time of the previous press and a few
// pixels from it, continues the count (2 for a double click, 3 for a triple
// click ...); any other press starts again at 1.
//
// The counter works only on the times and positions it is given, so tests
// can drive it without waiting.
#ifndef DISPLAY_CLICK_COUNTER_H
#define DISPLAY_CLICK_COUNTER_H

#include <SupportDefs.h>

namespace display {

class ClickCounter {
public:
	static constexpr bigtime_t kDoubleClickTime = 500000;   // microseconds
	static constexpr int32 kSlop = 4;                       // pixels either way

	// Returns the click count of this press. Positions in screen coordinates.
	int32 Press(int32 window, uint32 button, int32 screenX, int32 screenY,
		bigtime_t when);
	void Reset() { fCount = 0; }

private:
	int32 fCount = 0;
	int32 fWindow = 0;
	uint32 fButton = 0;
	int32 fX = 0;
	int32 fY = 0;
	bigtime_t fWhen = 0;
};

}

#endif
