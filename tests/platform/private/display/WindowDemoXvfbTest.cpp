// The window example on a virtual X server: its text and its bitmap must be
// on the X screen where the window was placed.
#include <gtest/gtest.h>

#include "DisplayTestUtil.h"
#include "TestUtil.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using displaytest::ScopedEnv;
using displaytest::VirtualX;
using displaytest::find_program;

namespace {

uint32 screen_pixel(::Display* display, int32 x, int32 y)
{
	XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1,
		AllPlanes, ZPixmap);
	if (image == nullptr)
		return 0xdeadbeef;
	uint32 pixel = XGetPixel(image, 0, 0) & 0xffffff;
	XDestroyImage(image);
	return pixel;
}

// Pixels of a row span that are dark (text ink) or coloured.
int32 count_ink(::Display* display, int32 x, int32 y, int32 width, int32 height)
{
	XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, width, height,
		AllPlanes, ZPixmap);
	if (image == nullptr)
		return -1;
	int32 ink = 0;
	for (int32 row = 0; row < height; row++) {
		for (int32 column = 0; column < width; column++) {
			if ((XGetPixel(image, column, row) & 0xffffff) != 0xffffff)
				ink++;
		}
	}
	XDestroyImage(image);
	return ink;
}

}

TEST(WindowDemoOnX, TextAndBitmapAppearOnTheScreen)
{
	std::string xvfb = find_program("Xvfb");
	if (xvfb.empty())
		GTEST_SKIP() << "Xvfb is not installed";
	VirtualX server;
	ASSERT_TRUE(server.Start(xvfb)) << "Xvfb did not start";
	ScopedEnv display("DISPLAY", server.Display().c_str());
	ScopedEnv backend("VERSO_DISPLAY", "sdl");
	ScopedEnv headless("VERSO_HEADLESS", "0");

	const char* args[] = { WINDOW_DEMO_PATH, "--at", "100", "80", "--seconds", "60",
		nullptr };
	pid_t pid;
	ASSERT_EQ(posix_spawn(&pid, WINDOW_DEMO_PATH, nullptr, nullptr, (char* const*)args,
		environ), 0);

	::Display* x11 = XOpenDisplay(server.Display().c_str());
	ASSERT_NE(x11, nullptr);
	// The bitmap's quarters at (12, 80) of the window, and twice the size at
	// (100, 80).
	EXPECT_TRUE(testutil::wait_for([&] {
		return screen_pixel(x11, 100 + 12 + 5, 80 + 80 + 5) == 0xff0000
			&& screen_pixel(x11, 100 + 12 + 40, 80 + 80 + 5) == 0x00c000
			&& screen_pixel(x11, 100 + 12 + 5, 80 + 80 + 30) == 0x0000ff
			&& screen_pixel(x11, 100 + 100 + 120, 80 + 80 + 90) == 0xffc000;
	}, 20000000)) << "the bitmaps are not on the screen";
	// Both lines of text left ink in their rows: Latin, then Japanese.
	EXPECT_GT(count_ink(x11, 100 + 12, 80 + 14, 200, 20), 50);
	EXPECT_GT(count_ink(x11, 100 + 12, 80 + 44, 130, 20), 50);
	XCloseDisplay(x11);

	kill(pid, SIGTERM);
	int status = 0;
	waitpid(pid, &status, 0);
}
