#include "TORVAboutWin.h"

#include "TLLT.h"
#include "TORVAboutView.h"
#include "TSimpleAboutView.h"

#include <Message.h>

#include <string>

TORVAboutWin::TORVAboutWin(BRect frame, TORVAboutView* view)
	:
	TORVDlgWin(frame, "", B_TITLED_WINDOW, B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
	fLLT(nullptr),
	fView(view)
{
	if (fView == nullptr)
		fView = new TSimpleAboutView(frame, nullptr);
	fView->MoveTo(0, 0);
	ResizeTo(fView->Frame().Width(), fView->Frame().Height());
	AddMainChild(fView);
}

TORVAboutWin::~TORVAboutWin()
{
}

status_t TORVAboutWin::SetAppInfo(const char* name, const char* version, const char* rights)
{
	return fView->SetAppInfo(name, version, rights);
}

status_t TORVAboutWin::SetLLTRef(TLLT* table)
{
	fLLT = table;
	SetWinTitle();
	fView->SetLLTRef(table);
	return 0;
}

status_t TORVAboutWin::Update()
{
	return fView->Update();
}

void TORVAboutWin::SetWinTitle()
{
	if (!Lock())
		return;
	if (fLLT != nullptr) {
		const std::string title = std::string(fLLT->Text("About_Win_Win_Title_1"))
			+ fView->AppName() + fLLT->Text("About_Win_Win_Title_2");
		SetTitle(title.c_str());
	}
	Unlock();
}

void TORVAboutWin::MessageReceived(BMessage* message)
{
	if (is_about_notice(message)) {
		PostMessage(message, fView);
		return;
	}
	TORVDlgWin::MessageReceived(message);
}
