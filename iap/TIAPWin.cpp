#include "TIAPWin.h"

#include "IAPDefs.h"
#include "TIAPPortManager.h"
#include "TIAPView.h"
#include "TInterAppPrefs.h"

#include <Messenger.h>

#include <memory>

namespace {

const char* const kTitle = "ORVIK Common Preferences";

}

TIAPWin::TIAPWin(BRect frame)
	:
	TORVDlgWin(frame, kTitle, B_TITLED_WINDOW, B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
	fPortManager(nullptr),
	fView(nullptr)
{
	fView = new TIAPView(frame.OffsetToCopy(0, 0));
	ResizeTo(fView->Bounds().Width(), fView->Bounds().Height());
	AddMainChild(fView);
}

TIAPWin::~TIAPWin()
{
	// Stopping the manager deletes the port: from now on no program finds
	// a window, and the next one to ask makes its own.
	TIAPPortManager* manager;
	{
		std::lock_guard<std::mutex> lock(fManagerLock);
		manager = fPortManager;
		fPortManager = nullptr;
	}
	delete manager;
}

void TIAPWin::Show()
{
	TORVDlgWin::Show();
	std::lock_guard<std::mutex> lock(fManagerLock);
	if (fPortManager == nullptr) {
		fPortManager = new TIAPPortManager(BMessenger(fView, this));
		fPortManager->Resume();
	}
}

bool TIAPWin::QuitRequested()
{
	if (CurrentMessage() != nullptr) {
		if (!IsHidden())
			Hide();
		fView->SetComponents(0);
	}
	return TORVDlgWin::QuitRequested();
}

port_id TIAPWin::Port() const
{
	std::lock_guard<std::mutex> lock(fManagerLock);
	return fPortManager != nullptr ? fPortManager->Port() : kIAPPortPending;
}

TIAPPortManager* TIAPWin::PortManager() const
{
	std::lock_guard<std::mutex> lock(fManagerLock);
	return fPortManager;
}

void install_common_window(TInterAppPrefs* store)
{
	if (store == nullptr)
		return;
	// The window this program made, reached through its messenger so that
	// a window that is gone already is not touched.
	struct Made {
		TIAPWin* window = nullptr;
		BMessenger messenger;
	};
	auto made = std::make_shared<Made>();

	auto maker = [made](BRect frame) -> TIAPPortManager* {
		TIAPWin* window = new TIAPWin(frame);
		window->Show();
		made->window = window;
		made->messenger = BMessenger(nullptr, window);
		return window->PortManager();
	};
	auto quitter = [made]() {
		if (made->window != nullptr && made->messenger.LockTarget())
			made->window->Quit();
		made->window = nullptr;
		made->messenger = BMessenger();
	};
	store->SetWindowMaker(maker, quitter);
}
