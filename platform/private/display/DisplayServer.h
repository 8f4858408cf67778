// The display server: this process's one connection to the screen.
//
// BWindow sits on top of this. The server knows nothing of loopers or
// messages: it keeps native windows (an SDL2 window on X11, or a record in
// memory when there is no display), copies pixels to them, and reports what
// happens to them through a DisplayListener.
//
// Threads. One display thread owns the native connection; every SDL call is
// made on it. On X11, presented pixels take another way: the presenting
// thread sends them itself, over a connection of its own, so that drawing
// wakes no other thread (VERSO_PRESENT=sdl sends them through SDL's window
// surfaces on the display thread instead). Any thread may call the methods
// below. Requests are queued for the display thread and woken up there;
// calls that must answer (creating and destroying a window, Sync, the
// Inject* calls) wait for it. A call made on the display thread itself
// (from a listener) runs at once instead of waiting for itself.
//
// Ownership. The server is shared: Get() returns a reference, and the server
// (with its thread) goes away when the last reference is dropped, or at exit.
// The listener given to CreateWindow belongs to the caller; the server calls
// it on the display thread until DestroyWindow returns, never afterwards.
// The pixels given to Present belong to the caller and are copied before
// Present returns, so the caller needs no lock around them beyond its own.
//
// Geometry. Positions are screen coordinates in pixels. A window's frame is
// its client area, as on BeOS; the decoration lies outside it. Sizes are
// pixel counts (a BRect's Width() + 1).
#ifndef DISPLAY_DISPLAY_SERVER_H
#define DISPLAY_DISPLAY_SERVER_H

#include <SupportDefs.h>

#include <memory>
#include <string>
#include <vector>

namespace display {

// Window ids are positive; 0 is "no window".
typedef int32 window_id;

enum class Decoration : uint8 {
	kTitled,      // title tab and border
	kBordered,    // border without a title (the modal look)
	kBorderless   // nothing (menus, tool tips)
};

struct WindowParams {
	std::string title;
	int32 x = 0;
	int32 y = 0;
	int32 width = 1;
	int32 height = 1;
	Decoration decoration = Decoration::kTitled;
	bool alwaysOnTop = false;
	// Menus and tool tips never take the keyboard focus.
	bool acceptsFocus = true;
	bool resizable = true;
};

// A rectangle of pixels: left-top corner and size.
struct PixelRect {
	int32 x;
	int32 y;
	int32 width;
	int32 height;
};

// Pixels to present: 32-bit B, G, R, A bytes in memory (B_RGB32), rows
// `bytesPerRow` apart. The alpha byte is ignored.
struct PixelSource {
	const void* bits;
	int32 width;
	int32 height;
	int32 bytesPerRow;
};

enum class EventType : uint8 {
	kMouseDown,
	kMouseUp,
	kMouseMoved,
	kMouseEntered,
	kMouseExited,
	kMouseWheel,
	kKeyDown,
	kKeyUp,
	kModifiersChanged,
	kWindowMoved,      // screenX/Y: the frame's new left-top corner
	kWindowResized,    // width/height: the new client size
	kWindowActivated,
	kWindowDeactivated,
	kCloseRequested,   // the close box
	kMinimized,
	kRestored,
	kExposed,          // the window's contents must be drawn again
	kFilesDropped      // paths, and screenX/Y: the drop point
};

// One event. Only the fields of its type are meaningful; the others are 0.
struct DisplayEvent {
	EventType type = EventType::kExposed;
	window_id window = 0;
	bigtime_t when = 0;            // microseconds, monotonic (system_time())

	// Pointer events: position in window and in screen coordinates.
	int32 x = 0;
	int32 y = 0;
	int32 screenX = 0;
	int32 screenY = 0;
	// Buttons held after the event (B_PRIMARY_MOUSE_BUTTON 1,
	// B_SECONDARY_MOUSE_BUTTON 2, B_TERTIARY_MOUSE_BUTTON 4).
	uint32 buttons = 0;
	// kMouseDown: 1, 2, 3 ... for quick presses of the same button at
	// nearly the same place.
	int32 clicks = 0;
	// kMouseWheel: steps; positive y scrolls down, positive x right.
	float wheelX = 0;
	float wheelY = 0;

	// Modifier keys in effect (B_SHIFT_KEY, B_COMMAND_KEY, ...), for every
	// input event.
	uint32 modifiers = 0;

	// Key events. `key` is the BeOS key code (KeyMap.h). `bytes` is the UTF-8
	// text the key produces (B_FUNCTION_KEY for function keys), empty for a
	// key that produces nothing; `rawChar` is the character without
	// modifiers. `repeat` counts the automatic repeats of a held key (0 for
	// the first press).
	int32 key = 0;
	int32 rawChar = 0;
	char bytes[8] = {};
	int32 repeat = 0;

	// kWindowMoved: the serial of the last move the program asked for that
	// the window has carried out (0 before any), so that the program can
	// tell a report that an asked-for move has already overtaken.
	uint32 moveSerial = 0;

	// kWindowResized.
	int32 width = 0;
	int32 height = 0;

	// kFilesDropped.
	std::vector<std::string> paths;
};

class DisplayListener {
public:
	virtual ~DisplayListener() = default;
	// Called on the display thread. It should only hand the event on (to a
	// queue); above all it must not wait for a thread that may itself be
	// waiting for the display server.
	virtual void DisplayEventReceived(const DisplayEvent& event) = 0;
};

// What the server knows of a window.
struct WindowState {
	std::string title;
	int32 x = 0;
	int32 y = 0;
	int32 width = 0;
	int32 height = 0;
	Decoration decoration = Decoration::kTitled;
	bool alwaysOnTop = false;
	bool hidden = true;        // windows are created hidden
	bool minimized = false;
	bool active = false;
};

// A key press or release as the keyboard reports it, for InjectKey.
struct KeyInput {
	// The physical key as a USB HID usage id, as SDL numbers it
	// (SDL_SCANCODE_A is 4, SDL_SCANCODE_F1 is 58).
	uint32 scancode = 0;
	// The character of the key in the current layout without modifiers, or
	// 0 to assume a US layout.
	int32 keycode = 0;
	// The text the key typed, if any (UTF-8). Without it the text is worked
	// out from the key and the modifiers.
	const char* text = nullptr;
	bool down = true;
	bool repeat = false;
	bigtime_t when = 0;
};

class DisplayBackend;
class ServerCore;

class DisplayServer {
public:
	// The process's server, created with its thread on first use. The
	// backend is chosen then: VERSO_DISPLAY=sdl or =headless forces one;
	// otherwise VERSO_HEADLESS=1 or no reachable X display means headless.
	// Never null; if SDL cannot start, the server runs headless.
	static std::shared_ptr<DisplayServer> Get();

	~DisplayServer();
	DisplayServer(const DisplayServer&) = delete;
	DisplayServer& operator=(const DisplayServer&) = delete;

	bool IsHeadless() const;
	const char* BackendName() const;

	// Size of the main screen in pixels. Headless: 1280 x 1024 unless
	// VERSO_SCREEN_SIZE says otherwise (e.g. "1920x1080").
	void GetScreenSize(int32* width, int32* height) const;

	// Creates a hidden window. Returns its id, or an error (< 0).
	window_id CreateWindow(const WindowParams& params, DisplayListener* listener);
	// After this returns the listener is no longer called.
	status_t DestroyWindow(window_id id);

	// Requests from the program. The server's state (GetWindowState) follows
	// at once; the native window follows soon after on the display thread,
	// and a move or resize is reported back to the listener as an event.
	// `serial`, when not 0, numbers the program's moves; move reports carry
	// the number of the last one carried out.
	status_t MoveWindow(window_id id, int32 x, int32 y, uint32 serial = 0);
	status_t ResizeWindow(window_id id, int32 width, int32 height);
	status_t SetTitle(window_id id, const char* title);
	status_t SetDecoration(window_id id, Decoration decoration);
	status_t SetAlwaysOnTop(window_id id, bool onTop);
	status_t ShowWindow(window_id id);
	status_t HideWindow(window_id id);
	// Minimizing and activation are granted by the window system, so the
	// state changes when it reports back (call Sync to wait for headless).
	status_t MinimizeWindow(window_id id, bool minimize);
	// Brings the window to the front of its layer and gives it the focus.
	status_t ActivateWindow(window_id id);

	status_t GetWindowState(window_id id, WindowState* state) const;
	// All windows, front to back: always-on-top windows first.
	std::vector<window_id> WindowOrder() const;

	// Copies the given rectangles of `source` (clipped to it and to the
	// window) into the window's contents and puts them on the screen.
	status_t Present(window_id id, const PixelSource& source,
		const PixelRect* rects, int32 count);
	// The window's last presented contents, one uint32 0xAARRGGBB per pixel,
	// row after row.
	status_t ReadContents(window_id id, std::vector<uint32>* pixels,
		int32* width, int32* height) const;
	status_t WriteContentsToPng(window_id id, const char* path) const;

	// The keyboard's modifier keys as last seen.
	uint32 Modifiers() const;

	// Waits until every request made before it has been carried out and
	// the events it caused have been delivered.
	status_t Sync();

	// Input as the window system would deliver it, for tests (and useful on
	// any backend). Each call returns after the listener got the events.
	// Positions are window coordinates; `button` is a BeOS button bit.
	status_t InjectMouseMove(window_id id, int32 x, int32 y, bigtime_t when);
	status_t InjectMouseButton(window_id id, int32 x, int32 y, uint32 button,
		bool down, bigtime_t when);
	status_t InjectKey(window_id id, const KeyInput& input);
	status_t InjectText(window_id id, const char* utf8, bigtime_t when);
	status_t InjectDrop(window_id id, const std::vector<std::string>& paths,
		int32 screenX, int32 screenY, bigtime_t when);
	status_t InjectCloseRequest(window_id id);
	// The user moved or resized the window with the window manager.
	status_t InjectUserFrame(window_id id, int32 x, int32 y, int32 width,
		int32 height);

private:
	DisplayServer();
	static void ShutdownAtExit();

	std::shared_ptr<ServerCore> fCore;
};

// The monotonic clock the server stamps events with, in microseconds.
bigtime_t display_clock();

}

#endif
