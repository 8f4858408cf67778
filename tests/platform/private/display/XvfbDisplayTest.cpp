// A real SDL window on a virtual X server: what is presented must appear on
// the X screen at the window's position.
#include <gtest/gtest.h>

#include "DisplayTestUtil.h"
#include "TestUtil.h"

#include "display/DisplayServer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

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

// A virtual X server, the SDL backend on it and a connection of our own
// to read its screen and move its pointer. The display server itself is
// taken by each test and let go before the connection closes.
class XvfbDisplay : public testing::Test {
protected:
	void SetUp() override
	{
		const std::string xvfb = find_program("Xvfb");
		if (xvfb.empty())
			GTEST_SKIP() << "Xvfb is not installed";
		ASSERT_TRUE(fServer.Start(xvfb)) << "Xvfb did not start";
		fDisplay = std::make_unique<ScopedEnv>("DISPLAY", fServer.Display().c_str());
		fBackend = std::make_unique<ScopedEnv>("VERSO_DISPLAY", "sdl");
		fX11 = XOpenDisplay(fServer.Display().c_str());
		ASSERT_NE(fX11, nullptr);
	}

	void TearDown() override
	{
		if (fX11 != nullptr)
			XCloseDisplay(fX11);
	}

	// A 64 by 48 window at 120, 90 showing the picture, once the X screen
	// shows it; 0 when it does not come.
	window_id ShowPattern(DisplayServer& displayServer, Recorder& recorder,
		const char* title, const Picture& picture)
	{
		WindowParams params;
		params.title = title;
		params.x = 120;
		params.y = 90;
		params.width = 64;
		params.height = 48;
		const window_id id = displayServer.CreateWindow(params, &recorder);
		if (id <= 0)
			return 0;
		PixelRect all = { 0, 0, 64, 48 };
		if (displayServer.Present(id, picture.Source(), &all, 1) != B_OK
			|| displayServer.ShowWindow(id) != B_OK
			|| !testutil::wait_for([&]() { return screen_shows(fX11, 120, 90, picture); }))
			return 0;
		return id;
	}

	// Shows a pattern, presents part of it anew and moves the window: the
	// screen follows each, and the move is reported.
	void ShowsPresentsAndFollowsMoves()
	{
		// Gone after the server, which may deliver to it until then.
		Recorder recorder;
		std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
		ASSERT_STREQ(displayServer->BackendName(), "sdl");
		int32 width = 0;
		int32 height = 0;
		displayServer->GetScreenSize(&width, &height);
		EXPECT_EQ(width, 640);
		EXPECT_EQ(height, 480);

		Picture picture(64, 48);
		picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00);
		const window_id id = ShowPattern(*displayServer, recorder, "pattern", picture);
		ASSERT_GT(id, 0) << "the pattern is not on the screen at the window's position";

		// A later present of part of the window shows up too.
		Picture white(64, 48);
		white.Fill(0xffffffff);
		PixelRect topLeft = { 0, 0, 32, 24 };
		displayServer->Present(id, white.Source(), &topLeft, 1);
		picture.FillQuadrants(0xffffffff, 0xff00ff00, 0xff0000ff, 0xffffff00);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(fX11, 120, 90, picture); }));

		// Moved by the program: the picture follows and the move is reported.
		displayServer->MoveWindow(id, 300, 200);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(fX11, 300, 200, picture); }));
		displayServer->Sync();
		std::vector<DisplayEvent> moves = recorder.Take(EventType::kWindowMoved);
		ASSERT_FALSE(moves.empty());
		EXPECT_EQ(moves.back().screenX, 300);
		EXPECT_EQ(moves.back().screenY, 200);

		EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
	}

	VirtualX fServer;
	std::unique_ptr<ScopedEnv> fDisplay;
	std::unique_ptr<ScopedEnv> fBackend;
	::Display* fX11 = nullptr;
};

}

TEST_F(XvfbDisplay, PresentedPixelsAppearOnTheXScreen)
{
	ShowsPresentsAndFollowsMoves();
}

TEST_F(XvfbDisplay, PresentedPixelsAppearOnTheXScreenThroughSdlsSurfacesToo)
{
	ScopedEnv throughSdl("VERSO_PRESENT", "sdl");
	ShowsPresentsAndFollowsMoves();
}

// On X11 the thread that presents puts its pixels on the screen itself:
// the display thread sleeps on. Pixels on their way to a window that is
// being destroyed are lost quietly, and later windows still show theirs.
TEST_F(XvfbDisplay, PresentsWakeNoOtherThreadAndOutliveTheirWindows)
{
	// Gone after the server, which may deliver to it until then.
	Recorder recorder;
	std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
	Picture picture(64, 48);
	picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00);
	const window_id id = ShowPattern(*displayServer, recorder, "in place", picture);
	ASSERT_GT(id, 0);
	ASSERT_EQ(displayServer->Sync(), B_OK);

	const long long before = testutil::thread_switches("display server");
	ASSERT_GE(before, 0);
	const uint32 colors[] = { 0xff204080, 0xff80c020, 0xffe0e0e0 };
	PixelRect all = { 0, 0, 64, 48 };
	for (uint32 color : colors) {
		picture.Fill(color);
		displayServer->Present(id, picture.Source(), &all, 1);
		EXPECT_TRUE(testutil::wait_for([&]() { return screen_shows(fX11, 120, 90, picture); }))
			<< std::hex << color << " did not reach the screen";
	}
	// One switch is allowed for a sleep that was on its way when counted.
	EXPECT_LE(testutil::thread_switches("display server") - before, 1);

	// Another thread presents all the while the window goes.
	std::atomic<bool> stop{false};
	std::thread presenter([&]() {
		Picture flicker(64, 48);
		for (uint32 i = 0; !stop.load(); i++) {
			flicker.Fill(i % 2 == 0 ? 0xff000000 : 0xffffffff);
			if (displayServer->Present(id, flicker.Source(), &all, 1) != B_OK)
				break;
		}
	});
	EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
	stop = true;
	presenter.join();

	Picture next(64, 48);
	next.FillQuadrants(0xff00ffff, 0xffff00ff, 0xff808080, 0xff000080);
	const window_id after = ShowPattern(*displayServer, recorder, "after", next);
	EXPECT_GT(after, 0) << "a window made afterwards does not show what is presented to it";
	EXPECT_EQ(displayServer->DestroyWindow(after), B_OK);
}

// A window too large for one request reaches the screen in bands of rows,
// each in its place. Its bottom rows, the last band, are on the screen.
TEST_F(XvfbDisplay, AWindowTooLargeForOneRequestArrivesWhole)
{
	// Gone after the server, which may deliver to it until then.
	Recorder recorder;
	std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
	// Over 16 MB: more than one request carries even with big requests.
	const int32 width = 640;
	const int32 height = 6600;
	WindowParams params;
	params.title = "tall";
	params.x = 0;
	params.y = 480 - height;
	params.width = width;
	params.height = height;
	const window_id id = displayServer->CreateWindow(params, &recorder);
	ASSERT_GT(id, 0);
	Picture picture(width, height);
	for (int32 y = 0; y < height; y++) {
		const uint32 color = 0xff000000 | (uint32)(y % 256) << 8 | (uint32)(y / 256) << 16;
		std::fill(picture.pixels.begin() + (size_t)y * width,
			picture.pixels.begin() + (size_t)(y + 1) * width, color);
	}
	PixelRect all = { 0, 0, width, height };
	ASSERT_EQ(displayServer->Present(id, picture.Source(), &all, 1), B_OK);
	ASSERT_EQ(displayServer->ShowWindow(id), B_OK);

	auto bottom_shown = [&]() {
		XImage* image = XGetImage(fX11, DefaultRootWindow(fX11), 0, 0, width, 480,
			AllPlanes, ZPixmap);
		if (image == nullptr)
			return false;
		bool same = true;
		for (int32 y = 0; y < 480 && same; y += 3) {
			const uint32 expected = picture.pixels[(size_t)(height - 480 + y) * width + 5];
			same = (XGetPixel(image, 5, y) & 0xffffff) == (expected & 0xffffff)
				&& (XGetPixel(image, width - 6, y) & 0xffffff) == (expected & 0xffffff);
		}
		XDestroyImage(image);
		return same;
	};
	EXPECT_TRUE(testutil::wait_for(bottom_shown));
	EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
}

// The display thread sleeps until its own queue or the X connection has
// something. Pointer moves made by the X server must reach the window
// whether they come while it sleeps or right after a present, when the
// answer it waited for may have brought them in with it.
TEST_F(XvfbDisplay, PointerMovesReachTheWindowWhileItsServerSleepsAndAfterPresents)
{
	// Gone after the server, which may deliver to it until then.
	Recorder recorder;
	std::shared_ptr<DisplayServer> displayServer = DisplayServer::Get();
	Picture picture(64, 48);
	picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00);
	const window_id id = ShowPattern(*displayServer, recorder, "pointer", picture);
	ASSERT_GT(id, 0);

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
	PixelRect all = { 0, 0, 64, 48 };
	for (int32 i = 0; i < 6; i++) {
		const int32 x = 8 + i * 7;
		const int32 y = 6 + i * 5;
		// every other move follows a present at once
		if (i % 2 == 1)
			displayServer->Present(id, (i % 4 == 1 ? white : picture).Source(), &all, 1);
		XWarpPointer(fX11, None, DefaultRootWindow(fX11), 0, 0, 0, 0, 120 + x, 90 + y);
		XFlush(fX11);
		EXPECT_TRUE(moved_to(x, y)) << "the move to " << x << "," << y << " did not arrive";
	}
	EXPECT_EQ(displayServer->DestroyWindow(id), B_OK);
}
