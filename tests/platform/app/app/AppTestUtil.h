// Helpers for the Application Kit tests: a looper that records what it
// receives, and a handler that does the same.
#ifndef APP_TEST_UTIL_H
#define APP_TEST_UTIL_H

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace apptest {

// Shared record of received messages, readable from the test's thread.
class Log {
public:
	void Add(uint32 what, int32 number = 0)
	{
		std::lock_guard<std::mutex> lock(fLock);
		fEntries.push_back({what, number});
	}
	size_t Count() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fEntries.size();
	}
	size_t Count(uint32 what) const
	{
		std::lock_guard<std::mutex> lock(fLock);
		size_t n = 0;
		for (const auto& e : fEntries)
			n += e.first == what;
		return n;
	}
	std::vector<int32> Numbers() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<int32> numbers;
		for (const auto& e : fEntries)
			numbers.push_back(e.second);
		return numbers;
	}
	std::vector<uint32> Codes() const
	{
		std::lock_guard<std::mutex> lock(fLock);
		std::vector<uint32> codes;
		for (const auto& e : fEntries)
			codes.push_back(e.first);
		return codes;
	}

private:
	mutable std::mutex fLock;
	std::vector<std::pair<uint32, int32>> fEntries;
};

// Logs every message; `onMessage`, when set, runs first (in the looper's
// thread) and may answer it.
class RecordingLooper : public BLooper {
public:
	RecordingLooper(Log* log, std::atomic<bool>* deleted = nullptr,
	                int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY)
		: BLooper("recording looper", B_NORMAL_PRIORITY, capacity),
		  fLog(log), fDeleted(deleted) {}
	~RecordingLooper() override
	{
		if (fDeleted != nullptr)
			fDeleted->store(true);
	}

	void MessageReceived(BMessage* message) override
	{
		lockedInDispatch = IsLocked();
		fLog->Add(message->what, message->FindInt32("n"));
		if (onMessage && onMessage(message))
			return;
		BLooper::MessageReceived(message);
	}

	bool QuitRequested() override { return allowQuit; }

	std::function<bool(BMessage*)> onMessage;
	std::atomic<bool> lockedInDispatch{false};
	std::atomic<bool> allowQuit{true};

private:
	Log* fLog;
	std::atomic<bool>* fDeleted;
};

class RecordingHandler : public BHandler {
public:
	RecordingHandler(const char* name, Log* log, uint32 understood = 0)
		: BHandler(name), fLog(log), fUnderstood(understood) {}

	void MessageReceived(BMessage* message) override
	{
		if (fUnderstood == 0 || message->what == fUnderstood) {
			fLog->Add(message->what, message->FindInt32("n"));
			return;
		}
		BHandler::MessageReceived(message);
	}

private:
	Log* fLog;
	uint32 fUnderstood;
};

}

#endif
