#include "display/DisplayServer.h"

#include "display/ServerCore.h"
#include "interface/PngWriter.h"

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>

namespace display {

namespace {

// Larger windows than this are a mistake (a negative size turned unsigned,
// an uninitialised rectangle), not a request.
const int32 kMaxWindowSide = 16384;

std::mutex sInstanceLock;
std::weak_ptr<DisplayServer> sInstance;
bool sAtExitRegistered = false;

bool valid_size(int32 width, int32 height)
{
	return width > 0 && height > 0 && width <= kMaxWindowSide
		&& height <= kMaxWindowSide;
}

}

bigtime_t display_clock()
{
	struct timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

std::shared_ptr<DisplayServer> DisplayServer::Get()
{
	std::lock_guard<std::mutex> lock(sInstanceLock);
	if (std::shared_ptr<DisplayServer> server = sInstance.lock())
		return server;
	std::shared_ptr<DisplayServer> server(new DisplayServer());
	sInstance = server;
	if (!sAtExitRegistered) {
		sAtExitRegistered = true;
		atexit(ShutdownAtExit);
	}
	return server;
}

void DisplayServer::ShutdownAtExit()
{
	std::shared_ptr<DisplayServer> server;
	{
		std::lock_guard<std::mutex> lock(sInstanceLock);
		server = sInstance.lock();
	}
	// The thread must end (and SDL be shut down on it) before the rest of
	// the process is torn down, even if somebody still holds the server.
	if (server != nullptr)
		server->fCore->Shutdown();
}

DisplayServer::DisplayServer()
	:
	fCore(std::make_shared<ServerCore>())
{
	fCore->Start();
}

DisplayServer::~DisplayServer()
{
	fCore->Shutdown();
}

bool DisplayServer::IsHeadless() const
{
	return fCore->IsHeadless();
}

const char* DisplayServer::BackendName() const
{
	return fCore->BackendName();
}

void DisplayServer::GetScreenSize(int32* width, int32* height) const
{
	fCore->GetScreenSize(width, height);
}

window_id DisplayServer::CreateWindow(const WindowParams& params,
	DisplayListener* listener)
{
	if (!valid_size(params.width, params.height))
		return B_BAD_VALUE;

	window_id id = fCore->NewWindowId();
	auto window = std::make_shared<WindowRecord>(id, listener, params);
	if (!window->ResizeContents(params.width, params.height))
		return B_NO_MEMORY;

	ServerCore& core = *fCore;
	status_t result = B_ERROR;
	status_t status = core.RunSync([&]() {
		result = core.Backend().CreateNative(*window, params);
		if (result == B_OK)
			core.AddWindow(window, params.alwaysOnTop);
	});
	if (status != B_OK)
		return status;
	return result == B_OK ? id : result;
}

status_t DisplayServer::DestroyWindow(window_id id)
{
	ServerCore& core = *fCore;
	status_t result = B_BAD_VALUE;
	status_t status = core.RunSync([&]() {
		WindowRef window = core.Find(id);
		if (window == nullptr || window->destroyed)
			return;
		core.RemoveWindow(*window);
		result = B_OK;
	});
	return status != B_OK ? status : result;
}

status_t DisplayServer::MoveWindow(window_id id, int32 x, int32 y, uint32 serial)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		state.Of(*window).x = x;
		state.Of(*window).y = y;
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window, x, y, serial]() {
		if (window->destroyed)
			return;
		if (serial != 0)
			window->moveSerial = serial;
		core->Backend().Move(*window, x, y);
		if (!core->Backend().IsHeadless())
			remember_pending_geometry(window->pendingMoves, x, y);
		core->ReportMoved(*window, x, y);
	});
}

status_t DisplayServer::ResizeWindow(window_id id, int32 width, int32 height)
{
	if (!valid_size(width, height))
		return B_BAD_VALUE;
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		// The contents follow at once, so that what is presented for the
		// new size is kept.
		std::lock_guard<std::mutex> lock(window->contentLock);
		if (!window->ResizeContents(width, height))
			return B_NO_MEMORY;
	}
	{
		ServerCore::StateAccess state(*fCore);
		state.Of(*window).width = width;
		state.Of(*window).height = height;
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window, width, height]() {
		if (window->destroyed)
			return;
		core->Backend().Resize(*window, width, height);
		if (!core->Backend().IsHeadless())
			remember_pending_geometry(window->pendingSizes, width, height);
		core->ReportResized(*window, width, height);
	});
}

status_t DisplayServer::SetTitle(window_id id, const char* title)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	std::string text = title != nullptr ? title : "";
	{
		ServerCore::StateAccess state(*fCore);
		state.Of(*window).title = text;
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window, text]() {
		if (!window->destroyed)
			core->Backend().SetTitle(*window, text.c_str());
	});
}

status_t DisplayServer::SetDecoration(window_id id, Decoration decoration)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		state.Of(*window).decoration = decoration;
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window, decoration]() {
		if (!window->destroyed)
			core->Backend().SetDecoration(*window, decoration);
	});
}

status_t DisplayServer::SetAlwaysOnTop(window_id id, bool onTop)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		if (state.Of(*window).alwaysOnTop == onTop)
			return B_OK;
		state.Of(*window).alwaysOnTop = onTop;
		state.Raise(id, onTop);
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window, onTop]() {
		if (!window->destroyed)
			core->Backend().SetAlwaysOnTop(*window, onTop);
	});
}

status_t DisplayServer::ShowWindow(window_id id)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		if (!state.Of(*window).hidden)
			return B_OK;
		state.Of(*window).hidden = false;
		state.Raise(id, state.Of(*window).alwaysOnTop);
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window]() {
		if (!window->destroyed)
			core->Backend().Show(*window);
	});
}

status_t DisplayServer::HideWindow(window_id id)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		if (state.Of(*window).hidden)
			return B_OK;
		state.Of(*window).hidden = true;
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window]() {
		if (!window->destroyed)
			core->Backend().Hide(*window);
	});
}

status_t DisplayServer::MinimizeWindow(window_id id, bool minimize)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	ServerCore* core = fCore.get();
	return core->Post([core, window, minimize]() {
		if (!window->destroyed)
			core->Backend().Minimize(*window, minimize);
	});
}

status_t DisplayServer::ActivateWindow(window_id id)
{
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	{
		ServerCore::StateAccess state(*fCore);
		state.Raise(id, state.Of(*window).alwaysOnTop);
	}
	ServerCore* core = fCore.get();
	return core->Post([core, window]() {
		if (!window->destroyed)
			core->Backend().Activate(*window);
	});
}

status_t DisplayServer::GetWindowState(window_id id, WindowState* state) const
{
	if (state == nullptr)
		return B_BAD_VALUE;
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	ServerCore::StateAccess access(*fCore);
	*state = access.Of(*window);
	return B_OK;
}

std::vector<window_id> DisplayServer::WindowOrder() const
{
	ServerCore::StateAccess state(*fCore);
	return state.Order();
}

status_t DisplayServer::Present(window_id id, const PixelSource& source,
	const PixelRect* rects, int32 count)
{
	if (source.bits == nullptr || source.width < 0 || source.height < 0
		|| source.bytesPerRow < source.width * 4 || count < 0
		|| (rects == nullptr && count > 0))
		return B_BAD_VALUE;
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;

	bool post = false;
	{
		std::lock_guard<std::mutex> lock(window->contentLock);
		const int32 width = std::min(source.width, window->contentWidth);
		const int32 height = std::min(source.height, window->contentHeight);
		for (int32 i = 0; i < count; i++) {
			// Clipped to what both the source and the window hold.
			int32 left = std::max(rects[i].x, 0);
			int32 top = std::max(rects[i].y, 0);
			int32 right = std::min((int64)rects[i].x + rects[i].width, (int64)width);
			int32 bottom = std::min((int64)rects[i].y + rects[i].height, (int64)height);
			if (right <= left || bottom <= top)
				continue;
			const uint8* from = (const uint8*)source.bits;
			for (int32 y = top; y < bottom; y++) {
				memcpy(&window->pixels[(size_t)y * window->contentWidth + left],
					from + (size_t)y * source.bytesPerRow + (size_t)left * 4,
					(size_t)(right - left) * 4);
			}
			window->damage.push_back({ left, top, right - left, bottom - top });
		}
		if (!window->damage.empty()) {
			if (!fCore->PresentsAnything()) {
				// Without a screen or pictures to write, the pixels kept
				// here are all there is: the display thread need not wake
				// for them.
				window->damage.clear();
			} else if (fCore->PresentsInPlace()) {
				// This thread puts them on the screen itself; the display
				// thread only wakes for pictures to write.
				fCore->PresentInPlace(*window, window->damage);
				window->damage.clear();
				post = fCore->WritesPictures() && !window->presentQueued;
			} else {
				post = !window->presentQueued;
			}
			if (post)
				window->presentQueued = true;
		}
	}
	if (!post)
		return B_OK;
	ServerCore* core = fCore.get();
	return core->Post([core, id]() { core->DoPresent(id); });
}

status_t DisplayServer::ReadContents(window_id id, std::vector<uint32>* pixels,
	int32* width, int32* height) const
{
	if (pixels == nullptr)
		return B_BAD_VALUE;
	WindowRef window = fCore->Find(id);
	if (window == nullptr)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> lock(window->contentLock);
	*pixels = window->pixels;
	if (width != nullptr)
		*width = window->contentWidth;
	if (height != nullptr)
		*height = window->contentHeight;
	return B_OK;
}

status_t DisplayServer::WriteContentsToPng(window_id id, const char* path) const
{
	std::vector<uint32> pixels;
	int32 width = 0;
	int32 height = 0;
	status_t status = ReadContents(id, &pixels, &width, &height);
	if (status != B_OK)
		return status;
	return BPrivate::write_png(path, pixels.data(), width, height, width * 4, B_RGB32);
}

uint32 DisplayServer::Modifiers() const
{
	return fCore->Modifiers();
}

status_t DisplayServer::Sync()
{
	return fCore->RunSync([]() {});
}

// ---- Input for tests

namespace {

// Runs `work` with the window on the display thread and waits for it.
status_t with_window(ServerCore& core, window_id id,
	const std::function<void(WindowRecord&)>& work)
{
	status_t result = B_BAD_VALUE;
	status_t status = core.RunSync([&]() {
		WindowRef window = core.Find(id);
		if (window == nullptr || window->destroyed)
			return;
		work(*window);
		result = B_OK;
	});
	return status != B_OK ? status : result;
}

}

status_t DisplayServer::InjectMouseMove(window_id id, int32 x, int32 y, bigtime_t when)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnMouseMove(window, x, y, when);
	});
}

status_t DisplayServer::InjectMouseButton(window_id id, int32 x, int32 y,
	uint32 button, bool down, bigtime_t when)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnMouseButton(window, x, y, button, down, when);
	});
}

status_t DisplayServer::InjectKey(window_id id, const KeyInput& input)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnKey(window, input);
	});
}

status_t DisplayServer::InjectText(window_id id, const char* utf8, bigtime_t when)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnText(window, utf8, when);
	});
}

status_t DisplayServer::InjectDrop(window_id id, const std::vector<std::string>& paths,
	int32 screenX, int32 screenY, bigtime_t when)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnDrop(window, paths, screenX, screenY, when);
	});
}

status_t DisplayServer::InjectCloseRequest(window_id id)
{
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnNativeClose(window);
	});
}

status_t DisplayServer::InjectUserFrame(window_id id, int32 x, int32 y,
	int32 width, int32 height)
{
	if (!valid_size(width, height))
		return B_BAD_VALUE;
	ServerCore& core = *fCore;
	return with_window(core, id, [&](WindowRecord& window) {
		core.OnNativeMoved(window, x, y);
		core.OnNativeResized(window, width, height);
	});
}

}
