#include <TextView.h>

#include <AppDefs.h>
#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include "interface/TextLayout.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <climits>
#include <mutex>

using BPrivate::TextLayout;
using BPrivate::text_char_start;
using BPrivate::text_code_point;
using BPrivate::text_next_char;
using BPrivate::text_previous_char;

static BPrivate::InstantiationRegistrar sTextViewRegistrar("BTextView",
	BTextView::Instantiate);

namespace {

// The process's clipboard for text. One for all windows, whose threads may
// cut and paste at the same time.
std::mutex sClipboardLock;
std::string sClipboard;

void clipboard_set(const std::string& text)
{
	std::lock_guard<std::mutex> lock(sClipboardLock);
	sClipboard = text;
}

std::string clipboard_get()
{
	std::lock_guard<std::mutex> lock(sClipboardLock);
	return sClipboard;
}

rgb_color mix(rgb_color a, rgb_color b, float amountOfB)
{
	auto component = [amountOfB](uint8 x, uint8 y) {
		return (uint8)lroundf(x + (y - x) * amountOfB);
	};
	rgb_color result = {component(a.red, b.red), component(a.green, b.green),
		component(a.blue, b.blue), 255};
	return result;
}

}

// ---- Construction

BTextView::BTextView(BRect frame, const char* name, BRect textRect,
	uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
	_Init(textRect, NULL, NULL);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect,
	const BFont* font, const rgb_color* color, uint32 resizingMode, uint32 flags)
	: BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
	_Init(textRect, font, color);
}

BTextView::BTextView(BMessage* archive)
	: BView(archive)
{
	BRect textRect = Bounds();
	archive->FindRect("_trect", &textRect);
	BFont font;
	GetFont(&font);
	rgb_color color = HighColor();
	_Init(textRect, &font, &color);

	int32 value;
	if (archive->FindInt32("_align", &value) == B_OK)
		fAlignment = (alignment)value;
	bool flag;
	if (archive->FindBool("_wrap", &flag) == B_OK)
		fWrap = flag;
	if (archive->FindBool("_nsel", &flag) == B_OK)
		fSelectable = !flag;
	if (archive->FindBool("_nedit", &flag) == B_OK)
		fEditable = !flag;
	if (archive->FindBool("_auto_in", &flag) == B_OK)
		fAutoindent = flag;
	if (archive->FindInt32("_max", &value) == B_OK && value >= 0)
		fMaxBytes = value;
	float tab;
	if (archive->FindFloat("_tab", &tab) == B_OK)
		fTabWidth = tab;
	for (int32 i = 0; archive->FindInt32("_dis", i, &value) == B_OK; i++)
		fDisallowed.insert((uint32)value);
	const char* text;
	if (archive->FindString("_text", &text) == B_OK)
		SetText(text);
	int32 start, end;
	if (archive->FindInt32("_sel", 0, &start) == B_OK
		&& archive->FindInt32("_sel", 1, &end) == B_OK)
		Select(start, end);
}

void BTextView::_Init(BRect textRect, const BFont* font, const rgb_color* color)
{
	fLayout = new TextLayout;
	fTextRect = textRect;
	fFont = font != NULL ? *font : *be_plain_font;
	fColor = color != NULL ? *color : ui_color(B_DOCUMENT_TEXT_COLOR);
	fSelStart = fSelEnd = fAnchor = 0;
	fGoalX = -1;
	fAlignment = B_ALIGN_LEFT;
	fTabWidth = 28;
	fMaxBytes = INT32_MAX;
	fWrap = true;
	fEditable = true;
	fSelectable = true;
	fAutoindent = false;
	fTracking = false;
	fTrackAnchor = 0;
	SetFont(&fFont);
	SetHighColor(fColor);
	font_height height;
	fFont.GetHeight(&height);
	fAscent = ceilf(height.ascent);
	fLineHeight = ceilf(height.ascent + height.descent + height.leading);
	_Relayout();
}

BTextView::~BTextView()
{
	delete fLayout;
}

BArchivable* BTextView::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BTextView"))
		return NULL;
	return new BTextView(archive);
}

status_t BTextView::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddString("_text", fText.c_str());
	archive->AddInt32("_align", fAlignment);
	archive->AddBool("_wrap", fWrap);
	archive->AddBool("_nsel", !fSelectable);
	archive->AddBool("_nedit", !fEditable);
	archive->AddBool("_stylable", false);
	archive->AddBool("_auto_in", fAutoindent);
	archive->AddFloat("_tab", fTabWidth);
	if (fMaxBytes != INT32_MAX)
		archive->AddInt32("_max", fMaxBytes);
	for (uint32 character : fDisallowed)
		archive->AddInt32("_dis", (int32)character);
	archive->AddInt32("_sel", fSelStart);
	archive->AddInt32("_sel", fSelEnd);
	archive->AddRect("_trect", fTextRect);
	return B_OK;
}

// ---- Hooks

void BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	_Relayout();
	_UpdateScrollBars();
}

void BTextView::DetachedFromWindow()
{
	fTracking = false;
	BView::DetachedFromWindow();
}

void BTextView::Draw(BRect updateRect)
{
	int32 count = fLayout->CountLines();
	bool showSelection = fSelectable && fSelStart != fSelEnd;
	// A softer highlight while another view has the focus.
	rgb_color background = ViewColor();
	rgb_color highlight = IsFocus()
		? mix(background, ui_color(B_CONTROL_HIGHLIGHT_COLOR), 0.35f)
		: tint_color(background, B_DARKEN_1_TINT);

	int32 first = std::max((int32)0,
		(int32)floorf((updateRect.top - fTextRect.top) / fLineHeight));
	int32 last = std::min(count - 1,
		(int32)floorf((updateRect.bottom - fTextRect.top) / fLineHeight));
	for (int32 line = first; line <= last; line++) {
		int32 start = fLayout->LineStart(line);
		int32 end = fLayout->LineEnd(line);
		int32 limit = fLayout->LineLimit(line);
		float top = _LineTop(line);
		if (showSelection && fSelStart < std::max(limit, end + 1) && fSelEnd > start) {
			float left = _CaretX(std::max(fSelStart, start));
			float right = fSelEnd > end
				? std::max(fTextRect.right, _CaretX(end))
				: _CaretX(fSelEnd) - 1;
			SetHighColor(highlight);
			FillRect(BRect(left, top, right, top + fLineHeight - 1));
		}
		if (end > start) {
			SetHighColor(fColor);
			SetDrawingMode(B_OP_OVER);
			DrawString(fText.data() + start, end - start,
				BPoint(fTextRect.left + _AlignOffset(line), top + fAscent));
			SetDrawingMode(B_OP_COPY);
		}
	}

	if (IsFocus() && fEditable && fSelStart == fSelEnd) {
		BPoint caret = PointAt(fSelStart);
		SetHighColor(fColor);
		StrokeLine(caret, BPoint(caret.x, caret.y + fLineHeight - 1));
	}
	SetHighColor(fColor);
}

void BTextView::MouseDown(BPoint where)
{
	if (!fSelectable && !fEditable)
		return;
	if (!IsFocus())
		MakeFocus(true);
	int32 clicks = 1;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("clicks", &clicks);
	int32 offset = OffsetAt(where);
	if (!fSelectable) {
		// Editable but not selectable: the mouse only places the caret.
		Select(offset, offset);
		return;
	}
	if (clicks == 2) {
		int32 from, to;
		FindWord(offset, &from, &to);
		Select(from, to);
		return;
	}
	if (clicks >= 3) {
		int32 line = LineAt(offset);
		Select(fLayout->LineStart(line), fLayout->LineLimit(line));
		return;
	}
	if ((_KeyModifiers() & B_SHIFT_KEY) != 0) {
		fTrackAnchor = fAnchor;
		_MoveCaret(offset, true);
	} else {
		fTrackAnchor = offset;
		_MoveCaret(offset, false);
	}
	fTracking = true;
	SetMouseEventMask(B_POINTER_EVENTS);
}

void BTextView::MouseUp(BPoint)
{
	fTracking = false;
}

void BTextView::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!fTracking)
		return;
	int32 offset = OffsetAt(where);
	fAnchor = fTrackAnchor;
	_MoveCaret(offset, true);
	ScrollToOffset(offset);
}

void BTextView::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	Invalidate();
}

void BTextView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	// Keep the margins between the text and the view's edges.
	float margin = std::max(0.0f, fTextRect.left);
	float right = std::max(fTextRect.left, width - margin);
	if (right != fTextRect.right) {
		fTextRect.right = right;
		_Relayout();
		Invalidate();
	}
	_UpdateScrollBars();
}

void BTextView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	// The window moves the focus before it tells the view that lost it, so
	// the caret and the highlight are drawn again on every call.
	Invalidate();
	if (BScrollView* scrollView = dynamic_cast<BScrollView*>(Parent()))
		scrollView->SetBorderHighlighted(IsFocus());
}

void BTextView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case B_CUT:
			Cut(NULL);
			break;
		case B_COPY:
			Copy(NULL);
			break;
		case B_PASTE:
			Paste(NULL);
			break;
		case B_SELECT_ALL:
			SelectAll();
			break;
		default:
			BView::MessageReceived(message);
			break;
	}
}

uint32 BTextView::_KeyModifiers() const
{
	int32 mods;
	BMessage* message = Window() != NULL ? Window()->CurrentMessage() : NULL;
	if (message != NULL && message->FindInt32("modifiers", &mods) == B_OK)
		return (uint32)mods;
	return modifiers();
}

void BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes <= 0)
		return;
	uint32 mods = _KeyModifiers();
	bool shift = (mods & B_SHIFT_KEY) != 0;
	int32 caret = fAnchor == fSelStart ? fSelEnd : fSelStart;

	// Command (Alt) with a letter, as on the original platform, and Control
	// with a letter, as on the other desktops: Control turns the letter into
	// a control character, so the key's own character tells which it was.
	int32 raw = 0;
	if (BMessage* message = Window() != NULL ? Window()->CurrentMessage() : NULL)
		message->FindInt32("raw_char", &raw);
	bool command = (mods & B_COMMAND_KEY) != 0;
	bool control = (mods & B_CONTROL_KEY) != 0 && raw >= 'a' - 32 && raw <= 'z'
		&& numBytes == 1 && (uint8)bytes[0] < 0x20;
	if ((command || control) && numBytes == 1) {
		char letter = (char)((command ? bytes[0] : raw) | 0x20);
		switch (letter) {
			case 'a': SelectAll(); return;
			case 'c': Copy(NULL); return;
			case 'x': Cut(NULL); return;
			case 'v': Paste(NULL); return;
		}
		BView::KeyDown(bytes, numBytes);
		return;
	}

	if (numBytes == 1) {
		switch (bytes[0]) {
			case B_BACKSPACE:
				if (!fEditable)
					break;
				if (fSelStart != fSelEnd)
					_DeleteRange(fSelStart, fSelEnd);
				else if (fSelStart > 0)
					_DeleteRange(text_previous_char(fText, fSelStart), fSelStart);
				ScrollToOffset(fSelStart);
				return;
			case B_DELETE:
				if (!fEditable)
					break;
				if (fSelStart != fSelEnd)
					_DeleteRange(fSelStart, fSelEnd);
				else if (fSelStart < TextLength())
					_DeleteRange(fSelStart, text_next_char(fText, fSelStart));
				ScrollToOffset(fSelStart);
				return;
			case B_LEFT_ARROW:
				if (fSelStart != fSelEnd && !shift)
					_MoveCaret(fSelStart, false);
				else
					_MoveCaret(text_previous_char(fText, caret), shift);
				return;
			case B_RIGHT_ARROW:
				if (fSelStart != fSelEnd && !shift)
					_MoveCaret(fSelEnd, false);
				else
					_MoveCaret(text_next_char(fText, caret), shift);
				return;
			case B_UP_ARROW:
				_VerticalMove(-1, shift);
				return;
			case B_DOWN_ARROW:
				_VerticalMove(1, shift);
				return;
			case B_PAGE_UP:
			case B_PAGE_DOWN:
			{
				int32 lines = std::max((int32)1,
					(int32)(Bounds().Height() / fLineHeight) - 1);
				_VerticalMove(bytes[0] == B_PAGE_UP ? -lines : lines, shift);
				return;
			}
			case B_HOME:
				_MoveCaret(fLayout->LineStart(fLayout->LineAt(caret)), shift);
				return;
			case B_END:
				_MoveCaret(fLayout->LineEnd(fLayout->LineAt(caret)), shift);
				return;
			case B_ENTER:
				if (!fEditable)
					break;
				_TypeText("\n", 1);
				return;
			default:
				break;
		}
		// Tab, Escape, function keys, other control characters, and keys
		// that a read-only view does not use.
		if ((uint8)bytes[0] < 0x20 || bytes[0] == B_DELETE || !fEditable) {
			BView::KeyDown(bytes, numBytes);
			return;
		}
	}

	if (!fEditable) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	std::string typed(bytes, numBytes);
	if (fDisallowed.count(text_code_point(typed, 0)) != 0)
		return;
	_TypeText(bytes, numBytes);
}

// ---- The text

void BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != NULL ? (int32)strlen(text) : 0, runs);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	_ApplyRuns(runs);
	if (fText.size() > 0)
		DeleteText(0, TextLength());
	if (text != NULL && length > 0)
		InsertText(text, length, 0, runs);
	fSelStart = fSelEnd = fAnchor = 0;
	fGoalX = -1;
	Invalidate();
	ScrollToOffset(0);
}

void BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(text, text != NULL ? (int32)strlen(text) : 0, runs);
}

void BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fSelStart, text, length, runs);
}

void BTextView::Insert(int32 offset, const char* text, int32 length,
	const text_run_array* runs)
{
	if (text == NULL || length <= 0)
		return;
	_ApplyRuns(runs);
	InsertText(text, length, offset, runs);
}

void BTextView::Delete()
{
	Delete(fSelStart, fSelEnd);
}

void BTextView::Delete(int32 startOffset, int32 endOffset)
{
	DeleteText(startOffset, endOffset);
}

void BTextView::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array*)
{
	if (text == NULL || length <= 0)
		return;
	// A NUL ends the text: Text() could not show what follows it.
	length = (int32)strnlen(text, length);
	int32 room = fMaxBytes - TextLength();
	if (room <= 0 || length <= 0)
		return;
	std::string piece(text, length);
	if (length > room)
		piece.resize(text_char_start(piece, room));
	if (piece.empty())
		return;
	offset = text_char_start(fText, std::clamp(offset, (int32)0, TextLength()));
	fText.insert(offset, piece);
	int32 added = (int32)piece.size();
	if (fSelStart >= offset)
		fSelStart += added;
	if (fSelEnd >= offset)
		fSelEnd += added;
	if (fAnchor >= offset)
		fAnchor += added;
	_Changed();
}

void BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	int32 length = TextLength();
	fromOffset = text_char_start(fText, std::clamp(fromOffset, (int32)0, length));
	toOffset = text_char_start(fText, std::clamp(toOffset, (int32)0, length));
	if (toOffset < length && toOffset > fromOffset
		&& text_char_start(fText, toOffset) != toOffset)
		toOffset = text_next_char(fText, toOffset);
	if (toOffset <= fromOffset)
		return;
	fText.erase(fromOffset, toOffset - fromOffset);
	auto shift = [fromOffset, toOffset](int32& offset) {
		if (offset >= toOffset)
			offset -= toOffset - fromOffset;
		else if (offset > fromOffset)
			offset = fromOffset;
	};
	shift(fSelStart);
	shift(fSelEnd);
	shift(fAnchor);
	_Changed();
}

const char* BTextView::Text() const
{
	return fText.c_str();
}

int32 BTextView::TextLength() const
{
	return (int32)fText.size();
}

void BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == NULL)
		return;
	int32 size = TextLength();
	offset = std::clamp(offset, (int32)0, size);
	length = std::clamp(length, (int32)0, size - offset);
	memcpy(buffer, fText.data() + offset, length);
	buffer[length] = '\0';
}

uchar BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return 0;
	return (uchar)fText[offset];
}

// ---- Lines

int32 BTextView::CountLines() const
{
	return fLayout->CountLines();
}

int32 BTextView::CurrentLine() const
{
	return fLayout->LineAt(fSelStart);
}

void BTextView::GoToLine(int32 lineNumber)
{
	int32 offset = OffsetAt(lineNumber);
	Select(offset, offset);
	ScrollToOffset(offset);
}

int32 BTextView::LineAt(int32 offset) const
{
	return fLayout->LineAt(std::clamp(offset, (int32)0, TextLength()));
}

int32 BTextView::LineAt(BPoint point) const
{
	int32 line = (int32)floorf((point.y - fTextRect.top) / fLineHeight);
	return std::clamp(line, (int32)0, CountLines() - 1);
}

BPoint BTextView::PointAt(int32 offset, float* height) const
{
	offset = text_char_start(fText, std::clamp(offset, (int32)0, TextLength()));
	if (height != NULL)
		*height = fLineHeight;
	return BPoint(_CaretX(offset), _LineTop(fLayout->LineAt(offset)));
}

int32 BTextView::OffsetAt(BPoint point) const
{
	if (point.y < fTextRect.top)
		return 0;
	int32 line = (int32)floorf((point.y - fTextRect.top) / fLineHeight);
	if (line >= CountLines())
		return TextLength();
	return _OffsetInLine(line, point.x);
}

int32 BTextView::OffsetAt(int32 line) const
{
	if (line < 0)
		return 0;
	if (line >= CountLines())
		return TextLength();
	return fLayout->LineStart(line);
}

float BTextView::LineWidth(int32 lineNumber) const
{
	return fLayout->LineWidth(lineNumber);
}

float BTextView::LineHeight(int32) const
{
	return fLineHeight;
}

float BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	startLine = std::clamp(startLine, (int32)0, CountLines() - 1);
	endLine = std::clamp(endLine, (int32)0, CountLines() - 1);
	if (endLine < startLine)
		return 0;
	return (endLine - startLine + 1) * fLineHeight;
}

// ---- Clipboard

void BTextView::Cut(BClipboard* clipboard)
{
	if (!fEditable || fSelStart == fSelEnd)
		return;
	Copy(clipboard);
	_DeleteRange(fSelStart, fSelEnd);
	ScrollToOffset(fSelStart);
}

void BTextView::Copy(BClipboard*)
{
	if (fSelStart == fSelEnd)
		return;
	clipboard_set(fText.substr(fSelStart, fSelEnd - fSelStart));
}

void BTextView::Paste(BClipboard* clipboard)
{
	if (!AcceptsPaste(clipboard))
		return;
	std::string text = clipboard_get();
	if (text.empty())
		return;
	// Characters the view refuses from the keyboard are left out.
	if (!fDisallowed.empty()) {
		std::string kept;
		for (int32 i = 0; i < (int32)text.size();) {
			int32 next = text_next_char(text, i);
			if (fDisallowed.count(text_code_point(text, i)) == 0)
				kept.append(text, i, next - i);
			i = next;
		}
		text.swap(kept);
	}
	_TypeText(text.data(), (int32)text.size());
}

void BTextView::Clear()
{
	if (fSelStart != fSelEnd)
		_DeleteRange(fSelStart, fSelEnd);
}

bool BTextView::AcceptsPaste(BClipboard*)
{
	return fEditable;
}

// ---- Selection

void BTextView::Select(int32 startOffset, int32 endOffset)
{
	int32 length = TextLength();
	startOffset = text_char_start(fText, std::clamp(startOffset, (int32)0, length));
	endOffset = text_char_start(fText, std::clamp(endOffset, (int32)0, length));
	if (endOffset < startOffset)
		std::swap(startOffset, endOffset);
	fGoalX = -1;
	fAnchor = startOffset;
	if (startOffset == fSelStart && endOffset == fSelEnd)
		return;
	fSelStart = startOffset;
	fSelEnd = endOffset;
	Invalidate();
}

void BTextView::SelectAll()
{
	Select(0, TextLength());
}

void BTextView::GetSelection(int32* startOffset, int32* endOffset) const
{
	if (startOffset != NULL)
		*startOffset = fSelStart;
	if (endOffset != NULL)
		*endOffset = fSelEnd;
}

void BTextView::FindWord(int32 offset, int32* fromOffset, int32* toOffset)
{
	int32 from, to;
	BPrivate::text_find_word(fText, offset, &from, &to);
	if (fromOffset != NULL)
		*fromOffset = from;
	if (toOffset != NULL)
		*toOffset = to;
}

void BTextView::ScrollToOffset(int32 offset)
{
	if (Window() == NULL)
		return;
	BRect bounds = Bounds();
	BPoint point = PointAt(offset);
	BPoint to = bounds.LeftTop();
	// Sideways, keep a little of the text beside the caret in sight.
	float margin = std::min(bounds.Width() / 4, 16.0f);
	if (point.x < bounds.left)
		to.x = std::max(0.0f, point.x - margin);
	else if (point.x > bounds.right - 1)
		to.x = point.x - bounds.Width() + margin;
	if (!fWrap) {
		// Do not leave empty room on the right when the text got shorter.
		float contentRight = fTextRect.left + fLayout->MaxWidth() + 2;
		float widest = std::max(contentRight, fTextRect.right);
		to.x = std::max(0.0f, std::min(to.x, widest - bounds.Width()));
	}
	if (point.y < bounds.top)
		to.y = point.y - fTextRect.top;
	else if (point.y + fLineHeight - 1 > bounds.bottom)
		to.y = point.y + fLineHeight - 1 - bounds.Height() + fTextRect.top;
	to.y = std::max(0.0f, to.y);
	if (to == bounds.LeftTop())
		return;
	BScrollBar* horizontal = _ScrollBar(B_HORIZONTAL);
	BScrollBar* vertical = _ScrollBar(B_VERTICAL);
	if (horizontal != NULL)
		horizontal->SetValue(to.x);
	if (vertical != NULL)
		vertical->SetValue(to.y);
	// Bars clamp to their range; without a bar the view scrolls by itself.
	BPoint now = Bounds().LeftTop();
	ScrollTo(horizontal != NULL ? now.x : to.x, vertical != NULL ? now.y : to.y);
}

void BTextView::ScrollToSelection()
{
	ScrollToOffset(fSelStart);
}

// ---- Appearance

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	if (font != NULL) {
		BFont changed = fFont;
		if (mode & B_FONT_FAMILY_AND_STYLE) {
			font_family family;
			font_style style;
			font->GetFamilyAndStyle(&family, &style);
			changed.SetFamilyAndStyle(family, style);
		}
		if (mode & B_FONT_SIZE)
			changed.SetSize(font->Size());
		if (mode & B_FONT_SHEAR)
			changed.SetShear(font->Shear());
		if (mode & B_FONT_ROTATION)
			changed.SetRotation(font->Rotation());
		if (mode & B_FONT_SPACING)
			changed.SetSpacing(font->Spacing());
		if (mode & B_FONT_ENCODING)
			changed.SetEncoding(font->Encoding());
		if (mode & B_FONT_FACE)
			changed.SetFace(font->Face());
		if (mode & B_FONT_FLAGS)
			changed.SetFlags(font->Flags());
		fFont = changed;
		SetFont(&fFont);
		font_height height;
		fFont.GetHeight(&height);
		fAscent = ceilf(height.ascent);
		fLineHeight = ceilf(height.ascent + height.descent + height.leading);
	}
	if (color != NULL) {
		fColor = *color;
		SetHighColor(fColor);
	}
	_Changed();
}

void BTextView::SetFontAndColor(int32, int32, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	// Not stylable: a range stands for the whole text.
	SetFontAndColor(font, mode, color);
}

void BTextView::GetFontAndColor(int32, BFont* font, rgb_color* color) const
{
	if (font != NULL)
		*font = fFont;
	if (color != NULL)
		*color = fColor;
}

void BTextView::GetFontAndColor(BFont* font, uint32* sameProperties,
	rgb_color* color, bool* sameColor) const
{
	if (font != NULL)
		*font = fFont;
	if (sameProperties != NULL)
		*sameProperties = B_FONT_ALL;
	if (color != NULL)
		*color = fColor;
	if (sameColor != NULL)
		*sameColor = true;
}

void BTextView::SetTextRect(BRect rect)
{
	fTextRect = rect;
	_Changed();
}

BRect BTextView::TextRect() const
{
	return fTextRect;
}

void BTextView::SetStylable(bool) {}
bool BTextView::IsStylable() const { return false; }

void BTextView::SetTabWidth(float width)
{
	fTabWidth = width;
}

float BTextView::TabWidth() const
{
	return fTabWidth;
}

void BTextView::SetAlignment(alignment flag)
{
	if (flag == fAlignment)
		return;
	fAlignment = flag;
	Invalidate();
}

alignment BTextView::Alignment() const
{
	return fAlignment;
}

void BTextView::SetWordWrap(bool wrap)
{
	if (wrap == fWrap)
		return;
	fWrap = wrap;
	_Changed();
}

bool BTextView::DoesWordWrap() const
{
	return fWrap;
}

void BTextView::SetAutoindent(bool state)
{
	fAutoindent = state;
}

bool BTextView::DoesAutoindent() const
{
	return fAutoindent;
}

// ---- Behaviour

void BTextView::MakeSelectable(bool selectable)
{
	if (selectable == fSelectable)
		return;
	fSelectable = selectable;
	Invalidate();
}

bool BTextView::IsSelectable() const
{
	return fSelectable;
}

void BTextView::MakeEditable(bool editable)
{
	if (editable == fEditable)
		return;
	fEditable = editable;
	Invalidate();
}

bool BTextView::IsEditable() const
{
	return fEditable;
}

void BTextView::SetMaxBytes(int32 max)
{
	fMaxBytes = std::max((int32)0, max);
	// Text already longer than the new cap is cut, as typing would be.
	if (TextLength() > fMaxBytes)
		DeleteText(text_char_start(fText, fMaxBytes), TextLength());
}

int32 BTextView::MaxBytes() const
{
	return fMaxBytes;
}

void BTextView::DisallowChar(uint32 character)
{
	fDisallowed.insert(character);
}

void BTextView::AllowChar(uint32 character)
{
	fDisallowed.erase(character);
}

void BTextView::GetPreferredSize(float* width, float* height)
{
	float margin = std::max(0.0f, fTextRect.left);
	float top = std::max(0.0f, fTextRect.top);
	if (width != NULL)
		*width = ceilf(fLayout->MaxWidth()) + 2 * margin;
	if (height != NULL)
		*height = TextHeight(0, CountLines() - 1) + 2 * top;
}

void BTextView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

// ---- Inside

float BTextView::_Measure(const char* text, int32 length) const
{
	if (length <= 0)
		return 0;
	return fFont.StringWidth(text, length);
}

void BTextView::_Relayout()
{
	fLayout->Break(fText, fWrap, fTextRect.Width(),
		[this](const char* text, int32 length) { return _Measure(text, length); });
	fTextRect.bottom = fTextRect.top + CountLines() * fLineHeight - 1;
}

void BTextView::_Changed()
{
	_Relayout();
	Invalidate();
	_UpdateScrollBars();
}

float BTextView::_AlignOffset(int32 line) const
{
	float room = fTextRect.Width() + 1 - fLayout->LineWidth(line);
	if (room <= 0)
		return 0;
	switch (fAlignment) {
		case B_ALIGN_RIGHT:
			return floorf(room - 1);
		case B_ALIGN_CENTER:
			return floorf(room / 2);
		default:
			return 0;
	}
}

float BTextView::_LineTop(int32 line) const
{
	return fTextRect.top + line * fLineHeight;
}

float BTextView::_CaretX(int32 offset) const
{
	int32 line = fLayout->LineAt(offset);
	int32 start = fLayout->LineStart(line);
	int32 limit = fLayout->LineLimit(line);
	if (limit > start && limit <= TextLength() && fText[limit - 1] == '\n')
		limit--;
	int32 end = std::clamp(offset, start, limit);
	return fTextRect.left + _AlignOffset(line) + _Measure(fText.data() + start, end - start);
}

int32 BTextView::_OffsetInLine(int32 line, float x) const
{
	int32 start = fLayout->LineStart(line);
	int32 end = fLayout->LineEnd(line);
	float target = x - fTextRect.left - _AlignOffset(line);
	if (target <= 0 || end <= start)
		return start;
	std::vector<int32> stops;
	for (int32 p = start; ; p = text_next_char(fText, p)) {
		stops.push_back(p);
		if (p >= end)
			break;
	}
	// The first stop at or past the point, then the nearer of it and the
	// one before.
	int32 low = 0;
	int32 high = (int32)stops.size() - 1;
	while (low < high) {
		int32 middle = (low + high) / 2;
		if (_Measure(fText.data() + start, stops[middle] - start) < target)
			low = middle + 1;
		else
			high = middle;
	}
	if (low == 0)
		return stops[0];
	float after = _Measure(fText.data() + start, stops[low] - start);
	float before = _Measure(fText.data() + start, stops[low - 1] - start);
	if (after < target)
		return stops[low];
	return target - before < after - target ? stops[low - 1] : stops[low];
}

void BTextView::_DeleteRange(int32 from, int32 to)
{
	if (to > from)
		DeleteText(from, to);
	int32 caret = std::min(from, TextLength());
	fSelStart = fSelEnd = fAnchor = caret;
	fGoalX = -1;
	Invalidate();
}

void BTextView::_TypeText(const char* text, int32 length)
{
	int32 from = fSelStart;
	int32 to = fSelEnd;
	if (to > from)
		DeleteText(from, to);
	// Put the caret at the insertion point, so that it moves past the text.
	fSelStart = fSelEnd = fAnchor = from;
	InsertText(text, length, from, NULL);
	fGoalX = -1;
	Invalidate();
	ScrollToOffset(fSelEnd);
}

void BTextView::_MoveCaret(int32 offset, bool extend)
{
	offset = text_char_start(fText, std::clamp(offset, (int32)0, TextLength()));
	fGoalX = -1;
	if (!extend) {
		fAnchor = offset;
		if (fSelStart != offset || fSelEnd != offset) {
			fSelStart = fSelEnd = offset;
			Invalidate();
		}
	} else {
		int32 start = std::min(fAnchor, offset);
		int32 end = std::max(fAnchor, offset);
		if (start != fSelStart || end != fSelEnd) {
			fSelStart = start;
			fSelEnd = end;
			Invalidate();
		}
	}
	ScrollToOffset(offset);
}

void BTextView::_VerticalMove(int32 lines, bool extend)
{
	int32 caret = fAnchor == fSelStart ? fSelEnd : fSelStart;
	if (!extend && fSelStart != fSelEnd)
		caret = lines < 0 ? fSelStart : fSelEnd;
	float goal = fGoalX >= 0 ? fGoalX : _CaretX(caret);
	int32 line = fLayout->LineAt(caret) + lines;
	int32 offset;
	if (line < 0)
		offset = 0;
	else if (line >= CountLines())
		offset = TextLength();
	else
		offset = _OffsetInLine(line, goal);
	_MoveCaret(offset, extend);
	fGoalX = goal;
}

void BTextView::_ApplyRuns(const text_run_array* runs)
{
	if (runs == NULL || runs->count <= 0)
		return;
	SetFontAndColor(&runs->runs[0].font, B_FONT_ALL, &runs->runs[0].color);
}

BScrollBar* BTextView::_ScrollBar(orientation which) const
{
	BView* parent = Parent();
	if (parent == NULL)
		return NULL;
	for (int32 i = 0; BView* child = parent->ChildAt(i); i++) {
		BScrollBar* bar = dynamic_cast<BScrollBar*>(child);
		if (bar != NULL && bar->Target() == this && bar->Orientation() == which)
			return bar;
	}
	return NULL;
}

void BTextView::_UpdateScrollBars()
{
	BRect bounds = Bounds();
	if (BScrollBar* vertical = _ScrollBar(B_VERTICAL)) {
		float content = TextHeight(0, CountLines() - 1) + 2 * std::max(0.0f, fTextRect.top);
		float visible = bounds.Height() + 1;
		float max = std::max(0.0f, content - visible);
		vertical->SetRange(0, max);
		vertical->SetProportion(content > 0 ? std::min(1.0f, visible / content) : 1.0f);
		vertical->SetSteps(fLineHeight, std::max(fLineHeight, visible - fLineHeight));
	}
	if (BScrollBar* horizontal = _ScrollBar(B_HORIZONTAL)) {
		float content = fWrap ? fTextRect.right + 1
			: fLayout->MaxWidth() + 2 * std::max(0.0f, fTextRect.left) + 2;
		float visible = bounds.Width() + 1;
		float max = std::max(0.0f, content - visible);
		horizontal->SetRange(0, max);
		horizontal->SetProportion(content > 0 ? std::min(1.0f, visible / content) : 1.0f);
		horizontal->SetSteps(10, std::max(10.0f, visible - 10));
	}
}
