// The main view of the common preference window: one configuration
// component per inter-application preference item, supplied by the running
// programs of the family, above the buttons Default, Cancel and OK.
//
// For every item the view keeps up to three entries under the item's name
// in its component store: 0 the value confirmed last (Cancel returns to
// it), 1 the working value (what the controls show), 2 the default value.
// Each entry is a component: the deep archive of the item's configuration
// view plus the item's value fields. Every change the user makes is
// broadcast at once to all running applications as '_ipc'.
//
// Ownership: the components and the button container are child views, so
// the view owns them; it keeps the last component's pointer only to place
// the buttons under it.
//
// Threads: everything runs in the window's thread. Components arrive from
// other programs as archives through the port thread, which only posts.
#ifndef IAP_T_IAP_VIEW_H
#define IAP_T_IAP_VIEW_H

#include "framework/TORVDlgView.h"

#include <Message.h>

class BButton;

class TIAPView : public TORVDlgView {
public:
	// Shrinks to the 300 × 45 button container.
	explicit TIAPView(BRect frame);
	virtual ~TIAPView();

	virtual void AttachedToWindow();
	virtual void MessageReceived(BMessage* message);
	// Escape acts as Cancel.
	virtual void ShortCutDown(int32 rawChar, int32 key);

	// Builds a component from `archive` at (10, top) and adds it; NULL when
	// the archive is not a view.
	BView* AddComponent(BMessage archive, float top);
	// Shows entry `index` of every item and broadcasts it (0: Cancel, 2:
	// Default).
	void SetComponents(int32 index);

	void IAPAddComponentsRqtd(BMessage* message);
	void IAPControlChanged(BMessage* message);
	void IAPActivateWindowRqtd();
	void ButtonOKClicked();
	void ButtonCancelClicked();
	void ButtonDefaultClicked();
	// Broadcasts to every running application.
	status_t SendMessage(BMessage* message);

	// The component store, for tests.
	const BMessage& Components() const { return fComponents; }
	// The component of the item `name`, a direct child; NULL when none.
	BView* ComponentView(const char* name) const;

private:
	BButton* fButtonDefault;
	BButton* fButtonCancel;
	BButton* fButtonOK;
	BMessage fComponents;
	BView* fButtonContainer;
	BView* fLastComponent;   // not owned; NULL while there is none
};

#endif
