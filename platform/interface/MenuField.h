// BMenuField: a label and, right of the divider, a pop-up menu shown as a
// button. Clicking the button (or Space, Up or Down while the field has
// the focus) opens the menu; when the menu's label follows its marked
// item, the button shows that item's label. A menu field is not a control:
// it has no value and no message of its own, only its menu's items do.
//
// The field makes a small BMenuBar (MenuBar()) that holds one item
// (MenuItem()) controlling the menu (Menu()). Without a fixed size the bar
// is as wide as the label it shows, up to the field's right edge.
//
// Ownership. The field owns the bar, the bar its item, the item the menu.
// Archive fields (besides BView's, whose "_views" carries the bar with the
// menu and its items): "_label", "_divide" (float), "_align" (int32),
// "_disable", "_fixed" (bool).
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <Menu.h>
#include <View.h>

class BMenuBar;
class BMenuItem;

class BMenuField : public BView {
public:
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
		bool fixedSize, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BMenuField(BMessage* archive);
	virtual ~BMenuField();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void MakeFocus(bool focus = true);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void WindowActivated(bool active);
	virtual void GetPreferredSize(float* width, float* height);

	BMenu* Menu() const;
	BMenuBar* MenuBar() const;
	BMenuItem* MenuItem() const;

	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	virtual void SetAlignment(alignment label);
	alignment Alignment() const;
	virtual void SetDivider(float dividing);
	float Divider() const;

private:
	void _Init(const char* label);
	void _InitBar(BMenu* menu);
	void _LayoutBar();
	void _Open(bool byKeyboard);

	char* fLabel;
	BMenu* fMenu;         // owned through the bar
	BMenuBar* fMenuBar;   // owned as a child view
	float fDivider;
	alignment fAlign;
	bool fEnabled;
	bool fFixedSize;
};

#endif
