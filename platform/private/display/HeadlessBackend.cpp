#include "display/HeadlessBackend.h"

#include <OS.h>

#include "display/ServerCore.h"

#include <chrono>

namespace display {

status_t HeadlessBackend::Start(int32*, int32*)
{
	// The screen size was set from the environment by the server.
	return B_OK;
}

status_t HeadlessBackend::CreateNative(WindowRecord& window, const WindowParams&)
{
	// Any non-null value: the window exists.
	window.native = &window;
	return B_OK;
}

void HeadlessBackend::DestroyNative(WindowRecord& window)
{
	PassFocusOn(window);
	window.native = nullptr;
}

void HeadlessBackend::Show(WindowRecord& window)
{
	fCore.OnNativeExposed(window);
	Focus(window);
}

void HeadlessBackend::Hide(WindowRecord& window)
{
	PassFocusOn(window);
}

void HeadlessBackend::Minimize(WindowRecord& window, bool minimize)
{
	fCore.OnNativeMinimized(window, minimize);
	if (minimize) {
		PassFocusOn(window);
	} else {
		fCore.OnNativeExposed(window);
		Focus(window);
	}
}

void HeadlessBackend::Activate(WindowRecord& window)
{
	Focus(window);
}

void HeadlessBackend::Focus(WindowRecord& window)
{
	bool focusable;
	{
		ServerCore::StateAccess state(fCore);
		focusable = window.acceptsFocus && !state.Of(window).hidden
			&& !state.Of(window).minimized;
	}
	if (!focusable)
		return;
	for (WindowRef& other : fCore.ActiveWindows()) {
		if (other.get() != &window)
			fCore.OnNativeFocus(*other, false);
	}
	fCore.OnNativeFocus(window, true);
}

void HeadlessBackend::PassFocusOn(WindowRecord& window)
{
	bool active;
	{
		active = ServerCore::StateAccess(fCore).Of(window).active;
	}
	if (!active)
		return;
	fCore.OnNativeFocus(window, false);
	if (WindowRef next = fCore.FrontFocusable(window.id))
		fCore.OnNativeFocus(*next, true);
}

void HeadlessBackend::WaitAndDispatch(bigtime_t timeout)
{
	std::unique_lock<std::mutex> lock(fLock);
	if (timeout == B_INFINITE_TIMEOUT)
		fSignal.wait(lock, [this]() { return fWoken; });
	else
		fSignal.wait_for(lock, std::chrono::microseconds(timeout), [this]() { return fWoken; });
	fWoken = false;
}

void HeadlessBackend::Wake()
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fWoken = true;
	}
	// after the lock is let go of, so that the display thread does not
	// wake only to wait for it
	fSignal.notify_one();
}

}
