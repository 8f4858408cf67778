// TSimpleInputView: the main view of the simple input dialog: a labelled
// one-line text field, a Cancel button and an OK button (the window's
// default button), all labels empty until the owner sets them.
//
// OK sends the dialog's message with the field's text in "_SmplIptData" to
// the dialog's target, hides the window and remembers the text as the last
// confirmed one; Cancel (Escape, the close box) hides the window and puts
// the last confirmed text back into the field.
//
// Ownership: the view owns its children, as every view.
#ifndef PREFS_T_SIMPLE_INPUT_VIEW_H
#define PREFS_T_SIMPLE_INPUT_VIEW_H

#include "framework/TORVDlgView.h"

#include <string>

class BButton;
class BTextControl;

class TSimpleInputView : public TORVDlgView {
public:
	// 250 by 75 at the left-top corner of `frame`, whatever its size.
	explicit TSimpleInputView(BRect frame);
	virtual ~TSimpleInputView();

	virtual void MessageReceived(BMessage* message);
	// Gives the field the focus, makes the window's default button OK and
	// this view the target of both buttons.
	virtual void AttachedToWindow();
	// Escape presses Cancel; other keys as every dialog view.
	virtual void ShortCutDown(int32 rawChar, int32 key);
	virtual void ButtonCancelClicked();
	virtual void ButtonDefaultClicked();

	void SetData(const char* text);
	// Sets the label and fits the field's divider to it.
	void SetDataLabel(const char* label);
	const char* Data() const;
	// Gives the field the focus, which selects its text.
	void SelectAllData();
	// Labels a button and fits it to its label, then places both buttons
	// again. `which` is B_CANCEL_BUTTON or B_DEFAULT_BUTTON.
	void SetButtonLabel(int32 which, const char* label);
	// OK 10 pixels from the right edge, Cancel 10 pixels left of OK, both
	// at their current height.
	void AdjustButtonArrange();

	BTextControl* DataControl() const { return fData; }
	BButton* OKButton() const { return fOK; }
	BButton* CancelButton() const { return fCancel; }
	const std::string& LastConfirmed() const { return fLastConfirmed; }

private:
	BButton* fOK;
	BButton* fCancel;
	std::string fLastConfirmed;
	BTextControl* fData;
};

#endif
