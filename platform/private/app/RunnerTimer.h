// The one thread that sends the messages of every BMessageRunner.
//
// Each runner is an entry with its target, message, interval and the count
// of messages still to send (negative: for ever). A message goes out when
// its time comes; the next is due one interval later. A target whose queue
// is full misses that beat rather than stalling every other runner; a
// target that is gone ends the runner.
#ifndef PRIVATE_APP_RUNNER_TIMER_H
#define PRIVATE_APP_RUNNER_TIMER_H

#include <Message.h>
#include <Messenger.h>

namespace BPrivate {

// Shorter intervals are raised to this (µs), so that a runner cannot keep
// the timer thread busy without pause.
enum { MIN_RUNNER_INTERVAL = 1000 };

class RunnerTimer {
public:
	// Returns the runner's token.
	static int32 Add(const BMessenger& target, const BMessage& message,
	                 bigtime_t interval, int32 count, const BMessenger& replyTo);
	// After this returns, the runner sends nothing more.
	static void Remove(int32 token);
	static status_t SetInterval(int32 token, bigtime_t interval);
	static status_t SetCount(int32 token, int32 count);
	// B_BAD_VALUE for a runner that has sent all its messages.
	static status_t GetInfo(int32 token, bigtime_t* interval, int32* count);
};

}

#endif
