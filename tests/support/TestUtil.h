// Helpers shared by the test programs.
#ifndef TEST_UTIL_H
#define TEST_UTIL_H

#include <Messenger.h>
#include <SupportDefs.h>

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include <thread>

namespace testutil {

// Polls `done` until it returns true or `timeout` microseconds have passed.
// Tests wait for events with this instead of sleeping for a fixed time.
bool wait_for(const std::function<bool()>& done, bigtime_t timeout = 5000000);

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
	TempDir();
	~TempDir();
	const std::string& Path() const { return fPath; }
	// Path of `name` inside the folder.
	std::string File(const std::string& name) const;
	// Writes `contents` to `name` inside the folder and returns its path.
	std::string Write(const std::string& name, const std::string& contents) const;
private:
	std::string fPath;
};

// Ends a Run() that went wrong instead of hanging the suite: when it has
// not been stopped (or destroyed) within `timeout` microseconds, it sends
// B_QUIT_REQUESTED to `target` and remembers that it had to. A test whose
// Run() must end by itself checks Fired() afterwards, so that the watchdog
// cannot make it pass.
class RunWatchdog {
public:
	explicit RunWatchdog(const BMessenger& target, bigtime_t timeout = 30000000);
	~RunWatchdog();
	void Stop();
	bool Fired() const { return fFired; }
private:
	std::mutex fLock;
	std::condition_variable fWake;
	bool fStop = false;
	std::atomic<bool> fFired{false};
	std::thread fThread;
};

// The kernel thread id of the calling thread.
pid_t current_tid();

// True when thread `tid` of this process sleeps in the kernel (waiting on a
// lock, a condition or I/O), false while it runs or once it has ended.
// Lets a test wait for another thread to block instead of guessing a time.
bool is_blocked(pid_t tid);

// The kernel thread id of this process's (first) thread named `name`, as
// /proc shows names (15 bytes at most); -1 when there is none.
pid_t thread_named(const std::string& name);

// Voluntary context switches so far of the thread named `name`, or -1.
long long thread_switches(const std::string& name);

// Whole contents of a file, or an empty string when it cannot be read.
std::string read_file(const std::string& path);

// The names in a folder (without "." and ".."), sorted.
std::vector<std::string> folder_names(const std::string& path);

// A full disk, simulated: while the object lives, no file of this process
// may grow beyond `bytes` (writes past it fail with EFBIG, and the signal
// the kernel sends for them is ignored).
class FileSizeLimit {
public:
	explicit FileSizeLimit(size_t bytes);
	~FileSizeLimit();
private:
	unsigned long long fSoft;
	void (*fHandler)(int);
};

}

#endif
