// The common preference window in the program that makes it: its size with
// and without components, the components of the store, and what Cancel,
// Default, OK and a close request broadcast. The test's application runs
// on a thread of its own and applies every '_ipc' to the store, as a
// program of the family does.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"
#include "WindowTestUtil.h"

#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"
#include "iap/TIAPView.h"
#include "iap/TIAPWin.h"
#include "iap/TInterAppPrefs.h"

#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <OS.h>

#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

using testutil::wait_for;

namespace {

const char* const kTitle = "ORVIK Common Preferences";

std::string test_signature()
{
	return "application/x-vnd.ORVIK-IAPWindowTest-" + std::to_string(getpid());
}

// The test's program: every '_ipc' is applied to the store and kept.
class ProgramApp : public BApplication {
public:
	ProgramApp(const std::string& signature, TInterAppPrefs* store)
		: BApplication(signature.c_str()), fStore(store) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kIAPValueChanged) {
			BApplication::MessageReceived(message);
			return;
		}
		fStore->SetValue(*message);
		std::lock_guard<std::mutex> lock(fLock);
		fChanges.push_back(*message);
	}

	std::vector<BMessage> Take()
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<BMessage> taken;
		taken.swap(fChanges);
		return taken;
	}
	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fChanges.size();
	}

private:
	TInterAppPrefs* fStore;
	std::mutex fLock;
	std::vector<BMessage> fChanges;
};

class CommonWindow : public ::testing::Test {
protected:
	void SetUp() override
	{
		fSignature = test_signature();
		fStore.SetAppSignatureRef(fSignature.c_str());
		fStore.AddItem(new TIAPItemAccKeyFormat());
		fStore.AddItem(new TIAPItemFlatToolBar());
		install_common_window(&fStore);

		fThread = spawn_thread(&CommonWindow::RunApp, "iap window test app", B_NORMAL_PRIORITY,
			this);
		resume_thread(fThread);
		ASSERT_TRUE(wait_for([this] { return fApp.load() != nullptr; }));
	}

	void TearDown() override
	{
		fStore.QuitWindow();
		BMessenger(fApp.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
	}

	static int32 RunApp(void* data)
	{
		CommonWindow* self = static_cast<CommonWindow*>(data);
		ProgramApp* app = new ProgramApp(self->fSignature, &self->fStore);
		self->fApp = app;
		app->Run();
		delete app;
		return 0;
	}

	// Shows the window and waits until it shows both items.
	TIAPWin* Show()
	{
		EXPECT_EQ(fStore.ShowWindow(BRect(60, 70, 400, 300)), 0);
		TIAPWin* window = dynamic_cast<TIAPWin*>(windowtest::find_window(kTitle));
		if (window == nullptr)
			return nullptr;
		wait_for([&] {
			return windowtest::locked(window, false, [](TIAPWin* w) {
				return w->View()->ComponentView("FlatToolBar") != nullptr;
			});
		});
		windowtest::settle(window);
		return window;
	}

	// Broadcasts made until `count` arrived (or the time ran out).
	std::vector<BMessage> Changes(size_t count)
	{
		wait_for([&] { return fApp.load()->Count() >= count; });
		return fApp.load()->Take();
	}

	void Post(TIAPWin* window, uint32 what)
	{
		BMessenger(window->View(), window).SendMessage(what);
		windowtest::settle(window);
	}

	void ChooseFormat(TIAPWin* window, const char* label)
	{
		windowtest::locked(window, 0, [&](TIAPWin* w) {
			BMenuField* field = dynamic_cast<BMenuField*>(
				w->View()->ComponentView("AccKeyFormat")->ChildAt(0));
			BMenuItem* item = field->Menu()->FindItem(label);
			EXPECT_NE(item, nullptr) << label;
			// As a choice in the menu does: marked, then invoked.
			if (item != nullptr) {
				item->SetMarked(true);
				item->Invoke();
			}
			return 0;
		});
		windowtest::settle(window);
	}

	void ToggleFlat(TIAPWin* window)
	{
		windowtest::locked(window, 0, [&](TIAPWin* w) {
			BCheckBox* box = dynamic_cast<BCheckBox*>(
				w->View()->ComponentView("FlatToolBar")->ChildAt(0));
			box->SetValue(box->Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
			box->Invoke();
			return 0;
		});
		windowtest::settle(window);
	}

	// What the controls show: the marked format and the check box.
	std::string ShownFormat(TIAPWin* window)
	{
		return windowtest::locked(window, std::string("<locked>"), [](TIAPWin* w) {
			BView* component = w->View()->ComponentView("AccKeyFormat");
			BMenuField* field = component != nullptr
				? dynamic_cast<BMenuField*>(component->ChildAt(0)) : nullptr;
			BMenuItem* marked = field != nullptr ? field->Menu()->FindMarked() : nullptr;
			return marked != nullptr ? std::string(marked->Label()) : std::string("<none>");
		});
	}
	int32 ShownFlat(TIAPWin* window)
	{
		return windowtest::locked(window, -1, [](TIAPWin* w) {
			BView* component = w->View()->ComponentView("FlatToolBar");
			BCheckBox* box = component != nullptr
				? dynamic_cast<BCheckBox*>(component->ChildAt(0)) : nullptr;
			return box != nullptr ? box->Value() : -1;
		});
	}

	std::string Format()
	{
		std::string value;
		fStore.GetString("AccKeyFormat", &value);
		return value;
	}
	bool Flat()
	{
		bool value = false;
		fStore.GetBool("FlatToolBar", &value);
		return value;
	}

	iaptest::SettingsFolder fSettings;
	std::string fSignature;
	TInterAppPrefs fStore;
	std::atomic<ProgramApp*> fApp{nullptr};
	thread_id fThread = -1;
};

struct ItemValue {
	std::string item;
	std::string format;   // AccKeyFormat
	int flat = -1;        // FlatToolBar, from the bool or the archived box
};

std::vector<ItemValue> values_of(const std::vector<BMessage>& changes)
{
	std::vector<ItemValue> values;
	for (const BMessage& change : changes) {
		ItemValue value;
		value.item = change.FindString(kIAPFieldSrcItem);
		const char* format = nullptr;
		if (change.FindString("AccKeyFormat", &format) == B_OK)
			value.format = format;
		// The tool-bar style: its bool, or else the archived check box.
		bool flat = false;
		BMessage box;
		int32 boxValue = 0;
		if (value.item == "FlatToolBar") {
			if (change.FindBool("FlatToolBar", &flat) == B_OK)
				value.flat = flat;
			else if (change.FindMessage("_views", &box) == B_OK
				&& box.FindInt32("_val", &boxValue) == B_OK)
				value.flat = boxValue != 0;
		}
		values.push_back(value);
	}
	return values;
}

bool operator==(const ItemValue& a, const ItemValue& b)
{
	return a.item == b.item && a.format == b.format && a.flat == b.flat;
}

void PrintTo(const ItemValue& v, std::ostream* out)
{
	*out << v.item << " \"" << v.format << "\" " << v.flat;
}

}

TEST(CommonWindowLayout, EmptyWindowShowsOnlyTheThreeButtons)
{
	TIAPWin* window = new TIAPWin(BRect(100, 100, 600, 500));
	EXPECT_EQ(window->Port(), kIAPPortPending);
	EXPECT_EQ(window->PortManager(), nullptr);
	windowtest::locked(window, 0, [](TIAPWin* w) {
		EXPECT_STREQ(w->Title(), kTitle);
		EXPECT_TRUE(w->IsHidden());
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 300, 45));
		EXPECT_EQ(w->Frame().LeftTop(), BPoint(100, 100));
		BView* view = w->View();
		const char* names[] = {"ButtonDefault", "ButtonCancel", "ButtonOK"};
		const char* labels[] = {"Default", "Cancel", "OK"};
		// OK, the default button, is drawn 3 pixels larger on every side.
		const BRect frames[] = {BRect(10, 10, 90, 35), BRect(120, 10, 200, 35),
			BRect(207, 7, 293, 38)};
		for (int i = 0; i < 3; i++) {
			BButton* button = dynamic_cast<BButton*>(view->FindView(names[i]));
			EXPECT_NE(button, nullptr) << names[i];
			if (button == nullptr)
				continue;
			EXPECT_STREQ(button->Label(), labels[i]);
			EXPECT_EQ(button->Frame(), frames[i]) << names[i];
		}
		EXPECT_TRUE(dynamic_cast<BButton*>(view->FindView("ButtonOK"))->IsDefault());
		return 0;
	});

	// A component as wide as the window's edge widens it by its margin;
	// one of 250 leaves it as it is.
	auto component = [](const char* name, float width) {
		BView view(BRect(0, 0, width, 25), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
		BMessage archive;
		view.Archive(&archive, true);
		return archive;
	};
	windowtest::locked(window, 0, [&](TIAPWin* w) {
		BMessage request(kIAPAddComponents);
		const BMessage narrow = component("Narrow", 250);
		for (int i = 0; i < 3; i++)
			request.AddMessage("Narrow", &narrow);
		w->View()->IAPAddComponentsRqtd(&request);
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 300, 90));
		BMessage wide(kIAPAddComponents);
		const BMessage wideComponent = component("Wide", 290);
		for (int i = 0; i < 3; i++)
			wide.AddMessage("Wide", &wideComponent);
		w->View()->IAPAddComponentsRqtd(&wide);
		EXPECT_EQ(w->View()->ComponentView("Wide")->Frame(), BRect(10, 45, 300, 70));
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 310, 125));
		EXPECT_EQ(w->View()->FindView("ButtonContainer")->Frame().top, 80);

		// From another program: an entry that is no view is left out
		// altogether (its default is not taken for a confirmed value), and a
		// view is known by the item's name whatever its archive says.
		BMessage odd(kIAPAddComponents);
		BMessage notAView('junk');
		for (int i = 0; i < 3; i++)
			odd.AddMessage("Bogus", &notAView);
		const BMessage misnamed = component("Other", 100);
		for (int i = 0; i < 3; i++)
			odd.AddMessage("Renamed", &misnamed);
		w->View()->IAPAddComponentsRqtd(&odd);
		EXPECT_FALSE(w->View()->Components().HasMessage("Bogus"));
		EXPECT_NE(w->View()->ComponentView("Renamed"), nullptr);
		EXPECT_EQ(w->View()->ComponentView("Other"), nullptr);
		w->View()->IAPAddComponentsRqtd(&odd);
		EXPECT_EQ(w->View()->CountChildren(), 4);
		return 0;
	});
	windowtest::quit(window);
}

TEST_F(CommonWindow, TheFirstRequestMakesTheWindowAndItsPortAndLaterOnesReuseIt)
{
	EXPECT_LT(find_port(kIAPPortName), 0);
	TIAPWin* window = Show();
	ASSERT_NE(window, nullptr);
	EXPECT_TRUE(fStore.IsWindowOwner());
	const port_id port = find_port(kIAPPortName);
	EXPECT_GE(port, 0);
	EXPECT_EQ(window->Port(), port);

	// Two components under each other, the buttons below them.
	windowtest::locked(window, 0, [](TIAPWin* w) {
		EXPECT_FALSE(w->IsHidden());
		EXPECT_EQ(w->View()->ComponentView("AccKeyFormat")->Frame(), BRect(10, 10, 260, 35));
		EXPECT_EQ(w->View()->ComponentView("FlatToolBar")->Frame(), BRect(10, 45, 260, 70));
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 300, 125));
		return 0;
	});
	EXPECT_EQ(ShownFormat(window), "a) ");
	EXPECT_EQ(ShownFlat(window), B_CONTROL_ON);

	// Hidden and asked again: the same window comes back, with each item
	// still once.
	Post(window, '_ok');
	EXPECT_TRUE(windowtest::locked(window, false, [](TIAPWin* w) { return w->IsHidden(); }));
	EXPECT_EQ(fStore.ShowWindow(BRect(0, 0, 10, 10)), 0);
	EXPECT_TRUE(wait_for([&] {
		return windowtest::locked(window, false, [](TIAPWin* w) { return !w->IsHidden(); });
	}));
	windowtest::settle(window);
	EXPECT_EQ(windowtest::find_window(kTitle), window);
	EXPECT_EQ(windowtest::locked(window, -1, [](TIAPWin* w) {
		return w->View()->CountChildren();
	}), 3);
	EXPECT_EQ(find_port(kIAPPortName), port);

	// Ended with the store's program: the port goes, and the next request
	// makes a new window.
	fStore.QuitWindow();
	EXPECT_FALSE(fStore.IsWindowOwner());
	EXPECT_LT(find_port(kIAPPortName), 0);
	EXPECT_EQ(find_thread("IAPPortManager"), B_NAME_NOT_FOUND);
	EXPECT_EQ(windowtest::find_window(kTitle), nullptr);
	TIAPWin* again = Show();
	ASSERT_NE(again, nullptr);
	EXPECT_TRUE(fStore.IsWindowOwner());
	EXPECT_GE(find_port(kIAPPortName), 0);
}

TEST_F(CommonWindow, ChangesAreBroadcastAndCancelTakesThemBack)
{
	TIAPWin* window = Show();
	ASSERT_NE(window, nullptr);

	ChooseFormat(window, "a - ");
	ToggleFlat(window);
	auto changes = Changes(2);
	ASSERT_EQ(changes.size(), 2u);
	EXPECT_EQ(changes[0].FindString(kIAPFieldSrcApp), fSignature);
	EXPECT_EQ(values_of(changes), (std::vector<ItemValue>{{"AccKeyFormat", "a - ", -1},
		{"FlatToolBar", "", 0}}));
	// The check box's value travels in the archived view only.
	EXPECT_FALSE(changes[1].HasBool("FlatToolBar"));
	EXPECT_EQ(Format(), "a - ");
	EXPECT_FALSE(Flat());

	// Cancel broadcasts the confirmed value of every item and shows it.
	Post(window, '_cnc');
	EXPECT_TRUE(windowtest::locked(window, false, [](TIAPWin* w) { return w->IsHidden(); }));
	EXPECT_EQ(values_of(Changes(2)), (std::vector<ItemValue>{{"AccKeyFormat", "a) ", -1},
		{"FlatToolBar", "", 1}}));
	EXPECT_EQ(ShownFormat(window), "a) ");
	EXPECT_EQ(ShownFlat(window), B_CONTROL_ON);
	EXPECT_EQ(Format(), "a) ");
	EXPECT_TRUE(Flat());

	// The rebuilt controls still report to the window.
	ChooseFormat(window, "(None)");
	EXPECT_EQ(values_of(Changes(1)), (std::vector<ItemValue>{{"AccKeyFormat", "", -1}}));
	EXPECT_EQ(Format(), "");
}

TEST_F(CommonWindow, DefaultThenOKConfirmsTheDefaultsAndDefaultThenCancelDoesNot)
{
	TIAPWin* window = Show();
	ASSERT_NE(window, nullptr);

	// Confirm a format and a tool-bar style of their own.
	ChooseFormat(window, "a - ");
	ToggleFlat(window);
	Changes(2);
	Post(window, '_ok');
	// OK broadcasts nothing: a broadcast would reach the program before a
	// message sent to it after the window has handled OK.
	BMessage reply;
	ASSERT_EQ(BMessenger(fApp.load()).SendMessage('sync', &reply), B_OK);
	EXPECT_TRUE(Changes(0).empty());

	// Default, then Cancel: back to the confirmed values.
	Post(window, '_dfl');
	EXPECT_EQ(values_of(Changes(2)), (std::vector<ItemValue>{{"AccKeyFormat", "a) ", -1},
		{"FlatToolBar", "", 1}}));
	EXPECT_EQ(ShownFormat(window), "a) ");
	EXPECT_EQ(ShownFlat(window), B_CONTROL_ON);
	Post(window, '_cnc');
	EXPECT_EQ(values_of(Changes(2)), (std::vector<ItemValue>{{"AccKeyFormat", "a - ", -1},
		{"FlatToolBar", "", 0}}));
	EXPECT_EQ(ShownFormat(window), "a - ");
	EXPECT_EQ(ShownFlat(window), B_CONTROL_OFF);

	// Default, then OK: the defaults are confirmed, and Cancel keeps them.
	Post(window, '_dfl');
	Changes(2);
	Post(window, '_ok');
	Post(window, '_cnc');
	EXPECT_EQ(values_of(Changes(2)), (std::vector<ItemValue>{{"AccKeyFormat", "a) ", -1},
		{"FlatToolBar", "", 1}}));
	EXPECT_EQ(Format(), "a) ");
	EXPECT_TRUE(Flat());
}

TEST_F(CommonWindow, ACloseRequestOfTheOwnerHidesAndTakesBackButKeepsTheWindow)
{
	TIAPWin* window = Show();
	ASSERT_NE(window, nullptr);
	const port_id port = find_port(kIAPPortName);
	ChooseFormat(window, "a - ");
	Changes(1);

	EXPECT_EQ(fStore.CloseWindow(false), 0);
	EXPECT_TRUE(wait_for([&] {
		return windowtest::locked(window, false, [](TIAPWin* w) { return w->IsHidden(); });
	}));
	EXPECT_EQ(values_of(Changes(2)), (std::vector<ItemValue>{{"AccKeyFormat", "a) ", -1},
		{"FlatToolBar", "", 1}}));
	EXPECT_EQ(Format(), "a) ");
	EXPECT_EQ(windowtest::find_window(kTitle), window);
	EXPECT_EQ(find_port(kIAPPortName), port);

	// The close box does the same.
	ASSERT_EQ(fStore.ShowWindow(BRect(0, 0, 10, 10)), 0);
	ChooseFormat(window, "a - ");
	Changes(1);
	BMessenger(window).SendMessage(B_QUIT_REQUESTED);
	EXPECT_TRUE(wait_for([&] { return fApp.load()->Count() >= 2; }));
	EXPECT_TRUE(windowtest::locked(window, false, [](TIAPWin* w) { return w->IsHidden(); }));
	EXPECT_EQ(Format(), "a) ");
}
