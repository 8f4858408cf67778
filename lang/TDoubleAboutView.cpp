#include "TDoubleAboutView.h"

#include "TAppInfoView.h"
#include "TLLT.h"
#include "TLangInfoView.h"

#include <Button.h>
#include <TabView.h>
#include <Window.h>

TDoubleAboutView::TDoubleAboutView(BRect frame, TAppInfoView* info)
	:
	TORVAboutView(frame),
	fTabView(nullptr),
	fInfo(info),
	fLangView(nullptr),
	fButtonOK(nullptr)
{
	// The page takes its final size first: the tab view follows its sides.
	const BRect tabFrame(0, 5, 320, 191);
	const BRect buttonBounds(0, 0, 70, 25);
	ResizeTo(tabFrame.right, tabFrame.bottom + 15 + buttonBounds.Height() + 10);

	fTabView = new BTabView(tabFrame, "TabViewAbout");
	fTabView->SetResizingMode(B_FOLLOW_ALL_SIDES);
	if (fInfo == nullptr)
		fInfo = new TAppInfoView(BRect(0, 0, 1, 1));
	fTabView->AddTab(fInfo);
	const BRect page = fTabView->ContainerView() != nullptr
		? fTabView->ContainerView()->Bounds() : BRect(0, 0, 320, 166);
	fLangView = new TLangInfoView(page);
	fTabView->AddTab(fLangView);
	AddChild(fTabView);

	fButtonOK = new BButton(buttonBounds, "ButtonOK", "",
		new BMessage(kMsgAboutOK), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW | B_NAVIGABLE);
	fButtonOK->MoveTo((fTabView->Frame().right - fButtonOK->Frame().Width()) * 0.5f,
		fTabView->Frame().bottom + 15);
	AddChild(fButtonOK);
	fButtonOK->MakeDefault(true);
}

TDoubleAboutView::~TDoubleAboutView()
{
}

void TDoubleAboutView::AllAttached()
{
	TORVAboutView::AllAttached();
	fButtonOK->MakeFocus(true);
	fButtonOK->SetTarget(this);
}

void TDoubleAboutView::MessageReceived(BMessage* message)
{
	if (message->what == kMsgAboutLanguageFolderChanged) {
		const char* folder = nullptr;
		if (message->FindString("LangFolderName", &folder) == B_OK)
			fLangView->SetLangFolderName(folder);
		fLangView->SetNeedSetMField();
		return;
	}
	TORVAboutView::MessageReceived(message);
}

std::string TDoubleAboutView::AppName() const
{
	return fInfo->AppName();
}

status_t TDoubleAboutView::SetAppInfo(const char* name, const char* version, const char* rights)
{
	return fInfo->SetAppInfo(name, version, rights);
}

status_t TDoubleAboutView::SetLLTRef(TLLT* table)
{
	TORVAboutView::SetLLTRef(table);
	SetViewLabel();
	fInfo->SetLLTRef(table);
	fLangView->SetLLTRef(table);
	return 0;
}

void TDoubleAboutView::SetViewLabel()
{
	if (fLLT == nullptr)
		return;
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return;
	fButtonOK->SetLabel(fLLT->Text("About_Win_Button_OK"));
	if (BTab* tab = fTabView->TabAt(0))
		tab->SetLabel(fLLT->Text("About_Win_Tab_About"));
	if (BTab* tab = fTabView->TabAt(1))
		tab->SetLabel(fLLT->Text("About_Win_Tab_Lang"));
	fTabView->Invalidate();
	if (window != nullptr)
		window->Unlock();
}
