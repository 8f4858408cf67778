#include "display/SdlBackend.h"

#include <InterfaceDefs.h>
#include <ViewDefs.h>
#include "display/ServerCore.h"
#include "display/X11Presenter.h"

#include <OS.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace display {

namespace {

// One SDL per process: a server that is being replaced finishes SDL_Quit
// before the next one calls SDL_Init.
std::mutex sSdlLock;

// Events handled in one go before queued requests get their turn again.
const int kEventBatch = 256;

uint32 be_button(uint8 button)
{
	switch (button) {
		case SDL_BUTTON_LEFT:   return B_PRIMARY_MOUSE_BUTTON;
		case SDL_BUTTON_RIGHT:  return B_SECONDARY_MOUSE_BUTTON;
		case SDL_BUTTON_MIDDLE: return B_TERTIARY_MOUSE_BUTTON;
		case SDL_BUTTON_X1:     return 8;
		case SDL_BUTTON_X2:     return 16;
		default:                return 0;
	}
}

uint32 be_modifiers(uint16 mod)
{
	uint32 state = 0;
	if (mod & KMOD_LSHIFT) state |= B_LEFT_SHIFT_KEY;
	if (mod & KMOD_RSHIFT) state |= B_RIGHT_SHIFT_KEY;
	if (mod & KMOD_LCTRL)  state |= B_LEFT_CONTROL_KEY;
	if (mod & KMOD_RCTRL)  state |= B_RIGHT_CONTROL_KEY;
	if (mod & KMOD_LALT)   state |= B_LEFT_COMMAND_KEY;
	if (mod & KMOD_RALT)   state |= B_RIGHT_COMMAND_KEY;
	if (mod & KMOD_LGUI)   state |= B_LEFT_OPTION_KEY;
	if (mod & KMOD_RGUI)   state |= B_RIGHT_OPTION_KEY;
	if (mod & KMOD_CAPS)   state |= B_CAPS_LOCK;
	if (mod & KMOD_NUM)    state |= B_NUM_LOCK;
	if (mod & KMOD_SCROLL) state |= B_SCROLL_LOCK;
	return state;
}

// What SDL knows of the X11 window behind `window`; false when there is
// none (another window system).
bool x11_info(SDL_Window* window, SDL_SysWMinfo* info)
{
	SDL_VERSION(&info->version);
	return window != nullptr && SDL_GetWindowWMInfo(window, info)
		&& info->subsystem == SDL_SYSWM_X11;
}

// SDL knows a border with a title and no border at all. The modal look (a
// border without a title) is asked of the window manager directly, with
// the Motif hints that X11 window managers read. libX11 is already loaded
// by SDL; it is looked up here rather than linked.
void set_border_only(SDL_Window* window)
{
	SDL_SysWMinfo info;
	if (!x11_info(window, &info))
		return;
	static void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
	if (x11 == nullptr)
		return;
	typedef Atom (*InternAtom)(Display*, const char*, Bool);
	typedef int (*ChangeProperty)(Display*, Window, Atom, Atom, int, int,
		const unsigned char*, int);
	typedef int (*Flush)(Display*);
	auto internAtom = (InternAtom)dlsym(x11, "XInternAtom");
	auto changeProperty = (ChangeProperty)dlsym(x11, "XChangeProperty");
	auto flush = (Flush)dlsym(x11, "XFlush");
	if (internAtom == nullptr || changeProperty == nullptr || flush == nullptr)
		return;
	Display* display = info.info.x11.display;
	Atom hintsAtom = internAtom(display, "_MOTIF_WM_HINTS", False);
	struct {
		unsigned long flags;
		unsigned long functions;
		unsigned long decorations;
		long inputMode;
		unsigned long status;
	} hints = { 1ul << 1 /* decorations */, 0, 1ul << 1 /* border */, 0, 0 };
	changeProperty(display, info.info.x11.window, hintsAtom, hintsAtom, 32,
		PropModeReplace, (const unsigned char*)&hints, 5);
	flush(display);
}

class SdlBackend : public DisplayBackend {
public:
	explicit SdlBackend(ServerCore& core) : fCore(core) {}
	~SdlBackend() override
	{
		if (fWakeFd >= 0)
			close(fWakeFd);
	}

	const char* Name() const override { return "sdl"; }
	bool IsHeadless() const override { return false; }

	status_t Start(int32* screenWidth, int32* screenHeight) override;
	void Stop() override;

	status_t CreateNative(WindowRecord& window, const WindowParams& params) override;
	void DestroyNative(WindowRecord& window) override;
	void Move(WindowRecord& window, int32 x, int32 y) override
		{ SDL_SetWindowPosition(Native(window), x, y); }
	void Resize(WindowRecord& window, int32 width, int32 height) override
		{ SDL_SetWindowSize(Native(window), width, height); }
	void SetTitle(WindowRecord& window, const char* title) override
		{ SDL_SetWindowTitle(Native(window), title); }
	void SetDecoration(WindowRecord& window, Decoration decoration) override;
	void SetAlwaysOnTop(WindowRecord& window, bool onTop) override
		{ SDL_SetWindowAlwaysOnTop(Native(window), onTop ? SDL_TRUE : SDL_FALSE); }
	void Show(WindowRecord& window) override;
	void Hide(WindowRecord& window) override { SDL_HideWindow(Native(window)); }
	void Minimize(WindowRecord& window, bool minimize) override;
	void Activate(WindowRecord& window) override { SDL_RaiseWindow(Native(window)); }
	void Present(WindowRecord& window, const std::vector<PixelRect>& damage) override;
	bool PresentsOnAnyThread() const override { return fPresenter != nullptr; }

	void WaitAndDispatch(bigtime_t timeout) override;
	void Wake() override;

private:
	static SDL_Window* Native(WindowRecord& window)
		{ return (SDL_Window*)window.native; }
	WindowRef WindowFor(uint32 sdlWindowId) const;
	bigtime_t When(uint32 timestamp) const
		{ return fTickBase + (bigtime_t)timestamp * 1000; }
	void Repaint(WindowRecord& window);
	void PresentThroughSdl(WindowRecord& window, const std::vector<PixelRect>& damage);

	void Dispatch(const SDL_Event& event);
	void DispatchWindowEvent(const SDL_WindowEvent& event);
	void DispatchKey(const SDL_KeyboardEvent& event);
	void DispatchText(const SDL_TextInputEvent& event);
	void FlushPendingKey();
	void DeliverDrop();

	ServerCore& fCore;
	bool fLocked = false;
	// The thread waits in poll() on the X connection and on fWakeFd, which
	// Wake writes to. (SDL's own waiting polls every millisecond while it
	// has no window, and wakes itself through a window that another
	// thread may be destroying.) The hidden window only lends its
	// connection.
	SDL_Window* fConnectionWindow = nullptr;
	int fDisplayFd = -1;
	int fWakeFd = -1;
	// On X11 with the usual 24-bit screen, window contents go out through
	// the presenter on whichever thread presents them. Its connection is
	// waited on too, for the errors of windows that went away meanwhile.
	std::unique_ptr<X11Presenter> fPresenter;
	int fPresenterFd = -1;
	bigtime_t fTickBase = 0;
	std::unordered_map<uint32, window_id> fIds;   // SDL's window ids to ours

	// A key press waits for the text SDL sends right after it, so that
	// both arrive as one key-down.
	bool fHasPendingKey = false;
	window_id fPendingKeyWindow = 0;
	KeyInput fPendingKey;
	std::string fPendingText;

	// Files of a drop arrive one by one between a begin and a complete.
	bool fInDrop = false;
	uint32 fDropWindow = 0;
	std::vector<std::string> fDropPaths;
};

status_t SdlBackend::Start(int32* screenWidth, int32* screenHeight)
{
	sSdlLock.lock();
	fLocked = true;
	// X11 also under Wayland (through XWayland): windows must be placeable.
	// A driver the user chose in SDL_VIDEODRIVER still wins.
	SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
	SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
	SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
	SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
	SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
	// A click that activates a window is still a click; BWindow decides
	// whether the window takes it.
	SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
	// Window surfaces in plain X11 memory, not through an OpenGL renderer.
	SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");

	// Without a session bus, libdbus would have dbus-launch start one for
	// SDL's input-method and screen-saver support, and that daemon would
	// outlive the program. SDL does without the bus.
	const char* bus = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (bus == NULL || bus[0] == '\0')
		setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);

	if (SDL_Init(SDL_INIT_VIDEO) != 0) {
		fprintf(stderr, "display: SDL: %s\n", SDL_GetError());
		fLocked = false;
		sSdlLock.unlock();
		return B_ERROR;
	}
	fWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
	fConnectionWindow = SDL_CreateWindow("", 0, 0, 1, 1,
		SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR);
	SDL_SysWMinfo info;
	if (x11_info(fConnectionWindow, &info)) {
		fDisplayFd = ConnectionNumber(info.info.x11.display);
		// SDL gives every window the visual of its hidden one.
		const char* present = getenv("VERSO_PRESENT");
		if (SDL_GetWindowPixelFormat(fConnectionWindow) == SDL_PIXELFORMAT_RGB888
			&& (present == nullptr || strcmp(present, "sdl") != 0)) {
			fPresenter = X11Presenter::Open(DisplayString(info.info.x11.display));
			if (fPresenter != nullptr)
				fPresenterFd = fPresenter->FileDescriptor();
		}
	}
	SDL_Rect bounds;
	if (SDL_GetDisplayBounds(0, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
		*screenWidth = bounds.w;
		*screenHeight = bounds.h;
	}
	fTickBase = display_clock() - (bigtime_t)SDL_GetTicks() * 1000;
	SDL_StartTextInput();
	return B_OK;
}

void SdlBackend::Stop()
{
	// Kept, closed, until the backend goes: another thread may still be
	// presenting.
	if (fPresenter != nullptr)
		fPresenter->Close();
	fPresenterFd = -1;
	if (fConnectionWindow != nullptr) {
		SDL_DestroyWindow(fConnectionWindow);
		fConnectionWindow = nullptr;
	}
	fDisplayFd = -1;
	SDL_Quit();
	if (fLocked) {
		fLocked = false;
		sSdlLock.unlock();
	}
}

status_t SdlBackend::CreateNative(WindowRecord& window, const WindowParams& params)
{
	Uint32 flags = SDL_WINDOW_HIDDEN;
	if (params.resizable)
		flags |= SDL_WINDOW_RESIZABLE;
	if (params.decoration == Decoration::kBorderless)
		flags |= SDL_WINDOW_BORDERLESS;
	if (params.alwaysOnTop)
		flags |= SDL_WINDOW_ALWAYS_ON_TOP;
	if (!params.acceptsFocus) {
		// Menus and tool tips: placed exactly, never focused.
		flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
	}
	SDL_Window* native = SDL_CreateWindow(params.title.c_str(), params.x, params.y,
		params.width, params.height, flags);
	if (native == nullptr) {
		fprintf(stderr, "display: cannot create a window: %s\n", SDL_GetError());
		return B_ERROR;
	}
	if (params.decoration == Decoration::kBordered)
		set_border_only(native);
	window.native = native;
	fIds[SDL_GetWindowID(native)] = window.id;
	SDL_SysWMinfo info;
	if (fPresenter != nullptr && x11_info(native, &info)) {
		std::lock_guard<std::mutex> lock(window.contentLock);
		window.presentTarget = (uint32)info.info.x11.window;
	}
	return B_OK;
}

void SdlBackend::DestroyNative(WindowRecord& window)
{
	SDL_Window* native = Native(window);
	if (native == nullptr)
		return;
	if (fHasPendingKey && fPendingKeyWindow == window.id)
		fHasPendingKey = false;
	fIds.erase(SDL_GetWindowID(native));
	{
		// No thread presents to the window from here on.
		std::lock_guard<std::mutex> lock(window.contentLock);
		window.presentTarget = 0;
	}
	SDL_DestroyWindow(native);
	window.native = nullptr;
}

void SdlBackend::SetDecoration(WindowRecord& window, Decoration decoration)
{
	SDL_SetWindowBordered(Native(window),
		decoration == Decoration::kBorderless ? SDL_FALSE : SDL_TRUE);
	if (decoration == Decoration::kBordered)
		set_border_only(Native(window));
}

void SdlBackend::Show(WindowRecord& window)
{
	SDL_ShowWindow(Native(window));
	if (window.acceptsFocus)
		SDL_RaiseWindow(Native(window));
}

void SdlBackend::Minimize(WindowRecord& window, bool minimize)
{
	if (minimize)
		SDL_MinimizeWindow(Native(window));
	else
		SDL_RestoreWindow(Native(window));
}

void SdlBackend::Present(WindowRecord& window, const std::vector<PixelRect>& damage)
{
	if (fPresenter != nullptr)
		fPresenter->Put(window.presentTarget, window.pixels.data(), window.contentWidth, damage);
	else
		PresentThroughSdl(window, damage);
}

void SdlBackend::PresentThroughSdl(WindowRecord& window,
	const std::vector<PixelRect>& damage)
{
	SDL_Surface* surface = SDL_GetWindowSurface(Native(window));
	if (surface == nullptr)
		return;
	const Uint32 format = surface->format->format;
	// Both keep B, G, R and a fourth byte in memory, as the contents do.
	const bool sameLayout = format == SDL_PIXELFORMAT_ARGB8888
		|| format == SDL_PIXELFORMAT_RGB888;
	const int32 sourcePitch = window.contentWidth * 4;

	std::vector<SDL_Rect> rects;
	rects.reserve(damage.size());
	for (const PixelRect& rect : damage) {
		int32 right = std::min(rect.x + rect.width, std::min(surface->w, window.contentWidth));
		int32 bottom = std::min(rect.y + rect.height, std::min(surface->h, window.contentHeight));
		if (right <= rect.x || bottom <= rect.y)
			continue;
		SDL_Rect clipped = { rect.x, rect.y, right - rect.x, bottom - rect.y };
		const uint8* from = (const uint8*)&window.pixels[(size_t)clipped.y
			* window.contentWidth + clipped.x];
		uint8* to = (uint8*)surface->pixels + (size_t)clipped.y * surface->pitch
			+ (size_t)clipped.x * surface->format->BytesPerPixel;
		if (sameLayout) {
			for (int32 y = 0; y < clipped.h; y++) {
				memcpy(to + (size_t)y * surface->pitch, from + (size_t)y * sourcePitch,
					(size_t)clipped.w * 4);
			}
		} else {
			SDL_ConvertPixels(clipped.w, clipped.h, SDL_PIXELFORMAT_ARGB8888, from,
				sourcePitch, format, to, surface->pitch);
		}
		rects.push_back(clipped);
	}
	if (!rects.empty())
		SDL_UpdateWindowSurfaceRects(Native(window), rects.data(), (int)rects.size());
}

void SdlBackend::Repaint(WindowRecord& window)
{
	std::lock_guard<std::mutex> lock(window.contentLock);
	std::vector<PixelRect> all = { { 0, 0, window.contentWidth, window.contentHeight } };
	Present(window, all);
}

void SdlBackend::WaitAndDispatch(bigtime_t timeout)
{
	// Reads what the connection holds (and sends what is still to send),
	// so that poll() below only waits when nothing is queued anywhere.
	// This pump is needed every time: a present that waited for the X
	// server's answer may have read events along with it, which poll()
	// would not see. But each pump asks the connection several times
	// whether it has more, a system call each time, so after poll() it is
	// done again only when the connection woke us, not our own queue or
	// the time-out, and the events are then taken without pumping.
	SDL_PumpEvents();
	SDL_Event event;
	if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0) {
		pollfd fds[3] = {{fWakeFd, POLLIN, 0}, {fDisplayFd, POLLIN, 0},
			{fPresenterFd, POLLIN, 0}};
		const int milliseconds = timeout == B_INFINITE_TIMEOUT
			? -1 : (int)std::min<bigtime_t>((timeout + 999) / 1000, INT32_MAX);
		bool connectionWoke = true;
		if (fDisplayFd >= 0 && fWakeFd >= 0) {
			connectionWoke = poll(fds, fPresenterFd >= 0 ? 3 : 2, milliseconds) < 0
				|| fds[1].revents != 0;
			if (fds[0].revents != 0) {
				uint64_t count;
				(void)!read(fWakeFd, &count, sizeof(count));
			}
			if (fPresenterFd >= 0 && fds[2].revents != 0 && !fPresenter->Discard())
				fPresenterFd = -1;
		} else {
			// no connection to wait on: SDL waits its own way
			(void)SDL_WaitEventTimeout(nullptr, milliseconds);
			uint64_t count;
			if (fWakeFd >= 0)
				(void)!read(fWakeFd, &count, sizeof(count));
		}
		if (connectionWoke)
			SDL_PumpEvents();
	}
	for (int i = 0; i < kEventBatch
		&& SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0; i++) {
		// SDL's own mark of where a zero time-out wait stopped: no input,
		// and it must not flush a key still waiting for its text
		if (event.type != SDL_POLLSENTINEL)
			Dispatch(event);
	}
	FlushPendingKey();
}

void SdlBackend::Wake()
{
	const uint64_t one = 1;
	if (fWakeFd >= 0)
		(void)!write(fWakeFd, &one, sizeof(one));
}

WindowRef SdlBackend::WindowFor(uint32 sdlWindowId) const
{
	auto found = fIds.find(sdlWindowId);
	if (found == fIds.end())
		return nullptr;
	WindowRef window = fCore.Find(found->second);
	return window != nullptr && !window->destroyed ? window : nullptr;
}

void SdlBackend::Dispatch(const SDL_Event& event)
{
	if (event.type != SDL_TEXTINPUT)
		FlushPendingKey();

	switch (event.type) {
		case SDL_WINDOWEVENT:
			DispatchWindowEvent(event.window);
			break;
		case SDL_MOUSEMOTION:
			if (WindowRef window = WindowFor(event.motion.windowID)) {
				fCore.OnMouseMove(*window, event.motion.x, event.motion.y,
					When(event.motion.timestamp));
			}
			break;
		case SDL_MOUSEBUTTONDOWN:
		case SDL_MOUSEBUTTONUP:
			if (WindowRef window = WindowFor(event.button.windowID)) {
				uint32 button = be_button(event.button.button);
				if (button != 0) {
					fCore.OnMouseButton(*window, event.button.x, event.button.y, button,
						event.type == SDL_MOUSEBUTTONDOWN, When(event.button.timestamp));
				}
			}
			break;
		case SDL_MOUSEWHEEL:
			if (WindowRef window = WindowFor(event.wheel.windowID)) {
				float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
				// SDL counts up as positive; BeOS counts down.
				fCore.OnMouseWheel(*window, flip * event.wheel.preciseX,
					-flip * event.wheel.preciseY, When(event.wheel.timestamp));
			}
			break;
		case SDL_KEYDOWN:
		case SDL_KEYUP:
			DispatchKey(event.key);
			break;
		case SDL_TEXTINPUT:
			DispatchText(event.text);
			break;
		case SDL_DROPBEGIN:
			fInDrop = true;
			fDropWindow = event.drop.windowID;
			fDropPaths.clear();
			break;
		case SDL_DROPFILE:
			if (event.drop.file != nullptr) {
				fDropPaths.push_back(event.drop.file);
				SDL_free(event.drop.file);
			}
			if (!fInDrop) {
				fDropWindow = event.drop.windowID;
				DeliverDrop();
			}
			break;
		case SDL_DROPTEXT:
			SDL_free(event.drop.file);
			break;
		case SDL_DROPCOMPLETE:
			fInDrop = false;
			DeliverDrop();
			break;
		default:
			break;
	}
}

void SdlBackend::DispatchWindowEvent(const SDL_WindowEvent& event)
{
	WindowRef window = WindowFor(event.windowID);
	if (window == nullptr)
		return;
	switch (event.event) {
		case SDL_WINDOWEVENT_MOVED:
			fCore.OnNativeMoved(*window, event.data1, event.data2);
			break;
		case SDL_WINDOWEVENT_SIZE_CHANGED:
			fCore.OnNativeResized(*window, event.data1, event.data2);
			Repaint(*window);
			break;
		case SDL_WINDOWEVENT_EXPOSED:
			Repaint(*window);
			fCore.OnNativeExposed(*window);
			break;
		case SDL_WINDOWEVENT_FOCUS_GAINED:
			// Keys pressed while another program had the focus.
			fCore.SyncModifiers(be_modifiers(SDL_GetModState()));
			fCore.OnNativeFocus(*window, true);
			break;
		case SDL_WINDOWEVENT_FOCUS_LOST:
			fCore.OnNativeFocus(*window, false);
			break;
		case SDL_WINDOWEVENT_MINIMIZED:
			fCore.OnNativeMinimized(*window, true);
			break;
		case SDL_WINDOWEVENT_RESTORED:
		case SDL_WINDOWEVENT_MAXIMIZED:
			fCore.OnNativeMinimized(*window, false);
			break;
		case SDL_WINDOWEVENT_CLOSE:
			fCore.OnNativeClose(*window);
			break;
		case SDL_WINDOWEVENT_ENTER:
			fCore.OnMouseCrossing(*window, true, When(event.timestamp));
			break;
		case SDL_WINDOWEVENT_LEAVE:
			fCore.OnMouseCrossing(*window, false, When(event.timestamp));
			break;
		default:
			break;
	}
}

void SdlBackend::DispatchKey(const SDL_KeyboardEvent& event)
{
	WindowRef window = WindowFor(event.windowID);
	if (window == nullptr)
		return;
	KeyInput input;
	input.scancode = event.keysym.scancode;
	// Printable keys carry their character in the current layout.
	SDL_Keycode sym = event.keysym.sym;
	input.keycode = (sym & SDLK_SCANCODE_MASK) != 0 ? 0 : sym;
	input.down = event.state == SDL_PRESSED;
	input.repeat = event.repeat != 0;
	input.when = When(event.timestamp);

	if (input.down && modifier_bits_for_scancode(input.scancode) == 0) {
		fHasPendingKey = true;
		fPendingKeyWindow = window->id;
		fPendingKey = input;
		fPendingText.clear();
		return;
	}
	fCore.OnKey(*window, input);
}

void SdlBackend::DispatchText(const SDL_TextInputEvent& event)
{
	WindowRef window = WindowFor(event.windowID);
	size_t length = strlen(event.text);
	if (fHasPendingKey && window != nullptr && fPendingKeyWindow == window->id
		&& length > 0 && (size_t)utf8_char_length((uint8)event.text[0]) == length) {
		// The character the pending key typed.
		fPendingText = event.text;
		FlushPendingKey();
		return;
	}
	FlushPendingKey();
	if (window != nullptr)
		fCore.OnText(*window, event.text, When(event.timestamp));
}

void SdlBackend::FlushPendingKey()
{
	if (!fHasPendingKey)
		return;
	fHasPendingKey = false;
	WindowRef window = fCore.Find(fPendingKeyWindow);
	if (window == nullptr || window->destroyed)
		return;
	fPendingKey.text = fPendingText.empty() ? nullptr : fPendingText.c_str();
	fCore.OnKey(*window, fPendingKey);
}

void SdlBackend::DeliverDrop()
{
	std::vector<std::string> paths;
	paths.swap(fDropPaths);
	WindowRef window = WindowFor(fDropWindow);
	if (window == nullptr) {
		if (SDL_Window* focus = SDL_GetMouseFocus())
			window = WindowFor(SDL_GetWindowID(focus));
	}
	if (window == nullptr || paths.empty())
		return;
	int x = 0;
	int y = 0;
	SDL_GetGlobalMouseState(&x, &y);
	fCore.OnDrop(*window, paths, x, y, display_clock());
}

}

std::unique_ptr<DisplayBackend> make_sdl_backend(ServerCore& core)
{
	return std::make_unique<SdlBackend>(core);
}

}
