// Loaded images: the executable, shared libraries and add-ons.
#ifndef _IMAGE_H
#define _IMAGE_H

#include <OS.h>
#include <StorageDefs.h>

typedef int32 image_id;

typedef enum {
	B_APP_IMAGE = 1,
	B_LIBRARY_IMAGE,
	B_ADD_ON_IMAGE,
	B_SYSTEM_IMAGE
} image_type;

typedef struct {
	image_id   id;
	image_type type;
	int32      sequence;
	int32      init_order;
	void     (*init_routine)();
	void     (*term_routine)();
	dev_t      device;
	ino_t      node;
	char       name[B_PATH_NAME_LENGTH];  // the image file's full path
	void*      text;
	void*      data;
	int32      text_size;
	int32      data_size;
} image_info;

#define B_SYMBOL_TYPE_DATA 0x1
#define B_SYMBOL_TYPE_TEXT 0x2
#define B_SYMBOL_TYPE_ANY  0x5

// Where the standard streams of a program started with
// load_image_with_stdio go. A NULL path leaves the stream the caller's own.
// `input_path` is opened for reading; `output_path` and `error_path` are
// created (mode 0600) or truncated, and are never opened through a symbolic
// link. The same path may be given for output and error. (A platform
// extension: BeOS programs set their own descriptors around load_image,
// which a process with several threads cannot do safely.)
typedef struct {
	const char* input_path;
	const char* output_path;
	const char* error_path;
} image_stdio;

#ifdef __cplusplus
extern "C" {
#endif

// Prepares a program to run as a team of its own, and returns the id of a
// thread of the calling team that stands for the team's main thread: it is
// created suspended; resume_thread starts the program, and wait_for_thread
// (which starts it too when needed) waits for its end and gives its exit
// status (0 to 255), or B_INTERRUPTED when a signal ended it.
// argv[0] is the program: a path when it holds a "/", otherwise it is
// looked for in the folders of the caller's PATH. The arguments reach the
// program as they stand; no shell is involved. envp ends with NULL; NULL
// gives the program the caller's environment. The program gets no other
// open files of the caller than its three standard streams.
// B_BAD_VALUE for argc < 1 or a NULL argv; B_ENTRY_NOT_FOUND when the
// program cannot be found or is not executable.
// kill_thread does not reach a program that runs: its thread ends when the
// program does.
thread_id load_image(int32 argc, const char** argv, const char** envp);
// The same with the standard streams of the program set by `stdio` (NULL:
// all the caller's).
// A program that cannot be started when it is resumed (a stream file that
// cannot be opened, too little memory) ends at once; wait_for_thread then
// gives the error code (negative) as its status.
thread_id load_image_with_stdio(int32 argc, const char** argv, const char** envp,
                                const image_stdio* stdio);

// Add-ons are loaded with dlopen; the id stays valid until unload_add_on.
image_id load_add_on(const char* path);
status_t unload_add_on(image_id image);
status_t get_image_symbol(image_id image, const char* name, int32 symbolType,
                          void** symbolLocation);
status_t get_nth_image_symbol(image_id image, int32 n, char* nameBuffer,
                              int32* nameLength, int32* symbolType,
                              void** symbolLocation);
// Walks every image loaded in the team: the executable first, then shared
// libraries and add-ons. `text` and `text_size` span the image's mapping, so
// that an address inside a library tells which image it belongs to.
status_t get_next_image_info(team_id team, int32* cookie, image_info* info);
status_t get_image_info(image_id image, image_info* info);

#ifdef __cplusplus
}
#endif

#endif
