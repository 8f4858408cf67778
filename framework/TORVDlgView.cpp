#include "framework/TORVDlgView.h"

#include "framework/ControlFit.h"

#include <Button.h>
#include <CheckBox.h>
#include <Control.h>
#include <InterfaceDefs.h>
#include <MenuField.h>
#include <RadioButton.h>
#include <Window.h>

namespace {

// Whether the label's first byte, in lower case, is `rawChar`. A label that
// starts with a multi-byte character never matches.
bool label_matches(const char* label, int32 rawChar)
{
	if (label == NULL)
		return false;
	unsigned char first = (unsigned char)label[0];
	if (first == 0 || first >= 0x80)
		return false;
	if (first >= 'A' && first <= 'Z')
		first = (unsigned char)(first - 'A' + 'a');
	return (int32)first == rawChar;
}

// A hidden control does not answer its shortcut either. Whether the window
// itself is shown does not matter here.
bool reachable(const BView* view, const BView* dialog)
{
	return !view->IsHidden(dialog);
}

}

TORVDlgView::TORVDlgView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
	: TORVView(frame, name, resizingMode, flags)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

TORVDlgView::TORVDlgView(BMessage* archive)
	: TORVView(archive)
{
}

TORVDlgView::~TORVDlgView()
{
}

void TORVDlgView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && bytes[0] == B_ENTER)
		return;
	TORVView::KeyDown(bytes, numBytes);
}

void TORVDlgView::ShortCutDown(int32 rawChar, int32 key)
{
	if (rawChar != B_ENTER) {
		ApplyCharShortCut(this, rawChar, key);
		return;
	}
	BWindow* window = Window();
	if (window == NULL)
		return;
	BButton* button = dynamic_cast<BButton*>(window->CurrentFocus());
	if (button == NULL)
		button = window->DefaultButton();
	if (button != NULL && button->IsEnabled() && reachable(button, this))
		orvik::click_button(button);
}

bool TORVDlgView::ApplyCharShortCut(BView* parent, int32 rawChar, int32 key)
{
	if (parent == NULL)
		return false;
	for (int32 i = 0; i < parent->CountChildren(); i++) {
		BView* child = parent->ChildAt(i);
		if (child == NULL)
			continue;

		BControl* control = dynamic_cast<BControl*>(child);
		BMenuField* field = dynamic_cast<BMenuField*>(child);
		bool matches = false;
		if (control != NULL)
			matches = control->IsEnabled() && reachable(control, this)
				&& label_matches(control->Label(), rawChar);
		else if (field != NULL)
			matches = field->IsEnabled() && reachable(field, this)
				&& label_matches(field->Label(), rawChar);

		if (matches) {
			if (BButton* button = dynamic_cast<BButton*>(child)) {
				orvik::click_button(button);
			} else if (BCheckBox* box = dynamic_cast<BCheckBox*>(child)) {
				box->MakeFocus(true);
				box->SetValue(box->Value() == 0 ? 1 : 0);
				box->Invoke();
			} else if (field != NULL) {
				field->MakeFocus(true);
			} else if (BRadioButton* radio = dynamic_cast<BRadioButton*>(child)) {
				radio->MakeFocus(true);
				radio->SetValue(1);
				radio->Invoke();
			} else {
				control->MakeFocus(true);
			}
			return true;
		}

		if (ApplyCharShortCut(child, rawChar, key))
			return true;
	}
	return false;
}

void TORVDlgView::SetTargetToThis(BView* view)
{
	if (view == NULL)
		return;
	if (BControl* control = dynamic_cast<BControl*>(view))
		control->SetTarget(this);
	for (int32 i = 0; i < view->CountChildren(); i++)
		SetTargetToThis(view->ChildAt(i));
}
