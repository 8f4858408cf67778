// BMessageQueue: a first-in, first-out list of messages.
//
// A looper keeps the messages it has taken from its port here until it
// dispatches them. The queue owns the messages it holds: deleting the
// queue deletes them; NextMessage and RemoveMessage hand one back to the
// caller. Every call that changes or looks into the queue locks it
// (CountMessages and IsEmpty read a count kept beside it); Lock() holds it
// across several calls.
#ifndef _MESSAGE_QUEUE_H
#define _MESSAGE_QUEUE_H

#include <Message.h>
#include <SupportDefs.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

class BMessageQueue {
public:
	BMessageQueue();
	virtual ~BMessageQueue();

	void AddMessage(BMessage* message);
	bool RemoveMessage(BMessage* message);
	// The oldest message, taken out of the queue; NULL when empty.
	BMessage* NextMessage();
	// Looks without taking out.
	BMessage* FindMessage(int32 index) const;
	BMessage* FindMessage(uint32 what, int32 index = 0) const;
	int32 CountMessages() const;
	bool IsEmpty() const;

	bool Lock();
	void Unlock();
	bool IsLocked() const;

private:
	BMessageQueue(const BMessageQueue&) = delete;
	BMessageQueue& operator=(const BMessageQueue&) = delete;

	mutable std::recursive_mutex fLock;
	std::deque<BMessage*> fMessages;
	// fMessages' size, changed with fLock held, read without it: a
	// looper asks whether its queue is empty before each message.
	std::atomic<int32> fCount{0};
	int32 fLockCount;                 // changed with fLock held
	std::thread::id fOwner;
};

#endif
