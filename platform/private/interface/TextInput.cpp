#include "interface/TextInput.h"

#include <Message.h>
#include <TextControl.h>
#include <Window.h>

#include <string.h>

#include <string>

namespace BPrivate {

static const char* kInputClass = "_BTextInput_";

static InstantiationRegistrar sTextInputRegistrar(kInputClass, TextInput::Instantiate);

TextInput::TextInput(BRect frame, const char* name, BRect textRect,
	uint32 resizingMode, uint32 flags)
	: BTextView(frame, name, textRect, resizingMode, flags)
{
	_Init();
}

TextInput::TextInput(BMessage* archive)
	: BTextView(archive)
{
	_Init();
}

void TextInput::_Init()
{
	fControl = NULL;
	fDepth = 0;
	fPending = false;
	fUserChanged = false;
	fHasFocus = false;
	SetWordWrap(false);
}

BArchivable* TextInput::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, kInputClass))
		return NULL;
	return new TextInput(archive);
}

status_t TextInput::Archive(BMessage* archive, bool deep) const
{
	status_t status = BTextView::Archive(archive, deep);
	if (status == B_OK)
		status = archive->ReplaceString("class", 0, kInputClass);
	return status;
}

void TextInput::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && bytes[0] == B_ENTER) {
		// Enter confirms the text, selects it for the next entry, and is
		// passed on so that the default button is pressed too.
		if (fControl != NULL) {
			fUserChanged = false;
			fControl->Invoke();
		}
		SelectAll();
		BView::KeyDown(bytes, numBytes);
		return;
	}
	Edit(true, [&] { BTextView::KeyDown(bytes, numBytes); });
}

void TextInput::MakeFocus(bool focus)
{
	BTextView::MakeFocus(focus);
	if (focus && IsFocus() && !fHasFocus) {
		fHasFocus = true;
		// Coming in with the keyboard, the whole entry is ready to retype;
		// a click places the caret afterwards.
		SelectAll();
	} else if (!focus && fHasFocus) {
		fHasFocus = false;
		if (fUserChanged && fControl != NULL) {
			fUserChanged = false;
			fControl->Invoke();
		}
	}
	if (fControl != NULL)
		fControl->Invalidate();
}

void TextInput::Cut(BClipboard* clipboard)
{
	Edit(true, [&] { BTextView::Cut(clipboard); });
}

void TextInput::Paste(BClipboard* clipboard)
{
	Edit(true, [&] { BTextView::Paste(clipboard); });
}

void TextInput::MessageReceived(BMessage* message)
{
	// What is dropped on the field is the control's business (a file name
	// dropped on it, say).
	if (message->WasDropped() && fControl != NULL) {
		fControl->MessageReceived(message);
		return;
	}
	BTextView::MessageReceived(message);
}

void TextInput::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array* runs)
{
	if (text == NULL || length <= 0)
		return;
	// One line only: line breaks become spaces.
	std::string line(text, strnlen(text, length));
	for (char& c : line) {
		if (c == '\n' || c == '\r')
			c = ' ';
	}
	int32 before = TextLength();
	BTextView::InsertText(line.data(), (int32)line.size(), offset, runs);
	if (TextLength() != before)
		_Changed();
}

void TextInput::DeleteText(int32 fromOffset, int32 toOffset)
{
	int32 before = TextLength();
	BTextView::DeleteText(fromOffset, toOffset);
	if (TextLength() != before)
		_Changed();
}

void TextInput::_Changed()
{
	fPending = true;
	if (fDepth == 0)
		_EndEdit(false);
}

void TextInput::_EndEdit(bool byUser)
{
	if (byUser && fPending)
		fUserChanged = true;
	if (fDepth > 0 || !fPending)
		return;
	fPending = false;
	if (fControl != NULL)
		fControl->_SendModification();
}

}
