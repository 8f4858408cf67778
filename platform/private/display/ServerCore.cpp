#include "display/ServerCore.h"

#include "display/HeadlessBackend.h"
#include <InterfaceDefs.h>
#include <ViewDefs.h>
#include "display/SdlBackend.h"
#include "kernel/ThreadName.h"
#include "interface/Modifiers.h"
#include "interface/PngWriter.h"
#include "support/Misuse.h"

#include <OS.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <future>

namespace display {

namespace {

// Screenshots for people watching a headless machine: at most this often
// per window; the last picture of a burst is written when the time is up.
const bigtime_t kShotInterval = 250000;
// Unconfirmed geometry requests remembered per window.
const size_t kMaxPending = 8;

bool env_is(const char* name, const char* value)
{
	const char* set = getenv(name);
	return set != nullptr && strcmp(set, value) == 0;
}

void parse_screen_size(int32* width, int32* height)
{
	const char* size = getenv("VERSO_SCREEN_SIZE");
	if (size == nullptr || size[0] == '\0')
		return;
	int w = 0;
	int h = 0;
	char extra = 0;
	if (sscanf(size, "%dx%d%c", &w, &h, &extra) == 2 && w > 0 && h > 0
		&& w <= 32768 && h <= 32768) {
		*width = w;
		*height = h;
	} else {
		fprintf(stderr, "display: VERSO_SCREEN_SIZE=\"%s\" is not WIDTHxHEIGHT;"
			" using %dx%d\n", size, (int)*width, (int)*height);
	}
}

// True (and the entry and all older ones dropped) when the window system
// confirms a value the program asked for.
bool confirm_pending(std::deque<std::pair<int32, int32>>& pending, int32 a, int32 b)
{
	for (auto it = pending.begin(); it != pending.end(); ++it) {
		if (it->first == a && it->second == b) {
			pending.erase(pending.begin(), it + 1);
			return true;
		}
	}
	pending.clear();
	return false;
}

}

void remember_pending_geometry(std::deque<std::pair<int32, int32>>& pending,
	int32 a, int32 b)
{
	pending.emplace_back(a, b);
	if (pending.size() > kMaxPending)
		pending.pop_front();
}

ServerCore::ServerCore() = default;

ServerCore::~ServerCore()
{
	Shutdown();
}

void ServerCore::Start()
{
	bool headless;
	if (env_is("VERSO_DISPLAY", "sdl"))
		headless = false;
	else if (env_is("VERSO_DISPLAY", "headless") || env_is("VERSO_HEADLESS", "1"))
		headless = true;
	else {
		const char* display = getenv("DISPLAY");
		headless = display == nullptr || display[0] == '\0';
	}
	if (headless) {
		fBackend = std::make_unique<HeadlessBackend>(*this);
		parse_screen_size(&fScreenWidth, &fScreenHeight);
	} else {
		fBackend = make_sdl_backend(*this);
	}
	if (const char* dir = getenv("VERSO_SCREENSHOT_DIR"))
		fShotDir = dir;

	// The thread owns the promise, so that setting it cannot race with
	// this frame going away.
	auto started = std::make_shared<std::promise<void>>();
	std::future<void> ready = started->get_future();
	std::shared_ptr<ServerCore> self = shared_from_this();
	fThread = std::thread([self, started]() {
		BPrivate::name_this_thread("display server");
		self->ThreadMain([started](status_t) { started->set_value(); });
	});
	ready.wait();
}

void ServerCore::ThreadMain(std::function<void(status_t)> started)
{
	fThreadId = std::this_thread::get_id();
	status_t status = fBackend->Start(&fScreenWidth, &fScreenHeight);
	if (status != B_OK && !fBackend->IsHeadless()) {
		fprintf(stderr, "display: cannot open the X display; running without one\n");
		fBackend = std::make_unique<HeadlessBackend>(*this);
		parse_screen_size(&fScreenWidth, &fScreenHeight);
		status = fBackend->Start(&fScreenWidth, &fScreenHeight);
	}
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		fAccepting = status == B_OK;
	}
	started(status);
	if (status != B_OK)
		return;

	for (;;) {
		std::deque<std::function<void()>> work;
		{
			std::lock_guard<std::mutex> lock(fQueueLock);
			if (fQueue.empty() && fStopping) {
				fAccepting = false;
				break;
			}
			work.swap(fQueue);
		}
		for (auto& item : work)
			item();
		if (!work.empty())
			continue;
		fBackend->WaitAndDispatch(NextTimeout());
		WriteDueScreenshots();
	}

	// Windows still open now belong to nobody: close them, keeping the
	// screenshots that were still to be written.
	std::vector<WindowRef> rest;
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		for (auto& entry : fWindows)
			rest.push_back(entry.second);
		fWindows.clear();
		fOrder.clear();
	}
	// Their owners may be deleting them meanwhile (a window whose request
	// to be closed came too late to be taken), so nothing more is delivered
	// to them: they are marked destroyed before their natives go, which
	// would otherwise tell them of the focus they lose.
	for (WindowRef& window : rest) {
		if (window->shotDue != 0)
			WriteScreenshot(*window);
		window->destroyed = true;
	}
	for (WindowRef& window : rest)
		fBackend->DestroyNative(*window);
	{
		std::lock_guard<std::mutex> lock(fWakeLock);
		fBackendStopped = true;
	}
	fBackend->Stop();
}

void ServerCore::Shutdown()
{
	std::lock_guard<std::mutex> shutdownLock(fShutdownLock);
	if (fJoined || !fThread.joinable())
		return;
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		fStopping = true;
		if (fAccepting)
			fBackend->Wake();
	}
	if (OnDisplayThread()) {
		// The last user let go from a listener: the thread finishes on its
		// own, holding the core until it is done.
		fThread.detach();
	} else {
		fThread.join();
	}
	fJoined = true;
}

bool ServerCore::OnDisplayThread() const
{
	return std::this_thread::get_id() == fThreadId;
}

void ServerCore::CheckDisplayThread(const char* call) const
{
	if (BPrivate::misuse_checks_on() && !OnDisplayThread())
		BPrivate::report_misuse(call, "must run on the display thread");
}

void ServerCore::GetScreenSize(int32* width, int32* height) const
{
	if (width != nullptr)
		*width = fScreenWidth;
	if (height != nullptr)
		*height = fScreenHeight;
}

window_id ServerCore::NewWindowId()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fNextId++;
}

ServerCore::StateAccess::StateAccess(ServerCore& core)
	:
	fCore(core),
	fLock(core.fStateLock)
{
}

void ServerCore::StateAccess::Raise(window_id id, bool alwaysOnTop)
{
	fCore.RaiseLocked(id, alwaysOnTop);
}

DisplayBackend& ServerCore::Backend()
{
	CheckDisplayThread("display::ServerCore::Backend");
	return *fBackend;
}

void ServerCore::AddWindow(const WindowRef& window, bool alwaysOnTop)
{
	CheckDisplayThread("display::ServerCore::AddWindow");
	std::lock_guard<std::mutex> lock(fStateLock);
	fWindows[window->id] = window;
	RaiseLocked(window->id, alwaysOnTop);
}

void ServerCore::RemoveWindow(WindowRecord& window)
{
	CheckDisplayThread("display::ServerCore::RemoveWindow");
	// Nothing presented is lost to the screenshot folder.
	if (window.shotDue != 0)
		WriteScreenshot(window);
	fBackend->DestroyNative(window);
	window.destroyed = true;
	std::lock_guard<std::mutex> lock(fStateLock);
	fWindows.erase(window.id);
	fOrder.erase(std::remove(fOrder.begin(), fOrder.end(), window.id), fOrder.end());
}

status_t ServerCore::Post(std::function<void()> work)
{
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		if (!fAccepting)
			return B_NO_INIT;
		fQueue.push_back(std::move(work));
	}
	std::lock_guard<std::mutex> lock(fWakeLock);
	if (!fBackendStopped)
		fBackend->Wake();
	return B_OK;
}

status_t ServerCore::RunSync(const std::function<void()>& work)
{
	if (OnDisplayThread()) {
		work();
		return B_OK;
	}
	struct Done {
		std::mutex lock;
		std::condition_variable signal;
		bool done = false;
	};
	auto done = std::make_shared<Done>();
	status_t status = Post([work, done]() {
		work();
		std::lock_guard<std::mutex> lock(done->lock);
		done->done = true;
		done->signal.notify_all();
	});
	if (status != B_OK)
		return status;
	// Everything queued is carried out before the thread ends, so this
	// wait always ends.
	std::unique_lock<std::mutex> lock(done->lock);
	done->signal.wait(lock, [&]() { return done->done; });
	return B_OK;
}

WindowRef ServerCore::Find(window_id id) const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	auto found = fWindows.find(id);
	return found != fWindows.end() ? found->second : nullptr;
}

void ServerCore::RaiseLocked(window_id id, bool alwaysOnTop)
{
	fOrder.erase(std::remove(fOrder.begin(), fOrder.end(), id), fOrder.end());
	size_t position = 0;
	if (!alwaysOnTop) {
		// Behind every always-on-top window.
		while (position < fOrder.size()) {
			auto found = fWindows.find(fOrder[position]);
			if (found == fWindows.end() || !found->second->state.alwaysOnTop)
				break;
			position++;
		}
	}
	fOrder.insert(fOrder.begin() + position, id);
}

// ---- What the window system reports

void ServerCore::OnNativeMoved(WindowRecord& window, int32 x, int32 y)
{
	CheckDisplayThread("display::ServerCore::OnNativeMoved");
	if (confirm_pending(window.pendingMoves, x, y))
		return;
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		window.state.x = x;
		window.state.y = y;
	}
	ReportMoved(window, x, y);
}

void ServerCore::OnNativeResized(WindowRecord& window, int32 width, int32 height)
{
	CheckDisplayThread("display::ServerCore::OnNativeResized");
	if (width <= 0 || height <= 0)
		return;
	if (confirm_pending(window.pendingSizes, width, height))
		return;
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		window.state.width = width;
		window.state.height = height;
	}
	{
		std::lock_guard<std::mutex> lock(window.contentLock);
		window.ResizeContents(width, height);
	}
	ReportResized(window, width, height);
}

void ServerCore::OnNativeFocus(WindowRecord& window, bool active)
{
	CheckDisplayThread("display::ServerCore::OnNativeFocus");
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		if (window.state.active == active)
			return;
		window.state.active = active;
	}
	DisplayEvent event;
	event.type = active ? EventType::kWindowActivated : EventType::kWindowDeactivated;
	Deliver(window, event);
}

void ServerCore::OnNativeMinimized(WindowRecord& window, bool minimized)
{
	CheckDisplayThread("display::ServerCore::OnNativeMinimized");
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		if (window.state.minimized == minimized)
			return;
		window.state.minimized = minimized;
	}
	DisplayEvent event;
	event.type = minimized ? EventType::kMinimized : EventType::kRestored;
	Deliver(window, event);
}

void ServerCore::OnNativeExposed(WindowRecord& window)
{
	CheckDisplayThread("display::ServerCore::OnNativeExposed");
	DisplayEvent event;
	event.type = EventType::kExposed;
	event.width = window.reportedWidth;
	event.height = window.reportedHeight;
	Deliver(window, event);
}

void ServerCore::OnNativeClose(WindowRecord& window)
{
	CheckDisplayThread("display::ServerCore::OnNativeClose");
	DisplayEvent event;
	event.type = EventType::kCloseRequested;
	Deliver(window, event);
}

void ServerCore::SetPosition(WindowRecord& window, DisplayEvent& event, int32 x, int32 y)
{
	std::lock_guard<std::mutex> lock(fStateLock);
	event.x = x;
	event.y = y;
	event.screenX = window.state.x + x;
	event.screenY = window.state.y + y;
}

void ServerCore::OnMouseMove(WindowRecord& window, int32 x, int32 y, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnMouseMove");
	DisplayEvent event;
	event.type = EventType::kMouseMoved;
	event.when = when;
	SetPosition(window, event, x, y);
	event.buttons = fButtons;
	event.modifiers = fModifiers.load();
	Deliver(window, event);
}

void ServerCore::OnMouseButton(WindowRecord& window, int32 x, int32 y,
	uint32 button, bool down, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnMouseButton");
	DisplayEvent event;
	event.type = down ? EventType::kMouseDown : EventType::kMouseUp;
	event.when = when != 0 ? when : display_clock();
	SetPosition(window, event, x, y);
	if (down) {
		fButtons |= button;
		event.clicks = fClicks.Press(window.id, button, event.screenX,
			event.screenY, event.when);
	} else {
		fButtons &= ~button;
	}
	event.buttons = fButtons;
	event.modifiers = fModifiers.load();
	Deliver(window, event);
}

void ServerCore::OnMouseCrossing(WindowRecord& window, bool entered, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnMouseCrossing");
	DisplayEvent event;
	event.type = entered ? EventType::kMouseEntered : EventType::kMouseExited;
	event.when = when;
	event.buttons = fButtons;
	event.modifiers = fModifiers.load();
	Deliver(window, event);
}

void ServerCore::OnMouseWheel(WindowRecord& window, float x, float y, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnMouseWheel");
	DisplayEvent event;
	event.type = EventType::kMouseWheel;
	event.when = when;
	event.wheelX = x;
	event.wheelY = y;
	event.buttons = fButtons;
	event.modifiers = fModifiers.load();
	Deliver(window, event);
}

void ServerCore::SyncModifiers(uint32 modifiers)
{
	CheckDisplayThread("display::ServerCore::SyncModifiers");
	fModifierState.Set(modifiers);
	if (fModifierState.Get() == fModifiers.load())
		return;
	fModifiers.store(fModifierState.Get());
	BPrivate::set_modifiers(fModifierState.Get());
}

void ServerCore::OnKey(WindowRecord& window, const KeyInput& input)
{
	CheckDisplayThread("display::ServerCore::OnKey");
	DisplayEvent event;
	event.when = input.when;
	event.key = be_key_for_scancode(input.scancode);

	if (modifier_bits_for_scancode(input.scancode) != 0) {
		// Modifier keys change the modifiers; they type nothing.
		if (!fModifierState.Key(input.scancode, input.down))
			return;
		fModifiers.store(fModifierState.Get());
		BPrivate::set_modifiers(fModifierState.Get());
		event.type = EventType::kModifiersChanged;
		event.modifiers = fModifierState.Get();
		Deliver(window, event);
		return;
	}

	uint32 modifiers = fModifiers.load();
	KeyChars chars;
	if (input.down) {
		if (input.repeat && fRepeatScancode == input.scancode) {
			fRepeatCount++;
		} else {
			fRepeatScancode = input.scancode;
			fRepeatCount = 0;
		}
		chars = translate_key(input.scancode, input.keycode, modifiers, input.text);
		fKeysDown[input.scancode] = chars;
		event.type = EventType::kKeyDown;
		event.repeat = fRepeatCount;
	} else {
		// The release reports what the press typed.
		auto found = fKeysDown.find(input.scancode);
		if (found != fKeysDown.end()) {
			chars = found->second;
			fKeysDown.erase(found);
		} else {
			chars = translate_key(input.scancode, input.keycode, modifiers, nullptr);
		}
		if (fRepeatScancode == input.scancode)
			fRepeatScancode = 0;
		event.type = EventType::kKeyUp;
	}
	event.rawChar = chars.rawChar;
	memcpy(event.bytes, chars.bytes, sizeof(event.bytes));
	event.modifiers = modifiers;
	Deliver(window, event);
}

void ServerCore::OnText(WindowRecord& window, const char* utf8, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnText");
	// Text without a key press of its own (an input method, a compose
	// sequence): one key-down per character, without a key code.
	size_t length = utf8 != nullptr ? strlen(utf8) : 0;
	for (size_t offset = 0; offset < length;) {
		int32 size = utf8_char_length((uint8)utf8[offset]);
		if (offset + size > length)
			break;
		DisplayEvent event;
		event.type = EventType::kKeyDown;
		event.when = when;
		memcpy(event.bytes, utf8 + offset, size);
		event.rawChar = (uint8)utf8[offset] < 0x80 ? utf8[offset] : 0;
		event.modifiers = fModifiers.load();
		Deliver(window, event);
		offset += size;
	}
}

void ServerCore::OnDrop(WindowRecord& window, const std::vector<std::string>& paths,
	int32 screenX, int32 screenY, bigtime_t when)
{
	CheckDisplayThread("display::ServerCore::OnDrop");
	if (paths.empty())
		return;
	DisplayEvent event;
	event.type = EventType::kFilesDropped;
	event.when = when;
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		event.x = screenX - window.state.x;
		event.y = screenY - window.state.y;
	}
	event.screenX = screenX;
	event.screenY = screenY;
	event.buttons = fButtons;
	event.modifiers = fModifiers.load();
	event.paths = paths;
	Deliver(window, event);
}

// ---- Helpers for the backends

WindowRef ServerCore::FindByNative(const void* native) const
{
	CheckDisplayThread("display::ServerCore::FindByNative");
	std::lock_guard<std::mutex> lock(fStateLock);
	for (const auto& entry : fWindows) {
		if (entry.second->native == native)
			return entry.second;
	}
	return nullptr;
}

WindowRef ServerCore::FrontFocusable(window_id except) const
{
	CheckDisplayThread("display::ServerCore::FrontFocusable");
	std::lock_guard<std::mutex> lock(fStateLock);
	for (window_id id : fOrder) {
		auto found = fWindows.find(id);
		if (id == except || found == fWindows.end())
			continue;
		const WindowRecord& window = *found->second;
		if (!window.state.hidden && !window.state.minimized && window.acceptsFocus)
			return found->second;
	}
	return nullptr;
}

std::vector<WindowRef> ServerCore::ActiveWindows() const
{
	CheckDisplayThread("display::ServerCore::ActiveWindows");
	std::vector<WindowRef> active;
	std::lock_guard<std::mutex> lock(fStateLock);
	for (const auto& entry : fWindows) {
		if (entry.second->state.active)
			active.push_back(entry.second);
	}
	return active;
}

// ---- Carrying out requests

void ServerCore::ReportMoved(WindowRecord& window, int32 x, int32 y)
{
	CheckDisplayThread("display::ServerCore::ReportMoved");
	if (x == window.reportedX && y == window.reportedY)
		return;
	window.reportedX = x;
	window.reportedY = y;
	DisplayEvent event;
	event.type = EventType::kWindowMoved;
	event.screenX = x;
	event.screenY = y;
	event.moveSerial = window.moveSerial;
	Deliver(window, event);
}

void ServerCore::ReportResized(WindowRecord& window, int32 width, int32 height)
{
	CheckDisplayThread("display::ServerCore::ReportResized");
	if (width == window.reportedWidth && height == window.reportedHeight)
		return;
	window.reportedWidth = width;
	window.reportedHeight = height;
	DisplayEvent event;
	event.type = EventType::kWindowResized;
	event.width = width;
	event.height = height;
	Deliver(window, event);
}

void ServerCore::Deliver(WindowRecord& window, DisplayEvent& event)
{
	if (window.destroyed || window.listener == nullptr)
		return;
	event.window = window.id;
	if (event.when == 0)
		event.when = display_clock();
	window.listener->DisplayEventReceived(event);
}

void ServerCore::DoPresent(window_id id)
{
	CheckDisplayThread("display::ServerCore::DoPresent");
	WindowRef window = Find(id);
	if (window == nullptr || window->destroyed)
		return;
	{
		std::lock_guard<std::mutex> lock(window->contentLock);
		std::vector<PixelRect> damage;
		damage.swap(window->damage);
		window->presentQueued = false;
		if (!damage.empty())
			fBackend->Present(*window, damage);
	}
	if (fShotDir.empty())
		return;
	bigtime_t now = display_clock();
	if (now - window->lastShot >= kShotInterval)
		WriteScreenshot(*window);
	else if (window->shotDue == 0)
		window->shotDue = window->lastShot + kShotInterval;
}

void ServerCore::WriteScreenshot(WindowRecord& window)
{
	std::vector<uint32> pixels;
	int32 width;
	int32 height;
	{
		std::lock_guard<std::mutex> lock(window.contentLock);
		pixels = window.pixels;
		width = window.contentWidth;
		height = window.contentHeight;
	}
	window.shotDue = 0;
	window.lastShot = display_clock();
	std::string path = fShotDir + "/window-" + std::to_string(window.id) + ".png";
	BPrivate::write_png(path.c_str(), pixels.data(), width, height, width * 4, B_RGB32);
}

void ServerCore::WriteDueScreenshots()
{
	if (fShotDir.empty())
		return;
	std::vector<WindowRef> due;
	bigtime_t now = display_clock();
	{
		std::lock_guard<std::mutex> lock(fStateLock);
		for (const auto& entry : fWindows) {
			if (entry.second->shotDue != 0 && entry.second->shotDue <= now)
				due.push_back(entry.second);
		}
	}
	for (WindowRef& window : due)
		WriteScreenshot(*window);
}

bigtime_t ServerCore::NextTimeout() const
{
	// Nothing due: the thread sleeps until events or work arrive.
	bigtime_t timeout = B_INFINITE_TIMEOUT;
	if (fShotDir.empty())
		return timeout;
	bigtime_t now = display_clock();
	std::lock_guard<std::mutex> lock(fStateLock);
	for (const auto& entry : fWindows) {
		if (entry.second->shotDue != 0)
			timeout = std::min(timeout, std::max<bigtime_t>(0, entry.second->shotDue - now));
	}
	return timeout;
}

}
