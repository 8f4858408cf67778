#include <Resources.h>

#include <File.h>

#include "storage/ResourceContainer.h"

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

using namespace BPrivate;

// Data pointer of a resource; never NULL, also for empty data.
static const void* data_of(const Resource& resource)
{
	static const uint8 kEmpty = 0;
	return resource.data.empty() ? &kEmpty : resource.data.data();
}

BResources::BResources()
	: fFd(-1), fReadOnly(true), fDirty(false), fCStatus(B_NO_INIT)
{
}

BResources::BResources(const BFile* file, bool clobber)
	: BResources()
{
	SetTo(file, clobber);
}

BResources::~BResources()
{
	Unset();
}

status_t BResources::SetTo(const BFile* file, bool clobber)
{
	Unset();
	if (file == nullptr || file->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	fReadOnly = !file->IsWritable();
	if (clobber && fReadOnly)
		return fCStatus = B_NOT_ALLOWED;
	int fd = const_cast<BFile*>(file)->Dup();
	if (fd < 0)
		return fCStatus = B_FILE_ERROR;
	auto set = std::make_unique<ResourceSet>();
	status_t status = read_resources(fd, set.get());
	if (status != B_OK) {
		close(fd);
		return fCStatus = status;
	}
	if (clobber && !set->resources.empty()) {
		set->resources.clear();
		fDirty = true;
	}
	fFd = fd;
	fSet = std::move(set);
	return fCStatus = B_OK;
}

void BResources::Unset()
{
	if (fDirty && !fReadOnly && fFd >= 0 && fSet)
		write_resources(fFd, *fSet);
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fSet.reset();
	fReadOnly = true;
	fDirty = false;
	fCStatus = B_NO_INIT;
}

status_t BResources::InitCheck() const
{
	return fCStatus;
}

const void* BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
	Resource* resource = fSet ? fSet->Find(type, id) : nullptr;
	if (resource == nullptr)
		return nullptr;
	if (outSize != nullptr)
		*outSize = resource->data.size();
	return data_of(*resource);
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
	Resource* resource = fSet ? fSet->Find(type, name) : nullptr;
	if (resource == nullptr)
		return nullptr;
	if (outSize != nullptr)
		*outSize = resource->data.size();
	return data_of(*resource);
}

bool BResources::HasResource(type_code type, int32 id)
{
	return fSet && fSet->Find(type, id) != nullptr;
}

bool BResources::HasResource(type_code type, const char* name)
{
	return fSet && fSet->Find(type, name) != nullptr;
}

bool BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
                                 const char** nameFound, size_t* lengthFound)
{
	if (!fSet || byIndex < 0 || (size_t)byIndex >= fSet->resources.size())
		return false;
	const Resource& resource = fSet->resources[byIndex];
	if (typeFound) *typeFound = resource.type;
	if (idFound) *idFound = resource.id;
	if (nameFound) *nameFound = resource.name.c_str();
	if (lengthFound) *lengthFound = resource.data.size();
	return true;
}

bool BResources::GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
                                 const char** nameFound, size_t* lengthFound)
{
	if (!fSet || andIndex < 0)
		return false;
	int32 index = 0;
	for (const Resource& resource : fSet->resources) {
		if (resource.type != byType)
			continue;
		if (index++ == andIndex) {
			if (idFound) *idFound = resource.id;
			if (nameFound) *nameFound = resource.name.c_str();
			if (lengthFound) *lengthFound = resource.data.size();
			return true;
		}
	}
	return false;
}

bool BResources::GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
                                 size_t* lengthFound)
{
	Resource* resource = fSet ? fSet->Find(byType, andId) : nullptr;
	if (resource == nullptr)
		return false;
	if (nameFound) *nameFound = resource->name.c_str();
	if (lengthFound) *lengthFound = resource->data.size();
	return true;
}

bool BResources::GetResourceInfo(type_code byType, const char* andName, int32* idFound,
                                 size_t* lengthFound)
{
	Resource* resource = fSet ? fSet->Find(byType, andName) : nullptr;
	if (resource == nullptr)
		return false;
	if (idFound) *idFound = resource->id;
	if (lengthFound) *lengthFound = resource->data.size();
	return true;
}

bool BResources::GetResourceInfo(const void* byPointer, type_code* typeFound,
                                 int32* idFound, size_t* lengthFound, const char** nameFound)
{
	if (!fSet || byPointer == nullptr)
		return false;
	for (const Resource& resource : fSet->resources) {
		if (data_of(resource) != byPointer)
			continue;
		if (typeFound) *typeFound = resource.type;
		if (idFound) *idFound = resource.id;
		if (lengthFound) *lengthFound = resource.data.size();
		if (nameFound) *nameFound = resource.name.c_str();
		return true;
	}
	return false;
}

status_t BResources::ReadResource(type_code type, int32 id, void* data, off_t offset,
                                  size_t length)
{
	if (!fSet)
		return B_NO_INIT;
	if (offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	Resource* resource = fSet->Find(type, id);
	if (resource == nullptr)
		return B_BAD_VALUE;
	if ((uint64)offset < resource->data.size()) {
		size_t count = std::min(length, resource->data.size() - (size_t)offset);
		memcpy(data, resource->data.data() + offset, count);
	}
	return B_OK;
}

static void* copy_of(const Resource* resource, size_t* lengthFound)
{
	if (resource == nullptr)
		return nullptr;
	void* copy = malloc(resource->data.empty() ? 1 : resource->data.size());
	if (copy == nullptr)
		return nullptr;
	if (!resource->data.empty())
		memcpy(copy, resource->data.data(), resource->data.size());
	if (lengthFound != nullptr)
		*lengthFound = resource->data.size();
	return copy;
}

void* BResources::FindResource(type_code type, int32 id, size_t* lengthFound)
{
	return copy_of(fSet ? fSet->Find(type, id) : nullptr, lengthFound);
}

void* BResources::FindResource(type_code type, const char* name, size_t* lengthFound)
{
	return copy_of(fSet ? fSet->Find(type, name) : nullptr, lengthFound);
}

status_t BResources::AddResource(type_code type, int32 id, const void* data, size_t length,
                                 const char* name)
{
	if (!fSet)
		return B_NO_INIT;
	if (data == nullptr && length > 0)
		return B_BAD_VALUE;
	Resource resource;
	resource.type = type;
	resource.id = id;
	if (name != nullptr)
		resource.name = name;
	if (length > 0)
		resource.data.assign((const uint8*)data, (const uint8*)data + length);
	fSet->Put(std::move(resource));
	fDirty = true;
	return B_OK;
}

status_t BResources::RemoveResource(const void* resource)
{
	if (!fSet)
		return B_NO_INIT;
	for (auto it = fSet->resources.begin(); it != fSet->resources.end(); ++it) {
		if (data_of(*it) == resource) {
			fSet->resources.erase(it);
			fDirty = true;
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

status_t BResources::RemoveResource(type_code type, int32 id)
{
	if (!fSet)
		return B_NO_INIT;
	Resource* found = fSet->Find(type, id);
	if (found == nullptr)
		return B_BAD_VALUE;
	fSet->resources.erase(fSet->resources.begin() + (found - fSet->resources.data()));
	fDirty = true;
	return B_OK;
}

status_t BResources::WriteResource(type_code type, int32 id, const void* data, off_t offset,
                                   size_t length)
{
	if (!fSet)
		return B_NO_INIT;
	if (offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	Resource* resource = fSet->Find(type, id);
	if (resource == nullptr)
		return B_BAD_VALUE;
	if (resource->data.size() < (size_t)offset + length)
		resource->data.resize((size_t)offset + length);
	if (length > 0)
		memcpy(resource->data.data() + offset, data, length);
	fDirty = true;
	return B_OK;
}

status_t BResources::Sync()
{
	if (!fSet)
		return B_NO_INIT;
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (!fDirty)
		return B_OK;
	status_t status = write_resources(fFd, *fSet);
	if (status == B_OK)
		fDirty = false;
	return status;
}

status_t BResources::WriteTo(BFile* file)
{
	if (!fSet)
		return B_NO_INIT;
	if (file == nullptr || file->InitCheck() != B_OK)
		return B_BAD_VALUE;
	if (!file->IsWritable())
		return B_NOT_ALLOWED;
	int fd = file->Dup();
	if (fd < 0)
		return B_FILE_ERROR;
	// The new file keeps its own bytes; only its container is replaced.
	ResourceSet theirs;
	status_t status = read_resources(fd, &theirs);
	if (status == B_OK) {
		ResourceSet ours = *fSet;
		ours.base = theirs.base;
		status = write_resources(fd, ours);
		if (status == B_OK) {
			if (fFd >= 0)
				close(fFd);
			fFd = fd;
			fSet->base = ours.base;
			fReadOnly = false;
			fDirty = false;
			return B_OK;
		}
	}
	close(fd);
	return status;
}

status_t BResources::PreloadResourceType(type_code)
{
	return fSet ? B_OK : B_NO_INIT;
}
