#include <MenuBar.h>

#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "interface/MenuSession.h"

#include <math.h>

#include <algorithm>
#include <string>

static BPrivate::InstantiationRegistrar sBarRegistrar("BMenuBar", BMenuBar::Instantiate);

// Whether `item` still belongs to `menu` or one of its submenus.
static bool menu_holds(BMenu* menu, BMenuItem* item)
{
	if (menu == NULL || item == NULL)
		return false;
	for (int32 i = 0; BMenuItem* entry = menu->ItemAt(i); i++) {
		if (entry == item || menu_holds(entry->Submenu(), item))
			return true;
	}
	return false;
}

BMenuBar::BMenuBar(BRect frame, const char* title, uint32 resizingMode,
	menu_layout layout, bool resizeToFit)
	:
	BMenu(frame, title, resizingMode, B_WILL_DRAW | B_FRAME_EVENTS, layout, resizeToFit)
{
	_InitBar();
}

BMenuBar::BMenuBar(BMessage* archive)
	:
	BMenu(archive)
{
	_InitBar();
	int32 border;
	if (archive->FindInt32("_border", &border) == B_OK)
		fBorder = (menu_bar_border)border;
}

void BMenuBar::_InitBar()
{
	fTrackedItem = NULL;
	fBorder = B_BORDER_FRAME;
	fInField = false;
	fFixedSize = false;
	fMaxWidth = 0;
}

BMenuBar::~BMenuBar()
{
	if (fTracking != nullptr)
		fTracking->Cancel();
}

BArchivable* BMenuBar::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BMenuBar"))
		return NULL;
	return new BMenuBar(archive);
}

status_t BMenuBar::Archive(BMessage* archive, bool deep) const
{
	status_t status = BMenu::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddInt32("_border", fBorder);
	return B_OK;
}

void BMenuBar::AttachedToWindow()
{
	BMenu::AttachedToWindow();
	if (fResizeToFit) {
		float width, height;
		GetPreferredSize(&width, &height);
		if ((ResizingMode() & _rule_(0, 0xf, 0, 0xf)) == B_FOLLOW_LEFT_RIGHT)
			width = Bounds().Width();
		ResizeTo(width, height);
	}
	if (!fInField && Window()->KeyMenuBar() == NULL)
		Window()->SetKeyMenuBar(this);
}

void BMenuBar::DetachedFromWindow()
{
	if (fTracking != nullptr) {
		fTracking->Cancel();
		fTracking.reset();
		SetEventMask(0);
	}
	if (Window()->KeyMenuBar() == this)
		Window()->SetKeyMenuBar(NULL);
	BMenu::DetachedFromWindow();
}

void BMenuBar::GetPreferredSize(float* width, float* height)
{
	float preferredWidth, preferredHeight;
	BMenu::GetPreferredSize(&preferredWidth, &preferredHeight);
	if (fMaxWidth > 0 && (fFixedSize || preferredWidth > fMaxWidth))
		preferredWidth = fMaxWidth;
	if (width != NULL)
		*width = preferredWidth;
	if (height != NULL)
		*height = preferredHeight;
}

void BMenuBar::SetBorder(menu_bar_border border)
{
	fBorder = border;
	if (Window() != NULL)
		Invalidate();
}

menu_bar_border BMenuBar::Border() const
{
	return fBorder;
}

// ---- Drawing

void BMenuBar::Draw(BRect updateRect)
{
	if (fInField) {
		_DrawAsField(updateRect);
		return;
	}
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetLowColor(background);
	for (int32 i = 0; BMenuItem* item = ItemAt(i); i++) {
		if (item->Frame().Intersects(updateRect))
			item->Draw();
	}
	BRect bounds = Bounds();
	SetHighColor(tint_color(background, B_DARKEN_2_TINT));
	StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
	if (fBorder == B_BORDER_FRAME) {
		SetHighColor(tint_color(background, B_LIGHTEN_2_TINT));
		StrokeLine(bounds.LeftTop(), bounds.RightTop());
	}
}

void BMenuBar::_DrawAsField(BRect)
{
	BRect bounds = Bounds();
	BMenuItem* item = ItemAt(0);
	bool enabled = IsEnabled() && (item == NULL || item->IsEnabled());
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color face = tint_color(panel, B_LIGHTEN_1_TINT);
	if (IsTracking())
		face = tint_color(panel, B_DARKEN_1_TINT);
	SetHighColor(face);
	FillRect(bounds.InsetByCopy(1, 1));
	SetHighColor(tint_color(panel, enabled ? B_DARKEN_3_TINT : B_DARKEN_1_TINT));
	StrokeRect(bounds);

	rgb_color text = ui_color(B_CONTROL_TEXT_COLOR);
	if (!enabled)
		text = tint_color(panel, B_DISABLED_LABEL_TINT);
	SetHighColor(text);
	SetLowColor(face);
	// The arrow at the right edge tells that a menu opens here.
	float arrowRight = bounds.right - 6;
	float centerY = floorf((bounds.top + bounds.bottom) / 2);
	FillTriangle(BPoint(arrowRight - 8, centerY - 2), BPoint(arrowRight, centerY - 2),
		BPoint(arrowRight - 4, centerY + 2));
	if (item == NULL)
		return;
	font_height fh;
	GetFontHeight(&fh);
	float textHeight = ceilf(fh.ascent + fh.descent);
	float baseline = floorf((bounds.Height() + 1 - textHeight) / 2) + ceilf(fh.ascent);
	PushState();
	// The label keeps clear of the arrow.
	BRect labelArea(bounds.left + 1, bounds.top + 1, arrowRight - 11, bounds.bottom - 1);
	if (labelArea.IsValid()) {
		float left, top, right, bottom;
		GetItemMargins(&left, &top, &right, &bottom);
		const char* label = item->Label();
		float available = labelArea.Width() - left;
		float width = StringWidth(label);
		if (width <= available) {
			DrawString(label, BPoint(left, baseline));
		} else {
			// Shortened with an ellipsis, whole characters only.
			std::string shown(label);
			while (!shown.empty()) {
				do
					shown.pop_back();
				while (!shown.empty() && ((unsigned char)shown.back() & 0xc0) == 0x80);
				if (!shown.empty())
					shown.pop_back();
				std::string candidate = shown + B_UTF8_ELLIPSIS;
				if (StringWidth(candidate.c_str()) <= available || shown.empty()) {
					DrawString(candidate.c_str(), BPoint(left, baseline));
					break;
				}
			}
		}
	}
	PopState();
}

// ---- Pointer

BMenuItem* BMenuBar::_EntryAt(BPoint where) const
{
	if (fInField)
		return Bounds().Contains(where) ? ItemAt(0) : NULL;
	return _ItemAt(where);
}

static uint32 current_buttons(BWindow* window)
{
	int32 buttons = 0;
	if (window != NULL && window->CurrentMessage() != NULL)
		window->CurrentMessage()->FindInt32("buttons", &buttons);
	return (uint32)buttons;
}

void BMenuBar::_Forward(uint32 what, BPoint where)
{
	std::shared_ptr<BPrivate::MenuSession> session = fTracking;
	if (session != nullptr)
		session->Pointer(NULL, what, ConvertToScreen(where), current_buttons(Window()));
}

void BMenuBar::MouseDown(BPoint where)
{
	if (IsTracking()) {
		_Forward(B_MOUSE_DOWN, where);
		return;
	}
	BMenuItem* item = _EntryAt(where);
	if (item == NULL || !item->IsEnabled())
		return;
	if (item->Submenu() != NULL)
		_StartTracking(item, ConvertToScreen(where), false);
	else
		item->Invoke();
}

void BMenuBar::MouseUp(BPoint where)
{
	if (IsTracking())
		_Forward(B_MOUSE_UP, where);
}

void BMenuBar::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!IsTracking())
		return;
	// Along a window's menu bar the open menu follows the pointer.
	if (!fInField && Bounds().Contains(where)) {
		BMenuItem* item = _EntryAt(where);
		if (item != NULL && item != fTrackedItem && item->Submenu() != NULL
			&& item->IsEnabled()) {
			fTracking->Cancel();
			fTracking.reset();
			_StartTracking(item, ConvertToScreen(where), false);
			return;
		}
	}
	_Forward(B_MOUSE_MOVED, where);
}

void BMenuBar::_StartTracking(BMenuItem* item, BPoint screenWhere, bool byKeyboard)
{
	BMenu* menu = item->Submenu();
	if (menu == NULL || Window() == NULL || IsTracking())
		return;
	BPrivate::MenuOptions options;
	// The menu opens below the whole bar, not just below the entry.
	BRect anchor = item->Frame();
	anchor.top = Bounds().top;
	anchor.bottom = Bounds().bottom;
	options.anchor = ConvertToScreen(fInField ? Bounds() : anchor);
	options.overMarked = fInField && menu->IsLabelFromMarked();
	options.deliver = true;
	options.sticky = true;
	options.start = screenWhere;
	options.selectMarked = byKeyboard;
	options.owner = BMessenger(this);
	options.home = BMessenger(Window());
	Window()->MenusBeginning();
	fTracking = BPrivate::MenuSession::Open(menu, options);
	if (fTracking == nullptr) {
		Window()->MenusEnded();
		return;
	}
	fTrackedItem = item;
	_Select(item);
	SetEventMask(B_POINTER_EVENTS);
	Invalidate();
}

void BMenuBar::MessageReceived(BMessage* message)
{
	if (message->what != BPrivate::kMsgMenuDone) {
		BMenu::MessageReceived(message);
		return;
	}
	void* session = NULL;
	void* chosen = NULL;
	message->FindPointer("session", &session);
	message->FindPointer("item", &chosen);
	if (fTracking == nullptr || session != fTracking.get())
		return;
	std::shared_ptr<BPrivate::MenuSession> done = fTracking;
	fTracking.reset();
	BMenuItem* tracked = fTrackedItem;
	fTrackedItem = NULL;
	_Select(NULL);
	SetEventMask(0);
	Invalidate();
	// The items may have changed while the menu was closing.
	BMenuItem* item = static_cast<BMenuItem*>(chosen);
	if (IndexOf(tracked) >= 0 && menu_holds(tracked->Submenu(), item))
		done->DeliverResult(item);
	if (Window() != NULL)
		Window()->MenusEnded();
}

// ---- Keyboard

bool BMenuBar::_InvokeShortcut(uint32 key, uint32 modifiers)
{
	BMenuItem* item = _FindShortcut(key, modifiers | B_COMMAND_KEY);
	if (item == NULL || !item->IsEnabled())
		return false;
	item->Invoke();
	return true;
}
