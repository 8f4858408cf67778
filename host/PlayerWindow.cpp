#include "PlayerWindow.h"

#include "HostProtocol.h"
#include "PlayerDisplay.h"
#include "PositionBar.h"

#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <MessageRunner.h>

#include <algorithm>
#include <string.h>

const char* const kPlayerWindowTitle = "Melo-Deck";

namespace {

const float kMargin = 8;
const float kSpacing = 6;
const float kWindowWidth = 400;
const float kMinWindowWidth = 300;
const float kDisplayHeight = 46;
const float kBarHeight = 14;
const float kButtonWidth = 84;

// Where the window opens: the left part of the screen, so that a window
// docked on its right side still fits.
const BPoint kStartPosition(40, 80);

// A player too busy to take a command within this time misses it, rather
// than freezing the window.
const bigtime_t kSendTimeout = 500000;

std::string window_title(const PlayerState& state)
{
	if (!state.HasEntry() || state.title.empty())
		return kPlayerWindowTitle;
	return std::string(kPlayerWindowTitle) + " - " + state.title;
}

BMessage* plugin_message(uint32 what, int32 index)
{
	BMessage* message = new BMessage(what);
	message->AddInt32("plugin", index);
	return message;
}

}

PlayerWindow::PlayerWindow(const BMessenger& player, bigtime_t refreshInterval)
	:
	BWindow(BRect(0, 0, kWindowWidth - 1, 129), kPlayerWindowTitle, B_TITLED_WINDOW,
		B_NOT_ZOOMABLE | B_NOT_V_RESIZABLE),
	fPlayer(player),
	fRefreshInterval(refreshInterval > 0 ? refreshInterval : kDefaultRefreshInterval),
	fRefresh(NULL),
	fBackground(NULL),
	fMenuBar(NULL),
	fPluginMenu(NULL),
	fVolumeUp(NULL),
	fVolumeDown(NULL),
	fMute(NULL),
	fDisplay(NULL),
	fBar(NULL),
	fPrevious(NULL),
	fPlay(NULL),
	fNext(NULL)
{
	_BuildMenu();

	fBackground = new BView(Bounds(), "background", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	fBackground->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(fBackground);

	fDisplay = new PlayerDisplay(BRect(0, 0, 10, kDisplayHeight - 1), "display",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	fBackground->AddChild(fDisplay);

	fBar = new PositionBar(BRect(0, 0, 10, kBarHeight - 1), "position",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	fBar->SetTarget(fPlayer);
	fBackground->AddChild(fBar);

	// The buttons do not take the focus: the keys belong to the player
	// (space plays or pauses whichever button was clicked last).
	const uint32 buttonFlags = B_WILL_DRAW;
	const uint32 buttonMode = B_FOLLOW_H_CENTER | B_FOLLOW_TOP;
	fPrevious = new BButton(BRect(0, 0, kButtonWidth - 1, 10), "previous", "Previous",
		new BMessage(kMelodeckPrevious), buttonMode, buttonFlags);
	fPlay = new BButton(BRect(0, 0, kButtonWidth - 1, 10), "play", "Play",
		new BMessage(kMelodeckTogglePlay), buttonMode, buttonFlags);
	fNext = new BButton(BRect(0, 0, kButtonWidth - 1, 10), "next", "Next",
		new BMessage(kMelodeckNext), buttonMode, buttonFlags);
	for (BButton* button : {fPrevious, fPlay, fNext}) {
		button->SetTarget(fPlayer);
		button->SetTimeout(kSendTimeout);
		button->SetEnabled(false);   // until the player tells what it plays
		fBackground->AddChild(button);
	}

	_Layout();
	MoveTo(kStartPosition);

	// Ask for the state now and hear of every change from here on; the
	// replies wait in the window's queue until it runs.
	BMessage watch(kMelodeckStartWatching);
	watch.AddMessenger("target", BMessenger(this));
	_Send(&watch);
	BMessage ask(kMelodeckGetState);
	fPlayer.SendMessage(&ask, BMessenger(this), kSendTimeout);
}

PlayerWindow::~PlayerWindow()
{
	delete fRefresh;
	BMessage unwatch(kMelodeckStopWatching);
	unwatch.AddMessenger("target", BMessenger(this));
	fPlayer.SendMessage(&unwatch, (BHandler*)NULL, 0);
}

void PlayerWindow::_BuildMenu()
{
	fMenuBar = new BMenuBar(BRect(0, 0, kWindowWidth - 1, 19), "menu bar");

	BMenu* player = new BMenu("Player");
	player->AddItem(new BMenuItem("Play/Pause", new BMessage(kMelodeckTogglePlay)));
	player->AddItem(new BMenuItem("Previous", new BMessage(kMelodeckPrevious)));
	player->AddItem(new BMenuItem("Next", new BMessage(kMelodeckNext)));
	player->AddSeparatorItem();
	BMessage* louder = new BMessage(kMelodeckSetVolume);
	louder->AddInt32(MELODECK_FIELD_OFFSET, kVolumeStep);
	player->AddItem(fVolumeUp = new BMenuItem("Volume up", louder));
	BMessage* softer = new BMessage(kMelodeckSetVolume);
	softer->AddInt32(MELODECK_FIELD_OFFSET, -kVolumeStep);
	player->AddItem(fVolumeDown = new BMenuItem("Volume down", softer));
	player->AddItem(fMute = new BMenuItem("Mute", new BMessage(kMelodeckToggleMute)));
	// until the player says that it plays sound
	for (BMenuItem* item : {fVolumeUp, fVolumeDown, fMute})
		item->SetEnabled(false);
	player->AddSeparatorItem();
	player->AddItem(new BMenuItem("Quit", new BMessage(B_QUIT_REQUESTED), 'Q',
		B_COMMAND_KEY));
	player->SetTargetForItems(fPlayer);
	fMenuBar->AddItem(player);

	fPluginMenu = new BMenu("Plug-ins");
	BMenuItem* none = new BMenuItem("No plug-ins loaded", NULL);
	none->SetEnabled(false);
	fPluginMenu->AddItem(none);
	fMenuBar->AddItem(fPluginMenu);
	AddChild(fMenuBar);
}

void PlayerWindow::_Layout()
{
	float menuHeight = 0;
	if (fMenuBar != NULL) {
		float preferredWidth;
		fMenuBar->GetPreferredSize(&preferredWidth, &menuHeight);
		fMenuBar->ResizeTo(Bounds().Width(), menuHeight);
		menuHeight += 1;   // preferred sizes are widths, one less than the pixels
	}
	const float width = Bounds().Width() + 1;

	float buttonHeight = 0;
	for (BButton* button : {fPrevious, fPlay, fNext}) {
		float preferredWidth, preferredHeight;
		button->GetPreferredSize(&preferredWidth, &preferredHeight);
		buttonHeight = std::max(buttonHeight, preferredHeight + 1);
	}

	float y = kMargin;
	fDisplay->MoveTo(kMargin, y);
	fDisplay->ResizeTo(width - 2 * kMargin - 1, kDisplayHeight - 1);
	y += kDisplayHeight + kSpacing;
	fBar->MoveTo(kMargin, y);
	fBar->ResizeTo(width - 2 * kMargin - 1, kBarHeight - 1);
	y += kBarHeight + kSpacing;

	const float rowWidth = 3 * kButtonWidth + 2 * kSpacing;
	float x = std::floor((width - rowWidth) / 2);
	for (BButton* button : {fPrevious, fPlay, fNext}) {
		button->ResizeTo(kButtonWidth - 1, buttonHeight - 1);
		button->MoveTo(x, y);
		x += kButtonWidth + kSpacing;
	}
	y += buttonHeight + kMargin;

	const float height = menuHeight + y;
	fBackground->MoveTo(0, menuHeight);
	ResizeTo(width - 1, height - 1);
	fBackground->ResizeTo(width - 1, height - menuHeight - 1);
	SetSizeLimits(kMinWindowWidth - 1, 4 * kWindowWidth, height - 1, height - 1);
}

void PlayerWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMelodeckState:
		case kMelodeckStateChanged:
			_ApplyState(message);
			break;

		case kPlayerPlugins:
			_SetPlugins(message);
			break;

		case B_REPLY:
			// answers to commands that nobody waits for
			break;

		default:
			BWindow::MessageReceived(message);
	}
}

// One submenu per plug-in, with what it offers enabled.
void PlayerWindow::_SetPlugins(const BMessage* message)
{
	type_code type;
	int32 count = 0;
	if (message->GetInfo("name", &type, &count) != B_OK || count <= 0)
		return;
	fPluginMenu->RemoveItems(0, fPluginMenu->CountItems(), true);
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		message->FindString("name", i, &name);
		const std::string label = name != NULL && name[0] != '\0'
			? name : "Plug-in " + std::to_string(i + 1);
		bool prefs = true, about = true;
		message->FindBool("prefs", i, &prefs);
		message->FindBool("about", i, &about);

		BMenu* submenu = new BMenu(label.c_str());
		BMenuItem* item = new BMenuItem("Preferences\xe2\x80\xa6",
			plugin_message(kMelodeckPluginPrefs, i));
		item->SetEnabled(prefs);
		submenu->AddItem(item);
		item = new BMenuItem("About\xe2\x80\xa6", plugin_message(kMelodeckPluginAbout, i));
		item->SetEnabled(about);
		submenu->AddItem(item);
		submenu->SetTargetForItems(fPlayer);
		fPluginMenu->AddItem(submenu);
	}
}

bool PlayerWindow::ShowPositionNow(const BMessage* report)
{
	PlayerState state = fState;
	if (!IsLocked() || find_thread(NULL) == Thread() || !state.Read(report)
		|| !state.SameButPosition(fState))
		return false;
	fState = state;
	fDisplay->DrawStateNow(fState);
	fBar->DrawPositionNow(fState.position, fState.HasEntry() ? fState.length : 0);
	if (fRefresh != NULL)
		fRefresh->SetInterval(_NextRefresh());
	Flush();
	return true;
}

void PlayerWindow::_ApplyState(const BMessage* message)
{
	PlayerState state = fState;
	if (!state.Read(message))
		return;
	fState = state;

	const std::string title = window_title(fState);
	if (title != Title())
		SetTitle(title.c_str());
	fDisplay->SetState(fState);
	fBar->SetPosition(fState.position, fState.HasEntry() ? fState.length : 0);

	const bool enabled = fState.HasEntry();
	for (BButton* button : {fPrevious, fPlay, fNext}) {
		if (button->IsEnabled() != enabled)
			button->SetEnabled(enabled);
	}
	// the volume only matters with sound
	for (BMenuItem* item : {fVolumeUp, fVolumeDown, fMute}) {
		if (item->IsEnabled() != fState.audio)
			item->SetEnabled(fState.audio);
	}
	if (fMute->IsMarked() != fState.muted)
		fMute->SetMarked(fState.muted);

	const char* label = fState.playing ? "Pause" : "Play";
	if (strcmp(fPlay->Label(), label) != 0)
		fPlay->SetLabel(label);

	_SetRefreshing(fState.playing);
	if (fRefresh != NULL)
		fRefresh->SetInterval(_NextRefresh());
}

bigtime_t PlayerWindow::_NextRefresh() const
{
	if (!fState.HasEntry())
		return fRefreshInterval;
	// The window shows the time in whole seconds; the bar's fill moves on
	// with it. A fill that moves several pixels a second (a short song)
	// steps once a second rather than waking the window (and the player)
	// for each pixel.
	const int32 position = std::max(0, fState.position);
	const int32 wait = 1000 - position % 1000;
	return std::max(fRefreshInterval, (bigtime_t)wait * 1000);
}

void PlayerWindow::_SetRefreshing(bool refreshing)
{
	if (refreshing == (fRefresh != NULL))
		return;
	if (!refreshing) {
		delete fRefresh;
		fRefresh = NULL;
		return;
	}
	// The player answers each of these with its state, straight to us.
	BMessage ask(kMelodeckGetState);
	fRefresh = new BMessageRunner(fPlayer, &ask, fRefreshInterval, -1, BMessenger(this));
	if (fRefresh->InitCheck() != B_OK) {
		delete fRefresh;
		fRefresh = NULL;
	}
}

void PlayerWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message != NULL && message->what == B_KEY_DOWN && _HandleKey(message))
		return;
	BWindow::DispatchMessage(message, handler);
}

bool PlayerWindow::_HandleKey(BMessage* message)
{
	int32 modifiers = 0;
	message->FindInt32("modifiers", &modifiers);
	// Alt and Ctrl combinations are shortcuts and menu keys.
	if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) != 0)
		return false;
	const char* bytes = NULL;
	if (message->FindString("bytes", &bytes) != B_OK || bytes == NULL
		|| strlen(bytes) != 1)
		return false;

	switch (bytes[0]) {
		case B_SPACE:
			_Send(kMelodeckTogglePlay);
			return true;
		case 'n':
		case 'N':
			_Send(kMelodeckNext);
			return true;
		case 'p':
		case 'P':
			_Send(kMelodeckPrevious);
			return true;
		case 'm':
		case 'M':
			_Send(kMelodeckToggleMute);
			return true;
		case '+':
		case '=':
		case '-': {
			BMessage volume(kMelodeckSetVolume);
			volume.AddInt32(MELODECK_FIELD_OFFSET, bytes[0] == '-' ? -kVolumeStep : kVolumeStep);
			_Send(&volume);
			return true;
		}
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW: {
			BMessage seek(kMelodeckSeek);
			seek.AddInt32(MELODECK_FIELD_OFFSET,
				bytes[0] == B_LEFT_ARROW ? -kSeekStep : kSeekStep);
			_Send(&seek);
			return true;
		}
	}
	return false;
}

void PlayerWindow::_Send(BMessage* message)
{
	fPlayer.SendMessage(message, (BHandler*)NULL, kSendTimeout);
}

void PlayerWindow::_Send(uint32 what)
{
	BMessage message(what);
	_Send(&message);
}

bool PlayerWindow::QuitRequested()
{
	// The application asks every window when it quits, from its own
	// thread: by then the plug-ins are gone and the window may go.
	if (find_thread(NULL) != Thread())
		return true;

	// The user closed the window: the player quits with it. The window
	// stays until the application closes it, because the plug-ins may
	// still need it while they close. Without an application to ask, it
	// simply goes.
	BMessage quit(B_QUIT_REQUESTED);
	return be_app_messenger.SendMessage(&quit, (BHandler*)NULL, kSendTimeout) != B_OK;
}
