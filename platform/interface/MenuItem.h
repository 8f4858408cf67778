// BMenuItem: one entry of a menu. An item has a label, a model message that
// it sends when the user chooses it (as a BInvoker), an optional keyboard
// shortcut, a check mark, and it can be enabled or disabled. An item made
// with a BMenu is that menu's controlling item: choosing it opens the menu.
//
// Invoke() sends a copy of the message with "when" (int64, the time of the
// choice), "source" (pointer, the item) and "index" (int32, the item's
// position in its menu). Without a target of its own the message goes to the
// window that holds the menu hierarchy (the window of its menu bar or menu
// field), or to be_app_messenger when there is none.
//
// Shortcuts are shown at the right edge of the item as the keyboard names
// them: B_COMMAND_KEY is Alt on this platform, so 'S' with B_COMMAND_KEY
// reads "Alt+S". The window's key menu bar turns Alt+S into the item's
// invocation (see BMenuBar).
//
// Ownership. The item owns its label (a copy), its message and its submenu.
// A menu owns the items that were added to it. Archive fields: "_label",
// "_msg", "_shortcut" and "_mods" (int32), "_disable", "_marked" (bool),
// "_trigger" (int32), "_submenu" (the submenu's archive).
//
// BSeparatorItem: a line between groups of items; it is never chosen.
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Archivable.h>
#include <Invoker.h>
#include <Rect.h>

class BMenu;
class BMessage;

namespace BPrivate {
class MenuSession;
class MenuWindow;
}

class BMenuItem : public BArchivable, public BInvoker {
public:
	BMenuItem(const char* label, BMessage* message, char shortcut = 0,
		uint32 modifiers = 0);
	BMenuItem(BMenu* submenu, BMessage* message = NULL);
	BMenuItem(BMessage* archive);
	virtual ~BMenuItem();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void SetLabel(const char* label);
	virtual void SetEnabled(bool enabled);
	// In a menu in radio mode, marking an item unmarks the others; in a menu
	// whose label follows the marked item, the controlling item takes the
	// label.
	virtual void SetMarked(bool marked);
	virtual void SetTrigger(char trigger);
	virtual void SetShortcut(char shortcut, uint32 modifiers);

	const char* Label() const;
	// False also while the menu it belongs to is disabled.
	bool IsEnabled() const;
	bool IsMarked() const;
	char Trigger() const;
	char Shortcut(uint32* modifiers = NULL) const;

	BMenu* Submenu() const;
	BMenu* Menu() const;
	// The item's rectangle in its menu's coordinates (valid once the menu
	// has been laid out: shown, or asked for its preferred size).
	BRect Frame() const;

	virtual status_t Invoke(BMessage* message = NULL);

protected:
	virtual void GetContentSize(float* width, float* height);
	virtual void DrawContent();
	virtual void Draw();
	virtual void Highlight(bool highlighted);
	bool IsSelected() const;
	BPoint ContentLocation() const;

private:
	friend class BMenu;
	friend class BMenuBar;
	friend class BPrivate::MenuSession;
	friend class BPrivate::MenuWindow;

	void _Init(const char* label, BMessage* message, char shortcut, uint32 modifiers);
	void _SetSuper(BMenu* menu);
	void _DrawMark(BRect frame);
	void _DrawShortcut(BRect frame);
	void _DrawSubmenuArrow(BRect frame);
	float _ShortcutWidth() const;

	char* fLabel;
	BMenu* fSubmenu;      // owned
	BMenu* fSuper;        // not owned: the menu that holds the item
	BRect fFrame;
	uint32 fModifiers;
	char fShortcut;
	char fTrigger;
	bool fEnabled;
	bool fMarked;
	bool fSelected;
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	BSeparatorItem(BMessage* archive);
	virtual ~BSeparatorItem();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	// A separator is never enabled.
	virtual void SetEnabled(bool enabled);

protected:
	virtual void GetContentSize(float* width, float* height);
	virtual void Draw();
};

// Text for a shortcut as the item shows it ("Alt+S", "Ctrl+Alt+Shift+Q").
namespace BPrivate {
void shortcut_text(char shortcut, uint32 modifiers, char* buffer, size_t size);
}

#endif
