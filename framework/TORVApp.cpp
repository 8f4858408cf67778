#include "framework/TORVApp.h"

#include <Message.h>

TORVApp::TORVApp(const char* signature)
	: BApplication(signature)
{
}

TORVApp::~TORVApp()
{
}

void TORVApp::MItemAuthorWebClicked()
{
}

void TORVApp::MItemHelpClicked()
{
}

void TORVApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case ORV_MSG_AUTHOR_WEB:
			MItemAuthorWebClicked();
			break;
		case ORV_MSG_HELP:
			MItemHelpClicked();
			break;
		default:
			BApplication::MessageReceived(message);
			break;
	}
}
