// BTextView: a view that shows and edits UTF-8 text in one font and colour.
//
// Text. The view keeps its own copy of the text. Offsets are byte offsets;
// the view moves the caret and the selection by whole characters, so they
// never end inside a multi-byte character (an offset given inside one is
// moved back to its start). Bytes that are not well-formed UTF-8 are kept
// as they are, shown as U+FFFD, and step as one character each.
//
// Layout. The text is laid out in the text rectangle (view coordinates):
// line feeds end lines, and with word wrapping (the default) lines also
// break at the rectangle's width. The text rectangle grows and shrinks in
// height with the text. Without wrapping a line is as long as its text and
// the view scrolls sideways to follow the caret.
//
// Editing. With the focus, an editable view takes typed characters,
// Backspace, Delete, the arrows (with Shift they extend the selection), Home
// and End (of the line), Page Up and Page Down, Command+A (select all),
// Command+C, Command+X and Command+V (copy, cut and paste through the
// process's own clipboard; Control with those letters does the same), and
// the mouse (click to place the caret, drag to
// select, double click to select a word). A selectable view that is not
// editable only selects and copies. Keys that the view does not use (Tab,
// and Enter in a view that takes no line feeds) go to BView::KeyDown, which
// moves the focus or presses the window's default button. Every change of
// the text goes through the InsertText() and DeleteText() hooks, whoever
// makes it.
//
// Limits. SetMaxBytes() caps the length of the text: what would pass the
// cap is cut at a character boundary. DisallowChar() refuses a character
// typed or pasted (code in the program may still insert it).
//
// Scrolling. When the view is the target of scroll bars (a BScrollView),
// it keeps their range and proportion up to date and scrolls through them
// to keep the caret in sight.
//
// Styles: the view is not stylable. SetFontAndColor() sets the font and
// colour of all the text; the run arrays of SetText() and Insert() only
// lend their first run's font and colour.
//
// Ownership. The view owns its text; Text() points into it and is valid
// until the next change. Archive fields: "_text", "_align", "_wrap",
// "_nsel" (not selectable), "_nedit" (not editable), "_max", "_dis" (the
// disallowed characters), "_sel" (two offsets), "_trect", "_stylable",
// "_tab", plus those of BView.
#ifndef _TEXTVIEW_H
#define _TEXTVIEW_H

#include <View.h>

#include <set>
#include <string>

class BClipboard;
class BMessage;
class BScrollBar;

namespace BPrivate {
class TextLayout;
}

struct text_run {
	int32 offset;
	BFont font;
	rgb_color color;
};

struct text_run_array {
	int32 count;
	text_run runs[1];
};

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
		uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* font,
		const rgb_color* color, uint32 resizingMode, uint32 flags);
	BTextView(BMessage* archive);
	virtual ~BTextView();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void WindowActivated(bool active);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void FrameResized(float width, float height);
	virtual void MakeFocus(bool focus = true);
	virtual void MessageReceived(BMessage* message);

	// ---- The text
	void SetText(const char* text, const text_run_array* runs = NULL);
	void SetText(const char* text, int32 length, const text_run_array* runs = NULL);
	// At the selection (replacing nothing; the caret moves past the text
	// when it was at the insertion point), or at an offset.
	void Insert(const char* text, const text_run_array* runs = NULL);
	void Insert(const char* text, int32 length, const text_run_array* runs = NULL);
	void Insert(int32 offset, const char* text, int32 length,
		const text_run_array* runs = NULL);
	// The selection, or the bytes from `startOffset` to `endOffset`.
	void Delete();
	void Delete(int32 startOffset, int32 endOffset);

	const char* Text() const;
	int32 TextLength() const;
	// Copies `length` bytes from `offset` and a terminating NUL into buffer
	// (which must hold length + 1 bytes).
	void GetText(int32 offset, int32 length, char* buffer) const;
	uchar ByteAt(int32 offset) const;

	// ---- Lines
	int32 CountLines() const;
	int32 CurrentLine() const;
	void GoToLine(int32 lineNumber);
	int32 LineAt(int32 offset) const;
	int32 LineAt(BPoint point) const;
	// The left-top corner of the character at the offset (view coordinates)
	// and the height of its line.
	BPoint PointAt(int32 offset, float* height = NULL) const;
	int32 OffsetAt(BPoint point) const;
	int32 OffsetAt(int32 line) const;
	float LineWidth(int32 lineNumber = 0) const;
	float LineHeight(int32 lineNumber = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;

	// ---- The clipboard (the process's own; the argument may be NULL)
	virtual void Cut(BClipboard* clipboard);
	virtual void Copy(BClipboard* clipboard);
	virtual void Paste(BClipboard* clipboard);
	void Clear();
	virtual bool AcceptsPaste(BClipboard* clipboard);

	// ---- The selection
	virtual void Select(int32 startOffset, int32 endOffset);
	void SelectAll();
	void GetSelection(int32* startOffset, int32* endOffset) const;
	virtual void FindWord(int32 offset, int32* fromOffset, int32* toOffset);
	virtual void ScrollToOffset(int32 offset);
	void ScrollToSelection();

	// ---- Appearance
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
		const rgb_color* color = NULL);
	void SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font,
		uint32 mode = B_FONT_ALL, const rgb_color* color = NULL);
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = NULL) const;
	void GetFontAndColor(BFont* font, uint32* sameProperties,
		rgb_color* color = NULL, bool* sameColor = NULL) const;
	void SetTextRect(BRect rect);
	BRect TextRect() const;
	// Only false is kept: the view has one font and colour.
	void SetStylable(bool stylable);
	bool IsStylable() const;
	void SetTabWidth(float width);
	float TabWidth() const;
	void SetAlignment(alignment flag);
	alignment Alignment() const;
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const;
	void SetAutoindent(bool state);
	bool DoesAutoindent() const;

	// ---- Behaviour
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const;
	void MakeEditable(bool editable = true);
	bool IsEditable() const;
	void SetMaxBytes(int32 max);
	int32 MaxBytes() const;
	void DisallowChar(uint32 character);
	void AllowChar(uint32 character);

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

protected:
	// Every change of the text passes through these. `offset` and the
	// range are byte offsets on character boundaries.
	virtual void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
	void _Init(BRect textRect, const BFont* font, const rgb_color* color);
	void _Relayout();
	void _Changed();
	float _AlignOffset(int32 line) const;
	float _LineTop(int32 line) const;
	float _CaretX(int32 offset) const;
	int32 _OffsetInLine(int32 line, float x) const;
	float _Measure(const char* text, int32 length) const;
	void _DeleteRange(int32 from, int32 to);
	void _TypeText(const char* text, int32 length);
	void _MoveCaret(int32 offset, bool extend);
	void _VerticalMove(int32 lines, bool extend);
	void _UpdateScrollBars();
	BScrollBar* _ScrollBar(orientation which) const;
	uint32 _KeyModifiers() const;
	void _ApplyRuns(const text_run_array* runs);

	std::string fText;
	BPrivate::TextLayout* fLayout;  // owned
	BRect fTextRect;
	BFont fFont;
	rgb_color fColor;
	float fLineHeight;
	float fAscent;
	int32 fSelStart;
	int32 fSelEnd;
	int32 fAnchor;                  // the fixed end of a keyboard selection
	float fGoalX;                   // where up and down aim; < 0: at the caret
	alignment fAlignment;
	float fTabWidth;
	int32 fMaxBytes;
	std::set<uint32> fDisallowed;
	bool fWrap;
	bool fEditable;
	bool fSelectable;
	bool fAutoindent;
	bool fTracking;                 // a mouse selection is under way
	int32 fTrackAnchor;
};

#endif
