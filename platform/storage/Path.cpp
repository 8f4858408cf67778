#include <Path.h>

#include <Directory.h>
#include <Entry.h>
#include <TypeConstants.h>

#include "storage/PathUtil.h"
#include "storage/RefFlattening.h"

#include <stdlib.h>
#include <string.h>

#include <string>

using namespace BPrivate;

BPath::BPath()
	: fName(nullptr), fCStatus(B_NO_INIT)
{
}

BPath::BPath(const BPath& path)
	: BFlattenable(), fName(nullptr), fCStatus(B_NO_INIT)
{
	*this = path;
}

BPath::BPath(const entry_ref* ref)
	: fName(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry)
	: fName(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize)
	: fName(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize)
	: fName(nullptr), fCStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::~BPath()
{
	free(fName);
}

status_t BPath::InitCheck() const
{
	return fCStatus;
}

// Takes `path` as the new value; on failure the path is unset.
static status_t adopt(char** name, const std::string& path)
{
	char* copy = strdup(path.c_str());
	if (copy == nullptr)
		return B_NO_MEMORY;
	free(*name);
	*name = copy;
	return B_OK;
}

status_t BPath::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = path_for_ref(*ref, &path);
	if (status == B_OK)
		status = adopt(&fName, path);
	return fCStatus = status;
}

status_t BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fCStatus = B_BAD_VALUE;
	status_t status = entry->GetPath(this);
	if (status != B_OK)
		Unset();
	return fCStatus = status;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	if (path == nullptr || path[0] == '\0' || (leaf != nullptr && leaf[0] == '/')) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	// `leaf` may point into our own buffer (Append), so join before unsetting.
	std::string full = join_path(path, leaf);
	Unset();
	std::string result;
	status_t status = B_OK;
	if (normalize || path_needs_normalizing(full.c_str())) {
		status = normalize_path(full.c_str(), &result);
	} else if (full.size() >= B_PATH_NAME_LENGTH) {
		status = B_NAME_TOO_LONG;
	} else {
		result = full;
	}
	if (status == B_OK)
		status = adopt(&fName, result);
	return fCStatus = status;
}

status_t BPath::SetTo(const BDirectory* dir, const char* path, bool normalize)
{
	if (dir == nullptr || dir->InitCheck() != B_OK) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	std::string dirPath = dir->PathName();
	return SetTo(dirPath.c_str(), path, normalize);
}

void BPath::Unset()
{
	free(fName);
	fName = nullptr;
	fCStatus = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool normalize)
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	std::string current = fName;
	return SetTo(current.c_str(), path, normalize);
}

const char* BPath::Path() const
{
	return fName;
}

const char* BPath::Leaf() const
{
	if (fName == nullptr)
		return nullptr;
	if (strcmp(fName, "/") == 0)
		return "";
	return strrchr(fName, '/') + 1;
}

status_t BPath::GetParent(BPath* path) const
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (strcmp(fName, "/") == 0)
		return B_ENTRY_NOT_FOUND;
	std::string parent(fName, strrchr(fName, '/') - fName);
	return path->SetTo(parent.empty() ? "/" : parent.c_str());
}

bool BPath::operator==(const BPath& item) const
{
	return *this == item.Path();
}

bool BPath::operator==(const char* path) const
{
	if (fName == nullptr || path == nullptr)
		return fName == path;
	return strcmp(fName, path) == 0;
}

bool BPath::operator!=(const BPath& item) const
{
	return !(*this == item);
}

bool BPath::operator!=(const char* path) const
{
	return !(*this == path);
}

BPath& BPath::operator=(const BPath& item)
{
	if (this == &item)
		return *this;
	Unset();
	if (item.fName != nullptr)
		fCStatus = adopt(&fName, item.fName);
	else
		fCStatus = item.fCStatus;
	return *this;
}

BPath& BPath::operator=(const char* path)
{
	if (path == nullptr)
		Unset();
	else
		SetTo(path);
	return *this;
}

bool BPath::IsFixedSize() const
{
	return false;
}

type_code BPath::TypeCode() const
{
	return B_REF_TYPE;
}

ssize_t BPath::FlattenedSize() const
{
	if (fCStatus != B_OK)
		return B_NO_INIT;
	entry_ref ref;
	status_t status = get_ref_for_path(fName, &ref);
	if (status != B_OK)
		return status;
	return (ssize_t)flattened_ref_size(ref);
}

status_t BPath::Flatten(void* buffer, ssize_t size) const
{
	if (buffer == nullptr || size < 0)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	entry_ref ref;
	status_t status = get_ref_for_path(fName, &ref);
	if (status != B_OK)
		return status;
	return flatten_ref(ref, (uint8*)buffer, (size_t)size);
}

bool BPath::AllowsTypeCode(type_code code) const
{
	return code == B_REF_TYPE;
}

status_t BPath::Unflatten(type_code code, const void* buffer, ssize_t size)
{
	if (code != B_REF_TYPE || buffer == nullptr || size < 0) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	entry_ref ref;
	status_t status = unflatten_ref(&ref, (const uint8*)buffer, (size_t)size);
	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	return SetTo(&ref);
}
