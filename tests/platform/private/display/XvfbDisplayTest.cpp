// A real SDL window on a virtual X server: what is presented must appear on
// the X screen at the window's position.
#include <gtest/gtest.h>

#include "DisplayTestUtil.h"
#include "TestUtil.h"

#include "display/DisplayServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

using namespace display;
using displaytest::Picture;
using displaytest::Recorder;
using displaytest::ScopedEnv;
using displaytest::VirtualX;
using displaytest::find_program;

namespace {

// True when the screen shows the picture's four quadrant colours around
// the given position (sampled away from the edges).
bool screen_shows(::Display* display, int32 x, int32 y, const Picture& picture)
{
	XImage* image = XGetImage(display, DefaultRootWindow(display), x, y,
		picture.width, picture.height, AllPlanes, ZPixmap);
	if (image == nullptr)
		return false;
	bool same = true;
	const int32 points[][2] = { { 4, 4 }, { picture.width - 5, 4 },
		{ 4, picture.height - 5 }, { picture.width - 5, picture.height - 5 },
		{ picture.width / 2 + 1, picture.height / 2 + 1 } };
	for (const auto& point : points) {
		unsigned long pixel = XGetPixel(image, point[0], point[1]) & 0xffffff;
		uint32 expected = picture.pixels[(size_t)point[1] * picture.width + point[0]]
			& 0xffffff;
		if (pixel != expected)
			same = false;
	}
	XDestroyImage(image);
	return same;
}

}

TEST(XvfbDisplay, PresentedPixelsAppearOnTheXScreen)
{
	std::string xvfb = find_program("Xvfb");
	if (xvfb.empty())
		GTEST_SKIP() << "Xvfb is not installed";
	VirtualX server;
	ASSERT_TRUE(server.Start(xvfb)) << "Xvfb did not start";
	ScopedEnv display("DISPLAY", server.Display().c_str());
	ScopedEnv backend("VERSO_DISPLAY", "sdl");

	::Display* x11 = XOpenDisplay(server.Display().c_str());
	ASSERT_NE(x11, nullptr);
	{
		std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
		ASSERT_STREQ(displayServer->BackendName(), "sdl");
		int32 width = 0;
		int32 height = 0;
		displayServer->GetScreenSize(&width, &height);
		EXPECT_EQ(width, 640);
		EXPECT_EQ(height, 480);

		Recorder recorder;
		WindowParams params;
		params.title = "pattern";
		params.x = 120;
		params.y = 90;
		params.width = 64;
		params.height = 48;
		window_id id = displayServer->CreateWindow(params, &recorder);
		ASSERT_GT(id, 0);

		Picture picture(64, 48);
		picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00);
		PixelRect all = { 0, 0, 64, 48 };
		ASSERT_EQ(displayServer->Present(id, picture.Source(), &all, 1), B_OK);
		ASSERT_EQ(displayServer->ShowWindow(id), B_OK);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 120, 90, picture); }))
			<< "the pattern is not on the screen at the window's position";

		// A later present of part of the window shows up too.
		Picture white(64, 48);
		white.Fill(0xffffffff);
		PixelRect topLeft = { 0, 0, 32, 24 };
		displayServer->Present(id, white.Source(), &topLeft, 1);
		picture.FillQuadrants(0xffffffff, 0xff00ff00, 0xff0000ff, 0xffffff00);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 120, 90, picture); }));

		// Moved by the program: the picture follows and the move is reported.
		displayServer->MoveWindow(id, 300, 200);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 300, 200, picture); }));
		displayServer->Sync();
		std::vector<DisplayEvent> moves = recorder.Take(EventType::kWindowMoved);
		ASSERT_FALSE(moves.empty());
		EXPECT_EQ(moves.back().screenX, 300);
		EXPECT_EQ(moves.back().screenY, 200);

		EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
	}
	XCloseDisplay(x11);
}
