#include "kernel/ThreadTable.h"

#include "kernel/KernelStats.h"

#include <algorithm>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace BPrivate {

std::mutex& kernel_mutex()
{
	// Never destroyed: threads of other libraries and the main thread's
	// thread-local clean-up may still block after static destruction began.
	static std::mutex* mutex = new std::mutex;
	return *mutex;
}

std::chrono::steady_clock::time_point to_steady(bigtime_t systemTime)
{
	// system_time() and steady_clock both read CLOCK_MONOTONIC.
	return std::chrono::steady_clock::time_point(std::chrono::microseconds(systemTime));
}

// ---- WaitList

void WaitList::Remove(ThreadRecord* thread)
{
	auto found = std::find(fThreads.begin(), fThreads.end(), thread);
	if (found != fThreads.end())
		fThreads.erase(found);
}

void WaitList::WakeAll()
{
	for (ThreadRecord* thread : fThreads)
		thread->cv.notify_all();
}

ThreadRecord::~ThreadRecord()
{
	if (wakeFd >= 0)
		close(wakeFd);
}

// ---- ThreadTable

ThreadTable& ThreadTable::Default()
{
	static ThreadTable* table = new ThreadTable;
	return *table;
}

thread_id ThreadTable::Add(const std::shared_ptr<ThreadRecord>& record)
{
	record->id = fNextId++;
	fThreads[record->id] = record;
	return record->id;
}

std::shared_ptr<ThreadRecord> ThreadTable::Find(thread_id id) const
{
	auto found = fThreads.find(id);
	return found == fThreads.end() ? nullptr : found->second;
}

std::shared_ptr<ThreadRecord> ThreadTable::FindByName(const char* name) const
{
	for (const auto& [id, record] : fThreads) {
		if (record->life != ThreadRecord::Life::Ended && record->name == name)
			return record;
	}
	return nullptr;
}

std::shared_ptr<ThreadRecord> ThreadTable::Next(thread_id after) const
{
	for (auto it = fThreads.upper_bound(after); it != fThreads.end(); ++it) {
		if (it->second->life != ThreadRecord::Life::Ended)
			return it->second;
	}
	return nullptr;
}

int32 ThreadTable::LiveCount() const
{
	int32 count = 0;
	for (const auto& entry : fThreads) {
		if (entry.second->life != ThreadRecord::Life::Ended)
			count++;
	}
	return count;
}

void ThreadTable::Ended(ThreadRecord* record)
{
	fEnded.push_back(record->id);
	if (fEnded.size() > kEndedHistory) {
		// The oldest exit status nobody asked for is given up. Ids whose
		// status was already collected are simply gone from the map.
		fThreads.erase(fEnded.front());
		fEnded.erase(fEnded.begin());
	}
}

void ThreadTable::Forget(thread_id id)
{
	auto found = fThreads.find(id);
	if (found != fThreads.end() && found->second->life == ThreadRecord::Life::Ended)
		fThreads.erase(found);
}

size_t thread_record_count()
{
	KernelLock lock(kernel_mutex());
	return ThreadTable::Default().Count();
}

int32 live_thread_count()
{
	KernelLock lock(kernel_mutex());
	return ThreadTable::Default().LiveCount();
}

// ---- The calling thread

constinit thread_local ThreadRecord* tCurrentRecord = nullptr;

namespace {

struct CurrentThread {
	std::shared_ptr<ThreadRecord> record;

	~CurrentThread()
	{
		tCurrentRecord = nullptr;
		// A spawned thread is finished by its entry function; a thread we
		// only met ends here, when its thread-local storage goes away.
		if (record && !record->spawned && record->life != ThreadRecord::Life::Ended)
			thread_finished(record.get(), B_OK);
	}
};

thread_local CurrentThread tCurrent;

void read_stack(ThreadRecord* record)
{
	pthread_attr_t attr;
	if (pthread_getattr_np(pthread_self(), &attr) != 0)
		return;
	void* base = nullptr;
	size_t size = 0;
	if (pthread_attr_getstack(&attr, &base, &size) == 0) {
		record->stackBase = base;
		record->stackEnd = static_cast<char*>(base) + size;
	}
	pthread_attr_destroy(&attr);
}

}

void adopt_current_thread(const std::shared_ptr<ThreadRecord>& record)
{
	tCurrent.record = record;
	tCurrentRecord = record.get();
	KernelLock lock(kernel_mutex());
	record->tid = gettid();
	read_stack(record.get());
}

ThreadRecord* current_thread()
{
	if (!tCurrent.record) {
		auto record = std::make_shared<ThreadRecord>();
		record->spawned = false;
		record->life = ThreadRecord::Life::Running;
		char name[B_OS_NAME_LENGTH] = "";
		if (pthread_getname_np(pthread_self(), name, sizeof(name)) == 0)
			record->name = name;
		record->tid = gettid();
		read_stack(record.get());
		{
			KernelLock lock(kernel_mutex());
			ThreadTable::Default().Add(record);
		}
		tCurrent.record = record;
		tCurrentRecord = record.get();
	}
	return tCurrent.record.get();
}

void thread_finished(ThreadRecord* self, status_t status)
{
	// Callbacks run last registered first, on the ending thread.
	while (!self->exitCallbacks.empty()) {
		auto callback = self->exitCallbacks.back();
		self->exitCallbacks.pop_back();
		callback.first(callback.second);
	}

	KernelLock lock(kernel_mutex());
	self->life = ThreadRecord::Life::Ended;
	self->exitStatus = status;
	self->hasData = false;
	self->dataBuffer.clear();
	self->endWaiters.WakeAll();
	self->dataWaiters.WakeAll();
	ThreadTable::Default().Ended(self);
}

void honour_suspension(KernelLock& lock, ThreadRecord* self)
{
	while (self->suspendRequested) {
		if (self->KillPending())
			end_killed_thread(lock);
		self->waiting = WaitKind::Suspended;
		self->cv.wait(lock);
	}
	// written only when it changes: the record is read by other threads
	if (self->waiting != WaitKind::None)
		self->waiting = WaitKind::None;
}

void end_killed_thread(KernelLock& lock)
{
	ThreadRecord* self = tCurrent.record.get();
	if (self != nullptr) {
		self->exitStatus = B_INTERRUPTED;
		self->ending = true;
		// Socket waits in destructors must not see the kill signal again.
		if (self->wakeFd >= 0) {
			uint64_t count;
			(void)!read(self->wakeFd, &count, sizeof(count));
		}
	}
	lock.unlock();
	// Unwinds the stack; the thread's entry function records the end.
	pthread_exit(nullptr);
}

ThreadRecord* enter_blocking_call(KernelLock& lock)
{
	ThreadRecord* self = current_thread();
	lock = KernelLock(kernel_mutex());
	if (self->KillPending())
		end_killed_thread(lock);
	honour_suspension(lock, self);
	return self;
}

int thread_wake_fd(ThreadRecord* self)
{
	if (self->wakeFd < 0) {
		self->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
		if (self->wakeFd >= 0 && self->KillPending()) {
			uint64_t one = 1;
			(void)!write(self->wakeFd, &one, sizeof(one));
		}
	}
	return self->wakeFd;
}

}
