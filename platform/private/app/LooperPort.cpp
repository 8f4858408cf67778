#include "app/LooperPort.h"

#include "app/AppLink.h"
#include "app/MessagePrivate.h"
#include "app/TokenSpace.h"

#include <Message.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace BPrivate {

bigtime_t runner_leeway(bigtime_t interval)
{
	const bigtime_t kShortest = 100000;
	const bigtime_t kMost = 50000;
	if (interval < kShortest)
		return 0;
	return std::min(interval / 10, kMost);
}

namespace {

// Waits on `cv` until `ready` holds or `timeout` µs pass. Returns `ready`.
template<typename Predicate>
bool wait_with_timeout(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                       bigtime_t timeout, Predicate ready)
{
	// Beyond some 35 years a time-out is as good as none (and would overflow).
	if (timeout < 0 || timeout >= ((bigtime_t)1 << 50)) {
		cv.wait(lock, ready);
		return true;
	}
	return cv.wait_for(lock, std::chrono::microseconds(timeout), ready);
}

}

LooperPort::LooperPort(BLooper* looper, int32 capacity)
	: fLooper(looper), fCapacity(capacity > 0 ? capacity : 1)
{
}

LooperPort::~LooperPort()
{
	Close();
}

[[gnu::hot]] status_t LooperPort::Push(BMessage* message, bigtime_t timeout, bool force)
{
	std::unique_lock<std::mutex> lock(fQueueLock);
	if (fClosed)
		return B_BAD_PORT_ID;
	if (!force && (int32)fQueue.size() >= fCapacity) {
		if (timeout == 0)
			return B_WOULD_BLOCK;
		fRoomWaiters++;
		bool room = wait_with_timeout(fRoomMade, lock, timeout, [this] {
			return fClosed || (int32)fQueue.size() < fCapacity;
		});
		fRoomWaiters--;
		if (!room)
			return B_TIMED_OUT;
		if (fClosed)
			return B_BAD_PORT_ID;
	}
	fQueue.push_back(message);
	const bool wake = _SignalReaders();
	lock.unlock();
	if (wake)
		fChanged.WakeAll();
	return B_OK;
}

bool LooperPort::_SignalReaders()
{
	if (fReaders == 0)
		return false;
	fChanged.Bump();
	return true;
}

BMessage* LooperPort::Pop(bigtime_t timeout)
{
	BMessage* message = NULL;
	return PopSome(timeout, &message, 1) == 1 ? message : NULL;
}

[[gnu::hot]] int32 LooperPort::PopSome(bigtime_t timeout, BMessage** messages, int32 most)
{
	if (most <= 0)
		return 0;
	// Beyond some 35 years a time-out is as good as none (and would overflow).
	const bool forever = timeout < 0 || timeout >= ((bigtime_t)1 << 50);
	const bigtime_t end = forever || timeout == 0 ? 0 : system_time() + timeout;
	std::unique_lock<std::mutex> lock(fQueueLock);
	for (;;) {
		const bigtime_t nextRunner
			= fRunners.empty() ? B_INFINITE_TIMEOUT : _SendDueRunners(lock);
		if (!fQueue.empty()) {
			int32 count = 0;
			while (count < most && !fQueue.empty()) {
				messages[count++] = fQueue.front();
				fQueue.pop_front();
			}
			const bool posterWaits = fRoomWaiters > 0;
			lock.unlock();
			if (posterWaits)
				fRoomMade.notify_all();
			return count;
		}
		if (fClosed || timeout == 0)
			return 0;
		bigtime_t wakeAt = nextRunner;
		if (!forever && end < wakeAt)
			wakeAt = end;
		if (!forever && system_time() >= end)
			return 0;
		// The reader sleeps on a word of its own rather than on a condition
		// variable, whose hand-back of the lock costs one more system call
		// each time the looper wakes.
		fReaders++;
		fReaderWakesAt = wakeAt;
		const uint32 seen = fChanged.Value();
		lock.unlock();
		fChanged.Wait(seen, wakeAt);
		lock.lock();
		fReaders--;
	}
}

[[gnu::hot]] bigtime_t LooperPort::_SendDueRunners(std::unique_lock<std::mutex>& lock)
{
	bigtime_t now = system_time();
	bigtime_t next = B_INFINITE_TIMEOUT;
	for (size_t i = 0; i < fRunners.size(); i++) {
		// Most looks find nothing due: those take no reference.
		const PortRunner* waiting = fRunners[i].get();
		if (waiting->count == 0)
			continue;
		if (waiting->due > now) {
			next = std::min(next, waiting->due + runner_leeway(waiting->interval));
			continue;
		}
		std::shared_ptr<PortRunner> runner = fRunners[i];

		// A handler may have been deleted, or moved to another looper,
		// since the runner was made. (A looper is always its own.)
		std::shared_ptr<LooperPort> port;
		LooperPort* carrier = this;
		if (!runner->preferred
			&& !TokenSpace::IsIn(runner->targetToken, this, NULL, &runner->target)) {
			if (!TokenSpace::Get(runner->targetToken, NULL, &port) || !port) {
				runner->count = 0;
				continue;
			}
			carrier = port.get();
		}
		const BMessenger replyTo = runner->replyTo.Team() >= 0 && runner->replyTo.IsValid()
			? runner->replyTo : AppLink::AppMessenger();
		const bigtime_t due = runner->due;
		const int32 count = runner->count;
		status_t status;
		bool restart = false;
		if (carrier == this) {
			if ((int32)fQueue.size() >= fCapacity) {
				// a full queue misses this beat rather than growing
				status = B_WOULD_BLOCK;
			} else {
				BMessage* message = new BMessage(runner->message);
				MessageDelivery& delivery = MessageAccess::MakeDelivery(message);
				delivery.wasDelivered = true;
				delivery.replyTo = replyTo;
				delivery.targetToken = runner->targetToken;
				delivery.preferred = runner->preferred;
				fQueue.push_back(message);
				status = B_OK;
			}
		} else {
			// Posted to the other looper as any sender would, without this
			// port's lock; RemoveRunner waits until that is done.
			BMessenger target;
			MessageAccess::SetMessenger(&target, current_team(), runner->targetToken,
				runner->preferred);
			BMessage message(runner->message);
			SendOptions options;
			options.replyTo = replyTo;
			options.timeout = 0;
			fSending = runner.get();
			lock.unlock();
			status = deliver_message(target, message, options);
			lock.lock();
			fSending = nullptr;
			fSent.notify_all();
			// the list may have changed meanwhile
			restart = true;
		}

		// A count or an interval set while the message went out counts
		// from after it.
		if (status == B_OK) {
			if (runner->count > 0 && runner->count == count)
				runner->count--;
		} else if (status == B_BAD_PORT_ID) {
			runner->count = 0;   // the target is gone for good
		}
		if (runner->due == due) {
			runner->due += runner->interval;
			// After a stall, carry on from now rather than in a burst.
			if (runner->due <= now)
				runner->due = now + runner->interval;
		}
		if (restart) {
			now = system_time();
			next = B_INFINITE_TIMEOUT;
			i = (size_t)-1;
			continue;
		}
		if (runner->count != 0)
			next = std::min(next, runner->due + runner_leeway(runner->interval));
	}
	return next;
}

int32 LooperPort::Count() const
{
	std::lock_guard<std::mutex> lock(fQueueLock);
	return (int32)fQueue.size();
}

void LooperPort::Close()
{
	std::deque<BMessage*> left;
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		fClosed = true;
		left.swap(fQueue);
		// the runners aimed here end with their target
		for (const std::shared_ptr<PortRunner>& runner : fRunners)
			runner->count = 0;
		fRunners.clear();
		fChanged.Bump();
	}
	fChanged.WakeAll();
	fRoomMade.notify_all();
	// Deleted outside the lock: a message whose sender waits answers it
	// with B_NO_REPLY as it goes.
	for (BMessage* message : left)
		delete message;
}

// ---- Runners

void LooperPort::AddRunner(const std::shared_ptr<PortRunner>& runner)
{
	bool wake;
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		if (fClosed) {
			runner->count = 0;
			return;
		}
		fRunners.push_back(runner);
		wake = _ReaderOversleeps(runner->due + runner_leeway(runner->interval))
			&& _SignalReaders();
	}
	if (wake)
		fChanged.WakeAll();
}

bool LooperPort::_ReaderOversleeps(bigtime_t deadline) const
{
	// A reader that is not waiting looks at the runners before it does;
	// one that would wake earlier anyway finds the new time then.
	return fReaders > 1 || (fReaders == 1 && deadline < fReaderWakesAt);
}

void LooperPort::RemoveRunner(const PortRunner* runner)
{
	std::unique_lock<std::mutex> lock(fQueueLock);
	for (auto it = fRunners.begin(); it != fRunners.end(); ++it) {
		if (it->get() == runner) {
			fRunners.erase(it);
			break;
		}
	}
	fSent.wait(lock, [this, runner] { return fSending != runner; });
}

status_t LooperPort::SetRunnerInterval(PortRunner* runner, bigtime_t interval)
{
	bool wake;
	{
		std::lock_guard<std::mutex> lock(fQueueLock);
		if (runner->count == 0)
			return B_BAD_VALUE;
		runner->interval = interval;
		runner->due = system_time() + interval;
		wake = _ReaderOversleeps(runner->due + runner_leeway(interval)) && _SignalReaders();
	}
	if (wake)
		fChanged.WakeAll();
	return B_OK;
}

status_t LooperPort::SetRunnerCount(PortRunner* runner, int32 count)
{
	std::lock_guard<std::mutex> lock(fQueueLock);
	if (runner->count == 0)
		return B_BAD_VALUE;
	runner->count = count;
	return B_OK;
}

status_t LooperPort::GetRunnerInfo(const PortRunner* runner, bigtime_t* interval,
                                   int32* count) const
{
	std::lock_guard<std::mutex> lock(fQueueLock);
	if (runner->count == 0)
		return B_BAD_VALUE;
	if (interval != nullptr)
		*interval = runner->interval;
	if (count != nullptr)
		*count = runner->count;
	return B_OK;
}

[[gnu::hot]] status_t LooperPort::Lock(bigtime_t timeout)
{
	thread_id me = current_thread_id();
	std::unique_lock<std::mutex> lock(fStateLock);
	if (fDead)
		return B_BAD_VALUE;
	if (fOwner == me) {
		fLockCount++;
		return B_OK;
	}
	if (fOwner != -1) {
		if (timeout == 0)
			return B_WOULD_BLOCK;
		fRequests++;
		bool free = wait_with_timeout(fLockReleased, lock, timeout, [this] {
			return fDead || fOwner == -1;
		});
		fRequests--;
		if (fDead)
			return B_BAD_VALUE;
		if (!free)
			return B_TIMED_OUT;
	}
	fOwner = me;
	fLockCount = 1;
	return B_OK;
}

[[gnu::hot]] bool LooperPort::Unlock()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	if (fOwner != current_thread_id())
		return false;
	if (--fLockCount == 0) {
		fOwner = -1;
		if (fRequests > 0)
			fLockReleased.notify_all();
	}
	return true;
}

int32 LooperPort::UnlockFully()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	if (fOwner != current_thread_id())
		return 0;
	int32 count = fLockCount;
	fLockCount = 0;
	fOwner = -1;
	fLockReleased.notify_all();
	return count;
}

thread_id LooperPort::LockingThread() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fOwner;
}

int32 LooperPort::CountLocks() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fLockCount;
}

int32 LooperPort::CountLockRequests() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fRequests;
}

bool LooperPort::IsLockedByCaller() const
{
	std::lock_guard<std::mutex> lock(fStateLock);
	return fOwner == current_thread_id();
}

void LooperPort::MarkDead()
{
	std::lock_guard<std::mutex> lock(fStateLock);
	fDead = true;
	fOwner = -1;
	fLockCount = 0;
	fLockReleased.notify_all();
}

[[gnu::hot]] bool LooperPort::IsDead() const
{
	return fDead.load(std::memory_order_acquire);
}

}
