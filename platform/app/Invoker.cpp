// BInvoker: a model message, a target and the sending of copies.
#include <Invoker.h>

#include <Application.h>
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <OS.h>

BInvoker::BInvoker()
	: fMessage(NULL), fReplyTo(NULL), fTimeout(B_INFINITE_TIMEOUT), fPendingTarget(NULL),
	  fHasTarget(false)
{
}

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
	: fMessage(message), fReplyTo(NULL), fTimeout(B_INFINITE_TIMEOUT), fPendingTarget(NULL),
	  fHasTarget(false)
{
	SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target)
	: fMessage(message), fMessenger(target), fReplyTo(NULL), fTimeout(B_INFINITE_TIMEOUT),
	  fPendingTarget(NULL), fHasTarget(target.IsValid())
{
}

BInvoker::~BInvoker()
{
	delete fMessage;
}

status_t BInvoker::SetMessage(BMessage* message)
{
	if (message == fMessage)
		return B_OK;
	delete fMessage;
	fMessage = message;
	return B_OK;
}

BMessage* BInvoker::Message() const
{
	return fMessage;
}

uint32 BInvoker::Command() const
{
	return fMessage != NULL ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	fPendingTarget = NULL;
	if (handler == NULL && looper == NULL) {
		fMessenger = BMessenger();
		fHasTarget = false;
		return B_OK;
	}
	if (handler != NULL && handler->Looper() == NULL && looper == NULL) {
		// Not in a looper yet (a view not yet in a window, typically):
		// the messenger is made when the message is sent.
		fMessenger = BMessenger();
		fPendingTarget = const_cast<BHandler*>(handler);
		fHasTarget = true;
		return B_OK;
	}
	status_t result = B_OK;
	BMessenger messenger(handler, looper, &result);
	if (result != B_OK)
		return result;
	fMessenger = messenger;
	fHasTarget = true;
	return B_OK;
}

status_t BInvoker::SetTarget(BMessenger messenger)
{
	fPendingTarget = NULL;
	fMessenger = messenger;
	fHasTarget = messenger.IsValid();
	return B_OK;
}

bool BInvoker::IsTargetLocal() const
{
	if (fPendingTarget != NULL)
		return true;
	return fMessenger.IsTargetLocal();
}

BHandler* BInvoker::Target(BLooper** looper) const
{
	if (fPendingTarget != NULL) {
		if (looper != NULL)
			*looper = fPendingTarget->Looper();
		return fPendingTarget;
	}
	return fMessenger.Target(looper);
}

BMessenger BInvoker::Messenger() const
{
	if (fPendingTarget != NULL)
		return _EffectiveTarget();
	return fMessenger;
}

status_t BInvoker::SetHandlerForReply(BHandler* handler)
{
	fReplyTo = handler;
	return B_OK;
}

BHandler* BInvoker::HandlerForReply() const
{
	return fReplyTo;
}

status_t BInvoker::Invoke(BMessage* message)
{
	if (message == NULL)
		message = fMessage;
	if (message == NULL)
		return B_BAD_VALUE;
	return _Send(message);
}

status_t BInvoker::_Send(BMessage* message)
{
	BMessenger target = _EffectiveTarget();
	if (!target.IsValid())
		return B_BAD_PORT_ID;
	return target.SendMessage(message, fReplyTo, fTimeout);
}

BMessenger BInvoker::_EffectiveTarget() const
{
	if (fPendingTarget != NULL) {
		// The handler has had time to join a looper; it must have by now.
		if (fPendingTarget->Looper() == NULL)
			return BMessenger();
		return BMessenger(fPendingTarget);
	}
	if (fHasTarget)
		return fMessenger;
	return be_app_messenger;
}

status_t BInvoker::SetTimeout(bigtime_t timeout)
{
	fTimeout = timeout;
	return B_OK;
}

bigtime_t BInvoker::Timeout() const
{
	return fTimeout;
}
