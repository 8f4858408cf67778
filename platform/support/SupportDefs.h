// Fixed-size integer types, status_t, bigtime_t and small helpers.
// int32 is 32 bits wide on every machine (BeOS on x86 spelled it long).
#ifndef _SUPPORT_DEFS_H
#define _SUPPORT_DEFS_H

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include <Errors.h>

typedef int8_t   int8;
typedef uint8_t  uint8;
typedef int16_t  int16;
typedef uint16_t uint16;
typedef int32_t  int32;
typedef uint32_t uint32;
typedef int64_t  int64;
typedef uint64_t uint64;

typedef volatile int8   vint8;
typedef volatile uint8  vuint8;
typedef volatile int16  vint16;
typedef volatile uint16 vuint16;
typedef volatile int32  vint32;
typedef volatile uint32 vuint32;
typedef volatile int64  vint64;
typedef volatile uint64 vuint64;

typedef unsigned char uchar;
typedef unsigned short unichar;

typedef int32  status_t;
typedef int64  bigtime_t;
typedef uint32 type_code;
typedef uint32 perform_code;

#ifndef NULL
#define NULL 0
#endif

#define B_EMPTY_STRING ""

#define min_c(a, b) ((a) > (b) ? (b) : (a))
#define max_c(a, b) ((a) > (b) ? (a) : (b))

#ifndef _PR2_COMPATIBLE_
#define _PR2_COMPATIBLE_ 0
#endif

#endif
