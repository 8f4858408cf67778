#include "framework/ControlFit.h"

#include <Button.h>
#include <CheckBox.h>
#include <MenuField.h>
#include <RadioButton.h>
#include <Screen.h>
#include <StringView.h>
#include <TextControl.h>
#include <Window.h>

#include <math.h>

namespace orvik {

namespace {

float label_width(const BView* view, const char* label)
{
	BFont font;
	view->GetFont(&font);
	return ceilf(font.StringWidth(label != nullptr ? label : ""));
}

void resize_width(BView* view, float width)
{
	view->ResizeTo(width, view->Bounds().Height());
}

}

void click_button(BButton* button)
{
	if (button == nullptr)
		return;
	button->SetValue(1);
	if (button->Window() != nullptr)
		button->Window()->UpdateIfNeeded();
	snooze(50000);
	button->SetValue(0);
	button->Invoke();
}

void adjust_txtctrl_width(BTextControl* control)
{
	if (control != nullptr)
		control->SetDivider(label_width(control, control->Label()) + 2);
}

void adjust_mfield_width(BMenuField* field)
{
	if (field != nullptr)
		field->SetDivider(label_width(field, field->Label()) + 2);
}

void adjust_strview_width(BStringView* view)
{
	if (view != nullptr)
		resize_width(view, label_width(view, view->Text()) + 2);
}

void adjust_rbutton_width(BRadioButton* button)
{
	if (button != nullptr)
		resize_width(button, label_width(button, button->Label()) + 20 + 2);
}

void adjust_cbox_width(BCheckBox* box)
{
	if (box != nullptr)
		resize_width(box, label_width(box, box->Label()) + 20 + 2);
}

void adjust_button_width(BButton* button)
{
	if (button == nullptr)
		return;
	float width = 0;
	float height = 0;
	button->GetPreferredSize(&width, &height);
	resize_width(button, ceilf(width));
}

BRect move_window_into_screen(BWindow* window)
{
	BRect screen = BScreen(window).Frame();
	BRect frame = window->Frame();
	float left = frame.left;
	float top = frame.top;
	if (frame.right > screen.right - 5)
		left = screen.right - frame.Width() - 5;
	if (left < 5)
		left = 5;
	if (frame.bottom > screen.bottom - 5)
		top = screen.bottom - frame.Height() - 5;
	if (top < 24)
		top = 24;
	window->MoveTo(left, top);
	return window->Frame();
}

}
