// BArchivable: objects that record themselves into a BMessage (an archive)
// and are rebuilt from one.
//
// Archive() writes the "class" string field: the object's class name, then
// the names of its ancestors up to (not including) BArchivable, most derived
// first. instantiate_object() rebuilds an object from an archive: it looks up
// the instantiation function of the first class named in the archive that has
// one, so an archive of an unknown subclass comes back as its nearest known
// ancestor. The caller owns the object it returns.
//
// Classes make themselves known to instantiate_object by registering their
// Instantiate function under their class name, normally with a static
// BPrivate::InstantiationRegistrar in their source file.
#ifndef _ARCHIVABLE_H
#define _ARCHIVABLE_H

#include <SupportDefs.h>
#include <image.h>

class BMessage;

class BArchivable {
public:
	BArchivable();
	BArchivable(BMessage* from);
	virtual ~BArchivable();

	// Adds the "class" names (see above); B_BAD_VALUE without a message.
	// Subclasses add their own fields after calling their base's Archive.
	virtual status_t Archive(BMessage* into, bool deep = true) const;
	// Returns NULL: BArchivable itself holds nothing to rebuild.
	static BArchivable* Instantiate(BMessage* from);

	virtual status_t Perform(perform_code code, void* arg);
};

typedef BArchivable* (*instantiation_func)(BMessage*);

// Rebuilds an object from `from`, or returns NULL and sets errno
// (B_BAD_VALUE for a missing archive or "class" field, B_NAME_NOT_FOUND
// when no named class is known). `id`, when given, receives B_BAD_IMAGE_ID:
// no add-on is ever loaded for the purpose.
BArchivable* instantiate_object(BMessage* from, image_id* id);
BArchivable* instantiate_object(BMessage* from);

// True when `className` is among the archive's "class" names. Otherwise
// false, with errno set to B_MISMATCHED_VALUES.
bool validate_instantiation(BMessage* from, const char* className);

// The registered instantiation function of a class, or NULL. The signature
// form ignores the signature: every class is looked up in this process.
instantiation_func find_instantiation_func(const char* className);
instantiation_func find_instantiation_func(const char* className, const char* signature);
// The function for the first class named in the archive that has one.
instantiation_func find_instantiation_func(BMessage* archive);

namespace BPrivate {

// Registers `func` as the instantiation function of `className`, replacing
// an earlier one. B_BAD_VALUE for a missing name or function.
status_t register_instantiation_func(const char* className, instantiation_func func);
// Removes the registration, if `func` is still the one registered.
void unregister_instantiation_func(const char* className, instantiation_func func);

// Registers a class for as long as the object lives: a static object of
// this type in a class's source file (or add-on) makes the class known.
class InstantiationRegistrar {
public:
	InstantiationRegistrar(const char* className, instantiation_func func);
	~InstantiationRegistrar();

private:
	InstantiationRegistrar(const InstantiationRegistrar&) = delete;
	InstantiationRegistrar& operator=(const InstantiationRegistrar&) = delete;

	const char* fClassName;
	instantiation_func fFunc;
};

}

#endif
