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

// The display thread sleeps until its own queue or the X connection has
// something. Pointer moves made by the X server must reach the window
// whether they come while it sleeps or right after a present, when the
// answer it waited for may have brought them in with it.
TEST(XvfbDisplay, PointerMovesReachTheWindowWhileItsServerSleepsAndAfterPresents)
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
		Recorder recorder;
		WindowParams params;
		params.title = "pointer";
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
		ASSERT_TRUE(testutil::wait_for([&]() { return screen_shows(x11, 120, 90, picture); }));

		std::vector<DisplayEvent> seen;
		auto moved_to = [&](int32 x, int32 y) {
			return testutil::wait_for([&]() {
				for (const DisplayEvent& event : recorder.Take(EventType::kMouseMoved))
					seen.push_back(event);
				for (const DisplayEvent& event : seen) {
					if (event.window == id && event.x == x && event.y == y)
						return true;
				}
				return false;
			});
		};
		Picture white(64, 48);
		white.Fill(0xffffffff);
		for (int32 i = 0; i < 6; i++) {
			const int32 x = 8 + i * 7;
			const int32 y = 6 + i * 5;
			// every other move follows a present at once
			if (i % 2 == 1)
				displayServer->Present(id, (i % 4 == 1 ? white : picture).Source(), &all, 1);
			XWarpPointer(x11, None, DefaultRootWindow(x11), 0, 0, 0, 0, 120 + x, 90 + y);
			XFlush(x11);
			EXPECT_TRUE(moved_to(x, y)) << "the move to " << x << "," << y << " did not arrive";
		}
		EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
	}
	XCloseDisplay(x11);
}
