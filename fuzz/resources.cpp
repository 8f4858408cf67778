// libFuzzer target: the resource container at the end of a file (what
// BResources reads when a file is set).
//
// Checks: a container that is read is written back the same way: building
// it again from what was read and reading that gives the same resources.
#include "fuzz/FuzzCheck.h"

#include "storage/ResourceContainer.h"

#include <stddef.h>
#include <stdint.h>

#include <vector>

using BPrivate::Resource;
using BPrivate::ResourceSet;

namespace {

bool same(const ResourceSet& a, const ResourceSet& b)
{
	if (a.resources.size() != b.resources.size())
		return false;
	for (size_t i = 0; i < a.resources.size(); i++) {
		const Resource& x = a.resources[i];
		const Resource& y = b.resources[i];
		if (x.type != y.type || x.id != y.id || x.name != y.name || x.data != y.data)
			return false;
	}
	return true;
}

}

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	// The whole input is the file; a file's tail as it is read.
	const std::vector<uint8> file(data, data + size);
	ResourceSet set;
	if (BPrivate::parse_resources(file, file.size(), &set) != B_OK)
		return 0;
	fuzzcheck::check(set.base <= file.size(), "resources", "container begins past the file");
	// Without resources nothing is written back: the file is cut to what lay
	// before the container, and that is read as what it is on its own (it
	// may end in a broken container of its own).
	if (set.resources.empty())
		return 0;

	std::vector<uint8> rebuilt(file.begin(), file.begin() + set.base);
	const std::vector<uint8> container = BPrivate::build_container(set);
	rebuilt.insert(rebuilt.end(), container.begin(), container.end());
	ResourceSet again;
	fuzzcheck::check(BPrivate::parse_resources(rebuilt, rebuilt.size(), &again) == B_OK,
		"resources", "own container not read back");
	fuzzcheck::check(same(set, again), "resources", "own container read back differently");
	return 0;
}
