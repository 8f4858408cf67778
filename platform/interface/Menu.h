// BMenu: a list of menu items, shown as a pop-up window above every other
// window (or, for a BMenuBar, as a row inside a window).
//
// Items sit in a column (B_ITEMS_IN_COLUMN) or, for menu bars, in a row
// (B_ITEMS_IN_ROW). A menu opens when its controlling item is chosen (a
// submenu, a menu bar's entry, a menu field) or by BPopUpMenu::Go(). An open
// menu lives in a window of its own with its own thread, so it keeps working
// while the thread that opened it is busy or blocked. The user drives it
// with the mouse (moving highlights, a click or a release on an item chooses
// it, a press outside every open menu closes them) and with the keyboard
// (Up and Down move, Right opens a submenu, Left closes it, Enter or Space
// chooses, Escape closes).
//
// Radio mode keeps exactly one item marked: the one the user chose last.
// With label-from-marked (which implies radio mode) the controlling item
// shows the label of the marked item.
//
// Locking. Changing a menu that is open or belongs to a menu bar in a window
// needs that window's lock, as for any view.
//
// Ownership. The menu owns its items; an item owns its submenu. RemoveItem()
// gives the item back to the caller. Archive fields (besides BView's):
// "_layout" (int32), "_rsize_to_fit", "_disable", "_radio", "_dyn_label"
// (bool) and, with deep, every item's archive in "_items".
#ifndef _MENU_H
#define _MENU_H

#include <InterfaceDefs.h>
#include <List.h>
#include <Messenger.h>
#include <View.h>

#include <memory>
#include <vector>

class BMenuItem;

namespace BPrivate {
class MenuSession;
class MenuWindow;
}

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX
};

class BMenu : public BView {
public:
	BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	BMenu(BMessage* archive);
	virtual ~BMenu();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void DetachedFromWindow();
	virtual void Draw(BRect updateRect);
	virtual void MessageReceived(BMessage* message);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	// ---- Items
	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	// A submenu: a new item controls it, labelled with the menu's name.
	bool AddItem(BMenu* menu);
	bool AddItem(BMenu* menu, int32 index);
	bool AddList(BList* list, int32 index);
	bool AddSeparatorItem();
	// Removing by item or menu gives it back to the caller; by index the
	// item is returned; RemoveItems deletes the items when asked to.
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);
	bool RemoveItem(BMenu* menu);

	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 CountItems() const;
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* menu) const;
	// Searches this menu and its submenus, depth first.
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindItem(const char* label) const;
	// The first marked item of this menu, or NULL.
	BMenuItem* FindMarked();

	// Every item of this menu (not of its submenus) gets the target.
	virtual status_t SetTargetForItems(BHandler* target);
	virtual status_t SetTargetForItems(BMessenger messenger);

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	virtual void SetRadioMode(bool on);
	bool IsRadioMode() const;
	// Turning it on turns radio mode on too.
	virtual void SetLabelFromMarked(bool on);
	bool IsLabelFromMarked();
	void SetTriggersEnabled(bool enabled);
	bool AreTriggersEnabled() const;
	void SetMaxContentWidth(float width);
	float MaxContentWidth() const;

	BMenu* Supermenu() const;
	BMenuItem* Superitem() const;
	menu_layout Layout() const;
	void InvalidateLayout();

protected:
	BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags,
		menu_layout layout, bool resizeToFit);

	void SetItemMargins(float left, float top, float right, float bottom);
	void GetItemMargins(float* left, float* top, float* right, float* bottom) const;

	// The item under a point of the menu's coordinates (separators
	// included), or NULL.
	BMenuItem* _ItemAt(BPoint where) const;
	BMenuItem* _Selected() const { return fSelected; }
	void _Select(BMenuItem* item);
	void _ComputeLayout();
	// An item of this menu changed how it looks or its size.
	void _ItemChanged(BMenuItem* item, bool sizeChanged);
	void _UpdateSuperLabel();

private:
	friend class BMenuItem;
	friend class BMenuBar;
	friend class BMenuField;
	friend class BPopUpMenu;
	friend class BPrivate::MenuSession;
	friend class BPrivate::MenuWindow;

	void _Init(menu_layout layout, bool resizeToFit);
	bool _AddItem(BMenuItem* item, int32 index);
	void _ItemRemoved(BMenuItem* item);
	void _DrawBackground(BRect updateRect);
	// Keyboard and pointer handling while the menu is open in a menu window.
	void _TrackPointer(uint32 what, BPoint screenWhere, uint32 buttons);
	void _TrackKey(const char* bytes);
	void _SelectNext(int32 direction);
	BMenuItem* _FindShortcut(uint32 key, uint32 modifiers) const;

	std::vector<BMenuItem*> fItems;   // owned
	BMenuItem* fSuperitem;            // not owned: the controlling item
	BMenuItem* fSelected;
	menu_layout fLayout;
	float fPad[4];                    // item margins: left, top, right, bottom
	float fMaxContentWidth;
	float fMinWidth;                  // at least as wide as what opened it
	float fPreferredWidth;
	float fPreferredHeight;
	bool fLayoutValid;
	bool fResizeToFit;
	bool fEnabled;
	bool fRadioMode;
	bool fLabelFromMarked;
	bool fTriggersEnabled;

	// While the menu is open: the session it belongs to and its depth
	// (0 for the menu that was opened first).
	std::shared_ptr<BPrivate::MenuSession> fSession;
	int32 fLevel;
};

#endif
