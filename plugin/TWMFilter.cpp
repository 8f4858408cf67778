#include "plugin/TWMFilter.h"

#include "plugin/CommManMessages.h"

#include <AppDefs.h>
#include <Message.h>

TWMFilter::TWMFilter(const BMessenger& target)
	:
	BMessageFilter(B_WINDOW_MOVED),
	fTarget(target)
{
}

filter_result TWMFilter::Filter(BMessage*, BHandler**)
{
	// A lyrics window that is gone makes the send fail; that is fine.
	BMessage moved(kMsgPlayerWinMoved);
	fTarget.SendMessage(&moved, (BHandler*)NULL, B_INFINITE_TIMEOUT);
	return B_DISPATCH_MESSAGE;
}
