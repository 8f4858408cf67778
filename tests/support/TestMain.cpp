#include <gtest/gtest.h>

#include <stdlib.h>

int main(int argc, char** argv)
{
	// No test opens a real display or the desktop's opener.
	setenv("VERSO_HEADLESS", "1", 0);
	::testing::InitGoogleTest(&argc, argv);
	return RUN_ALL_TESTS();
}
