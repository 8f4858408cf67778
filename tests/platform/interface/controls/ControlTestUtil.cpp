#include "ControlTestUtil.h"

#include <View.h>

#include <cmath>

namespace controltest {

BPoint centre_in_window(BView* view)
{
	BWindow* window = view->Window();
	window->Lock();
	BRect bounds = view->Bounds();
	BPoint centre((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
	BPoint screen = view->ConvertToScreen(centre);
	BPoint inWindow = window->ConvertFromScreen(screen);
	window->Unlock();
	return BPoint(std::floor(inWindow.x), std::floor(inWindow.y));
}

}
