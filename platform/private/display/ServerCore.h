// The display server's state and its display thread. DisplayServer is the
// handle the rest of the library holds; the backends report what the window
// system does through the On* calls, which run on the display thread.
#ifndef DISPLAY_SERVER_CORE_H
#define DISPLAY_SERVER_CORE_H

#include "display/ClickCounter.h"
#include "display/DisplayBackend.h"
#include "display/DisplayServer.h"
#include "display/KeyMap.h"
#include "display/WindowRecord.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace display {

typedef std::shared_ptr<WindowRecord> WindowRef;

// Remembers a position or size the program asked for, so that the window
// system's confirmation is not reported a second time.
void remember_pending_geometry(std::deque<std::pair<int32, int32>>& pending,
	int32 a, int32 b);

// Threads. Each method below says which threads may call it. "Display
// thread" methods check it where misuse checks are on (see
// support/Misuse.h) and stop the program with a report naming the call
// when another thread calls them.
class ServerCore : public std::enable_shared_from_this<ServerCore> {
public:
	ServerCore();
	~ServerCore();

	// ---- Any thread.

	// Starts the display thread and waits until its backend is up. Once,
	// before anything else.
	void Start();
	// Ends the display thread after the requests already queued. Safe to
	// call more than once and from any thread.
	void Shutdown();

	bool OnDisplayThread() const;
	// Queues `work` for the display thread. Fails once the server stopped.
	status_t Post(std::function<void()> work);
	// Runs `work` on the display thread and waits for it.
	status_t RunSync(const std::function<void()>& work);

	// Chosen while starting, fixed afterwards.
	bool IsHeadless() const { return fBackend->IsHeadless(); }
	const char* BackendName() const { return fBackend->Name(); }
	// False when a present would change nothing (no screen, no pictures).
	bool PresentsAnything() const { return !fBackend->IsHeadless() || WritesPictures(); }
	// True when the screen is updated by the thread that presents, which
	// then calls PresentInPlace with the window's contentLock held.
	bool PresentsInPlace() const { return fBackend->PresentsOnAnyThread(); }
	void PresentInPlace(WindowRecord& window, const std::vector<PixelRect>& damage)
		{ fBackend->Present(window, damage); }
	// True when presented contents are also written as pictures, which the
	// display thread does (DoPresent).
	bool WritesPictures() const { return !fShotDir.empty(); }
	void GetScreenSize(int32* width, int32* height) const;

	// The keyboard's modifier keys as last seen.
	uint32 Modifiers() const { return fModifiers.load(); }

	WindowRef Find(window_id id) const;
	window_id NewWindowId();

	// Holds the state lock for as long as it lives; through it the windows'
	// states and their order are read and changed. Nothing else of the core
	// may be called while one is alive (the lock does not nest).
	class StateAccess {
	public:
		explicit StateAccess(ServerCore& core);
		StateAccess(const StateAccess&) = delete;
		StateAccess& operator=(const StateAccess&) = delete;

		WindowState& Of(WindowRecord& window) { return window.state; }
		// Puts the window at the front of its layer.
		void Raise(window_id id, bool alwaysOnTop);
		const std::vector<window_id>& Order() const { return fCore.fOrder; }

	private:
		ServerCore& fCore;
		std::lock_guard<std::mutex> fLock;
	};

	// ---- Display thread: the window table.
	// Enters a window whose native window now exists, at the front of its
	// layer.
	void AddWindow(const WindowRef& window, bool alwaysOnTop);
	// Destroys the native window (writing a screenshot still due first)
	// and forgets the window.
	void RemoveWindow(WindowRecord& window);
	// The backend, for carrying out requests.
	DisplayBackend& Backend();

	// ---- Display thread: what the window system reports.
	void OnNativeMoved(WindowRecord& window, int32 x, int32 y);
	void OnNativeResized(WindowRecord& window, int32 width, int32 height);
	void OnNativeFocus(WindowRecord& window, bool active);
	void OnNativeMinimized(WindowRecord& window, bool minimized);
	void OnNativeExposed(WindowRecord& window);
	void OnNativeClose(WindowRecord& window);
	void OnMouseMove(WindowRecord& window, int32 x, int32 y, bigtime_t when);
	void OnMouseButton(WindowRecord& window, int32 x, int32 y, uint32 button,
		bool down, bigtime_t when);
	void OnMouseCrossing(WindowRecord& window, bool entered, bigtime_t when);
	void OnMouseWheel(WindowRecord& window, float x, float y, bigtime_t when);
	void OnKey(WindowRecord& window, const KeyInput& input);
	void OnText(WindowRecord& window, const char* utf8, bigtime_t when);
	void OnDrop(WindowRecord& window, const std::vector<std::string>& paths,
		int32 screenX, int32 screenY, bigtime_t when);
	// Takes over the keyboard's modifier state as the window system reads it.
	void SyncModifiers(uint32 modifiers);

	// ---- Display thread: helpers for the backends.
	WindowRef FindByNative(const void* native) const;
	// The front visible, not minimized window that takes the focus, other
	// than `except`.
	WindowRef FrontFocusable(window_id except) const;
	std::vector<WindowRef> ActiveWindows() const;

	// ---- Display thread: carrying out requests.
	void ReportMoved(WindowRecord& window, int32 x, int32 y);
	void ReportResized(WindowRecord& window, int32 width, int32 height);
	void DoPresent(window_id id);

private:
	void ThreadMain(std::function<void(status_t)> started);
	// Stops the program (checks on) when not called on the display thread.
	void CheckDisplayThread(const char* call) const;
	void RaiseLocked(window_id id, bool alwaysOnTop);
	void Deliver(WindowRecord& window, DisplayEvent& event);
	void SetPosition(WindowRecord& window, DisplayEvent& event, int32 x, int32 y);
	void WriteScreenshot(WindowRecord& window);
	void WriteDueScreenshots();
	bigtime_t NextTimeout() const;

	// Set while starting (before Start returns), then read-only; the
	// backend itself is used on the display thread only.
	std::unique_ptr<DisplayBackend> fBackend;
	int32 fScreenWidth = 1280;
	int32 fScreenHeight = 1024;
	std::string fShotDir;
	std::thread fThread;
	std::thread::id fThreadId;

	// Requests for the display thread.
	std::mutex fQueueLock;
	std::deque<std::function<void()>> fQueue;
	bool fAccepting = false;
	bool fStopping = false;
	// Guards waking the backend from other threads against its Stop, so
	// that Post can wake the display thread without holding fQueueLock
	// (which the woken thread takes first).
	std::mutex fWakeLock;
	bool fBackendStopped = false;
	std::mutex fShutdownLock;
	bool fJoined = false;

	// Window state; also guards fNextId.
	mutable std::mutex fStateLock;
	std::map<window_id, WindowRef> fWindows;
	std::vector<window_id> fOrder;         // front to back
	window_id fNextId = 1;

	// Input state, display thread only (except the atomic modifiers).
	ClickCounter fClicks;
	uint32 fButtons = 0;
	ModifierState fModifierState;
	std::atomic<uint32> fModifiers{0};
	uint32 fRepeatScancode = 0;
	int32 fRepeatCount = 0;
	std::unordered_map<uint32, KeyChars> fKeysDown;
};

}

#endif
