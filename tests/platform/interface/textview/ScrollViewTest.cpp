// BScrollBar and BScrollView: bars that scroll their target, and a text view
// that keeps its caret in sight through them.
#include <gtest/gtest.h>

#include "TextTestUtil.h"

#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>

#include <string>

using namespace texttest;

namespace {

// A tall plain view to scroll.
BView* make_page()
{
	return new BView(BRect(10, 10, 209, 109), "page", B_FOLLOW_NONE, B_WILL_DRAW);
}

BPoint bar_point(BWindow* window, BScrollBar* bar, BPoint local)
{
	return locked(window, [&] {
		return bar->ConvertToScreen(local) - window->Frame().LeftTop();
	});
}

}

TEST(ScrollView, FramesTheTargetWithBordersAndBars)
{
	BView* page = make_page();
	BScrollView scroll("scroll", page, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true, true,
		B_FANCY_BORDER);
	// The scroll view takes the target's place and grows around it.
	EXPECT_EQ(scroll.Frame(), BRect(8, 8, 211 + B_V_SCROLL_BAR_WIDTH,
		111 + B_H_SCROLL_BAR_HEIGHT));
	EXPECT_EQ(page->Parent(), &scroll);
	EXPECT_EQ(page->Frame(), BRect(2, 2, 201, 101));
	BScrollBar* vertical = scroll.ScrollBar(B_VERTICAL);
	BScrollBar* horizontal = scroll.ScrollBar(B_HORIZONTAL);
	ASSERT_NE(vertical, nullptr);
	ASSERT_NE(horizontal, nullptr);
	EXPECT_EQ(vertical->Target(), page);
	EXPECT_EQ(vertical->Orientation(), B_VERTICAL);
	// The bars sit beside the target and do not overlap it.
	EXPECT_EQ(vertical->Frame().left, page->Frame().right + 1);
	EXPECT_EQ(horizontal->Frame().top, page->Frame().bottom + 1);
	EXPECT_FLOAT_EQ(vertical->Frame().Width(), B_V_SCROLL_BAR_WIDTH);

	// Without bars and border the frame is the target's.
	BView* bare = make_page();
	BScrollView plain("plain", bare, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, false,
		B_NO_BORDER);
	EXPECT_EQ(plain.Frame(), BRect(10, 10, 209, 109));
	EXPECT_EQ(plain.ScrollBar(B_VERTICAL), nullptr);
	EXPECT_EQ(plain.SetBorderHighlighted(true), B_ERROR);

	// Resizing keeps the target and the bars filling the scroll view.
	scroll.ResizeBy(40, 20);
	EXPECT_FLOAT_EQ(page->Frame().Width(), 239);
	EXPECT_FLOAT_EQ(vertical->Frame().right, scroll.Bounds().right - 1);
	EXPECT_FLOAT_EQ(horizontal->Frame().bottom, scroll.Bounds().bottom - 1);
}

TEST(ScrollBar, ValueIsClampedAndMovesTheTarget)
{
	BWindow* window = new RecordingWindow();
	BView* page = make_page();
	BScrollView* scroll = new BScrollView("scroll", page, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		0, false, true);
	window->AddChild(scroll);
	window->Show();
	BScrollBar* bar = locked(window, [&] { return scroll->ScrollBar(B_VERTICAL); });
	locked(window, [&] {
		bar->SetRange(0, 300);
		bar->SetProportion(0.25f);
		bar->SetSteps(10, 80);
		bar->SetValue(50);
		EXPECT_FLOAT_EQ(page->Bounds().top, 50);
		bar->SetValue(1000);
		EXPECT_FLOAT_EQ(bar->Value(), 300);
		EXPECT_FLOAT_EQ(page->Bounds().top, 300);
		bar->SetValue(-5);
		EXPECT_FLOAT_EQ(page->Bounds().top, 0);
		// A narrower range pulls the value and the target back into it.
		bar->SetValue(200);
		bar->SetRange(0, 120);
		EXPECT_FLOAT_EQ(bar->Value(), 120);
		EXPECT_FLOAT_EQ(page->Bounds().top, 120);
		bar->SetValue(0);
		bar->SetRange(0, 300);
	});

	// The lower arrow steps by the small step, a click below the thumb by
	// the large one.
	BRect bounds = locked(window, [&] { return bar->Bounds(); });
	BPoint arrow = bar_point(window, bar, BPoint(7, bounds.bottom - 3));
	windowtest::click(window, (int32)arrow.x, (int32)arrow.y);
	EXPECT_FLOAT_EQ(locked(window, [&] { return page->Bounds().top; }), 10);
	BPoint track = bar_point(window, bar, BPoint(7, bounds.bottom - 20));
	windowtest::click(window, (int32)track.x, (int32)track.y);
	EXPECT_FLOAT_EQ(locked(window, [&] { return bar->Value(); }), 90);

	// Dragging the thumb to the bottom scrolls to the end.
	BRect thumb = locked(window, [&] {
		bar->SetValue(0);
		// The thumb begins right below the upper arrow.
		return BRect(0, bounds.Width() + 1, bounds.Width(), bounds.Width() + 10);
	});
	BPoint grab = bar_point(window, bar, BPoint(7, thumb.top + 3));
	BPoint drop = bar_point(window, bar, BPoint(7, bounds.bottom + 40));
	windowtest::mouse_button(window, (int32)grab.x, (int32)grab.y, true);
	windowtest::mouse_move(window, (int32)grab.x, (int32)grab.y + 20);
	float middle = locked(window, [&] { return bar->Value(); });
	EXPECT_GT(middle, 0);
	EXPECT_LT(middle, 300);
	windowtest::mouse_move(window, (int32)drop.x, (int32)drop.y);
	windowtest::mouse_button(window, (int32)drop.x, (int32)drop.y, false);
	EXPECT_FLOAT_EQ(locked(window, [&] { return page->Bounds().top; }), 300);
	windowtest::quit(window);
}

TEST(ScrollView, TextViewKeepsItsBarsAndCaretInSight)
{
	BWindow* window = new RecordingWindow();
	BTextView* text = new BTextView(BRect(10, 10, 209, 99), "InfoView",
		BRect(3, 3, 196, 86), B_FOLLOW_ALL, B_WILL_DRAW | B_NAVIGABLE);
	BScrollView* scroll = new BScrollView("ScrlViewInfo", text, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		0, false, true);
	window->AddChild(scroll);
	window->Show();
	BScrollBar* bar = locked(window, [&] { return scroll->ScrollBar(B_VERTICAL); });

	std::string lines;
	for (int i = 0; i < 30; i++)
		lines += "line " + std::to_string(i) + "\n";
	locked(window, [&] {
		text->SetText(lines.c_str());
		float min, max;
		bar->GetRange(&min, &max);
		EXPECT_EQ(min, 0);
		// The range covers the text below what the view shows.
		float content = text->TextHeight(0, text->CountLines() - 1) + 6;
		EXPECT_FLOAT_EQ(max, content - (text->Bounds().Height() + 1));
		EXPECT_NEAR(bar->Proportion(), (text->Bounds().Height() + 1) / content, 0.001);
		EXPECT_FLOAT_EQ(text->Bounds().top, 0);
		text->MakeFocus(true);
		EXPECT_TRUE(scroll->IsBorderHighlighted());
	});

	// Going to the end scrolls the view through the bar.
	locked(window, [&] { text->Select(text->TextLength(), text->TextLength()); });
	windowtest::key(window, kDown);
	locked(window, [&] {
		float top = text->Bounds().top;
		EXPECT_GT(top, 0);
		EXPECT_FLOAT_EQ(bar->Value(), top);
		BPoint caret = text->PointAt(text->TextLength());
		EXPECT_GE(caret.y, text->Bounds().top);
		EXPECT_LE(caret.y + text->LineHeight() - 1, text->Bounds().bottom);
	});
	// Page Up twice from the end and the caret is back in the first lines.
	for (int i = 0; i < 8; i++)
		windowtest::key(window, kPageUp);
	locked(window, [&] {
		EXPECT_FLOAT_EQ(text->Bounds().top, 0);
		EXPECT_FLOAT_EQ(bar->Value(), 0);
	});

	// Setting new text shows it from its beginning.
	locked(window, [&] {
		bar->SetValue(100);
		text->SetText(lines.c_str());
		EXPECT_FLOAT_EQ(text->Bounds().top, 0);
		// The focus going elsewhere takes the highlight away.
		text->MakeFocus(false);
		EXPECT_FALSE(scroll->IsBorderHighlighted());
	});
	windowtest::quit(window);
}

TEST(ScrollView, ArchiveRebuildsTargetAndBars)
{
	BTextView* text = new BTextView(BRect(0, 0, 199, 99), "InfoView",
		BRect(3, 3, 196, 96), B_FOLLOW_ALL, B_WILL_DRAW);
	text->SetText("about");
	BScrollView scroll("ScrlViewInfo", text, B_FOLLOW_ALL, 0, true, true, B_PLAIN_BORDER);
	scroll.ScrollBar(B_VERTICAL)->SetRange(0, 50);
	BMessage archive;
	ASSERT_EQ(scroll.Archive(&archive), B_OK);
	BScrollView* copy = dynamic_cast<BScrollView*>(instantiate_object(&archive));
	ASSERT_NE(copy, nullptr);
	EXPECT_EQ(copy->Border(), B_PLAIN_BORDER);
	BTextView* target = dynamic_cast<BTextView*>(copy->Target());
	ASSERT_NE(target, nullptr);
	EXPECT_STREQ(target->Text(), "about");
	ASSERT_NE(copy->ScrollBar(B_VERTICAL), nullptr);
	ASSERT_NE(copy->ScrollBar(B_HORIZONTAL), nullptr);
	EXPECT_EQ(copy->ScrollBar(B_VERTICAL)->Target(), target);
	float min, max;
	copy->ScrollBar(B_VERTICAL)->GetRange(&min, &max);
	EXPECT_FLOAT_EQ(max, 50);
	EXPECT_EQ(copy->Frame(), scroll.Frame());
	delete copy;
}
