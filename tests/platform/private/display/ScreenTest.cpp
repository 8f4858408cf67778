#include <gtest/gtest.h>

#include <InterfaceDefs.h>
#include <Screen.h>

TEST(Screen, MainScreenIsTheVirtualScreenWithoutADisplay)
{
	BScreen screen;
	ASSERT_TRUE(screen.IsValid());
	EXPECT_EQ(screen.ID().id, B_MAIN_SCREEN_ID.id);
	// Inclusive edges: 1280 x 1024 pixels.
	EXPECT_EQ(screen.Frame(), BRect(0, 0, 1279, 1023));
	EXPECT_EQ(screen.ColorSpace(), B_RGB32);
	EXPECT_EQ(screen.SetToNext(), B_ERROR);
	EXPECT_EQ(BScreen((BWindow*)nullptr).Frame(), screen.Frame());

	// The palette is the system's.
	rgb_color white = make_color(255, 255, 255);
	EXPECT_EQ(screen.ColorForIndex(screen.IndexForColor(white)), white);
	EXPECT_EQ(screen.ColorMap(), system_colors());

	// Frames pass at 60 a second; a wait never takes longer than one.
	EXPECT_EQ(screen.WaitForRetrace(0), B_TIMED_OUT);
	EXPECT_EQ(screen.WaitForRetrace(), B_OK);

	// Only the main screen exists.
	screen_id second = { 1 };
	BScreen other(second);
	EXPECT_FALSE(other.IsValid());
	EXPECT_FALSE(other.Frame().IsValid());
	EXPECT_EQ(other.ColorSpace(), B_NO_COLOR_SPACE);
}
