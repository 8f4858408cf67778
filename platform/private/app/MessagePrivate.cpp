#include "app/MessagePrivate.h"

#include "app/LooperPort.h"
#include "app/MessageData.h"

#include <string.h>

#include <chrono>
#include <new>
#include <utility>

namespace BPrivate {

ReplySlot::~ReplySlot()
{
	delete fReply;
}

bool ReplySlot::Deliver(BMessage* reply)
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (!fDone) {
			fReply = reply;
			fDone = true;
			fArrived.notify_all();
			return true;
		}
	}
	delete reply;
	return false;
}

status_t ReplySlot::Wait(bigtime_t timeout, BMessage** reply)
{
	std::unique_lock<std::mutex> lock(fLock);
	auto arrived = [this] { return fDone; };
	if (timeout < 0 || timeout >= ((bigtime_t)1 << 50))
		fArrived.wait(lock, arrived);
	else if (!fArrived.wait_for(lock, std::chrono::microseconds(timeout), arrived))
		return timeout == 0 ? B_WOULD_BLOCK : B_TIMED_OUT;
	if (fReply == nullptr)
		return B_BAD_REPLY;   // already handed over
	*reply = fReply;
	fReply = nullptr;
	return B_OK;
}

[[gnu::hot]] MessageDelivery& MessageAccess::MakeDelivery(BMessage* message)
{
	if (message->fDelivery == nullptr)
		message->fDelivery = new (message->fDeliveryRoom) MessageDelivery;
	return *message->fDelivery;
}

void MessageAccess::Adopt(BMessage* to, BMessage* from)
{
	std::swap(to->what, from->what);
	std::swap(*to->fData, *from->fData);
	// A message without delivery state behaves as one with the default
	// state, so both get one for the exchange.
	if (to->fDelivery != nullptr || from->fDelivery != nullptr)
		std::swap(MakeDelivery(to), MakeDelivery(from));
	std::swap(to->fCurSpecifier, from->fCurSpecifier);
	delete from;
}

namespace {

void put32(uint8* buffer, int32 value)
{
	uint32 v = (uint32)value;
	for (int i = 0; i < 4; i++)
		buffer[i] = (uint8)(v >> (8 * i));
}

int32 get32(const uint8* buffer)
{
	uint32 v = 0;
	for (int i = 0; i < 4; i++)
		v |= (uint32)buffer[i] << (8 * i);
	return (int32)v;
}

}

void MessageAccess::FlattenMessenger(const BMessenger& m, uint8* buffer)
{
	put32(buffer, m.fTeam);
	put32(buffer + 4, m.fToken);
	put32(buffer + 8, m.fPreferred ? 1 : 0);
	put32(buffer + 12, 0);
}

void MessageAccess::UnflattenMessenger(BMessenger* m, const uint8* buffer)
{
	m->fTeam = get32(buffer);
	m->fToken = get32(buffer + 4);
	m->fPreferred = (get32(buffer + 8) & 1) != 0;
	if (m->fTeam < 0) {
		m->fTeam = -1;
		m->fToken = B_NULL_TOKEN;
	}
}

[[gnu::hot]] BMessage* make_delivered_copy(const BMessage& message, const SendOptions& options)
{
	BMessage* copy = new BMessage(message);
	MessageDelivery& d = MessageAccess::MakeDelivery(copy);
	d.wasDelivered = true;
	d.replyTo = options.replyTo;
	d.slot = options.slot;
	d.isReply = options.isReply;
	if (options.previous != nullptr) {
		const BMessage& answered = *options.previous;
		if (MessageAccess::Data(&answered) == MessageData()
			&& MessageAccess::CurrentSpecifier(&answered) < 0) {
			d.previousWhat = answered.what;
			d.previousPending = true;
		} else
			d.previous = std::make_unique<BMessage>(answered);
	}
	// A dropped message stays one when the kit passes it on.
	const MessageDelivery* source = MessageAccess::Delivery(&message);
	d.dropped = source != nullptr && source->dropped;
	return copy;
}

}
