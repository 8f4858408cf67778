#include <Messenger.h>

#include <Application.h>
#include <Handler.h>
#include <Looper.h>

#include "app/AppLink.h"
#include "app/LooperPort.h"
#include "app/MessagePrivate.h"
#include "app/TokenSpace.h"

using BPrivate::AppLink;
using BPrivate::LooperPort;
using BPrivate::MessageAccess;
using BPrivate::TokenSpace;

[[gnu::hot]] BMessenger::BMessenger()
	: fTeam(-1), fToken(BPrivate::B_NULL_TOKEN), fPreferred(false)
{
}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result)
	: BMessenger()
{
	status_t status = B_BAD_VALUE;
	if (signature == NULL) {
		if (result != NULL)
			*result = B_BAD_VALUE;
		return;
	}
	// This process's own application is reached directly.
	if ((team < 0 || team == current_team())
		&& BPrivate::same_signature(AppLink::Signature().c_str(), signature)
		&& AppLink::AppToken() != BPrivate::B_NULL_TOKEN) {
		*this = AppLink::AppMessenger();
		if (result != NULL)
			*result = B_OK;
		return;
	}
	bool teamFound = false;
	for (const BPrivate::RunningApp& app : BPrivate::running_apps()) {
		if (team >= 0 && app.team != team)
			continue;
		teamFound = true;
		if (!BPrivate::same_signature(app.signature.c_str(), signature))
			continue;
		if (app.team == current_team())
			*this = AppLink::AppMessenger();
		else
			MessageAccess::SetMessenger(this, app.team, BPrivate::B_NULL_TOKEN, true);
		status = B_OK;
		break;
	}
	if (status != B_OK && team >= 0)
		status = teamFound ? (status_t)B_MISMATCHED_VALUES : (status_t)B_BAD_TEAM_ID;
	if (result != NULL)
		*result = status;
}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
	: BMessenger()
{
	status_t status = B_OK;
	if (handler != NULL) {
		BLooper* owner = handler->Looper();
		if (owner == NULL)
			status = B_BAD_HANDLER;
		else if (looper != NULL && looper != owner)
			status = B_MISMATCHED_VALUES;
		else
			MessageAccess::SetMessenger(this, current_team(), handler->fToken, false);
	} else if (looper != NULL) {
		if (!BPrivate::LooperList::PortOf(looper))
			status = B_BAD_VALUE;
		else
			MessageAccess::SetMessenger(this, current_team(), looper->fToken, true);
	} else {
		status = B_BAD_VALUE;
	}
	if (result != NULL)
		*result = status;
}

BMessenger::BMessenger(const BMessenger& other)
	: fTeam(other.fTeam), fToken(other.fToken), fPreferred(other.fPreferred)
{
}

[[gnu::hot]] BMessenger::~BMessenger()
{
}

[[gnu::hot]] BMessenger& BMessenger::operator=(const BMessenger& other)
{
	fTeam = other.fTeam;
	fToken = other.fToken;
	fPreferred = other.fPreferred;
	return *this;
}

bool BMessenger::operator==(const BMessenger& other) const
{
	return fTeam == other.fTeam && fToken == other.fToken
		&& fPreferred == other.fPreferred;
}

bool operator<(const BMessenger& a, const BMessenger& b)
{
	if (a.fTeam != b.fTeam)
		return a.fTeam < b.fTeam;
	if (a.fToken != b.fToken)
		return a.fToken < b.fToken;
	return !a.fPreferred && b.fPreferred;
}

bool operator!=(const BMessenger& a, const BMessenger& b)
{
	return !(a == b);
}

[[gnu::hot]] bool BMessenger::IsValid() const
{
	if (fTeam < 0)
		return false;
	if (fTeam == current_team())
		return TokenSpace::IsAlive(fToken);
	BPrivate::RunningApp app;
	return BPrivate::find_running_app(fTeam, &app);
}

bool BMessenger::IsTargetLocal() const
{
	return fTeam >= 0 && fTeam == current_team();
}

BHandler* BMessenger::Target(BLooper** looper) const
{
	if (looper != NULL)
		*looper = NULL;
	if (!IsTargetLocal())
		return NULL;
	BHandler* handler = NULL;
	std::shared_ptr<LooperPort> port;
	if (!TokenSpace::Get(fToken, &handler, &port) || !port)
		return NULL;
	if (looper != NULL)
		*looper = port->Looper();
	return fPreferred ? NULL : handler;
}

bool BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	if (!IsTargetLocal())
		return B_BAD_VALUE;
	return TokenSpace::LockLooperOf(fToken, timeout);
}

[[gnu::hot]] team_id BMessenger::Team() const
{
	return fTeam;
}

// ---- Sending

namespace {

BMessenger default_reply_target()
{
	return AppLink::AppMessenger();
}

}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

[[gnu::hot]] status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo,
                                 bigtime_t timeout) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	BPrivate::SendOptions options;
	options.timeout = timeout;
	options.replyTo = replyTo != NULL ? BMessenger(replyTo) : default_reply_target();
	return BPrivate::deliver_message(*this, *message, options);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo,
                                 bigtime_t timeout) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	BPrivate::SendOptions options;
	options.timeout = timeout;
	options.replyTo = replyTo.fTeam >= 0 ? replyTo : default_reply_target();
	return BPrivate::deliver_message(*this, *message, options);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t BMessenger::SendMessage(BMessage* message, BMessage* reply,
                                 bigtime_t sendTimeout, bigtime_t replyTimeout) const
{
	if (message == NULL || reply == NULL)
		return B_BAD_VALUE;
	if (fTeam < 0)
		return B_BAD_PORT_ID;
	if (!IsTargetLocal()) {
		// Answers cannot travel back between processes to a waiting
		// thread; only asynchronous sends reach other applications.
		return B_NOT_ALLOWED;
	}
	std::shared_ptr<LooperPort> port;
	if (!TokenSpace::Get(fToken, NULL, &port) || !port)
		return B_BAD_PORT_ID;
	// The target could never answer while the caller waits: it is the
	// caller's own looper, or the caller holds its lock.
	if (port->thread.load() == BPrivate::current_thread_id() || port->IsLockedByCaller())
		return B_WOULD_BLOCK;

	BPrivate::SendOptions options;
	options.timeout = sendTimeout;
	options.slot = std::make_shared<BPrivate::ReplySlot>();
	status_t status = BPrivate::deliver_message(*this, *message, options);
	if (status != B_OK)
		return status;
	BMessage* answer = NULL;
	status = options.slot->Wait(replyTimeout, &answer);
	if (status != B_OK)
		return status;
	MessageAccess::Adopt(reply, answer);
	return B_OK;
}

namespace BPrivate {

[[gnu::hot]] status_t deliver_message(const BMessenger& target, const BMessage& message,
                         const SendOptions& options)
{
	team_id team = target.Team();
	int32 token = MessageAccess::Token(target);
	bool preferred = MessageAccess::Preferred(target);
	if (team < 0)
		return B_BAD_PORT_ID;
	if (team != current_team())
		return send_to_team(team, message, token, preferred, options);

	std::shared_ptr<LooperPort> port;
	if (!TokenSpace::Get(token, NULL, &port) || !port)
		return B_BAD_PORT_ID;
	BMessage* copy = make_delivered_copy(message, options);
	MessageDelivery& d = MessageAccess::MakeDelivery(copy);
	d.targetToken = token;
	d.preferred = preferred;
	// A looper's thread never waits for room in its own queue: nobody
	// else would ever make that room.
	bigtime_t timeout = options.timeout;
	if (port->thread.load() == current_thread_id())
		timeout = 0;
	status_t status = port->Push(copy, timeout);
	if (status != B_OK) {
		// Not delivered, so not to be answered with B_NO_REPLY either.
		d.slot.reset();
		delete copy;
	}
	return status;
}

}
