// Open menus driven by the pointer and the keyboard: BPopUpMenu::Go in its
// synchronous and asynchronous forms, submenus, cancelling.
#include <gtest/gtest.h>

#include "MenuTestUtil.h"

#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include <atomic>
#include <thread>

using namespace menutest;

namespace {

const BPoint kWhere(200, 150);

// Alpha, Beta, separator, Gamma (disabled), Delta; all aimed at `target`.
ProbeMenu* make_menu(BLooper* target, std::atomic<bool>* deleted = nullptr)
{
	ProbeMenu* menu = new ProbeMenu("menu", false, false, deleted);
	add_item(menu, "Alpha", 'alfa');
	add_item(menu, "Beta", 'beta');
	menu->AddSeparatorItem();
	add_item(menu, "Gamma", 'gamm')->SetEnabled(false);
	add_item(menu, "Delta", 'delt');
	if (target != nullptr)
		menu->SetTargetForItems(target);
	return menu;
}

// A window that opens a menu synchronously from its own thread.
class OpenerWindow : public BWindow {
public:
	explicit OpenerWindow(BPopUpMenu* menu)
		: BWindow(BRect(40, 40, 239, 139), "opener", B_TITLED_WINDOW, 0), fMenu(menu) {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'open') {
			chosen = fMenu->Go(kWhere, false, true, false);
			returned = true;
			return;
		}
		BWindow::MessageReceived(message);
	}
	std::atomic<BMenuItem*> chosen{nullptr};
	std::atomic<bool> returned{false};
private:
	BPopUpMenu* fMenu;
};

}

TEST(PopUpGo, AsynchronousClickDeliversTheItemAndClosesTheMenu)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	EXPECT_EQ(menu->Go(kWhere, true, true, true), nullptr) << "asynchronous: returns at once";
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	EXPECT_EQ(frame_of(window).LeftTop(), kWhere);
	EXPECT_EQ(window->Look(), B_NO_BORDER_WINDOW_LOOK);
	EXPECT_EQ(window->Feel(), B_FLOATING_ALL_WINDOW_FEEL);

	// Hovering highlights without choosing.
	windowtest::mouse_move(window, (int32)center(menu->ItemAt(0)).x,
		(int32)center(menu->ItemAt(0)).y);
	EXPECT_EQ(collector->Count(), 0u);

	click_and_forget(window, center(menu->ItemAt(1)));
	ASSERT_TRUE(collector->WaitFor(1));
	BMessage sent = collector->At(0);
	EXPECT_EQ(sent.what, (uint32)'beta');
	EXPECT_EQ(ptr(sent, "source"), menu->ItemAt(1));
	EXPECT_EQ(i32(sent, "index"), 1);
	EXPECT_GT(i64(sent, "when"), 0);
	EXPECT_TRUE(menu->WaitClosed());
	EXPECT_FALSE(menu->ItemAt(1)->IsMarked()) << "not in radio mode";
	delete menu;
	stop(collector);
}

TEST(PopUpGo, RadioModeMarksTheChoiceAndAutoDestructDeletesTheMenu)
{
	Collector* collector = start_collector();
	std::atomic<bool> deleted{false};
	ProbeMenu* menu = make_menu(collector, &deleted);
	menu->SetRadioMode(true);
	menu->ItemAt(0)->SetMarked(true);
	menu->SetAsyncAutoDestruct(true);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	BPoint delta = center(menu->ItemAt(4));
	click_and_forget(window, delta);
	ASSERT_TRUE(collector->WaitFor(1));
	EXPECT_EQ(collector->At(0).what, (uint32)'delt');
	EXPECT_TRUE(testutil::wait_for([&] { return deleted.load(); }))
		<< "the menu deletes itself once it has closed";
	stop(collector);
}

TEST(PopUpGo, ClickOnDisabledItemOrSeparatorChoosesNothing)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	windowtest::click(window, (int32)center(menu->ItemAt(3)).x, (int32)center(menu->ItemAt(3)).y);
	windowtest::click(window, (int32)center(menu->ItemAt(2)).x, (int32)center(menu->ItemAt(2)).y);
	EXPECT_EQ(menu->window.load(), window) << "still open";
	key_and_forget(window, kKeyEscape);
	EXPECT_TRUE(menu->WaitClosed());
	EXPECT_EQ(collector->Count(), 0u);
	delete menu;
	stop(collector);
}

TEST(PopUpGo, SynchronousReturnsTheItemAndDeliversOnlyWhenAsked)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	for (bool deliver : {false, true}) {
		std::atomic<BMenuItem*> chosen{nullptr};
		std::atomic<bool> returned{false};
		std::thread caller([&] {
			chosen = menu->Go(kWhere, deliver, true, false);
			returned = true;
		});
		BWindow* window = menu->WaitOpen();
		ASSERT_NE(window, nullptr);
		EXPECT_FALSE(returned.load()) << "blocks while the menu is open";
		click_and_forget(window, center(menu->ItemAt(0)));
		caller.join();
		EXPECT_EQ(chosen.load(), menu->ItemAt(0));
		EXPECT_TRUE(menu->WaitClosed());
	}
	ASSERT_TRUE(collector->WaitFor(1));
	EXPECT_EQ(collector->Count(), 1u) << "only the delivering Go sent the message";
	delete menu;
	stop(collector);
}

TEST(PopUpGo, SynchronousFromAWindowThreadKeepsTheMenuAlive)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	OpenerWindow* opener = new OpenerWindow(menu);
	opener->Show();
	opener->PostMessage('open');
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	// The opener's thread is blocked in Go(); the menu still follows input.
	windowtest::key(window, kKeyDown);
	windowtest::key(window, kKeyDown);
	key_and_forget(window, kKeyReturn);
	ASSERT_TRUE(testutil::wait_for([&] { return opener->returned.load(); }));
	EXPECT_EQ(opener->chosen.load(), menu->ItemAt(1));
	EXPECT_EQ(collector->Count(), 0u);
	windowtest::quit(opener);
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
	stop(collector);
}

TEST(PopUpGo, AsynchronousFromAWindowThreadSendsUntargetedItemsToThatWindow)
{
	class Opener : public BWindow {
	public:
		explicit Opener(BPopUpMenu* menu)
			: BWindow(BRect(40, 40, 239, 139), "opener", B_TITLED_WINDOW, 0), fMenu(menu) {}
		void MessageReceived(BMessage* message) override
		{
			if (message->what == 'open')
				fMenu->Go(kWhere, true, true, true);
			else if (message->what == 'alfa')
				received = true;
			else
				BWindow::MessageReceived(message);
		}
		std::atomic<bool> received{false};
	private:
		BPopUpMenu* fMenu;
	};
	ProbeMenu* menu = make_menu(nullptr);
	Opener* opener = new Opener(menu);
	opener->Show();
	opener->PostMessage('open');
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	click_and_forget(window, center(menu->ItemAt(0)));
	EXPECT_TRUE(testutil::wait_for([&] { return opener->received.load(); }));
	EXPECT_TRUE(menu->WaitClosed());
	windowtest::quit(opener);
	delete menu;
}

TEST(MenuKeyboard, ArrowsSkipWhatCannotBeChosenAndEnterChooses)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	// Down: Alpha; Down: Beta; Down: past the separator and disabled Gamma
	// to Delta; Down wraps to Alpha; Up back to Delta.
	for (int i = 0; i < 4; i++)
		windowtest::key(window, kKeyDown);
	windowtest::key(window, kKeyUp);
	key_and_forget(window, kKeyReturn);
	ASSERT_TRUE(collector->WaitFor(1));
	EXPECT_EQ(collector->At(0).what, (uint32)'delt');
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
	stop(collector);
}

TEST(MenuKeyboard, RightOpensASubmenuLeftClosesItAndEnterChoosesInIt)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	ProbeMenu* sub = new ProbeMenu("Sub", false, false);
	add_item(sub, "Inner one", 'in_1');
	add_item(sub, "Inner two", 'in_2');
	sub->SetTargetForItems(collector);
	menu->AddItem(sub, 0);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);

	windowtest::key(window, kKeyDown);
	windowtest::key(window, kKeyRight);
	BWindow* subWindow = sub->WaitOpen();
	ASSERT_NE(subWindow, nullptr);
	EXPECT_GT(frame_of(subWindow).left, frame_of(window).right - 1) << "beside its parent";
	// Keys reach the deepest open menu, even though they arrive at the first.
	windowtest::key(window, kKeyLeft);
	EXPECT_TRUE(sub->WaitClosed());
	windowtest::key(window, kKeyRight);
	subWindow = sub->WaitOpen();
	ASSERT_NE(subWindow, nullptr);
	windowtest::key(window, kKeyDown);
	windowtest::settle(subWindow);
	key_and_forget(window, kKeyReturn);
	ASSERT_TRUE(collector->WaitFor(1));
	EXPECT_EQ(collector->At(0).what, (uint32)'in_2');
	EXPECT_TRUE(sub->WaitClosed());
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
	stop(collector);
}

TEST(MenuPointer, HoverOpensSubmenuAndAClickInItChooses)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);
	ProbeMenu* sub = new ProbeMenu("Sub", false, false);
	add_item(sub, "Inner", 'innr');
	sub->SetTargetForItems(collector);
	menu->AddItem(sub);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	BPoint subItem = center(menu->ItemAt(menu->CountItems() - 1));
	windowtest::mouse_move(window, (int32)subItem.x, (int32)subItem.y);
	BWindow* subWindow = sub->WaitOpen();
	ASSERT_NE(subWindow, nullptr);
	// Moving to another item of the parent closes the submenu.
	windowtest::mouse_move(window, (int32)center(menu->ItemAt(0)).x,
		(int32)center(menu->ItemAt(0)).y);
	EXPECT_TRUE(sub->WaitClosed());
	windowtest::mouse_move(window, (int32)subItem.x, (int32)subItem.y);
	subWindow = sub->WaitOpen();
	ASSERT_NE(subWindow, nullptr);
	click_and_forget(subWindow, center(sub->ItemAt(0)));
	ASSERT_TRUE(collector->WaitFor(1));
	EXPECT_EQ(collector->At(0).what, (uint32)'innr');
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
	stop(collector);
}

TEST(MenuCancel, EscapeAndFocusElsewhereCloseWithoutChoosing)
{
	Collector* collector = start_collector();
	ProbeMenu* menu = make_menu(collector);

	std::atomic<BMenuItem*> chosen{menu->ItemAt(0)};
	std::thread caller([&] { chosen = menu->Go(kWhere, true, true, false); });
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	key_and_forget(window, kKeyEscape);
	caller.join();
	EXPECT_EQ(chosen.load(), nullptr) << "cancelled: Go returns NULL";
	EXPECT_TRUE(menu->WaitClosed());

	// Another window taking the focus (the user clicked elsewhere).
	BWindow* other = new BWindow(BRect(500, 500, 599, 599), "other", B_TITLED_WINDOW, 0);
	other->Show();
	windowtest::settle(other);
	menu->Go(kWhere, true, true, true);
	window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	windowtest::settle(window);
	other->Activate();
	EXPECT_TRUE(menu->WaitClosed());
	EXPECT_EQ(collector->Count(), 0u);
	windowtest::quit(other);
	delete menu;
	stop(collector);
}

TEST(MenuCancel, ReleaseOutsideClosesUnlessOpenAnyway)
{
	ProbeMenu* menu = make_menu(nullptr);
	// Without openAnyway a release away from the items closes the menu.
	menu->Go(kWhere, false, false, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	button_and_forget(window, BPoint(-20, -20), true);
	EXPECT_TRUE(menu->WaitClosed()) << "a press outside closes any menu";

	menu->Go(kWhere, false, true, true);
	window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	windowtest::mouse_button(window, -20, -20, false, 1);
	EXPECT_EQ(menu->window.load(), window) << "openAnyway: the opening release keeps it";
	key_and_forget(window, kKeyEscape);
	EXPECT_TRUE(menu->WaitClosed());

	menu->Go(kWhere, false, false, true);
	window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	button_and_forget(window, BPoint(-20, -20), false);
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
}

TEST(MenuCancel, DeletingAnOpenMenuClosesItsWindows)
{
	ProbeMenu* menu = make_menu(nullptr);
	ProbeMenu* sub = new ProbeMenu("Sub", false, false);
	add_item(sub, "Inner", 'innr');
	menu->AddItem(sub, 0);
	menu->Go(kWhere, true, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	windowtest::key(window, kKeyDown);
	windowtest::key(window, kKeyRight);
	BWindow* subWindow = sub->WaitOpen();
	ASSERT_NE(subWindow, nullptr);
	windowtest::settle(subWindow);
	delete menu;    // and with it the open submenu
	// A menu made afterwards opens normally.
	ProbeMenu* next = make_menu(nullptr);
	next->Go(kWhere, false, true, true);
	window = next->WaitOpen();
	ASSERT_NE(window, nullptr);
	key_and_forget(window, kKeyEscape);
	EXPECT_TRUE(next->WaitClosed());
	delete next;
}

TEST(PopUpGo, EmptyOrAlreadyOpenMenusDoNotOpen)
{
	BPopUpMenu empty("empty");
	EXPECT_EQ(empty.Go(kWhere, true, true, false), nullptr) << "returns at once";
	ProbeMenu* menu = make_menu(nullptr);
	menu->Go(kWhere, false, true, true);
	BWindow* window = menu->WaitOpen();
	ASSERT_NE(window, nullptr);
	EXPECT_EQ(menu->Go(kWhere, false, true, false), nullptr) << "open already: no second Go";
	key_and_forget(window, kKeyEscape);
	EXPECT_TRUE(menu->WaitClosed());
	delete menu;
}
