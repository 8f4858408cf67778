// Handler tokens: the numbers by which messengers name their targets.
//
// Every BHandler gets a token for its lifetime; the table maps it to the
// handler and to the port of the looper the handler belongs to (none while
// it belongs to no looper). Tokens are not reused while the process runs
// (until 2^31 handlers have been made), so a stale messenger can never
// reach a newer handler by accident.
#ifndef PRIVATE_APP_TOKEN_SPACE_H
#define PRIVATE_APP_TOKEN_SPACE_H

#include <OS.h>

#include <memory>

class BHandler;
class BLooper;

namespace BPrivate {

class LooperPort;

class TokenSpace {
public:
	static int32 NewToken(BHandler* handler);
	static void RemoveToken(int32 token);
	// The handler joined the looper of `port`, or left it (NULL).
	static void SetPort(int32 token, std::shared_ptr<LooperPort> port);
	// False when the token is unknown. Either output may be NULL. The
	// handler pointer is only safe to use with the port's looper locked.
	static bool Get(int32 token, BHandler** handler,
	                std::shared_ptr<LooperPort>* port);
	// True when the handler of `token` belongs to the looper of `port`;
	// `handler` (may be NULL) is then set. For the looper's own thread,
	// which needs no reference to a port it holds anyway.
	static bool IsIn(int32 token, const LooperPort* port, BHandler** handler);
	// IsIn for a caller that asks about the same token over and over (a
	// looper about the handler its messages go to): `memo` keeps the last
	// answer found, which holds until a handler leaves a looper or is
	// deleted anywhere. The caller keeps the memo from being used by two
	// threads at once.
	struct Memo {
		int32 token = -1;
		const LooperPort* port = nullptr;
		BHandler* handler = nullptr;
		uint32 generation = 0;
	};
	static bool IsIn(int32 token, const LooperPort* port, BHandler** handler, Memo* memo);
	// True when `token` names a handler in a looper that has not quit.
	static bool IsAlive(int32 token);
	// Locks the looper that the handler of `token` belongs to, for
	// BHandler::LockLooper and BMessenger::LockTarget alike. B_OK with the
	// lock held; B_BAD_VALUE when the handler is gone, belongs to no looper
	// (also when it left its looper while the caller waited) or its looper
	// has quit; B_MISMATCHED_VALUES when the handler moved to another looper
	// while the caller waited; B_TIMED_OUT or B_WOULD_BLOCK (a zero
	// `timeout`) when the lock is held elsewhere.
	static status_t LockLooperOf(int32 token, bigtime_t timeout);
};

// Every looper of the process, in the order they were made.
class LooperList {
public:
	static void Add(BLooper* looper, std::shared_ptr<LooperPort> port);
	static void Remove(BLooper* looper);
	// The port of a living looper; NULL when `looper` is not one.
	static std::shared_ptr<LooperPort> PortOf(const BLooper* looper);
	static int32 Count();
	static BLooper* At(int32 index);
	static BLooper* ForThread(thread_id thread);
};

}

#endif
