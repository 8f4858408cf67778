#include <Looper.h>

#include <Application.h>
#include <List.h>
#include <MessageFilter.h>
#include <MessageQueue.h>
#include <Messenger.h>

#include "app/AppLink.h"
#include "app/LooperAccess.h"
#include "app/LooperPort.h"
#include "app/MessagePrivate.h"
#include "app/TokenSpace.h"
#include "support/Misuse.h"

#include <stdio.h>

#include <algorithm>
#include <string>

using BPrivate::LooperList;
using BPrivate::LooperPort;
using BPrivate::MessageAccess;
using BPrivate::MessageDelivery;
using BPrivate::TokenSpace;

namespace {

BPrivate::InstantiationRegistrar sRegistrar("BLooper", BLooper::Instantiate);

// A filter that keeps moving the message on would loop for ever; this many
// hand-overs between handlers is more than any real chain needs.
const int32 kMaxRetargets = 32;

void complain(const char* call, const BLooper* looper)
{
	std::string what = "the looper \"";
	what += looper->Name() != NULL ? looper->Name() : "";
	what += "\" must be locked by the caller";
	BPrivate::report_misuse(call, what.c_str());
}

}

// ---- Construction

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity)
	: BHandler(name)
{
	_Init(name, priority, portCapacity);
}

BLooper::BLooper(BMessage* archive)
	: BHandler(archive)
{
	int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY;
	int32 priority = B_NORMAL_PRIORITY;
	if (archive != NULL) {
		archive->FindInt32("_port_cap", &capacity);
		archive->FindInt32("_prio", &priority);
	}
	_Init(Name(), priority, capacity);
}

void BLooper::_Init(const char* /*name*/, int32 priority, int32 capacity)
{
	if (capacity <= 0)
		capacity = B_LOOPER_PORT_DEFAULT_CAPACITY;
	fPort = std::make_shared<LooperPort>(this, capacity);
	fQueue = new BMessageQueue;
	fCurrentMessage = NULL;
	fPreferred = NULL;
	fCommonFilters = NULL;
	fThread = -1;
	fPriority = priority;
	fRunCalled = false;
	fTerminating = false;
	fUnlockHook = false;

	// The constructing thread holds the lock until Run().
	fPort->Lock(B_INFINITE_TIMEOUT);
	fHandlers.push_back(this);
	_SetLooper(this);
	TokenSpace::SetPort(fToken, fPort);
	LooperList::Add(this, fPort);
}

BLooper::~BLooper()
{
	LooperList::Remove(this);
	// Queued messages go now; senders waiting for their answer get
	// B_NO_REPLY as the messages are deleted.
	fPort->Close();
	delete fQueue;
	fQueue = NULL;
	delete fCurrentMessage;
	fCurrentMessage = NULL;

	for (BHandler* handler : fHandlers) {
		if (handler != this) {
			handler->_SetLooper(NULL);
			TokenSpace::SetPort(handler->fToken, nullptr);
		}
	}
	fHandlers.clear();
	fPreferred = NULL;
	TokenSpace::SetPort(fToken, nullptr);
	_SetLooper(NULL);

	if (fCommonFilters != NULL) {
		for (int32 i = 0; i < fCommonFilters->CountItems(); i++)
			delete static_cast<BMessageFilter*>(fCommonFilters->ItemAt(i));
		delete fCommonFilters;
		fCommonFilters = NULL;
	}
	// Threads waiting for the lock wake up and fail.
	fPort->MarkDead();
}

BArchivable* BLooper::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BLooper"))
		return NULL;
	return new BLooper(archive);
}

status_t BLooper::Archive(BMessage* archive, bool deep) const
{
	status_t status = BHandler::Archive(archive, deep);
	if (status == B_OK)
		status = archive->AddInt32("_port_cap", fPort->Capacity());
	if (status == B_OK)
		status = archive->AddInt32("_prio", fPriority);
	return status;
}

// ---- Posting

status_t BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return _Post(&message, NULL, NULL);
}

status_t BLooper::PostMessage(BMessage* message)
{
	return _Post(message, NULL, NULL);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return _Post(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	return _Post(message, handler, replyTo);
}

status_t BLooper::_Post(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (message == NULL)
		return B_BAD_VALUE;
	BMessenger target;
	if (handler == NULL) {
		MessageAccess::SetMessenger(&target, current_team(), fToken, true);
	} else {
		if (handler->Looper() != this)
			return B_MISMATCHED_VALUES;
		MessageAccess::SetMessenger(&target, current_team(), handler->fToken, false);
	}
	BPrivate::SendOptions options;
	if (replyTo != NULL)
		options.replyTo = BMessenger(replyTo);
	else
		options.replyTo = BPrivate::AppLink::AppMessenger();
	return BPrivate::deliver_message(target, *message, options);
}

// ---- Dispatching

[[gnu::hot]] void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || handler == NULL)
		return;
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		_QuitRequested(message);
		return;
	}
	handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void BLooper::_QuitRequested(BMessage* message)
{
	bool quit = QuitRequested();
	if (message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		reply.AddBool("result", quit);
		message->SendReply(&reply);
	}
	if (quit)
		Quit();
}

BMessage* BLooper::CurrentMessage() const
{
	return fCurrentMessage;
}

BMessage* BLooper::DetachCurrentMessage()
{
	BMessage* message = fCurrentMessage;
	fCurrentMessage = NULL;
	return message;
}

BMessageQueue* BLooper::MessageQueue() const
{
	return fQueue;
}

bool BLooper::IsMessageWaiting() const
{
	return !fQueue->IsEmpty() || fPort->Count() > 0;
}

BMessage* BLooper::MessageFromPort(bigtime_t timeout)
{
	return fPort->Pop(timeout);
}

int32 BLooper::_ThreadEntry(void* data)
{
	static_cast<BLooper*>(data)->_Loop();
	return B_OK;
}

// The message loop. It ends with the looper deleted, except for the
// application, which its creator deletes after Run() returns.
[[gnu::hot]] void BLooper::_Loop()
{
	for (;;) {
		// A lone message read from the port goes to its handler without a
		// stop in the queue when the looper is free to take it at once.
		BMessage* message = NULL;
		if (fQueue->IsEmpty()) {
			// Whatever else is waiting comes along, so that posters blocked
			// on a full port can go on; one look at the port is enough
			// unless it held more than a batch.
			const int32 kBatch = 16;
			BMessage* messages[kBatch];
			int32 count = fPort->PopSome(B_INFINITE_TIMEOUT, messages, kBatch);
			if (count == 0)
				return;   // closed by the destructor
			if (count == 1)
				message = messages[0];
			else {
				for (;;) {
					for (int32 i = 0; i < count; i++)
						fQueue->AddMessage(messages[i]);
					if (count < kBatch)
						break;
					count = fPort->PopSome(0, messages, kBatch);
				}
			}
		}

		status_t locked = B_ERROR;
		if (message != NULL) {
			locked = fPort->Lock(0);
			if (locked == B_BAD_VALUE) {
				delete message;   // as the queue's are, with the looper
				return;
			}
			// Kept waiting, or with others before it, it waits in the queue
			// where IsMessageWaiting() and MessageQueue() see it.
			if (locked != B_OK || !fQueue->IsEmpty()) {
				fQueue->AddMessage(message);
				message = NULL;
			}
		}
		if (locked != B_OK && fPort->Lock(B_INFINITE_TIMEOUT) != B_OK)
			return;
		if (message == NULL)
			message = fQueue->NextMessage();
		if (message == NULL) {
			fPort->Unlock();
			continue;
		}
		if (message->what == BPrivate::QUIT_LOOPER_CODE) {
			delete message;
			_Detach();
			return;
		}

		fCurrentMessage = message;
		BHandler* handler = _TopLevelFilter(message, NULL);
		if (handler != NULL)
			DispatchMessage(message, handler);
		delete fCurrentMessage;
		fCurrentMessage = NULL;

		if (fTerminating) {
			_Detach();
			return;
		}
		_MessageDispatched();
		if (fTerminating) {
			_Detach();
			return;
		}
		fPort->Unlock();
	}
}

void BLooper::_MessageDispatched()
{
}

void BLooper::_Unlocking()
{
}

// Ends the loop: a looper deletes itself; the application stays (locked)
// for its creator to delete.
void BLooper::_Detach()
{
	if (dynamic_cast<BApplication*>(this) != NULL)
		return;
	delete this;
}

// Finds the message's handler and runs the common filters and the
// handlers' own filters. NULL when the message is to be dropped.
[[gnu::hot]] BHandler* BLooper::_TopLevelFilter(BMessage* message, BHandler* /*target*/)
{
	BHandler* target = NULL;
	MessageDelivery* delivery = MessageAccess::Delivery(message);
	if (delivery == NULL || delivery->preferred) {
		target = fPreferred != NULL ? fPreferred : this;
	} else {
		// A handler that was deleted or left this looper since the message
		// was sent gets nothing.
		if (!TokenSpace::IsIn(delivery->targetToken, fPort.get(), &target,
				&fPort->dispatchTarget))
			return NULL;
	}

	if (fCommonFilters != NULL) {
		target = _ApplyFilters(fCommonFilters, message, target);
		if (target == NULL)
			return NULL;
	}
	for (int32 hops = 0; target != NULL && hops < kMaxRetargets; hops++) {
		BHandler* before = target;
		if (target->fFilters == NULL)
			break;
		target = _ApplyFilters(target->fFilters, message, target);
		if (target == before)
			break;
	}
	return target;
}

[[gnu::hot]] BHandler* BLooper::_ApplyFilters(BList* filters, BMessage* message, BHandler* target)
{
	for (int32 i = 0; i < filters->CountItems() && target != NULL; i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(filters->ItemAt(i));
		if (filter == NULL || !filter->_Matches(message))
			continue;
		BHandler* newTarget = target;
		filter_hook hook = filter->_FilterFunction();
		filter_result result = hook != NULL
			? hook(message, &newTarget, filter)
			: filter->Filter(message, &newTarget);
		if (result == B_SKIP_MESSAGE)
			return NULL;
		if (newTarget != NULL && newTarget->Looper() != this) {
			fprintf(stderr, "BLooper: a filter named a handler of another looper;"
				" the message is dropped\n");
			return NULL;
		}
		target = newTarget;
	}
	return target;
}

// ---- Handlers

void BLooper::AddHandler(BHandler* handler)
{
	if (handler == NULL)
		return;
	if (!IsLocked()) {
		complain("BLooper::AddHandler", this);
		return;
	}
	BLooper* current = handler->Looper();
	if (current == this)
		return;
	if (current != NULL) {
		BPrivate::report_misuse("BLooper::AddHandler", "the handler belongs to another looper");
		return;
	}
	fHandlers.push_back(handler);
	handler->_SetLooper(this);
	TokenSpace::SetPort(handler->fToken, fPort);
}

bool BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == NULL || handler == this)
		return false;
	if (!IsLocked()) {
		complain("BLooper::RemoveHandler", this);
		return false;
	}
	auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
	if (it == fHandlers.end())
		return false;
	fHandlers.erase(it);
	handler->_SetLooper(NULL);
	TokenSpace::SetPort(handler->fToken, nullptr);
	handler->fNextHandler = NULL;
	// No handler of this looper may keep pointing at one that left.
	for (BHandler* other : fHandlers) {
		if (other->fNextHandler == handler)
			other->fNextHandler = NULL;
	}
	if (fPreferred == handler)
		fPreferred = NULL;
	return true;
}

int32 BLooper::CountHandlers() const
{
	return (int32)fHandlers.size();
}

BHandler* BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || (size_t)index >= fHandlers.size())
		return NULL;
	return fHandlers[(size_t)index];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
	auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
	return it == fHandlers.end() ? -1 : (int32)(it - fHandlers.begin());
}

BHandler* BLooper::PreferredHandler() const
{
	return fPreferred;
}

void BLooper::SetPreferredHandler(BHandler* handler)
{
	if (handler != NULL && handler->Looper() != this) {
		BPrivate::report_misuse("BLooper::SetPreferredHandler", "not a handler of this looper");
		return;
	}
	fPreferred = handler;
}

// ---- Running and quitting

thread_id BLooper::Run()
{
	if (fRunCalled) {
		BPrivate::report_misuse("BLooper::Run", "the looper runs already");
		return B_ERROR;
	}
	if (!fPort->IsLockedByCaller()) {
		BPrivate::report_misuse("BLooper::Run", "only the thread that made the looper may run it");
		return B_BAD_THREAD_ID;
	}
	const char* name = Name() != NULL ? Name() : "looper";
	thread_id thread = spawn_thread(_ThreadEntry, name, fPriority, this);
	if (thread < 0)
		return thread;
	fThread = thread;
	fPort->thread.store(thread);
	fRunCalled = true;
	fPort->Unlock();
	resume_thread(thread);
	return thread;
}

void BLooper::Quit()
{
	if (!IsLocked()) {
		complain("BLooper::Quit", this);
		return;
	}
	if (!fRunCalled) {
		delete this;
		return;
	}
	if (BPrivate::current_thread_id() == fThread) {
		// The loop ends, and the looper is deleted, once the message being
		// dispatched is done with.
		fTerminating = true;
		return;
	}
	// From another thread: messages already queued are handled first, then
	// the looper's thread deletes the looper and ends.
	thread_id thread = fThread;
	std::shared_ptr<LooperPort> port = fPort;
	port->Push(new BMessage(BPrivate::QUIT_LOOPER_CODE), B_INFINITE_TIMEOUT, true);
	port->UnlockFully();
	status_t result;
	wait_for_thread(thread, &result);
}

bool BLooper::QuitRequested()
{
	return true;
}

// ---- Locking

bool BLooper::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

void BLooper::Unlock()
{
	// The flag is only written with the lock held, so its holder may read
	// it; anybody else's Unlock fails below either way.
	if (fUnlockHook && fPort->IsLockedByCaller())
		_Unlocking();
	if (!fPort->Unlock())
		BPrivate::report_misuse("BLooper::Unlock", "the caller does not hold the lock");
}

status_t BLooper::LockWithTimeout(bigtime_t timeout)
{
	// Through the list of living loopers, so that locking a looper that
	// is gone fails instead of touching freed memory.
	std::shared_ptr<LooperPort> port = LooperList::PortOf(this);
	if (!port)
		return B_BAD_VALUE;
	return port->Lock(timeout);
}

thread_id BLooper::Thread() const
{
	return fPort->thread.load();
}

team_id BLooper::Team() const
{
	return current_team();
}

BLooper* BLooper::LooperForThread(thread_id thread)
{
	return LooperList::ForThread(thread);
}

thread_id BLooper::LockingThread() const
{
	return fPort->LockingThread();
}

bool BLooper::IsLocked() const
{
	std::shared_ptr<LooperPort> port = LooperList::PortOf(this);
	return port && port->IsLockedByCaller();
}

int32 BLooper::CountLocks() const
{
	return fPort->CountLocks();
}

int32 BLooper::CountLockRequests() const
{
	return fPort->CountLockRequests();
}

sem_id BLooper::Sem() const
{
	// The lock is not a semaphore on this platform.
	return B_BAD_SEM_ID;
}

// ---- Scripting

BHandler* BLooper::ResolveSpecifier(BMessage* message, int32 index,
                                    BMessage* specifier, int32 form,
                                    const char* property)
{
	return BHandler::ResolveSpecifier(message, index, specifier, form, property);
}

status_t BLooper::GetSupportedSuites(BMessage* data)
{
	if (data == NULL)
		return B_BAD_VALUE;
	status_t status = data->AddString("suites", "suite/vnd.Be-looper");
	if (status != B_OK)
		return status;
	return BHandler::GetSupportedSuites(data);
}

// ---- Common filters

void BLooper::AddCommonFilter(BMessageFilter* filter)
{
	if (filter == NULL)
		return;
	if (!IsLocked()) {
		complain("BLooper::AddCommonFilter", this);
		return;
	}
	if (filter->fAttached) {
		BPrivate::report_misuse("BLooper::AddCommonFilter", "the filter is installed elsewhere");
		return;
	}
	if (fCommonFilters == NULL)
		fCommonFilters = new BList;
	fCommonFilters->AddItem(filter);
	filter->fAttached = true;
	filter->_SetLooper(this);
}

bool BLooper::RemoveCommonFilter(BMessageFilter* filter)
{
	if (!IsLocked()) {
		complain("BLooper::RemoveCommonFilter", this);
		return false;
	}
	if (fCommonFilters == NULL || filter == NULL || !fCommonFilters->RemoveItem(filter))
		return false;
	filter->fAttached = false;
	filter->_SetLooper(NULL);
	return true;
}

void BLooper::SetCommonFilterList(BList* filters)
{
	if (!IsLocked()) {
		complain("BLooper::SetCommonFilterList", this);
		return;
	}
	if (filters == fCommonFilters)
		return;
	if (fCommonFilters != NULL) {
		for (int32 i = 0; i < fCommonFilters->CountItems(); i++)
			delete static_cast<BMessageFilter*>(fCommonFilters->ItemAt(i));
		delete fCommonFilters;
	}
	fCommonFilters = filters;
	if (filters == NULL)
		return;
	for (int32 i = 0; i < filters->CountItems(); i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(filters->ItemAt(i));
		if (filter != NULL) {
			filter->fAttached = true;
			filter->_SetLooper(this);
		}
	}
}

BList* BLooper::CommonFilterList() const
{
	return fCommonFilters;
}

status_t BLooper::Perform(perform_code code, void* arg)
{
	return BHandler::Perform(code, arg);
}

void BPrivate::LooperAccess::DrainPort(BLooper* looper)
{
	while (BMessage* message = looper->fPort->Pop(0))
		looper->fQueue->AddMessage(message);
}
