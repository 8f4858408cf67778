// Tab views, colour controls, boxes and string views.
#include <gtest/gtest.h>

#include "ControlTestUtil.h"

#include <Box.h>
#include <ColorControl.h>
#include <StringView.h>
#include <TabView.h>

using controltest::Receiver;

namespace {

struct Tabs {
	BWindow* window;
	BTabView* tabs;
	BView* pages[3];

	Tabs()
	{
		window = controltest::make_window();
		tabs = new BTabView(BRect(0, 0, 299, 199), "tabs");
		const char* names[3] = {"General", "Appearance", "Other"};
		for (int i = 0; i < 3; i++) {
			pages[i] = new BView(BRect(0, 0, 200, 100), names[i], B_FOLLOW_NONE, B_WILL_DRAW);
			tabs->AddTab(pages[i]);
		}
		window->AddChild(tabs);
		window->Show();
	}
	~Tabs() { windowtest::quit(window); }
	int32 Selection()
	{
		window->Lock();
		int32 selection = tabs->Selection();
		window->Unlock();
		return selection;
	}
	// Only the selected page is in the window.
	void ExpectOnlyShown(int32 index)
	{
		window->Lock();
		for (int i = 0; i < 3; i++) {
			EXPECT_EQ(pages[i]->Window() != NULL, i == index) << "page " << i;
			EXPECT_EQ(tabs->TabAt(i)->IsSelected(), i == index) << "tab " << i;
		}
		EXPECT_EQ(pages[index]->Parent(), tabs->ContainerView());
		window->Unlock();
	}
};

}

TEST(TabView, FirstTabShownAndClicksSwitchPages)
{
	Tabs t;
	EXPECT_EQ(t.Selection(), 0);
	t.ExpectOnlyShown(0);
	t.window->Lock();
	EXPECT_EQ(t.tabs->CountTabs(), 3);
	EXPECT_STREQ(t.tabs->TabAt(1)->Label(), "Appearance");
	EXPECT_EQ(t.tabs->TabAt(3), nullptr);
	BRect second = t.tabs->TabFrame(1);
	BRect third = t.tabs->TabFrame(2);
	EXPECT_GT(second.left, t.tabs->TabFrame(0).right - 1);
	EXPECT_EQ(second.Height() + 1, t.tabs->TabHeight());
	t.tabs->TabAt(2)->SetEnabled(false);
	t.window->Unlock();

	windowtest::click(t.window, (second.left + second.right) / 2, second.top + 8);
	EXPECT_EQ(t.Selection(), 1);
	t.ExpectOnlyShown(1);

	// A disabled tab ignores the click; a click on the page changes nothing.
	windowtest::click(t.window, (third.left + third.right) / 2, third.top + 8);
	EXPECT_EQ(t.Selection(), 1);
	windowtest::click(t.window, 150, 150);
	EXPECT_EQ(t.Selection(), 1);

	t.window->Lock();
	t.tabs->Select(7);                  // out of range: ignored
	EXPECT_EQ(t.tabs->Selection(), 1);
	t.tabs->Select(2);                  // in code, a disabled tab may be chosen
	t.window->Unlock();
	t.ExpectOnlyShown(2);
}

TEST(TabView, KeyboardAndRemovingTheSelectedTab)
{
	Tabs t;
	t.window->Lock();
	t.tabs->MakeFocus(true);
	t.window->Unlock();
	windowtest::key(t.window, 79);      // right: focus to the second tab
	EXPECT_EQ(t.Selection(), 0);
	windowtest::key(t.window, 44);      // space selects it
	EXPECT_EQ(t.Selection(), 1);

	t.window->Lock();
	BTab* removed = t.tabs->RemoveTab(1);
	ASSERT_NE(removed, nullptr);
	EXPECT_EQ(removed->View(), t.pages[1]);
	EXPECT_EQ(t.pages[1]->Window(), nullptr);
	EXPECT_EQ(t.tabs->CountTabs(), 2);
	// The neighbour that took its place is shown.
	EXPECT_EQ(t.tabs->Selection(), 1);
	EXPECT_EQ(t.pages[2]->Window(), t.window);
	t.window->Unlock();
	delete removed;   // and its page with it
}

TEST(ColorControl, ClickAndDragSetComponentsAndInvokeEachTime)
{
	Receiver* receiver = Receiver::Start();
	BWindow* window = controltest::make_window(BRect(100, 100, 499, 249));
	BColorControl* control = new BColorControl(BPoint(10, 10), B_CELLS_32x8, 8, "color",
		new BMessage('capc'));
	control->SetTarget(receiver);
	window->AddChild(control);
	window->Lock();
	control->SetValue(make_color(10, 20, 30));
	rgb_color color = control->ValueAsColor();
	EXPECT_EQ(color.red, 10);
	EXPECT_EQ(color.green, 20);
	EXPECT_EQ(color.blue, 30);
	EXPECT_EQ((uint32)control->Value(), 0x0a141eFFu);
	BRect frame = control->Frame();
	window->Unlock();
	window->Show();
	// The ramps: 256 x 64 inside a one-pixel frame; red on top, blue below.
	EXPECT_GE(frame.Width(), 257);
	EXPECT_EQ(frame.Height(), 65);

	// Right end of the red band: full red.
	windowtest::click(window, 10 + 1 + 255, 10 + 5);
	window->Lock();
	EXPECT_EQ(control->ValueAsColor().red, 255);
	EXPECT_EQ(control->ValueAsColor().green, 20);
	window->Unlock();
	ASSERT_TRUE(receiver->WaitFor(1));
	EXPECT_EQ(receiver->At(0).what, 'capc');

	// Drag along the blue band: several changes, each one sent; dragging
	// past the end stays at the end.
	int32 blueY = 10 + 1 + 50;
	windowtest::mouse_button(window, 10 + 1, blueY, true);
	windowtest::mouse_move(window, 10 + 1 + 128, blueY);
	windowtest::mouse_move(window, 10 + 1 + 40, blueY + 30);
	windowtest::mouse_move(window, 0, blueY);
	windowtest::mouse_button(window, 0, blueY, false);
	window->Lock();
	EXPECT_EQ(control->ValueAsColor().blue, 0);
	EXPECT_EQ(control->ValueAsColor().red, 255);
	window->Unlock();
	// Press (blue 30 to 0), 128, 40, back to 0.
	ASSERT_TRUE(receiver->WaitFor(5));
	receiver->Drain();
	EXPECT_EQ(receiver->Count(), 5u);
	int32 sent = 0;
	EXPECT_EQ(receiver->At(3).FindInt32("be:value", &sent), B_OK);
	EXPECT_EQ((sent >> 8) & 0xff, 40);

	// Disabled: ignores clicks.
	window->Lock();
	control->SetEnabled(false);
	window->Unlock();
	windowtest::click(window, 10 + 1 + 100, 10 + 30);
	window->Lock();
	EXPECT_EQ(control->ValueAsColor().green, 20);
	window->Unlock();

	windowtest::quit(window);
	Receiver::Stop(receiver);
}

TEST(StringViewAndBox, TextAlignmentAndBorders)
{
	BWindow* window = controltest::make_window();
	BStringView* text = new BStringView(BRect(10, 10, 209, 29), "text", "Hello");
	BBox* box = new BBox(BRect(10, 40, 209, 139), "box");
	box->SetLabel("Group");
	window->AddChild(text);
	window->AddChild(box);
	window->Show();

	auto inkColumns = [](const windowtest::Pixels& p, int32 top, int32 bottom, uint32 bg) {
		int32 first = -1, last = -1;
		for (int32 x = 10; x <= 209; x++)
			for (int32 y = top; y <= bottom; y++)
				if (p.At(x, y) != bg) {
					if (first < 0)
						first = x;
					last = x;
					break;
				}
		return std::make_pair(first, last);
	};
	uint32 panel = windowtest::rgb(ui_color(B_PANEL_BACKGROUND_COLOR));
	windowtest::Pixels left(window);
	auto l = inkColumns(left, 10, 29, panel);
	window->Lock();
	text->SetAlignment(B_ALIGN_RIGHT);
	EXPECT_EQ(text->Alignment(), B_ALIGN_RIGHT);
	window->Unlock();
	windowtest::Pixels right(window);
	auto r = inkColumns(right, 10, 29, panel);
	EXPECT_LT(l.first, 30);
	EXPECT_GT(l.second, l.first);
	EXPECT_GT(r.first, 150);
	EXPECT_LE(r.second, 209);

	// The border is drawn for plain and fancy styles, and not for none.
	EXPECT_NE(right.At(10, 138), panel);
	window->Lock();
	box->SetBorder(B_NO_BORDER);
	window->Unlock();
	windowtest::Pixels none(window);
	EXPECT_EQ(none.At(10, 138), panel);
	EXPECT_EQ(none.At(208, 100), panel);
	windowtest::quit(window);
}
