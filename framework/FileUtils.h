// Locating settings and program files, and small file operations.
#ifndef FRAMEWORK_FILE_UTILS_H
#define FRAMEWORK_FILE_UTILS_H

#include <Entry.h>
#include <Message.h>
#include <Path.h>

namespace orvik {

// The folder `get_entry` starts from.
enum TBaseDir {
	BASE_DIR_PATH = 0,      // the folder given as the subfolder argument
	BASE_DIR_APP = 1,       // the running application's folder, then the subfolder
	BASE_DIR_SETTINGS = 2   // the user's settings folder, then "ORVIK", then the subfolder
};

// Sets `entry` to the file `name` in the folder `base` + `subfolder`
// (creating missing folders for BASE_DIR_APP and BASE_DIR_SETTINGS). A
// `name` beginning with "/" is taken as it is. False for an empty name, or
// when the folder cannot be formed.
bool get_entry(const char* name, BEntry* entry, TBaseDir base, const char* subfolder);

// The ref of `name` inside the folder `dir`.
bool get_ref(const entry_ref& dir, const char* name, entry_ref* out);

BPath path_for_ref(const entry_ref* ref);

// From a save panel's message: "name" inside the folder "directory".
bool get_save_ref(const BMessage* msg, entry_ref* out);

// Copies the file `source` to `target` (into it, when `target` is a
// folder), with its attributes. No shell is involved, so any path is safe.
// Paths are limited to 511 bytes.
bool copy_file(const char* source, const char* target);

// Writes `message`, flattened, to the file `path` as a whole: first into a
// new hidden file beside it (".<leaf>.saving-" and a part that differs
// between savers), flushed to the disk, which then replaces the target. A
// reader sees the old file or the new one, never half of it; a save that
// fails removes the hidden file and leaves an existing target as it was.
// The new file keeps the permissions of the one it replaces; a target that
// is a link stays a link to the file that is replaced. B_OK, or the error:
// B_BAD_VALUE, B_IS_A_DIRECTORY, B_ENTRY_NOT_FOUND (no such folder),
// B_PERMISSION_DENIED, B_DEVICE_FULL, ...
status_t save_message(const BMessage& message, const char* path);

}

#endif
