// Check boxes and radio buttons: toggling by mouse and keys, groups.
#include <gtest/gtest.h>

#include "ControlTestUtil.h"

#include <Button.h>
#include <CheckBox.h>
#include <RadioButton.h>

using controltest::Receiver;
using controltest::centre_in_window;

namespace {

int32 locked_value(BControl* control)
{
	control->Window()->Lock();
	int32 value = control->Value();
	control->Window()->Unlock();
	return value;
}

}

TEST(CheckBox, ToggledByClickAndSpaceButNotByDragOff)
{
	Receiver* receiver = Receiver::Start();
	BWindow* window = controltest::make_window();
	BCheckBox* box = new BCheckBox(BRect(10, 10, 150, 29), "box", "Stay on top",
		new BMessage('cstc'));
	box->SetTarget(receiver);
	window->AddChild(box);
	window->Show();

	BPoint c = centre_in_window(box);
	windowtest::click(window, c.x, c.y);
	EXPECT_EQ(locked_value(box), B_CONTROL_ON);
	ASSERT_TRUE(receiver->WaitFor(1));
	int32 value = -1;
	EXPECT_EQ(receiver->At(0).FindInt32("be:value", &value), B_OK);
	EXPECT_EQ(value, B_CONTROL_ON);

	// Pressed, dragged off and released: no change.
	windowtest::mouse_button(window, c.x, c.y, true);
	windowtest::mouse_move(window, 250, 150);
	windowtest::mouse_button(window, 250, 150, false);
	EXPECT_EQ(locked_value(box), B_CONTROL_ON);

	window->Lock();
	box->MakeFocus(true);
	window->Unlock();
	windowtest::key(window, 44);   // space
	EXPECT_EQ(locked_value(box), B_CONTROL_OFF);
	ASSERT_TRUE(receiver->WaitFor(2));
	EXPECT_EQ(receiver->At(1).FindInt32("be:value", &value), B_OK);
	EXPECT_EQ(value, B_CONTROL_OFF);
	receiver->Drain();
	EXPECT_EQ(receiver->Count(), 2u);

	// Disabled: neither the mouse nor the keys change it.
	window->Lock();
	box->SetEnabled(false);
	EXPECT_FALSE(box->IsFocus());
	window->Unlock();
	windowtest::click(window, c.x, c.y);
	windowtest::key(window, 44);
	EXPECT_EQ(locked_value(box), B_CONTROL_OFF);
	receiver->Drain();
	EXPECT_EQ(receiver->Count(), 2u);

	windowtest::quit(window);
	Receiver::Stop(receiver);
}

TEST(CheckBox, LooksDifferentWhenCheckedAndPreferredSizeFitsLabel)
{
	BWindow* window = controltest::make_window();
	BCheckBox* box = new BCheckBox(BRect(10, 10, 32, 28), "box", "", new BMessage('x'));
	window->AddChild(box);
	window->Show();
	windowtest::Pixels off(window);
	window->Lock();
	box->SetValue(B_CONTROL_ON);
	window->Unlock();
	windowtest::Pixels on(window);
	int32 differing = 0;
	for (int32 y = 10; y <= 28; y++)
		for (int32 x = 10; x <= 32; x++)
			differing += off.At(x, y) != on.At(x, y);
	EXPECT_GT(differing, 5);

	window->Lock();
	float shortWidth, height;
	box->GetPreferredSize(&shortWidth, &height);
	box->SetLabel("A much longer label than before");
	float longWidth;
	box->GetPreferredSize(&longWidth, &height);
	EXPECT_GT(longWidth, shortWidth + box->StringWidth("A much longer label") - 1);
	window->Unlock();
	windowtest::quit(window);
}

TEST(RadioButton, OneOnPerParentAndOtherControlsUntouched)
{
	Receiver* receiver = Receiver::Start();
	BWindow* window = controltest::make_window();
	BView* group = new BView(BRect(0, 0, 199, 99), "group", B_FOLLOW_NONE, B_WILL_DRAW);
	BRadioButton* a = new BRadioButton(BRect(10, 10, 120, 29), "a", "Tile", new BMessage('tile'));
	BRadioButton* b = new BRadioButton(BRect(10, 35, 120, 54), "b", "Scale", new BMessage('scal'));
	BCheckBox* check = new BCheckBox(BRect(10, 60, 120, 79), "c", "Other", new BMessage('chk'));
	// A radio button in another parent is another group.
	BRadioButton* elsewhere = new BRadioButton(BRect(210, 10, 290, 29), "e", "Else",
		new BMessage('else'));
	a->SetTarget(receiver);
	b->SetTarget(receiver);
	group->AddChild(a);
	group->AddChild(b);
	group->AddChild(check);
	window->AddChild(group);
	window->AddChild(elsewhere);
	window->Lock();
	check->SetValue(B_CONTROL_ON);
	elsewhere->SetValue(B_CONTROL_ON);
	a->SetValue(B_CONTROL_ON);
	window->Unlock();
	window->Show();

	BPoint cb = centre_in_window(b);
	windowtest::click(window, cb.x, cb.y);
	EXPECT_EQ(locked_value(b), B_CONTROL_ON);
	EXPECT_EQ(locked_value(a), B_CONTROL_OFF);
	EXPECT_EQ(locked_value(check), B_CONTROL_ON);
	EXPECT_EQ(locked_value(elsewhere), B_CONTROL_ON);
	ASSERT_TRUE(receiver->WaitFor(1));
	EXPECT_EQ(receiver->At(0).what, 'scal');

	// Space never turns the chosen one off; the up arrow chooses the one above.
	window->Lock();
	b->MakeFocus(true);
	window->Unlock();
	windowtest::key(window, 44);
	EXPECT_EQ(locked_value(b), B_CONTROL_ON);
	windowtest::key(window, 82);   // up
	EXPECT_EQ(locked_value(a), B_CONTROL_ON);
	EXPECT_EQ(locked_value(b), B_CONTROL_OFF);
	window->Lock();
	EXPECT_TRUE(a->IsFocus());
	window->Unlock();
	ASSERT_TRUE(receiver->WaitFor(3));
	EXPECT_EQ(receiver->At(2).what, 'tile');

	// SetValue in code keeps the group consistent too.
	window->Lock();
	b->SetValue(B_CONTROL_ON);
	EXPECT_EQ(a->Value(), B_CONTROL_OFF);
	b->SetEnabled(false);
	window->Unlock();
	BPoint ca = centre_in_window(a);
	windowtest::click(window, ca.x, ca.y);
	EXPECT_EQ(locked_value(a), B_CONTROL_ON);
	// Disabled b is left alone by a click on it.
	windowtest::click(window, cb.x, cb.y);
	EXPECT_EQ(locked_value(b), B_CONTROL_OFF);
	EXPECT_EQ(locked_value(a), B_CONTROL_ON);

	windowtest::quit(window);
	Receiver::Stop(receiver);
}
