// Dialog windows and views: shortcut keys from control labels, Enter, the
// shortcut filter, the stored message and Invoke, thread priorities.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "framework/TORVDlgView.h"
#include "framework/TORVDlgWin.h"
#include "framework/TSCFilter.h"

#include <Button.h>
#include <CheckBox.h>
#include <InterfaceDefs.h>
#include <Looper.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <OS.h>
#include <PopUpMenu.h>
#include <RadioButton.h>
#include <TextControl.h>

#include "display/DisplayServer.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

// Keys by USB usage id.
const uint32 kLeftControl = 224;
const uint32 kReturn = 40;
const uint32 kEscape = 41;
const uint32 kF1 = 58;
uint32 letter(char c)
{
	return 4 + (uint32)(c - 'a');
}

void inject(BWindow* window, uint32 scancode, bool down)
{
	display::KeyInput input;
	input.scancode = scancode;
	input.down = down;
	input.when = display::display_clock();
	display::DisplayServer::Get()->InjectKey(native(window), input);
}

void control_key(BWindow* window, char c)
{
	inject(window, kLeftControl, true);
	windowtest::key(window, letter(c));
	inject(window, kLeftControl, false);
	windowtest::settle(window);
}

// Collects what reaches it; safe to read from the test thread.
struct Log {
	std::mutex lock;
	std::vector<std::string> entries;
	void Add(const std::string& entry)
	{
		std::lock_guard<std::mutex> guard(lock);
		entries.push_back(entry);
	}
	std::vector<std::string> Take()
	{
		std::lock_guard<std::mutex> guard(lock);
		std::vector<std::string> taken;
		taken.swap(entries);
		return taken;
	}
	bool Has(const std::string& entry)
	{
		std::lock_guard<std::mutex> guard(lock);
		for (const std::string& e : entries)
			if (e == entry)
				return true;
		return false;
	}
};

std::string what_text(uint32 what)
{
	return std::string{(char)(what >> 24), (char)(what >> 16), (char)(what >> 8), (char)what};
}

class DlgView : public TORVDlgView {
public:
	DlgView(Log& log)
		: TORVDlgView(BRect(0, 0, 399, 299), "dialog", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		  fLog(log) {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what >= 'a' << 24)
			fLog.Add(what_text(message->what));
		else
			TORVDlgView::MessageReceived(message);
	}
	void ShortCutDown(int32 rawChar, int32 key) override
	{
		fLog.Add("shortcut " + std::to_string(rawChar));
		TORVDlgView::ShortCutDown(rawChar, key);
	}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		fLog.Add("main key " + std::string(bytes, numBytes));
	}
private:
	Log& fLog;
};

// A view that can take the focus and logs its keys.
class FocusView : public BView {
public:
	FocusView(BRect frame, Log& log)
		: BView(frame, "focus", B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE), fLog(log) {}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		fLog.Add("focus key " + std::string(bytes, numBytes));
	}
private:
	Log& fLog;
};

class Dialog : public ::testing::Test {
protected:
	void SetUp() override
	{
		fWindow = new TORVDlgWin(BRect(100, 100, 499, 399), "dialog", B_TITLED_WINDOW, 0);
		fView = new DlgView(fLog);
		fWindow->AddMainChild(fView);
		fYes = Add(new BButton(BRect(10, 10, 89, 34), "yes", "Y) Yes", new BMessage('yes!')));
		fNo = Add(new BButton(BRect(100, 10, 179, 34), "no", "N) No", new BMessage('no!!')));
		// Controls inside a plain view are found too.
		BView* group = Add(new BView(BRect(10, 50, 199, 129), "group", B_FOLLOW_NONE, 0));
		fCheck = new BCheckBox(BRect(0, 0, 150, 19), "check", "C) Check", new BMessage('chk!'));
		fRadio = new BRadioButton(BRect(0, 30, 150, 49), "radio", "r) lower-case radio",
			new BMessage('rad!'));
		group->AddChild(fCheck);
		group->AddChild(fRadio);
		fText = Add(new BTextControl(BRect(10, 140, 199, 159), "text", "T) Text", "",
			new BMessage('txt!')));
		BPopUpMenu* menu = new BPopUpMenu("menu");
		menu->AddItem(new BMenuItem("One", new BMessage('one!')));
		fField = Add(new BMenuField(BRect(10, 170, 199, 189), "field", "M) Menu", menu));
		fDisabled = Add(new BButton(BRect(210, 10, 289, 34), "disabled", "D) Disabled",
			new BMessage('dis!')));
		fDisabled->SetEnabled(false);
		Add(new BButton(BRect(300, 10, 389, 34), "umlaut", "\xc3\x9c) \xc3\x9c" "ber",
			new BMessage('uml!')));
		fFocus = Add(new FocusView(BRect(210, 50, 389, 129), fLog));
		fView->SetTargetToThis(fView);
		fWindow->Show();
		ASSERT_TRUE(fWindow->Lock());
		fFocus->MakeFocus(true);
		fWindow->Unlock();
		windowtest::settle(fWindow);
	}

	void TearDown() override
	{
		windowtest::quit(fWindow);
	}

	template <class T> T* Add(T* view)
	{
		fView->AddChild(view);
		return view;
	}

	BView* Focus()
	{
		EXPECT_TRUE(fWindow->Lock());
		BView* focus = fWindow->CurrentFocus();
		fWindow->Unlock();
		return focus;
	}

	// A key message as the display sends it, for characters no keyboard
	// gives with Control.
	void PostKey(int32 rawChar, uint32 modifiers)
	{
		BMessage key(B_KEY_DOWN);
		key.AddInt32("modifiers", (int32)modifiers);
		key.AddInt32("raw_char", rawChar);
		key.AddInt32("key", 0);
		key.AddString("bytes", "?");
		fWindow->PostMessage(&key);
		windowtest::settle(fWindow);
	}

	// Everything the window was sent meanwhile has been handled.
	std::vector<std::string> Settled()
	{
		windowtest::settle(fWindow);
		windowtest::settle(fWindow);
		return fLog.Take();
	}

	Log fLog;
	TORVDlgWin* fWindow = nullptr;
	DlgView* fView = nullptr;
	BButton* fYes = nullptr;
	BButton* fNo = nullptr;
	BCheckBox* fCheck = nullptr;
	BRadioButton* fRadio = nullptr;
	BTextControl* fText = nullptr;
	BMenuField* fField = nullptr;
	BButton* fDisabled = nullptr;
	FocusView* fFocus = nullptr;
};

}

TEST_F(Dialog, ControlAndTheFirstLetterOfALabelWorkTheControl)
{
	EXPECT_EQ(fWindow->DialogView(), fView);

	// The key goes to the window, then to the main view and its
	// ShortCutDown, never to the focus view.
	control_key(fWindow, 'y');
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("yes!"); }));
	EXPECT_EQ(Settled(), (std::vector<std::string>{"main key \x19", "shortcut 121", "yes!"}));

	control_key(fWindow, 'n');
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("no!!"); }));
	fLog.Take();

	// A check box takes the focus and toggles each time.
	control_key(fWindow, 'c');
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("chk!"); }));
	EXPECT_EQ(Focus(), fCheck);
	control_key(fWindow, 'c');
	Settled();
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fCheck->Value(), 0);
	fCheck->SetValue(5);
	fWindow->Unlock();
	control_key(fWindow, 'c');
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fCheck->Value(), 0);
	fWindow->Unlock();

	// A radio button is set, however often; the label's case is no matter.
	control_key(fWindow, 'r');
	control_key(fWindow, 'r');
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("rad!"); }));
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fRadio->Value(), 1);
	EXPECT_EQ(fWindow->CurrentFocus(), fRadio);
	fWindow->Unlock();

	// A text control and a menu field only take the focus.
	control_key(fWindow, 't');
	BView* focus = Focus();
	EXPECT_TRUE(focus == fText || (focus != nullptr && focus->Parent() == fText));
	control_key(fWindow, 'm');
	focus = Focus();
	EXPECT_TRUE(focus == fField || (focus != nullptr && focus->Parent() == fField));
	std::vector<std::string> rest = Settled();
	for (const std::string& entry : rest) {
		EXPECT_NE(entry, "txt!");
		EXPECT_NE(entry, "one!");
		EXPECT_EQ(entry.find("focus key"), std::string::npos);
	}
}

TEST_F(Dialog, KeysThatNoLabelMatchesDoNothing)
{
	control_key(fWindow, 'x');
	// A disabled button does not answer its letter.
	control_key(fWindow, 'd');
	// Raw characters come in lower case; an upper-case one matches nothing.
	PostKey('Y', B_CONTROL_KEY);
	// Only the first byte of a label counts: a multi-byte start never matches.
	PostKey(0xc3, B_CONTROL_KEY);
	EXPECT_EQ(Settled(), (std::vector<std::string>{"main key \x18", "shortcut 120",
		"main key \x04", "shortcut 100", "main key ?", "shortcut 89", "main key ?",
		"shortcut 195"}));
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fWindow->CurrentFocus(), fFocus);
	fWindow->Unlock();
}

TEST_F(Dialog, EnterPressesTheFocusedButtonElseTheDefaultOne)
{
	// Nothing focused that is a button, no default button: nothing.
	windowtest::key(fWindow, kReturn);
	EXPECT_EQ(Settled(), (std::vector<std::string>{"main key \n", "shortcut 10"}));

	ASSERT_TRUE(fWindow->Lock());
	fWindow->SetDefaultButton(fYes);
	fText->MakeFocus(true);
	fWindow->Unlock();
	windowtest::key(fWindow, kReturn);
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("yes!"); }));
	std::vector<std::string> seen = Settled();
	EXPECT_EQ(std::count(seen.begin(), seen.end(), "txt!"), 0);
	EXPECT_EQ(std::count(seen.begin(), seen.end(), "yes!"), 1) << "one press of Enter, one click";

	ASSERT_TRUE(fWindow->Lock());
	fNo->MakeFocus(true);
	fWindow->Unlock();
	windowtest::key(fWindow, kReturn);
	EXPECT_TRUE(testutil::wait_for([&] { return fLog.Has("no!!"); }));
	seen = Settled();
	EXPECT_EQ(std::count(seen.begin(), seen.end(), "yes!"), 0);
}

TEST_F(Dialog, OnlyShortcutKeysLeaveTheFocusView)
{
	windowtest::key(fWindow, letter('a'));
	windowtest::key(fWindow, kEscape);
	windowtest::key(fWindow, kF1);
	EXPECT_EQ(Settled(), (std::vector<std::string>{"focus key a", "main key \x1b",
		"shortcut 27", "main key \x10", "shortcut 16"}));
}

TEST(ShortcutFilter, SendsShortcutKeysToItsTarget)
{
	struct Catcher : public BHandler {
		Catcher(Log& log) : BHandler("catcher"), fLog(log) {}
		void MessageReceived(BMessage* message) override
		{
			std::string bytes;
			const char* b = nullptr;
			if (message->FindString("bytes", &b) == B_OK)
				bytes = b;
			fLog.Add("caught " + what_text(message->what) + " " + bytes);
		}
		Log& fLog;
	};
	Log log;
	TORVWin* window = new TORVWin(BRect(50, 50, 249, 149), "filter", B_TITLED_WINDOW, 0);
	FocusView* focus = new FocusView(BRect(0, 0, 99, 99), log);
	window->AddChild(focus);
	Catcher* catcher = new Catcher(log);
	window->AddHandler(catcher);
	window->AddCommonFilter(new TSCFilter(catcher));
	window->Show();
	ASSERT_TRUE(window->Lock());
	focus->MakeFocus(true);
	window->Unlock();

	windowtest::key(window, letter('b'));
	control_key(window, 'b');
	windowtest::key(window, kReturn);
	windowtest::settle(window);
	EXPECT_EQ(log.Take(), (std::vector<std::string>{"focus key b", "caught _KYD \x02",
		"caught _KYD \n"}));
	ASSERT_TRUE(window->Lock());
	window->RemoveHandler(catcher);
	window->Quit();
	delete catcher;
}

TEST(DialogMessage, StoredOnlyOnceThereIsADialogView)
{
	TORVDlgWin* window = new TORVDlgWin(BRect(0, 0, 99, 99), "msg", B_TITLED_WINDOW, 0);
	BMessage* early = new BMessage('erly');
	EXPECT_EQ(window->SetMessage(early), B_NO_INIT);
	EXPECT_EQ(window->Message(), nullptr);
	delete early;   // refused, so still the caller's

	// A main view that is not a dialog view does not count.
	window->AddMainChild(new TORVView(BRect(0, 0, 9, 9), "plain", B_FOLLOW_NONE, 0));
	EXPECT_EQ(window->DialogView(), nullptr);
	BMessage still('stil');
	EXPECT_EQ(window->SetMessage(&still), B_NO_INIT);

	Log log;
	DlgView* view = new DlgView(log);
	window->AddMainChild(view);
	EXPECT_EQ(window->DialogView(), view);
	EXPECT_EQ(view->ViewColor(), ui_color(B_PANEL_BACKGROUND_COLOR));
	BMessage* first = new BMessage('frst');
	EXPECT_EQ(window->SetMessage(first), B_OK);
	EXPECT_EQ(window->Message(), first);
	EXPECT_EQ(window->SetMessage(first), B_OK);   // the same again: kept
	// Replacing deletes the first; the window deletes the second.
	EXPECT_EQ(window->SetMessage(new BMessage('scnd')), B_OK);
	EXPECT_EQ(window->Message()->what, (uint32)'scnd');
	window->Quit();
}

TEST(DialogMessage, InvokeSendsToTheTargetWithoutGivingTheMessageAway)
{
	struct Target : public BLooper {
		Target(Log& log) : BLooper("target"), fLog(log) {}
		void MessageReceived(BMessage* message) override
		{
			const char* note = "";
			message->FindString("note", &note);
			fLog.Add(what_text(message->what) + " " + note);
		}
		Log& fLog;
	};
	Log log;
	Target* target = new Target(log);
	target->Run();

	TORVDlgWin* window = new TORVDlgWin(BRect(0, 0, 99, 99), "invoke", B_TITLED_WINDOW, 0);
	Log viewLog;
	window->AddMainChild(new DlgView(viewLog));
	BMessage* stored = new BMessage('stor');
	stored->AddString("note", "kept");
	ASSERT_EQ(window->SetMessage(stored), B_OK);

	EXPECT_EQ(window->Invoke(), B_NO_INIT);
	EXPECT_EQ(window->Target(), nullptr);
	window->SetTarget(target);
	EXPECT_EQ(window->Target(), target);
	EXPECT_EQ(window->Invoke(), B_OK);
	BMessage own('own!');
	own.AddString("note", "mine");
	EXPECT_EQ(window->Invoke(&own), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return log.Has("own! mine"); }));
	EXPECT_EQ(log.Take(), (std::vector<std::string>{"stor kept", "own! mine"}));
	EXPECT_EQ(window->Message(), stored);
	const char* note = nullptr;
	EXPECT_EQ(own.FindString("note", &note), B_OK);
	EXPECT_STREQ(note, "mine");
	window->Quit();

	// Nothing to send at all is an error, not a quiet success.
	TORVDlgWin* empty = new TORVDlgWin(BRect(0, 0, 99, 99), "empty", B_TITLED_WINDOW, 0);
	empty->SetTarget(target);
	EXPECT_EQ(empty->Invoke(), B_BAD_VALUE);
	empty->Quit();

	ASSERT_TRUE(target->Lock());
	target->Quit();
}

TEST(DialogPriority, DisplayPriorityWhileShownLowWhileHidden)
{
	TORVDlgWin* window = new TORVDlgWin(BRect(0, 0, 99, 99), "priority", B_TITLED_WINDOW, 0);
	window->Show();
	thread_info info;
	ASSERT_EQ(get_thread_info(window->Thread(), &info), B_OK);
	EXPECT_EQ(info.priority, B_DISPLAY_PRIORITY);

	ASSERT_TRUE(window->Lock());
	window->Hide();
	EXPECT_TRUE(window->IsHidden());
	window->Unlock();
	ASSERT_EQ(get_thread_info(window->Thread(), &info), B_OK);
	EXPECT_EQ(info.priority, B_LOW_PRIORITY);

	ASSERT_TRUE(window->Lock());
	window->Appear();
	EXPECT_FALSE(window->IsHidden());
	window->Unlock();
	ASSERT_EQ(get_thread_info(window->Thread(), &info), B_OK);
	EXPECT_EQ(info.priority, B_DISPLAY_PRIORITY);
	windowtest::quit(window);
}
