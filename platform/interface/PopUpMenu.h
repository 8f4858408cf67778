// BPopUpMenu: a menu used on its own: opened by Go() wherever the program
// wants it, or shown by a menu field. By default it is in radio mode and
// its controlling item (in a menu field) shows the marked item's label.
//
// Go(screenPoint, deliversMessage, openAnyway, asynchronous) opens the menu
// with its left-top corner at the point:
// - synchronous (the default): blocks until the user chose an item or
//   closed the menu, and returns the item (NULL when cancelled); the
//   chosen item's message is sent only with deliversMessage. Called from a
//   window's thread it blocks that window, while the menu keeps working in
//   its own window and thread.
// - asynchronous: returns NULL at once; the chosen item is marked (radio
//   mode) and, with deliversMessage, invoked when the user chooses it. With
//   SetAsyncAutoDestruct(true) the menu deletes itself when it closes.
// openAnyway: the release of the mouse button that opened the menu leaves
// it open, to be used with further clicks; without it, a release away from
// the items closes the menu (but one inside clickToOpen does not).
// An empty menu, or one that is already open, does not open: Go() returns
// NULL at once.
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
		menu_layout layout = B_ITEMS_IN_COLUMN);
	BPopUpMenu(BMessage* archive);
	virtual ~BPopUpMenu();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	BMenuItem* Go(BPoint screenPoint, bool deliversMessage = false,
		bool openAnyway = false, bool asynchronous = false);
	BMenuItem* Go(BPoint screenPoint, bool deliversMessage, bool openAnyway,
		BRect clickToOpen, bool asynchronous = false);

	void SetAsyncAutoDestruct(bool on);
	bool AsyncAutoDestruct() const;

private:
	BMenuItem* _Go(BPoint screenPoint, bool deliversMessage, bool openAnyway,
		const BRect* clickToOpen, bool asynchronous);

	bool fAutoDestruct;
};

#endif
