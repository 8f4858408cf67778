#include <MessageFilter.h>

#include <Message.h>

BMessageFilter::BMessageFilter(uint32 what, filter_hook function)
	: fWhat(what), fFiltersAny(false), fDelivery(B_ANY_DELIVERY),
	  fSource(B_ANY_SOURCE), fFunction(function), fLooper(NULL), fAttached(false)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source,
                               filter_hook function)
	: fWhat(0), fFiltersAny(true), fDelivery(delivery), fSource(source),
	  fFunction(function), fLooper(NULL), fAttached(false)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source,
                               uint32 what, filter_hook function)
	: fWhat(what), fFiltersAny(false), fDelivery(delivery), fSource(source),
	  fFunction(function), fLooper(NULL), fAttached(false)
{
}

BMessageFilter::BMessageFilter(const BMessageFilter& filter)
	: fWhat(filter.fWhat), fFiltersAny(filter.fFiltersAny),
	  fDelivery(filter.fDelivery), fSource(filter.fSource),
	  fFunction(filter.fFunction), fLooper(NULL), fAttached(false)
{
}

BMessageFilter::BMessageFilter(const BMessageFilter* filter)
	: BMessageFilter(*filter)
{
}

BMessageFilter::~BMessageFilter()
{
}

BMessageFilter& BMessageFilter::operator=(const BMessageFilter& from)
{
	// The criteria are copied; where the filter is installed is not.
	fWhat = from.fWhat;
	fFiltersAny = from.fFiltersAny;
	fDelivery = from.fDelivery;
	fSource = from.fSource;
	fFunction = from.fFunction;
	return *this;
}

filter_result BMessageFilter::Filter(BMessage* /*message*/, BHandler** /*target*/)
{
	return B_DISPATCH_MESSAGE;
}

message_delivery BMessageFilter::MessageDelivery() const
{
	return fDelivery;
}

message_source BMessageFilter::MessageSource() const
{
	return fSource;
}

uint32 BMessageFilter::Command() const
{
	return fWhat;
}

bool BMessageFilter::FiltersAnyCommand() const
{
	return fFiltersAny;
}

BLooper* BMessageFilter::Looper() const
{
	return fLooper;
}

void BMessageFilter::_SetLooper(BLooper* looper)
{
	fLooper = looper;
}

filter_hook BMessageFilter::_FilterFunction() const
{
	return fFunction;
}

[[gnu::hot]] bool BMessageFilter::_Matches(const BMessage* message) const
{
	if (!fFiltersAny && message->what != fWhat)
		return false;
	if (fDelivery == B_DROPPED_DELIVERY && !message->WasDropped())
		return false;
	if (fDelivery == B_PROGRAMMED_DELIVERY && message->WasDropped())
		return false;
	if (fSource == B_REMOTE_SOURCE && !message->IsSourceRemote())
		return false;
	if (fSource == B_LOCAL_SOURCE && message->IsSourceRemote())
		return false;
	return true;
}
