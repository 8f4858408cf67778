// The lyrics window's commands: stay on top, hiding, the routing of the
// context menu's commands and of the manager's notices, and its end.
#include "LyricsWinTestSupport.h"

#include "lyrics/TVersoDView.h"
#include "lyrics/VersoDMessages.h"
#include "plugin/AppGlobals.h"
#include "plugin/CommManMessages.h"
#include "prefs/PrefStore.h"

#include <AppDefs.h>
#include <Entry.h>
#include <Path.h>

#include <algorithm>
#include <filesystem>

using namespace lwtest;

namespace {

bool minimized(BWindow* window)
{
	bool result = false;
	if (window->Lock()) {
		result = window->IsMinimized();
		window->Unlock();
	}
	return result;
}

std::vector<uint32> whats(const std::vector<BMessage>& messages)
{
	std::vector<uint32> result;
	for (const BMessage& message : messages)
		result.push_back(message.what);
	return result;
}

}

TEST_F(LyricsWinTest, OpensAsAFramelessWindowFilledByTheView)
{
	Open();
	ASSERT_TRUE(fLyrics->Lock());
	EXPECT_STREQ(fLyrics->Title(), gAppName);
	EXPECT_EQ(fLyrics->Look(), B_MODAL_WINDOW_LOOK);
	EXPECT_EQ(fLyrics->Feel(), B_NORMAL_WINDOW_FEEL);
	EXPECT_NE(fLyrics->Flags() & B_WILL_ACCEPT_FIRST_CLICK, 0u);
	EXPECT_EQ(fLyrics->MainChild(), fLyrics->LyricsView());
	EXPECT_EQ(fLyrics->LyricsView()->Frame(), fLyrics->Bounds());
	EXPECT_TRUE(fLyrics->IsFollowingPlayer());
	fLyrics->Unlock();
	EXPECT_EQ(offset_of(fLyrics), kLyricsFrame.LeftTop() - kPlayerFrame.LeftTop());
}

TEST_F(LyricsWinTest, OpensFloatingWhenStayOnTopIsOn)
{
	SetStayOnTop(true);
	Open();
	EXPECT_EQ(feel_of(fLyrics), B_FLOATING_ALL_WINDOW_FEEL);
}

TEST_F(LyricsWinTest, StayOnTopFromTheMenuTogglesSavesAndTellsTheManager)
{
	Open();
	std::string saved = fConfig.Path() + "/ORVIK/Shared/VersoShared_Prefs.arc";

	post(fLyrics, kMsgPopStayOnTop);
	EXPECT_TRUE(StayOnTop());
	// The window re-applies the feel from its own notice.
	windowtest::settle(fLyrics);
	EXPECT_EQ(feel_of(fLyrics), B_FLOATING_ALL_WINDOW_FEEL);
	EXPECT_TRUE(fCommMan->WaitFor(kMsgStayOnTopToggled));
	ASSERT_TRUE(std::filesystem::exists(saved));
	const std::string savedOn = testutil::read_file(saved);

	fCommMan->Take();
	post(fLyrics, kMsgPopStayOnTop);
	windowtest::settle(fLyrics);
	EXPECT_FALSE(StayOnTop());
	EXPECT_EQ(feel_of(fLyrics), B_NORMAL_WINDOW_FEEL);
	EXPECT_TRUE(fCommMan->WaitFor(kMsgStayOnTopToggled));
	// Saved again, with the other value.
	EXPECT_NE(testutil::read_file(saved), savedOn);
	// The notice carries no fields.
	for (const BMessage& message : fCommMan->Take())
		EXPECT_EQ(message.CountNames(B_ANY_TYPE), 0) << message.what;
}

TEST_F(LyricsWinTest, StayOnTopFromThePreferenceWindow)
{
	Open();
	SetStayOnTop(true);
	post(fLyrics, kMsgPrefStayOnTopChanged);
	EXPECT_EQ(feel_of(fLyrics), B_FLOATING_ALL_WINDOW_FEEL);
	SetStayOnTop(false);
	post(fLyrics, kMsgPrefStayOnTopChanged);
	EXPECT_EQ(feel_of(fLyrics), B_NORMAL_WINDOW_FEEL);
	// The change came from the manager: nothing goes back to it.
	windowtest::settle(fLyrics);
	EXPECT_TRUE(fCommMan->Take().empty());
}

TEST_F(LyricsWinTest, HidingMinimizesAndActivationFloatsAgain)
{
	SetStayOnTop(true);
	Open();
	ASSERT_EQ(feel_of(fLyrics), B_FLOATING_ALL_WINDOW_FEEL);

	post(fLyrics, kMsgPopHide);
	EXPECT_EQ(feel_of(fLyrics), B_NORMAL_WINDOW_FEEL);
	EXPECT_TRUE(testutil::wait_for([this] { return minimized(fLyrics); }));

	// A minimized window does not float, even when told to.
	post(fLyrics, kMsgPrefStayOnTopChanged);
	EXPECT_EQ(feel_of(fLyrics), B_NORMAL_WINDOW_FEEL);

	// The user brings it back.
	if (fLyrics->Lock()) {
		fLyrics->Minimize(false);
		fLyrics->Activate(true);
		fLyrics->Unlock();
	}
	EXPECT_TRUE(testutil::wait_for([this] {
		return feel_of(fLyrics) == B_FLOATING_ALL_WINDOW_FEEL;
	}));
	EXPECT_FALSE(minimized(fLyrics));
}

TEST_F(LyricsWinTest, NoticesOfTheManagerGoToTheView)
{
	Open();
	const uint32 codes[] = {kMsgAppearanceChanged, kMsgDoubleBufferingChanged,
		kMsgLanguageChanged, kMsgIAPChanged, kMsgReadingChanged};
	for (uint32 code : codes)
		post(fLyrics, code);
	windowtest::settle(fLyrics);
	EXPECT_EQ(fProbe->Take(), std::vector<uint32>(std::begin(codes), std::end(codes)));
	windowtest::settle(fLyrics);
	EXPECT_TRUE(fCommMan->Take().empty());
}

TEST_F(LyricsWinTest, CommandsOfTheMenuGoToTheManager)
{
	Open();
	const uint32 codes[] = {kMsgPopPreferences, kMsgPopCommonPrefs, kMsgPopHelp,
		kMsgPopAuthorWeb, B_ABOUT_REQUESTED, kMsgBackgroundImageChanged};
	for (uint32 code : codes)
		post(fLyrics, code);
	ASSERT_TRUE(fCommMan->WaitFor(kMsgBackgroundImageChanged));
	EXPECT_EQ(whats(fCommMan->Take()), std::vector<uint32>(std::begin(codes), std::end(codes)));
	EXPECT_TRUE(fProbe->Take().empty());
}

TEST_F(LyricsWinTest, OpenAsksTheManagerForTheEditorOnTheLyricsFile)
{
	Open();
	// The view learns the playing song from the stand-in player.
	std::string expected;
	ASSERT_TRUE(testutil::wait_for([&] {
		if (!fLyrics->Lock())
			return false;
		expected = fLyrics->LyricsView()->LyricsFName();
		fLyrics->Unlock();
		return !expected.empty();
	}));
	EXPECT_EQ(std::filesystem::path(expected).parent_path(),
		std::filesystem::path(song_path()).parent_path());

	post(fLyrics, kMsgPopOpenLyrics);
	BMessage request;
	ASSERT_TRUE(fCommMan->WaitFor(kMsgOpenVersoE, &request));
	entry_ref ref;
	ASSERT_EQ(request.FindRef(kFieldLyricsERef, &ref), B_OK);
	// The file need not exist yet.
	EXPECT_EQ(BPath(&ref).Path(), expected);
	EXPECT_EQ(request.CountNames(B_ANY_TYPE), 1);
}

TEST_F(LyricsWinTest, QuitStoresTheFrameAndTakesTheFilterOffThePlayer)
{
	const int32 before = 0;
	Open();
	EXPECT_EQ(filters_of(fPlayer), before + 1);
	move_to(fLyrics, 321, 123);
	BRect frame = frame_of(fLyrics);

	QuitLyrics();
	EXPECT_EQ(filters_of(fPlayer), before);
	{
		TPrefLock lock;
		EXPECT_EQ(gExitState->windowFrame, frame);
	}
	// The player goes on moving without anybody to tell.
	move_to(fPlayer, 10, 20);
	windowtest::settle(fPlayer);
	EXPECT_EQ(frame_of(fPlayer).LeftTop(), BPoint(10, 20));
}

TEST_F(LyricsWinTest, QuitsCleanlyAfterThePlayerWindowHasGone)
{
	Open();
	windowtest::quit(fPlayer);
	fPlayer = nullptr;
	// The filter went with the player's window; nothing is touched twice.
	QuitLyrics();
	TPrefLock lock;
	EXPECT_EQ(gExitState->windowFrame, kLyricsFrame);
}

TEST_F(LyricsWinTest, WithoutAPlayerThereIsNoFilter)
{
	Open(false);
	ASSERT_TRUE(fLyrics->Lock());
	EXPECT_FALSE(fLyrics->IsFollowingPlayer());
	fLyrics->Unlock();
	// A player window that opens later is not followed.
	fPlayer = new PlayerWindow(kPlayerFrame);
	fPlayer->Show();
	move_to(fPlayer, 50, 50);
	windowtest::settle(fPlayer);
	windowtest::settle(fLyrics);
	EXPECT_EQ(frame_of(fLyrics), kLyricsFrame);
	EXPECT_EQ(filters_of(fPlayer), 0);
}
