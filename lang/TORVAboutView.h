// The content of an about window, shared by all of the author's programs:
// a page that knows the program's name and takes its information and the
// language table. OK, Escape and a '_cnc' hide the window.
//
// Ownership: the language table is not owned.
#ifndef LANG_TORV_ABOUT_VIEW_H
#define LANG_TORV_ABOUT_VIEW_H

#include "framework/TORVDlgView.h"

#include <string>

class TLLT;

class TORVAboutView : public TORVDlgView {
public:
	// Named "AboutView", grey (216, 216, 216).
	explicit TORVAboutView(BRect frame);
	virtual ~TORVAboutView();

	virtual std::string AppName() const = 0;
	virtual status_t SetAppInfo(const char* name, const char* version, const char* rights) = 0;
	// Keeps the table (not owned); 0.
	virtual status_t SetLLTRef(TLLT* table);
	virtual status_t Update();
	// Hides the window.
	virtual void ButtonOKClicked();

	// Escape hides the window as OK does; the rest as in any dialog.
	virtual void ShortCutDown(int32 rawChar, int32 key);
	virtual void MessageReceived(BMessage* message);

	TLLT* LLTRef() const { return fLLT; }

protected:
	TLLT* fLLT;
};

// A notice of the program ('_lgc', '_nlc'): '_' first, and no system
// message. The about window passes them to its page; a page that has no
// use for one drops it, so that it never travels back to the window.
bool is_about_notice(const BMessage* message);

// What the OK button of an about page sends.
const uint32 kMsgAboutOK = '_ok';

#endif
