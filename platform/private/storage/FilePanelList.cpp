#include "storage/FilePanelList.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

#include "storage/FilePanelModel.h"
#include "storage/FilePanelWindow.h"

#include <ctype.h>
#include <math.h>
#include <strings.h>

#include <algorithm>

namespace BPrivate {

static const float kScrollBarWidth = 12;
static const float kTextLeft = 26;          // after the symbol
static const bigtime_t kTypeAheadPause = 1000000;

FilePanelList::FilePanelList(BRect frame, FilePanelWindow* window, FilePanelModel* model)
	:
	BView(frame, "list", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS),
	fPanel(window),
	fModel(model),
	fTop(0),
	fDraggingThumb(false),
	fThumbGrab(0),
	fLastTyped(0)
{
	SetViewColor(ui_color(B_DOCUMENT_BACKGROUND_COLOR));
	SetFont(be_plain_font);
	font_height height;
	be_plain_font->GetHeight(&height);
	fAscent = ceilf(height.ascent);
	fRowHeight = ceilf(height.ascent) + ceilf(height.descent) + 6;
}

int32 FilePanelList::_VisibleRows() const
{
	return std::max<int32>(1, (int32)((Bounds().Height() - 1) / fRowHeight));
}

int32 FilePanelList::_MaxTop() const
{
	return std::max<int32>(0, fModel->CountItems() - _VisibleRows());
}

void FilePanelList::_SetTop(int32 top)
{
	top = std::max<int32>(0, std::min(top, _MaxTop()));
	if (top == fTop)
		return;
	fTop = top;
	Invalidate();
}

void FilePanelList::Reset()
{
	fTop = std::min(fTop, _MaxTop());
	fTyped.clear();
	if (fModel->Anchor() >= 0)
		ScrollToItem(fModel->Anchor());
	else
		_SetTop(0);
	Invalidate();
}

void FilePanelList::ScrollToItem(int32 index)
{
	if (index < fTop)
		_SetTop(index);
	else if (index >= fTop + _VisibleRows())
		_SetTop(index - _VisibleRows() + 1);
}

BRect FilePanelList::_ScrollBarFrame() const
{
	BRect bounds = Bounds();
	return BRect(bounds.right - kScrollBarWidth + 1, bounds.top + 1, bounds.right - 1,
		bounds.bottom - 1);
}

BRect FilePanelList::_ThumbFrame() const
{
	BRect track = _ScrollBarFrame();
	int32 count = fModel->CountItems();
	int32 visible = _VisibleRows();
	if (count <= visible)
		return track;
	float length = std::max(16.0f, track.Height() * visible / count);
	float top = track.top + (track.Height() - length) * fTop / _MaxTop();
	return BRect(track.left, floorf(top), track.right, floorf(top + length));
}

BRect FilePanelList::ItemFrame(int32 index) const
{
	BRect bounds = Bounds();
	float top = bounds.top + 1 + (index - fTop) * fRowHeight;
	return BRect(bounds.left + 1, top, bounds.right - kScrollBarWidth, top + fRowHeight - 1);
}

int32 FilePanelList::IndexAt(BPoint point) const
{
	BRect bounds = Bounds();
	if (point.x >= bounds.right - kScrollBarWidth || point.y < bounds.top + 1)
		return -1;
	int32 index = fTop + (int32)floorf((point.y - bounds.top - 1) / fRowHeight);
	return index < fModel->CountItems() ? index : -1;
}

// ---- Drawing

// The symbols: a folder tab, a page with a folded corner, and a small arrow
// for a link, in 16 x 14 pixels from `o`.
static void draw_symbol(BView* view, const PanelEntry& item, BPoint o, bool dimmed)
{
	rgb_color outline = {90, 90, 90, 255};
	if (item.isFolder) {
		rgb_color fill = {240, 200, 90, 255};
		if (dimmed)
			fill = tint_color(fill, B_LIGHTEN_1_TINT);
		view->SetHighColor(fill);
		view->FillRect(BRect(o.x, o.y + 3, o.x + 15, o.y + 13));
		view->FillRect(BRect(o.x, o.y + 1, o.x + 6, o.y + 3));
		view->SetHighColor(outline);
		view->StrokeRect(BRect(o.x, o.y + 3, o.x + 15, o.y + 13));
		view->StrokeLine(BPoint(o.x, o.y + 1), BPoint(o.x + 6, o.y + 1));
		view->StrokeLine(BPoint(o.x, o.y + 1), BPoint(o.x, o.y + 3));
		view->StrokeLine(BPoint(o.x + 6, o.y + 1), BPoint(o.x + 7, o.y + 3));
	} else {
		rgb_color paper = {255, 255, 255, 255};
		view->SetHighColor(paper);
		view->FillRect(BRect(o.x + 3, o.y, o.x + 12, o.y + 13));
		view->SetHighColor(dimmed ? tint_color(outline, B_LIGHTEN_2_TINT) : outline);
		view->StrokeLine(BPoint(o.x + 3, o.y), BPoint(o.x + 9, o.y));
		view->StrokeLine(BPoint(o.x + 9, o.y), BPoint(o.x + 12, o.y + 3));
		view->StrokeLine(BPoint(o.x + 12, o.y + 3), BPoint(o.x + 12, o.y + 13));
		view->StrokeLine(BPoint(o.x + 12, o.y + 13), BPoint(o.x + 3, o.y + 13));
		view->StrokeLine(BPoint(o.x + 3, o.y + 13), BPoint(o.x + 3, o.y));
		view->StrokeLine(BPoint(o.x + 9, o.y), BPoint(o.x + 9, o.y + 3));
		view->StrokeLine(BPoint(o.x + 9, o.y + 3), BPoint(o.x + 12, o.y + 3));
	}
	if (item.isLink) {
		// A curved arrow in the lower left corner says "points elsewhere".
		view->SetHighColor(30, 90, 200);
		view->FillRect(BRect(o.x, o.y + 8, o.x + 6, o.y + 13));
		view->SetHighColor(255, 255, 255);
		view->StrokeLine(BPoint(o.x + 1, o.y + 12), BPoint(o.x + 5, o.y + 9));
		view->StrokeLine(BPoint(o.x + 3, o.y + 9), BPoint(o.x + 5, o.y + 9));
		view->StrokeLine(BPoint(o.x + 5, o.y + 9), BPoint(o.x + 5, o.y + 11));
	}
}

void FilePanelList::_DrawItem(int32 index, BRect frame)
{
	const PanelEntry* item = fModel->ItemAt(index);
	if (item == NULL)
		return;
	bool dimmed = !item->Selectable();
	rgb_color background = ViewColor();
	rgb_color text = ui_color(B_DOCUMENT_TEXT_COLOR);
	if (item->selected) {
		background = IsFocus() ? ui_color(B_MENU_SELECTION_BACKGROUND_COLOR)
			: tint_color(ViewColor(), B_DARKEN_2_TINT);
		text = IsFocus() ? ui_color(B_MENU_SELECTED_ITEM_TEXT_COLOR) : text;
		SetHighColor(background);
		FillRect(frame);
	}
	if (dimmed)
		text = tint_color(ViewColor(), B_DARKEN_3_TINT);

	draw_symbol(this, *item, BPoint(frame.left + 5, frame.top + floorf((frame.Height() - 13) / 2)),
		dimmed);
	SetHighColor(text);
	SetLowColor(background);
	float baseline = frame.top + floorf((frame.Height() + 1 - fRowHeight) / 2) + 3 + fAscent;
	DrawString(item->name.c_str(), BPoint(frame.left + kTextLeft, baseline));

	if (index == fModel->Anchor() && IsFocus() && Window() != NULL && Window()->IsActive()) {
		// The row the keyboard works on.
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeRect(frame);
	}
}

void FilePanelList::Draw(BRect updateRect)
{
	BRect bounds = Bounds();
	int32 count = fModel->CountItems();
	int32 last = std::min(count, fTop + _VisibleRows() + 1);
	BRect rows(bounds.left + 1, bounds.top + 1, bounds.right - kScrollBarWidth,
		bounds.bottom - 1);
	PushState();
	// Rows are clipped to the list: only the part above the frame shows.
	for (int32 i = fTop; i < last; i++) {
		BRect frame = ItemFrame(i);
		if (frame.top > rows.bottom)
			break;
		if (!frame.Intersects(updateRect))
			continue;
		if (frame.bottom > rows.bottom)
			frame.bottom = rows.bottom;
		_DrawItem(i, frame);
	}
	if (count == 0) {
		SetHighColor(tint_color(ViewColor(), B_DARKEN_3_TINT));
		SetLowColor(ViewColor());
		const char* empty = fModel->HasFolder() ? "This folder is empty" : "";
		DrawString(empty, BPoint(rows.left + kTextLeft, rows.top + 3 + fAscent));
	}

	// The scroll bar: a track and, when there is more than fits, a thumb.
	BRect track = _ScrollBarFrame();
	SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_LIGHTEN_1_TINT));
	FillRect(track);
	SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_1_TINT));
	StrokeLine(BPoint(track.left - 1, track.top), BPoint(track.left - 1, track.bottom));
	if (count > _VisibleRows()) {
		BRect thumb = _ThumbFrame().InsetByCopy(1, 0);
		SetHighColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		FillRect(thumb);
		SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_3_TINT));
		StrokeRect(thumb);
	}

	// The frame, with the focus colour while the list takes the keys.
	SetHighColor(IsFocus() ? ui_color(B_KEYBOARD_NAVIGATION_COLOR)
		: tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_2_TINT));
	StrokeRect(bounds);
	PopState();
}

// ---- Input

void FilePanelList::MouseDown(BPoint where)
{
	if (!IsFocus())
		MakeFocus(true);
	BMessage* message = Window()->CurrentMessage();
	int32 clicks = 1;
	int32 mods = 0;
	if (message != NULL) {
		message->FindInt32("clicks", &clicks);
		message->FindInt32("modifiers", &mods);
	}

	BRect track = _ScrollBarFrame();
	if (track.Contains(where)) {
		BRect thumb = _ThumbFrame();
		if (thumb.Contains(where)) {
			fDraggingThumb = true;
			fThumbGrab = where.y - thumb.top;
			SetMouseEventMask(B_POINTER_EVENTS);
		} else if (where.y < thumb.top) {
			_SetTop(fTop - _VisibleRows());
		} else {
			_SetTop(fTop + _VisibleRows());
		}
		return;
	}

	int32 index = IndexAt(where);
	if (index < 0) {
		if (fModel->DeselectAll())
			fPanel->SelectionChanged();
		Invalidate();
		return;
	}
	if (clicks >= 2 && fModel->ItemAt(index)->selected) {
		fPanel->OpenItem(index);
		return;
	}
	bool extend = (mods & B_SHIFT_KEY) != 0;
	bool toggle = (mods & (B_CONTROL_KEY | B_COMMAND_KEY)) != 0;
	if (fModel->Select(index, extend, toggle))
		fPanel->SelectionChanged();
	Invalidate();
}

void FilePanelList::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!fDraggingThumb)
		return;
	BRect track = _ScrollBarFrame();
	BRect thumb = _ThumbFrame();
	float room = track.Height() - thumb.Height();
	if (room <= 0)
		return;
	float fraction = (where.y - fThumbGrab - track.top) / room;
	_SetTop((int32)roundf(fraction * _MaxTop()));
}

void FilePanelList::MouseUp(BPoint)
{
	fDraggingThumb = false;
}

void FilePanelList::_MoveAnchor(int32 index, bool extend)
{
	int32 count = fModel->CountItems();
	if (count == 0)
		return;
	index = std::max<int32>(0, std::min(index, count - 1));
	if (fModel->Select(index, extend, false))
		fPanel->SelectionChanged();
	ScrollToItem(index);
	Invalidate();
}

// Typing the start of a name goes to the first entry that begins so.
void FilePanelList::_TypeAhead(const char* bytes)
{
	bigtime_t now = system_time();
	if (now - fLastTyped > kTypeAheadPause)
		fTyped.clear();
	fLastTyped = now;
	fTyped += bytes;
	for (int32 i = 0; i < fModel->CountItems(); i++) {
		if (strncasecmp(fModel->ItemAt(i)->name.c_str(), fTyped.c_str(), fTyped.size()) == 0) {
			_MoveAnchor(i, false);
			return;
		}
	}
}

void FilePanelList::KeyDown(const char* bytes, int32 numBytes)
{
	// The keys held when this key was pressed, not those held now.
	int32 held = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("modifiers", &held);
	uint32 mods = (uint32)held;
	bool shift = (mods & B_SHIFT_KEY) != 0;
	int32 anchor = fModel->Anchor();
	if (numBytes == 1) {
		switch (bytes[0]) {
			case B_UP_ARROW:
				_MoveAnchor(anchor < 0 ? 0 : anchor - 1, shift);
				return;
			case B_DOWN_ARROW:
				_MoveAnchor(anchor < 0 ? 0 : anchor + 1, shift);
				return;
			case B_HOME:
				_MoveAnchor(0, shift);
				return;
			case B_END:
				_MoveAnchor(fModel->CountItems() - 1, shift);
				return;
			case B_PAGE_UP:
				_MoveAnchor(anchor - _VisibleRows(), shift);
				return;
			case B_PAGE_DOWN:
				_MoveAnchor(anchor + _VisibleRows(), shift);
				return;
			case B_BACKSPACE:
				fPanel->GoUp();
				return;
			case B_ENTER:
				// Enter opens the selection, through the default button.
				break;
			default:
				break;
		}
		if ((mods & (B_COMMAND_KEY | B_CONTROL_KEY)) != 0 && tolower(bytes[0]) == 'a') {
			if (fModel->SelectAll())
				fPanel->SelectionChanged();
			Invalidate();
			return;
		}
	}
	if ((unsigned char)bytes[0] >= 0x20 && bytes[0] != B_DELETE
		&& (mods & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0) {
		_TypeAhead(bytes);
		return;
	}
	BView::KeyDown(bytes, numBytes);
}

void FilePanelList::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	Invalidate();
}

void FilePanelList::FrameResized(float, float)
{
	fTop = std::min(fTop, _MaxTop());
	Invalidate();
}

void FilePanelList::MessageReceived(BMessage* message)
{
	if (message->what == B_MOUSE_WHEEL_CHANGED) {
		float delta = 0;
		if (message->FindFloat("be:wheel_delta_y", &delta) == B_OK && delta != 0)
			_SetTop(fTop + (int32)(delta > 0 ? ceilf(delta) : floorf(delta)) * 3);
		return;
	}
	BView::MessageReceived(message);
}

}
