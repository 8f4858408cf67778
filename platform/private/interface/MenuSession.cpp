#include "interface/MenuSession.h"

#include <Looper.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <Screen.h>
#include <Window.h>

#include "interface/MenuWindow.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>

namespace BPrivate {

namespace {

// One lock for every session: sessions are few and short, and one lock
// makes "is this menu open anywhere" a single question. These live as long
// as the process, since menu windows may still be finishing while it exits.
std::mutex& menu_lock()
{
	static std::mutex* lock = new std::mutex;
	return *lock;
}

// Signalled whenever a menu window lets go of its menu.
std::condition_variable& menu_released()
{
	static std::condition_variable* released = new std::condition_variable;
	return *released;
}

struct Attached {
	std::weak_ptr<MenuSession> session;
	MenuWindow* window;     // NULL while being made
};

// The menus that are open or on their way in or out, and their windows.
std::map<BMenu*, Attached>& attached_menus()
{
	static std::map<BMenu*, Attached>* menus = new std::map<BMenu*, Attached>;
	return *menus;
}

// The sessions handing their chosen item over, with the menu hierarchy
// the item belongs to and the thread doing it: that hierarchy is not
// deleted under them. Keyed by the session, never followed.
struct Delivering {
	BMenu* root;
	thread_id thread;
};

std::map<const MenuSession*, Delivering>& delivering_sessions()
{
	static auto* sessions = new std::map<const MenuSession*, Delivering>;
	return *sessions;
}

// Keeps a rectangle on the screen, moving it as little as possible.
BRect fit_on_screen(BRect frame)
{
	BScreen screen;
	BRect bounds = screen.Frame();
	if (frame.right > bounds.right)
		frame.OffsetBy(bounds.right - frame.right, 0);
	if (frame.bottom > bounds.bottom)
		frame.OffsetBy(0, bounds.bottom - frame.bottom);
	if (frame.left < bounds.left)
		frame.OffsetBy(bounds.left - frame.left, 0);
	if (frame.top < bounds.top)
		frame.OffsetBy(0, bounds.top - frame.top);
	return frame;
}

// A drag (rather than the wobble of a click) once the pointer has moved
// this far from the press, in pixels.
const float kDragDistance = 3;

// A menu that is still on its way out of a window it was just closed in is
// waited for this long before it opens again; closing takes a moment.
const auto kReleaseWait = std::chrono::seconds(2);

// With the lock held: waits until `menu` is no longer in a menu window.
bool wait_released(std::unique_lock<std::mutex>& lock, BMenu* menu)
{
	return menu_released().wait_for(lock, kReleaseWait, [menu]() {
		return attached_menus().count(menu) == 0;
	});
}

}

MenuSession::~MenuSession() = default;

std::shared_ptr<MenuSession> MenuSession::Open(BMenu* root, const MenuOptions& options)
{
	if (root == NULL || root->CountItems() == 0)
		return nullptr;
	auto session = std::make_shared<MenuSession>();
	session->fOptions = options;
	session->fRoot = root;
	{
		std::unique_lock<std::mutex> lock(menu_lock());
		// A menu that was just closed may still be leaving its window.
		auto found = attached_menus().find(root);
		if (found != attached_menus().end()) {
			std::shared_ptr<MenuSession> other = found->second.session.lock();
			if (other != nullptr && !other->fFinished)
				return nullptr;
			if (!wait_released(lock, root))
				return nullptr;
		}
		attached_menus()[root] = Attached{session, NULL};
		session->fOpenWindows = 1;
		session->fLevels.push_back(Level{root, NULL, BMessenger(), BRect()});
	}

	// The menu is ours now: nobody draws it while it is laid out.
	root->fMinWidth = options.anchor.IsValid() ? options.anchor.Width() : 0;
	root->fLayoutValid = false;
	root->_ComputeLayout();
	BPoint leftTop = options.where;
	if (options.anchor.IsValid()) {
		leftTop.x = options.anchor.left;
		BMenuItem* marked = options.overMarked ? root->FindMarked() : NULL;
		if (marked != NULL)
			leftTop.y = options.anchor.top - marked->Frame().top;
		else
			leftTop.y = options.anchor.bottom + 1;
	}
	BRect frame(leftTop.x, leftTop.y, leftTop.x + root->fPreferredWidth,
		leftTop.y + root->fPreferredHeight);
	frame = fit_on_screen(frame);

	if (options.selectMarked) {
		BMenuItem* marked = root->FindMarked();
		if (marked != NULL && marked->IsEnabled())
			root->_Select(marked);
		else
			root->_SelectNext(1);
	}
	session->_OpenWindow(root, 0, frame, true);
	return session;
}

void MenuSession::_OpenWindow(BMenu* menu, int32 level, BRect frame, bool takesFocus)
{
	menu->fSession = shared_from_this();
	menu->fLevel = level;
	MenuWindow* window = new MenuWindow(frame, takesFocus);
	window->AttachMenu(menu, shared_from_this(), level);
	BMessenger messenger(window);
	bool keep = false;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		for (Level& entry : fLevels) {
			if (entry.menu == menu && entry.window == NULL) {
				entry.window = window;
				entry.messenger = messenger;
				entry.frame = frame;
				keep = true;
				break;
			}
		}
		auto found = attached_menus().find(menu);
		if (found != attached_menus().end())
			found->second.window = window;
	}
	if (keep) {
		window->Show();
	} else {
		// Closed while it was being made: it runs only to let go of the
		// menu.
		window->Run();
		messenger.SendMessage(kMsgMenuClose);
	}
}

BMenuItem* MenuSession::Wait()
{
	std::unique_lock<std::mutex> lock(menu_lock());
	fDone.wait(lock, [this]() { return fCompleted; });
	return fResult;
}

// ---- Input

void MenuSession::Pointer(MenuWindow* from, uint32 what, BPoint screenWhere,
	uint32 buttons)
{
	Level target{NULL, NULL, BMessenger(), BRect()};
	bool found = false;
	bool cancel = false;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		if (fFinished)
			return;
		if (what == B_MOUSE_MOVED && buttons != 0) {
			float dx = screenWhere.x - fOptions.start.x;
			float dy = screenWhere.y - fOptions.start.y;
			if (dx * dx + dy * dy > kDragDistance * kDragDistance)
				fDragged = true;
		}
		for (auto it = fLevels.rbegin(); it != fLevels.rend(); ++it) {
			if (it->window != NULL && it->frame.Contains(screenWhere)) {
				target = *it;
				found = true;
				break;
			}
		}
		if (found && what == B_MOUSE_DOWN)
			fPressedInMenu = true;
		if (!found) {
			bool openingClick = !fPressedInMenu && !fDragged;
			if (what == B_MOUSE_DOWN)
				cancel = true;
			else if (what == B_MOUSE_UP) {
				bool inClickRect = fOptions.clickToOpen.IsValid()
					&& fOptions.clickToOpen.Contains(screenWhere);
				cancel = !(openingClick && (fOptions.sticky || inClickRect));
			}
		}
	}
	if (cancel) {
		Cancel();
		return;
	}
	if (!found)
		return;
	if (target.window == from && from != NULL) {
		target.menu->_TrackPointer(what, screenWhere, buttons);
		return;
	}
	BMessage message(kMsgMenuPointer);
	message.AddInt32("what", (int32)what);
	message.AddPoint("where", screenWhere);
	message.AddInt32("buttons", (int32)buttons);
	target.messenger.SendMessage(&message);
}

void MenuSession::Key(MenuWindow* from, const char* bytes)
{
	if (bytes == NULL || bytes[0] == '\0')
		return;
	Level target{NULL, NULL, BMessenger(), BRect()};
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		if (fFinished)
			return;
		for (auto it = fLevels.rbegin(); it != fLevels.rend(); ++it) {
			if (it->window != NULL) {
				target = *it;
				break;
			}
		}
	}
	if (target.menu == NULL)
		return;
	if (target.window == from && from != NULL) {
		target.menu->_TrackKey(bytes);
		return;
	}
	BMessage message(kMsgMenuKey);
	message.AddString("bytes", bytes);
	target.messenger.SendMessage(&message);
}

bool MenuSession::IsAttached(BMenu* menu)
{
	std::lock_guard<std::mutex> lock(menu_lock());
	return attached_menus().count(menu) != 0;
}

bool MenuSession::ReleaseChooses() const
{
	std::lock_guard<std::mutex> lock(menu_lock());
	return fPressedInMenu || fDragged || !fOptions.sticky;
}

// ---- Opening and closing

void MenuSession::OpenSubmenu(int32 level, BMenuItem* item, bool selectFirst)
{
	BMenu* submenu = item != NULL ? item->Submenu() : NULL;
	BMenu* parent = item != NULL ? item->Menu() : NULL;
	if (submenu == NULL || parent == NULL || level < 0)
		return;
	// The parent is open in the calling thread's window.
	BRect itemFrame = parent->ConvertToScreen(item->Frame());
	BRect parentFrame = parent->ConvertToScreen(parent->Bounds());

	std::vector<Level> closing;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		if (fFinished || level >= (int32)fLevels.size() || fLevels[level].menu != parent)
			return;
		if (level + 1 < (int32)fLevels.size() && fLevels[level + 1].menu == submenu)
			return;
		closing.assign(fLevels.begin() + level + 1, fLevels.end());
		fLevels.resize(level + 1);
	}
	_PostClose(closing);
	if (submenu->CountItems() == 0)
		return;
	{
		std::unique_lock<std::mutex> lock(menu_lock());
		// The submenu may be leaving the window it was open in a moment ago
		// (the user went back to it): that window never waits for this one.
		if (attached_menus().count(submenu) != 0 && !wait_released(lock, submenu))
			return;
		if (fFinished || (int32)fLevels.size() != level + 1 || fLevels[level].menu != parent)
			return;
		attached_menus()[submenu] = Attached{shared_from_this(), NULL};
		fOpenWindows++;
		fLevels.push_back(Level{submenu, NULL, BMessenger(), BRect()});
	}

	submenu->fMinWidth = 0;
	submenu->fLayoutValid = false;
	submenu->_ComputeLayout();
	float width = submenu->fPreferredWidth;
	float height = submenu->fPreferredHeight;
	// Beside the parent, its first item level with the controlling item.
	float top = itemFrame.top;
	if (BMenuItem* first = submenu->ItemAt(0))
		top -= first->Frame().top;
	BRect frame(parentFrame.right + 1, top, parentFrame.right + 1 + width, top + height);
	BScreen screen;
	if (frame.right > screen.Frame().right)
		frame.OffsetTo(parentFrame.left - 1 - width, frame.top);
	frame = fit_on_screen(frame);
	if (selectFirst)
		submenu->_SelectNext(1);
	_OpenWindow(submenu, level + 1, frame, false);
}

void MenuSession::CloseAbove(int32 level)
{
	std::vector<Level> closing;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		if (fFinished || level + 1 >= (int32)fLevels.size())
			return;
		closing.assign(fLevels.begin() + level + 1, fLevels.end());
		fLevels.resize(level + 1);
	}
	_PostClose(closing);
}

void MenuSession::Choose(BMenuItem* item)
{
	_Finish(item);
}

void MenuSession::Cancel()
{
	_Finish(NULL);
}

void MenuSession::_Finish(BMenuItem* item)
{
	std::vector<Level> closing;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		if (fFinished)
			return;
		fFinished = true;
		fResult = item;
		closing.swap(fLevels);
	}
	_PostClose(closing);
}

void MenuSession::_PostClose(const std::vector<Level>& levels)
{
	// Deepest first, so submenus go before the menus they came from.
	for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
		if (it->messenger.IsValid())
			it->messenger.SendMessage(kMsgMenuClose);
	}
}

void MenuSession::WindowClosed(BMenu* menu)
{
	const thread_id self = find_thread(NULL);
	bool complete = false;
	BMenuItem* result = NULL;
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		attached_menus().erase(menu);
		fOpenWindows--;
		if (fFinished && fOpenWindows == 0 && !fCompleted) {
			fCompleted = true;
			complete = true;
			result = fResult;
			delivering_sessions()[this] = Delivering{fRoot, self};
		}
	}
	menu_released().notify_all();
	if (!complete)
		return;
	// (With autoDestruct, this session may be gone once _Complete returns:
	// from here on `this` is only a key.)
	_Complete(result);
	{
		std::lock_guard<std::mutex> lock(menu_lock());
		delivering_sessions().erase(this);
	}
	menu_released().notify_all();
}

void MenuSession::_Complete(BMenuItem* item)
{
	if (fOptions.owner.IsValid()) {
		BMessage done(kMsgMenuDone);
		done.AddPointer("session", this);
		done.AddPointer("item", item);
		fOptions.owner.SendMessage(&done);
		return;
	}
	if (fOptions.synchronous) {
		fDone.notify_all();
		return;
	}
	DeliverResult(item);
	if (fOptions.autoDestruct) {
		BMenu* root;
		{
			std::lock_guard<std::mutex> lock(menu_lock());
			root = fRoot;
			fRoot = NULL;
		}
		delete root;
	}
}

void MenuSession::MenuDeleted(BMenu* menu)
{
	const thread_id thisThread = find_thread(NULL);
	std::shared_ptr<MenuSession> session;
	MenuWindow* window = NULL;
	{
		std::unique_lock<std::mutex> lock(menu_lock());
		// A session still handing over an item of this menu's hierarchy
		// (its windows all closed) finishes first, unless that is this
		// thread. Bounded, as the hand-over may be waiting for this
		// thread's looper, should its queue be full.
		menu_released().wait_for(lock, kReleaseWait, [&]() {
			for (const auto& [delivering, entry] : delivering_sessions()) {
				(void)delivering;
				if (entry.root == menu && entry.thread != thisThread)
					return false;
			}
			return true;
		});
		auto found = attached_menus().find(menu);
		if (found == attached_menus().end())
			return;
		session = found->second.session.lock();
		window = found->second.window;
		if (session == nullptr)
			return;
		// Whatever was chosen goes with the menu hierarchy.
		if (session->fRoot == menu || (session->fResult != NULL
				&& session->fResult->Menu() == menu)) {
			session->fResult = NULL;
		}
		if (session->fRoot == menu)
			session->fRoot = NULL;
	}
	session->Cancel();

	if (window != NULL && BLooper::LooperForThread(find_thread(NULL)) == window) {
		if (window->DetachMenu(menu))
			session->WindowClosed(menu);
		return;
	}
	// Every window of the session lets go of its menu in its own thread; none
	// waits for the thread that deletes the menu, so this wait ends. The
	// wait covers the open submenus too: they are deleted with this menu's
	// items, and a window still detaching one would call into it while its
	// derived parts are being destroyed.
	// (A window of the session whose thread is this one cannot let go
	// while we wait, so it is not waited for.)
	BLooper* self = BLooper::LooperForThread(find_thread(NULL));
	std::unique_lock<std::mutex> lock(menu_lock());
	menu_released().wait(lock, [&]() {
		for (const auto& [attached, entry] : attached_menus()) {
			(void)attached;
			if (entry.session.lock() == session
				&& (entry.window == NULL || entry.window != self))
				return false;
		}
		return true;
	});
}

// ---- Delivering

void MenuSession::DeliverResult(BMenuItem* item) const
{
	if (item == NULL)
		return;
	BMenu* menu = item->Menu();
	if (menu != NULL && menu->IsRadioMode())
		item->SetMarked(true);
	if (fOptions.deliver)
		InvokeItem(item, NULL, fOptions.home);
}

status_t MenuSession::InvokeItem(BMenuItem* item, BMessage* message, BMessenger home)
{
	if (!item->IsEnabled())
		return B_NOT_ALLOWED;
	if (message == NULL)
		message = item->Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", item);
	copy.AddInt32("index", item->Menu() != NULL ? item->Menu()->IndexOf(item) : -1);

	if (item->Target() != NULL || item->Messenger().IsValid())
		return item->BInvoker::Invoke(&copy);
	if (!home.IsValid()) {
		// The window that holds the menu hierarchy: a menu bar's window.
		BMenu* top = item->Menu();
		while (top != NULL && top->Supermenu() != NULL)
			top = top->Supermenu();
		BWindow* window = top != NULL ? top->Window() : NULL;
		if (window != NULL && dynamic_cast<MenuWindow*>(window) == NULL)
			home = BMessenger(window);
	}
	if (home.IsValid())
		return home.SendMessage(&copy, item->HandlerForReply(), item->Timeout());
	return item->BInvoker::Invoke(&copy);
}

}
