#include "MessageChain.h"

#include <Looper.h>

namespace orvik {

bool add_next_msg(BMessage* msg, const BMessage& next, const BHandler* target)
{
	msg->AddMessage("NextMsg", &next);
	msg->AddPointer("NextMsgTgt", target);
	return true;
}

bool copy_next_msg(BMessage* to, const BMessage& from)
{
	BMessage next;
	void* target = nullptr;
	if (from.FindMessage("NextMsg", &next) != B_OK
		|| from.FindPointer("NextMsgTgt", &target) != B_OK)
		return false;
	return add_next_msg(to, next, static_cast<const BHandler*>(target));
}

bool invoke_next_msg(const BMessage* msg)
{
	BMessage next;
	void* target = nullptr;
	if (msg == nullptr || msg->FindMessage("NextMsg", &next) != B_OK
		|| msg->FindPointer("NextMsgTgt", &target) != B_OK)
		return false;
	BHandler* handler = static_cast<BHandler*>(target);
	BLooper* looper = handler != nullptr ? handler->Looper() : nullptr;
	if (looper == nullptr)
		return false;
	return looper->PostMessage(&next, handler) == B_OK;
}

}
