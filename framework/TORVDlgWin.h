// TORVDlgWin: a dialog window. It has a target and a message that Invoke
// sends there, routes shortcut keys from any of its views to its dialog
// view (see TSCFilter), and runs its thread at display priority while it is
// shown and at low priority while hidden.
//
// Ownership. The target is not owned. The stored message belongs to the
// window from a successful SetMessage until it is replaced or the window is
// deleted; a message that SetMessage refuses stays the caller's.
#ifndef FRAMEWORK_TORV_DLG_WIN_H
#define FRAMEWORK_TORV_DLG_WIN_H

#include "framework/TORVWin.h"

class BHandler;
class BMessage;
class TORVDlgView;

class TORVDlgWin : public TORVWin {
public:
	// As TORVWin's; also attaches a TSCFilter without a target as a common
	// filter, so that shortcut keys of every view reach the window.
	TORVDlgWin(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspaces = B_CURRENT_WORKSPACE);
	virtual ~TORVDlgWin();

	virtual void MessageReceived(BMessage* message);
	virtual void Show();
	virtual void Hide();
	// The dialog view becomes `view` when it is a TORVDlgView (else none);
	// then as TORVWin.
	virtual void AddMainChild(TORVView* view);
	// As TORVWin, then the dialog view's ShortCutDown("raw_char", "key").
	virtual void KeyDown(BMessage* message);

	BHandler* Target() const { return fTarget; }
	void SetTarget(BHandler* target) { fTarget = target; }
	// The stored message, still owned by the window (NULL when none).
	BMessage* Message() const { return fMessage; }
	// B_NO_INIT while no dialog view has been added: nothing changes and
	// the caller keeps `message`. Otherwise the previous message is deleted,
	// the window takes `message` and the result is B_OK.
	status_t SetMessage(BMessage* message);
	// Sends `message` (or the stored one when NULL) to the target without
	// waiting for a reply; the message is copied, not taken. B_NO_INIT
	// without a target, B_BAD_VALUE with no message at all, else the result
	// of the delivery (B_OK, or why the target could not be reached). The
	// target must still exist: the window does not watch it.
	status_t Invoke(BMessage* message = NULL);

	TORVDlgView* DialogView() const { return fDlgView; }

private:
	BHandler* fTarget;      // not owned
	BMessage* fMessage;     // owned
	TORVDlgView* fDlgView;  // the main child as a dialog view, or NULL
};

#endif
