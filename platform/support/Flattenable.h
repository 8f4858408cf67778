// BFlattenable: an object that can write itself into a flat run of bytes of
// a given type code and be rebuilt from one. BMessage stores such objects in
// its fields.
#ifndef _FLATTENABLE_H
#define _FLATTENABLE_H

#include <SupportDefs.h>

class BFlattenable {
public:
	virtual ~BFlattenable();

	// True when every object of the class flattens to the same size.
	virtual bool IsFixedSize() const = 0;
	virtual type_code TypeCode() const = 0;
	virtual ssize_t FlattenedSize() const = 0;
	// Writes FlattenedSize() bytes into `buffer`, which holds `size` bytes.
	virtual status_t Flatten(void* buffer, ssize_t size) const = 0;
	// Whether Unflatten accepts data of type `code`; by default only the
	// object's own TypeCode().
	virtual bool AllowsTypeCode(type_code code) const;
	virtual status_t Unflatten(type_code code, const void* buffer, ssize_t size) = 0;
};

#endif
