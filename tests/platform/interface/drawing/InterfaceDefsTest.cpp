#include <InterfaceDefs.h>
#include <ViewDefs.h>

#include "interface/Modifiers.h"

#include <gtest/gtest.h>

TEST(InterfaceDefs, ModifiersFollowTheBackend)
{
	EXPECT_EQ(modifiers(), 0u) << "no keys held before the display reports any";
	BPrivate::set_modifiers(B_SHIFT_KEY | B_LEFT_SHIFT_KEY | B_CONTROL_KEY);
	EXPECT_EQ(modifiers(), (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY | B_CONTROL_KEY));
	BPrivate::set_modifiers(0);
	EXPECT_EQ(modifiers(), 0u);
}

TEST(InterfaceDefs, ValuesThatArchivesAndMessagesCarry)
{
	EXPECT_EQ(B_CONTROL_KEY, 0x04);
	EXPECT_EQ(B_FUNCTION_KEY, 16);
	EXPECT_EQ(B_ESCAPE, 27);
	EXPECT_EQ(B_ENTER, 10);
	EXPECT_EQ(B_FOLLOW_ALL_SIDES, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP_BOTTOM);
	EXPECT_EQ(B_FOLLOW_LEFT | B_FOLLOW_TOP, 0x1212u);
	EXPECT_EQ(B_FOLLOW_NONE, 0);
}

TEST(InterfaceDefs, UiColoursAndTints)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	EXPECT_EQ(panel.alpha, 255);
	EXPECT_GT(panel.red, 180) << "a light desktop";
	rgb_color text = ui_color(B_CONTROL_TEXT_COLOR);
	EXPECT_LT(text.red + text.green + text.blue, 200) << "dark text on it";
	EXPECT_EQ(ui_color((color_which)9999), panel) << "unknown parts get the panel colour";

	rgb_color grey = make_color(100, 150, 200, 77);
	EXPECT_EQ(tint_color(grey, B_NO_TINT), grey);
	EXPECT_EQ(tint_color(grey, B_LIGHTEN_MAX_TINT), make_color(255, 255, 255, 77));
	EXPECT_EQ(tint_color(grey, B_DARKEN_MAX_TINT), make_color(0, 0, 0, 77));
	rgb_color darker = tint_color(grey, B_DARKEN_1_TINT);
	rgb_color lighter = tint_color(grey, B_LIGHTEN_1_TINT);
	EXPECT_LT(darker.red, grey.red);
	EXPECT_GT(lighter.red, grey.red);
	EXPECT_LT(tint_color(grey, B_DARKEN_2_TINT).green, darker.green);
}
