#include "InfoBlock.h"

#include <string.h>

namespace {

void put_int32_le(uint8* at, int32 value)
{
	const uint32 bits = (uint32)value;
	at[0] = (uint8)bits;
	at[1] = (uint8)(bits >> 8);
	at[2] = (uint8)(bits >> 16);
	at[3] = (uint8)(bits >> 24);
}

}

[[gnu::hot]] size_t utf8_fitting_length(const char* text, size_t length, size_t limit)
{
	if (length <= limit)
		return length;
	// Step back over continuation bytes to the lead byte of the character
	// that would be cut.
	size_t cut = limit;
	while (cut > 0 && ((uint8)text[cut] & 0xc0) == 0x80)
		cut--;
	return cut;
}

[[gnu::hot]] void make_info_block(uint8* block, int32 number, int32 position, int32 length,
	const char* title)
{
	memset(block, 0, kInfoBlockSize);
	put_int32_le(block, number);
	put_int32_le(block + 4, position);
	put_int32_le(block + 8, length);
	if (title == NULL)
		return;
	const size_t fitting = utf8_fitting_length(title, strlen(title), kInfoTitleMaxBytes);
	memcpy(block + kInfoTitleOffset, title, fitting);
}
