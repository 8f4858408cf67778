// BMenuItem and BSeparatorItem: what one entry of a menu holds and how it
// draws itself into its menu.
#include <MenuItem.h>

#include <Application.h>
#include <InterfaceDefs.h>
#include <Menu.h>
#include <Message.h>
#include <Window.h>

#include "interface/MenuSession.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static BPrivate::InstantiationRegistrar sItemRegistrar("BMenuItem",
	BMenuItem::Instantiate);
static BPrivate::InstantiationRegistrar sSeparatorRegistrar("BSeparatorItem",
	BSeparatorItem::Instantiate);


void BPrivate::shortcut_text(char shortcut, uint32 modifiers, char* buffer, size_t size)
{
	if (size == 0)
		return;
	buffer[0] = '\0';
	if (shortcut == 0)
		return;
	// The order in which the keyboard's own labels are usually read.
	modifiers |= B_COMMAND_KEY;
	snprintf(buffer, size, "%s%s%s%s%c",
		(modifiers & B_CONTROL_KEY) != 0 ? "Ctrl+" : "",
		(modifiers & B_COMMAND_KEY) != 0 ? "Alt+" : "",
		(modifiers & B_OPTION_KEY) != 0 ? "Super+" : "",
		(modifiers & B_SHIFT_KEY) != 0 ? "Shift+" : "",
		toupper((unsigned char)shortcut));
}

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut,
	uint32 modifiers)
{
	_Init(label, message, shortcut, modifiers);
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
{
	_Init(submenu != NULL ? submenu->Name() : NULL, message, 0, 0);
	fSubmenu = submenu;
	if (submenu != NULL) {
		submenu->fSuperitem = this;
		if (submenu->IsLabelFromMarked())
			submenu->_UpdateSuperLabel();
	}
}

BMenuItem::BMenuItem(BMessage* archive)
	:
	BArchivable(archive)
{
	const char* label = NULL;
	archive->FindString("_label", &label);
	BMessage* message = NULL;
	BMessage stored;
	if (archive->FindMessage("_msg", &stored) == B_OK)
		message = new BMessage(stored);
	int32 shortcut = 0;
	int32 modifiers = 0;
	archive->FindInt32("_shortcut", &shortcut);
	archive->FindInt32("_mods", &modifiers);
	_Init(label, message, (char)shortcut, (uint32)modifiers);

	bool flag;
	if (archive->FindBool("_disable", &flag) == B_OK)
		fEnabled = !flag;
	if (archive->FindBool("_marked", &flag) == B_OK)
		fMarked = flag;
	int32 trigger;
	if (archive->FindInt32("_trigger", &trigger) == B_OK)
		fTrigger = (char)trigger;
	BMessage submenuArchive;
	if (archive->FindMessage("_submenu", &submenuArchive) == B_OK) {
		BArchivable* object = instantiate_object(&submenuArchive);
		fSubmenu = dynamic_cast<BMenu*>(object);
		if (fSubmenu == NULL)
			delete object;
		else
			fSubmenu->fSuperitem = this;
	}
}

void BMenuItem::_Init(const char* label, BMessage* message, char shortcut,
	uint32 modifiers)
{
	fLabel = strdup(label != NULL ? label : "");
	fSubmenu = NULL;
	fSuper = NULL;
	fFrame = BRect();
	fModifiers = shortcut != 0 ? (modifiers | B_COMMAND_KEY) : modifiers;
	fShortcut = shortcut;
	fTrigger = 0;
	fEnabled = true;
	fMarked = false;
	fSelected = false;
	SetMessage(message);
}

BMenuItem::~BMenuItem()
{
	if (fSuper != NULL)
		fSuper->_ItemRemoved(this);
	delete fSubmenu;
	free(fLabel);
}

BArchivable* BMenuItem::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BMenuItem"))
		return NULL;
	return new BMenuItem(archive);
}

status_t BMenuItem::Archive(BMessage* archive, bool deep) const
{
	status_t status = BArchivable::Archive(archive, deep);
	if (status != B_OK)
		return status;
	archive->AddString("_label", fLabel);
	if (Message() != NULL)
		archive->AddMessage("_msg", Message());
	if (fShortcut != 0) {
		archive->AddInt32("_shortcut", fShortcut);
		archive->AddInt32("_mods", (int32)fModifiers);
	}
	if (!fEnabled)
		archive->AddBool("_disable", true);
	if (fMarked)
		archive->AddBool("_marked", true);
	if (fTrigger != 0)
		archive->AddInt32("_trigger", fTrigger);
	if (deep && fSubmenu != NULL) {
		BMessage submenuArchive;
		if (fSubmenu->Archive(&submenuArchive, true) == B_OK)
			archive->AddMessage("_submenu", &submenuArchive);
	}
	return B_OK;
}

// ---- State

void BMenuItem::SetLabel(const char* label)
{
	if (label == NULL)
		label = "";
	if (strcmp(label, fLabel) == 0)
		return;
	free(fLabel);
	fLabel = strdup(label);
	if (fSuper != NULL)
		fSuper->_ItemChanged(this, true);
}

void BMenuItem::SetEnabled(bool enabled)
{
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	if (fSubmenu != NULL)
		fSubmenu->SetEnabled(enabled);
	if (fSuper != NULL)
		fSuper->_ItemChanged(this, false);
}

void BMenuItem::SetMarked(bool marked)
{
	if (marked && fSuper != NULL && fSuper->IsRadioMode()) {
		for (int32 i = 0; BMenuItem* other = fSuper->ItemAt(i); i++) {
			if (other != this && other->fMarked) {
				other->fMarked = false;
				fSuper->_ItemChanged(other, false);
			}
		}
	}
	bool changed = fMarked != marked;
	fMarked = marked;
	if (fSuper == NULL)
		return;
	if (changed)
		fSuper->_ItemChanged(this, false);
	if (fSuper->IsLabelFromMarked())
		fSuper->_UpdateSuperLabel();
}

void BMenuItem::SetTrigger(char trigger)
{
	fTrigger = trigger;
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = shortcut != 0 ? (modifiers | B_COMMAND_KEY) : modifiers;
	if (fSuper != NULL)
		fSuper->_ItemChanged(this, true);
}

const char* BMenuItem::Label() const
{
	return fLabel;
}

bool BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	if (fSuper != NULL && !fSuper->IsEnabled())
		return false;
	return true;
}

bool BMenuItem::IsMarked() const
{
	return fMarked;
}

char BMenuItem::Trigger() const
{
	return fTrigger;
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != NULL)
		*modifiers = fModifiers;
	return fShortcut;
}

BMenu* BMenuItem::Submenu() const
{
	return fSubmenu;
}

BMenu* BMenuItem::Menu() const
{
	return fSuper;
}

BRect BMenuItem::Frame() const
{
	return fFrame;
}

bool BMenuItem::IsSelected() const
{
	return fSelected;
}

void BMenuItem::_SetSuper(BMenu* menu)
{
	fSuper = menu;
}

// ---- Invoking

status_t BMenuItem::Invoke(BMessage* message)
{
	return BPrivate::MenuSession::InvokeItem(this, message, BMessenger());
}

// ---- Drawing

float BMenuItem::_ShortcutWidth() const
{
	if (fShortcut == 0 || fSuper == NULL)
		return 0;
	char text[64];
	BPrivate::shortcut_text(fShortcut, fModifiers, text, sizeof(text));
	return ceilf(fSuper->StringWidth(text));
}

void BMenuItem::GetContentSize(float* width, float* height)
{
	font_height fh;
	if (fSuper != NULL)
		fSuper->GetFontHeight(&fh);
	else
		be_plain_font->GetHeight(&fh);
	float textWidth = fSuper != NULL ? fSuper->StringWidth(fLabel)
		: be_plain_font->StringWidth(fLabel);
	if (width != NULL)
		*width = ceilf(textWidth);
	if (height != NULL)
		*height = ceilf(fh.ascent + fh.descent);
}

BPoint BMenuItem::ContentLocation() const
{
	if (fSuper == NULL)
		return fFrame.LeftTop();
	float left, top, right, bottom;
	fSuper->GetItemMargins(&left, &top, &right, &bottom);
	return BPoint(fFrame.left + left, fFrame.top + top);
}

void BMenuItem::Highlight(bool highlighted)
{
	if (fSelected == highlighted)
		return;
	fSelected = highlighted;
	if (fSuper != NULL && fSuper->Window() != NULL)
		fSuper->Invalidate(fFrame);
}

void BMenuItem::Draw()
{
	if (fSuper == NULL)
		return;
	BMenu* menu = fSuper;
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	bool selected = fSelected && IsEnabled();
	menu->SetLowColor(selected ? ui_color(B_MENU_SELECTION_BACKGROUND_COLOR) : background);
	menu->FillRect(fFrame, B_SOLID_LOW);

	rgb_color text = ui_color(selected ? B_MENU_SELECTED_ITEM_TEXT_COLOR
		: B_MENU_ITEM_TEXT_COLOR);
	if (!IsEnabled())
		text = tint_color(background, B_DISABLED_LABEL_TINT);
	menu->SetHighColor(text);
	DrawContent();
	if (menu->Layout() == B_ITEMS_IN_COLUMN) {
		if (fMarked)
			_DrawMark(fFrame);
		if (fSubmenu != NULL)
			_DrawSubmenuArrow(fFrame);
		else if (fShortcut != 0)
			_DrawShortcut(fFrame);
	}
	menu->SetLowColor(background);
}

void BMenuItem::DrawContent()
{
	font_height fh;
	fSuper->GetFontHeight(&fh);
	BPoint where = ContentLocation();
	where.y += ceilf(fh.ascent);
	fSuper->DrawString(fLabel, where);
}

void BMenuItem::_DrawMark(BRect frame)
{
	// A check mark in the margin, centred on the text.
	float centerY = floorf((frame.top + frame.bottom) / 2);
	float left = frame.left + 5;
	fSuper->PushState();
	fSuper->SetPenSize(2);
	fSuper->StrokeLine(BPoint(left, centerY), BPoint(left + 3, centerY + 3));
	fSuper->StrokeLine(BPoint(left + 3, centerY + 3), BPoint(left + 9, centerY - 4));
	fSuper->PopState();
}

void BMenuItem::_DrawShortcut(BRect frame)
{
	char text[64];
	BPrivate::shortcut_text(fShortcut, fModifiers, text, sizeof(text));
	float left, top, right, bottom;
	fSuper->GetItemMargins(&left, &top, &right, &bottom);
	font_height fh;
	fSuper->GetFontHeight(&fh);
	float width = fSuper->StringWidth(text);
	fSuper->DrawString(text, BPoint(frame.right - right - width,
		frame.top + top + ceilf(fh.ascent)));
}

void BMenuItem::_DrawSubmenuArrow(BRect frame)
{
	float centerY = floorf((frame.top + frame.bottom) / 2);
	float right = frame.right - 6;
	fSuper->FillTriangle(BPoint(right - 4, centerY - 4), BPoint(right, centerY),
		BPoint(right - 4, centerY + 4));
}

// ---- Separators

BSeparatorItem::BSeparatorItem()
	:
	BMenuItem("", NULL)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::BSeparatorItem(BMessage* archive)
	:
	BMenuItem(archive)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem()
{
}

BArchivable* BSeparatorItem::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BSeparatorItem"))
		return NULL;
	return new BSeparatorItem(archive);
}

status_t BSeparatorItem::Archive(BMessage* archive, bool deep) const
{
	return BMenuItem::Archive(archive, deep);
}

void BSeparatorItem::SetEnabled(bool)
{
}

void BSeparatorItem::GetContentSize(float* width, float* height)
{
	if (width != NULL)
		*width = 0;
	if (height != NULL)
		*height = 2;
}

void BSeparatorItem::Draw()
{
	BMenu* menu = Menu();
	if (menu == NULL)
		return;
	BRect frame = Frame();
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	menu->SetLowColor(background);
	menu->FillRect(frame, B_SOLID_LOW);
	float y = floorf((frame.top + frame.bottom) / 2);
	menu->SetHighColor(tint_color(background, B_DARKEN_2_TINT));
	menu->StrokeLine(BPoint(frame.left + 4, y), BPoint(frame.right - 4, y));
	menu->SetHighColor(tint_color(background, B_LIGHTEN_2_TINT));
	menu->StrokeLine(BPoint(frame.left + 4, y + 1), BPoint(frame.right - 4, y + 1));
}
