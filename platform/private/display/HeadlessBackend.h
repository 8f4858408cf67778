// The backend for machines without a display, and for tests: windows exist
// only in memory. It plays the part of a simple window manager: a shown
// window gets the focus, a hidden or minimized one passes it on to the
// front window that can take it.
#ifndef DISPLAY_HEADLESS_BACKEND_H
#define DISPLAY_HEADLESS_BACKEND_H

#include "display/DisplayBackend.h"

#include <condition_variable>
#include <mutex>

namespace display {

class ServerCore;

class HeadlessBackend : public DisplayBackend {
public:
	explicit HeadlessBackend(ServerCore& core) : fCore(core) {}

	const char* Name() const override { return "headless"; }
	bool IsHeadless() const override { return true; }

	status_t Start(int32* screenWidth, int32* screenHeight) override;
	void Stop() override {}

	status_t CreateNative(WindowRecord& window, const WindowParams& params) override;
	void DestroyNative(WindowRecord& window) override;
	void Move(WindowRecord&, int32, int32) override {}
	void Resize(WindowRecord&, int32, int32) override {}
	void SetTitle(WindowRecord&, const char*) override {}
	void SetDecoration(WindowRecord&, Decoration) override {}
	void SetAlwaysOnTop(WindowRecord&, bool) override {}
	void Show(WindowRecord& window) override;
	void Hide(WindowRecord& window) override;
	void Minimize(WindowRecord& window, bool minimize) override;
	void Activate(WindowRecord& window) override;
	// The contents are the picture; there is nothing else to update.
	void Present(WindowRecord&, const std::vector<PixelRect>&) override {}

	void WaitAndDispatch(bigtime_t timeout) override;
	void Wake() override;

private:
	void Focus(WindowRecord& window);
	void PassFocusOn(WindowRecord& window);

	ServerCore& fCore;
	std::mutex fLock;
	std::condition_variable fSignal;
	bool fWoken = false;
};

}

#endif
