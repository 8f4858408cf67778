// TORVApp: an application with hooks for the menu items of the author's web
// page ('_jaw') and of help ('_hlp'), which do nothing here.
#ifndef FRAMEWORK_TORV_APP_H
#define FRAMEWORK_TORV_APP_H

#include <Application.h>

class TORVApp : public BApplication {
public:
	TORVApp(const char* signature);
	virtual ~TORVApp();

	virtual void MItemAuthorWebClicked();
	virtual void MItemHelpClicked();

	virtual void MessageReceived(BMessage* message);
};

// The codes of those menu items.
enum {
	ORV_MSG_AUTHOR_WEB = '_jaw',
	ORV_MSG_HELP = '_hlp'
};

#endif
