// The part of the display server that talks to a window system. All of it
// runs on the display thread except Wake, and Present where the backend
// says so.
#ifndef DISPLAY_DISPLAY_BACKEND_H
#define DISPLAY_DISPLAY_BACKEND_H

#include "display/DisplayServer.h"

#include <vector>

namespace display {

struct WindowRecord;

class DisplayBackend {
public:
	virtual ~DisplayBackend() = default;

	virtual const char* Name() const = 0;
	virtual bool IsHeadless() const = 0;

	virtual status_t Start(int32* screenWidth, int32* screenHeight) = 0;
	virtual void Stop() = 0;

	virtual status_t CreateNative(WindowRecord& window, const WindowParams& params) = 0;
	virtual void DestroyNative(WindowRecord& window) = 0;
	virtual void Move(WindowRecord& window, int32 x, int32 y) = 0;
	virtual void Resize(WindowRecord& window, int32 width, int32 height) = 0;
	virtual void SetTitle(WindowRecord& window, const char* title) = 0;
	virtual void SetDecoration(WindowRecord& window, Decoration decoration) = 0;
	virtual void SetAlwaysOnTop(WindowRecord& window, bool onTop) = 0;
	virtual void Show(WindowRecord& window) = 0;
	virtual void Hide(WindowRecord& window) = 0;
	virtual void Minimize(WindowRecord& window, bool minimize) = 0;
	virtual void Activate(WindowRecord& window) = 0;
	// Puts the damaged rectangles of the window's contents on the screen.
	// Called with the window's contentLock held, on the display thread or,
	// where PresentsOnAnyThread, on the thread that presents.
	virtual void Present(WindowRecord& window, const std::vector<PixelRect>& damage) = 0;
	// Fixed once Start returned: whether Present may be called on any
	// thread, so that a present need not wake the display thread.
	virtual bool PresentsOnAnyThread() const { return false; }

	// Waits up to `timeout` microseconds (B_INFINITE_TIMEOUT: as long as
	// it takes) for window-system events or a Wake, and hands the events
	// to the server.
	virtual void WaitAndDispatch(bigtime_t timeout) = 0;
	// Any thread: makes WaitAndDispatch return soon.
	virtual void Wake() = 0;
};

}

#endif
