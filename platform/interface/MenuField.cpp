#include <MenuField.h>

#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "interface/MenuSession.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

static BPrivate::InstantiationRegistrar sFieldRegistrar("BMenuField",
	BMenuField::Instantiate);

// The button's margins: room for the label at the left and the arrow at the
// right.
static const float kBarMargins[4] = {6, 2, 22, 2};

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags)
{
	fFixedSize = false;
	_Init(label);
	_InitBar(menu);
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	bool fixedSize, uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags)
{
	fFixedSize = fixedSize;
	_Init(label);
	_InitBar(menu);
}

BMenuField::BMenuField(BMessage* archive)
	:
	BView(archive)
{
	const char* label = NULL;
	archive->FindString("_label", &label);
	fFixedSize = false;
	archive->FindBool("_fixed", &fFixedSize);
	_Init(label);
	float divider;
	if (archive->FindFloat("_divide", &divider) == B_OK)
		fDivider = divider;
	int32 align;
	if (archive->FindInt32("_align", &align) == B_OK)
		fAlign = (alignment)align;
	bool disabled;
	if (archive->FindBool("_disable", &disabled) == B_OK)
		fEnabled = !disabled;

	// The bar came back as a child view, with the menu in its item.
	fMenuBar = NULL;
	for (int32 i = 0; BView* child = ChildAt(i); i++) {
		if ((fMenuBar = dynamic_cast<BMenuBar*>(child)) != NULL)
			break;
	}
	if (fMenuBar != NULL && fMenuBar->ItemAt(0) != NULL
		&& fMenuBar->ItemAt(0)->Submenu() != NULL) {
		fMenu = fMenuBar->ItemAt(0)->Submenu();
		fMenuBar->fInField = true;
		fMenuBar->fFixedSize = fFixedSize;
		fMenuBar->SetItemMargins(kBarMargins[0], kBarMargins[1], kBarMargins[2],
			kBarMargins[3]);
		if (fMenu->IsLabelFromMarked())
			fMenu->_UpdateSuperLabel();
		_LayoutBar();
	} else {
		// An archive without a usable bar still gives a working field.
		if (fMenuBar != NULL) {
			RemoveChild(fMenuBar);
			delete fMenuBar;
		}
		_InitBar(new BMenu("", B_ITEMS_IN_COLUMN));
	}
	if (!fEnabled)
		fMenuBar->SetEnabled(false);
}

void BMenuField::_Init(const char* label)
{
	fLabel = label != NULL ? strdup(label) : NULL;
	fMenu = NULL;
	fMenuBar = NULL;
	fDivider = fLabel != NULL && fLabel[0] != '\0' ? floorf(Bounds().Width() / 2) : 0;
	fAlign = B_ALIGN_LEFT;
	fEnabled = true;
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

void BMenuField::_InitBar(BMenu* menu)
{
	if (menu == NULL)
		menu = new BMenu("", B_ITEMS_IN_COLUMN);
	fMenu = menu;
	fMenuBar = new BMenuBar(BRect(0, 0, 10, 10), "_mc_mb_", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_ITEMS_IN_ROW, !fFixedSize);
	fMenuBar->fInField = true;
	fMenuBar->fFixedSize = fFixedSize;
	fMenuBar->SetItemMargins(kBarMargins[0], kBarMargins[1], kBarMargins[2],
		kBarMargins[3]);
	fMenuBar->AddItem(menu);
	if (menu->IsLabelFromMarked())
		menu->_UpdateSuperLabel();
	AddChild(fMenuBar);
	_LayoutBar();
}

BMenuField::~BMenuField()
{
	free(fLabel);
}

BArchivable* BMenuField::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BMenuField"))
		return NULL;
	return new BMenuField(archive);
}

status_t BMenuField::Archive(BMessage* archive, bool deep) const
{
	// The bar, with the menu and its items, goes into "_views".
	status_t status = BView::Archive(archive, true);
	if (status != B_OK)
		return status;
	if (fLabel != NULL)
		archive->AddString("_label", fLabel);
	archive->AddFloat("_divide", fDivider);
	archive->AddInt32("_align", fAlign);
	if (!fEnabled)
		archive->AddBool("_disable", true);
	if (fFixedSize)
		archive->AddBool("_fixed", true);
	(void)deep;
	return B_OK;
}

// ---- Layout and drawing

void BMenuField::_LayoutBar()
{
	if (fMenuBar == NULL)
		return;
	BRect bounds = Bounds();
	float left = fDivider > 0 ? fDivider + 1 : 0;
	fMenuBar->fMaxWidth = std::max(bounds.right - left, 8.0f);
	fMenuBar->fLayoutValid = false;
	float width, height;
	fMenuBar->GetPreferredSize(&width, &height);
	// The button's height suits the font; the field centres it.
	height = std::min(height + 2, bounds.Height());
	fMenuBar->MoveTo(left, floorf((bounds.Height() - height) / 2));
	fMenuBar->ResizeTo(width, height);
}

void BMenuField::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (Parent() != NULL) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
	_LayoutBar();
}

void BMenuField::FrameResized(float, float)
{
	_LayoutBar();
}

void BMenuField::Draw(BRect)
{
	BRect bounds = Bounds();
	if (fLabel != NULL && fLabel[0] != '\0' && fDivider > 0) {
		font_height fh;
		GetFontHeight(&fh);
		float textHeight = ceilf(fh.ascent + fh.descent);
		float baseline = floorf((bounds.Height() + 1 - textHeight) / 2) + ceilf(fh.ascent);
		float width = StringWidth(fLabel);
		float x = 2;
		if (fAlign == B_ALIGN_RIGHT)
			x = fDivider - 3 - width;
		else if (fAlign == B_ALIGN_CENTER)
			x = floorf((fDivider - width) / 2);
		rgb_color text = ui_color(B_PANEL_TEXT_COLOR);
		if (!fEnabled)
			text = tint_color(LowColor(), B_DISABLED_LABEL_TINT);
		SetHighColor(text);
		DrawString(fLabel, BPoint(x, baseline));
	}
	if (IsFocus() && Window() != NULL && Window()->IsActive() && fMenuBar != NULL) {
		// The keyboard focus: a line under the button.
		BRect bar = fMenuBar->Frame();
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeLine(BPoint(bar.left, bar.bottom + 1), BPoint(bar.right, bar.bottom + 1));
	}
}

void BMenuField::GetPreferredSize(float* width, float* height)
{
	float barWidth = 0, barHeight = 0;
	if (fMenuBar != NULL) {
		fMenuBar->fLayoutValid = false;
		fMenuBar->BMenu::GetPreferredSize(&barWidth, &barHeight);
	}
	float labelWidth = fLabel != NULL && fLabel[0] != '\0'
		? std::max(fDivider, ceilf(StringWidth(fLabel)) + 5) : 0;
	if (width != NULL)
		*width = labelWidth + (labelWidth > 0 ? 1 : 0) + barWidth;
	if (height != NULL)
		*height = barHeight + 4;
}

// ---- Input

void BMenuField::_Open(bool byKeyboard)
{
	if (!fEnabled || fMenuBar == NULL || fMenuBar->ItemAt(0) == NULL)
		return;
	BRect bar = fMenuBar->Bounds();
	BPoint center((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
	fMenuBar->_StartTracking(fMenuBar->ItemAt(0), fMenuBar->ConvertToScreen(center),
		byKeyboard);
}

void BMenuField::MouseDown(BPoint where)
{
	// The bar takes presses on the button; this is the label.
	if (!fEnabled)
		return;
	if (fMenuBar != NULL && fMenuBar->IsTracking()) {
		fMenuBar->_Forward(B_MOUSE_DOWN, fMenuBar->ConvertFromParent(where));
		return;
	}
	if ((Flags() & B_NAVIGABLE) != 0)
		MakeFocus(true);
}

void BMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	if (fMenuBar != NULL && fMenuBar->IsTracking()) {
		// The menu's window normally has the keyboard; should the keys
		// come here instead, they go on to the open menu.
		fMenuBar->fTracking->Key(NULL, bytes);
		return;
	}
	if (numBytes == 1) {
		switch (bytes[0]) {
			case B_SPACE:
			case B_UP_ARROW:
			case B_DOWN_ARROW:
				_Open(true);
				return;
		}
	}
	BView::KeyDown(bytes, numBytes);
}

void BMenuField::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	if (Window() != NULL)
		Invalidate();
}

void BMenuField::WindowActivated(bool)
{
	if (IsFocus())
		Invalidate();
}

// ---- Parts

BMenu* BMenuField::Menu() const
{
	return fMenu;
}

BMenuBar* BMenuField::MenuBar() const
{
	return fMenuBar;
}

BMenuItem* BMenuField::MenuItem() const
{
	return fMenuBar != NULL ? fMenuBar->ItemAt(0) : NULL;
}

void BMenuField::SetLabel(const char* label)
{
	if (fLabel != NULL && label != NULL && strcmp(fLabel, label) == 0)
		return;
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	if (Window() != NULL)
		Invalidate();
}

const char* BMenuField::Label() const
{
	return fLabel;
}

void BMenuField::SetEnabled(bool enabled)
{
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	if (fMenuBar != NULL) {
		fMenuBar->SetEnabled(enabled);
		if (fMenuBar->Window() != NULL)
			fMenuBar->Invalidate();
	}
	if (Window() != NULL)
		Invalidate();
}

bool BMenuField::IsEnabled() const
{
	return fEnabled;
}

void BMenuField::SetAlignment(alignment label)
{
	fAlign = label;
	if (Window() != NULL)
		Invalidate();
}

alignment BMenuField::Alignment() const
{
	return fAlign;
}

void BMenuField::SetDivider(float dividing)
{
	fDivider = floorf(dividing + 0.5f);
	_LayoutBar();
	if (Window() != NULL)
		Invalidate();
}

float BMenuField::Divider() const
{
	return fDivider;
}
