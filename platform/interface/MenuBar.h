// BMenuBar: a menu whose items sit in a row inside a window; choosing an
// entry opens its submenu below it. The first menu bar added to a window
// becomes the window's key menu bar: Alt (B_COMMAND_KEY) plus an item's
// shortcut invokes that item, wherever it sits in the bar's menus.
//
// While one of its menus is open, the bar watches every pointer event of
// its window (a press anywhere outside the open menus closes them; a drag
// from the bar into a menu and a release on an item chooses it), delivers
// the chosen item in the window's thread, and calls the window's
// MenusBeginning() and MenusEnded().
//
// Archive fields (besides BMenu's): "_border" (int32).
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include <Menu.h>

enum menu_bar_border {
	B_BORDER_FRAME,
	B_BORDER_CONTENTS,
	B_BORDER_EACH_ITEM
};

class BMenuBar : public BMenu {
public:
	BMenuBar(BRect frame, const char* title,
		uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
	BMenuBar(BMessage* archive);
	virtual ~BMenuBar();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MessageReceived(BMessage* message);
	virtual void GetPreferredSize(float* width, float* height);

	virtual void SetBorder(menu_bar_border border);
	menu_bar_border Border() const;

private:
	friend class BWindow;
	friend class BMenuField;

	void _InitBar();
	// The window's key menu bar was asked for Alt + key.
	bool _InvokeShortcut(uint32 key, uint32 modifiers);
	void _StartTracking(BMenuItem* item, BPoint screenWhere, bool byKeyboard);
	void _Forward(uint32 what, BPoint where);
	void _DrawAsField(BRect updateRect);
	BMenuItem* _EntryAt(BPoint where) const;
	bool IsTracking() const { return fTracking != nullptr; }

	std::shared_ptr<BPrivate::MenuSession> fTracking;
	BMenuItem* fTrackedItem;
	menu_bar_border fBorder;
	// The bar of a menu field: drawn as a pop-up button, its one entry
	// covers it all, and it is never the key menu bar.
	bool fInField;
	bool fFixedSize;
	float fMaxWidth;    // 0: no limit
};

#endif
