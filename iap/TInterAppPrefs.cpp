#include "TInterAppPrefs.h"

#include "IAPDefs.h"
#include "TIAPItem.h"
#include "TIAPPortManager.h"

#include <View.h>

#include <memory>
#include <vector>

TInterAppPrefs* gIAP = nullptr;

namespace {

// The port manager makes its port at once; a window whose manager has not
// made it after this long is taken as failed rather than hanging the caller.
const bigtime_t kPortWaitStep = 20000;
const bigtime_t kPortWaitLimit = 10000000;

// The message that describes one configuration view of `item`: the view's
// deep archive and the value fields of the same value.
bool archive_component(TIAPItem* item, bool dflt, BMessage* out, std::string* viewName)
{
	BView* view = nullptr;
	if (item->MakeConfigurationView(&view, dflt) != 0 || view == nullptr)
		return false;
	std::unique_ptr<BView> owned(view);
	*viewName = view->Name() != nullptr ? view->Name() : item->Name();
	if (view->Archive(out, true) != B_OK)
		return false;
	return item->GetValue(out, dflt) == 0;
}

}

TInterAppPrefs::TInterAppPrefs()
	:
	fWindowOwner(false),
	fAppSignature(nullptr),
	fLLT(nullptr)
{
}

TInterAppPrefs::~TInterAppPrefs()
{
	QuitWindow();
	for (auto& [name, item] : fItems)
		delete item;
}

status_t TInterAppPrefs::AddItem(TIAPItem* item)
{
	if (item == nullptr)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> lock(fLock);
	auto [where, added] = fItems.emplace(item->Name(), item);
	if (!added) {
		delete item;
		return B_NAME_IN_USE;
	}
	item->SetAppSignatureRef(fAppSignature);
	item->SetLLTRef(fLLT);
	return B_OK;
}

status_t TInterAppPrefs::SetAppSignatureRef(const char* signature)
{
	std::lock_guard<std::mutex> lock(fLock);
	fAppSignature = signature;
	for (auto& [name, item] : fItems)
		item->SetAppSignatureRef(signature);
	return 0;
}

status_t TInterAppPrefs::SetLLTRef(TLLT* table)
{
	std::lock_guard<std::mutex> lock(fLock);
	fLLT = table;
	for (auto& [name, item] : fItems)
		item->SetLLTRef(table);
	return 0;
}

const char* TInterAppPrefs::AppSignatureRef() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fAppSignature;
}

TLLT* TInterAppPrefs::LLTRef() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fLLT;
}

TIAPItem* TInterAppPrefs::FindItem(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	std::lock_guard<std::mutex> lock(fLock);
	auto found = fItems.find(name);
	return found != fItems.end() ? found->second : nullptr;
}

status_t TInterAppPrefs::GetBool(const char* name, bool* value) const
{
	TIAPItem* item = FindItem(name);
	return item != nullptr ? item->GetBool(value, false) : -1;
}

status_t TInterAppPrefs::GetString(const char* name, std::string* value) const
{
	TIAPItem* item = FindItem(name);
	return item != nullptr ? item->GetString(value, false) : -1;
}

status_t TInterAppPrefs::SetBool(const char* name, bool value)
{
	TIAPItem* item = FindItem(name);
	return item != nullptr ? item->SetBool(value) : -1;
}

status_t TInterAppPrefs::SetString(const char* name, const std::string& value)
{
	TIAPItem* item = FindItem(name);
	return item != nullptr ? item->SetString(value) : -1;
}

status_t TInterAppPrefs::SetValue(const BMessage& msg)
{
	const char* name = nullptr;
	if (msg.FindString(kIAPFieldSrcItem, &name) != B_OK)
		return -1;
	TIAPItem* item = FindItem(name);
	return item != nullptr ? item->SetValue(msg) : -1;
}

void TInterAppPrefs::SetWindowMaker(window_maker maker, window_quitter quitter)
{
	std::lock_guard<std::mutex> lock(fLock);
	fWindowMaker = std::move(maker);
	fWindowQuitter = std::move(quitter);
}

void TInterAppPrefs::QuitWindow()
{
	std::lock_guard<std::mutex> making(fWindowLock);
	if (!fWindowOwner)
		return;
	window_quitter quitter;
	{
		std::lock_guard<std::mutex> lock(fLock);
		quitter = fWindowQuitter;
	}
	if (quitter)
		quitter();
	fWindowOwner = false;
}

status_t TInterAppPrefs::ShowWindow(BRect frame)
{
	port_id port = find_port(kIAPPortName);
	if (port < 0) {
		// Without a port (no window made, or its port failed) nobody can
		// take the items: that is the result.
		port = CreateAndShowWindow(frame);
		if (port < 0)
			return port;
	} else {
		ActivateWindow(port);
	}
	AddComponents(port);
	return 0;
}

port_id TInterAppPrefs::CreateAndShowWindow(BRect frame)
{
	window_maker maker;
	{
		std::lock_guard<std::mutex> lock(fLock);
		maker = fWindowMaker;
	}
	if (!maker)
		return B_UNSUPPORTED;

	std::lock_guard<std::mutex> making(fWindowLock);
	const TIAPPortManager* manager = maker(frame);
	if (manager == nullptr)
		return B_ERROR;
	fWindowOwner = true;

	bigtime_t waited = 0;
	while (manager->Port() == kIAPPortPending && waited < kPortWaitLimit) {
		snooze(kPortWaitStep);
		waited += kPortWaitStep;
	}
	const port_id port = manager->Port();
	return port >= 0 ? port : kIAPPortFailed;
}

status_t TInterAppPrefs::ActivateWindow(port_id port) const
{
	BMessage msg(kIAPActivateWindow);
	return SendMessage(port, &msg);
}

status_t TInterAppPrefs::CloseWindow(bool force) const
{
	const port_id port = find_port(kIAPPortName);
	if (port < 0)
		return 0;
	if (!force && !fWindowOwner)
		return -1;
	BMessage msg(B_QUIT_REQUESTED);
	SendMessage(port, &msg);
	return 0;
}

status_t TInterAppPrefs::AddComponents(port_id port)
{
	// The items are collected first: the views are built and the port
	// written without holding the store's lock.
	std::vector<TIAPItem*> items;
	{
		std::lock_guard<std::mutex> lock(fLock);
		for (auto& [name, item] : fItems)
			items.push_back(item);
	}

	BMessage components(kIAPAddComponents);
	for (TIAPItem* item : items) {
		// Index 0 and 1 describe the current value (the window keeps 1 as
		// its working copy), index 2 the default one.
		// An item that cannot describe both is left out rather than sent
		// with a layout the window would misread.
		BMessage current;
		BMessage dflt;
		std::string name;
		if (!archive_component(item, false, &current, &name)
			|| !archive_component(item, true, &dflt, &name))
			continue;
		components.AddMessage(name.c_str(), &current);
		components.AddMessage(name.c_str(), &current);
		components.AddMessage(name.c_str(), &dflt);
	}
	SendMessage(port, &components);
	return 0;
}

status_t TInterAppPrefs::SendMessage(port_id port, BMessage* msg) const
{
	if (msg == nullptr)
		return B_BAD_VALUE;
	const ssize_t size = msg->FlattenedSize();
	if (size <= 0)
		return size < 0 ? (status_t)size : B_ERROR;
	std::vector<char> buffer(size);
	status_t status = msg->Flatten(buffer.data(), size);
	if (status != B_OK)
		return status;
	return write_port(port, kIAPPortRecordCode, buffer.data(), buffer.size());
}
