// Counting semaphores. Waiters are served in the order they arrived: one
// that asks for more than is available holds back those behind it.
//
// Every semaphore lives in a slot of a fixed table, chosen by its id. A slot
// is never freed, and everything an acquire or release needs while nobody
// waits is one 64-bit word of it: the id of the semaphore that holds the slot
// (0 when free), a "queued" bit, and the count available. While the bit is
// clear, acquire and release change the count with a compare-and-swap of that
// word, without the kernel lock; a call that finds another id in the word
// finds the semaphore gone. Once a thread has to wait, it sets the bit under
// the kernel lock, and from then on every call goes through the lock and the
// queue, until the queue is empty again. So nothing that arrives later can
// overtake a waiter, and while the bit is set only holders of the kernel lock
// change the word.

#include <OS.h>

#include "kernel/KernelStats.h"
#include "kernel/ThreadTable.h"

#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <string>

using namespace BPrivate;

namespace {

const int32 kMaxSems = 65536;  // a power of two: ids map onto slots by a mask

struct SemWaiter {
	ThreadRecord* thread;
	int32 count;
	bool granted = false;
};

// The word of a slot.
const uint64 kQueued = (uint64)1 << 31;
const uint64 kCountMask = kQueued - 1;  // counts go up to INT32_MAX

uint32 id_of(uint64 word) { return (uint32)(word >> 32); }
int64 count_of(uint64 word) { return (int64)(word & kCountMask); }
uint64 make_word(sem_id id, bool queued, int64 count)
{
	return ((uint64)(uint32)id << 32) | (queued ? kQueued : 0) | (uint64)count;
}

// What only the slow path needs; guarded by the kernel lock.
struct SemState {
	std::string name;
	std::deque<SemWaiter*> queue;  // oldest first; not empty iff kQueued is set
};

struct alignas(64) Slot {
	std::atomic<uint64> word{0};
	std::atomic<thread_id> latestHolder{0};
	SemState* state = nullptr;  // guarded by the kernel lock

	bool Holds(sem_id id) const
	{
		return id_of(word.load(std::memory_order_relaxed)) == (uint32)id;
	}

	// The count as the platform reports it: what is available, less what
	// the waiters still ask for (negative while threads wait). Kernel lock.
	int32 ReportedCount() const
	{
		int64 count = count_of(word.load(std::memory_order_relaxed));
		for (const SemWaiter* waiter : state->queue)
			count -= waiter->count;
		return (int32)std::max<int64>(count, INT32_MIN);
	}

	// Hands what is available to the waiters at the head of the queue, and
	// lets the lock-free calls back in once the queue is empty. Called with
	// the kernel lock and kQueued set, so that nobody else changes the word.
	void Grant()
	{
		const uint64 word = this->word.load(std::memory_order_relaxed);
		int64 available = count_of(word);
		std::deque<SemWaiter*>& queue = state->queue;
		while (!queue.empty() && queue.front()->count <= available) {
			SemWaiter* waiter = queue.front();
			queue.pop_front();
			available -= waiter->count;
			waiter->granted = true;
			latestHolder.store(waiter->thread->id, std::memory_order_relaxed);
			waiter->thread->cv.notify_all();
		}
		this->word.store(make_word((sem_id)id_of(word), !queue.empty(), available),
			std::memory_order_release);
	}
};

// Never freed nor destroyed: a lock-free call racing with delete_sem reads a
// word that stays valid memory. All zero, so it costs no memory until used.
Slot gSlots[kMaxSems];

// Guarded by the kernel lock.
sem_id gNextId = 1;
int32 gSemCount = 0;

Slot* slot_of(sem_id id)
{
	return id > 0 ? &gSlots[id & (kMaxSems - 1)] : nullptr;
}

// The slot of a live semaphore, under the kernel lock.
Slot* find_locked(sem_id id)
{
	Slot* slot = slot_of(id);
	return slot != nullptr && slot->state != nullptr && slot->Holds(id) ? slot : nullptr;
}

// Without the kernel lock: takes `count` if nobody waits and it is there.
// B_OK, B_BAD_SEM_ID, or 1 when the slow path must decide.
inline status_t try_acquire_at_once(Slot* slot, sem_id id, int32 count, thread_id self)
{
	uint64 word = slot->word.load(std::memory_order_relaxed);
	for (;;) {
		if (id_of(word) != (uint32)id)
			return B_BAD_SEM_ID;
		if ((word & kQueued) != 0 || count_of(word) < count)
			return 1;
		if (slot->word.compare_exchange_weak(word, word - (uint64)count,
				std::memory_order_acquire, std::memory_order_relaxed)) {
			slot->latestHolder.store(self, std::memory_order_relaxed);
			return B_OK;
		}
	}
}

}

sem_id create_sem(int32 count, const char* name)
{
	if (count < 0)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	if (gSemCount >= kMaxSems)
		return B_NO_MORE_SEMS;
	// Ids keep growing, so that a stale one is not taken for a new
	// semaphore; those whose slot is taken are skipped. One is free.
	sem_id id;
	Slot* slot;
	do {
		id = gNextId;
		gNextId = gNextId == INT32_MAX ? 1 : gNextId + 1;
		slot = slot_of(id);
	} while (slot->state != nullptr);
	slot->state = new SemState;
	if (name != nullptr)
		slot->state->name.assign(name, strnlen(name, B_OS_NAME_LENGTH - 1));
	slot->latestHolder.store(-1, std::memory_order_relaxed);
	slot->word.store(make_word(id, false, count), std::memory_order_release);
	gSemCount++;
	return id;
}

status_t delete_sem(sem_id id)
{
	KernelLock lock(kernel_mutex());
	Slot* slot = find_locked(id);
	if (slot == nullptr)
		return B_BAD_SEM_ID;
	// From here on every call with this id, lock-free or not, fails.
	slot->word.store(0, std::memory_order_release);
	// Every waiter wakes and returns B_BAD_SEM_ID.
	for (SemWaiter* waiter : slot->state->queue)
		waiter->thread->cv.notify_all();
	delete slot->state;
	slot->state = nullptr;
	gSemCount--;
	return B_OK;
}

namespace {

// Without the kernel lock: gives `count` back if nobody waits. B_OK,
// B_BAD_SEM_ID, B_BAD_VALUE, or 1 when threads wait.
inline status_t try_release_at_once(Slot* slot, sem_id id, int32 count)
{
	uint64 word = slot->word.load(std::memory_order_relaxed);
	for (;;) {
		if (id_of(word) != (uint32)id)
			return B_BAD_SEM_ID;
		if (count_of(word) + count > INT32_MAX)
			return B_BAD_VALUE;
		if ((word & kQueued) != 0)
			return 1;
		if (slot->word.compare_exchange_weak(word, word + (uint64)count,
				std::memory_order_release, std::memory_order_relaxed))
			return B_OK;
	}
}

// The acquire that could not be done at once, under the kernel lock: it
// honours a pending kill or suspension of the caller, and waits in turn.
[[gnu::noinline]] status_t acquire_in_turn(Slot* slot, sem_id id, int32 count,
	const Deadline& deadline)
{
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	if (slot == nullptr)
		return B_BAD_SEM_ID;

	uint64 word = slot->word.load(std::memory_order_acquire);
	for (;;) {
		if (id_of(word) != (uint32)id)
			return B_BAD_SEM_ID;
		if ((word & kQueued) != 0) {
			// Others wait already: this one waits behind them.
			if (deadline.poll)
				return B_WOULD_BLOCK;
			break;
		}
		if (count_of(word) >= count) {
			if (slot->word.compare_exchange_weak(word, word - (uint64)count,
					std::memory_order_acq_rel, std::memory_order_acquire)) {
				slot->latestHolder.store(self->id, std::memory_order_relaxed);
				return B_OK;
			}
			continue;
		}
		if (deadline.poll)
			return B_WOULD_BLOCK;
		// The first to wait stops the lock-free calls.
		if (slot->word.compare_exchange_weak(word, word | kQueued,
				std::memory_order_acq_rel, std::memory_order_acquire))
			break;
	}

	// Waiting lets go of the kernel lock: the semaphore may be deleted
	// meanwhile (its slot then holds another id or none).
	SemWaiter waiter{self, count};
	slot->state->queue.push_back(&waiter);
	status_t result = block_until(lock, self, nullptr, WaitKind::Semaphore, id, deadline,
		[&] { return waiter.granted || !slot->Holds(id); });
	if (!slot->Holds(id))
		return B_BAD_SEM_ID;
	if (waiter.granted)
		return B_OK;

	// Timed out or killed: leave the queue. Those behind this waiter may
	// now be satisfied by what is available.
	std::deque<SemWaiter*>& queue = slot->state->queue;
	auto found = std::find(queue.begin(), queue.end(), &waiter);
	if (found != queue.end())
		queue.erase(found);
	slot->Grant();
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	return result;
}

inline status_t acquire(sem_id id, int32 count, uint32 flags, bigtime_t timeout)
{
	if (count < 1)
		return B_BAD_VALUE;
	Slot* slot = slot_of(id);
	// A pending kill or suspension is left to enter_blocking_call.
	ThreadRecord* self = current_thread_cheaply();
	if (slot != nullptr && !self->attention.load(std::memory_order_relaxed)) {
		status_t result = try_acquire_at_once(slot, id, count, self->id);
		if (result <= B_OK)
			return result;
	}
	return acquire_in_turn(slot, id, count, Deadline::From(flags, timeout));
}

// The release while threads wait: they are served in order, under the
// kernel lock.
[[gnu::noinline]] status_t release_in_turn(Slot* slot, sem_id id, int32 count)
{
	KernelLock lock(kernel_mutex());
	// The queue may have emptied meanwhile, and the lock-free calls be back.
	status_t result = try_release_at_once(slot, id, count);
	if (result <= B_OK)
		return result;
	// Nobody but holders of the kernel lock changes the word now.
	slot->word.store(slot->word.load(std::memory_order_relaxed) + (uint64)count,
		std::memory_order_relaxed);
	slot->Grant();
	return B_OK;
}

inline status_t release(sem_id id, int32 count)
{
	if (count < 1)
		return B_BAD_VALUE;
	Slot* slot = slot_of(id);
	if (slot == nullptr)
		return B_BAD_SEM_ID;
	status_t result = try_release_at_once(slot, id, count);
	if (result <= B_OK)
		return result;
	return release_in_turn(slot, id, count);
}

}

[[gnu::hot]] status_t acquire_sem(sem_id id)
{
	return acquire(id, 1, 0, 0);
}

status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout)
{
	return acquire(id, count, flags, timeout);
}

[[gnu::hot]] status_t release_sem(sem_id id)
{
	return release(id, 1);
}

status_t release_sem_etc(sem_id id, int32 count, uint32 flags)
{
	// Threads never yield on release here, so B_DO_NOT_RESCHEDULE is what
	// always happens. Release never blocks, so a pending kill or suspension
	// of the caller waits for its next blocking call.
	(void)flags;
	return release(id, count);
}

status_t get_sem_count(sem_id id, int32* threadCount)
{
	if (threadCount == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	Slot* slot = find_locked(id);
	if (slot == nullptr)
		return B_BAD_SEM_ID;
	*threadCount = slot->ReportedCount();
	return B_OK;
}

status_t get_sem_info(sem_id id, sem_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	Slot* slot = find_locked(id);
	if (slot == nullptr)
		return B_BAD_SEM_ID;
	memset(info, 0, sizeof(*info));
	info->sem = id;
	info->team = getpid();
	strncpy(info->name, slot->state->name.c_str(), B_OS_NAME_LENGTH - 1);
	info->count = slot->ReportedCount();
	info->latest_holder = slot->latestHolder.load(std::memory_order_relaxed);
	return B_OK;
}

namespace BPrivate {

int32 semaphore_count()
{
	KernelLock lock(kernel_mutex());
	return gSemCount;
}

}
