// What the display server keeps for one window.
#ifndef DISPLAY_WINDOW_RECORD_H
#define DISPLAY_WINDOW_RECORD_H

#include "display/DisplayServer.h"

#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace display {

struct WindowRecord {
	WindowRecord(window_id id, DisplayListener* listener, const WindowParams& params);

	const window_id id;
	DisplayListener* const listener;
	const bool acceptsFocus;
	const bool resizable;

	// The window's state. Guarded by the server's state lock.
	WindowState state;

	// Display thread only.
	void* native = nullptr;        // the backend's window
	bool destroyed = false;
	int32 reportedX;               // geometry as last reported to the listener
	int32 reportedY;
	int32 reportedWidth;
	int32 reportedHeight;
	// Geometry the program asked for and the window system has not yet
	// confirmed: its confirmations are not news to the listener.
	std::deque<std::pair<int32, int32>> pendingMoves;
	std::deque<std::pair<int32, int32>> pendingSizes;
	uint32 moveSerial = 0;         // of the last program move carried out
	bigtime_t lastShot = 0;
	bigtime_t shotDue = 0;         // 0: no screenshot waiting

	// The last presented contents, 0xAARRGGBB. Guarded by contentLock, which
	// a presenting thread holds while it copies in and the display thread
	// while it copies out.
	std::mutex contentLock;
	std::vector<uint32> pixels;
	int32 contentWidth = 0;
	int32 contentHeight = 0;
	std::vector<PixelRect> damage;
	bool presentQueued = false;
	// The window system's id of the native window, for backends that
	// present on any thread; 0 when there is none (any more).
	uint32 presentTarget = 0;

	// Changes the contents' size, keeping what overlaps; new pixels are
	// white. Call with contentLock held. False (and nothing changed) when
	// there is no memory for the new size.
	bool ResizeContents(int32 width, int32 height);
};

}

#endif
