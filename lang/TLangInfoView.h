// The language page of a two-page about window: a menu of the language
// files in the language folder (and the built-in language), and what the
// chosen file says about itself: its language, file name, translator,
// thanks and number of texts.
//
// Ownership: child views only; the language table is not owned.
//
// Threads: SetLLTRef, SetNeedSetMField and SetNeedSetInfo may be called
// from any thread; they lock the window.
#ifndef LANG_T_LANG_INFO_VIEW_H
#define LANG_T_LANG_INFO_VIEW_H

#include "framework/TORVDlgView.h"

#include <map>
#include <string>

class BMenuField;
class BStringView;
class BTextView;
class TLLT;

// A language was chosen in the menu.
const uint32 kMsgAboutLanguageChosen = 'ABml';

class TLangInfoView : public TORVDlgView {
public:
	explicit TLangInfoView(BRect frame);
	virtual ~TLangInfoView();

	virtual void AttachedToWindow();
	virtual void MessageReceived(BMessage* message);

	// Keeps the table and relabels the menu field and the title.
	status_t SetLLTRef(TLLT* table);
	void SetLangFolderName(const char* folder);
	// The menu (the information) is filled again the next time the view
	// is attached or asked to.
	void SetNeedSetMField();
	void SetNeedSetInfo();
	// Fills the menu from the language folder; the first entry is chosen.
	virtual void SetMField();
	// Fills the text with the information of the chosen language.
	void SetInfo();
	void ClearMField();
	void ClearInfo();
	void MFieldLanguageChanged();

	// The text shown, for tests.
	std::string InfoText() const;

private:
	void SetViewLabel();

	BMenuField* fMField;
	BStringView* fTitle;
	BTextView* fInfo;
	TLLT* fLLT;
	std::string fFolder;
	std::map<std::string, std::string> fFiles;   // language name → path
	bool fNeedSetMField;
	bool fNeedSetInfo;
};

#endif
