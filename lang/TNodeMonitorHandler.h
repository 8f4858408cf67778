// A handler that turns node-monitor messages into messages of its own code
// and posts them to its looper.
#ifndef LANG_T_NODE_MONITOR_HANDLER_H
#define LANG_T_NODE_MONITOR_HANDLER_H

#include <Handler.h>

// Attribute changes are dropped: only changes of the files themselves
// matter. Every other B_NODE_MONITOR message is posted again, with `what`
// set to the code given here, to the handler's looper (as its own target).
class TNodeMonitorHandler : public BHandler {
public:
	explicit TNodeMonitorHandler(uint32 what);

	virtual void MessageReceived(BMessage* message) override;

	uint32 What() const { return fWhat; }

private:
	const uint32 fWhat;
};

#endif
