// The windows of the application. The Interface Kit's BWindow registers
// itself here when it is made and unregisters when it goes, so that
// BApplication can list its windows and ask them to quit.
#ifndef PRIVATE_APP_APP_WINDOWS_H
#define PRIVATE_APP_APP_WINDOWS_H

#include <SupportDefs.h>

#include <vector>

class BLooper;
class BWindow;

namespace BPrivate {

struct AppWindow {
	BWindow* window;
	BLooper* looper;     // the same object, as a looper
};

// `looper` must be `window` itself (BWindow derives from BLooper; the kit
// cannot convert the pointer without the Interface Kit's headers).
void register_window(BWindow* window, BLooper* looper);
void unregister_window(BWindow* window);
// In the order they were registered.
std::vector<AppWindow> app_windows();

}

#endif
