// Counting semaphores. Waiters are served in the order they arrived: one
// that asks for more than is available holds back those behind it.

#include <OS.h>

#include "kernel/KernelStats.h"
#include "kernel/ThreadTable.h"

#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <unordered_map>

using namespace BPrivate;

namespace {

const int32 kMaxSems = 65536;

struct SemWaiter {
	ThreadRecord* thread;
	int32 count;
	bool granted = false;
};

struct Semaphore {
	sem_id id = -1;
	std::string name;
	int64 available = 0;                // never negative
	std::deque<SemWaiter*> queue;       // oldest first
	bool deleted = false;
	thread_id latestHolder = -1;

	// The count as the platform reports it: what is available, less what
	// the waiters still ask for (negative while threads wait).
	int32 ReportedCount() const
	{
		int64 count = available;
		for (const SemWaiter* waiter : queue)
			count -= waiter->count;
		return (int32)std::max<int64>(count, INT32_MIN);
	}

	// Hands the available count to the waiters at the head of the queue.
	void Grant()
	{
		while (!queue.empty() && queue.front()->count <= available) {
			SemWaiter* waiter = queue.front();
			queue.pop_front();
			available -= waiter->count;
			waiter->granted = true;
			latestHolder = waiter->thread->id;
			waiter->thread->cv.notify_all();
		}
	}
};

struct SemTable {
	std::unordered_map<sem_id, std::shared_ptr<Semaphore>> sems;
	sem_id nextId = 1;

	static SemTable& Default()
	{
		static SemTable* table = new SemTable;
		return *table;
	}

	std::shared_ptr<Semaphore> Find(sem_id id) const
	{
		auto found = sems.find(id);
		return found == sems.end() ? nullptr : found->second;
	}

	// For a look under the kernel lock that does not wait: no reference is
	// taken (the table's keeps the semaphore until the lock is let go of),
	// so that threads sharing a semaphore do not pass its count around.
	Semaphore* Peek(sem_id id) const
	{
		auto found = sems.find(id);
		return found == sems.end() ? nullptr : found->second.get();
	}
};

}

sem_id create_sem(int32 count, const char* name)
{
	if (count < 0)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	SemTable& table = SemTable::Default();
	if (table.sems.size() >= (size_t)kMaxSems)
		return B_NO_MORE_SEMS;
	auto sem = std::make_shared<Semaphore>();
	sem->id = table.nextId++;
	sem->available = count;
	if (name != nullptr)
		sem->name.assign(name, strnlen(name, B_OS_NAME_LENGTH - 1));
	table.sems[sem->id] = sem;
	return sem->id;
}

status_t delete_sem(sem_id id)
{
	KernelLock lock(kernel_mutex());
	SemTable& table = SemTable::Default();
	auto sem = table.Find(id);
	if (!sem)
		return B_BAD_SEM_ID;
	table.sems.erase(id);
	sem->deleted = true;
	// Every waiter wakes and returns B_BAD_SEM_ID.
	for (SemWaiter* waiter : sem->queue)
		waiter->thread->cv.notify_all();
	sem->queue.clear();
	return B_OK;
}

status_t acquire_sem(sem_id id)
{
	return acquire_sem_etc(id, 1, 0, 0);
}

status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout)
{
	if (count < 1)
		return B_BAD_VALUE;
	const Deadline deadline = Deadline::From(flags, timeout);
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	Semaphore* available = SemTable::Default().Peek(id);
	if (available == nullptr)
		return B_BAD_SEM_ID;

	if (available->queue.empty() && available->available >= count) {
		available->available -= count;
		available->latestHolder = self->id;
		return B_OK;
	}
	if (deadline.poll)
		return B_WOULD_BLOCK;

	// Waiting lets go of the kernel lock: from here on the semaphore is
	// held by reference, in case it is deleted meanwhile.
	auto sem = SemTable::Default().Find(id);

	SemWaiter waiter{self, count};
	sem->queue.push_back(&waiter);
	status_t result = block_until(lock, self, nullptr, WaitKind::Semaphore, id, deadline,
		[&] { return waiter.granted || sem->deleted; });
	if (sem->deleted)
		return B_BAD_SEM_ID;
	if (waiter.granted)
		return B_OK;

	// Timed out or killed: leave the queue. Those behind this waiter may
	// now be satisfied by what is available.
	auto found = std::find(sem->queue.begin(), sem->queue.end(), &waiter);
	if (found != sem->queue.end())
		sem->queue.erase(found);
	sem->Grant();
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	return result;
}

status_t release_sem(sem_id id)
{
	return release_sem_etc(id, 1, 0);
}

status_t release_sem_etc(sem_id id, int32 count, uint32 flags)
{
	// Threads never yield on release here, so B_DO_NOT_RESCHEDULE is what
	// always happens.
	(void)flags;
	if (count < 1)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	Semaphore* sem = SemTable::Default().Peek(id);
	if (sem == nullptr)
		return B_BAD_SEM_ID;
	if (sem->available + count > INT32_MAX)
		return B_BAD_VALUE;
	sem->available += count;
	sem->Grant();
	return B_OK;
}

status_t get_sem_count(sem_id id, int32* threadCount)
{
	if (threadCount == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	auto sem = SemTable::Default().Find(id);
	if (!sem)
		return B_BAD_SEM_ID;
	*threadCount = sem->ReportedCount();
	return B_OK;
}

status_t get_sem_info(sem_id id, sem_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	auto sem = SemTable::Default().Find(id);
	if (!sem)
		return B_BAD_SEM_ID;
	memset(info, 0, sizeof(*info));
	info->sem = sem->id;
	info->team = getpid();
	strncpy(info->name, sem->name.c_str(), B_OS_NAME_LENGTH - 1);
	info->count = sem->ReportedCount();
	info->latest_holder = sem->latestHolder;
	return B_OK;
}

namespace BPrivate {

int32 semaphore_count()
{
	KernelLock lock(kernel_mutex());
	return (int32)SemTable::Default().sems.size();
}

}
