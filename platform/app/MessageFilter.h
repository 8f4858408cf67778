// BMessageFilter: looks at messages before their handler gets them.
//
// A filter matches by command (`what`), by how the message was delivered
// (dropped by the user or sent by a program) and by where it came from
// (this process or another). A matching message is passed to the filter
// function given at construction or, without one, to Filter(); either may
// skip the message or let it go on, possibly to another handler of the
// same looper by changing *target.
//
// Ownership: a filter belongs to at most one handler or looper, which
// deletes it. Looper() is the looper whose thread runs it.
#ifndef _MESSAGE_FILTER_H
#define _MESSAGE_FILTER_H

#include <Handler.h>
#include <SupportDefs.h>

class BLooper;
class BMessage;
class BMessageFilter;

enum filter_result {
	B_SKIP_MESSAGE,
	B_DISPATCH_MESSAGE
};

typedef filter_result (*filter_hook)(BMessage* message, BHandler** target,
                                     BMessageFilter* filter);

enum message_delivery {
	B_ANY_DELIVERY,
	B_DROPPED_DELIVERY,
	B_PROGRAMMED_DELIVERY
};

enum message_source {
	B_ANY_SOURCE,
	B_REMOTE_SOURCE,
	B_LOCAL_SOURCE
};

class BMessageFilter {
public:
	BMessageFilter(uint32 what, filter_hook function = NULL);
	BMessageFilter(message_delivery delivery, message_source source,
	               filter_hook function = NULL);
	BMessageFilter(message_delivery delivery, message_source source,
	               uint32 what, filter_hook function = NULL);
	// Copies the criteria and function; the copy belongs to nobody.
	BMessageFilter(const BMessageFilter& filter);
	BMessageFilter(const BMessageFilter* filter);
	virtual ~BMessageFilter();

	BMessageFilter& operator=(const BMessageFilter& from);

	// Called for matching messages when no filter function was given.
	// The default lets every message through.
	virtual filter_result Filter(BMessage* message, BHandler** target);

	message_delivery MessageDelivery() const;
	message_source MessageSource() const;
	uint32 Command() const;
	bool FiltersAnyCommand() const;
	BLooper* Looper() const;

private:
	friend class BHandler;
	friend class BLooper;
	friend class BPrivate::LooperAccess;

	void _SetLooper(BLooper* looper);
	filter_hook _FilterFunction() const;
	// True when `message` meets the filter's criteria.
	bool _Matches(const BMessage* message) const;

	uint32 fWhat;
	bool fFiltersAny;
	message_delivery fDelivery;
	message_source fSource;
	filter_hook fFunction;
	BLooper* fLooper;
	bool fAttached;    // added to a handler or looper
};

#endif
