// BAlert: answers by mouse, Enter, Escape and letter keys, synchronous from a
// plain thread and from a window's thread, asynchronous through an invoker,
// and the layout of its buttons.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Alert.h>
#include <Button.h>
#include <Invoker.h>
#include <Looper.h>
#include <OS.h>
#include <Screen.h>

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const uint32 kScanY = 28;
const uint32 kScanReturn = 40;
const uint32 kScanEscape = 41;

display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

bool wait_shown(display::window_id id)
{
	return testutil::wait_for([id] {
		display::WindowState state;
		return display::DisplayServer::Get()->GetWindowState(id, &state) == B_OK
			&& !state.hidden;
	});
}

// Input straight to the native window. Unlike the shared helpers this does
// not wait for the window afterwards: an answered alert is gone.
void press_key(display::window_id id, uint32 scancode, const char* text = nullptr)
{
	display::KeyInput input;
	input.scancode = scancode;
	input.text = text;
	input.when = display::display_clock();
	display::DisplayServer::Get()->InjectKey(id, input);
	input.down = false;
	input.text = nullptr;
	display::DisplayServer::Get()->InjectKey(id, input);
}

void click_at(display::window_id id, BPoint where)
{
	auto server = display::DisplayServer::Get();
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, false,
		display::display_clock());
}

BPoint centre_of(BButton* button)
{
	BRect frame = button->ConvertToScreen(button->Bounds());
	frame = button->Window()->ConvertFromScreen(frame);
	return BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
}

// Runs Go() on a thread of its own, as a program's worker thread would.
// `prepare` sets the alert up in that thread before Go().
struct AlertRun {
	std::atomic<display::window_id> id{0};
	std::atomic<bool> done{false};
	std::atomic<int32> result{-2};
	std::atomic<float> clickX{0}, clickY{0};
	std::thread thread;

	void Start(std::function<BAlert*()> make, int32 clickButton = -1)
	{
		thread = std::thread([this, make, clickButton] {
			BAlert* alert = make();
			if (clickButton >= 0) {
				BPoint where = centre_of(alert->ButtonAt(clickButton));
				clickX = where.x;
				clickY = where.y;
			}
			id = native(alert);
			result = alert->Go();
			done = true;
		});
		EXPECT_TRUE(testutil::wait_for([this] { return id.load() != 0; }));
		EXPECT_TRUE(wait_shown(id));
	}
	int32 Finish()
	{
		EXPECT_TRUE(testutil::wait_for([this] { return done.load(); }));
		if (thread.joinable())
			thread.join();
		return result;
	}
};

BAlert* three_buttons()
{
	return new BAlert("question", "Save the changes to the lyrics file?",
		"Cancel", "Don't save", "Save", B_WIDTH_AS_USUAL, B_OFFSET_SPACING,
		B_WARNING_ALERT);
}

// Keeps what it receives.
class Receiver : public BLooper {
public:
	Receiver() : BLooper("alert receiver") {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}
	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages;
	}
private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

}

TEST(Alert, GoReturnsTheClickedButtonFromAPlainThread)
{
	AlertRun run;
	run.Start(three_buttons, 1);
	click_at(run.id, BPoint(run.clickX, run.clickY));
	EXPECT_EQ(run.Finish(), 1);
}

TEST(Alert, EnterPressesTheLastButtonAndKeysPressTheirButtons)
{
	{
		AlertRun run;
		run.Start(three_buttons);
		press_key(run.id, kScanReturn);
		EXPECT_EQ(run.Finish(), 2);
	}
	{
		AlertRun run;
		run.Start([] {
			BAlert* alert = three_buttons();
			alert->SetShortcut(0, B_ESCAPE);
			return alert;
		});
		press_key(run.id, kScanEscape);
		EXPECT_EQ(run.Finish(), 0);
	}
	{
		// Letters match either case; a key that is nobody's does nothing, so
		// the alert answers only to the second key.
		AlertRun run;
		run.Start([] {
			BAlert* alert = three_buttons();
			alert->SetShortcut(0, B_ESCAPE);
			alert->SetShortcut(1, 'd');
			EXPECT_EQ(alert->Shortcut(1), 'd');
			EXPECT_EQ(alert->Shortcut(3), 0);
			return alert;
		});
		press_key(run.id, kScanY);
		press_key(run.id, 7 /* d */, "D");
		EXPECT_EQ(run.Finish(), 1);
	}
}

TEST(Alert, GoBlocksTheCallingWindowUntilAnswered)
{
	// The window runs the alert while handling 'ask'; a 'ping' posted
	// while the alert is up waits until Go() has returned.
	class Asker : public BWindow {
	public:
		Asker() : BWindow(BRect(50, 50, 249, 149), "asker", B_TITLED_WINDOW, 0) {}
		void MessageReceived(BMessage* message) override
		{
			if (message->what == 'ask') {
				BAlert* alert = new BAlert("q", "Delete all presets?", "Cancel",
					"Delete all", NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
				alert->SetShortcut(0, B_ESCAPE);
				alertId = native(alert);
				int32 answer = alert->Go();
				Record("answer " + std::to_string(answer));
			} else if (message->what == 'ping') {
				Record("ping");
			} else {
				BWindow::MessageReceived(message);
			}
		}
		void Record(const std::string& event)
		{
			std::lock_guard<std::mutex> lock(fLock);
			fEvents.push_back(event);
		}
		std::vector<std::string> Events()
		{
			std::lock_guard<std::mutex> lock(fLock);
			return fEvents;
		}
		std::atomic<display::window_id> alertId{0};
	private:
		std::mutex fLock;
		std::vector<std::string> fEvents;
	};

	Asker* window = new Asker;
	window->Show();
	window->PostMessage('ask');
	ASSERT_TRUE(testutil::wait_for([&] { return window->alertId.load() != 0; }));
	ASSERT_TRUE(wait_shown(window->alertId));
	window->PostMessage('ping');
	press_key(window->alertId, kScanEscape);
	ASSERT_TRUE(testutil::wait_for([&] { return window->Events().size() == 2; }));
	EXPECT_EQ(window->Events(), (std::vector<std::string>{"answer 0", "ping"}));
	windowtest::quit(window);
}

TEST(Alert, GoWithAnInvokerReturnsAtOnceAndSendsWhich)
{
	Receiver* receiver = new Receiver;
	receiver->Run();

	BAlert* alert = new BAlert("info", "The lyrics file was saved.", "Open folder",
		"OK", NULL, B_WIDTH_FROM_LABEL, B_INFO_ALERT);
	alert->SetShortcut(0, 'o');
	display::window_id id = native(alert);
	BMessage* model = new BMessage('ansr');
	model->AddString("context", "saved");
	EXPECT_EQ(alert->Go(new BInvoker(model, BMessenger(receiver))), B_OK);
	ASSERT_TRUE(wait_shown(id));
	press_key(id, 18 /* o */);

	ASSERT_TRUE(testutil::wait_for([&] { return receiver->Messages().size() == 1; }));
	BMessage answer = receiver->Messages()[0];
	EXPECT_EQ(answer.what, (uint32)'ansr');
	int32 which = -1;
	EXPECT_EQ(answer.FindInt32("which", &which), B_OK);
	EXPECT_EQ(which, 0);
	const char* context = NULL;
	EXPECT_EQ(answer.FindString("context", &context), B_OK);
	EXPECT_STREQ(context, "saved");
	// The alert has gone from the screen.
	EXPECT_TRUE(testutil::wait_for([id] {
		display::WindowState state;
		return display::DisplayServer::Get()->GetWindowState(id, &state) != B_OK
			|| state.hidden;
	}));
	receiver->Lock();
	receiver->Quit();
}

TEST(Alert, QuitWithoutAnAnswerReturnsMinusOne)
{
	std::atomic<BMessenger*> messenger{nullptr};
	AlertRun run;
	run.Start([&] {
		BAlert* alert = three_buttons();
		messenger = new BMessenger(alert);
		return alert;
	});
	EXPECT_EQ(messenger.load()->SendMessage(B_QUIT_REQUESTED), B_OK);
	EXPECT_EQ(run.Finish(), -1);
	delete messenger.load();
}

TEST(Alert, ButtonsAreLaidOutByWidthAndSpacing)
{
	// Never shown: quitting deletes it at once.
	auto layout = [](button_width width, button_spacing spacing) {
		BAlert* alert = new BAlert("t", "Text", "No", "A much longer label", "Yes",
			width, spacing, B_STOP_ALERT);
		std::vector<BRect> frames;
		for (int32 i = 0; i < 3; i++)
			frames.push_back(alert->ButtonAt(i)->Frame());
		EXPECT_EQ(alert->ButtonAt(3), nullptr);
		EXPECT_EQ(alert->TextView(), nullptr);
		EXPECT_EQ(alert->DefaultButton(), alert->ButtonAt(2));
		alert->Quit();
		return frames;
	};

	// Usual: at least the usual width, longer labels wider; left to right.
	std::vector<BRect> usual = layout(B_WIDTH_AS_USUAL, B_EVEN_SPACING);
	EXPECT_GE(usual[0].Width() + 1, 75);
	EXPECT_GT(usual[1].Width(), usual[0].Width());
	EXPECT_LT(usual[0].right, usual[1].left);
	EXPECT_LT(usual[1].right, usual[2].left);
	float evenGap = usual[1].left - usual[0].right;
	float defaultGap = usual[2].left - usual[1].right;   // the default's frame is heavier

	// From the widest: every face as wide as the widest label's.
	std::vector<BRect> widest = layout(B_WIDTH_FROM_WIDEST, B_EVEN_SPACING);
	EXPECT_FLOAT_EQ(widest[0].Width(), widest[1].Width());

	// From the label: a short label gives a narrower button than usual.
	std::vector<BRect> fromLabel = layout(B_WIDTH_FROM_LABEL, B_EVEN_SPACING);
	EXPECT_LT(fromLabel[0].Width(), usual[0].Width());

	// Offset: the first button stands apart from the others.
	std::vector<BRect> offset = layout(B_WIDTH_AS_USUAL, B_OFFSET_SPACING);
	EXPECT_GT(offset[1].left - offset[0].right, evenGap);
	EXPECT_FLOAT_EQ(offset[2].left - offset[1].right, defaultGap);
}

TEST(Alert, IsCentredSizedToItsTextAndDrawsItsIcon)
{
	std::string longText;
	for (int i = 0; i < 40; i++)
		longText += "The language file could not be loaded. ";
	BAlert* shortAlert = new BAlert("t", "Short.", "OK", NULL, NULL,
		B_WIDTH_AS_USUAL, B_STOP_ALERT);
	BAlert* longAlert = new BAlert("t", longText.c_str(), "OK", NULL, NULL,
		B_WIDTH_AS_USUAL, B_STOP_ALERT);
	EXPECT_GT(longAlert->Frame().Height(), shortAlert->Frame().Height() + 50);
	longAlert->Quit();

	BRect screen = BScreen().Frame();
	BRect frame = shortAlert->Frame();
	EXPECT_NEAR(frame.left + frame.Width() / 2, screen.Width() / 2, 1.5);
	EXPECT_NEAR(frame.top + frame.Height() / 2, screen.Height() / 2, 1.5);
	EXPECT_EQ(shortAlert->Look(), B_MODAL_WINDOW_LOOK);

	display::window_id id = native(shortAlert);
	ASSERT_EQ(shortAlert->Go(nullptr), B_OK);
	ASSERT_TRUE(wait_shown(id));
	{
		// The stop sign's red, with the panel's shade beside it.
		windowtest::Pixels pixels(shortAlert);
		EXPECT_GT(pixels.Count(0xcd1e1e, 18, 10, 49, 41), 200);
		EXPECT_EQ(pixels.At(2, 60), windowtest::rgb(tint_color(
			ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_1_TINT)));
		// Text beside the icon.
		uint32 panel = windowtest::rgb(ui_color(B_PANEL_BACKGROUND_COLOR));
		int32 ink = 0;
		for (int32 y = 10; y < 26; y++)
			for (int32 x = 60; x < 120; x++)
				ink += pixels.At(x, y) != panel;
		EXPECT_GT(ink, 20);
	}
	press_key(id, kScanReturn);
	EXPECT_TRUE(testutil::wait_for([id] {
		display::WindowState state;
		return display::DisplayServer::Get()->GetWindowState(id, &state) != B_OK
			|| state.hidden;
	}));
}
