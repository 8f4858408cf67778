// A request can carry the message to send once it has been handled.
#ifndef FRAMEWORK_MESSAGE_CHAIN_H
#define FRAMEWORK_MESSAGE_CHAIN_H

#include <Handler.h>
#include <Message.h>

namespace orvik {

// Adds "NextMsg" (`next`) and "NextMsgTgt" (`target`) to `msg`.
bool add_next_msg(BMessage* msg, const BMessage& next, const BHandler* target);
// Copies both fields from `from` to `to`; false when either is missing.
bool copy_next_msg(BMessage* to, const BMessage& from);
// Posts "NextMsg" to the "NextMsgTgt" handler through its looper; false
// when a field is missing or the handler has no looper.
bool invoke_next_msg(const BMessage* msg);

}

#endif
