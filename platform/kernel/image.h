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

#ifdef __cplusplus
extern "C" {
#endif

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
