// The framework window: flags, placing on the screen, hiding on the close
// box, coming back with Appear, quitting in code, and keys for the main view.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "framework/TORVView.h"
#include "framework/TORVWin.h"

#include <AppDefs.h>
#include <Message.h>
#include <Screen.h>

#include "display/DisplayServer.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

class KeyView : public TORVView {
public:
	KeyView(BRect frame, const char* name)
		: TORVView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE) {}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fTyped.append(bytes, numBytes);
	}
	std::string Typed()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fTyped;
	}
private:
	std::mutex fLock;
	std::string fTyped;
};

class TestWin : public TORVWin {
public:
	TestWin(BRect frame, std::atomic<bool>* deleted = nullptr)
		: TORVWin(frame, "framework", B_TITLED_WINDOW, 0), fDeleted(deleted) {}
	~TestWin() override
	{
		if (fDeleted != nullptr)
			*fDeleted = true;
	}
	bool SetDeskBarTitle() override
	{
		titles++;
		return true;
	}
	std::atomic<int> titles{0};
private:
	std::atomic<bool>* fDeleted;
};

bool hidden(BWindow* window)
{
	EXPECT_TRUE(window->Lock());
	bool result = window->IsHidden();
	window->Unlock();
	return result;
}

}

TEST(FrameworkWindow, AlwaysHasAsynchronousControls)
{
	TORVWin* typed = new TORVWin(BRect(0, 0, 99, 99), "typed", B_TITLED_WINDOW, B_NOT_ZOOMABLE);
	EXPECT_EQ(typed->Flags(), (uint32)(B_NOT_ZOOMABLE | B_ASYNCHRONOUS_CONTROLS));
	EXPECT_EQ(typed->MainChild(), nullptr);
	typed->Quit();
	TORVWin* looked = new TORVWin(BRect(0, 0, 99, 99), "looked", B_FLOATING_WINDOW_LOOK,
		B_FLOATING_ALL_WINDOW_FEEL, 0);
	EXPECT_EQ(looked->Flags(), (uint32)B_ASYNCHRONOUS_CONTROLS);
	looked->Quit();
}

TEST(FrameworkWindow, SetPosKeepsTheWindowOnTheScreenOrCentresIt)
{
	BRect screen = BScreen().Frame();
	TestWin* window = new TestWin(BRect(10, 10, 209, 109));   // bounds 199 x 99
	window->Show();
	ASSERT_TRUE(window->Lock());

	BPoint placed = window->SetPos(true, BPoint(100, 50));
	EXPECT_EQ(placed, BPoint(100, 50));
	EXPECT_EQ(window->Frame().LeftTop(), placed);

	// Past the right and bottom edges: 5 pixels inside them.
	placed = window->SetPos(true, BPoint(screen.right - 20, screen.bottom));
	EXPECT_EQ(placed, BPoint(screen.right - 199 - 5, screen.bottom - 99 - 5));
	EXPECT_EQ(window->Frame().LeftTop(), placed);
	// Exactly at the limit it stays.
	placed = window->SetPos(true, BPoint(screen.right - 199 - 5, 0));
	EXPECT_EQ(placed, BPoint(screen.right - 199 - 5, 0));

	placed = window->SetPos(true, BPoint(-30, -40));
	EXPECT_EQ(placed, BPoint(0, 0));
	EXPECT_EQ(window->Frame().LeftTop(), placed);

	placed = window->SetPos(false, BPoint(1, 1));
	EXPECT_EQ(placed, BPoint((screen.right - 199) * 0.5f, (screen.bottom - 99) * 0.5f));

	// A window wider than the screen keeps its left edge on it.
	window->ResizeTo(screen.Width() + 100, 99);
	placed = window->SetPos(true, BPoint(300, 10));
	EXPECT_EQ(placed.x, 0);
	window->Quit();
}

TEST(FrameworkWindow, CloseBoxHidesAndAppearBringsItBack)
{
	std::atomic<bool> deleted{false};
	TestWin* window = new TestWin(BRect(50, 50, 249, 149), &deleted);
	window->Show();
	windowtest::settle(window);

	display::DisplayServer::Get()->InjectCloseRequest(native(window));
	windowtest::settle(window);
	EXPECT_FALSE(deleted);
	EXPECT_TRUE(hidden(window));
	// A second close request while hidden leaves it hidden (not hidden twice).
	display::DisplayServer::Get()->InjectCloseRequest(native(window));
	windowtest::settle(window);

	ASSERT_TRUE(window->Lock());
	window->Appear();
	EXPECT_FALSE(window->IsHidden());
	window->Unlock();
	windowtest::settle(window);

	// Shown but behind another window: Appear activates it.
	TestWin* other = new TestWin(BRect(60, 60, 259, 159));
	other->Show();
	windowtest::settle(other);
	windowtest::settle(window);
	ASSERT_TRUE(window->Lock());
	EXPECT_FALSE(window->IsActive());
	window->Appear();
	window->Unlock();
	EXPECT_TRUE(testutil::wait_for([&] {
		window->Lock();
		bool active = window->IsActive();
		window->Unlock();
		return active;
	}));
	windowtest::quit(other);

	// Quitting in code: no current message, so the window agrees and goes.
	ASSERT_TRUE(window->Lock());
	EXPECT_TRUE(window->QuitRequested());
	window->Quit();
	EXPECT_TRUE(deleted);
}

TEST(FrameworkWindow, WorkspaceActivationAsksForTheDeskBarTitle)
{
	TestWin* window = new TestWin(BRect(50, 50, 149, 149));
	window->Show();
	BMessage activated(B_WORKSPACE_ACTIVATED);
	activated.AddInt32("workspace", 0);
	activated.AddBool("active", true);
	window->PostMessage(&activated);
	windowtest::settle(window);
	EXPECT_EQ(window->titles.load(), 1);
	windowtest::quit(window);
}

TEST(FrameworkWindow, KeysWithoutAFocusViewGoToTheMainView)
{
	TestWin* window = new TestWin(BRect(50, 50, 249, 149));
	KeyView* main = new KeyView(BRect(0, 0, 99, 99), "main");
	KeyView* other = new KeyView(BRect(100, 0, 199, 99), "other");
	window->AddMainChild(main);
	window->AddChild(other);
	EXPECT_EQ(window->MainChild(), main);
	window->Show();

	windowtest::key(window, 4);   // a
	EXPECT_EQ(main->Typed(), "a");

	// A focus view takes the keys as usual.
	ASSERT_TRUE(window->Lock());
	other->MakeFocus(true);
	window->Unlock();
	windowtest::key(window, 5);   // b
	EXPECT_EQ(other->Typed(), "b");
	EXPECT_EQ(main->Typed(), "a");
	windowtest::quit(window);
}
