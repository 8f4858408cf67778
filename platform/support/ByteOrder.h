// Byte-order conversion. The host is little-endian (x86), so the LENDIAN
// macros leave values alone and the BENDIAN ones swap them.
#ifndef _BYTEORDER_H
#define _BYTEORDER_H

#include <SupportDefs.h>
#include <TypeConstants.h>

#if __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "this platform layer is written for little-endian hosts"
#endif

#define B_HOST_IS_LENDIAN 1
#define B_HOST_IS_BENDIAN 0

typedef enum {
	B_SWAP_HOST_TO_LENDIAN,
	B_SWAP_HOST_TO_BENDIAN,
	B_SWAP_LENDIAN_TO_HOST,
	B_SWAP_BENDIAN_TO_HOST,
	B_SWAP_ALWAYS
} swap_action;

#ifdef __cplusplus
extern "C" {
#endif

// Swaps the items of an array of `type` in place (`length` is in bytes and
// must be a multiple of the item size). B_BAD_VALUE for a type whose items
// have no byte order (see is_type_swapped) or a length that does not fit.
status_t swap_data(type_code type, void* data, size_t length, swap_action action);
// True for the numeric types that swap_data can swap: integers, floats,
// points and rectangles, sizes, offsets and times.
bool is_type_swapped(type_code type);

#ifdef __cplusplus
}
#endif

static inline uint16 __swap_int16(uint16 value)
{
	return __builtin_bswap16(value);
}

static inline uint32 __swap_int32(uint32 value)
{
	return __builtin_bswap32(value);
}

static inline uint64 __swap_int64(uint64 value)
{
	return __builtin_bswap64(value);
}

static inline float
__swap_float(float value)
{
	uint32 bits;
	__builtin_memcpy(&bits, &value, sizeof(bits));
	bits = __builtin_bswap32(bits);
	__builtin_memcpy(&value, &bits, sizeof(bits));
	return value;
}

static inline double
__swap_double(double value)
{
	uint64 bits;
	__builtin_memcpy(&bits, &value, sizeof(bits));
	bits = __builtin_bswap64(bits);
	__builtin_memcpy(&value, &bits, sizeof(bits));
	return value;
}

#define B_SWAP_INT16(value)  __swap_int16(value)
#define B_SWAP_INT32(value)  __swap_int32(value)
#define B_SWAP_INT64(value)  __swap_int64(value)
#define B_SWAP_FLOAT(value)  __swap_float(value)
#define B_SWAP_DOUBLE(value) __swap_double(value)

#define B_HOST_TO_LENDIAN_INT16(value)  ((uint16)(value))
#define B_HOST_TO_LENDIAN_INT32(value)  ((uint32)(value))
#define B_HOST_TO_LENDIAN_INT64(value)  ((uint64)(value))
#define B_HOST_TO_LENDIAN_FLOAT(value)  ((float)(value))
#define B_HOST_TO_LENDIAN_DOUBLE(value) ((double)(value))

#define B_LENDIAN_TO_HOST_INT16(value)  ((uint16)(value))
#define B_LENDIAN_TO_HOST_INT32(value)  ((uint32)(value))
#define B_LENDIAN_TO_HOST_INT64(value)  ((uint64)(value))
#define B_LENDIAN_TO_HOST_FLOAT(value)  ((float)(value))
#define B_LENDIAN_TO_HOST_DOUBLE(value) ((double)(value))

#define B_HOST_TO_BENDIAN_INT16(value)  __swap_int16(value)
#define B_HOST_TO_BENDIAN_INT32(value)  __swap_int32(value)
#define B_HOST_TO_BENDIAN_INT64(value)  __swap_int64(value)
#define B_HOST_TO_BENDIAN_FLOAT(value)  __swap_float(value)
#define B_HOST_TO_BENDIAN_DOUBLE(value) __swap_double(value)

#define B_BENDIAN_TO_HOST_INT16(value)  __swap_int16(value)
#define B_BENDIAN_TO_HOST_INT32(value)  __swap_int32(value)
#define B_BENDIAN_TO_HOST_INT64(value)  __swap_int64(value)
#define B_BENDIAN_TO_HOST_FLOAT(value)  __swap_float(value)
#define B_BENDIAN_TO_HOST_DOUBLE(value) __swap_double(value)

#endif
