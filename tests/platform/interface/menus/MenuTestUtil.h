// Helpers for the menu tests: a looper that keeps what it receives, a
// pop-up menu that tells which window it is open in, and input for windows
// that close because of it.
#ifndef MENU_TEST_UTIL_H
#define MENU_TEST_UTIL_H

#include <Looper.h>
#include <Message.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "TestUtil.h"
#include "interface/MenuSession.h"
#include "WindowTestUtil.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace menutest {

// Keeps a copy of every message it is sent.
class Collector : public BLooper {
public:
	Collector() : BLooper("collector") {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}
	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages.size();
	}
	BMessage At(size_t index)
	{
		std::lock_guard<std::mutex> lock(fLock);
		return index < fMessages.size() ? fMessages[index] : BMessage();
	}
	bool WaitFor(size_t count) { return testutil::wait_for([&] { return Count() >= count; }); }
private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

inline Collector* start_collector()
{
	Collector* collector = new Collector;
	collector->Run();
	return collector;
}

inline void stop(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

// A pop-up menu that publishes the window it is open in, and its deletion.
class ProbeMenu : public BPopUpMenu {
public:
	explicit ProbeMenu(const char* name, bool radio = true, bool labelFromMarked = true,
		std::atomic<bool>* deleted = nullptr)
		: BPopUpMenu(name, radio, labelFromMarked), fDeleted(deleted) {}
	~ProbeMenu() override { if (fDeleted != nullptr) *fDeleted = true; }
	void AttachedToWindow() override
	{
		BPopUpMenu::AttachedToWindow();
		window = Window();
	}
	void DetachedFromWindow() override
	{
		window = nullptr;
		BPopUpMenu::DetachedFromWindow();
	}
	BWindow* WaitOpen()
	{
		testutil::wait_for([&] { return window.load() != nullptr; });
		return window.load();
	}
	// Closed, and let go of by its window.
	bool WaitClosed()
	{
		return testutil::wait_for([&] {
			return window.load() == nullptr && !BPrivate::MenuSession::IsAttached(this);
		});
	}
	std::atomic<BWindow*> window{nullptr};
private:
	std::atomic<bool>* fDeleted;
};

inline BMenuItem* add_item(BMenu* menu, const char* label, uint32 what,
	char shortcut = 0, uint32 modifiers = 0)
{
	BMenuItem* item = new BMenuItem(label, new BMessage(what), shortcut, modifiers);
	menu->AddItem(item);
	return item;
}

inline const char* str(const BMessage& message, const char* name)
{
	const char* value = "";
	message.FindString(name, &value);
	return value;
}

inline int64 i64(const BMessage& message, const char* name)
{
	int64 value = -1;
	message.FindInt64(name, &value);
	return value;
}

inline int32 i32(const BMessage& message, const char* name)
{
	int32 value = -1;
	message.FindInt32(name, &value);
	return value;
}

inline void* ptr(const BMessage& message, const char* name)
{
	void* value = nullptr;
	message.FindPointer(name, &value);
	return value;
}

// A window's frame, read under its lock (its thread may be updating it).
inline BRect frame_of(BWindow* window)
{
	window->Lock();
	BRect frame = window->Frame();
	window->Unlock();
	return frame;
}

inline BPoint center(BMenuItem* item)
{
	BRect frame = item->Frame();
	return BPoint(floorf((frame.left + frame.right) / 2), floorf((frame.top + frame.bottom) / 2));
}

// Input for a window that may close because of it: the window is not
// touched after the input was given.
void click_and_forget(BWindow* window, BPoint where);
void button_and_forget(BWindow* window, BPoint where, bool down);
void key_and_forget(BWindow* window, uint32 scancode);
// A key pressed with Alt held.
void alt_key(BWindow* window, uint32 scancode);

const uint32 kKeyReturn = 40;
const uint32 kKeyEscape = 41;
const uint32 kKeyRight = 79;
const uint32 kKeyLeft = 80;
const uint32 kKeyDown = 81;
const uint32 kKeyUp = 82;
const uint32 kKeySpace = 44;
const uint32 kKeyS = 22;

}

#endif
