// Melodeck's window: the playing entry's title, position and length, a
// position bar, buttons for previous, play/pause and next, and a menu bar
// with the player's commands and a submenu per general plug-in (its
// preferences and about windows).
//
// The window's title always begins with "Melo-Deck": plug-ins find the
// player's window by it (they dock beside it and follow its moves). The
// window is made before the plug-ins are loaded, so it is there when they
// look; the application tells it afterwards which plug-ins run
// (kPlayerPlugins).
//
// The window only talks to the player by message (HostProtocol.h). It
// watches the playback (kMelodeckStartWatching) for changes of entry, play
// state and seeks, and while the entry plays it asks for the position once
// a second (when the time shown changes); the player, which is awake then
// anyway, may draw such an answer into the window itself
// (ShowPositionNow). Its buttons, bar, menu items and keys send commands to
// the player; nothing in the window waits for the player.
//
// Keys (without Alt or Ctrl): space plays or pauses, Left and Right seek
// 5 seconds back or on, N next, P previous; with sound, + and - change the
// volume and M mutes (also in the Player menu).
//
// Closing the window quits the player: it asks the application to quit and
// stays until the application, with its plug-ins taken down, closes it.
//
// Ownership: a BWindow like any other; it deletes itself when it quits.
#ifndef HOST_PLAYER_WINDOW_H
#define HOST_PLAYER_WINDOW_H

#include "PlayerState.h"

#include <Messenger.h>
#include <Window.h>

class BButton;
class BMenu;
class BMenuBar;
class BMenuItem;
class BMessageRunner;
class PlayerDisplay;
class PositionBar;

extern const char* const kPlayerWindowTitle;   // "Melo-Deck"

// Messages the window takes besides the player's state reports.
enum {
	// From the application once the plug-ins run, one entry per plug-in,
	// by index: "name" (string), "prefs" and "about" (bool, whether it has
	// those windows).
	kPlayerPlugins = 'Mwpl'
};

class PlayerWindow : public BWindow {
public:
	// `player` takes the commands of HostProtocol.h (the application).
	explicit PlayerWindow(const BMessenger& player,
		bigtime_t refreshInterval = kDefaultRefreshInterval);
	virtual ~PlayerWindow();

	virtual void MessageReceived(BMessage* message) override;
	virtual void DispatchMessage(BMessage* message, BHandler* handler) override;
	virtual bool QuitRequested() override;

	// The state the window shows (with the window locked).
	const PlayerState& State() const { return fState; }

	// For the player's thread, holding the window's lock: shows a state
	// report (kMelodeckState) at once when it differs from what the window
	// shows in the position at most, drawing the time and the bar from the
	// caller's thread, so that the window's own thread need not wake for
	// the time of every second. False, with nothing done, for any other
	// report: that one goes to the window as a message.
	bool ShowPositionNow(const BMessage* report);

	// While an entry plays, the position is asked for again when the second
	// shown changes next (the bar's fill moves on with it), but never more
	// often than this.
	static const bigtime_t kDefaultRefreshInterval = 250000;
	// How far Left and Right seek (ms).
	static const int32 kSeekStep = 5000;
	// How far + and - change the volume (percent).
	static const int32 kVolumeStep = 10;

private:
	void _BuildMenu();
	void _SetPlugins(const BMessage* message);
	void _Layout();
	void _ApplyState(const BMessage* message);
	void _SetRefreshing(bool refreshing);
	bigtime_t _NextRefresh() const;
	bool _HandleKey(BMessage* message);
	void _Send(BMessage* message);
	void _Send(uint32 what);

	BMessenger fPlayer;
	PlayerState fState;
	bigtime_t fRefreshInterval;
	BMessageRunner* fRefresh;   // owned; runs while the entry plays

	BView* fBackground;
	BMenuBar* fMenuBar;
	BMenu* fPluginMenu;
	BMenuItem* fVolumeUp;
	BMenuItem* fVolumeDown;
	BMenuItem* fMute;
	PlayerDisplay* fDisplay;
	PositionBar* fBar;
	BButton* fPrevious;
	BButton* fPlay;
	BButton* fNext;
};

#endif
