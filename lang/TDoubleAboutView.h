// An about page with two tabs, the program information and the language
// files, above an OK button.
//
// Ownership: the tab view (with the two pages) and the button are child
// views.
#ifndef LANG_T_DOUBLE_ABOUT_VIEW_H
#define LANG_T_DOUBLE_ABOUT_VIEW_H

#include "TORVAboutView.h"

class BButton;
class BTabView;
class TAppInfoView;
class TLangInfoView;

class TDoubleAboutView : public TORVAboutView {
public:
	// Takes `info` (a plain TAppInfoView when NULL) as the first tab.
	TDoubleAboutView(BRect frame, TAppInfoView* info);
	virtual ~TDoubleAboutView();

	virtual void AllAttached();
	// '_nlc' (the language folder changed, with "LangFolderName" when the
	// folder is known) refills the language menu.
	virtual void MessageReceived(BMessage* message);

	virtual std::string AppName() const;
	virtual status_t SetAppInfo(const char* name, const char* version, const char* rights);
	// Also relabels OK and the tabs.
	virtual status_t SetLLTRef(TLLT* table);

	TLangInfoView* LangView() const { return fLangView; }

private:
	void SetViewLabel();

	BTabView* fTabView;
	TAppInfoView* fInfo;
	TLangInfoView* fLangView;
	BButton* fButtonOK;
};

// The language folder changed (the node monitor's notice).
const uint32 kMsgAboutLanguageFolderChanged = '_nlc';

#endif
