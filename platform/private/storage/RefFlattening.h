// The flattened form of an entry_ref, as messages carry it: int32 device,
// int64 folder inode (both little-endian), then the entry's full path,
// NUL-terminated. A ref written by the original platform has the bare leaf
// name there; it is read as the name.
//
// Unflattening a full path records the folder's path in the process's table
// of known folders, so that the ref resolves in the receiving process.
#ifndef PRIVATE_STORAGE_REF_FLATTENING_H
#define PRIVATE_STORAGE_REF_FLATTENING_H

#include <Entry.h>
#include <SupportDefs.h>

namespace BPrivate {

size_t flattened_ref_size(const entry_ref& ref);
// B_BAD_VALUE when `size` is below flattened_ref_size(ref).
status_t flatten_ref(const entry_ref& ref, uint8* buffer, size_t size);
// B_BAD_VALUE for fewer than 13 bytes or a name without its NUL.
status_t unflatten_ref(entry_ref* ref, const uint8* buffer, size_t size);

}

#endif
