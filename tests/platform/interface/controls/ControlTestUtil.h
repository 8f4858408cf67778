// A looper that keeps copies of the messages it receives, for the control
// tests; and a window made for them.
#ifndef CONTROL_TEST_UTIL_H
#define CONTROL_TEST_UTIL_H

#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <Looper.h>
#include <Message.h>
#include <Window.h>

#include <memory>
#include <mutex>
#include <vector>

namespace controltest {

class Receiver : public BLooper {
public:
	static const uint32 kDrain = 'drai';

	Receiver() : BLooper("receiver") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kDrain)
			return;   // answered with B_NO_REPLY: the caller only waits
		std::lock_guard<std::mutex> lock(fMutex);
		fMessages.push_back(std::make_unique<BMessage>(*message));
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fMutex);
		return fMessages.size();
	}

	// A copy of the message at `index` (an empty message if there is none).
	BMessage At(size_t index)
	{
		std::lock_guard<std::mutex> lock(fMutex);
		return index < fMessages.size() ? *fMessages[index] : BMessage();
	}

	bool WaitFor(size_t count)
	{
		return testutil::wait_for([&] { return Count() >= count; });
	}

	// Messages sent so far have all arrived: a round trip through the queue.
	void Drain()
	{
		BMessenger self(this);
		BMessage reply;
		self.SendMessage(kDrain, &reply);
	}

	// Starts the looper and returns it; Quit with stop().
	static Receiver* Start()
	{
		Receiver* receiver = new Receiver;
		receiver->Run();
		return receiver;
	}

	static void Stop(Receiver* receiver)
	{
		if (receiver->Lock())
			receiver->Quit();
	}

private:
	std::mutex fMutex;
	std::vector<std::unique_ptr<BMessage>> fMessages;
};

inline BWindow* make_window(BRect frame = BRect(100, 100, 399, 299))
{
	return new BWindow(frame, "controls", B_TITLED_WINDOW, B_NOT_RESIZABLE);
}

// Centre of a view, in window coordinates.
BPoint centre_in_window(BView* view);

}

#endif
