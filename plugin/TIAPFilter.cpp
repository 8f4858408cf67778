#include "plugin/TIAPFilter.h"

#include "plugin/CommManMessages.h"

TIAPFilter::TIAPFilter(const BMessenger& target)
	: BMessageFilter(kMsgInterAppPrefChanged),
	  fTarget(target)
{
}

filter_result TIAPFilter::Filter(BMessage* message, BHandler** /*target*/)
{
	// SendMessage copies the message; the original goes on to its handler.
	if (message != NULL && message->what == kMsgInterAppPrefChanged)
		fTarget.SendMessage(message, (BHandler*)NULL, B_INFINITE_TIMEOUT);
	return B_DISPATCH_MESSAGE;
}
