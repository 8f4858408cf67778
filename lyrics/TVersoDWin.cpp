#include "lyrics/TVersoDWin.h"

#include "lyrics/TVersoDView.h"
#include "lyrics/VersoDMessages.h"
#include "plugin/AppGlobals.h"
#include "plugin/CommManMessages.h"
#include "plugin/MelodeckFrontEnd.h"
#include "plugin/TCommMan.h"
#include "plugin/TWMFilter.h"
#include "prefs/PrefStore.h"

#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <Message.h>

#include <string>

namespace {

// How long the window waits for the player's window when it only reads
// from it; a busy player must not freeze the lyrics window.
const bigtime_t kPlayerLockTimeout = 100000;

// Gaps between the player's window and a docked lyrics window.
const float kDockGap = 6;
const float kDockIndent = 5;
// Width of a lyrics window sized to the player: 10 pixels narrower.
const float kSizeInset = 10;
// Height of a lyrics window given the fixed height.
const float kFixedHeight = 105;

// Whether `window` is still one of the application's windows. The player's
// window is found once and may be gone by the time the lyrics window needs
// it again; a pointer that is no longer listed is never dereferenced.
bool is_app_window(const BWindow* window)
{
	if (window == NULL || be_app == NULL)
		return false;
	for (int32 i = 0; BWindow* listed = be_app->WindowAt(i); i++) {
		if (listed == window)
			return true;
	}
	return false;
}

}

TVersoDWin::TVersoDWin(BRect frame, TCommMan* commMan)
	:
	TORVWin(frame, gAppName, B_MODAL_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_ASYNCHRONOUS_CONTROLS | B_WILL_ACCEPT_FIRST_CLICK, B_CURRENT_WORKSPACE),
	fWinPosDiffe(0, 0),
	fView(NULL),
	fCommMan(commMan),
	fCommManMessenger(),
	fPlayerWindow(NULL),
	fPlayerMessenger(),
	fWMFilter(NULL)
{
	if (fCommMan != NULL)
		fCommManMessenger = BMessenger(NULL, fCommMan);

	// The view may settle on another size than asked for; the window takes
	// the view's.
	fView = new TVersoDView(frame.OffsetToCopy(0, 0));
	BRect viewFrame = fView->Frame();
	ResizeTo(viewFrame.right, viewFrame.bottom);
	AddMainChild(fView);

	set_proper_feel(this);
	AttachWMFilter();
	UpdateWinPosDiffe();
}

TVersoDWin::~TVersoDWin()
{
	// Quit() has normally done this already; a window deleted some other
	// way must not leave the filter behind either.
	DetachWMFilter();
}

void TVersoDWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgPopOpenLyrics:
			PopMItemOpenClicked();
			break;
		case kMsgPopWinPos:
			PopMItemWinPosClicked(message);
			break;
		case kMsgPopWinSize:
			PopMItemWinSizeClicked(message);
			break;
		case kMsgPopHide:
			PopMItemHideClicked();
			break;
		case kMsgPopStayOnTop:
			PopMItemStayOnTopClicked();
			break;
		case kMsgPlayerWinMoved:
			MelodeckWindowMoved();
			break;
		case kMsgPrefStayOnTopChanged:
		case kMsgStayOnTopToggled:
			PrefStayOnTopChanged();
			break;

		// Notices from the manager that the view acts on.
		case kMsgAppearanceChanged:
		case kMsgDoubleBufferingChanged:
		case kMsgLanguageChanged:
		case kMsgIAPChanged:
		case kMsgReadingChanged:
			if (fView != NULL)
				PostMessage(message, fView);
			break;

		// Commands that the manager carries out.
		case kMsgPopPreferences:
		case kMsgPopCommonPrefs:
		case kMsgPopHelp:
		case kMsgPopAuthorWeb:
		case B_ABOUT_REQUESTED:
		case kMsgBackgroundImageChanged:
			PostToCommMan(message);
			break;

		default:
			TORVWin::MessageReceived(message);
			break;
	}
}

void TVersoDWin::Quit()
{
	{
		TPrefLock lock;
		if (gExitState != NULL)
			gExitState->windowFrame = Frame();
	}
	DetachWMFilter();
	TORVWin::Quit();
}

void TVersoDWin::FrameMoved(BPoint newPosition)
{
	// Only the user moves the window with a button held; the program's own
	// moves (following the player, docking) must not shift the offset.
	uint32 buttons = 0;
	if (fView != NULL) {
		BPoint where;
		fView->GetMouse(&where, &buttons, true);
	}
	if (buttons != 0)
		UpdateWinPosDiffe();
	TORVWin::FrameMoved(newPosition);
}

void TVersoDWin::WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces)
{
	UpdateWinPosDiffe();
	TORVWin::WorkspacesChanged(oldWorkspaces, newWorkspaces);
}

void TVersoDWin::WindowActivated(bool active)
{
	if (active)
		set_proper_feel(this);
	TORVWin::WindowActivated(active);
}

void TVersoDWin::PopMItemOpenClicked()
{
	if (fView == NULL)
		return;
	// The name is known even when the file does not exist yet; it is empty
	// only while no song is loaded, and then there is nothing to open.
	std::string path = fView->LyricsFName();
	entry_ref ref;
	if (path.empty() || get_ref_for_path(path.c_str(), &ref) != B_OK)
		return;
	BMessage request(kMsgOpenVersoE);
	request.AddRef(kFieldLyricsERef, &ref);
	PostToCommMan(&request);
}

void TVersoDWin::PopMItemWinPosClicked(BMessage* message)
{
	int32 winPos;
	if (message->FindInt32(kFieldWinPos, &winPos) != B_OK)
		return;
	BRect player;
	if (get_melodeck_win_frame(&player) != 0)
		return;

	BRect bounds = Bounds();
	switch (winPos) {
		case kWinPosAbove:
			MoveTo(player.left + kDockIndent, player.top - bounds.bottom - kDockGap);
			break;
		case kWinPosBelow:
			MoveTo(player.left + kDockIndent, player.bottom + kDockGap);
			break;
		case kWinPosLeft:
			MoveTo(player.left - bounds.right - kDockGap, player.top + kDockIndent);
			break;
		case kWinPosRight:
			MoveTo(player.right + kDockGap, player.top + kDockIndent);
			break;
		default:
			break;
	}
	UpdateWinPosDiffe();
}

void TVersoDWin::PopMItemWinSizeClicked(BMessage* message)
{
	int32 winSize;
	if (message->FindInt32(kFieldWinSize, &winSize) != B_OK)
		return;
	BRect player;
	if (get_melodeck_win_frame(&player) != 0)
		return;

	BRect bounds = Bounds();
	switch (winSize) {
		case kWinSizePlayerWidth:
			ResizeTo(player.right - player.left - kSizeInset, bounds.bottom);
			break;
		case kWinSizeFixedHeight:
			ResizeTo(bounds.right, kFixedHeight);
			break;
		default:
			break;
	}

	// A window that ended up wholly off the top or the left of the screen
	// could not be reached any more.
	BRect frame = Frame();
	if (frame.bottom < 0) {
		MoveTo(frame.left, 0);
		frame = Frame();
	}
	if (frame.right < 0)
		MoveTo(0, frame.top);
}

void TVersoDWin::PopMItemHideClicked()
{
	// A floating window would stay in front even minimized; the feel comes
	// back when the window is activated again.
	SetFeel(B_NORMAL_WINDOW_FEEL);
	Minimize(true);
}

void TVersoDWin::PopMItemStayOnTopClicked()
{
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->stayOnTop = !pref->stayOnTop;
	}
	save_pref(false);

	// The window applies the feel in a later turn, as it does for the
	// preference window's change; the manager tells the preference window
	// and the editor.
	BMessage changed(kMsgStayOnTopToggled);
	PostMessage(&changed, this);
	PostToCommMan(&changed);
}

void TVersoDWin::PrefStayOnTopChanged()
{
	if (IsMinimized())
		return;
	set_proper_feel(this);
}

void TVersoDWin::MelodeckWindowMoved()
{
	BWindow* player = NULL;
	if (get_melodeck_window(&player) != 0)
		return;
	BRect playerFrame;
	if (get_melodeck_win_frame(&playerFrame) != 0)
		return;

	BMessenger messenger(NULL, player);
	if (messenger.LockTargetWithTimeout(kPlayerLockTimeout) != B_OK)
		return;
	uint32 playerWorkspaces = player->Workspaces();
	player->Unlock();

	// A player on another workspace is not followed until the two windows
	// share one again.
	if (playerWorkspaces != Workspaces())
		return;
	MoveTo(playerFrame.LeftTop() + fWinPosDiffe);
}

void TVersoDWin::UpdateWinPosDiffe()
{
	BRect player;
	if (get_melodeck_win_frame(&player) != 0)
		return;
	fWinPosDiffe = Frame().LeftTop() - player.LeftTop();
}

void TVersoDWin::PostToCommMan(BMessage* message)
{
	// The messenger turns a manager that has gone into a failed send rather
	// than a call on a deleted looper.
	if (fCommManMessenger.IsValid())
		fCommManMessenger.SendMessage(message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
}

void TVersoDWin::AttachWMFilter()
{
	BWindow* player = NULL;
	if (get_melodeck_window(&player) != 0 || !is_app_window(player))
		return;
	BMessenger messenger(NULL, player);
	if (!messenger.LockTarget())
		return;
	TWMFilter* filter = new TWMFilter(BMessenger(this));
	player->AddCommonFilter(filter);
	player->Unlock();

	fPlayerWindow = player;
	fPlayerMessenger = messenger;
	fWMFilter = filter;
}

void TVersoDWin::DetachWMFilter()
{
	if (fWMFilter == NULL)
		return;
	TWMFilter* filter = fWMFilter;
	fWMFilter = NULL;

	// A player window that has gone took its filters with it.
	if (!is_app_window(fPlayerWindow) || !fPlayerMessenger.LockTarget())
		return;
	if (fPlayerWindow->RemoveCommonFilter(filter))
		delete filter;
	fPlayerWindow->Unlock();
}
