#include "storage/RefFlattening.h"

#include "storage/PathUtil.h"

#include <string.h>

#include <string>

namespace BPrivate {

static const size_t kRefHeaderSize = 4 + 8;

// The string a flattened ref carries: the full path when the ref's folder is
// known here, else the bare name, as the original platform wrote it.
static std::string flattened_name(const entry_ref& ref)
{
	std::string path;
	if (path_for_ref(ref, &path) == B_OK)
		return path;
	return ref.name != nullptr ? std::string(ref.name) : std::string();
}

static void put_le(uint8* out, uint64 value, int bytes)
{
	for (int i = 0; i < bytes; i++)
		out[i] = (uint8)(value >> (8 * i));
}

static uint64 get_le(const uint8* in, int bytes)
{
	uint64 value = 0;
	for (int i = bytes - 1; i >= 0; i--)
		value = (value << 8) | in[i];
	return value;
}

size_t flattened_ref_size(const entry_ref& ref)
{
	return kRefHeaderSize + flattened_name(ref).size() + 1;
}

status_t flatten_ref(const entry_ref& ref, uint8* buffer, size_t size)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	std::string name = flattened_name(ref);
	if (size < kRefHeaderSize + name.size() + 1)
		return B_BAD_VALUE;
	put_le(buffer, (uint32)short_dev(ref.device), 4);
	put_le(buffer + 4, (uint64)ref.directory, 8);
	memcpy(buffer + kRefHeaderSize, name.c_str(), name.size() + 1);
	return B_OK;
}

status_t unflatten_ref(entry_ref* ref, const uint8* buffer, size_t size)
{
	if (ref == nullptr || buffer == nullptr || size < kRefHeaderSize + 1)
		return B_BAD_VALUE;
	const char* text = (const char*)buffer + kRefHeaderSize;
	size_t textSize = size - kRefHeaderSize;
	const void* end = memchr(text, '\0', textSize);
	if (end == nullptr)
		return B_BAD_VALUE;
	std::string name(text, (const char*)end - text);

	dev_t device = (dev_t)(uint32)get_le(buffer, 4);
	ino_t directory = (ino_t)get_le(buffer + 4, 8);

	std::string leaf = name;
	if (!name.empty() && name[0] == '/') {
		// A full path: its folder becomes known here. Only clean absolute
		// paths are taken, so that the table holds canonical paths alone.
		if (path_needs_normalizing(name.c_str()) && name != "/")
			return B_BAD_VALUE;
		std::string dir;
		split_path(name, &dir, &leaf);
		register_dir(device, directory, name == "/" ? name : dir);
	}
	status_t status = ref->set_name(leaf.empty() ? nullptr : leaf.c_str());
	if (status != B_OK)
		return status;
	ref->device = device;
	ref->directory = directory;
	return B_OK;
}

}
