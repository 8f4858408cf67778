#include <PopUpMenu.h>

#include <Looper.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>

#include "interface/MenuSession.h"

static BPrivate::InstantiationRegistrar sPopUpRegistrar("BPopUpMenu",
	BPopUpMenu::Instantiate);

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked,
	menu_layout layout)
	:
	BMenu(name, layout),
	fAutoDestruct(false)
{
	SetRadioMode(radioMode);
	if (labelFromMarked)
		SetLabelFromMarked(true);
}

BPopUpMenu::BPopUpMenu(BMessage* archive)
	:
	BMenu(archive),
	fAutoDestruct(false)
{
}

BPopUpMenu::~BPopUpMenu()
{
}

BArchivable* BPopUpMenu::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BPopUpMenu"))
		return NULL;
	return new BPopUpMenu(archive);
}

status_t BPopUpMenu::Archive(BMessage* archive, bool deep) const
{
	return BMenu::Archive(archive, deep);
}

BMenuItem* BPopUpMenu::Go(BPoint screenPoint, bool deliversMessage, bool openAnyway,
	bool asynchronous)
{
	return _Go(screenPoint, deliversMessage, openAnyway, NULL, asynchronous);
}

BMenuItem* BPopUpMenu::Go(BPoint screenPoint, bool deliversMessage, bool openAnyway,
	BRect clickToOpen, bool asynchronous)
{
	return _Go(screenPoint, deliversMessage, openAnyway, &clickToOpen, asynchronous);
}

BMenuItem* BPopUpMenu::_Go(BPoint screenPoint, bool deliversMessage, bool openAnyway,
	const BRect* clickToOpen, bool asynchronous)
{
	BPrivate::MenuOptions options;
	options.where = screenPoint;
	options.start = screenPoint;
	options.deliver = deliversMessage;
	options.sticky = openAnyway;
	if (clickToOpen != NULL)
		options.clickToOpen = *clickToOpen;
	options.synchronous = !asynchronous;
	options.autoDestruct = asynchronous && fAutoDestruct;
	// Items without a target report to the looper that opened the menu.
	if (BLooper* looper = BLooper::LooperForThread(find_thread(NULL)))
		options.home = BMessenger(looper);

	std::shared_ptr<BPrivate::MenuSession> session
		= BPrivate::MenuSession::Open(this, options);
	if (session == nullptr) {
		// Nothing to show: a self-destroying menu still goes, as promised.
		if (asynchronous && fAutoDestruct && CountItems() == 0)
			delete this;
		return NULL;
	}
	if (asynchronous)
		return NULL;
	BMenuItem* item = session->Wait();
	session->DeliverResult(item);
	return item;
}

void BPopUpMenu::SetAsyncAutoDestruct(bool on)
{
	fAutoDestruct = on;
}

bool BPopUpMenu::AsyncAutoDestruct() const
{
	return fAutoDestruct;
}
