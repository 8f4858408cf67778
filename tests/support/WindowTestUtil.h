// Helpers for the window tests: pixels of a window after its thread has
// caught up, quitting a window from the test.
#ifndef WINDOW_TEST_UTIL_H
#define WINDOW_TEST_UTIL_H

#include <Application.h>
#include <GraphicsDefs.h>
#include <Window.h>

#include "interface/WindowAccess.h"

#include <vector>

namespace windowtest {

// What the window shows after everything queued so far was handled.
class Pixels {
public:
	explicit Pixels(BWindow* window);
	uint32 At(int32 x, int32 y) const;   // 0xRRGGBB (alpha dropped)
	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// Pixels equal to `rgb` inside the rectangle (edges included).
	int32 Count(uint32 rgb, int32 left, int32 top, int32 right, int32 bottom) const;
	// Rows / columns holding at least one pixel other than `background`.
	bool RowHasInk(int32 y, uint32 background) const;
private:
	std::vector<uint32> fPixels;
	int32 fWidth = 0;
	int32 fHeight = 0;
};

inline uint32 rgb(rgb_color c)
{
	return ((uint32)c.red << 16) | ((uint32)c.green << 8) | c.blue;
}

// Runs `read(window)` with the window locked and returns what it returns;
// `fallback` when the window cannot be locked.
template <typename Window, typename Result, typename Read>
Result locked(Window* window, Result fallback, Read read)
{
	if (!window->Lock())
		return fallback;
	Result result = read(window);
	window->Unlock();
	return result;
}

// The application's first window whose title begins with `titlePrefix`,
// or NULL.
BWindow* find_window(const char* titlePrefix);

// Quits a window from the test thread.
void quit(BWindow* window);

// Input as the user would give it; positions are window coordinates. Each
// call returns once the window's thread has handled the input.
void mouse_move(BWindow* window, int32 x, int32 y);
void mouse_button(BWindow* window, int32 x, int32 y, bool down,
	uint32 button = 1 /* B_PRIMARY_MOUSE_BUTTON */);
void click(BWindow* window, int32 x, int32 y, uint32 button = 1);
// A key by its USB HID usage id (SDL scancode: A = 4, Return = 40,
// Escape = 41, Backspace = 42, Tab = 43, Space = 44, Right = 79, Left = 80,
// Down = 81, Up = 82, F1 = 58), pressed and released. `text` is what it
// types, when it types something other than its US-layout character.
void key(BWindow* window, uint32 scancode, const char* text = nullptr);
// Types UTF-8 text as the input method would.
void type(BWindow* window, const char* utf8);
void settle(BWindow* window);

}

#endif
