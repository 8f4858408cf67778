// The text field inside a BTextControl: a one-line BTextView that reports
// every change of its text to its control, and hands Enter, Tab and the
// loss of the focus to the control's rules (see TextControl.h).
//
// Changes are counted per editing action: a keystroke that replaces a
// selection deletes and inserts, but the control hears of it once. Changes
// made from outside any action (code calling Insert() or Delete() on the
// text view) are reported one by one.
//
// The control owns the field as its child; the field keeps a plain pointer
// back to the control, which the control sets and clears.
#ifndef INTERFACE_TEXT_INPUT_H
#define INTERFACE_TEXT_INPUT_H

#include <TextView.h>

class BTextControl;

namespace BPrivate {

class TextInput : public BTextView {
public:
	TextInput(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
		uint32 flags);
	TextInput(BMessage* archive);

	// Archived under the class name "_BTextInput_", which archives of text
	// controls made on the original platform use too.
	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	void SetControl(BTextControl* control) { fControl = control; }
	// The user changed the text since the control was last invoked.
	bool UserChanged() const { return fUserChanged; }
	void ClearUserChanged() { fUserChanged = false; }
	// Counts as a change even when the text stayed the same.
	void MarkChanged() { fPending = true; }

	// Runs `action` as one editing action: the control hears of its
	// changes once, after it. `byUser` marks the text as changed by the
	// user, which invokes the control when the focus leaves.
	template<typename Action>
	void Edit(bool byUser, Action action)
	{
		fDepth++;
		action();
		fDepth--;
		_EndEdit(byUser);
	}

	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	virtual void Cut(BClipboard* clipboard);
	virtual void Paste(BClipboard* clipboard);
	virtual void MessageReceived(BMessage* message);

protected:
	virtual void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
	void _Init();
	void _Changed();
	void _EndEdit(bool byUser);

	BTextControl* fControl;   // not owned
	int32 fDepth;             // editing actions under way
	bool fPending;            // a change inside the current action
	bool fUserChanged;
	bool fHasFocus;           // the window may move the focus before telling us
};

}

#endif
