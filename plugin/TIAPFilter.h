// TIAPFilter: passes a copy of every inter-application preference message
// ('_ipc') that reaches the looper carrying it on to the communication
// manager. Installed as a common filter of the application, because the
// common preference window broadcasts its changes to applications.
// The message itself is dispatched as usual.
#ifndef PLUGIN_T_IAP_FILTER_H
#define PLUGIN_T_IAP_FILTER_H

#include <MessageFilter.h>
#include <Messenger.h>

class TIAPFilter : public BMessageFilter {
public:
	explicit TIAPFilter(const BMessenger& target);

	virtual filter_result Filter(BMessage* message, BHandler** target) override;

private:
	BMessenger fTarget;
};

#endif
