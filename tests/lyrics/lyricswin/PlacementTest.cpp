// Docking beside the player's window, sizing to it, and following it.
#include "LyricsWinTestSupport.h"

#include "lyrics/VersoDMessages.h"

using namespace lwtest;

namespace {

BMessage dock(int32 position)
{
	BMessage message(kMsgPopWinPos);
	message.AddInt32(kFieldWinPos, position);
	return message;
}

BMessage size_to(int32 size)
{
	BMessage message(kMsgPopWinSize);
	message.AddInt32(kFieldWinSize, size);
	return message;
}

}

TEST_F(LyricsWinTest, DocksOnEachSideOfThePlayer)
{
	Open();
	struct Case {
		int32 position;
		BPoint corner;
	} cases[] = {
		{kWinPosAbove, BPoint(105, 200 - 104 - 6)},
		{kWinPosBelow, BPoint(105, 321)},
		{kWinPosLeft, BPoint(-105, 205)},
		{kWinPosRight, BPoint(380, 205)},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.position);
		post(fLyrics, dock(c.position));
		EXPECT_EQ(frame_of(fLyrics).LeftTop(), c.corner);
		// The window follows the player from its new place.
		EXPECT_EQ(offset_of(fLyrics), c.corner - kPlayerFrame.LeftTop());
		EXPECT_EQ(frame_of(fLyrics).Width(), 199);
	}
}

TEST_F(LyricsWinTest, UnknownOrMissingPositionMovesNothing)
{
	Open();
	// A move by the program keeps the offset ...
	move_to(fLyrics, 40, 50);
	windowtest::settle(fLyrics);
	BPoint before = offset_of(fLyrics);
	EXPECT_EQ(before, kLyricsFrame.LeftTop() - kPlayerFrame.LeftTop());

	// ... and a command without "WinPos" does nothing at all.
	post(fLyrics, kMsgPopWinPos);
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(40, 50));
	EXPECT_EQ(offset_of(fLyrics), before);

	// An unknown position leaves the window where it is but takes the
	// present distance as the new offset.
	post(fLyrics, dock(7));
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(40, 50));
	EXPECT_EQ(offset_of(fLyrics), BPoint(40, 50) - kPlayerFrame.LeftTop());
}

TEST_F(LyricsWinTest, SizesToThePlayer)
{
	Open(true, BRect(600, 500, 799, 579));
	post(fLyrics, size_to(kWinSizePlayerWidth));
	BRect frame = frame_of(fLyrics);
	EXPECT_EQ(frame.Width(), 264);
	EXPECT_EQ(frame.Height(), 79);
	EXPECT_EQ(frame.LeftTop(), BPoint(600, 500));

	// The fixed height does not depend on the player's.
	post(fLyrics, size_to(kWinSizeFixedHeight));
	frame = frame_of(fLyrics);
	EXPECT_EQ(frame.Width(), 264);
	EXPECT_EQ(frame.Height(), 105);

	post(fLyrics, size_to(2));
	post(fLyrics, kMsgPopWinSize);
	EXPECT_EQ(frame_of(fLyrics), frame);
	// Sizing does not touch the offset.
	EXPECT_EQ(offset_of(fLyrics), kLyricsFrame.LeftTop() - kPlayerFrame.LeftTop());
}

TEST_F(LyricsWinTest, SizingBringsBackAWindowLostOffTheScreen)
{
	Open();
	// Wholly above and left of the screen.
	move_to(fLyrics, -500, -400);
	post(fLyrics, size_to(kWinSizeFixedHeight));
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(0, 0));

	// Only above: x is kept.
	move_to(fLyrics, 30, -300);
	post(fLyrics, size_to(kWinSizeFixedHeight));
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(30, 0));

	// Partly off the screen is left alone.
	move_to(fLyrics, -50, -20);
	post(fLyrics, size_to(kWinSizeFixedHeight));
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(-50, -20));
}

TEST_F(LyricsWinTest, WithoutThePlayerWindowCommandsDoNothing)
{
	Open(false);
	EXPECT_EQ(offset_of(fLyrics), BPoint(0, 0));
	post(fLyrics, dock(kWinPosBelow));
	post(fLyrics, size_to(kWinSizePlayerWidth));
	EXPECT_EQ(frame_of(fLyrics), kLyricsFrame);
	EXPECT_EQ(offset_of(fLyrics), BPoint(0, 0));
}

TEST_F(LyricsWinTest, FollowsThePlayerKeepingTheOffsetOfADrag)
{
	Open();
	post(fLyrics, dock(kWinPosBelow));
	ASSERT_EQ(frame_of(fLyrics).LeftTop(), BPoint(105, 321));

	move_to(fPlayer, 300, 100);
	EXPECT_TRUE(wait_at(fLyrics, BPoint(305, 221)));
	EXPECT_EQ(offset_of(fLyrics), BPoint(5, 121));

	// The user drags the lyrics window away: the new distance counts.
	user_drag(fLyrics, BPoint(700, 50));
	EXPECT_EQ(frame_of(fLyrics).LeftTop(), BPoint(700, 50));
	EXPECT_EQ(offset_of(fLyrics), BPoint(400, -50));

	move_to(fPlayer, 200, 300);
	EXPECT_TRUE(wait_at(fLyrics, BPoint(600, 250)));
	EXPECT_EQ(offset_of(fLyrics), BPoint(400, -50));

	// A move by the program (or the window manager without a button held)
	// is not a drag: the window goes back to its distance on the next move.
	move_to(fLyrics, 10, 10);
	windowtest::settle(fLyrics);
	EXPECT_EQ(offset_of(fLyrics), BPoint(400, -50));
	move_to(fPlayer, 210, 300);
	EXPECT_TRUE(wait_at(fLyrics, BPoint(610, 250)));
}

TEST_F(LyricsWinTest, APlayerOnOtherWorkspacesIsNotFollowed)
{
	Open();
	if (fPlayer->Lock()) {
		fPlayer->SetWorkspaces(2);
		fPlayer->Unlock();
	}
	windowtest::settle(fPlayer);
	move_to(fPlayer, 150, 250);
	windowtest::settle(fPlayer);
	windowtest::settle(fLyrics);
	EXPECT_EQ(frame_of(fLyrics), kLyricsFrame);

	// Moving the lyrics window to the player's workspace: the distance of
	// that moment is kept from then on.
	if (fLyrics->Lock()) {
		fLyrics->SetWorkspaces(2);
		fLyrics->Unlock();
	}
	windowtest::settle(fLyrics);
	EXPECT_EQ(offset_of(fLyrics), kLyricsFrame.LeftTop() - BPoint(150, 250));
	move_to(fPlayer, 160, 250);
	EXPECT_TRUE(wait_at(fLyrics, kLyricsFrame.LeftTop() + BPoint(10, 0)));
}
