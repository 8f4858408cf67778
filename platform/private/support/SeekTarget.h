// The position a seek leads to, shared by the memory streams.
#ifndef PRIVATE_SUPPORT_SEEK_TARGET_H
#define PRIVATE_SUPPORT_SEEK_TARGET_H

#include <SupportDefs.h>

#include <stdio.h>

namespace BPrivate {

// The new position for a seek by `offset` in `seekMode` from `current` in a
// stream of `size` bytes, or B_BAD_VALUE for an unknown mode, a position
// before the start, or one that does not fit in off_t.
inline off_t
seek_target(off_t current, off_t size, off_t offset, uint32 seekMode)
{
	off_t base;
	switch (seekMode) {
		case SEEK_SET: base = 0; break;
		case SEEK_CUR: base = current; break;
		case SEEK_END: base = size; break;
		default: return B_BAD_VALUE;
	}
	off_t target;
	if (__builtin_add_overflow(base, offset, &target) || target < 0)
		return B_BAD_VALUE;
	return target;
}

}

#endif
