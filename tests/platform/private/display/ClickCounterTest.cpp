#include <gtest/gtest.h>

#include "display/ClickCounter.h"

using display::ClickCounter;

TEST(ClickCounter, CountsQuickPressesOfOneButtonAtOnePlace)
{
	ClickCounter counter;
	EXPECT_EQ(counter.Press(1, 1, 100, 100, 1000000), 1);
	EXPECT_EQ(counter.Press(1, 1, 101, 99, 1300000), 2);
	// Just inside the double-click time and the distance.
	EXPECT_EQ(counter.Press(1, 1, 105, 103, 1800000), 3);
	// Too late: a new first click.
	EXPECT_EQ(counter.Press(1, 1, 105, 103, 2300001), 1);
	EXPECT_EQ(counter.Press(1, 1, 105, 103, 2400000), 2);
}

TEST(ClickCounter, StartsAgainForAnotherButtonPlaceOrWindow)
{
	ClickCounter counter;
	counter.Press(1, 1, 10, 10, 0);
	EXPECT_EQ(counter.Press(1, 2, 10, 10, 100000), 1);      // other button
	EXPECT_EQ(counter.Press(1, 2, 10, 15, 200000), 1);      // 5 pixels away
	EXPECT_EQ(counter.Press(2, 2, 10, 15, 300000), 1);      // other window
	EXPECT_EQ(counter.Press(2, 2, 10, 15, 400000), 2);
	// A clock that went backwards is not a double click.
	EXPECT_EQ(counter.Press(2, 2, 10, 15, 300000), 1);
	counter.Reset();
	EXPECT_EQ(counter.Press(2, 2, 10, 15, 350000), 1);
}
