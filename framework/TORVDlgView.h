// TORVDlgView: the main view of a dialog. Its controls answer Control plus
// the first letter of their label, and Enter presses the focused button or
// the window's default button.
#ifndef FRAMEWORK_TORV_DLG_VIEW_H
#define FRAMEWORK_TORV_DLG_VIEW_H

#include "framework/TORVView.h"

class TORVDlgView : public TORVView {
public:
	// The view colour becomes the panel background colour.
	TORVDlgView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	TORVDlgView(BMessage* archive);
	virtual ~TORVDlgView();

	// A shortcut key the window passed on. Enter (10) presses the focused
	// button, else the default button, else nothing; any other character
	// goes to ApplyCharShortCut(this, ...). Dialogs override it for Escape
	// and their own keys and call this one for the rest.
	virtual void ShortCutDown(int32 rawChar, int32 key);

	// Enter is left to ShortCutDown, which the window calls after this, so
	// that one press of Enter presses a button once; other keys go on to
	// the base view.
	virtual void KeyDown(const char* bytes, int32 numBytes) override;

	// Looks through the children of `parent`, depth first in child order,
	// for a control whose label begins with `rawChar` (compared with the
	// label's first byte in lower case, so `rawChar` must be lower case) and
	// acts on the first: a button is pressed, a check box focused, toggled
	// and invoked, a radio button focused, set and invoked, a menu field or
	// any other control focused. True when a control took the key.
	bool ApplyCharShortCut(BView* parent, int32 rawChar, int32 key);

	// Makes this view the target of `view` (when it is a control) and of
	// every control below it.
	void SetTargetToThis(BView* view);
};

#endif
