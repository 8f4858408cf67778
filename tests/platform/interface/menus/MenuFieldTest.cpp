// Menu fields and menu bars in windows: opening by click, drag and keys,
// marks and labels, clicks outside, Alt shortcuts of the key menu bar.
#include <gtest/gtest.h>

#include "MenuTestUtil.h"

#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace menutest;

namespace {

// A window that keeps the 'what' of the messages its menus send it.
class TargetWindow : public BWindow {
public:
	TargetWindow()
		: BWindow(BRect(100, 100, 399, 249), "target", B_TITLED_WINDOW, B_NOT_RESIZABLE) {}
	void MessageReceived(BMessage* message) override
	{
		if ((message->what >> 24) == 'm') {
			std::lock_guard<std::mutex> lock(fLock);
			fReceived.push_back(message->what);
			return;
		}
		BWindow::MessageReceived(message);
	}
	void MenusBeginning() override { beginnings++; }
	void MenusEnded() override { endings++; }
	std::vector<uint32> Received()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fReceived;
	}
	std::atomic<int> beginnings{0};
	std::atomic<int> endings{0};
private:
	std::mutex fLock;
	std::vector<uint32> fReceived;
};

struct FieldSetup {
	TargetWindow* window;
	BMenuField* field;
	ProbeMenu* menu;
};

// A field with a radio pop-up whose label follows the marked item.
FieldSetup make_field()
{
	FieldSetup setup;
	setup.window = new TargetWindow;
	setup.menu = new ProbeMenu("Encoding");
	add_item(setup.menu, "UTF-8", 'mutf');
	add_item(setup.menu, "Shift-JIS", 'msji');
	add_item(setup.menu, "EUC-JP", 'meuc');
	setup.menu->ItemAt(1)->SetMarked(true);
	setup.field = new BMenuField(BRect(10, 10, 280, 32), "MFieldEncoding", "Encoding:",
		setup.menu);
	setup.field->SetDivider(80);
	setup.window->AddChild(setup.field);
	setup.window->Show();
	windowtest::settle(setup.window);
	return setup;
}

BPoint field_button(const FieldSetup& setup)
{
	// The middle of the button, in window coordinates.
	setup.window->Lock();
	BRect frame = setup.field->MenuBar()->Frame();
	BPoint center((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
	center = setup.field->ConvertToParent(center);
	setup.window->Unlock();
	return center;
}

std::string button_label(const FieldSetup& setup)
{
	setup.window->Lock();
	std::string label = setup.field->MenuItem()->Label();
	setup.window->Unlock();
	return label;
}

}

TEST(MenuField, ClickOpensOverTheMarkedItemAndAChoiceBecomesTheLabel)
{
	FieldSetup setup = make_field();
	EXPECT_EQ(button_label(setup), "Shift-JIS");
	BPoint button = field_button(setup);
	windowtest::click(setup.window, (int32)button.x, (int32)button.y);
	BWindow* menuWindow = setup.menu->WaitOpen();
	ASSERT_NE(menuWindow, nullptr);
	// The click that opened the menu chose nothing, though its release
	// fell on the marked item, which lies over the button.
	BPoint buttonOnScreen = button + frame_of(setup.window).LeftTop();
	BRect marked = setup.menu->ItemAt(1)->Frame().OffsetByCopy(frame_of(menuWindow).LeftTop());
	EXPECT_TRUE(marked.Contains(BPoint(marked.left + 1, buttonOnScreen.y)));
	EXPECT_EQ(setup.window->beginnings.load(), 1);
	EXPECT_TRUE(setup.window->Received().empty());

	click_and_forget(menuWindow, center(setup.menu->ItemAt(2)));
	ASSERT_TRUE(testutil::wait_for([&] { return !setup.window->Received().empty(); }));
	EXPECT_EQ(setup.window->Received()[0], (uint32)'meuc') << "items report to the window";
	EXPECT_EQ(button_label(setup), "EUC-JP");
	setup.window->Lock();
	EXPECT_TRUE(setup.menu->ItemAt(2)->IsMarked());
	EXPECT_FALSE(setup.menu->ItemAt(1)->IsMarked());
	setup.window->Unlock();
	EXPECT_TRUE(testutil::wait_for([&] { return setup.window->endings.load() == 1; }));
	windowtest::quit(setup.window);
}

TEST(MenuField, DragFromTheButtonAndReleaseOnAnItemChoosesIt)
{
	FieldSetup setup = make_field();
	BPoint button = field_button(setup);
	windowtest::mouse_button(setup.window, (int32)button.x, (int32)button.y, true);
	BWindow* menuWindow = setup.menu->WaitOpen();
	ASSERT_NE(menuWindow, nullptr);
	// While the button is held the pointer stays with the field's window,
	// so the positions are in its coordinates.
	BPoint item = center(setup.menu->ItemAt(0)) + frame_of(menuWindow).LeftTop()
		- frame_of(setup.window).LeftTop();
	windowtest::mouse_move(setup.window, (int32)item.x, (int32)item.y);
	windowtest::mouse_button(setup.window, (int32)item.x, (int32)item.y, false);
	ASSERT_TRUE(testutil::wait_for([&] { return !setup.window->Received().empty(); }));
	EXPECT_EQ(setup.window->Received()[0], (uint32)'mutf');
	EXPECT_EQ(button_label(setup), "UTF-8");
	EXPECT_TRUE(setup.menu->WaitClosed());
	windowtest::quit(setup.window);
}

TEST(MenuField, ClickElsewhereInTheWindowClosesTheMenu)
{
	FieldSetup setup = make_field();
	BPoint button = field_button(setup);
	windowtest::click(setup.window, (int32)button.x, (int32)button.y);
	ASSERT_NE(setup.menu->WaitOpen(), nullptr);
	windowtest::click(setup.window, 250, 130);
	EXPECT_TRUE(setup.menu->WaitClosed());
	EXPECT_TRUE(testutil::wait_for([&] { return setup.window->endings.load() == 1; }));
	EXPECT_TRUE(setup.window->Received().empty());
	EXPECT_EQ(button_label(setup), "Shift-JIS");

	// The field's own button closes it as well, and opens it again.
	windowtest::click(setup.window, (int32)button.x, (int32)button.y);
	ASSERT_NE(setup.menu->WaitOpen(), nullptr);
	windowtest::click(setup.window, (int32)button.x, (int32)button.y);
	EXPECT_TRUE(setup.menu->WaitClosed());
	windowtest::quit(setup.window);
}

TEST(MenuField, KeyboardOpensAtTheMarkedItem)
{
	FieldSetup setup = make_field();
	setup.window->Lock();
	setup.field->MakeFocus(true);
	setup.window->Unlock();
	windowtest::key(setup.window, kKeySpace);
	BWindow* menuWindow = setup.menu->WaitOpen();
	ASSERT_NE(menuWindow, nullptr);
	windowtest::key(menuWindow, kKeyDown);
	key_and_forget(menuWindow, kKeyReturn);
	ASSERT_TRUE(testutil::wait_for([&] { return !setup.window->Received().empty(); }));
	EXPECT_EQ(setup.window->Received()[0], (uint32)'meuc') << "one below the marked item";
	windowtest::quit(setup.window);
}

TEST(MenuField, DisabledFieldDoesNotOpen)
{
	FieldSetup setup = make_field();
	setup.window->Lock();
	setup.field->SetEnabled(false);
	EXPECT_FALSE(setup.field->MenuItem()->IsEnabled());
	setup.window->Unlock();
	BPoint button = field_button(setup);
	windowtest::click(setup.window, (int32)button.x, (int32)button.y);
	windowtest::settle(setup.window);
	EXPECT_EQ(setup.menu->window.load(), nullptr);
	windowtest::quit(setup.window);
}

TEST(MenuBar, EntriesOpenTheirMenusAndAltShortcutsInvokeItems)
{
	TargetWindow* window = new TargetWindow;
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 299, 10), "bar");
	ProbeMenu* file = new ProbeMenu("File", false, false);
	add_item(file, "Open", 'mopn', 'O');
	add_item(file, "Save", 'msav', 'S');
	ProbeMenu* edit = new ProbeMenu("Edit", false, false);
	add_item(edit, "Copy", 'mcpy', 'C', B_SHIFT_KEY);
	bar->AddItem(file);
	bar->AddItem(edit);
	window->AddChild(bar);
	window->Show();
	windowtest::settle(window);
	window->Lock();
	EXPECT_EQ(window->KeyMenuBar(), bar);
	BPoint fileEntry = center(bar->ItemAt(0));
	BRect barFrame = bar->Frame();
	window->Unlock();
	EXPECT_EQ(barFrame.Width(), 299) << "a bar keeps the window's width";
	EXPECT_GT(barFrame.Height(), 10);

	// A click on "File" opens its menu below the bar; a click on an item
	// sends its message to the window.
	windowtest::click(window, (int32)fileEntry.x, (int32)fileEntry.y);
	BWindow* menuWindow = file->WaitOpen();
	ASSERT_NE(menuWindow, nullptr);
	EXPECT_GT(frame_of(menuWindow).top, barFrame.bottom + frame_of(window).top);
	click_and_forget(menuWindow, center(file->ItemAt(0)));
	ASSERT_TRUE(testutil::wait_for([&] { return window->Received().size() == 1; }));
	EXPECT_EQ(window->Received()[0], (uint32)'mopn');
	EXPECT_TRUE(file->WaitClosed());

	// Alt+S: Save; Shift matters, so Alt+C is not Copy (Alt+Shift+C).
	alt_key(window, kKeyS);
	ASSERT_TRUE(testutil::wait_for([&] { return window->Received().size() == 2; }));
	EXPECT_EQ(window->Received()[1], (uint32)'msav');
	const uint32 kKeyC = 6;
	alt_key(window, kKeyC);
	windowtest::settle(window);
	EXPECT_EQ(window->Received().size(), 2u);
	EXPECT_EQ(file->window.load(), nullptr) << "shortcuts open no menu";
	windowtest::quit(window);
}

TEST(MenuField, ShowsTheMarkedLabelOnScreen)
{
	FieldSetup setup = make_field();
	// Something is drawn on the button, right of the divider, and the label
	// left of it.
	windowtest::Pixels pixels(setup.window);
	uint32 panel = windowtest::rgb(ui_color(B_PANEL_BACKGROUND_COLOR));
	int32 labelInk = 0;
	int32 buttonInk = 0;
	for (int32 y = 12; y < 30; y++) {
		for (int32 x = 12; x < 88; x++)
			labelInk += pixels.At(x, y) != panel;
		for (int32 x = 95; x < 150; x++)
			buttonInk += pixels.At(x, y) != panel;
	}
	EXPECT_GT(labelInk, 20);
	EXPECT_GT(buttonInk, 20);
	windowtest::quit(setup.window);
}
