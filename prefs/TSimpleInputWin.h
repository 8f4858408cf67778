// TSimpleInputWin: a small dialog that asks for one line of text. Its owner
// sets the title, the field's label, the buttons' labels, the initial text,
// the message (by default '_sdc') and the target; on OK the dialog sends
// the message with the text in "_SmplIptData" to the target and hides. The
// dialog knows nothing of what the text is for.
//
// Created hidden; Appear() brings it up with the field focused. OK, Cancel
// and the close box only hide it; only its owner quits it, in code.
//
// Threads: the public operations below lock the window, so the owner calls
// them from its own thread; each does nothing when the lock fails.
//
// Ownership: the window owns its view and its message (TORVDlgWin).
#ifndef PREFS_T_SIMPLE_INPUT_WIN_H
#define PREFS_T_SIMPLE_INPUT_WIN_H

#include "framework/TORVDlgWin.h"

#include <FilePanel.h>

class TSimpleInputView;

class TSimpleInputWin : public TORVDlgWin {
public:
	TSimpleInputWin(BRect frame, const char* title);
	virtual ~TSimpleInputWin();

	virtual void MessageReceived(BMessage* message);
	// A close by the user cancels the edit and hides the window; a quit in
	// code closes it.
	virtual bool QuitRequested();
	// Focuses the field (its text selected), then shows or activates.
	virtual void Appear();

	// The field's text; empty when the window cannot be locked. The pointer
	// belongs to the field and lasts until its text changes.
	const char* Data();
	void SetData(const char* text);
	void SetDataLabel(const char* label);
	void SetButtonLabel(file_panel_button which, const char* label);

	TSimpleInputView* InputView() const { return fView; }

private:
	TSimpleInputView* fView;   // the main child
};

#endif
