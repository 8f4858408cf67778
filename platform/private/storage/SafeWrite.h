// Replacing a file as a whole, so that a reader (in this program or another)
// sees the old contents or the new ones, never half of either, and a write
// that fails leaves the old file as it was.
//
// The bytes go into a new temporary file beside the target, named
// ".<leaf>.saving-<process>-<unique>" (hidden, so that folder listings skip
// it; the leaf is shortened where the whole would not fit a file name) and
// created with O_EXCL, so that two writers never share one; it is flushed
// and then renamed over the target. On any failure the temporary file is
// removed. Temporary files that an earlier program left behind (killed
// between create and rename) are never reused and never read; a successful
// write removes those of its target whose process has ended.
//
// The new file keeps the permissions of the file it replaces; a new target
// gets `newFileMode`, less the process's umask. A target that is a symbolic
// link stays one: the file it points to is replaced.
//
// Safe to call from any thread; writers of the same target race only in
// which complete version ends up there.
#ifndef PRIVATE_STORAGE_SAFE_WRITE_H
#define PRIVATE_STORAGE_SAFE_WRITE_H

#include <SupportDefs.h>

#include <sys/types.h>

namespace BPrivate {

enum safe_write_flags {
	// Flushes the file to the disk (fsync) before the rename, and the folder
	// after it, so that the new contents survive a power cut. Settings want
	// it; pictures that can be made again do not.
	B_SAFE_WRITE_SYNC = 1
};

// B_OK; B_BAD_VALUE for a null or empty path or a path ending in "/", "."
// or ".."; B_IS_A_DIRECTORY when the target is a folder; otherwise the error
// of creating, writing, flushing or renaming (B_PERMISSION_DENIED,
// B_ENTRY_NOT_FOUND for a missing folder, B_DEVICE_FULL, B_IO_ERROR, ...).
status_t write_file_safely(const char* path, const void* data, size_t size,
	mode_t newFileMode = 0644, uint32 flags = B_SAFE_WRITE_SYNC);

}

#endif
