// The common preference window of the author's programs, "ORVIK Common
// Preferences": exactly one exists among the running programs, in the
// program that first asked for it. Its port manager makes the port
// "ORVIKIAPPort", through which the other programs hand it their items,
// and forwards what arrives to the window's view (TIAPView).
//
// The close box, Cancel, OK and a '_QRQ' from the port only hide the
// window; it is destroyed when its owner quits it in code. The destructor
// stops the port manager, so the port goes with the window and the next
// program that asks makes a new window.
//
// Ownership: the window owns its view (a child) and its port manager.
//
// Threads: Show() may be called from any thread holding the window's lock
// or before the window runs; the port manager is made once, under a lock of
// its own, so Port() may be read from any thread.
#ifndef IAP_T_IAP_WIN_H
#define IAP_T_IAP_WIN_H

#include "framework/TORVDlgWin.h"

#include <OS.h>

#include <mutex>

class TIAPPortManager;
class TIAPView;
class TInterAppPrefs;

class TIAPWin : public TORVDlgWin {
public:
	// Hidden, at the left-top of `frame`, as small as its view.
	explicit TIAPWin(BRect frame);
	virtual ~TIAPWin();

	// Shows the window; the first call starts the port manager.
	virtual void Show();
	// From a message (the close box, '_QRQ'): hides and takes back the
	// values not yet confirmed, and refuses. In code: agrees.
	virtual bool QuitRequested();

	// The port manager's port; kIAPPortPending while there is no manager
	// or it has not made the port yet.
	port_id Port() const;
	// The manager, owned by the window; NULL before the first Show().
	TIAPPortManager* PortManager() const;
	TIAPView* View() const { return fView; }

private:
	mutable std::mutex fManagerLock;
	TIAPPortManager* fPortManager;
	TIAPView* fView;
};

// Lets `store` make the common window in this program when no program has
// one, and end it again (TInterAppPrefs::QuitWindow, or the store's
// destructor), so that the window never outlives the code that runs it.
void install_common_window(TInterAppPrefs* store);

#endif
