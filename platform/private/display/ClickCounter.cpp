#include "display/ClickCounter.h"

#include <stdlib.h>

namespace display {

int32 ClickCounter::Press(int32 window, uint32 button, int32 screenX,
	int32 screenY, bigtime_t when)
{
	bool continues = fCount > 0 && window == fWindow && button == fButton
		&& when >= fWhen && when - fWhen <= kDoubleClickTime
		&& abs(screenX - fX) <= kSlop && abs(screenY - fY) <= kSlop;
	fCount = continues ? fCount + 1 : 1;
	fWindow = window;
	fButton = button;
	// The next press is measured from this one, so a slow drift of the
	// pointer over a triple click still counts.
	fX = screenX;
	fY = screenY;
	fWhen = when;
	return fCount;
}

}
