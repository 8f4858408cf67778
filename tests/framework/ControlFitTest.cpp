// Fitting controls to their labels, pressing a button in code, keeping a
// window on the screen.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "framework/ControlFit.h"

#include <Button.h>
#include <CheckBox.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuField.h>
#include <RadioButton.h>
#include <Screen.h>
#include <StringView.h>
#include <TextControl.h>
#include <Window.h>

#include <math.h>

#include <atomic>

namespace {

class Counter : public BLooper {
public:
	Counter() : BLooper("counter") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'push')
			pushes++;
		else
			BLooper::MessageReceived(message);
	}
	std::atomic<int> pushes{0};
};

float width_of(BView* view, const char* text)
{
	BFont font;
	view->GetFont(&font);
	return ceilf(font.StringWidth(text));
}

}

TEST(ControlFit, ControlsFitTheirLabelsAndKeepTheirHeight)
{
	BWindow* window = new BWindow(BRect(0, 0, 399, 299), "fit", B_TITLED_WINDOW, 0);
	BTextControl* text = new BTextControl(BRect(0, 0, 299, 20), "t", "Name:", "", NULL);
	BMenuField* field = new BMenuField(BRect(0, 30, 299, 50), "m", "Format:",
		new BMenu("Select ..."));
	BStringView* string = new BStringView(BRect(0, 60, 10, 75), "s", "A longer text");
	BRadioButton* radio = new BRadioButton(BRect(0, 80, 10, 99), "r", "Radio", NULL);
	BCheckBox* check = new BCheckBox(BRect(0, 100, 10, 119), "c", "Check it", NULL);
	BButton* button = new BButton(BRect(0, 130, 10, 150), "b", "Press me", NULL);
	for (BView* v : std::initializer_list<BView*>{text, field, string, radio, check, button})
		window->AddChild(v);

	orvik::adjust_txtctrl_width(text);
	EXPECT_FLOAT_EQ(text->Divider(), width_of(text, "Name:") + 2);
	orvik::adjust_mfield_width(field);
	EXPECT_FLOAT_EQ(field->Divider(), width_of(field, "Format:") + 2);
	orvik::adjust_strview_width(string);
	EXPECT_FLOAT_EQ(string->Bounds().Width(), width_of(string, "A longer text") + 2);
	EXPECT_FLOAT_EQ(string->Bounds().Height(), 15);
	orvik::adjust_rbutton_width(radio);
	EXPECT_FLOAT_EQ(radio->Bounds().Width(), width_of(radio, "Radio") + 22);
	orvik::adjust_cbox_width(check);
	EXPECT_FLOAT_EQ(check->Bounds().Width(), width_of(check, "Check it") + 22);
	orvik::adjust_button_width(button);
	float preferred, height;
	button->GetPreferredSize(&preferred, &height);
	EXPECT_FLOAT_EQ(button->Bounds().Width(), ceilf(preferred));
	EXPECT_FLOAT_EQ(button->Bounds().Height(), 20);
	orvik::adjust_button_width(NULL);   // nothing happens
	window->Quit();
}

TEST(ControlFit, ClickButtonShowsItPressedThenInvokesIt)
{
	Counter* counter = new Counter;
	counter->Run();
	BWindow* window = new BWindow(BRect(0, 0, 199, 99), "click", B_TITLED_WINDOW, 0);
	BButton* button = new BButton(BRect(10, 10, 90, 30), "b", "OK", new BMessage('push'));
	window->AddChild(button);
	button->SetTarget(counter);
	orvik::click_button(button);
	EXPECT_EQ(button->Value(), 0);
	EXPECT_TRUE(testutil::wait_for([&] { return counter->pushes == 1; }));
	orvik::click_button(NULL);
	window->Quit();
	counter->Lock();
	counter->Quit();
}

TEST(ControlFit, WindowsAreMovedBackOntoTheScreen)
{
	BRect screen = BScreen().Frame();
	BWindow* window = new BWindow(BRect(0, 0, 199, 99), "move", B_TITLED_WINDOW, 0);
	window->MoveTo(screen.right - 50, screen.bottom - 20);
	BRect frame = orvik::move_window_into_screen(window);
	EXPECT_FLOAT_EQ(frame.left, screen.right - 199 - 5);
	EXPECT_FLOAT_EQ(frame.top, screen.bottom - 99 - 5);
	window->MoveTo(-30, 3);
	frame = orvik::move_window_into_screen(window);
	EXPECT_EQ(frame.LeftTop(), BPoint(5, 24));
	window->Quit();
}
