// Views drawing into windows and bitmaps, checked by pixels.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <Bitmap.h>
#include <View.h>
#include <Window.h>

#include <atomic>
#include <functional>
#include <math.h>
#include <mutex>
#include <vector>

using windowtest::Pixels;

namespace {

const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};
const rgb_color kGreen = {0, 255, 0, 255};
const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kBlack = {0, 0, 0, 255};

// A view whose Draw() runs a function.
class FuncView : public BView {
public:
	FuncView(BRect frame, std::function<void(BView*)> draw,
		uint32 mode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW)
		: BView(frame, "func", mode, flags), fDraw(std::move(draw)) {}
	void Draw(BRect) override { if (fDraw) fDraw(this); draws++; }
	std::atomic<int> draws{0};
private:
	std::function<void(BView*)> fDraw;
};

BWindow* make_window(BRect frame = BRect(100, 100, 199, 79 + 100))
{
	return new BWindow(frame, "drawing", B_TITLED_WINDOW, B_NOT_RESIZABLE);
}

}

TEST(Drawing, FillsAndStrokesCoverInclusivePixels)
{
	BWindow* window = make_window();
	window->AddChild(new FuncView(BRect(10, 10, 59, 59), [](BView* v) {
		v->SetHighColor(kRed);
		v->FillRect(BRect(0, 0, 3, 3));          // 4 x 4 pixels
		v->SetHighColor(kBlue);
		v->StrokeRect(BRect(10, 10, 19, 19));     // a 10 x 10 frame
		v->SetHighColor(kGreen);
		v->StrokeLine(BPoint(0, 30), BPoint(9, 30));
	}));
	window->Show();
	Pixels pixels(window);
	// View origin is at window (10, 10).
	EXPECT_EQ(pixels.Count(0xff0000, 0, 0, 99, 79), 16);
	EXPECT_EQ(pixels.At(10, 10), 0xff0000u);
	EXPECT_EQ(pixels.At(13, 13), 0xff0000u);
	EXPECT_EQ(pixels.At(14, 13), 0xffffffu);
	EXPECT_EQ(pixels.Count(0x0000ff, 0, 0, 99, 79), 36);
	EXPECT_EQ(pixels.At(20, 20), 0x0000ffu);
	EXPECT_EQ(pixels.At(29, 29), 0x0000ffu);
	EXPECT_EQ(pixels.At(21, 21), 0xffffffu);
	EXPECT_EQ(pixels.Count(0x00ff00, 0, 0, 99, 79), 10);
	windowtest::quit(window);
}

TEST(Drawing, ChildClipsParentAndViewColorErases)
{
	BWindow* window = make_window();
	FuncView* parent = new FuncView(BRect(0, 0, 99, 79), [](BView* v) {
		v->SetHighColor(kRed);
		v->FillRect(v->Bounds());
	});
	FuncView* child = new FuncView(BRect(20, 20, 39, 39), nullptr);
	child->SetViewColor(kBlue);
	parent->AddChild(child);
	FuncView* transparent = new FuncView(BRect(60, 20, 79, 39), nullptr);
	transparent->SetViewColor(B_TRANSPARENT_COLOR);
	parent->AddChild(transparent);
	window->AddChild(parent);
	window->Show();
	Pixels pixels(window);
	EXPECT_EQ(pixels.At(5, 5), 0xff0000u);
	EXPECT_EQ(pixels.Count(0x0000ff, 0, 0, 99, 79), 400);   // the child erased, not painted over
	// The transparent child is neither erased nor drawn over by its parent.
	EXPECT_NE(pixels.At(70, 30), 0xff0000u);
	windowtest::quit(window);
}

TEST(Drawing, StringsSitOnTheirBaselineWithinAscentAndDescent)
{
	BWindow* window = make_window(BRect(0, 0, 199, 99));
	font_height height;
	window->AddChild(new FuncView(BRect(0, 0, 199, 99), [&](BView* v) {
		BFont font(be_plain_font);
		font.SetSize(20);
		v->SetFont(&font);
		v->GetFontHeight(&height);
		v->SetHighColor(kBlack);
		v->DrawString("HHH", BPoint(10, 50));     // no descenders
		v->DrawString("gjp", BPoint(110, 50));    // descenders
	}));
	window->Show();
	Pixels pixels(window);
	auto ink_in_rows = [&](int32 left, int32 right, int32 top, int32 bottom) {
		int32 ink = 0;
		for (int32 y = top; y <= bottom; y++)
			for (int32 x = left; x <= right; x++)
				ink += pixels.At(x, y) != 0xffffff;
		return ink;
	};
	// "HHH": ink ends on the baseline row, and starts about one cap height
	// above, below the ascent line.
	EXPECT_GT(ink_in_rows(10, 100, 50, 50), 0);
	EXPECT_EQ(ink_in_rows(10, 100, 51, 99), 0);
	EXPECT_EQ(ink_in_rows(10, 100, 0, 50 - (int32)ceilf(height.ascent) - 1), 0);
	EXPECT_GT(ink_in_rows(10, 100, 50 - (int32)(height.ascent * 0.6f), 50), 0);
	// Descenders go below the baseline but stay within the descent.
	EXPECT_GT(ink_in_rows(110, 199, 51, 50 + (int32)ceilf(height.descent)), 0);
	EXPECT_EQ(ink_in_rows(110, 199, 50 + (int32)ceilf(height.descent) + 1, 99), 0);
	// Nothing left of the start point.
	EXPECT_EQ(ink_in_rows(0, 8, 0, 99), 0);
	windowtest::quit(window);
}

TEST(Drawing, BitmapsDrawUnscaledAndScaledIntoRectangles)
{
	BBitmap bitmap(BRect(0, 0, 1, 1), B_RGB32);
	uint32* bits = static_cast<uint32*>(bitmap.Bits());
	int32 stride = bitmap.BytesPerRow() / 4;
	bits[0] = 0xffff0000;
	bits[1] = 0xff00ff00;
	bits[stride] = 0xff0000ff;
	bits[stride + 1] = 0xff000000;
	BWindow* window = make_window();
	window->AddChild(new FuncView(BRect(0, 0, 99, 79), [&](BView* v) {
		v->DrawBitmap(&bitmap, BPoint(0, 0));
		v->DrawBitmap(&bitmap, BRect(10, 10, 29, 29));   // 20 x 20: 10 x 10 a pixel
	}));
	window->Show();
	Pixels pixels(window);
	EXPECT_EQ(pixels.At(0, 0), 0xff0000u);
	EXPECT_EQ(pixels.At(1, 1), 0x000000u);
	EXPECT_EQ(pixels.At(2, 2), 0xffffffu);
	EXPECT_EQ(pixels.Count(0xff0000, 10, 10, 29, 29), 100);
	EXPECT_EQ(pixels.Count(0x00ff00, 10, 10, 29, 29), 100);
	EXPECT_EQ(pixels.Count(0x0000ff, 10, 10, 29, 29), 100);
	EXPECT_EQ(pixels.At(19, 19), 0xff0000u);
	EXPECT_EQ(pixels.At(20, 20), 0x000000u);
	EXPECT_EQ(pixels.At(30, 30), 0xffffffu);
	windowtest::quit(window);
}

TEST(Drawing, ResizingModesFollowTheParentAndReportFrameResized)
{
	std::mutex lock;
	std::vector<BPoint> resized;
	class SizeView : public BView {
	public:
		SizeView(BRect f, uint32 mode, std::mutex& l, std::vector<BPoint>& out)
			: BView(f, "size", mode, B_WILL_DRAW | B_FRAME_EVENTS), fLock(l), fOut(out) {}
		void FrameResized(float w, float h) override
		{
			std::lock_guard<std::mutex> g(fLock);
			fOut.push_back(BPoint(w, h));
		}
		std::mutex& fLock;
		std::vector<BPoint>& fOut;
	};
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "resize", B_TITLED_WINDOW, 0);
	BView* all = new SizeView(BRect(10, 10, 89, 89), B_FOLLOW_ALL, lock, resized);
	BView* right = new BView(BRect(80, 0, 89, 9), "right", B_FOLLOW_RIGHT | B_FOLLOW_TOP, 0);
	BView* bottom = new BView(BRect(0, 80, 99, 89), "bottom", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, 0);
	BView* centre = new BView(BRect(40, 40, 59, 59), "centre", B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, 0);
	BView* fixed = new BView(BRect(0, 0, 9, 9), "fixed", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 5, 14, 14), "inner", B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, 0);
	all->AddChild(inner);
	for (BView* v : {all, right, bottom, centre, fixed})
		window->AddChild(v);
	window->Show();
	ASSERT_TRUE(window->Lock());
	window->ResizeBy(40, 20);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 139, 119));
	EXPECT_EQ(all->Frame(), BRect(10, 10, 129, 109));
	EXPECT_EQ(right->Frame(), BRect(120, 0, 129, 9));
	EXPECT_EQ(bottom->Frame(), BRect(0, 100, 139, 109));
	EXPECT_EQ(centre->Frame(), BRect(60, 50, 79, 69));
	EXPECT_EQ(fixed->Frame(), BRect(0, 0, 9, 9));
	EXPECT_EQ(inner->Frame(), BRect(45, 25, 54, 34));   // follows its own parent
	window->Unlock();
	windowtest::settle(window);
	{
		std::lock_guard<std::mutex> g(lock);
		ASSERT_EQ(resized.size(), 1u);
		EXPECT_EQ(resized[0], BPoint(119, 99));
	}
	// The window's new area is drawn: the bottom-right pixel is the window's
	// background, not garbage.
	Pixels pixels(window);
	EXPECT_EQ(pixels.Width(), 140);
	EXPECT_EQ(pixels.Height(), 120);
	EXPECT_EQ(pixels.At(139, 119), 0xffffffu);
	windowtest::quit(window);
}

TEST(Drawing, ViewsInABitmapDrawLikeOnScreen)
{
	BBitmap bitmap(BRect(0, 0, 39, 29), B_RGB32, true);
	BView* view = new BView(bitmap.Bounds(), "offscreen", B_FOLLOW_ALL, B_WILL_DRAW);
	bitmap.AddChild(view);
	EXPECT_EQ(bitmap.CountChildren(), 1);
	EXPECT_EQ(bitmap.FindView("offscreen"), view);
	// Added without the caller holding the lock, the view is still one of
	// the bitmap's handlers, and stops being one when removed.
	EXPECT_NE(view->Looper(), nullptr);
	ASSERT_TRUE(bitmap.Lock());
	view->SetHighColor(kBlue);
	view->FillRect(view->Bounds());
	view->SetHighColor(kRed);
	view->FillRect(BRect(0, 0, 3, 3));
	view->SetHighColor(kBlack);
	view->StrokeLine(BPoint(0, 29), BPoint(39, 29));
	view->Sync();
	bitmap.Unlock();
	const uint32* bits = static_cast<const uint32*>(bitmap.Bits());
	int32 stride = bitmap.BytesPerRow() / 4;
	EXPECT_EQ(bits[0] & 0xffffff, 0xff0000u);
	EXPECT_EQ(bits[3 * stride + 3] & 0xffffff, 0xff0000u);
	EXPECT_EQ(bits[4 * stride + 4] & 0xffffff, 0x0000ffu);
	EXPECT_EQ(bits[29 * stride + 20] & 0xffffff, 0x000000u);
	EXPECT_TRUE(bitmap.RemoveChild(view));
	EXPECT_EQ(view->Looper(), nullptr);
	delete view;
	// A bitmap that does not accept views ignores them.
	BBitmap plain(BRect(0, 0, 9, 9), B_RGB32);
	BView orphan(BRect(0, 0, 9, 9), "orphan", B_FOLLOW_ALL, 0);
	plain.AddChild(&orphan);
	EXPECT_EQ(plain.CountChildren(), 0);
	EXPECT_FALSE(plain.Lock());
}

TEST(Drawing, InvalidateRedrawsOnlyTheViewsItTouches)
{
	BWindow* window = make_window();
	FuncView* a = new FuncView(BRect(0, 0, 49, 79), nullptr);
	FuncView* b = new FuncView(BRect(50, 0, 99, 79), nullptr);
	window->AddChild(a);
	window->AddChild(b);
	window->Show();
	windowtest::settle(window);
	int aBefore = a->draws, bBefore = b->draws;
	ASSERT_TRUE(window->Lock());
	b->Invalidate(BRect(0, 0, 9, 9));
	window->Unlock();
	windowtest::settle(window);
	EXPECT_EQ(a->draws, aBefore);
	EXPECT_EQ(b->draws, bBefore + 1);
	windowtest::quit(window);
}

TEST(Drawing, AlphaModeBlendsWithTheHighColorsAlpha)
{
	BWindow* window = make_window();
	window->AddChild(new FuncView(BRect(0, 0, 99, 79), [](BView* v) {
		v->SetHighColor(kBlack);
		v->FillRect(BRect(0, 0, 9, 9));
		v->SetDrawingMode(B_OP_ALPHA);
		v->SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_OVERLAY);
		v->SetHighColor(255, 255, 255, 128);
		v->FillRect(BRect(0, 0, 9, 9));
		v->SetDrawingMode(B_OP_COPY);
	}));
	window->Show();
	Pixels pixels(window);
	uint32 grey = pixels.At(5, 5);
	EXPECT_NEAR((int)(grey & 0xff), 128, 2);
	EXPECT_EQ((grey >> 16) & 0xff, grey & 0xff);
	windowtest::quit(window);
}

// Another thread that holds the lock may draw; what it drew reaches the
// screen when it lets the window go, and the window's thread, asleep
// meanwhile, is not woken for it.
TEST(Drawing, AnotherThreadsDrawingShowsAtUnlockAndLetsTheWindowSleep)
{
	BWindow* window = new BWindow(BRect(100, 100, 139, 129), "drawn from out",
		B_TITLED_WINDOW, B_NOT_RESIZABLE);
	FuncView* view = new FuncView(BRect(0, 0, 39, 29), nullptr);
	view->SetViewColor(kWhite);
	window->AddChild(view);
	window->Show();
	windowtest::settle(window);
	const pid_t thread = testutil::thread_named("drawn from out");
	ASSERT_TRUE(testutil::wait_for([&] { return testutil::is_blocked(thread); }));
	const long long before = testutil::thread_switches("drawn from out");
	ASSERT_GE(before, 0);

	const display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto shown = [&](uint32 expected) {
		std::vector<uint32> pixels;
		int32 width = 0;
		display::DisplayServer::Get()->ReadContents(id, &pixels, &width, nullptr);
		return !pixels.empty() && (pixels[10 * width + 10] & 0xffffff) == expected;
	};
	for (const rgb_color& color : {kRed, kBlue, kGreen}) {
		ASSERT_TRUE(window->Lock());
		view->SetHighColor(color);
		view->FillRect(view->Bounds());
		window->Unlock();
		EXPECT_TRUE(testutil::wait_for([&] { return shown(windowtest::rgb(color)); }));
	}
	// (one more for a sleep that was still on its way when counted; a
	// window woken to present would add one for every drawing)
	EXPECT_LE(testutil::thread_switches("drawn from out"), before + 1);
	windowtest::quit(window);
}
