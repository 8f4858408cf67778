#include "TNodeMonitorHandler.h"

#include <AppDefs.h>
#include <Looper.h>
#include <Message.h>
#include <NodeMonitor.h>

TNodeMonitorHandler::TNodeMonitorHandler(uint32 what)
	: BHandler("TNodeMonitorHandler"),
	  fWhat(what)
{
}

void TNodeMonitorHandler::MessageReceived(BMessage* message)
{
	if (message->what != B_NODE_MONITOR) {
		BHandler::MessageReceived(message);
		return;
	}
	int32 opcode = 0;
	message->FindInt32("opcode", &opcode);
	if (opcode == B_ATTR_CHANGED)
		return;
	BLooper* looper = Looper();
	if (looper == nullptr)
		return;
	message->what = fWhat;
	looper->PostMessage(message, looper);
}
