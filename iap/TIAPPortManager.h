// The port thread of the common preference window: it makes the port
// "ORVIKIAPPort", through which the other programs of the family reach the
// window, and forwards every message that arrives on it to the window's
// view. It never touches the window itself.
//
// The window owns the manager. It starts it with Resume() and stops it by
// Terminate(), PreventBlocking() and Wait(); deleting a running manager
// does the same, so the port never outlives it.
#ifndef IAP_T_IAP_PORT_MANAGER_H
#define IAP_T_IAP_PORT_MANAGER_H

#include "framework/TThread.h"

#include <Messenger.h>
#include <OS.h>

#include <atomic>

class TIAPPortManager : public orvik::TThread {
public:
	// A suspended thread "IAPPortManager" that will forward to `target`.
	explicit TIAPPortManager(BMessenger target);
	virtual ~TIAPPortManager();

	// The port; kIAPPortPending until the thread made it, kIAPPortFailed
	// when it could not.
	port_id Port() const { return fPort.load(); }
	// Writes an empty record, so that a thread waiting on the port returns
	// and sees the stop flag.
	void PreventBlocking();

protected:
	virtual int32 Execute();

private:
	// Reads the next record; false when the port is gone.
	bool ForwardNext(port_id port);

	std::atomic<port_id> fPort;
	const BMessenger fTarget;
};

#endif
