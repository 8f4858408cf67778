#include "prefs/TSimpleInputView.h"

#include "framework/ControlFit.h"
#include "framework/TORVDlgWin.h"
#include "prefs/PrefWinDefs.h"

#include <Button.h>
#include <FilePanel.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

namespace {

const float kWidth = 250;
const float kHeight = 75;
const float kMargin = 10;

}

TSimpleInputView::TSimpleInputView(BRect frame)
	: TORVDlgView(BRect(frame.left, frame.top, frame.left + kWidth, frame.top + kHeight),
		"SimpleInputView", 0, B_WILL_DRAW),
	  fOK(NULL),
	  fCancel(NULL),
	  fData(NULL)
{
	const uint32 flags = B_WILL_DRAW | B_NAVIGABLE;
	fData = new BTextControl(BRect(10, 10, 240, 29), "TxtCtrlData", "", "", NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, flags);
	fData->SetDivider(34);
	AddChild(fData);
	fData->SetResizingMode(B_FOLLOW_LEFT_RIGHT);

	fCancel = new BButton(BRect(70, 40, 150, 64), "ButtonCancel", "",
		new BMessage(kMsgCancelClicked), B_FOLLOW_LEFT | B_FOLLOW_TOP, flags);
	AddChild(fCancel);
	fCancel->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);

	fOK = new BButton(BRect(160, 40, 240, 64), "ButtonDefault", "",
		new BMessage(kMsgOKClicked), B_FOLLOW_LEFT | B_FOLLOW_TOP, flags);
	AddChild(fOK);
	fOK->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
}

TSimpleInputView::~TSimpleInputView()
{
}

void TSimpleInputView::AttachedToWindow()
{
	TORVDlgView::AttachedToWindow();
	fData->MakeFocus(true);
	fOK->MakeDefault(true);
	fOK->SetTarget(this);
	fCancel->SetTarget(this);
}

void TSimpleInputView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgOKClicked:
			ButtonDefaultClicked();
			break;
		case kMsgCancelClicked:
			ButtonCancelClicked();
			break;
		default:
			TORVDlgView::MessageReceived(message);
			break;
	}
}

void TSimpleInputView::ShortCutDown(int32 rawChar, int32 key)
{
	if (rawChar == B_ESCAPE) {
		orvik::click_button(fCancel);
		return;
	}
	TORVDlgView::ShortCutDown(rawChar, key);
}

void TSimpleInputView::ButtonDefaultClicked()
{
	TORVDlgWin* window = dynamic_cast<TORVDlgWin*>(Window());
	if (window == NULL)
		return;
	const std::string text = Data();
	if (BMessage* message = window->Message()) {
		message->RemoveName(kFieldSimpleInputData);
		message->AddString(kFieldSimpleInputData, text.c_str());
		window->Invoke();
	}
	if (!window->IsHidden())
		window->Hide();
	fLastConfirmed = text;
}

void TSimpleInputView::ButtonCancelClicked()
{
	BWindow* window = Window();
	if (window != NULL && !window->IsHidden())
		window->Hide();
	SetData(fLastConfirmed.c_str());
}

void TSimpleInputView::SetData(const char* text)
{
	fData->SetText(text != NULL ? text : "");
}

void TSimpleInputView::SetDataLabel(const char* label)
{
	fData->SetLabel(label != NULL ? label : "");
	orvik::adjust_txtctrl_width(fData);
}

const char* TSimpleInputView::Data() const
{
	const char* text = fData->Text();
	return text != NULL ? text : "";
}

void TSimpleInputView::SelectAllData()
{
	fData->MakeFocus(true);
	fData->TextView()->SelectAll();
}

void TSimpleInputView::SetButtonLabel(int32 which, const char* label)
{
	BButton* button = NULL;
	if (which == B_CANCEL_BUTTON)
		button = fCancel;
	else if (which == B_DEFAULT_BUTTON)
		button = fOK;
	if (button == NULL)
		return;
	button->SetLabel(label != NULL ? label : "");
	orvik::adjust_button_width(button);
	AdjustButtonArrange();
}

void TSimpleInputView::AdjustButtonArrange()
{
	const float width = Bounds().Width();
	fOK->MoveTo(width - (kMargin + fOK->Frame().Width()), fOK->Frame().top);
	fCancel->MoveTo(fOK->Frame().left - (kMargin + fCancel->Frame().Width()),
		fCancel->Frame().top);
}
