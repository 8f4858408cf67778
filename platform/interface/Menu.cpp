// BMenu: items, marks, layout and drawing; the behaviour of an open menu
// (what the pointer and the keys do to it) is at the end.
#include <Menu.h>

#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "interface/MenuSession.h"
#include "interface/MenuWindow.h"
#include "support/Misuse.h"

#include <ctype.h>
#include <math.h>
#include <string.h>

#include <algorithm>

static BPrivate::InstantiationRegistrar sMenuRegistrar("BMenu", BMenu::Instantiate);

// Column menus: the room beside each item's label (the check mark sits in
// the left margin), a separator's height, what follows a label, and the
// smallest menu.
static const float kColumnMargins[4] = {20, 3, 10, 3};
static const float kRowMargins[4] = {8, 3, 8, 3};
static const float kSeparatorHeight = 8;
static const float kShortcutGap = 18;
static const float kSubmenuArrowWidth = 14;
static const float kMinMenuWidth = 40;

BMenu::BMenu(const char* name, menu_layout layout)
	:
	BView(BRect(0, 0, 10, 10), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
{
	_Init(layout, true);
}

BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags,
	menu_layout layout, bool resizeToFit)
	:
	BView(frame, name, resizingMode, flags)
{
	_Init(layout, resizeToFit);
}

BMenu::BMenu(BMessage* archive)
	:
	BView(archive)
{
	int32 layout = B_ITEMS_IN_COLUMN;
	archive->FindInt32("_layout", &layout);
	bool resizeToFit = true;
	archive->FindBool("_rsize_to_fit", &resizeToFit);
	_Init((menu_layout)layout, resizeToFit);

	bool flag;
	if (archive->FindBool("_disable", &flag) == B_OK)
		fEnabled = !flag;
	if (archive->FindBool("_radio", &flag) == B_OK)
		fRadioMode = flag;
	if (archive->FindBool("_dyn_label", &flag) == B_OK)
		fLabelFromMarked = flag;
	if (archive->FindBool("_trig_disabled", &flag) == B_OK)
		fTriggersEnabled = !flag;

	BMessage itemArchive;
	for (int32 i = 0; archive->FindMessage("_items", i, &itemArchive) == B_OK; i++) {
		BArchivable* object = instantiate_object(&itemArchive);
		BMenuItem* item = dynamic_cast<BMenuItem*>(object);
		if (item == NULL || !AddItem(item))
			delete object;
	}
}

void BMenu::_Init(menu_layout layout, bool resizeToFit)
{
	fSuperitem = NULL;
	fSelected = NULL;
	fLayout = layout == B_ITEMS_IN_ROW ? B_ITEMS_IN_ROW : B_ITEMS_IN_COLUMN;
	const float* margins = fLayout == B_ITEMS_IN_ROW ? kRowMargins : kColumnMargins;
	std::copy(margins, margins + 4, fPad);
	fMaxContentWidth = 0;
	fMinWidth = 0;
	fPreferredWidth = 0;
	fPreferredHeight = 0;
	fLayoutValid = false;
	fResizeToFit = resizeToFit;
	fEnabled = true;
	fRadioMode = false;
	fLabelFromMarked = false;
	fTriggersEnabled = true;
	fLevel = -1;
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
}

BMenu::~BMenu()
{
	// An open menu leaves its window before anything of it goes.
	BPrivate::MenuSession::MenuDeleted(this);
	if (fSuperitem != NULL && fSuperitem->fSubmenu == this)
		fSuperitem->fSubmenu = NULL;
	fSelected = NULL;
	std::vector<BMenuItem*> items;
	items.swap(fItems);
	for (BMenuItem* item : items) {
		item->fSuper = NULL;
		delete item;
	}
}

BArchivable* BMenu::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BMenu"))
		return NULL;
	return new BMenu(archive);
}

status_t BMenu::Archive(BMessage* archive, bool deep) const
{
	status_t status = BView::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddInt32("_layout", fLayout);
	archive->AddBool("_rsize_to_fit", fResizeToFit);
	if (!fEnabled)
		archive->AddBool("_disable", true);
	archive->AddBool("_radio", fRadioMode);
	archive->AddBool("_dyn_label", fLabelFromMarked);
	if (!fTriggersEnabled)
		archive->AddBool("_trig_disabled", true);
	if (deep) {
		for (BMenuItem* item : fItems) {
			BMessage itemArchive;
			if (item->Archive(&itemArchive, true) == B_OK)
				archive->AddMessage("_items", &itemArchive);
		}
	}
	return B_OK;
}

// ---- Hooks

void BMenu::AttachedToWindow()
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
	_ComputeLayout();
	BView::AttachedToWindow();
}

void BMenu::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

void BMenu::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void BMenu::GetPreferredSize(float* width, float* height)
{
	_ComputeLayout();
	if (width != NULL)
		*width = fPreferredWidth;
	if (height != NULL)
		*height = fPreferredHeight;
}

void BMenu::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

// ---- Items

bool BMenu::AddItem(BMenuItem* item)
{
	return _AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
	return _AddItem(item, index);
}

bool BMenu::AddItem(BMenu* menu)
{
	return AddItem(menu, CountItems());
}

bool BMenu::AddItem(BMenu* menu, int32 index)
{
	if (menu == NULL || menu->fSuperitem != NULL || index < 0 || index > CountItems())
		return false;
	BMenuItem* item = new BMenuItem(menu);
	if (!_AddItem(item, index)) {
		item->fSubmenu = NULL;
		menu->fSuperitem = NULL;
		delete item;
		return false;
	}
	return true;
}

bool BMenu::AddList(BList* list, int32 index)
{
	if (list == NULL || index < 0 || index > CountItems())
		return false;
	for (int32 i = 0; i < list->CountItems(); i++) {
		if (!_AddItem(static_cast<BMenuItem*>(list->ItemAt(i)), index + i))
			return false;
	}
	return true;
}

bool BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem);
}

// A menu in a window (a menu bar, or an open menu in its own window) is
// changed only under that window's lock.
static bool menu_window_locked(const BMenu* menu, const char* call)
{
	BWindow* window = menu->Window();
	if (window == NULL || window->IsLocked())
		return true;
	BPrivate::report_misuse(call, "the menu's window must be locked by the caller");
	return false;
}

bool BMenu::_AddItem(BMenuItem* item, int32 index)
{
	if (item == NULL || item->fSuper != NULL || index < 0 || index > CountItems())
		return false;
	if (!menu_window_locked(this, "BMenu::AddItem"))
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->_SetSuper(this);
	if (item->fMarked && fRadioMode)
		item->SetMarked(true);
	else if (item->fMarked && fLabelFromMarked)
		_UpdateSuperLabel();
	_ItemChanged(item, true);
	return true;
}

bool BMenu::RemoveItem(BMenuItem* item)
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	if (item == NULL || found == fItems.end())
		return false;
	if (!menu_window_locked(this, "BMenu::RemoveItem"))
		return false;
	fItems.erase(found);
	if (fSelected == item)
		fSelected = NULL;
	item->fSelected = false;
	item->fSuper = NULL;
	bool wasMarked = item->fMarked;
	_ItemChanged(NULL, true);
	if (wasMarked && fLabelFromMarked)
		_UpdateSuperLabel();
	return true;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
	BMenuItem* item = ItemAt(index);
	if (item != NULL)
		RemoveItem(item);
	return item;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

bool BMenu::RemoveItem(BMenu* menu)
{
	if (menu == NULL)
		return false;
	for (BMenuItem* item : fItems) {
		if (item->fSubmenu == menu) {
			RemoveItem(item);
			// The caller gets the menu back; its controlling item goes.
			item->fSubmenu = NULL;
			menu->fSuperitem = NULL;
			delete item;
			return true;
		}
	}
	return false;
}

void BMenu::_ItemRemoved(BMenuItem* item)
{
	// An item deleted while it was still in the menu.
	auto found = std::find(fItems.begin(), fItems.end(), item);
	if (found == fItems.end())
		return;
	fItems.erase(found);
	if (fSelected == item)
		fSelected = NULL;
	_ItemChanged(NULL, true);
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return fItems[index];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL ? item->Submenu() : NULL;
}

int32 BMenu::CountItems() const
{
	return (int32)fItems.size();
}

int32 BMenu::IndexOf(BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found != fItems.end() ? (int32)(found - fItems.begin()) : -1;
}

int32 BMenu::IndexOf(BMenu* menu) const
{
	for (size_t i = 0; i < fItems.size(); i++) {
		if (menu != NULL && fItems[i]->Submenu() == menu)
			return (int32)i;
	}
	return -1;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != NULL && item->Message()->what == command)
			return item;
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
	}
	return NULL;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
	if (label == NULL)
		return NULL;
	for (BMenuItem* item : fItems) {
		if (strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
		}
	}
	return NULL;
}

BMenuItem* BMenu::FindMarked()
{
	for (BMenuItem* item : fItems) {
		if (item->IsMarked())
			return item;
	}
	return NULL;
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
	status_t result = B_OK;
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			result = status;
	}
	return result;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
	status_t result = B_OK;
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(messenger);
		if (status != B_OK)
			result = status;
	}
	return result;
}

// ---- Modes

void BMenu::SetEnabled(bool enabled)
{
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	if (fSuperitem != NULL)
		fSuperitem->SetEnabled(enabled);
	if (Window() != NULL)
		Invalidate();
}

bool BMenu::IsEnabled() const
{
	return fEnabled;
}

void BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	// Showing the marked item needs a single marked item.
	if (!on)
		fLabelFromMarked = false;
}

bool BMenu::IsRadioMode() const
{
	return fRadioMode;
}

void BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on) {
		fRadioMode = true;
		_UpdateSuperLabel();
	}
}

bool BMenu::IsLabelFromMarked()
{
	return fLabelFromMarked;
}

void BMenu::SetTriggersEnabled(bool enabled)
{
	fTriggersEnabled = enabled;
}

bool BMenu::AreTriggersEnabled() const
{
	return fTriggersEnabled;
}

void BMenu::SetMaxContentWidth(float width)
{
	fMaxContentWidth = width;
	fLayoutValid = false;
}

float BMenu::MaxContentWidth() const
{
	return fMaxContentWidth;
}

BMenu* BMenu::Supermenu() const
{
	return fSuperitem != NULL ? fSuperitem->Menu() : NULL;
}

BMenuItem* BMenu::Superitem() const
{
	return fSuperitem;
}

menu_layout BMenu::Layout() const
{
	return fLayout;
}

void BMenu::InvalidateLayout()
{
	fLayoutValid = false;
	if (Window() != NULL) {
		_ComputeLayout();
		Invalidate();
	}
}

void BMenu::SetItemMargins(float left, float top, float right, float bottom)
{
	fPad[0] = left;
	fPad[1] = top;
	fPad[2] = right;
	fPad[3] = bottom;
	fLayoutValid = false;
}

void BMenu::GetItemMargins(float* left, float* top, float* right, float* bottom) const
{
	if (left != NULL) *left = fPad[0];
	if (top != NULL) *top = fPad[1];
	if (right != NULL) *right = fPad[2];
	if (bottom != NULL) *bottom = fPad[3];
}

void BMenu::_UpdateSuperLabel()
{
	if (fSuperitem == NULL)
		return;
	BMenuItem* marked = FindMarked();
	fSuperitem->SetLabel(marked != NULL ? marked->Label() : Name());
}

void BMenu::_ItemChanged(BMenuItem* item, bool sizeChanged)
{
	if (sizeChanged)
		fLayoutValid = false;
	if (Window() == NULL)
		return;
	if (!sizeChanged && item != NULL) {
		Invalidate(item->Frame());
		return;
	}
	_ComputeLayout();
	// A menu bar follows its items; an open menu keeps its window's size.
	if (fResizeToFit && dynamic_cast<BPrivate::MenuWindow*>(Window()) == NULL) {
		float width, height;
		GetPreferredSize(&width, &height);
		if ((ResizingMode() & _rule_(0, 0xf, 0, 0xf)) == B_FOLLOW_LEFT_RIGHT)
			width = Bounds().Width();
		ResizeTo(width, height);
	}
	Invalidate();
}

// ---- Layout and drawing

void BMenu::_ComputeLayout()
{
	if (fLayoutValid)
		return;
	fLayoutValid = true;
	font_height fh;
	GetFontHeight(&fh);
	float textHeight = ceilf(fh.ascent + fh.descent);

	if (fLayout == B_ITEMS_IN_ROW) {
		float x = 1;
		float height = textHeight + fPad[1] + fPad[3];
		for (BMenuItem* item : fItems) {
			float width = 0;
			item->GetContentSize(&width, NULL);
			width = ceilf(width + fPad[0] + fPad[2]);
			item->fFrame = BRect(x, 1, x + width - 1, height);
			x += width;
		}
		fPreferredWidth = std::max(x, 2.0f);
		fPreferredHeight = height + 1;
		return;
	}

	float y = 2;
	float widest = 0;
	for (BMenuItem* item : fItems) {
		float width = 0;
		float height = 0;
		if (dynamic_cast<BSeparatorItem*>(item) != NULL) {
			height = kSeparatorHeight;
		} else {
			item->GetContentSize(&width, &height);
			if (fMaxContentWidth > 0)
				width = std::min(width, fMaxContentWidth);
			width += fPad[0] + fPad[2];
			if (item->Submenu() != NULL)
				width += kSubmenuArrowWidth;
			else if (item->fShortcut != 0)
				width += kShortcutGap + item->_ShortcutWidth();
			height += fPad[1] + fPad[3];
		}
		item->fFrame = BRect(1, y, 1, y + height - 1);
		y += height;
		widest = std::max(widest, ceilf(width));
	}
	// Pixels across: a border on each side of the widest item.
	float pixels = std::max(std::max(widest + 2, ceilf(fMinWidth) + 1), kMinMenuWidth);
	for (BMenuItem* item : fItems)
		item->fFrame.right = pixels - 2;
	fPreferredWidth = pixels - 1;
	fPreferredHeight = y + 1;
}

void BMenu::Draw(BRect updateRect)
{
	_ComputeLayout();
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetLowColor(background);
	for (BMenuItem* item : fItems) {
		if (item->Frame().Intersects(updateRect))
			item->Draw();
	}
	if (fLayout == B_ITEMS_IN_COLUMN) {
		SetHighColor(tint_color(background, B_DARKEN_3_TINT));
		StrokeRect(Bounds());
	}
}

BMenuItem* BMenu::_ItemAt(BPoint where) const
{
	for (BMenuItem* item : fItems) {
		if (item->Frame().Contains(where))
			return item;
	}
	return NULL;
}

void BMenu::_Select(BMenuItem* item)
{
	if (item == fSelected)
		return;
	if (fSelected != NULL)
		fSelected->Highlight(false);
	fSelected = item;
	if (item != NULL)
		item->Highlight(true);
}

void BMenu::_SelectNext(int32 direction)
{
	int32 count = CountItems();
	if (count == 0)
		return;
	int32 start = fSelected != NULL ? IndexOf(fSelected) : (direction > 0 ? -1 : count);
	for (int32 step = 1; step <= count; step++) {
		int32 index = ((start + direction * step) % count + count) % count;
		if (fItems[index]->IsEnabled()) {
			_Select(fItems[index]);
			return;
		}
	}
}

BMenuItem* BMenu::_FindShortcut(uint32 key, uint32 modifiers) const
{
	const uint32 kRelevant = B_SHIFT_KEY | B_CONTROL_KEY | B_OPTION_KEY | B_COMMAND_KEY;
	for (BMenuItem* item : fItems) {
		if (item->fShortcut != 0 && (uint32)tolower((unsigned char)item->fShortcut) == key
			&& (item->fModifiers & kRelevant) == (modifiers & kRelevant)) {
			return item;
		}
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->_FindShortcut(key, modifiers))
				return found;
		}
	}
	return NULL;
}

// ---- An open menu, in its window's thread

void BMenu::_TrackPointer(uint32 what, BPoint screenWhere, uint32 buttons)
{
	std::shared_ptr<BPrivate::MenuSession> session = fSession;
	if (session == nullptr)
		return;
	BMenuItem* item = _ItemAt(ConvertFromScreen(screenWhere));
	bool choosable = item != NULL && item->IsEnabled();
	switch (what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_MOVED:
			if (item == NULL) {
				// The border or the margin, typically on the way into an
				// open submenu: that submenu stays.
				if (fSelected == NULL || fSelected->Submenu() == NULL)
					_Select(NULL);
				break;
			}
			_Select(choosable ? item : NULL);
			if (choosable && item->Submenu() != NULL)
				session->OpenSubmenu(fLevel, item, false);
			else
				session->CloseAbove(fLevel);
			break;
		case B_MOUSE_UP:
			if (choosable && item->Submenu() == NULL && session->ReleaseChooses())
				session->Choose(item);
			break;
	}
	(void)buttons;
}

void BMenu::_TrackKey(const char* bytes)
{
	std::shared_ptr<BPrivate::MenuSession> session = fSession;
	if (session == nullptr || bytes == NULL)
		return;
	switch (bytes[0]) {
		case B_UP_ARROW:
		case B_DOWN_ARROW:
			_SelectNext(bytes[0] == B_UP_ARROW ? -1 : 1);
			session->CloseAbove(fLevel);
			break;
		case B_RIGHT_ARROW:
			if (fSelected != NULL && fSelected->IsEnabled() && fSelected->Submenu() != NULL)
				session->OpenSubmenu(fLevel, fSelected, true);
			break;
		case B_LEFT_ARROW:
			if (fLevel > 0)
				session->CloseAbove(fLevel - 1);
			break;
		case B_ENTER:
		case B_SPACE:
			if (fSelected == NULL || !fSelected->IsEnabled())
				break;
			if (fSelected->Submenu() != NULL)
				session->OpenSubmenu(fLevel, fSelected, true);
			else
				session->Choose(fSelected);
			break;
		case B_ESCAPE:
			session->Cancel();
			break;
		default:
			break;
	}
}
