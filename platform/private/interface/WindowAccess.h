// What tests and tools may ask of a window beyond the public API: its
// native window, its pixels, a PNG of it.
#ifndef PRIVATE_INTERFACE_WINDOW_ACCESS_H
#define PRIVATE_INTERFACE_WINDOW_ACCESS_H

#include <SupportDefs.h>

#include "display/DisplayServer.h"

#include <vector>

class BWindow;

namespace BPrivate {

class WindowAccess {
public:
	// 0 for a bitmap's hidden window.
	static display::window_id NativeWindow(const BWindow* window);
	// The window's backbuffer as drawn so far (one 0xAARRGGBB uint32 per
	// pixel, rows after rows). Call with the window locked, or from its
	// thread.
	static void ReadBackbuffer(const BWindow* window, std::vector<uint32>* pixels,
		int32* width, int32* height);
	// Waits until the window's thread has handled everything queued before
	// (updates included) and the display shows the result. Not from the
	// window's own thread.
	static status_t Settle(BWindow* window);
	// Puts what was drawn on the screen, waits for it, and writes the
	// window's contents as a PNG file.
	static status_t WritePng(BWindow* window, const char* path);
};

}

#endif
