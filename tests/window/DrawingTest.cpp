// Views drawing into windows and bitmaps, checked by pixels.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Bitmap.h>
#include <View.h>
#include <Window.h>

#include <atomic>

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
