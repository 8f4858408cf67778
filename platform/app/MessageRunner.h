// BMessageRunner: sends a message to a target at a regular interval.
//
// The first message goes out one interval after the runner is made (or
// after SetInterval); `count` messages in all, or for ever with a count of
// -1 (or any negative count). Replies go to `replyTo`, or to the
// application when none is given.
//
// Ownership: the runner copies the message it is given; the caller keeps
// its own. Deleting the runner stops it; no message is sent after the
// destructor returns.
#ifndef _MESSAGE_RUNNER_H
#define _MESSAGE_RUNNER_H

#include <Messenger.h>
#include <OS.h>
#include <SupportDefs.h>

class BMessage;

class BMessageRunner {
public:
	BMessageRunner(BMessenger target, const BMessage* message,
	               bigtime_t interval, int32 count = -1);
	BMessageRunner(BMessenger target, const BMessage* message,
	               bigtime_t interval, int32 count, BMessenger replyTo);
	virtual ~BMessageRunner();

	// B_BAD_VALUE for a missing message, a zero count or an interval that
	// is not positive; B_OK otherwise.
	status_t InitCheck() const;

	// Starts the interval again from now.
	status_t SetInterval(bigtime_t interval);
	// Messages still to send from now; negative for ever.
	status_t SetCount(int32 count);
	// The interval and the count of messages still to send. B_BAD_VALUE
	// once every message has been sent.
	status_t GetInfo(bigtime_t* interval, int32* count) const;

private:
	BMessageRunner(const BMessageRunner&) = delete;
	BMessageRunner& operator=(const BMessageRunner&) = delete;

	void _Init(BMessenger target, const BMessage* message, bigtime_t interval,
	           int32 count, BMessenger replyTo);

	int32 fToken;        // the runner's entry in the timer; -1 on error
	status_t fInitError;
};

#endif
