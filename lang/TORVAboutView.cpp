#include "TORVAboutView.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

namespace {

const uint32 kMsgCancel = '_cnc';
const rgb_color kAboutGrey = {216, 216, 216, 255};

}

TORVAboutView::TORVAboutView(BRect frame)
	:
	TORVDlgView(frame, "AboutView", B_FOLLOW_NONE, B_WILL_DRAW),
	fLLT(nullptr)
{
	SetViewColor(kAboutGrey);
}

TORVAboutView::~TORVAboutView()
{
}

status_t TORVAboutView::SetLLTRef(TLLT* table)
{
	fLLT = table;
	return 0;
}

status_t TORVAboutView::Update()
{
	return 0;
}

void TORVAboutView::ButtonOKClicked()
{
	if (Window() != nullptr && !Window()->IsHidden())
		Window()->Hide();
}

void TORVAboutView::ShortCutDown(int32 rawChar, int32 key)
{
	if (rawChar == B_ESCAPE) {
		ButtonOKClicked();
		return;
	}
	TORVDlgView::ShortCutDown(rawChar, key);
}

void TORVAboutView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgAboutOK:
		case kMsgCancel:
			ButtonOKClicked();
			break;
		default:
			if (!is_about_notice(message))
				TORVDlgView::MessageReceived(message);
			break;
	}
}

bool is_about_notice(const BMessage* message)
{
	return message != nullptr && (char)(message->what >> 24) == '_' && !message->IsSystem();
}
