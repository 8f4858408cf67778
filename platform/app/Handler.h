// BHandler: an object that receives messages in a looper's thread.
//
// A handler belongs to at most one looper at a time (BLooper::AddHandler).
// Messages reach it through the looper, which calls MessageReceived with
// the looper locked. Unknown messages go on to the next handler; at the
// end of the chain a sender that waits for a reply is answered with
// B_MESSAGE_NOT_UNDERSTOOD.
//
// Each handler has a token that messengers use to find it; the token dies
// with the handler, so messengers aimed at a deleted handler turn invalid.
//
// Ownership: the handler owns the filters added with AddFilter (and deletes
// them); it does not own its next handler. Deleting a handler that is still
// in a looper removes it from that looper first.
#ifndef _HANDLER_H
#define _HANDLER_H

#include <Archivable.h>
#include <OS.h>
#include <SupportDefs.h>

#include <atomic>

class BList;
class BLooper;
class BMessage;
class BMessageFilter;

namespace BPrivate {
class LooperAccess;
}

class BHandler : public BArchivable {
public:
	BHandler(const char* name = NULL);
	BHandler(BMessage* archive);
	virtual ~BHandler();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const;

	void SetName(const char* name);
	const char* Name() const;

	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const;

	// Filters run before MessageReceived, in the order they were added.
	// AddFilter does nothing for a filter that already belongs to another
	// handler or looper. RemoveFilter gives the filter back to the caller.
	virtual void AddFilter(BMessageFilter* filter);
	virtual bool RemoveFilter(BMessageFilter* filter);
	// Replaces (and deletes) the current filters with those of `filters`,
	// a BList of BMessageFilter*; the handler takes the list.
	virtual void SetFilterList(BList* filters);
	BList* FilterList();

	// Lock the looper this handler belongs to, checking after the lock is
	// taken that the handler still belongs to it. B_OK; B_BAD_VALUE when the
	// handler is in no looper (or left it, or the looper quit, while the
	// caller waited); B_MISMATCHED_VALUES when it moved to another looper
	// while the caller waited; B_TIMED_OUT.
	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

	// Scripting: the basic handler understands only the "Suites" request.
	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index,
	                                   BMessage* specifier, int32 form,
	                                   const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	virtual status_t Perform(perform_code code, void* arg);

private:
	friend class BLooper;
	friend class BMessenger;
	friend class BPrivate::LooperAccess;

	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	void _Init(const char* name);
	void _SetLooper(BLooper* looper);

	char* fName;
	int32 fToken;
	std::atomic<BLooper*> fLooper;  // changed only with the looper locked
	BHandler* fNextHandler;
	BList* fFilters;           // NULL until the first filter
};

#endif
