// The kernel's bookkeeping of threads, and the one way a thread blocks in a
// kernel call.
//
// Every semaphore, port and thread record is guarded by one process-wide
// kernel lock. A thread that blocks sleeps on the condition variable of its
// own record, with the kernel lock, after entering itself in the wait list of
// what it waits for. Whoever makes the wait end (a release, a write, a
// deletion, kill_thread, resume_thread) wakes exactly the threads concerned,
// and kill_thread can always reach a blocked thread through its record.
//
// Ownership: the table owns the records (shared_ptr); a thread keeps its own
// record alive while it runs, and a waiter keeps the record it waits for.
#ifndef PRIVATE_KERNEL_THREAD_TABLE_H
#define PRIVATE_KERNEL_THREAD_TABLE_H

#include <OS.h>

#include "kernel/Deadline.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace BPrivate {

using KernelLock = std::unique_lock<std::mutex>;

// The lock that guards every kernel object of the process.
std::mutex& kernel_mutex();

// What a blocked thread waits for; get_thread_info reports it as a state.
enum class WaitKind : uint8 {
	None,
	Semaphore,
	Port,
	Thread,
	Snooze,
	Receive,
	Suspended
};

struct ThreadRecord;

// The threads blocked on one object.
class WaitList {
public:
	void Add(ThreadRecord* thread) { fThreads.push_back(thread); }
	void Remove(ThreadRecord* thread);
	void WakeAll();
	bool IsEmpty() const { return fThreads.empty(); }

private:
	std::vector<ThreadRecord*> fThreads;
};

struct ThreadRecord {
	enum class Life : uint8 { NotStarted, Running, Ended };

	// Fixed at creation.
	thread_id id = -1;
	// Not fixed, but read beside the id: set (under the kernel lock) while a
	// kill or a suspension of the thread is pending. Calls that may block,
	// and can complete without the kernel lock, read it first and take
	// their locked path when it is set, so that the kill or suspension
	// still takes effect at the next blocking call.
	std::atomic<bool> attention{false};
	bool spawned = false;          // false: a thread we met on first use
	thread_func func = nullptr;
	void* data = nullptr;

	// The rest is guarded by the kernel lock.
	std::string name;
	int32 priority = B_NORMAL_PRIORITY;
	pid_t tid = 0;                 // Linux task id, 0 until started
	void* stackBase = nullptr;
	void* stackEnd = nullptr;
	Life life = Life::NotStarted;
	bool killRequested = false;
	// The thread is on its way out (returned, exit_thread, or killed):
	// destructors and exit callbacks that block must not end it a second
	// time in the middle of its unwinding, so kills no longer apply.
	bool ending = false;
	bool suspendRequested = false;
	WaitKind waiting = WaitKind::None;
	int32 waitObject = -1;
	status_t exitStatus = B_OK;
	std::condition_variable cv;    // the thread sleeps on this one only
	WaitList endWaiters;           // wait_for_thread callers

	// send_data / receive_data: one message at a time.
	bool hasData = false;
	int32 dataCode = 0;
	thread_id dataSender = -1;
	std::vector<uint8> dataBuffer;
	WaitList dataWaiters;          // senders waiting for the slot to empty

	// An eventfd signalled by kill_thread, so that a thread blocked in a
	// socket (writing to another process's port) wakes too. -1 until needed.
	int wakeFd = -1;

	// on_exit_thread callbacks; touched only by the thread itself.
	std::vector<std::pair<void (*)(void*), void*>> exitCallbacks;

	bool KillPending() const { return killRequested && !ending; }

	~ThreadRecord();
};

// All threads of the process that the kernel knows. Callers hold the kernel
// lock for every call.
class ThreadTable {
public:
	static ThreadTable& Default();

	thread_id Add(const std::shared_ptr<ThreadRecord>& record);
	// A running, suspended or ended (and not yet waited for) thread.
	std::shared_ptr<ThreadRecord> Find(thread_id id) const;
	// The first thread that has not ended with that name.
	std::shared_ptr<ThreadRecord> FindByName(const char* name) const;
	// The first thread that has not ended with an id above `after`.
	std::shared_ptr<ThreadRecord> Next(thread_id after) const;
	// Marks the end: the exit status is kept for wait_for_thread, but only
	// for the most recent ended threads, so that threads nobody waits for
	// do not stay in the table for ever.
	void Ended(ThreadRecord* record);
	// Called once the exit status has been collected.
	void Forget(thread_id id);
	size_t Count() const { return fThreads.size(); }
	int32 LiveCount() const;

	static constexpr size_t kEndedHistory = 256;

private:
	std::map<thread_id, std::shared_ptr<ThreadRecord>> fThreads;
	std::vector<thread_id> fEnded;  // oldest first
	thread_id fNextId = 1;
};

// The calling thread's record. A thread that was not spawned here (the main
// thread, threads of other libraries) gets one on first use, which takes the
// kernel lock: call it before taking the lock.
ThreadRecord* current_thread();

// The calling thread's record once it has one, else null.
extern constinit thread_local ThreadRecord* tCurrentRecord;

// current_thread() for the paths that must stay cheap: once the thread has
// its record, a plain thread-local read.
inline ThreadRecord* current_thread_cheaply()
{
	ThreadRecord* self = tCurrentRecord;
	return self != nullptr ? self : current_thread();
}

// The calling thread's id (find_thread(NULL)), read from its record.
inline thread_id current_thread_id()
{
	return current_thread_cheaply()->id;
}

// Sets `record` as the calling thread's own (done by the spawned thread).
void adopt_current_thread(const std::shared_ptr<ThreadRecord>& record);

// The end of the calling thread: runs its on_exit_thread callbacks, keeps
// `status` for wait_for_thread and wakes the threads waiting for it.
// Called without the kernel lock.
void thread_finished(ThreadRecord* self, status_t status);

// Number of records in the table (for tests of the reclamation).
size_t thread_record_count();

std::chrono::steady_clock::time_point to_steady(bigtime_t systemTime);

// Blocks the calling thread until `ready()` holds, `deadline` passes or the
// thread is killed. The kernel lock is held on entry and on return.
// Returns B_OK (ready), B_WOULD_BLOCK (a poll that would block), B_TIMED_OUT,
// or B_INTERRUPTED: the thread was killed, and the caller, after undoing
// what it set up for the wait, calls end_killed_thread().
template <typename Ready>
status_t block_until(KernelLock& lock, ThreadRecord* self, WaitList* list,
	WaitKind kind, int32 object, const Deadline& deadline, Ready ready)
{
	if (ready())
		return B_OK;
	if (self->KillPending())
		return B_INTERRUPTED;
	if (deadline.poll)
		return B_WOULD_BLOCK;

	if (list != nullptr)
		list->Add(self);
	self->waiting = kind;
	self->waitObject = object;
	status_t result = B_OK;
	while (!ready()) {
		if (self->KillPending()) {
			result = B_INTERRUPTED;
			break;
		}
		if (deadline.Infinite()) {
			self->cv.wait(lock);
		} else if (self->cv.wait_until(lock, to_steady(deadline.at))
				== std::cv_status::timeout && !ready()) {
			result = self->KillPending() ? B_INTERRUPTED : B_TIMED_OUT;
			break;
		}
	}
	if (list != nullptr)
		list->Remove(self);
	self->waiting = WaitKind::None;
	self->waitObject = -1;
	return result;
}

// The calling thread has been asked to suspend itself (suspend_thread):
// it sleeps here until resume_thread, or ends here if it is killed.
void honour_suspension(KernelLock& lock, ThreadRecord* self);

// Ends the calling thread because it was killed. Releases `lock` first;
// unwinds the thread's stack (destructors run) and never returns.
[[noreturn]] void end_killed_thread(KernelLock& lock);

// Entry of every blocking call: the kernel lock is taken, and a pending
// suspension or kill of the caller takes effect.
ThreadRecord* enter_blocking_call(KernelLock& lock);

// The calling thread's wake-up eventfd for waits in poll(); created on
// first use. Call with the kernel lock held.
int thread_wake_fd(ThreadRecord* self);

}

#endif
