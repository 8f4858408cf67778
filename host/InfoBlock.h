// The current-song information block that the player sends in answer to
// 'MDAi' (field "Info"): 124 bytes, little-endian.
//
//   offset 0    int32  number of the playing entry (1-based; 0: none)
//   offset 4    int32  play position in milliseconds
//   offset 8    int32  length of the playing entry in milliseconds
//   offset 12   title, UTF-8, NUL-terminated: at most 111 bytes and the
//               NUL, cut before a character that would not fit whole
//
// The rest of the title area is filled with NULs.
#ifndef HOST_INFO_BLOCK_H
#define HOST_INFO_BLOCK_H

#include <SupportDefs.h>

#include <stddef.h>

const size_t kInfoBlockSize = 124;
const size_t kInfoTitleOffset = 12;
const size_t kInfoTitleMaxBytes = kInfoBlockSize - kInfoTitleOffset - 1;

void make_info_block(uint8* block, int32 number, int32 position, int32 length,
	const char* title);

// How many bytes of `text` (of `length` bytes) fit into `limit` bytes
// without cutting a UTF-8 character in two.
size_t utf8_fitting_length(const char* text, size_t length, size_t limit);

#endif
