#include <Archivable.h>

#include <Message.h>

#include "support/InstantiationRegistry.h"

#include <cerrno>
#include <cstring>
#include <typeinfo>

namespace {

const char* const kClassField = "class";

}	// namespace


BArchivable::BArchivable()
{
}


BArchivable::BArchivable(BMessage* /*from*/)
{
}


BArchivable::~BArchivable()
{
}


status_t
BArchivable::Archive(BMessage* into, bool /*deep*/) const
{
	if (into == NULL)
		return B_BAD_VALUE;
	for (const std::string& name : BPrivate::archivable_class_names(typeid(*this))) {
		status_t status = into->AddString(kClassField, name.c_str());
		if (status != B_OK)
			return status;
	}
	return B_OK;
}


BArchivable*
BArchivable::Instantiate(BMessage* /*from*/)
{
	return NULL;
}


status_t
BArchivable::Perform(perform_code /*code*/, void* /*arg*/)
{
	return B_ERROR;
}


// #pragma mark - Instantiation


BArchivable*
instantiate_object(BMessage* from, image_id* id)
{
	if (id != NULL)
		*id = B_BAD_IMAGE_ID;
	if (from == NULL) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	const char* className;
	if (from->FindString(kClassField, 0, &className) != B_OK) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	instantiation_func func = find_instantiation_func(from);
	if (func == NULL) {
		errno = B_NAME_NOT_FOUND;
		return NULL;
	}
	return func(from);
}


BArchivable*
instantiate_object(BMessage* from)
{
	return instantiate_object(from, NULL);
}


bool
validate_instantiation(BMessage* from, const char* className)
{
	if (from != NULL && className != NULL) {
		const char* name;
		for (int32 i = 0; from->FindString(kClassField, i, &name) == B_OK; i++) {
			if (strcmp(name, className) == 0)
				return true;
		}
	}
	errno = B_MISMATCHED_VALUES;
	return false;
}


instantiation_func
find_instantiation_func(const char* className)
{
	return BPrivate::lookup_instantiation_func(className);
}


instantiation_func
find_instantiation_func(const char* className, const char* /*signature*/)
{
	return BPrivate::lookup_instantiation_func(className);
}


instantiation_func
find_instantiation_func(BMessage* archive)
{
	if (archive == NULL)
		return NULL;
	const char* name;
	for (int32 i = 0; archive->FindString(kClassField, i, &name) == B_OK; i++) {
		instantiation_func func = BPrivate::lookup_instantiation_func(name);
		if (func != NULL)
			return func;
	}
	return NULL;
}
