#include "app/RunnerTimer.h"

#include "app/AppLink.h"
#include "app/LooperPort.h"
#include "app/MessagePrivate.h"
#include "app/TokenSpace.h"
#include "kernel/ThreadName.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
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

	void Add(int32 token, Runner runner)
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (!fStarted) {
			std::thread(&Timer::Loop, this).detach();
			fStarted = true;
		}
		fRunners.emplace(token, std::move(runner));
		fChanged.notify_all();
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
		name_this_thread("message runners");
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
	int32 fSending = -1;
	bool fStarted = false;
};

bigtime_t clamp_interval(bigtime_t interval)
{
	return interval < (bigtime_t)MIN_RUNNER_INTERVAL ? (bigtime_t)MIN_RUNNER_INTERVAL : interval;
}

}

namespace {

// Runners whose target is a looper of this process, carried by that
// looper's port (see PortRunner).
class LocalRunners {
public:
	static LocalRunners& Default()
	{
		static LocalRunners* runners = new LocalRunners;
		return *runners;
	}

	struct Entry {
		std::shared_ptr<PortRunner> runner;
		std::shared_ptr<LooperPort> carrier;
	};

	void Add(int32 token, Entry entry)
	{
		std::lock_guard<std::mutex> lock(fLock);
		fEntries.emplace(token, std::move(entry));
	}

	bool Take(int32 token, Entry* entry)
	{
		std::lock_guard<std::mutex> lock(fLock);
		auto it = fEntries.find(token);
		if (it == fEntries.end())
			return false;
		*entry = std::move(it->second);
		fEntries.erase(it);
		return true;
	}

	bool Find(int32 token, Entry* entry)
	{
		std::lock_guard<std::mutex> lock(fLock);
		auto it = fEntries.find(token);
		if (it == fEntries.end())
			return false;
		*entry = it->second;
		return true;
	}

private:
	std::mutex fLock;
	std::map<int32, Entry> fEntries;
};

std::atomic<int32> sNextToken{1};

}

int32 RunnerTimer::Add(const BMessenger& target, const BMessage& message,
                       bigtime_t interval, int32 count, const BMessenger& replyTo)
{
	const int32 token = sNextToken++;
	std::shared_ptr<LooperPort> port;
	if (target.IsTargetLocal()
		&& TokenSpace::Get(MessageAccess::Token(target), NULL, &port) && port) {
		auto runner = std::make_shared<PortRunner>();
		runner->targetToken = MessageAccess::Token(target);
		runner->preferred = MessageAccess::Preferred(target);
		runner->message = message;
		runner->replyTo = replyTo;
		runner->interval = clamp_interval(interval);
		runner->count = count < 0 ? -1 : count;
		runner->due = system_time() + runner->interval;
		port->AddRunner(runner);
		LocalRunners::Default().Add(token, LocalRunners::Entry{runner, port});
		return token;
	}

	Runner runner;
	runner.target = target;
	runner.message = message;
	runner.replyTo = replyTo;
	runner.interval = clamp_interval(interval);
	runner.count = count < 0 ? -1 : count;
	runner.due = system_time() + runner.interval;
	Timer::Default().Add(token, std::move(runner));
	return token;
}

void RunnerTimer::Remove(int32 token)
{
	LocalRunners::Entry entry;
	if (LocalRunners::Default().Take(token, &entry))
		entry.carrier->RemoveRunner(entry.runner.get());
	else
		Timer::Default().Remove(token);
}

status_t RunnerTimer::SetInterval(int32 token, bigtime_t interval)
{
	if (interval <= 0)
		return B_BAD_VALUE;
	LocalRunners::Entry entry;
	if (LocalRunners::Default().Find(token, &entry))
		return entry.carrier->SetRunnerInterval(entry.runner.get(), clamp_interval(interval));
	return Timer::Default().SetInterval(token, clamp_interval(interval));
}

status_t RunnerTimer::SetCount(int32 token, int32 count)
{
	LocalRunners::Entry entry;
	if (LocalRunners::Default().Find(token, &entry))
		return entry.carrier->SetRunnerCount(entry.runner.get(), count < 0 ? -1 : count);
	return Timer::Default().SetCount(token, count < 0 ? -1 : count);
}

status_t RunnerTimer::GetInfo(int32 token, bigtime_t* interval, int32* count)
{
	LocalRunners::Entry entry;
	if (LocalRunners::Default().Find(token, &entry))
		return entry.carrier->GetRunnerInfo(entry.runner.get(), interval, count);
	return Timer::Default().GetInfo(token, interval, count);
}

}
