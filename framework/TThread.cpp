#include "TThread.h"

namespace orvik {

TThread::TThread(const char* name, int32 priority)
	:
	fTerminateRequested(false),
	fThread(-1),
	fAutoDelete(false),
	fFinished(false)
{
	fThread = spawn_thread(&TThread::Entry, name, priority, this);
}

TThread::~TThread()
{
	if (fThread >= 0 && find_thread(NULL) != fThread) {
		if (!fFinished)
			kill_thread(fThread);
		status_t ignored;
		wait_for_thread(fThread, &ignored);
	}
}

int32 TThread::Entry(void* data)
{
	TThread* self = static_cast<TThread*>(data);
	const int32 result = self->Execute();
	self->fFinished = true;
	if (self->fAutoDelete)
		delete self;
	return result;
}

bool TThread::Resume()
{
	return resume_thread(fThread) == B_OK;
}

bool TThread::Suspend()
{
	return suspend_thread(fThread) == B_OK;
}

bool TThread::Wait()
{
	status_t result;
	wait_for_thread(fThread, &result);
	return true;
}

bool TThread::Terminate()
{
	fTerminateRequested = true;
	return true;
}

bool TThread::IsSuspended() const
{
	thread_info info;
	return get_thread_info(fThread, &info) == B_OK && info.state == B_THREAD_SUSPENDED;
}

bool TThread::SetName(const char* name)
{
	return rename_thread(fThread, name) == B_OK;
}

bool TThread::SetAutoDelete(bool autoDelete)
{
	fAutoDelete = autoDelete;
	return true;
}

}
