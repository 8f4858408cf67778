// Path helpers shared by the Storage Kit: normalising paths and the table
// of known folders that lets an entry_ref find its path again.
#ifndef PRIVATE_STORAGE_PATH_UTIL_H
#define PRIVATE_STORAGE_PATH_UTIL_H

#include <SupportDefs.h>

#include <sys/types.h>

#include <string>

struct entry_ref;

namespace BPrivate {

// The status code for the current errno.
status_t errno_status();

// Whether `path` must be normalised to be an absolute path without ".",
// ".." and doubled or trailing slashes.
bool path_needs_normalizing(const char* path);

// Makes `path` absolute (from the current folder), resolves "." and ".."
// and the symbolic links of its folders. The folder must exist; the leaf
// need not, and a leaf that is a link stays a link.
status_t normalize_path(const char* path, std::string* out);

// `dir` joined with the relative path `leaf`.
std::string join_path(const std::string& dir, const char* leaf);

// Splits a normalised absolute path into its folder and leaf. The root
// splits into "/" and ".".
void split_path(const std::string& path, std::string* dir, std::string* leaf);

// Devices are kept to 32 bits everywhere, as the flattened ref carries them.
inline dev_t short_dev(dev_t device)
{
	return (dev_t)(uint32)device;
}

// Records that the folder (device, node) is at `path` (canonical).
void register_dir(dev_t device, ino_t node, const std::string& path);
// Records `path` (canonical, an existing folder) under its own node; fills
// `device` and `node` when given.
status_t register_dir_path(const std::string& path, dev_t* device = nullptr,
                           ino_t* node = nullptr);
// The path of a known folder, checked to still be that folder.
status_t lookup_dir(dev_t device, ino_t node, std::string* path);

// Records that the node (device, node), of any kind, is at `path`.
void register_node(dev_t device, ino_t node, const std::string& path);
// The path of a known node (a folder or a node recorded above), checked to
// still be that node.
status_t lookup_node(dev_t device, ino_t node, std::string* path);

// The full path of a ref's entry.
status_t path_for_ref(const entry_ref& ref, std::string* path);
// The ref of a normalised absolute path whose folder exists.
status_t ref_for_normalized_path(const std::string& path, entry_ref* ref);

}

#endif
