// Helpers for the text view tests: a window that keeps the messages its
// controls send, keys held with modifiers, and work done under the lock.
#ifndef TEXT_TEST_UTIL_H
#define TEXT_TEST_UTIL_H

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Message.h>
#include <Window.h>

#include "display/DisplayServer.h"

#include <mutex>
#include <vector>

namespace texttest {

// Key scan codes (USB HID usage ids).
enum : uint32 {
	kA = 4, kC = 6, kV = 25, kX = 27,
	kReturn = 40, kEscape = 41, kBackspace = 42, kTab = 43,
	kHome = 74, kPageUp = 75, kDelete = 76, kEnd = 77, kPageDown = 78,
	kRight = 79, kLeft = 80, kDown = 81, kUp = 82,
	kLeftControl = 224, kLeftShift = 225, kLeftAlt = 226
};

// Keeps a copy of every message that reaches the window's MessageReceived.
class RecordingWindow : public BWindow {
public:
	explicit RecordingWindow(BRect frame = BRect(100, 100, 419, 259))
		: BWindow(frame, "text", B_TITLED_WINDOW, B_NOT_RESIZABLE) {}

	void MessageReceived(BMessage* message) override
	{
		{
			std::lock_guard<std::mutex> lock(fLock);
			fMessages.push_back(*message);
		}
		BWindow::MessageReceived(message);
	}

	int32 Count(uint32 what)
	{
		std::lock_guard<std::mutex> lock(fLock);
		int32 count = 0;
		for (const BMessage& message : fMessages)
			count += message.what == what;
		return count;
	}

	std::vector<BMessage> Messages(uint32 what)
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<BMessage> matching;
		for (const BMessage& message : fMessages) {
			if (message.what == what)
				matching.push_back(message);
		}
		return matching;
	}

	void Forget()
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.clear();
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

// Presses or releases a key without typing (a modifier, say).
inline void hold(BWindow* window, uint32 scancode, bool down)
{
	display::KeyInput input;
	input.scancode = scancode;
	input.down = down;
	input.when = display::display_clock();
	display::DisplayServer::Get()->InjectKey(
		BPrivate::WindowAccess::NativeWindow(window), input);
	windowtest::settle(window);
}

// A key pressed while a modifier key is held.
inline void chord(BWindow* window, uint32 modifier, uint32 scancode)
{
	hold(window, modifier, true);
	windowtest::key(window, scancode);
	hold(window, modifier, false);
}

// Runs `work` with the window locked and returns what it returns.
template<typename Work>
auto locked(BWindow* window, Work work) -> decltype(work())
{
	struct Unlock {
		BWindow* window;
		~Unlock() { window->Unlock(); }
	};
	window->Lock();
	Unlock unlock{window};
	return work();
}

}

#endif
