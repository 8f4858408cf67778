// A thread that runs an object's Execute.
#ifndef FRAMEWORK_T_THREAD_H
#define FRAMEWORK_T_THREAD_H

#include <OS.h>

#include <atomic>

namespace orvik {

class TThread {
public:
	// Spawns the thread suspended; it starts with Resume.
	TThread(const char* name, int32 priority);
	// From another thread: ends the thread (kill_thread) and waits until it
	// has left, so it never runs on a deleted object. A thread that is busy
	// outside the kernel's blocking calls ends at its next one. When an
	// auto-delete thread deletes itself after Execute, the thread then ends
	// normally.
	virtual ~TThread();

	bool Resume();
	bool Suspend();
	// Waits for the thread to end.
	bool Wait();
	// Asks Execute to end its loop; does not stop the thread by force.
	virtual bool Terminate();
	// True once Execute has returned.
	bool IsTerminated() const { return fFinished; }
	bool IsSuspended() const;
	bool SetName(const char* name);
	bool SetAutoDelete(bool autoDelete);

	thread_id Thread() const { return fThread; }

protected:
	virtual int32 Execute() = 0;

	// Read by Execute; set by Terminate from any thread.
	std::atomic<bool> fTerminateRequested;

private:
	static int32 Entry(void* data);

	thread_id fThread;
	std::atomic<bool> fAutoDelete;
	std::atomic<bool> fFinished;
};

}

#endif
