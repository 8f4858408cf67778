#include "app/MessageCodecFormat.h"

namespace BPrivate {
namespace codec {

uint32 header_checksum(const uint8* data, size_t size)
{
	uint32 sum = 0;
	size_t i = 0;
	for (; i + 4 <= size; i += 4) {
		sum += ((uint32)data[i] << 24) | ((uint32)data[i + 1] << 16)
			| ((uint32)data[i + 2] << 8) | (uint32)data[i + 3];
	}
	// The one to three bytes left are added as one running value, the
	// earlier bytes in the higher positions.
	uint32 tail = 0;
	for (; i < size; i++) {
		tail = (tail << 8) + data[i];
		sum += tail;
	}
	return sum;
}

}
}
