#include <ByteOrder.h>

#include <cstring>
#include <ctime>
#include <sys/types.h>

namespace {

// Size of one swappable item of `type`, or 0 when the type has no byte
// order. Points and rectangles are arrays of floats, so they swap as floats.
size_t
item_size(type_code type)
{
	switch (type) {
		case B_INT16_TYPE:
		case B_UINT16_TYPE:
			return 2;
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
		case B_FLOAT_TYPE:
		case B_POINT_TYPE:
		case B_RECT_TYPE:
			return 4;
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_DOUBLE_TYPE:
		case B_OFF_T_TYPE:
			return 8;
		// These follow the host's own types.
		case B_SIZE_T_TYPE:
			return sizeof(size_t);
		case B_SSIZE_T_TYPE:
			return sizeof(ssize_t);
		case B_TIME_TYPE:
			return sizeof(time_t);
		case B_POINTER_TYPE:
			return sizeof(void*);
		default:
			return 0;
	}
}

}	// namespace


bool
is_type_swapped(type_code type)
{
	return item_size(type) != 0;
}


status_t
swap_data(type_code type, void* data, size_t length, swap_action action)
{
	size_t size = item_size(type);
	if (size == 0 || length % size != 0 || (data == NULL && length != 0)
		|| action < B_SWAP_HOST_TO_LENDIAN || action > B_SWAP_ALWAYS)
		return B_BAD_VALUE;
	// Converting between the host and little-endian is nothing to do here.
	if (action == B_SWAP_HOST_TO_LENDIAN || action == B_SWAP_LENDIAN_TO_HOST)
		return B_OK;

	unsigned char* bytes = (unsigned char*)data;
	for (size_t offset = 0; offset < length; offset += size) {
		unsigned char* item = bytes + offset;
		for (size_t i = 0; i < size / 2; i++) {
			unsigned char byte = item[i];
			item[i] = item[size - 1 - i];
			item[size - 1 - i] = byte;
		}
	}
	return B_OK;
}
