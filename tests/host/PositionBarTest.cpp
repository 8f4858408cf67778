// The position bar says when its fill moves on, so that the player's window
// asks for the position only when something it shows changes.
#include "PositionBar.h"

#include <gtest/gtest.h>

TEST(PositionBar, NextChangeInIsExactlyWhenTheFillMovesOn)
{
	PositionBar bar(BRect(0, 0, 299, 11), "position", B_FOLLOW_NONE);
	for (int32 length : {45000, 213457, 600000}) {
		bar.SetPosition(0, length);
		for (int32 position : {0, 1, 999, 12345, length / 2, length - 2000}) {
			const int32 wait = bar.NextChangeIn(position);
			ASSERT_GT(wait, 0) << length << " " << position;
			EXPECT_EQ(bar.XFor(position + wait - 1), bar.XFor(position))
				<< length << " " << position;
			EXPECT_NE(bar.XFor(position + wait), bar.XFor(position))
				<< length << " " << position;
		}
		// full: it never moves again
		EXPECT_EQ(bar.NextChangeIn(length), -1);
	}
	bar.SetPosition(0, 0);
	EXPECT_EQ(bar.NextChangeIn(0), -1);
}
