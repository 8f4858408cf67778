// The resource container appended to a file, and its reader and writer.
// Shared by BResources and the build tool, so it needs nothing but the
// support headers.
//
// Layout, all integers little-endian, placed after the file's own bytes:
//
//   the resources' data, one after the other
//   the table, one record per resource:
//       uint32 type, int32 id, uint64 data offset, uint64 data size
//       (offsets from the container's start), uint16 name length, the name
//       (no NUL)
//   the trailer, 40 bytes:
//       char magic[8] "BeRsrc01", uint32 count, uint32 0,
//       uint64 container offset (from the file's start),
//       uint64 table offset (from the container's start),
//       uint64 container size (container start to the end of the trailer)
//
// A reader finds the trailer at the end of the file; a file whose last
// bytes are not a trailer has no resources. The container must end exactly
// at the end of the file, and every offset and size is checked before use.
#ifndef PRIVATE_STORAGE_RESOURCE_CONTAINER_H
#define PRIVATE_STORAGE_RESOURCE_CONTAINER_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

struct Resource {
	type_code type = 0;
	int32 id = 0;
	std::string name;
	std::vector<uint8> data;
};

class ResourceSet {
public:
	std::vector<Resource> resources;
	// Where the container starts (or would start) in the file: everything
	// before it belongs to the file itself and is never changed.
	uint64 base = 0;

	Resource* Find(type_code type, int32 id);
	Resource* Find(type_code type, const char* name);
	// Adds or replaces the resource of the same type and id.
	void Put(Resource resource);
};

enum { kResourceTrailerSize = 40 };
// The largest container this code will read, to keep a damaged or hostile
// file from asking for a huge allocation.
const uint64 kMaxResourceContainerSize = 256ull * 1024 * 1024;

// Reads the resources of the open file `fd`. A file without a container
// gets an empty set whose base is the file's size. B_BAD_VALUE for a
// container that does not hold together.
status_t read_resources(int fd, ResourceSet* set);

// Parses a container held in memory; `fileSize` is the size of the whole
// file whose tail `tail` is (tail.size() <= fileSize).
status_t parse_resources(const std::vector<uint8>& tail, uint64 fileSize, ResourceSet* set);

// The container for `set`, to be placed at `set.base`.
std::vector<uint8> build_container(const ResourceSet& set);

// Cuts the file back to `set.base` and appends the container (none when the
// set is empty).
status_t write_resources(int fd, const ResourceSet& set);

}

#endif
