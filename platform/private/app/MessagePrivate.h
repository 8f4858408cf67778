// What the kit knows about a message besides its fields: who sent it, who
// waits for its reply, where it is going. Shared by BMessage, BLooper,
// BMessenger and the remote link.
#ifndef PRIVATE_APP_MESSAGE_PRIVATE_H
#define PRIVATE_APP_MESSAGE_PRIVATE_H

#include <Message.h>
#include <Messenger.h>
#include <OS.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace BPrivate {

struct MessageData;

// Token of "no handler": a message to the looper's preferred handler.
enum { B_NULL_TOKEN = -1 };

// A private code that tells a looper's thread to end. It travels only
// inside this process and is never dispatched.
enum { QUIT_LOOPER_CODE = '_QIT' };

// Where a synchronous sender waits for its reply. Shared by the sender and
// the message; the first reply delivered wins, later ones are dropped.
class ReplySlot {
public:
	ReplySlot() = default;
	~ReplySlot();

	// Takes `reply`. False (and the reply deleted) when a reply came before.
	bool Deliver(BMessage* reply);
	// Waits up to `timeout` µs for the reply and hands it over.
	status_t Wait(bigtime_t timeout, BMessage** reply);

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	BMessage* fReply = nullptr;
	bool fDone = false;
};

struct MessageDelivery {
	bool wasDelivered = false;
	int32 targetToken = B_NULL_TOKEN;
	bool preferred = true;           // to the preferred handler of the looper
	BMessenger replyTo;              // asynchronous return address
	std::shared_ptr<ReplySlot> slot; // a local sender waits here
	bool replyDone = false;
	bool isReply = false;
	bool sourceRemote = false;
	bool dropped = false;
	// For a reply: the message answered. One that held nothing but its code
	// is kept as that code until Previous() first asks for it.
	std::unique_ptr<BMessage> previous;
	uint32 previousWhat = 0;
	bool previousPending = false;
	std::string propertyCache;       // GetCurrentSpecifier's property
};

// How a message is to be delivered, besides its target.
struct SendOptions {
	BMessenger replyTo;                    // asynchronous return address
	std::shared_ptr<ReplySlot> slot;       // a synchronous sender waits here
	bigtime_t timeout = B_INFINITE_TIMEOUT; // for room in a full queue
	bool isReply = false;
	const BMessage* previous = nullptr;    // for a reply: the message answered
};

// A copy of `message` (what and fields) carrying the delivery state of
// `options`; its target is left to the caller.
BMessage* make_delivered_copy(const BMessage& message, const SendOptions& options);

// Delivers a copy of `message` to `target`, in this process or another.
// B_BAD_PORT_ID when the target is gone, B_WOULD_BLOCK / B_TIMED_OUT when
// its queue stays full.
status_t deliver_message(const BMessenger& target, const BMessage& message,
                         const SendOptions& options);

// The kit's door into BMessage and BMessenger internals.
class MessageAccess {
public:
	static MessageData& Data(BMessage* message) { return *message->fData; }
	static const MessageData& Data(const BMessage* message) { return *message->fData; }
	static MessageDelivery* Delivery(const BMessage* message) { return message->fDelivery; }
	// The message's delivery state, made (in the message itself) if it
	// has none yet.
	static MessageDelivery& MakeDelivery(BMessage* message);
	// Moves everything, delivery state included, from `from` into `to`
	// and deletes `from`.
	static void Adopt(BMessage* to, BMessage* from);
	static int32 CurrentSpecifier(const BMessage* m) { return m->fCurSpecifier; }
	static void SetCurrentSpecifier(BMessage* m, int32 index) { m->fCurSpecifier = index; }

	static void SetMessenger(BMessenger* messenger, team_id team, int32 token,
	                         bool preferred)
	{
		messenger->fTeam = team;
		messenger->fToken = token;
		messenger->fPreferred = preferred;
	}
	static int32 Token(const BMessenger& m) { return m.fToken; }
	static bool Preferred(const BMessenger& m) { return m.fPreferred; }

	// A messenger as a B_MESSENGER_TYPE item: int32 team, int32 token,
	// int32 flags (1: preferred handler), int32 reserved; little-endian.
	enum { FLAT_MESSENGER_SIZE = 16 };
	static void FlattenMessenger(const BMessenger& m, uint8* buffer);
	static void UnflattenMessenger(BMessenger* m, const uint8* buffer);
};

}

#endif
