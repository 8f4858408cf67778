// TVersoDWin: the lyrics window. A small window without a title tab that
// carries the lyrics view beside the player's window, keeps a fixed offset
// to it and follows it when it moves. Its context menu (held by the view)
// posts every command here: the window handles the window commands itself
// (docking, sizing, hiding, stay on top) and passes the others on to the
// communication manager.
//
// Ownership: the lyrics view is the window's main child and belongs to it.
// The communication manager is not owned; the window only posts to it. The
// filter that reports the player window's moves belongs to the player's
// window while it is attached; the lyrics window takes it off again (and
// deletes it) when it quits, so the filter never outlives this window or
// the plug-in's code. A player window that is gone by then has deleted the
// filter itself.
//
// Threads: every handler runs in the window's own thread. The filter runs
// in the player window's thread and only posts 'Scwm' here.
#ifndef LYRICS_T_VERSO_D_WIN_H
#define LYRICS_T_VERSO_D_WIN_H

#include "framework/TORVWin.h"

#include <Messenger.h>
#include <Point.h>

class BLooper;
class TCommMan;
class TVersoDView;
class TWMFilter;

class TVersoDWin : public TORVWin {
public:
	// Opens (hidden) on `frame`, screen coordinates, resized to what the
	// lyrics view needs; docks to the player's window when there is one.
	// `commMan` receives the commands the window does not handle itself; it
	// may be NULL (the commands are then dropped).
	TVersoDWin(BRect frame, TCommMan* commMan);
	virtual ~TVersoDWin();

	virtual void MessageReceived(BMessage* message) override;
	// Stores the window's frame as the saved window state, takes the move
	// filter off the player's window, then quits.
	virtual void Quit() override;
	// A move made by the user (a mouse button held) sets a new offset to the
	// player's window; a move made by the program keeps it.
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces) override;
	// Activation re-applies the stay-on-top feel (it was dropped by hiding).
	virtual void WindowActivated(bool active) override;

	// Handlers of the context menu's commands and of the notices.
	void PopMItemOpenClicked();
	void PopMItemWinPosClicked(BMessage* message);
	void PopMItemWinSizeClicked(BMessage* message);
	void PopMItemHideClicked();
	void PopMItemStayOnTopClicked();
	void PrefStayOnTopChanged();
	void MelodeckWindowMoved();
	// offset := this window's left-top corner - the player window's, when
	// the player's window is there; otherwise the offset stays.
	void UpdateWinPosDiffe();

	// For tests and diagnostics; window locked.
	BPoint WinPosDiffe() const { return fWinPosDiffe; }
	TVersoDView* LyricsView() const { return fView; }
	// Whether the move filter sits on the player's window.
	bool IsFollowingPlayer() const { return fWMFilter != nullptr; }

private:
	// Posts a copy of `message` to the communication manager, when there is
	// one. Never waits for it.
	void PostToCommMan(BMessage* message);
	void AttachWMFilter();
	void DetachWMFilter();

	BPoint fWinPosDiffe;
	TVersoDView* fView;        // the main child; owned by the window
	TCommMan* fCommMan;        // not owned
	BMessenger fCommManMessenger;
	// The player's window that carries fWMFilter, addressed through a
	// messenger so that a window that is gone is never touched.
	BWindow* fPlayerWindow;
	BMessenger fPlayerMessenger;
	TWMFilter* fWMFilter;      // owned by the player's window while attached
};

#endif
