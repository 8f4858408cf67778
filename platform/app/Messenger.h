// BMessenger: an address to which messages can be sent.
//
// A messenger names a target by its team (process) and handler token;
// never by a raw pointer, so a messenger whose handler or looper has been
// deleted simply becomes invalid (IsValid() false, sends fail with
// B_BAD_PORT_ID) instead of reaching freed memory. A messenger may also
// aim at a looper's preferred handler, which is resolved on delivery.
//
// Local targets are reached directly through their looper's queue. A
// messenger to an application of another process carries that process's
// id and reaches it through the application's named port; messages to
// another process are sent asynchronously (a synchronous send to another
// process fails with B_BAD_VALUE unless it can be answered locally).
//
// A messenger is a small value; it owns nothing and is freely copied.
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include <Message.h>
#include <OS.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;

class BMessenger {
public:
	BMessenger();
	// The application with this signature. With team -1, the one in this
	// process if it has that signature, else any running one. `result`
	// receives B_BAD_VALUE for a missing signature or when no application
	// with it runs, B_BAD_TEAM_ID when `team` runs no application, and
	// B_MISMATCHED_VALUES when the application of `team` has another
	// signature.
	BMessenger(const char* signature, team_id team = -1, status_t* result = NULL);
	// A handler (in its looper), or the looper's preferred handler when
	// `handler` is NULL. B_BAD_HANDLER when the handler is in no looper,
	// B_MISMATCHED_VALUES when it is in another looper than `looper`,
	// B_BAD_VALUE when both are NULL.
	BMessenger(const BHandler* handler, const BLooper* looper = NULL,
	           status_t* result = NULL);
	BMessenger(const BMessenger& other);
	~BMessenger();

	BMessenger& operator=(const BMessenger& other);
	bool operator==(const BMessenger& other) const;

	bool IsValid() const;
	bool IsTargetLocal() const;
	// The target handler (NULL for the preferred handler) and, through
	// `looper`, its looper; both NULL for a remote or invalid target.
	// The pointers are only safe to use while the looper is locked.
	BHandler* Target(BLooper** looper) const;
	// Locks the target's looper; false when it is gone. The answers are
	// BHandler::LockLooperWithTimeout's, and B_BAD_VALUE for a target in
	// another application.
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;
	team_id Team() const;

	// Asynchronous sends; replies go to `replyTo`, or to be_app when no
	// reply target is given. The message is copied.
	status_t SendMessage(uint32 command, BHandler* replyTo = NULL) const;
	status_t SendMessage(BMessage* message, BHandler* replyTo = NULL,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(BMessage* message, BMessenger replyTo,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	// Synchronous sends: wait for the reply, which replaces `*reply`. A
	// target that deletes the message unanswered produces B_NO_REPLY.
	// A send to the calling thread's own looper fails with B_WOULD_BLOCK
	// instead of waiting for ever.
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
	                     bigtime_t sendTimeout = B_INFINITE_TIMEOUT,
	                     bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

private:
	friend class BPrivate::MessageAccess;
	friend bool operator<(const BMessenger& a, const BMessenger& b);

	team_id fTeam;        // -1: invalid
	int32 fToken;         // handler token; for the preferred handler, the looper's
	bool fPreferred;      // aim at the looper's preferred handler
};

bool operator<(const BMessenger& a, const BMessenger& b);
bool operator!=(const BMessenger& a, const BMessenger& b);

#endif
