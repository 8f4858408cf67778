#include <gtest/gtest.h>

#include "DisplayTestUtil.h"
#include "TestUtil.h"

#include "display/DisplayServer.h"
#include <InterfaceDefs.h>
#include <ViewDefs.h>

#include <SDL_scancode.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

using namespace display;
using displaytest::Picture;
using displaytest::Recorder;

namespace {

WindowParams params_at(int32 x, int32 y, int32 width, int32 height,
	bool onTop = false)
{
	WindowParams params;
	params.title = "test";
	params.x = x;
	params.y = y;
	params.width = width;
	params.height = height;
	params.alwaysOnTop = onTop;
	return params;
}

class HeadlessServer : public ::testing::Test {
protected:
	void SetUp() override
	{
		fServer = DisplayServer::Get();
		ASSERT_TRUE(fServer->IsHeadless());
	}

	void TearDown() override
	{
		for (window_id id : fServer->WindowOrder())
			fServer->DestroyWindow(id);
	}

	WindowState State(window_id id)
	{
		WindowState state;
		EXPECT_EQ(fServer->GetWindowState(id, &state), B_OK);
		return state;
	}

	std::shared_ptr<DisplayServer> fServer;
};

}

TEST_F(HeadlessServer, WindowsKeepTheirGeometryAndState)
{
	Recorder recorder;
	window_id id = fServer->CreateWindow(params_at(10, 20, 300, 200), &recorder);
	ASSERT_GT(id, 0);

	WindowState state = State(id);
	EXPECT_EQ(state.title, "test");
	EXPECT_EQ(state.x, 10);
	EXPECT_EQ(state.y, 20);
	EXPECT_EQ(state.width, 300);
	EXPECT_EQ(state.height, 200);
	EXPECT_TRUE(state.hidden);
	EXPECT_FALSE(state.active);

	// Requests show at once; their events follow on the display thread.
	ASSERT_EQ(fServer->MoveWindow(id, 50, 60), B_OK);
	ASSERT_EQ(fServer->ResizeWindow(id, 320, 240), B_OK);
	ASSERT_EQ(fServer->SetTitle(id, "Lyrics"), B_OK);
	state = State(id);
	EXPECT_EQ(state.x, 50);
	EXPECT_EQ(state.width, 320);
	EXPECT_EQ(state.title, "Lyrics");
	ASSERT_EQ(fServer->Sync(), B_OK);
	std::vector<DisplayEvent> events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].type, EventType::kWindowMoved);
	EXPECT_EQ(events[0].window, id);
	EXPECT_EQ(events[0].screenX, 50);
	EXPECT_EQ(events[0].screenY, 60);
	EXPECT_EQ(events[1].type, EventType::kWindowResized);
	EXPECT_EQ(events[1].width, 320);
	EXPECT_EQ(events[1].height, 240);

	// Every move is reported, but moving to where the window is is none.
	fServer->MoveWindow(id, 50, 60);
	fServer->MoveWindow(id, 51, 60);
	fServer->MoveWindow(id, 52, 60);
	fServer->Sync();
	events = recorder.Take(EventType::kWindowMoved);
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].screenX, 51);
	EXPECT_EQ(events[1].screenX, 52);

	// Shown: exposed and active. Minimized: inactive until restored.
	fServer->ShowWindow(id);
	fServer->Sync();
	state = State(id);
	EXPECT_FALSE(state.hidden);
	EXPECT_TRUE(state.active);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].type, EventType::kExposed);
	EXPECT_EQ(events[1].type, EventType::kWindowActivated);

	fServer->MinimizeWindow(id, true);
	fServer->Sync();
	state = State(id);
	EXPECT_TRUE(state.minimized);
	EXPECT_FALSE(state.active);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].type, EventType::kMinimized);
	EXPECT_EQ(events[1].type, EventType::kWindowDeactivated);
	fServer->MinimizeWindow(id, false);
	fServer->Sync();
	EXPECT_FALSE(State(id).minimized);
	EXPECT_TRUE(State(id).active);
	EXPECT_EQ(recorder.Take(EventType::kRestored).size(), 1u);

	fServer->HideWindow(id);
	fServer->Sync();
	EXPECT_TRUE(State(id).hidden);
	EXPECT_FALSE(State(id).active);

	// After destruction the window is gone and its listener is left alone.
	recorder.Take();
	ASSERT_EQ(fServer->DestroyWindow(id), B_OK);
	WindowState gone;
	EXPECT_EQ(fServer->GetWindowState(id, &gone), B_BAD_VALUE);
	EXPECT_EQ(fServer->MoveWindow(id, 0, 0), B_BAD_VALUE);
	EXPECT_EQ(fServer->InjectCloseRequest(id), B_BAD_VALUE);
	EXPECT_EQ(fServer->DestroyWindow(id), B_BAD_VALUE);
	EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(HeadlessServer, RefusesImpossibleSizes)
{
	EXPECT_EQ(fServer->CreateWindow(params_at(0, 0, 0, 10), nullptr), B_BAD_VALUE);
	EXPECT_EQ(fServer->CreateWindow(params_at(0, 0, 10, -1), nullptr), B_BAD_VALUE);
	EXPECT_EQ(fServer->CreateWindow(params_at(0, 0, 100000, 10), nullptr), B_BAD_VALUE);
	window_id id = fServer->CreateWindow(params_at(0, 0, 10, 10), nullptr);
	ASSERT_GT(id, 0);
	EXPECT_EQ(fServer->ResizeWindow(id, 0, 5), B_BAD_VALUE);
	EXPECT_EQ(State(id).width, 10);
}

TEST_F(HeadlessServer, AlwaysOnTopWindowsStayInFront)
{
	window_id normal1 = fServer->CreateWindow(params_at(0, 0, 10, 10), nullptr);
	window_id floating = fServer->CreateWindow(params_at(0, 0, 10, 10, true), nullptr);
	window_id normal2 = fServer->CreateWindow(params_at(0, 0, 10, 10), nullptr);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ floating, normal2, normal1 }));

	// Activating a normal window raises it among the normal ones only.
	fServer->ActivateWindow(normal1);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ floating, normal1, normal2 }));
	fServer->ShowWindow(normal2);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ floating, normal2, normal1 }));

	// Becoming always-on-top brings a window to the very front; leaving
	// that layer puts it at the front of the normal ones.
	fServer->SetAlwaysOnTop(normal1, true);
	EXPECT_TRUE(State(normal1).alwaysOnTop);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ normal1, floating, normal2 }));
	fServer->SetAlwaysOnTop(floating, false);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ normal1, floating, normal2 }));
	fServer->ActivateWindow(normal2);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ normal1, normal2, floating }));

	fServer->DestroyWindow(normal1);
	EXPECT_EQ(fServer->WindowOrder(), (std::vector<window_id>{ normal2, floating }));
}

TEST_F(HeadlessServer, FocusMovesBetweenWindows)
{
	Recorder first;
	Recorder second;
	window_id a = fServer->CreateWindow(params_at(0, 0, 10, 10), &first);
	window_id b = fServer->CreateWindow(params_at(0, 0, 10, 10), &second);
	WindowParams tipParams = params_at(0, 0, 10, 10);
	tipParams.acceptsFocus = false;
	tipParams.decoration = Decoration::kBorderless;
	window_id tip = fServer->CreateWindow(tipParams, nullptr);

	fServer->ShowWindow(a);
	fServer->ShowWindow(b);
	fServer->Sync();
	EXPECT_FALSE(State(a).active);
	EXPECT_TRUE(State(b).active);
	EXPECT_EQ(first.Take(EventType::kWindowDeactivated).size(), 1u);

	// A tool tip never takes the focus.
	fServer->ShowWindow(tip);
	fServer->ActivateWindow(tip);
	fServer->Sync();
	EXPECT_FALSE(State(tip).active);
	EXPECT_TRUE(State(b).active);

	// The active window going away hands the focus to the next one.
	fServer->HideWindow(b);
	fServer->Sync();
	EXPECT_TRUE(State(a).active);
	fServer->ShowWindow(b);
	fServer->Sync();
	EXPECT_TRUE(State(b).active);
	fServer->DestroyWindow(b);
	EXPECT_TRUE(State(a).active);

	// Activating a hidden window does nothing.
	fServer->HideWindow(a);
	fServer->ActivateWindow(a);
	fServer->Sync();
	EXPECT_FALSE(State(a).active);
}

TEST_F(HeadlessServer, MousePressesCarryPositionButtonsAndClickCount)
{
	Recorder recorder;
	window_id id = fServer->CreateWindow(params_at(100, 200, 300, 200), &recorder);
	const bigtime_t t0 = 5000000;

	fServer->InjectMouseButton(id, 10, 20, B_PRIMARY_MOUSE_BUTTON, true, t0);
	fServer->InjectMouseMove(id, 12, 21, t0 + 50000);
	fServer->InjectMouseButton(id, 12, 21, B_PRIMARY_MOUSE_BUTTON, false, t0 + 100000);
	fServer->InjectMouseButton(id, 11, 21, B_PRIMARY_MOUSE_BUTTON, true, t0 + 200000);
	fServer->InjectMouseButton(id, 11, 21, B_PRIMARY_MOUSE_BUTTON, false, t0 + 250000);
	std::vector<DisplayEvent> events = recorder.Take();
	ASSERT_EQ(events.size(), 5u);

	EXPECT_EQ(events[0].type, EventType::kMouseDown);
	EXPECT_EQ(events[0].x, 10);
	EXPECT_EQ(events[0].y, 20);
	EXPECT_EQ(events[0].screenX, 110);
	EXPECT_EQ(events[0].screenY, 220);
	EXPECT_EQ(events[0].buttons, B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(events[0].clicks, 1);
	EXPECT_EQ(events[0].when, t0);
	EXPECT_EQ(events[1].type, EventType::kMouseMoved);
	EXPECT_EQ(events[1].buttons, B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(events[2].type, EventType::kMouseUp);
	EXPECT_EQ(events[2].buttons, 0u);
	EXPECT_EQ(events[3].clicks, 2);

	// Both buttons held: the mask has both; the right one counts afresh.
	fServer->InjectMouseButton(id, 11, 21, B_PRIMARY_MOUSE_BUTTON, true, t0 + 300000);
	fServer->InjectMouseButton(id, 11, 21, B_SECONDARY_MOUSE_BUTTON, true, t0 + 310000);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].clicks, 3);
	EXPECT_EQ(events[1].clicks, 1);
	EXPECT_EQ(events[1].buttons, B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON);
	fServer->InjectMouseButton(id, 11, 21, B_SECONDARY_MOUSE_BUTTON, false, t0 + 320000);
	fServer->InjectMouseButton(id, 11, 21, B_PRIMARY_MOUSE_BUTTON, false, t0 + 330000);

	// Too far away, or too late: a single click again.
	fServer->InjectMouseButton(id, 30, 21, B_PRIMARY_MOUSE_BUTTON, true, t0 + 400000);
	fServer->InjectMouseButton(id, 30, 21, B_PRIMARY_MOUSE_BUTTON, false, t0 + 410000);
	fServer->InjectMouseButton(id, 30, 21, B_PRIMARY_MOUSE_BUTTON, true, t0 + 950000);
	events = recorder.Take(EventType::kMouseDown);
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].clicks, 1);
	EXPECT_EQ(events[1].clicks, 1);
	fServer->InjectMouseButton(id, 30, 21, B_PRIMARY_MOUSE_BUTTON, false, t0 + 960000);
}

TEST_F(HeadlessServer, KeysArriveTranslatedWithModifiers)
{
	Recorder recorder;
	window_id id = fServer->CreateWindow(params_at(0, 0, 100, 100), &recorder);

	KeyInput shift;
	shift.scancode = SDL_SCANCODE_LSHIFT;
	fServer->InjectKey(id, shift);
	EXPECT_EQ(fServer->Modifiers(), (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY));
	// The Interface Kit's modifiers() follows the keyboard.
	EXPECT_EQ(modifiers(), (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY));
	std::vector<DisplayEvent> events = recorder.Take();
	ASSERT_EQ(events.size(), 1u);
	EXPECT_EQ(events[0].type, EventType::kModifiersChanged);
	EXPECT_EQ(events[0].key, 0x4b);
	EXPECT_EQ(events[0].modifiers, B_SHIFT_KEY | B_LEFT_SHIFT_KEY);

	// A typed capital; the release reports the same bytes.
	KeyInput a;
	a.scancode = SDL_SCANCODE_A;
	a.text = "A";
	fServer->InjectKey(id, a);
	a.down = false;
	a.text = nullptr;
	fServer->InjectKey(id, a);
	// The mouse sees the modifiers too.
	fServer->InjectMouseMove(id, 1, 1, 0);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 3u);
	EXPECT_EQ(events[0].type, EventType::kKeyDown);
	EXPECT_EQ(events[0].key, 0x3c);
	EXPECT_STREQ(events[0].bytes, "A");
	EXPECT_EQ(events[0].rawChar, 'a');
	EXPECT_EQ(events[0].modifiers & B_SHIFT_KEY, B_SHIFT_KEY);
	EXPECT_EQ(events[1].type, EventType::kKeyUp);
	EXPECT_STREQ(events[1].bytes, "A");
	EXPECT_EQ(events[2].modifiers & B_SHIFT_KEY, B_SHIFT_KEY);

	shift.down = false;
	fServer->InjectKey(id, shift);
	EXPECT_EQ(fServer->Modifiers(), 0u);
	EXPECT_EQ(modifiers(), 0u);
	recorder.Take();

	// F1 held down: B_FUNCTION_KEY with key code 2, repeats counted.
	KeyInput f1;
	f1.scancode = SDL_SCANCODE_F1;
	fServer->InjectKey(id, f1);
	f1.repeat = true;
	fServer->InjectKey(id, f1);
	fServer->InjectKey(id, f1);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 3u);
	EXPECT_EQ(events[0].key, B_F1_KEY);
	EXPECT_STREQ(events[0].bytes, "\x10");
	EXPECT_EQ(events[0].repeat, 0);
	EXPECT_EQ(events[2].repeat, 2);

	// Text from an input method: one key-down per character, no key code.
	fServer->InjectText(id, "\xe6\xad\x8c\xe8\xa9\x9e", 0);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].key, 0);
	EXPECT_STREQ(events[0].bytes, "\xe6\xad\x8c");
	EXPECT_STREQ(events[1].bytes, "\xe8\xa9\x9e");
}

TEST_F(HeadlessServer, DropsCloseBoxAndUserMovesReachTheListener)
{
	Recorder recorder;
	window_id id = fServer->CreateWindow(params_at(100, 100, 200, 100), &recorder);

	fServer->InjectDrop(id, { "/tmp/a.png", "/tmp/b b.lrc" }, 150, 130, 0);
	fServer->InjectDrop(id, {}, 150, 130, 0);   // nothing dropped: no event
	std::vector<DisplayEvent> events = recorder.Take();
	ASSERT_EQ(events.size(), 1u);
	EXPECT_EQ(events[0].type, EventType::kFilesDropped);
	EXPECT_EQ(events[0].paths, (std::vector<std::string>{ "/tmp/a.png", "/tmp/b b.lrc" }));
	EXPECT_EQ(events[0].screenX, 150);
	EXPECT_EQ(events[0].screenY, 130);
	EXPECT_EQ(events[0].x, 50);
	EXPECT_EQ(events[0].y, 30);

	fServer->InjectCloseRequest(id);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 1u);
	EXPECT_EQ(events[0].type, EventType::kCloseRequested);

	// The user drags the window: state and events follow.
	fServer->InjectUserFrame(id, 300, 310, 250, 120);
	WindowState state = State(id);
	EXPECT_EQ(state.x, 300);
	EXPECT_EQ(state.height, 120);
	events = recorder.Take();
	ASSERT_EQ(events.size(), 2u);
	EXPECT_EQ(events[0].type, EventType::kWindowMoved);
	EXPECT_EQ(events[0].screenY, 310);
	EXPECT_EQ(events[1].type, EventType::kWindowResized);
	EXPECT_EQ(events[1].width, 250);
	// The contents follow the new size.
	std::vector<uint32> pixels;
	int32 width = 0;
	int32 height = 0;
	fServer->ReadContents(id, &pixels, &width, &height);
	EXPECT_EQ(width, 250);
	EXPECT_EQ(height, 120);
}

TEST_F(HeadlessServer, PresentCopiesOnlyTheDamagedRectangles)
{
	window_id id = fServer->CreateWindow(params_at(0, 0, 8, 6), nullptr);
	Picture red(8, 6);
	red.Fill(0xffff0000);
	PixelRect all = { 0, 0, 8, 6 };
	ASSERT_EQ(fServer->Present(id, red.Source(), &all, 1), B_OK);

	// A bigger backbuffer with padded rows; only two rectangles are copied,
	// one of them partly outside both the window and the backbuffer.
	Picture blue(12, 10);
	blue.Fill(0xff0000ff);
	PixelSource padded = blue.Source();
	padded.width = 10;   // rows stay 12 pixels apart
	PixelRect rects[] = { { 1, 1, 2, 1 }, { 6, 4, 50, 50 }, { -5, -5, 3, 3 } };
	ASSERT_EQ(fServer->Present(id, padded, rects, 3), B_OK);

	std::vector<uint32> pixels;
	int32 width = 0;
	int32 height = 0;
	ASSERT_EQ(fServer->ReadContents(id, &pixels, &width, &height), B_OK);
	ASSERT_EQ(width, 8);
	ASSERT_EQ(height, 6);
	auto at = [&](int32 x, int32 y) { return pixels[(size_t)y * width + x]; };
	EXPECT_EQ(at(0, 0), 0xffff0000u);
	EXPECT_EQ(at(1, 1), 0xff0000ffu);
	EXPECT_EQ(at(2, 1), 0xff0000ffu);
	EXPECT_EQ(at(3, 1), 0xffff0000u);
	EXPECT_EQ(at(1, 2), 0xffff0000u);
	EXPECT_EQ(at(6, 4), 0xff0000ffu);
	EXPECT_EQ(at(7, 5), 0xff0000ffu);
	EXPECT_EQ(at(5, 5), 0xffff0000u);

	// Growing keeps what was there and shows white where nothing was yet.
	fServer->ResizeWindow(id, 10, 6);
	ASSERT_EQ(fServer->ReadContents(id, &pixels, &width, &height), B_OK);
	EXPECT_EQ(width, 10);
	EXPECT_EQ(at(1, 1), 0xff0000ffu);
	EXPECT_EQ(at(9, 0), 0xffffffffu);

	// Nonsense is refused.
	PixelSource broken = red.Source();
	broken.bytesPerRow = 4;
	EXPECT_EQ(fServer->Present(id, broken, &all, 1), B_BAD_VALUE);
	EXPECT_EQ(fServer->Present(id, red.Source(), nullptr, 1), B_BAD_VALUE);
	EXPECT_EQ(fServer->Present(id + 100, red.Source(), &all, 1), B_BAD_VALUE);
}

TEST_F(HeadlessServer, ContentsCanBeWrittenToPng)
{
	window_id id = fServer->CreateWindow(params_at(0, 0, 20, 10), nullptr);
	Picture picture(20, 10);
	picture.FillQuadrants(0xffff0000, 0xff00ff00, 0xff0000ff, 0x00ffff00);
	PixelRect all = { 0, 0, 20, 10 };
	fServer->Present(id, picture.Source(), &all, 1);

	testutil::TempDir dir;
	std::string path = dir.File("window.png");
	ASSERT_EQ(fServer->WriteContentsToPng(id, path.c_str()), B_OK);
	std::vector<uint32> pixels;
	int32 width = 0;
	int32 height = 0;
	ASSERT_TRUE(displaytest::read_png(path, &pixels, &width, &height));
	ASSERT_EQ(width, 20);
	ASSERT_EQ(height, 10);
	EXPECT_EQ(pixels[0], 0xffff0000u);
	EXPECT_EQ(pixels[19], 0xff00ff00u);
	EXPECT_EQ(pixels[9 * 20], 0xff0000ffu);
	// Window contents are opaque whatever their alpha byte says.
	EXPECT_EQ(pixels[9 * 20 + 19], 0xffffff00u);
	EXPECT_FALSE(std::filesystem::exists(path + ".part"));
	EXPECT_EQ(testutil::folder_names(dir.Path()), std::vector<std::string>{"window.png"});

	EXPECT_NE(fServer->WriteContentsToPng(id, dir.File("no/such/folder.png").c_str()), B_OK);
	EXPECT_EQ(fServer->WriteContentsToPng(id + 100, path.c_str()), B_BAD_VALUE);
}

TEST_F(HeadlessServer, ListenersMayCallTheServer)
{
	// A listener runs on the display thread; its calls must not wait for
	// that thread.
	struct Closer : DisplayListener {
		std::shared_ptr<DisplayServer> server;
		std::atomic<int32> seenWidth{0};
		std::atomic<bool> closed{false};
		void DisplayEventReceived(const DisplayEvent& event) override
		{
			if (event.type != EventType::kCloseRequested)
				return;
			WindowState state;
			server->GetWindowState(event.window, &state);
			seenWidth = state.width;
			server->MoveWindow(event.window, 5, 5);
			server->Sync();
			closed = server->DestroyWindow(event.window) == B_OK;
		}
	};
	Closer closer;
	closer.server = fServer;
	window_id id = fServer->CreateWindow(params_at(0, 0, 33, 10), &closer);
	ASSERT_EQ(fServer->InjectCloseRequest(id), B_OK);
	EXPECT_EQ(closer.seenWidth.load(), 33);
	EXPECT_TRUE(closer.closed.load());
	EXPECT_TRUE(fServer->WindowOrder().empty());
}

TEST_F(HeadlessServer, PresentsFromAnotherThreadAreNotTorn)
{
	window_id id = fServer->CreateWindow(params_at(0, 0, 64, 64), nullptr);
	fServer->ShowWindow(id);
	std::thread painter([&]() {
		Picture frame(64, 64);
		PixelRect all = { 0, 0, 64, 64 };
		for (uint32 i = 1; i <= 200; i++) {
			frame.Fill(0xff000000u | i);
			fServer->Present(id, frame.Source(), &all, 1);
		}
	});
	for (int32 i = 0; i < 50; i++) {
		fServer->MoveWindow(id, i, i);
		std::vector<uint32> pixels;
		fServer->ReadContents(id, &pixels, nullptr, nullptr);
		// Whole frames only: every pixel of a snapshot is the same.
		ASSERT_EQ(std::count(pixels.begin(), pixels.end(), pixels[0]), 64 * 64);
	}
	painter.join();
	std::vector<uint32> pixels;
	fServer->ReadContents(id, &pixels, nullptr, nullptr);
	EXPECT_EQ(pixels[64 * 64 - 1], 0xff0000c8u);
}

TEST_F(HeadlessServer, PresentingWakesNoThreadWhenNothingShowsIt)
{
	if (getenv("VERSO_SCREENSHOT_DIR") != nullptr)
		GTEST_SKIP() << "pictures are written: the display thread has work";
	window_id id = fServer->CreateWindow(params_at(0, 0, 16, 16), nullptr);
	fServer->ShowWindow(id);
	fServer->Sync();
	const long long before = testutil::thread_switches("display server");
	ASSERT_GE(before, 0);
	Picture frame(16, 16);
	PixelRect all = { 0, 0, 16, 16 };
	long long seen = before;
	for (uint32 i = 1; i <= 4; i++) {
		frame.Fill(0xff000000u | i);
		ASSERT_EQ(fServer->Present(id, frame.Source(), &all, 1), B_OK);
		// a display thread that was woken goes back to sleep soon
		testutil::wait_for([&] {
			return (seen = testutil::thread_switches("display server")) > before + 1;
		}, 50000);
	}
	// the contents are there at once, and the display thread slept through
	std::vector<uint32> pixels;
	ASSERT_EQ(fServer->ReadContents(id, &pixels, nullptr, nullptr), B_OK);
	EXPECT_EQ(pixels[0], 0xff000004u);
	EXPECT_LE(seen - before, 1);
}

// ---- Settings read when the server starts (each test starts its own)

namespace {

class ScopedEnv {
public:
	ScopedEnv(const char* name, const char* value) : fName(name)
	{
		const char* old = getenv(name);
		fHad = old != nullptr;
		if (fHad)
			fOld = old;
		setenv(name, value, 1);
	}
	~ScopedEnv()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::string fOld;
	bool fHad;
};

}

TEST(HeadlessSettings, ScreenSizeComesFromTheEnvironment)
{
	{
		std::shared_ptr<DisplayServer> server = DisplayServer::Get();
		int32 width = 0;
		int32 height = 0;
		server->GetScreenSize(&width, &height);
		EXPECT_EQ(width, 1280);
		EXPECT_EQ(height, 1024);
		// One server per process while anybody holds it.
		EXPECT_EQ(DisplayServer::Get(), server);
	}
	{
		ScopedEnv size("VERSO_SCREEN_SIZE", "800x600");
		std::shared_ptr<DisplayServer> server = DisplayServer::Get();
		int32 width = 0;
		int32 height = 0;
		server->GetScreenSize(&width, &height);
		EXPECT_EQ(width, 800);
		EXPECT_EQ(height, 600);
	}
	{
		ScopedEnv size("VERSO_SCREEN_SIZE", "800x");
		std::shared_ptr<DisplayServer> server = DisplayServer::Get();
		int32 width = 0;
		server->GetScreenSize(&width, nullptr);
		EXPECT_EQ(width, 1280);
	}
}

TEST(HeadlessSettings, ScreenshotFolderGetsEveryWindowsLatestPicture)
{
	testutil::TempDir dir;
	ScopedEnv shots("VERSO_SCREENSHOT_DIR", dir.Path().c_str());
	std::shared_ptr<DisplayServer> server = DisplayServer::Get();
	window_id id = server->CreateWindow(params_at(0, 0, 4, 4), nullptr);
	std::string path = dir.File("window-" + std::to_string(id) + ".png");

	auto shows = [&](uint32 color) {
		std::vector<uint32> pixels;
		int32 width;
		int32 height;
		return displaytest::read_png(path, &pixels, &width, &height)
			&& pixels[0] == color;
	};

	// The first picture is written at once; a burst after it is written as
	// its last picture when the interval is over.
	Picture picture(4, 4);
	PixelRect all = { 0, 0, 4, 4 };
	picture.Fill(0xff112233);
	server->Present(id, picture.Source(), &all, 1);
	server->Sync();
	EXPECT_TRUE(shows(0xff112233));
	for (uint32 i = 0; i < 20; i++) {
		picture.Fill(0xff000000 | i);
		server->Present(id, picture.Source(), &all, 1);
	}
	EXPECT_TRUE(testutil::wait_for([&]() { return shows(0xff000013); }));

	// Closing the window does not lose a picture that was still waiting.
	picture.Fill(0xff445566);
	server->Present(id, picture.Source(), &all, 1);
	server->DestroyWindow(id);
	EXPECT_TRUE(shows(0xff445566));
}
