#include "framework/TSCFilter.h"

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Message.h>

TSCFilter::TSCFilter(BHandler* target)
	: BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE, B_KEY_DOWN),
	  fTarget(target)
{
}

TSCFilter::~TSCFilter()
{
}

bool TSCFilter::IsShortcutKey(const BMessage* message)
{
	if (message == NULL || message->what != B_KEY_DOWN)
		return false;
	int32 modifiers = 0;
	int32 rawChar = 0;
	message->FindInt32("modifiers", &modifiers);
	message->FindInt32("raw_char", &rawChar);
	return (modifiers & B_CONTROL_KEY) != 0 || rawChar == B_ESCAPE
		|| rawChar == B_ENTER || rawChar == B_FUNCTION_KEY;
}

filter_result TSCFilter::Filter(BMessage* message, BHandler** target)
{
	if (IsShortcutKey(message) && target != NULL) {
		BHandler* to = fTarget != NULL ? fTarget : Looper();
		if (to != NULL)
			*target = to;
	}
	return B_DISPATCH_MESSAGE;
}
