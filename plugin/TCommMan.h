// TCommMan: a looper that finds a peer looper of the same application by
// its thread name and greets it, so that both hold a messenger to the other.
//
// Ownership: the manager owns its peer messenger. Like every looper it is
// deleted by Quit().
//
// Threads: Connect() runs in the thread that calls Run(), possibly while
// the manager's own thread already accepts the peer's greeting. Both write
// the peer messenger under one lock, and the first messenger stays.
#ifndef PLUGIN_T_COMM_MAN_H
#define PLUGIN_T_COMM_MAN_H

#include <Looper.h>
#include <Messenger.h>

#include <memory>
#include <mutex>
#include <string>

class BWindow;

class TCommMan : public BLooper {
public:
	// A looper named `name` (normal priority, queue capacity 100) that
	// greets the looper whose thread is named `peerName`.
	TCommMan(const char* name, const char* peerName);
	virtual ~TCommMan();

	// Starts the looper, then connects to the peer from the calling thread.
	virtual thread_id Run() override;

	// Finds the peer among the loopers of this application and greets it.
	// 0 on success, -1 (B_ERROR) when no such looper runs here.
	status_t Connect();

	// Sends to the peer without reply and without time limit; -1 when no
	// peer is connected (nothing is sent).
	status_t SendMessage(BMessage* msg);
	// Sends to the peer and waits for its reply, without time limit.
	status_t SendMessage(BMessage* msg, BMessage* reply);

	// Accepts a greeting: the first peer stays, later greetings are ignored,
	// and so is a greeting whose sender is not a looper of this application.
	void CommManConnected(BMessage* greeting);

	// Whether a peer messenger is held, and a copy of it.
	bool IsConnected() const;
	BMessenger PeerMessenger() const;

	const char* PeerName() const { return fPeerName.c_str(); }

	// Quits *window and sets *window to NULL, when it is not NULL and can be
	// locked; otherwise changes nothing.
	void CloseWindow(BWindow** window);

	virtual void MessageReceived(BMessage* message) override;

private:
	// Keeps `target` as the peer unless one is held already. True when kept.
	bool SetPeer(const BMessenger& target);
	// A copy of the peer messenger; false while there is none.
	bool GetPeer(BMessenger* peer) const;

	const std::string fPeerName;
	mutable std::mutex fPeerLock;
	std::unique_ptr<BMessenger> fPeer;
};

#endif
