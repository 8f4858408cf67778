#include "storage/ResourceContainer.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace BPrivate {

static const char kMagic[8] = {'B', 'e', 'R', 's', 'r', 'c', '0', '1'};
static const size_t kRecordFixedSize = 4 + 4 + 8 + 8 + 2;

Resource* ResourceSet::Find(type_code type, int32 id)
{
	for (Resource& resource : resources) {
		if (resource.type == type && resource.id == id)
			return &resource;
	}
	return nullptr;
}

Resource* ResourceSet::Find(type_code type, const char* name)
{
	if (name == nullptr)
		return nullptr;
	for (Resource& resource : resources) {
		if (resource.type == type && resource.name == name)
			return &resource;
	}
	return nullptr;
}

void ResourceSet::Put(Resource resource)
{
	if (Resource* existing = Find(resource.type, resource.id))
		*existing = std::move(resource);
	else
		resources.push_back(std::move(resource));
}

// ---- Little-endian helpers

static void put(std::vector<uint8>* out, uint64 value, int bytes)
{
	for (int i = 0; i < bytes; i++)
		out->push_back((uint8)(value >> (8 * i)));
}

static uint64 get(const uint8* in, int bytes)
{
	uint64 value = 0;
	for (int i = bytes - 1; i >= 0; i--)
		value = (value << 8) | in[i];
	return value;
}

// ---- Reading

status_t parse_resources(const std::vector<uint8>& tail, uint64 fileSize, ResourceSet* set)
{
	set->resources.clear();
	set->base = fileSize;
	if (tail.size() < kResourceTrailerSize || tail.size() > fileSize)
		return B_OK;
	const uint8* trailer = tail.data() + tail.size() - kResourceTrailerSize;
	if (memcmp(trailer, kMagic, sizeof(kMagic)) != 0)
		return B_OK;

	uint64 count = get(trailer + 8, 4);
	uint64 containerOffset = get(trailer + 16, 8);
	uint64 tableOffset = get(trailer + 24, 8);
	uint64 containerSize = get(trailer + 32, 8);
	if (containerSize < kResourceTrailerSize || containerSize > tail.size()
	    || containerOffset != fileSize - containerSize)
		return B_BAD_VALUE;
	uint64 tableEnd = containerSize - kResourceTrailerSize;
	if (tableOffset > tableEnd || count > (tableEnd - tableOffset) / kRecordFixedSize)
		return B_BAD_VALUE;

	const uint8* container = tail.data() + tail.size() - containerSize;
	uint64 position = tableOffset;
	std::vector<Resource> resources;
	resources.reserve(count);
	for (uint64 i = 0; i < count; i++) {
		if (tableEnd - position < kRecordFixedSize)
			return B_BAD_VALUE;
		const uint8* record = container + position;
		Resource resource;
		resource.type = (type_code)get(record, 4);
		resource.id = (int32)(uint32)get(record + 4, 4);
		uint64 dataOffset = get(record + 8, 8);
		uint64 dataSize = get(record + 16, 8);
		uint64 nameLength = get(record + 24, 2);
		position += kRecordFixedSize;
		if (tableEnd - position < nameLength)
			return B_BAD_VALUE;
		resource.name.assign((const char*)container + position, nameLength);
		position += nameLength;
		// The data lies before the table.
		if (dataOffset > tableOffset || dataSize > tableOffset - dataOffset)
			return B_BAD_VALUE;
		resource.data.assign(container + dataOffset, container + dataOffset + dataSize);
		resources.push_back(std::move(resource));
	}
	set->resources = std::move(resources);
	set->base = containerOffset;
	return B_OK;
}

static status_t read_fully(int fd, uint8* buffer, size_t size, uint64 offset)
{
	while (size > 0) {
		ssize_t got = pread(fd, buffer, size, (off_t)offset);
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
			return B_IO_ERROR;
		buffer += got;
		size -= (size_t)got;
		offset += (uint64)got;
	}
	return B_OK;
}

status_t read_resources(int fd, ResourceSet* set)
{
	struct stat st;
	if (fstat(fd, &st) != 0)
		return B_FILE_ERROR;
	uint64 fileSize = (uint64)st.st_size;
	set->resources.clear();
	set->base = fileSize;
	if (fileSize < kResourceTrailerSize)
		return B_OK;

	uint8 trailer[kResourceTrailerSize];
	status_t status = read_fully(fd, trailer, sizeof(trailer), fileSize - sizeof(trailer));
	if (status != B_OK)
		return status;
	if (memcmp(trailer, kMagic, sizeof(kMagic)) != 0)
		return B_OK;
	uint64 containerSize = get(trailer + 32, 8);
	if (containerSize < kResourceTrailerSize || containerSize > fileSize)
		return B_BAD_VALUE;
	if (containerSize > kMaxResourceContainerSize)
		return B_NO_MEMORY;
	std::vector<uint8> tail(containerSize);
	status = read_fully(fd, tail.data(), tail.size(), fileSize - containerSize);
	if (status != B_OK)
		return status;
	return parse_resources(tail, fileSize, set);
}

// ---- Writing

std::vector<uint8> build_container(const ResourceSet& set)
{
	std::vector<uint8> out;
	if (set.resources.empty())
		return out;
	std::vector<uint64> offsets;
	for (const Resource& resource : set.resources) {
		offsets.push_back(out.size());
		out.insert(out.end(), resource.data.begin(), resource.data.end());
	}
	uint64 tableOffset = out.size();
	for (size_t i = 0; i < set.resources.size(); i++) {
		const Resource& resource = set.resources[i];
		size_t nameLength = std::min(resource.name.size(), (size_t)0xffff);
		put(&out, resource.type, 4);
		put(&out, (uint32)resource.id, 4);
		put(&out, offsets[i], 8);
		put(&out, resource.data.size(), 8);
		put(&out, nameLength, 2);
		out.insert(out.end(), resource.name.begin(), resource.name.begin() + nameLength);
	}
	out.insert(out.end(), kMagic, kMagic + sizeof(kMagic));
	put(&out, set.resources.size(), 4);
	put(&out, 0, 4);
	put(&out, set.base, 8);
	put(&out, tableOffset, 8);
	put(&out, out.size() + 8, 8);
	return out;
}

status_t write_resources(int fd, const ResourceSet& set)
{
	std::vector<uint8> container = build_container(set);
	// Written over the old container first and cut to size after, so that a
	// failed write never leaves the file cut short of its own bytes.
	const uint8* data = container.data();
	size_t left = container.size();
	uint64 offset = set.base;
	while (left > 0) {
		ssize_t written = pwrite(fd, data, left, (off_t)offset);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0) {
			if (errno == EBADF)
				return B_NOT_ALLOWED;
			return errno == ENOSPC ? (status_t)B_DEVICE_FULL : (status_t)B_IO_ERROR;
		}
		data += written;
		left -= (size_t)written;
		offset += (uint64)written;
	}
	if (ftruncate(fd, (off_t)(set.base + container.size())) != 0)
		return errno == EBADF || errno == EINVAL ? (status_t)B_NOT_ALLOWED : (status_t)B_IO_ERROR;
	return B_OK;
}

}
