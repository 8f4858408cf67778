// BResources: typed, numbered, named data kept in a file.
//
// Resources live in a container appended to the end of the file, after the
// ELF data of a shared library or program (the dynamic loader ignores
// trailing bytes), or alone in a file of their own. The container's form is
// described in the kit's private ResourceContainer.h; the build tool
// berestool writes it (see Resources.cmake).
//
// Resources are read when the file is set. Changes (AddResource,
// RemoveResource, ...) are kept in memory and written back by Sync() or
// when the object goes away, if the file was opened for writing: the bytes
// before the container are left as they are.
#ifndef _RESOURCES_H
#define _RESOURCES_H

#include <SupportDefs.h>

#include <memory>

class BFile;

namespace BPrivate { class ResourceSet; }

class BResources {
public:
	BResources();
	// Same as SetTo(file, clobber).
	BResources(const BFile* file, bool clobber = false);
	virtual ~BResources();

	// Reads the resources of `file`, which stays the caller's; the object
	// keeps its own descriptor. Changes can be written back only when `file`
	// was opened for writing. With `clobber` the file's resources are
	// dropped (the file must be writable). A file without a container has
	// no resources; a damaged container fails with B_BAD_VALUE.
	status_t SetTo(const BFile* file, bool clobber = false);
	void Unset();
	status_t InitCheck() const;

	// The data of a resource, owned by this object; valid until the resource
	// is changed or removed or the object goes away. NULL when missing.
	const void* LoadResource(type_code type, int32 id, size_t* outSize);
	const void* LoadResource(type_code type, const char* name, size_t* outSize);

	bool HasResource(type_code type, int32 id);
	bool HasResource(type_code type, const char* name);

	// By index over all resources, by index among those of `type`, by type
	// and id, by type and name. `name` receives a pointer owned by this
	// object.
	bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
	                     const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
	                     const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
	                     size_t* lengthFound);
	bool GetResourceInfo(type_code byType, const char* andName, int32* idFound,
	                     size_t* lengthFound);
	bool GetResourceInfo(const void* byPointer, type_code* typeFound,
	                     int32* idFound, size_t* lengthFound,
	                     const char** nameFound);

	// Copies up to `length` bytes of the resource's data, from `offset`, into
	// `data` (the rest of `data` is left alone).
	status_t ReadResource(type_code type, int32 id, void* data, off_t offset,
	                      size_t length);
	// A new copy, which the caller frees with free(); NULL when missing.
	void* FindResource(type_code type, int32 id, size_t* lengthFound);
	void* FindResource(type_code type, const char* name, size_t* lengthFound);

	// Adds a resource; an existing one of the same type and id is replaced.
	status_t AddResource(type_code type, int32 id, const void* data,
	                     size_t length, const char* name = NULL);
	status_t RemoveResource(const void* resource);
	status_t RemoveResource(type_code type, int32 id);
	status_t WriteResource(type_code type, int32 id, const void* data,
	                       off_t offset, size_t length);

	// Writes changed resources back to the file (B_NOT_ALLOWED when it is
	// read-only).
	status_t Sync();
	// Writes every resource into `file`, replacing its own, and uses that
	// file from now on.
	status_t WriteTo(BFile* file);

	// Every resource is loaded when the file is set; kept for callers.
	status_t PreloadResourceType(type_code type = 0);

private:
	BResources(const BResources&) = delete;
	BResources& operator=(const BResources&) = delete;

	std::unique_ptr<BPrivate::ResourceSet> fSet;
	int fFd;               // own descriptor on the file; -1 when unset
	bool fReadOnly;
	bool fDirty;
	status_t fCStatus;
};

#endif
