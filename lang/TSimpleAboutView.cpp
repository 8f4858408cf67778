#include "TSimpleAboutView.h"

#include "TAppInfoView.h"
#include "TLLT.h"

#include <Button.h>
#include <Window.h>

TSimpleAboutView::TSimpleAboutView(BRect frame, TAppInfoView* info)
	:
	TORVAboutView(frame),
	fButtonOK(nullptr),
	fInfo(info)
{
	if (fInfo == nullptr)
		fInfo = new TAppInfoView(BRect(0, 0, 1, 1));
	AddChild(fInfo);

	fButtonOK = new BButton(BRect(125, 180, 195, 205), "ButtonOK", "",
		new BMessage(kMsgAboutOK), B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	AddChild(fButtonOK);

	const BRect info_frame = fInfo->Frame();
	fButtonOK->MoveTo((info_frame.right - fButtonOK->Frame().Width()) * 0.5f,
		info_frame.bottom + 15);
	ResizeTo(info_frame.right, fButtonOK->Frame().bottom + 10);
	fButtonOK->MakeDefault(true);
}

TSimpleAboutView::~TSimpleAboutView()
{
}

void TSimpleAboutView::AllAttached()
{
	TORVAboutView::AllAttached();
	fButtonOK->MakeFocus(true);
	fButtonOK->SetTarget(this);
}

std::string TSimpleAboutView::AppName() const
{
	return fInfo->AppName();
}

status_t TSimpleAboutView::SetAppInfo(const char* name, const char* version, const char* rights)
{
	return fInfo->SetAppInfo(name, version, rights);
}

status_t TSimpleAboutView::SetLLTRef(TLLT* table)
{
	TORVAboutView::SetLLTRef(table);
	SetViewLabel();
	fInfo->SetLLTRef(table);
	return 0;
}

void TSimpleAboutView::SetViewLabel()
{
	if (fLLT == nullptr)
		return;
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return;
	fButtonOK->SetLabel(fLLT->Text("About_Win_Button_OK"));
	if (window != nullptr)
		window->Unlock();
}
