#include <Translator.h>

BTranslator::BTranslator()
	:
	fRefCount(1)
{
}

BTranslator::~BTranslator()
{
}

BTranslator*
BTranslator::Acquire()
{
	fRefCount.fetch_add(1, std::memory_order_relaxed);
	return this;
}

BTranslator*
BTranslator::Release()
{
	// The last reference deletes; acquire-release ordering makes every
	// earlier use by other threads visible to the destructor.
	if (fRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
		delete this;
		return NULL;
	}
	return this;
}

int32
BTranslator::ReferenceCount()
{
	return fRefCount.load(std::memory_order_relaxed);
}

status_t
BTranslator::MakeConfigurationView(BMessage* /*ioExtension*/, BView** /*outView*/,
	BRect* /*outExtent*/)
{
	return B_ERROR;
}

status_t
BTranslator::GetConfigurationMessage(BMessage* /*ioExtension*/)
{
	return B_ERROR;
}
