// Threads: POSIX threads with the platform's thread ids and life cycle.

#include <OS.h>

#include "kernel/ThreadTable.h"

#include <fcntl.h>
#include <pthread.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

using namespace BPrivate;

namespace {

std::string clip_name(const char* name)
{
	if (name == nullptr)
		return std::string();
	return std::string(name, strnlen(name, B_OS_NAME_LENGTH - 1));
}

// Linux has no thread priorities for ordinary threads; the nice value of the
// thread is the nearest thing. Normal priority is nice 0, lower priorities
// are nicer. Raising above normal needs privileges and usually fails, which
// is fine: priorities are a hint.
void apply_priority(pid_t tid, int32 priority)
{
	if (tid == 0)
		return;
	int nice = priority <= B_IDLE_PRIORITY ? 19 : B_NORMAL_PRIORITY - priority;
	nice = std::max(-20, std::min(19, nice));
	setpriority(PRIO_PROCESS, tid, nice);
}

// The Linux name of the thread, for debuggers and `top` (15 characters).
void apply_name(pid_t tid, const std::string& name)
{
	if (tid == 0)
		return;
	char path[64];
	snprintf(path, sizeof(path), "/proc/self/task/%d/comm", (int)tid);
	int fd = open(path, O_WRONLY | O_CLOEXEC);
	if (fd < 0)
		return;
	std::string shortName = name.substr(0, 15);
	(void)!write(fd, shortName.data(), shortName.size());
	close(fd);
}

void* run_spawned_thread(void* argument)
{
	std::shared_ptr<ThreadRecord> record(
		*static_cast<std::shared_ptr<ThreadRecord>*>(argument));
	delete static_cast<std::shared_ptr<ThreadRecord>*>(argument);
	adopt_current_thread(record);
	ThreadRecord* self = record.get();

	// Records the end however the thread leaves: by returning, by
	// exit_thread, or killed in a blocking call (both unwind through here).
	struct EndGuard {
		ThreadRecord* self;
		~EndGuard() { thread_finished(self, self->exitStatus); }
	} guard{self};

	{
		KernelLock lock(kernel_mutex());
		apply_name(self->tid, self->name);
		// Spawned threads wait here for resume_thread. A thread killed
		// before it started never runs its function.
		while (self->life == ThreadRecord::Life::NotStarted && !self->killRequested)
			self->cv.wait(lock);
		if (self->killRequested) {
			self->exitStatus = B_INTERRUPTED;
			self->ending = true;
			return nullptr;
		}
		apply_priority(self->tid, self->priority);
	}

	status_t result = self->func(self->data);
	{
		KernelLock lock(kernel_mutex());
		self->exitStatus = result;
		self->ending = true;
	}
	return nullptr;
}

std::shared_ptr<ThreadRecord> find_live(thread_id id)
{
	auto record = ThreadTable::Default().Find(id);
	if (!record || record->life == ThreadRecord::Life::Ended)
		return nullptr;
	return record;
}

void wake_for_kill(ThreadRecord* record)
{
	record->killRequested = true;
	record->attention.store(true, std::memory_order_relaxed);
	record->cv.notify_all();
	if (record->wakeFd >= 0) {
		uint64_t one = 1;
		(void)!write(record->wakeFd, &one, sizeof(one));
	}
}

}

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data)
{
	if (func == nullptr)
		return B_BAD_VALUE;

	auto record = std::make_shared<ThreadRecord>();
	record->spawned = true;
	record->func = func;
	record->data = data;
	record->name = clip_name(name != nullptr ? name : "unnamed thread");
	record->priority = priority;

	thread_id id;
	{
		KernelLock lock(kernel_mutex());
		id = ThreadTable::Default().Add(record);
	}

	pthread_attr_t attr;
	pthread_attr_init(&attr);
	pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
	pthread_t thread;
	auto* argument = new std::shared_ptr<ThreadRecord>(record);
	int error = pthread_create(&thread, &attr, run_spawned_thread, argument);
	pthread_attr_destroy(&attr);
	if (error != 0) {
		delete argument;
		KernelLock lock(kernel_mutex());
		record->life = ThreadRecord::Life::Ended;
		ThreadTable::Default().Ended(record.get());
		ThreadTable::Default().Forget(id);
		return B_NO_MORE_THREADS;
	}
	return id;
}

status_t resume_thread(thread_id id)
{
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	if (record->life == ThreadRecord::Life::NotStarted) {
		record->life = ThreadRecord::Life::Running;
		record->cv.notify_all();
		return B_OK;
	}
	if (!record->suspendRequested)
		return B_BAD_THREAD_STATE;
	record->suspendRequested = false;
	record->attention.store(record->killRequested, std::memory_order_relaxed);
	record->cv.notify_all();
	return B_OK;
}

status_t suspend_thread(thread_id id)
{
	ThreadRecord* self = current_thread();
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	if (record->life == ThreadRecord::Life::NotStarted)
		return B_OK;  // already suspended
	record->suspendRequested = true;
	record->attention.store(true, std::memory_order_relaxed);
	if (record.get() == self)
		honour_suspension(lock, self);
	return B_OK;
}

status_t kill_thread(thread_id id)
{
	ThreadRecord* self = current_thread();
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	// Ending a thread that some other library started (or the main thread)
	// at one of its calls would pull the ground from under that library.
	if (!record->spawned)
		return B_NOT_ALLOWED;
	if (record->ending)
		return B_OK;  // on its way out already
	if (record.get() == self)
		end_killed_thread(lock);
	wake_for_kill(record.get());
	return B_OK;
}

status_t rename_thread(thread_id id, const char* newName)
{
	if (newName == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	record->name = clip_name(newName);
	apply_name(record->tid, record->name);
	return B_OK;
}

status_t set_thread_priority(thread_id id, int32 newPriority)
{
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	newPriority = std::max<int32>(B_IDLE_PRIORITY, std::min<int32>(B_REAL_TIME_PRIORITY, newPriority));
	const int32 old = record->priority;
	record->priority = newPriority;
	if (record->life == ThreadRecord::Life::Running)
		apply_priority(record->tid, newPriority);
	return old;
}

void exit_thread(status_t status)
{
	ThreadRecord* self = current_thread();
	{
		KernelLock lock(kernel_mutex());
		self->exitStatus = status;
		self->ending = true;
	}
	if (!self->spawned)
		thread_finished(self, status);
	pthread_exit(nullptr);
}

status_t wait_for_thread(thread_id id, status_t* returnValue)
{
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	auto record = ThreadTable::Default().Find(id);
	if (!record)
		return B_BAD_THREAD_ID;
	if (record.get() == self)
		return B_NOT_ALLOWED;
	// Waiting for a thread that was never resumed starts it, as it would
	// otherwise wait for ever.
	if (record->life == ThreadRecord::Life::NotStarted) {
		record->life = ThreadRecord::Life::Running;
		record->cv.notify_all();
	}
	status_t result = block_until(lock, self, &record->endWaiters, WaitKind::Thread,
		id, Deadline::Never(),
		[&] { return record->life == ThreadRecord::Life::Ended; });
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	if (returnValue != nullptr)
		*returnValue = record->exitStatus;
	ThreadTable::Default().Forget(id);
	return B_OK;
}

status_t on_exit_thread(void (*callback)(void*), void* data)
{
	if (callback == nullptr)
		return B_BAD_VALUE;
	current_thread()->exitCallbacks.emplace_back(callback, data);
	return B_OK;
}

thread_id find_thread(const char* name)
{
	if (name == nullptr)
		return current_thread()->id;
	KernelLock lock(kernel_mutex());
	auto record = ThreadTable::Default().FindByName(clip_name(name).c_str());
	return record ? record->id : B_NAME_NOT_FOUND;
}

static bigtime_t cpu_time_of(pid_t tid, bool kernel)
{
	if (tid == 0)
		return 0;
	char path[64];
	snprintf(path, sizeof(path), "/proc/self/task/%d/stat", (int)tid);
	FILE* file = fopen(path, "re");
	if (file == nullptr)
		return 0;
	char buffer[1024];
	size_t length = fread(buffer, 1, sizeof(buffer) - 1, file);
	fclose(file);
	buffer[length] = '\0';
	// The name in parentheses may hold spaces; fields follow its end.
	const char* rest = strrchr(buffer, ')');
	unsigned long utime = 0, stime = 0;
	if (rest == nullptr
		|| sscanf(rest + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
			&utime, &stime) != 2)
		return 0;
	const long ticks = sysconf(_SC_CLK_TCK);
	return (bigtime_t)(kernel ? stime : utime) * 1000000 / (ticks > 0 ? ticks : 100);
}

static void fill_thread_info(const ThreadRecord& record, thread_info* info)
{
	memset(info, 0, sizeof(*info));
	info->thread = record.id;
	info->team = getpid();
	strncpy(info->name, record.name.c_str(), B_OS_NAME_LENGTH - 1);
	info->priority = record.priority;
	info->sem = -1;
	if (record.life == ThreadRecord::Life::NotStarted || record.waiting == WaitKind::Suspended) {
		info->state = B_THREAD_SUSPENDED;
	} else {
		switch (record.waiting) {
			case WaitKind::Semaphore:
				info->sem = record.waitObject;
				info->state = B_THREAD_WAITING;
				break;
			case WaitKind::Port:
			case WaitKind::Thread:
				info->state = B_THREAD_WAITING;
				break;
			case WaitKind::Snooze:
				info->state = B_THREAD_ASLEEP;
				break;
			case WaitKind::Receive:
				info->state = B_THREAD_RECEIVING;
				break;
			default:
				info->state = B_THREAD_RUNNING;
				break;
		}
	}
	info->user_time = cpu_time_of(record.tid, false);
	info->kernel_time = cpu_time_of(record.tid, true);
	info->stack_base = record.stackBase;
	info->stack_end = record.stackEnd;
}

status_t get_thread_info(thread_id id, thread_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	current_thread();  // so that the caller can find itself
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	fill_thread_info(*record, info);
	return B_OK;
}

status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info)
{
	if (cookie == nullptr || info == nullptr)
		return B_BAD_VALUE;
	if (team != B_CURRENT_TEAM && team != getpid())
		return B_BAD_TEAM_ID;
	current_thread();
	KernelLock lock(kernel_mutex());
	auto record = ThreadTable::Default().Next(*cookie);
	if (!record)
		return B_BAD_VALUE;
	fill_thread_info(*record, info);
	*cookie = record->id;
	return B_OK;
}

status_t send_data(thread_id id, int32 code, const void* buffer, size_t bufferSize)
{
	if (buffer == nullptr && bufferSize > 0)
		return B_BAD_VALUE;
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	auto record = find_live(id);
	if (!record)
		return B_BAD_THREAD_ID;
	// One message at a time: a second one waits until the first is read.
	status_t result = block_until(lock, self, &record->dataWaiters, WaitKind::Thread, id,
		Deadline::Never(),
		[&] { return !record->hasData || record->life == ThreadRecord::Life::Ended; });
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	if (record->life == ThreadRecord::Life::Ended)
		return B_BAD_THREAD_ID;
	const uint8* bytes = static_cast<const uint8*>(buffer);
	record->dataBuffer.assign(bytes, bytes + bufferSize);
	record->dataCode = code;
	record->dataSender = self->id;
	record->hasData = true;
	record->cv.notify_all();
	return B_OK;
}

int32 receive_data(thread_id* sender, void* buffer, size_t bufferSize)
{
	if (buffer == nullptr && bufferSize > 0)
		return B_BAD_VALUE;
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	status_t result = block_until(lock, self, nullptr, WaitKind::Receive, -1,
		Deadline::Never(), [&] { return self->hasData; });
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	// A buffer too small for the message gets what fits.
	const size_t size = std::min(bufferSize, self->dataBuffer.size());
	if (size > 0)
		memcpy(buffer, self->dataBuffer.data(), size);
	if (sender != nullptr)
		*sender = self->dataSender;
	const int32 code = self->dataCode;
	self->hasData = false;
	self->dataBuffer.clear();
	self->dataWaiters.WakeAll();
	return code;
}

bool has_data(thread_id id)
{
	KernelLock lock(kernel_mutex());
	auto record = find_live(id);
	return record && record->hasData;
}

status_t snooze(bigtime_t amount)
{
	return snooze_until(system_time() + std::max<bigtime_t>(amount, 0), B_SYSTEM_TIMEBASE);
}

status_t snooze_until(bigtime_t time, int timeBase)
{
	if (timeBase != B_SYSTEM_TIMEBASE)
		return B_BAD_VALUE;
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	Deadline deadline = Deadline::From(B_ABSOLUTE_TIMEOUT, time);
	status_t result = block_until(lock, self, nullptr, WaitKind::Snooze, -1, deadline,
		[] { return false; });
	if (result == B_INTERRUPTED)
		end_killed_thread(lock);
	return B_OK;
}
