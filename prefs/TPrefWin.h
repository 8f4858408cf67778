// TPrefWin: the preference window. A dialog of five tabs (TPrefView) whose
// view tree is read from the archive "PrefViewRsrc" (resource 'ARCV' 3000
// of the plug-in file), with file panels for the background image and the
// skin, and the dialog that asks for a preset's name.
//
// The communication manager creates it hidden on the first request, checks
// InitCheck(), places it, makes itself the target and shows it; afterwards
// the window is only hidden (OK, Cancel, the close box) and shown again,
// until the manager quits it in code when the plug-in ends.
//
// Ownership: the window owns its view (as main child), its two file panels
// and the preset-name dialog (quit with the window). The manager is not
// owned.
#ifndef PREFS_T_PREF_WIN_H
#define PREFS_T_PREF_WIN_H

#include "framework/TORVDlgWin.h"

#include <string>

class BFilePanel;
class TCommMan;
class TPrefView;
class TSimpleInputWin;

class TPrefWin : public TORVDlgWin {
public:
	// Reads the view tree from the resources of `resourceFile`, or of the
	// plug-in file when it is NULL. InitCheck() tells whether that worked.
	TPrefWin(BRect frame, TCommMan* commMan, const char* resourceFile = NULL);
	virtual ~TPrefWin();

	virtual void MessageReceived(BMessage* message);
	// The close box cancels, then hides the window; a quit in code closes
	// it without cancelling.
	virtual bool QuitRequested();
	virtual void WindowActivated(bool active);

	// B_OK once the view tree was read and every control found in it, else
	// B_NO_INIT.
	status_t InitCheck() const { return fInitStatus; }

	void SetWinTitle();
	void SetBrowseBGImgPanelLabel();
	void SetBrowseSkinPanelLabel();
	void SetSavePanelLabel();
	void ButtonBrowseBGImgClicked();
	void PopMItemGetSkinColorClicked();
	void ShowSavePanelRqtd();
	// Follows the stay-on-top preference (unless minimised).
	void PrefStayOnTopChanged();
	void LanguageChanged();
	void IAPChanged(BMessage* message);
	// As the Cancel button.
	void Cancel();

	TPrefView* PrefView() const { return fView; }
	BFilePanel* BGImagePanel() const { return fBGImgPanel; }
	BFilePanel* SkinPanel() const { return fSkinPanel; }
	TSimpleInputWin* SavePanel() const { return fSaveDlg; }

private:
	// Passes the message on to the view, in a later turn of the loop.
	void PassToView(BMessage* message);

	status_t fInitStatus;
	TCommMan* fCommMan;           // not owned
	BFilePanel* fBGImgPanel;      // owned; made on first use
	BFilePanel* fSkinPanel;       // owned; made on first use
	TPrefView* fView;             // the main child
	TSimpleInputWin* fSaveDlg;    // quit with the window; made on first use
};

// The maker the communication manager uses: a preference window on `frame`
// for `manager`, or NULL (after showing nothing and leaving nothing behind)
// when its view tree cannot be read.
TORVDlgWin* make_pref_window(BRect frame, TCommMan* manager);

#endif
