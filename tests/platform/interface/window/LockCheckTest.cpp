// Views in a window are drawn and changed only under the window's lock:
// without it the call is reported by name (stopping the program with the
// checks on, as in every test program) and refused.
#include <Bitmap.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <View.h>
#include <Window.h>

#include <gtest/gtest.h>

#include "WindowTestUtil.h"
#include "support/Misuse.h"

#include <string>

namespace {

// A shown window whose thread, not the test's, holds the lock.
BWindow* running_window(BView* view)
{
	BWindow* window = new BWindow(BRect(50, 50, 149, 99), "locks", B_TITLED_WINDOW, 0);
	window->AddChild(view);
	window->Show();
	windowtest::settle(window);
	return window;
}

BView* plain_view()
{
	return new BView(BRect(0, 0, 49, 49), "plain", B_FOLLOW_NONE, B_WILL_DRAW);
}

class LockCheckDeath : public ::testing::Test {
protected:
	void SetUp() override
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
		ASSERT_TRUE(BPrivate::misuse_checks_on());
	}
};

}

TEST_F(LockCheckDeath, DrawingWithoutTheLockNamesTheCall)
{
	EXPECT_DEATH({
		BView* view = plain_view();
		running_window(view);
		view->FillRect(view->Bounds());
	}, "BView::FillRect: the view's window must be locked by the caller");

	EXPECT_DEATH({
		BView* view = plain_view();
		running_window(view);
		view->DrawString("text", BPoint(2, 20));
	}, "BView::DrawString: the view's window must be locked");

	// A bitmap's views need the bitmap's lock.
	EXPECT_DEATH({
		BBitmap bitmap(BRect(0, 0, 9, 9), B_RGB32, true);
		BView* view = new BView(bitmap.Bounds(), "in bitmap", B_FOLLOW_ALL, 0);
		bitmap.AddChild(view);
		view->StrokeLine(BPoint(0, 0), BPoint(9, 9));
	}, "BView::StrokeLine: the view's window must be locked");
}

TEST_F(LockCheckDeath, ChangingViewsWithoutTheLockNamesTheCall)
{
	EXPECT_DEATH({
		BView* view = plain_view();
		running_window(view);
		view->Invalidate();
	}, "BView::Invalidate: the view's window must be locked");

	EXPECT_DEATH({
		BView* view = plain_view();
		running_window(view);
		view->AddChild(plain_view());
	}, "BView::AddChild: the view's window must be locked");

	EXPECT_DEATH({
		BView* view = plain_view();
		BView* child = plain_view();
		view->AddChild(child);
		running_window(view);
		view->RemoveChild(child);
	}, "BView::RemoveChild: the view's window must be locked");

	EXPECT_DEATH({
		BMenuBar* bar = new BMenuBar(BRect(0, 0, 99, 19), "bar");
		bar->AddItem(new BMenuItem("First", NULL));
		running_window(bar);
		bar->AddItem(new BMenuItem("Second", NULL));
	}, "BMenu::AddItem: the menu's window must be locked");

	EXPECT_DEATH({
		BMenuBar* bar = new BMenuBar(BRect(0, 0, 99, 19), "bar");
		bar->AddItem(new BMenuItem("First", NULL));
		running_window(bar);
		bar->RemoveItem((int32)0);
	}, "BMenu::RemoveItem: the menu's window must be locked");
}

// With the checks off the call is refused: nothing is drawn, and the
// window goes on working for whoever locks it.
TEST(LockCheck, ChecksOffRefuseAndReport)
{
	BView* view = plain_view();
	view->SetViewColor(255, 255, 255);
	BWindow* window = running_window(view);

	BPrivate::set_misuse_checks(false);
	::testing::internal::CaptureStderr();
	view->SetHighColor(255, 0, 0);
	view->FillRect(view->Bounds());
	std::string output = ::testing::internal::GetCapturedStderr();
	BPrivate::set_misuse_checks(true);
	EXPECT_NE(output.find("BView::FillRect: the view's window must be locked"),
		std::string::npos) << output;
	windowtest::settle(window);
	EXPECT_EQ(0xffffffu, windowtest::Pixels(window).At(10, 10) & 0xffffff);

	ASSERT_TRUE(window->Lock());
	view->FillRect(view->Bounds());
	window->Unlock();
	windowtest::settle(window);
	EXPECT_EQ(0xff0000u, windowtest::Pixels(window).At(10, 10) & 0xffffff);
	windowtest::quit(window);
}

// BWindow::AddChild and RemoveChild take the lock themselves, from any
// thread, as do a bitmap's.
TEST(LockCheck, WindowAddChildAndRemoveChildLockThemselves)
{
	BView* first = plain_view();
	BWindow* window = running_window(first);
	BView* second = new BView(BRect(50, 0, 99, 49), "second", B_FOLLOW_NONE, 0);
	window->AddChild(second);
	EXPECT_EQ(second->Window(), window);
	EXPECT_TRUE(window->RemoveChild(second));
	EXPECT_EQ(second->Window(), nullptr);
	delete second;
	windowtest::quit(window);

	BBitmap bitmap(BRect(0, 0, 9, 9), B_RGB32, true);
	BView* inBitmap = new BView(bitmap.Bounds(), "in bitmap", B_FOLLOW_ALL, 0);
	bitmap.AddChild(inBitmap);
	EXPECT_EQ(bitmap.CountChildren(), 1);
	EXPECT_TRUE(bitmap.RemoveChild(inBitmap));
	delete inBitmap;
}
