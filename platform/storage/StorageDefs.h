// Storage Kit limits, open modes and node kinds.
#ifndef _STORAGE_DEFS_H
#define _STORAGE_DEFS_H

#include <fcntl.h>
#include <sys/param.h>

#define B_DEV_NAME_LENGTH  128
#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH (B_FILE_NAME_LENGTH - 1)
#define B_MIME_TYPE_LENGTH (B_ATTR_NAME_LENGTH - 15)
#define B_MAX_SYMLINKS     16

// Open modes of BFile. They are the Linux open(2) flags, so a mode can be
// handed to the kernel as it is.
#define B_READ_ONLY      O_RDONLY
#define B_WRITE_ONLY     O_WRONLY
#define B_READ_WRITE     O_RDWR
#define B_FAIL_IF_EXISTS O_EXCL
#define B_CREATE_FILE    O_CREAT
#define B_ERASE_FILE     O_TRUNC
#define B_OPEN_AT_END    O_APPEND

// Kinds of node an entry may be.
enum node_flavor {
	B_FILE_NODE      = 0x01,
	B_SYMLINK_NODE   = 0x02,
	B_DIRECTORY_NODE = 0x04,
	B_ANY_NODE       = 0x07
};

#endif
