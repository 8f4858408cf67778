// What the lyrics window tests share: a stand-in player application with a
// window titled "Melo-Deck", a stand-in communication manager that records
// what it gets, and a fixture that opens both windows side by side.
#ifndef LYRICS_WIN_TEST_SUPPORT_H
#define LYRICS_WIN_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "lyrics/TVersoDWin.h"
#include "plugin/TCommMan.h"

#include <Application.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Window.h>

#include <mutex>
#include <string>
#include <vector>

namespace lwtest {

// The player's frame in the docking cases: (100, 200, 374, 315).
extern const BRect kPlayerFrame;
// Where the lyrics window opens: bounds (0, 0, 199, 104).
extern const BRect kLyricsFrame;

// The song the stand-in player plays; its file lies in a folder of the run.
std::string song_path();

// A stand-in for the communication manager: records every message.
class RecordingCommMan : public TCommMan {
public:
	RecordingCommMan();
	void MessageReceived(BMessage* message) override;
	std::vector<BMessage> Take();
	bool WaitFor(uint32 what, BMessage* out = nullptr);
private:
	std::mutex fLock;
	std::vector<BMessage> fSeen;
};

// Put on the lyrics view: records what reaches the view and keeps it from
// the view, so that routing is checked without the view acting on it.
class ViewProbe : public BMessageFilter {
public:
	ViewProbe() : BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE) {}
	filter_result Filter(BMessage* message, BHandler** target) override;
	std::vector<uint32> Take();
	static bool IsProbed(uint32 what);
private:
	std::mutex fLock;
	std::vector<uint32> fSeen;
};

// The player's window as far as the lyrics window sees it.
class PlayerWindow : public BWindow {
public:
	PlayerWindow(BRect frame, const char* title = "Melo-Deck Test");
};

BRect frame_of(BWindow* window);
BPoint offset_of(TVersoDWin* window);
window_feel feel_of(BWindow* window);
int32 filters_of(BWindow* window);
// Moves the window as the program does (under its lock), and waits until
// the window has heard of its move.
void move_to(BWindow* window, float x, float y);
// Waits until the window's left-top corner is `where`.
bool wait_at(BWindow* window, BPoint where);
// Posts `message` to the window and waits until it has been handled.
void post(BWindow* window, const BMessage& message);
void post(BWindow* window, uint32 what);
// The user drags the window by its border with the primary button to the
// left-top corner `where`.
void user_drag(BWindow* window, BPoint where);

// Settings folder, preferences, language and a running stand-in player for
// every test; the player and the lyrics window are opened per test.
class LyricsWinTest : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Opens the lyrics window on `frame` (the player's window opens first
	// unless withPlayer is false).
	void Open(bool withPlayer = true, BRect frame = kLyricsFrame);
	void QuitLyrics();

	void SetStayOnTop(bool on);
	bool StayOnTop();

	testutil::TempDir fConfig;
	PlayerWindow* fPlayer = nullptr;
	TVersoDWin* fLyrics = nullptr;
	RecordingCommMan* fCommMan = nullptr;
	ViewProbe* fProbe = nullptr;
};

}

#endif
