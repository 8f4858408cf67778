// Kernel: threads, semaphores, ports, time and system information.
//
// Threads are real POSIX threads with platform thread ids (positive, never
// reused within the process). Semaphores and ports live in this process; a
// port with a name can also be found and written to from another process of
// the same user (see find_port).
//
// Blocking calls. snooze, snooze_until, acquire_sem*, read_port*,
// write_port*, port_buffer_size*, wait_for_thread, send_data and
// receive_data are the points where another thread's suspend_thread and
// kill_thread reach the calling thread:
//  - suspend_thread on another thread takes effect when that thread next
//    enters one of these calls; it then sleeps until resume_thread.
//  - kill_thread on a thread blocked in one of them wakes it, and the thread
//    ends right there; a thread busy elsewhere ends when it next enters one.
//    The thread ends by unwinding its stack (as pthread_exit does), so
//    destructors run; code that catches every exception with catch (...)
//    must rethrow, and a killed thread must not be blocked inside a noexcept
//    function (a destructor included), or the process aborts.
//  - A thread killed before resume_thread never runs.
// kill_thread works on threads made by spawn_thread only; others (the main
// thread, threads of other libraries) answer B_NOT_ALLOWED.
//
// Ownership and life: a thread's record is kept until it has ended and its
// exit status was collected by wait_for_thread; the statuses of the most
// recent ended threads nobody waited for are kept for a while, older ones
// are given up (wait_for_thread then answers B_BAD_THREAD_ID).
#ifndef _OS_H
#define _OS_H

#include <SupportDefs.h>

#define B_OS_NAME_LENGTH 32
#define B_PAGE_SIZE 4096
#define B_INFINITE_TIMEOUT (9223372036854775807LL)
#define B_SYSTEM_TIMEBASE 0

typedef int32 area_id;
typedef int32 port_id;
typedef int32 sem_id;
typedef int32 team_id;
typedef int32 thread_id;

// Flags of the *_etc calls.
enum {
	B_CAN_INTERRUPT     = 0x01,
	B_DO_NOT_RESCHEDULE = 0x02,
	B_CHECK_PERMISSION  = 0x04,
	B_TIMEOUT           = 0x08,
	B_RELATIVE_TIMEOUT  = 0x08,
	B_ABSOLUTE_TIMEOUT  = 0x10
};

// ---- Threads

typedef int32 (*thread_func)(void*);
#define thread_entry thread_func

enum {
	B_IDLE_PRIORITY              = 0,
	B_LOWEST_ACTIVE_PRIORITY     = 1,
	B_LOW_PRIORITY               = 5,
	B_NORMAL_PRIORITY            = 10,
	B_DISPLAY_PRIORITY           = 15,
	B_URGENT_DISPLAY_PRIORITY    = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY            = 110,
	B_REAL_TIME_PRIORITY         = 120
};

typedef enum {
	B_THREAD_RUNNING = 1,
	B_THREAD_READY,
	B_THREAD_RECEIVING,
	B_THREAD_ASLEEP,
	B_THREAD_SUSPENDED,
	B_THREAD_WAITING
} thread_state;

typedef struct {
	thread_id    thread;
	team_id      team;
	char         name[B_OS_NAME_LENGTH];
	thread_state state;
	int32        priority;
	sem_id       sem;
	bigtime_t    user_time;
	bigtime_t    kernel_time;
	void*        stack_base;
	void*        stack_end;
} thread_info;

#ifdef __cplusplus
extern "C" {
#endif

// A new thread is created suspended; resume_thread (or wait_for_thread)
// starts it. Names are cut to B_OS_NAME_LENGTH - 1 bytes.
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
// Starts a new thread or wakes a suspended one; B_BAD_THREAD_STATE if the
// thread is neither.
status_t  resume_thread(thread_id thread);
// Suspends a thread: the caller at once, another thread at its next
// blocking call (see above).
status_t  suspend_thread(thread_id thread);
// See "Blocking calls" above. A killed thread's exit status is B_INTERRUPTED.
status_t  kill_thread(thread_id thread);
status_t  rename_thread(thread_id thread, const char* newName);
// A hint (Linux gives ordinary threads nice values only); returns the old
// priority.
status_t  set_thread_priority(thread_id thread, int32 newPriority);
// Ends the calling thread; unwinds its stack like kill_thread.
void      exit_thread(status_t status);
// The thread function's return value (or exit_thread's status) goes to
// *returnValue; B_BAD_THREAD_ID for an unknown thread.
status_t  wait_for_thread(thread_id thread, status_t* returnValue);
// Callbacks run on the ending thread, the last registered first.
status_t  on_exit_thread(void (*callback)(void*), void* data);
// NULL finds the calling thread (which need not have been spawned here: it
// gets an id on first use); a name finds a live thread, else B_NAME_NOT_FOUND.
thread_id find_thread(const char* name);
status_t  get_thread_info(thread_id thread, thread_info* info);
status_t  get_next_thread_info(team_id team, int32* cookie, thread_info* info);
// A thread holds one message: send_data waits while the target still has
// an unread one; receive_data waits for one and copies what fits.
status_t  send_data(thread_id thread, int32 code, const void* buffer, size_t bufferSize);
int32     receive_data(thread_id* sender, void* buffer, size_t bufferSize);
bool      has_data(thread_id thread);

status_t  snooze(bigtime_t amount);
status_t  snooze_until(bigtime_t time, int timeBase);

// ---- Semaphores

typedef struct {
	sem_id    sem;
	team_id   team;
	char      name[B_OS_NAME_LENGTH];
	int32     count;
	thread_id latest_holder;
} sem_info;

sem_id   create_sem(int32 count, const char* name);
// Waiters blocked on a deleted semaphore return B_BAD_SEM_ID.
status_t delete_sem(sem_id id);
status_t acquire_sem(sem_id id);
// Waiters are served in arrival order. With B_RELATIVE_TIMEOUT a time-out of
// 0 only tries (B_WOULD_BLOCK), a longer one may end in B_TIMED_OUT; with
// B_ABSOLUTE_TIMEOUT the time-out is a system_time(). Without either flag
// the call waits for as long as it takes.
status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout);
status_t release_sem(sem_id id);
status_t release_sem_etc(sem_id id, int32 count, uint32 flags);
// The count; negative: the count the waiters still ask for.
status_t get_sem_count(sem_id id, int32* threadCount);
status_t get_sem_info(sem_id id, sem_info* info);

// ---- Ports

typedef struct {
	port_id port;
	team_id team;
	char    name[B_OS_NAME_LENGTH];
	int32   capacity;
	int32   queue_count;
	int32   total_count;
} port_info;

#define B_MAX_PORT_COUNT 4096

// A port holds at most `capacity` (> 0) messages; writers block while it is
// full, readers while it is empty. The time-outs of the *_etc calls follow
// acquire_sem_etc. A port with a name is published for the other processes
// of the user until it is deleted or the process ends.
port_id create_port(int32 capacity, const char* name);
// Finds a port by name: this process's own first, else the oldest live one
// that another process of the same user created. For the latter it returns
// a proxy: write_port* on it delivers to that port (blocking while it is
// full, B_BAD_PORT_ID once it is gone); reading, counting, closing or
// deleting it answers B_NOT_ALLOWED.
port_id find_port(const char* name);
status_t write_port(port_id port, int32 code, const void* buffer, size_t bufferSize);
status_t write_port_etc(port_id port, int32 code, const void* buffer,
                        size_t bufferSize, uint32 flags, bigtime_t timeout);
// Returns the number of bytes copied. A buffer smaller than the message
// gets what fits, and the message is consumed all the same.
ssize_t  read_port(port_id port, int32* code, void* buffer, size_t bufferSize);
ssize_t  read_port_etc(port_id port, int32* code, void* buffer,
                       size_t bufferSize, uint32 flags, bigtime_t timeout);
// Waits for a message and returns its size without reading it.
ssize_t  port_buffer_size(port_id port);
ssize_t  port_buffer_size_etc(port_id port, uint32 flags, bigtime_t timeout);
ssize_t  port_count(port_id port);
// No more writes; readers still get what is queued, then B_BAD_PORT_ID.
status_t close_port(port_id port);
// Waiting readers and writers return B_BAD_PORT_ID.
status_t delete_port(port_id port);
status_t get_port_info(port_id port, port_info* info);
status_t set_port_owner(port_id port, team_id team);

// ---- Time

// Microseconds since an arbitrary point; monotonic.
bigtime_t system_time(void);
// Seconds since 1970 (UTC).
uint32    real_time_clock(void);

// ---- Teams and the system

typedef struct {
	team_id team;
	int32   image_count;
	int32   thread_count;
	int32   area_count;
	thread_id debugger_nub_thread;
	port_id debugger_nub_port;
	int32   argc;
	char    args[64];
	uid_t   uid;
	gid_t   gid;
} team_info;

#define B_CURRENT_TEAM 0
#define B_SYSTEM_TEAM  1

// Any running team; B_BAD_TEAM_ID once it has ended. Images are counted
// for the current team only.
status_t get_team_info(team_id team, team_info* info);
// The id of this process.
team_id  current_team(void);

typedef struct {
	bigtime_t boot_time;
	int32     cpu_count;
	int64     max_pages;
	int64     used_pages;
	int32     used_threads;
	int32     max_threads;
	int32     used_teams;
	int32     max_teams;
	int32     used_sems;
	int32     max_sems;
	int32     used_ports;
	int32     max_ports;
	char      kernel_name[B_OS_NAME_LENGTH];
} system_info;

status_t get_system_info(system_info* info);

int32 atomic_add(vint32* value, int32 addValue);
int32 atomic_and(vint32* value, int32 andValue);
int32 atomic_or(vint32* value, int32 orValue);
int32 atomic_get(vint32* value);
int32 atomic_set(vint32* value, int32 newValue);

// Prints the message and aborts the process.
void debugger(const char* message);

#ifdef __cplusplus
}
#endif

#endif
