// The about window of the author's programs: a dialog around one about
// page (TORVAboutView), titled from the language table and the program's
// name. OK, Escape and the close box hide it; its owner quits it.
//
// Ownership: the page is the window's main child; the language table is
// not owned.
//
// Threads: SetAppInfo, SetLLTRef and Update may be called from any thread;
// what they change is changed under the window's lock.
#ifndef LANG_TORV_ABOUT_WIN_H
#define LANG_TORV_ABOUT_WIN_H

#include "framework/TORVDlgWin.h"

class TLLT;
class TORVAboutView;

class TORVAboutWin : public TORVDlgWin {
public:
	// Hidden, with an empty title, at the left-top of `frame` and as large
	// as `view` (a TSimpleAboutView with a plain information view when
	// NULL), which becomes the main child.
	TORVAboutWin(BRect frame, TORVAboutView* view);
	virtual ~TORVAboutWin();

	status_t SetAppInfo(const char* name, const char* version, const char* rights);
	// Keeps the table, sets the title and hands the table to the page; 0.
	virtual status_t SetLLTRef(TLLT* table);
	virtual status_t Update();
	// Title: "About_Win_Win_Title_1", the program's name,
	// "About_Win_Win_Title_2", with nothing between.
	void SetWinTitle();

	// Notices of the program ('_lgc', '_nlc': a '_' followed by lower-case
	// letters) go to the page.
	virtual void MessageReceived(BMessage* message);

	TORVAboutView* AboutView() const { return fView; }

private:
	TLLT* fLLT;
	TORVAboutView* fView;
};

#endif
