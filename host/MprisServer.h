// Melodeck's own playback on the session bus, as the MPRIS player
// "org.mpris.MediaPlayer2.melodeck" (".instance<pid>" added when another
// Melodeck has that name), so that desktop media keys and tools such as
// playerctl can drive it: Play, Pause, PlayPause, Stop, Next, Previous,
// Seek, SetPosition, and the properties Metadata, PlaybackStatus, Position
// and the rest that clients look for.
//
// GDBus runs on a thread of its own. The calls that come in are passed to
// the player application as its control messages (HostProtocol.h) and
// answered once it has carried them out; the state comes to the server as
// the application's kMelodeckStateChanged reports, which the server (a
// handler of the application, watching its playback) takes on the
// application's thread and hands to the GLib thread under a lock.
//
// Without a session bus the server says so on stderr once and does
// nothing else; the player plays on.
#ifndef HOST_MPRIS_SERVER_H
#define HOST_MPRIS_SERVER_H

#include <Handler.h>
#include <Message.h>
#include <Messenger.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GDBusMethodInvocation GDBusMethodInvocation;
typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GCancellable GCancellable;
typedef struct _GVariant GVariant;

class MprisServer : public BHandler {
public:
	// `player`: the application whose playback is offered.
	explicit MprisServer(const BMessenger& player);
	// Leaves the bus; the handler must have been removed from its looper.
	virtual ~MprisServer();

	// Starts connecting, without waiting for it.
	void Start();

	// The bus name taken; empty until then, or without a bus.
	std::string BusName();

	// Takes the playback's state (the fields of kMelodeckState); on the
	// application's thread.
	void Publish(const BMessage& state, uint32 change);

	virtual void MessageReceived(BMessage* message) override;

	// The track id that an entry's number gives on the bus.
	static std::string TrackId(int32 number);

private:
	void _Run();
	void _Connected(GDBusConnection* connection);
	void _OwnName(bool instance);
	void _EmitChanges();
	GVariant* _Property(const char* interface, const char* name);
	GVariant* _StateProperty(const char* name, const BMessage& state);
	GVariant* _Metadata(const BMessage& state);
	void _MethodCall(const char* interface, const char* method, GVariant* parameters,
		GDBusMethodInvocation* invocation);
	status_t _Command(BMessage* message);
	int32 _LivePosition();

	const BMessenger fPlayer;
	GMainContext* fContext;
	GMainLoop* fLoop;
	GCancellable* fCancel;
	std::thread fThread;
	// only on the GLib thread:
	GDBusConnection* fConnection;
	unsigned fObjects[2];
	unsigned fOwnerId;
	BMessage fEmitted;          // the state last announced

	std::mutex fLock;
	// under fLock:
	std::string fBusName;
	BMessage fState;
	uint32 fChange;             // news not yet announced
	bool fEmitPending;
};

#endif
