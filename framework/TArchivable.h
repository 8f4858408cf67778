// Settings objects saved as one flattened message per file (".arc").
#ifndef FRAMEWORK_T_ARCHIVABLE_H
#define FRAMEWORK_T_ARCHIVABLE_H

#include <Entry.h>
#include <Message.h>
#include <Rect.h>

#include <string>

namespace orvik {

class TArchivable {
public:
	virtual ~TArchivable();

	// Write the object's state into `archive` / read it back. The base
	// writes and reads nothing and returns true.
	virtual bool Archive(BMessage* archive);
	virtual bool Unarchive(const BMessage& archive);

	// True when the file was opened, held one flattened message, and
	// Unarchive returned true. A file that does not unflatten leaves the
	// object untouched. A file that is there but is damaged (empty, cut
	// short, garbage) or of another layout (Unarchive returned false) is
	// renamed "<name>.damaged" (then ".damaged-2" and on), so that the next
	// save cannot overwrite it unseen.
	bool Load(const BEntry& entry);

	// True when Archive returned true and the message was written in full.
	// The message goes to a temporary file beside the target, which then
	// replaces the target, so a failed or interrupted save never leaves a
	// damaged or emptied settings file behind.
	bool Save(const BEntry& entry);

protected:
	// Field readers: each copies the field into `dest` only when the look-up
	// succeeds; on any failure `dest` keeps its value, so callers preset
	// defaults and ignore the result. `const char*` results point into the
	// message.
	status_t FindString(const BMessage& msg, const char* name, const char** dest) const;
	status_t FindString(const BMessage& msg, const char* name, int32 index, const char** dest) const;
	status_t FindString(const BMessage& msg, const char* name, std::string* dest) const;
	status_t FindString(const BMessage& msg, const char* name, int32 index, std::string* dest) const;
	status_t FindRef(const BMessage& msg, const char* name, entry_ref* dest) const;
	status_t FindRef(const BMessage& msg, const char* name, int32 index, entry_ref* dest) const;
	status_t FindRect(const BMessage& msg, const char* name, BRect* dest) const;
	status_t FindRect(const BMessage& msg, const char* name, int32 index, BRect* dest) const;
	status_t FindMessage(const BMessage& msg, const char* name, BMessage* dest) const;
	status_t FindMessage(const BMessage& msg, const char* name, int32 index, BMessage* dest) const;
	status_t FindInt64(const BMessage& msg, const char* name, int64* dest) const;
	status_t FindInt64(const BMessage& msg, const char* name, int32 index, int64* dest) const;
	status_t FindInt32(const BMessage& msg, const char* name, int32* dest) const;
	status_t FindInt32(const BMessage& msg, const char* name, int32 index, int32* dest) const;
	status_t FindFloat(const BMessage& msg, const char* name, float* dest) const;
	status_t FindFloat(const BMessage& msg, const char* name, int32 index, float* dest) const;
	status_t FindDouble(const BMessage& msg, const char* name, double* dest) const;
	status_t FindDouble(const BMessage& msg, const char* name, int32 index, double* dest) const;
	status_t FindBool(const BMessage& msg, const char* name, bool* dest) const;
	status_t FindBool(const BMessage& msg, const char* name, int32 index, bool* dest) const;
	// Copies the item's bytes into `dest` when its size is exactly `size`.
	status_t FindData(const BMessage& msg, const char* name, type_code type,
	                  void* dest, ssize_t size) const;
	status_t FindData(const BMessage& msg, const char* name, type_code type, int32 index,
	                  void* dest, ssize_t size) const;
};

}

#endif
