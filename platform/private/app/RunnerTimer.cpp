#include "app/RunnerTimer.h"

#include "app/AppLink.h"
#include "app/MessagePrivate.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace BPrivate {

namespace {

struct Runner {
	BMessenger target;
	BMessage message;
	BMessenger replyTo;
	bigtime_t interval = 0;
	int32 count = 0;
	bigtime_t due = 0;
	uint32 generation = 0;   // changes when the schedule is reset
	uint32 countGeneration = 0;  // changes when the count is set
};

class Timer {
public:
	static Timer& Default()
	{
		// Never destroyed: the thread may run until the process ends.
		static Timer* timer = new Timer;
		return *timer;
	}

	int32 Add(Runner runner)
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (!fStarted) {
			std::thread(&Timer::Loop, this).detach();
			fStarted = true;
		}
		int32 token = fNextToken++;
		fRunners.emplace(token, std::move(runner));
		fChanged.notify_all();
		return token;
	}

	void Remove(int32 token)
	{
		std::unique_lock<std::mutex> lock(fLock);
		fRunners.erase(token);
		fSent.wait(lock, [this, token] { return fSending != token; });
	}

	status_t SetInterval(int32 token, bigtime_t interval)
	{
		std::lock_guard<std::mutex> lock(fLock);
		auto it = fRunners.find(token);
		if (it == fRunners.end() || it->second.count == 0)
			return B_BAD_VALUE;
		it->second.interval = interval;
		it->second.due = system_time() + interval;
		it->second.generation++;
		fChanged.notify_all();
		return B_OK;
	}

	status_t SetCount(int32 token, int32 count)
	{
		std::lock_guard<std::mutex> lock(fLock);
		auto it = fRunners.find(token);
		if (it == fRunners.end() || it->second.count == 0)
			return B_BAD_VALUE;
		it->second.count = count;
		it->second.countGeneration++;
		fChanged.notify_all();
		return B_OK;
	}

	status_t GetInfo(int32 token, bigtime_t* interval, int32* count)
	{
		std::lock_guard<std::mutex> lock(fLock);
		auto it = fRunners.find(token);
		if (it == fRunners.end() || it->second.count == 0)
			return B_BAD_VALUE;
		if (interval != nullptr)
			*interval = it->second.interval;
		if (count != nullptr)
			*count = it->second.count;
		return B_OK;
	}

private:
	void Loop()
	{
		std::unique_lock<std::mutex> lock(fLock);
		for (;;) {
			auto next = fRunners.end();
			for (auto it = fRunners.begin(); it != fRunners.end(); ++it) {
				if (it->second.count != 0
					&& (next == fRunners.end() || it->second.due < next->second.due))
					next = it;
			}
			if (next == fRunners.end()) {
				fChanged.wait(lock);
				continue;
			}
			bigtime_t now = system_time();
			if (next->second.due > now) {
				fChanged.wait_for(lock, std::chrono::microseconds(next->second.due - now));
				continue;
			}

			int32 token = next->first;
			uint32 generation = next->second.generation;
			uint32 countGeneration = next->second.countGeneration;
			BMessenger target = next->second.target;
			BMessage message(next->second.message);
			SendOptions options;
			options.replyTo = next->second.replyTo.IsValid()
				? next->second.replyTo : AppLink::AppMessenger();
			options.timeout = 0;
			fSending = token;
			lock.unlock();

			status_t status = deliver_message(target, message, options);

			lock.lock();
			fSending = -1;
			fSent.notify_all();
			auto it = fRunners.find(token);
			if (it == fRunners.end())
				continue;
			Runner& runner = it->second;
			if (status == B_OK) {
				// A count set while this message went out counts from after it.
				if (runner.count > 0 && runner.countGeneration == countGeneration)
					runner.count--;
			} else if (status == B_BAD_PORT_ID) {
				runner.count = 0;   // the target is gone for good
			}
			if (runner.generation == generation) {
				runner.due += runner.interval;
				// After a stall, carry on from now rather than in a burst.
				now = system_time();
				if (runner.due < now)
					runner.due = now + runner.interval;
			}
		}
	}

	std::mutex fLock;
	std::condition_variable fChanged;
	std::condition_variable fSent;
	std::map<int32, Runner> fRunners;
	int32 fNextToken = 1;
	int32 fSending = -1;
	bool fStarted = false;
};

bigtime_t clamp_interval(bigtime_t interval)
{
	return interval < (bigtime_t)MIN_RUNNER_INTERVAL ? (bigtime_t)MIN_RUNNER_INTERVAL : interval;
}

}

int32 RunnerTimer::Add(const BMessenger& target, const BMessage& message,
                       bigtime_t interval, int32 count, const BMessenger& replyTo)
{
	Runner runner;
	runner.target = target;
	runner.message = message;
	runner.replyTo = replyTo;
	runner.interval = clamp_interval(interval);
	runner.count = count < 0 ? -1 : count;
	runner.due = system_time() + runner.interval;
	return Timer::Default().Add(std::move(runner));
}

void RunnerTimer::Remove(int32 token)
{
	Timer::Default().Remove(token);
}

status_t RunnerTimer::SetInterval(int32 token, bigtime_t interval)
{
	if (interval <= 0)
		return B_BAD_VALUE;
	return Timer::Default().SetInterval(token, clamp_interval(interval));
}

status_t RunnerTimer::SetCount(int32 token, int32 count)
{
	return Timer::Default().SetCount(token, count < 0 ? -1 : count);
}

status_t RunnerTimer::GetInfo(int32 token, bigtime_t* interval, int32* count)
{
	return Timer::Default().GetInfo(token, interval, count);
}

}
