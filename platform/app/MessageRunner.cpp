#include <MessageRunner.h>

#include <Message.h>

#include "app/RunnerTimer.h"

using BPrivate::RunnerTimer;

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message,
                               bigtime_t interval, int32 count)
{
	_Init(target, message, interval, count, BMessenger());
}

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message,
                               bigtime_t interval, int32 count, BMessenger replyTo)
{
	_Init(target, message, interval, count, replyTo);
}

void BMessageRunner::_Init(BMessenger target, const BMessage* message,
                           bigtime_t interval, int32 count, BMessenger replyTo)
{
	fToken = -1;
	if (message == NULL || interval <= 0 || count == 0 || !target.IsValid()) {
		fInitError = B_BAD_VALUE;
		return;
	}
	fToken = RunnerTimer::Add(target, *message, interval, count, replyTo);
	fInitError = B_OK;
}

BMessageRunner::~BMessageRunner()
{
	if (fToken >= 0)
		RunnerTimer::Remove(fToken);
}

status_t BMessageRunner::InitCheck() const
{
	return fInitError;
}

status_t BMessageRunner::SetInterval(bigtime_t interval)
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerTimer::SetInterval(fToken, interval);
}

status_t BMessageRunner::SetCount(int32 count)
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerTimer::SetCount(fToken, count);
}

status_t BMessageRunner::GetInfo(bigtime_t* interval, int32* count) const
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerTimer::GetInfo(fToken, interval, count);
}
