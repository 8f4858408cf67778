#include <Handler.h>

#include <List.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Messenger.h>

#include "app/LooperPort.h"
#include "app/TokenSpace.h"
#include "support/Misuse.h"

#include <stdlib.h>
#include <string.h>

using BPrivate::LooperPort;
using BPrivate::TokenSpace;

namespace {
BPrivate::InstantiationRegistrar sRegistrar("BHandler", BHandler::Instantiate);
}

BHandler::BHandler(const char* name)
{
	_Init(name);
}

BHandler::BHandler(BMessage* archive)
	: BArchivable(archive)
{
	const char* name = NULL;
	if (archive != NULL)
		archive->FindString("_name", &name);
	_Init(name);
}

void BHandler::_Init(const char* name)
{
	fName = name != NULL ? strdup(name) : NULL;
	fLooper = NULL;
	fNextHandler = NULL;
	fFilters = NULL;
	fToken = TokenSpace::NewToken(this);
}

BHandler::~BHandler()
{
	// A handler deleted while still in a looper leaves it first, so the
	// looper never dispatches to freed memory.
	BLooper* looper = fLooper.load();
	if (looper != NULL && looper != static_cast<BHandler*>(this)) {
		if (looper->Lock()) {
			if (fLooper.load() == looper)
				looper->RemoveHandler(this);
			looper->Unlock();
		}
	}
	TokenSpace::RemoveToken(fToken);
	SetFilterList(NULL);
	free(fName);
}

BArchivable* BHandler::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BHandler"))
		return NULL;
	return new BHandler(archive);
}

status_t BHandler::Archive(BMessage* archive, bool deep) const
{
	status_t status = BArchivable::Archive(archive, deep);
	if (status != B_OK)
		return status;
	if (fName != NULL)
		status = archive->AddString("_name", fName);
	return status;
}

void BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != NULL) {
		fNextHandler->MessageReceived(message);
		return;
	}
	if (message == NULL)
		return;
	if (message->what == B_GET_SUPPORTED_SUITES && message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		status_t status = GetSupportedSuites(&reply);
		reply.AddInt32("error", status);
		message->SendReply(&reply);
		return;
	}
	// The end of the chain: a sender waiting for an answer learns that
	// nobody understood its message.
	if (message->IsSourceWaiting()) {
		BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
		reply.AddInt32("error", B_BAD_SCRIPT_SYNTAX);
		message->SendReply(&reply);
	}
}

[[gnu::hot]] BLooper* BHandler::Looper() const
{
	return fLooper.load();
}

void BHandler::SetName(const char* name)
{
	free(fName);
	fName = name != NULL ? strdup(name) : NULL;
}

const char* BHandler::Name() const
{
	return fName;
}

void BHandler::SetNextHandler(BHandler* handler)
{
	BLooper* looper = fLooper.load();
	if (looper == NULL) {
		BPrivate::report_misuse("BHandler::SetNextHandler", "the handler is in no looper");
		return;
	}
	if (!looper->IsLocked()) {
		BPrivate::report_misuse("BHandler::SetNextHandler", "the looper must be locked");
		return;
	}
	if (handler == this || (handler != NULL && handler->Looper() != looper)) {
		BPrivate::report_misuse("BHandler::SetNextHandler", "not a handler of the same looper");
		return;
	}
	fNextHandler = handler;
}

BHandler* BHandler::NextHandler() const
{
	return fNextHandler;
}

void BHandler::AddFilter(BMessageFilter* filter)
{
	if (filter == NULL || filter->fAttached)
		return;
	BLooper* looper = fLooper.load();
	if (looper != NULL && !looper->IsLocked()) {
		BPrivate::report_misuse("BHandler::AddFilter", "the looper must be locked");
		return;
	}
	if (fFilters == NULL)
		fFilters = new BList;
	fFilters->AddItem(filter);
	filter->fAttached = true;
	filter->_SetLooper(looper);
}

bool BHandler::RemoveFilter(BMessageFilter* filter)
{
	if (fFilters == NULL || filter == NULL)
		return false;
	BLooper* looper = fLooper.load();
	if (looper != NULL && !looper->IsLocked()) {
		BPrivate::report_misuse("BHandler::RemoveFilter", "the looper must be locked");
		return false;
	}
	if (!fFilters->RemoveItem(filter))
		return false;
	filter->fAttached = false;
	filter->_SetLooper(NULL);
	return true;
}

void BHandler::SetFilterList(BList* filters)
{
	BLooper* looper = fLooper.load();
	if (looper != NULL && !looper->IsLocked()) {
		BPrivate::report_misuse("BHandler::SetFilterList", "the looper must be locked");
		return;
	}
	if (fFilters == filters)
		return;
	if (fFilters != NULL) {
		for (int32 i = 0; i < fFilters->CountItems(); i++)
			delete static_cast<BMessageFilter*>(fFilters->ItemAt(i));
		delete fFilters;
		fFilters = NULL;
	}
	if (filters == NULL)
		return;
	fFilters = filters;
	for (int32 i = 0; i < fFilters->CountItems(); i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(fFilters->ItemAt(i));
		if (filter != NULL) {
			filter->fAttached = true;
			filter->_SetLooper(looper);
		}
	}
}

BList* BHandler::FilterList()
{
	return fFilters;
}

bool BHandler::LockLooper()
{
	return LockLooperWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	return TokenSpace::LockLooperOf(fToken, timeout);
}

void BHandler::UnlockLooper()
{
	BLooper* looper = fLooper.load();
	if (looper != NULL)
		looper->Unlock();
}

BHandler* BHandler::ResolveSpecifier(BMessage* message, int32 /*index*/,
                                     BMessage* /*specifier*/, int32 /*form*/,
                                     const char* /*property*/)
{
	// Without a property of its own, the handler answers "not understood"
	// for any specifier it is given.
	if (message != NULL && message->IsSourceWaiting()) {
		BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
		reply.AddInt32("error", B_BAD_SCRIPT_SYNTAX);
		reply.AddString("message", "Didn't understand the specifier(s)");
		message->SendReply(&reply);
	}
	return NULL;
}

status_t BHandler::GetSupportedSuites(BMessage* data)
{
	if (data == NULL)
		return B_BAD_VALUE;
	return data->AddString("suites", "suite/vnd.Be-handler");
}

status_t BHandler::Perform(perform_code code, void* arg)
{
	return BArchivable::Perform(code, arg);
}

void BHandler::_SetLooper(BLooper* looper)
{
	fLooper.store(looper);
	if (fFilters != NULL) {
		for (int32 i = 0; i < fFilters->CountItems(); i++)
			static_cast<BMessageFilter*>(fFilters->ItemAt(i))->_SetLooper(looper);
	}
}
