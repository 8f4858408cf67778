// BApplication: the process's application object and main message loop.
//
// There is one per process, reachable as be_app, with be_app_messenger
// aimed at it. Unlike other loopers it has no thread of its own: Run()
// runs the message loop on the calling thread (normally main) and returns
// when the application quits; the object is then deleted by its creator.
//
// The application registers its signature with the system (a named port
// "be:app:<pid>:<signature>"), so that other processes can find it, send
// it messages and include it in broadcasts (see BRoster).
//
// Ownership: the application does not own the loopers of the process.
// Windows register themselves while they exist.
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <AppDefs.h>
#include <Looper.h>
#include <Messenger.h>
#include <Point.h>
#include <Rect.h>
#include <Roster.h>

class BResources;
class BWindow;

class BApplication : public BLooper {
public:
	// `signature` is a MIME type such as "application/x-vnd.Maker-App".
	// A second application object in a process, or a signature that is not
	// an application MIME type, leaves InitCheck() in error.
	BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	BApplication(BMessage* archive);
	virtual ~BApplication();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* archive, bool deep = true) const;
	status_t InitCheck() const;

	// Runs the message loop on the calling thread until the application
	// quits; returns the thread's id.
	virtual thread_id Run();
	// Ends the message loop. The application object is not deleted.
	virtual void Quit();
	// Asks every window whether it may close; true when all agree.
	virtual bool QuitRequested();

	virtual void Pulse();
	virtual void ReadyToRun();
	virtual void MessageReceived(BMessage* message);
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void AppActivated(bool active);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();

	virtual BHandler* ResolveSpecifier(BMessage* message, int32 index,
	                                   BMessage* specifier, int32 form,
	                                   const char* property);

	// The cursor is the display's business; these keep the state only.
	void ShowCursor();
	void HideCursor();
	void ObscureCursor();
	bool IsCursorHidden() const;
	void SetCursor(const void* cursor);

	// Windows of this application, in the order they were created.
	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;

	// Every looper of the process, in the order they were created. The pointers are only safe while the application
	// is locked or the loopers are known to live.
	int32 CountLoopers() const;
	BLooper* LooperAt(int32 index) const;

	bool IsLaunching() const;
	status_t GetAppInfo(app_info* info) const;
	static BResources* AppResources();

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	// Pulse messages are sent at this rate (microseconds; 0 stops them).
	void SetPulseRate(bigtime_t rate);

	virtual status_t GetSupportedSuites(BMessage* data);
	virtual status_t Perform(perform_code code, void* arg);

private:
	friend class BPrivate::LooperAccess;

	void _Init(const char* signature, status_t* error);
	void _ArgvReceived(BMessage* message);

	char* fSignature;
	status_t fInitError;
	bool fReadyToRunCalled;
	bool fCursorHidden;
	bigtime_t fPulseRate;
	class BMessageRunner* fPulseRunner;
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif
