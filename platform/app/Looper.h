// BLooper: a thread that receives messages and dispatches them to handlers.
//
// The constructor leaves the looper locked by the constructing thread; Run()
// starts the looper's thread and releases that lock, so it must be called
// from the constructing thread. Messages wait in a queue of the capacity
// given at construction; a poster blocks while the queue is full, except
// the looper's own thread, whose post fails with B_WOULD_BLOCK instead of
// waiting for itself.
//
// Each message is dispatched with the looper locked, and deleted after
// DispatchMessage returns unless DetachCurrentMessage took it. Locks nest
// per thread: a thread that holds the lock may lock again and must unlock
// as often.
//
// Quit() needs the lock. Called from the looper's thread, it ends the
// thread and deletes the looper; called from another thread, it stops the
// looper's thread, waits for it to end, then deletes the looper. A looper
// whose Run() was never called is deleted at once.
//
// Ownership: the looper owns the messages in its queue and the common
// filters; it does not own its handlers (BLooper's destructor removes
// them but leaves them alive), except itself.
#ifndef _LOOPER_H
#define _LOOPER_H

#include <Handler.h>
#include <Message.h>
#include <OS.h>
#include <SupportDefs.h>

#include <memory>
#include <vector>

class BList;
class BMessageQueue;

namespace BPrivate {
class LooperPort;
}

#define B_LOOPER_PORT_DEFAULT_CAPACITY 100

class BLooper : public BHandler {
public:
	BLooper(const char* name = NULL, int32 priority = B_NORMAL_PRIORITY,
	        int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	BLooper(BMessage* archive);
	virtual ~BLooper();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;

	// Posting copies the message. With a NULL handler the message goes to
	// the preferred handler (the looper itself unless one was set).
	// B_MISMATCHED_VALUES for a handler of another looper, B_BAD_PORT_ID
	// when the looper has quit.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler,
	                     BHandler* replyTo = NULL);
	status_t PostMessage(BMessage* message, BHandler* handler,
	                     BHandler* replyTo = NULL);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);

	// The message being dispatched; NULL outside of a dispatch.
	BMessage* CurrentMessage() const;
	// Takes the current message away: the caller must delete it.
	BMessage* DetachCurrentMessage();
	BMessageQueue* MessageQueue() const;
	bool IsMessageWaiting() const;

	// Handlers (the looper must be locked).
	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;

	BHandler* PreferredHandler() const;
	void SetPreferredHandler(BHandler* handler);

	virtual thread_id Run();
	virtual void Quit();
	virtual bool QuitRequested();

	bool Lock();
	void Unlock();
	status_t LockWithTimeout(bigtime_t timeout);

	thread_id Thread() const;
	team_id Team() const;
	static BLooper* LooperForThread(thread_id thread);

	thread_id LockingThread() const;
	bool IsLocked() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;
	sem_id Sem() const;

	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index,
	                                   BMessage* specifier, int32 form,
	                                   const char* property);
	virtual status_t GetSupportedSuites(BMessage* data);

	// Common filters run for every message before the handler's own.
	// The looper owns them (the looper must be locked).
	virtual void AddCommonFilter(BMessageFilter* filter);
	virtual bool RemoveCommonFilter(BMessageFilter* filter);
	virtual void SetCommonFilterList(BList* filters);
	BList* CommonFilterList() const;

	virtual status_t Perform(perform_code code, void* arg);

protected:
	// Waits for the next message of the port and takes it; NULL when the
	// time-out passes or the looper is quitting.
	BMessage* MessageFromPort(bigtime_t timeout = B_INFINITE_TIMEOUT);

private:
	friend class BApplication;
	friend class BHandler;
	friend class BWindow;
	friend class BMessenger;
	friend class BPrivate::LooperAccess;

	void _Init(const char* name, int32 priority, int32 capacity);
	static int32 _ThreadEntry(void* looper);
	void _Loop();
	BHandler* _TopLevelFilter(BMessage* message, BHandler* target);
	BHandler* _ApplyFilters(BList* filters, BMessage* message, BHandler* target);
	void _QuitRequested(BMessage* message);
	status_t _Post(BMessage* message, BHandler* handler, BHandler* replyTo);
	void _Detach();
	// Called on the looper's thread after each message, with the looper
	// locked; a window puts what was drawn on the screen here.
	virtual void _MessageDispatched();
	// Called by Unlock() while the caller still holds the lock, when a
	// subclass asked for it (fUnlockHook, set and cleared with the lock
	// held); a window puts on the screen what another thread drew.
	virtual void _Unlocking();

	std::shared_ptr<BPrivate::LooperPort> fPort;   // queue and lock
	BMessageQueue* fQueue;        // messages taken from the port
	BMessage* fCurrentMessage;
	std::vector<BHandler*> fHandlers;
	BHandler* fPreferred;
	BList* fCommonFilters;
	thread_id fThread;
	int32 fPriority;
	bool fRunCalled;
	bool fTerminating;
	bool fUnlockHook;             // see _Unlocking()
};

#endif
