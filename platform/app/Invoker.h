// BInvoker: sends a model message to a target when invoked.
//
// The invoker owns its message (SetMessage deletes the old one). The
// target is a handler (which must belong to a looper when Invoke() is
// called) or a messenger; without a target the message goes to the
// looper of the object that uses the invoker (a control's window), or to
// be_app_messenger. A target that was set and has gone (its looper quit)
// is not replaced by the default: Invoke() then fails with B_BAD_PORT_ID.
//
// A handler given to SetTarget() before it joins a looper is kept by
// pointer until then; it must outlive the invoker's use of it, as on BeOS.
#ifndef _INVOKER_H
#define _INVOKER_H

#include <Messenger.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
	BInvoker();
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = NULL);
	BInvoker(BMessage* message, BMessenger target);
	virtual ~BInvoker();

	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const;
	uint32 Command() const;

	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = NULL);
	virtual status_t SetTarget(BMessenger messenger);
	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper = NULL) const;
	BMessenger Messenger() const;

	virtual status_t SetHandlerForReply(BHandler* handler);
	BHandler* HandlerForReply() const;

	// Sends a copy of `message` (or of the model message) to the target.
	// B_BAD_VALUE without a message.
	virtual status_t Invoke(BMessage* message = NULL);

	status_t SetTimeout(bigtime_t timeout);
	bigtime_t Timeout() const;

	BInvoker(const BInvoker&) = delete;
	BInvoker& operator=(const BInvoker&) = delete;

private:
	status_t _Send(BMessage* message);
	BMessenger _EffectiveTarget() const;

	BMessage* fMessage;        // owned
	BMessenger fMessenger;
	BHandler* fReplyTo;        // not owned
	bigtime_t fTimeout;
	BHandler* fPendingTarget;  // not owned; not yet in a looper when set
	bool fHasTarget;           // SetTarget named a target
};

#endif
