// An about page of one information view with an OK button centred under
// it. Around a 320 × 166 TAppInfoView the page is 320 × 216 and OK spans
// x 125 to 195, y 181 to 206.
//
// Ownership: the information view and the button are child views.
#ifndef LANG_T_SIMPLE_ABOUT_VIEW_H
#define LANG_T_SIMPLE_ABOUT_VIEW_H

#include "TORVAboutView.h"

class BButton;
class TAppInfoView;

class TSimpleAboutView : public TORVAboutView {
public:
	// Takes `info` (a plain TAppInfoView when NULL) as its child.
	TSimpleAboutView(BRect frame, TAppInfoView* info);
	virtual ~TSimpleAboutView();

	virtual void AllAttached();

	// The information view's program name.
	virtual std::string AppName() const;
	virtual status_t SetAppInfo(const char* name, const char* version, const char* rights);
	// Keeps the table, relabels OK and hands the table to the information
	// view.
	virtual status_t SetLLTRef(TLLT* table);

	TAppInfoView* InfoView() const { return fInfo; }
	BButton* ButtonOK() const { return fButtonOK; }

private:
	// OK's label from the language table, when there is one.
	void SetViewLabel();

	BButton* fButtonOK;
	TAppInfoView* fInfo;
};

#endif
