#include "TArchivable.h"

#include "FileUtils.h"

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include <stdio.h>
#include <string.h>

namespace orvik {

TArchivable::~TArchivable()
{
}

bool TArchivable::Archive(BMessage*)
{
	return true;
}

bool TArchivable::Unarchive(const BMessage&)
{
	return true;
}

namespace {

// Renames a settings file that could not be read to "<name>.damaged" (or
// "<name>.damaged-2" and on, never over an earlier one), so that the next
// save does not overwrite it unseen.
void keep_aside(const BEntry& entry)
{
	BPath path;
	if (entry.GetPath(&path) != B_OK || path.Path() == nullptr)
		return;
	const std::string damaged = std::string(path.Path()) + ".damaged";
	for (int i = 1; i < 100; i++) {
		const std::string aside = i == 1 ? damaged : damaged + "-" + std::to_string(i);
		if (BEntry(aside.c_str()).Exists())
			continue;
		// never over a file that came meanwhile
		BEntry damagedEntry(path.Path());
		if (damagedEntry.Rename(aside.c_str(), false) == B_OK)
			fprintf(stderr, "%s could not be read; kept as %s\n", path.Path(), aside.c_str());
		return;
	}
}

}

bool TArchivable::Load(const BEntry& entry)
{
	BFile file(&entry, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return false;
	BMessage archive;
	const bool read = archive.Unflatten(&file) == B_OK;
	// What could be read is used; the rest keeps its defaults.
	if (read && Unarchive(archive))
		return true;
	keep_aside(entry);
	return false;
}

bool TArchivable::Save(const BEntry& entry)
{
	BMessage archive;
	if (!Archive(&archive))
		return false;
	BPath path;
	if (entry.GetPath(&path) != B_OK || path.Path() == nullptr)
		return false;
	return save_message(archive, path.Path()) == B_OK;
}

// Each reader looks the field up into a temporary and copies it out only on
// success.
#define ORVIK_FIELD_READER(Name, Type)                                                   \
	status_t TArchivable::Name(const BMessage& msg, const char* name, Type* dest) const  \
	{                                                                                    \
		return Name(msg, name, 0, dest);                                                 \
	}                                                                                    \
	status_t TArchivable::Name(const BMessage& msg, const char* name, int32 index,       \
		Type* dest) const                                                                \
	{                                                                                    \
		Type value{};                                                                    \
		status_t status = msg.Name(name, index, &value);                                 \
		if (status == B_OK)                                                              \
			*dest = value;                                                               \
		return status;                                                                   \
	}

ORVIK_FIELD_READER(FindRef, entry_ref)
ORVIK_FIELD_READER(FindRect, BRect)
ORVIK_FIELD_READER(FindInt64, int64)
ORVIK_FIELD_READER(FindInt32, int32)
ORVIK_FIELD_READER(FindFloat, float)
ORVIK_FIELD_READER(FindDouble, double)
ORVIK_FIELD_READER(FindBool, bool)

#undef ORVIK_FIELD_READER

status_t TArchivable::FindString(const BMessage& msg, const char* name, const char** dest) const
{
	return FindString(msg, name, 0, dest);
}

status_t TArchivable::FindString(const BMessage& msg, const char* name, int32 index,
	const char** dest) const
{
	const char* value = nullptr;
	status_t status = msg.FindString(name, index, &value);
	if (status == B_OK)
		*dest = value;
	return status;
}

status_t TArchivable::FindString(const BMessage& msg, const char* name, std::string* dest) const
{
	return FindString(msg, name, 0, dest);
}

status_t TArchivable::FindString(const BMessage& msg, const char* name, int32 index,
	std::string* dest) const
{
	const char* value = nullptr;
	status_t status = msg.FindString(name, index, &value);
	if (status == B_OK)
		*dest = value;
	return status;
}

status_t TArchivable::FindMessage(const BMessage& msg, const char* name, BMessage* dest) const
{
	return FindMessage(msg, name, 0, dest);
}

status_t TArchivable::FindMessage(const BMessage& msg, const char* name, int32 index,
	BMessage* dest) const
{
	BMessage value;
	status_t status = msg.FindMessage(name, index, &value);
	if (status == B_OK)
		*dest = value;
	return status;
}

status_t TArchivable::FindData(const BMessage& msg, const char* name, type_code type,
	void* dest, ssize_t size) const
{
	return FindData(msg, name, type, 0, dest, size);
}

status_t TArchivable::FindData(const BMessage& msg, const char* name, type_code type,
	int32 index, void* dest, ssize_t size) const
{
	const void* data = nullptr;
	ssize_t found = 0;
	status_t status = msg.FindData(name, type, index, &data, &found);
	if (status != B_OK)
		return status;
	if (found != size)
		return B_BAD_VALUE;
	memcpy(dest, data, size);
	return B_OK;
}

}
