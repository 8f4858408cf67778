// Resources appended to a real shared library, and the container's checks.
#include <File.h>
#include <Resources.h>

#include "storage/ResourceContainer.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

using testutil::TempDir;

namespace {

const std::string kLibrary = STORAGE_RESLIB_PATH;
const std::string kData = STORAGE_RESLIB_DATA;

std::string as_string(const void* data, size_t size)
{
	return data ? std::string((const char*)data, size) : std::string("<none>");
}

// A copy of the built library, to change without touching the original.
std::string copy_library(const TempDir& tmp)
{
	return tmp.Write("copy.so", testutil::read_file(kLibrary));
}

}

TEST(Resources, AppendedToASharedLibraryThatStillLoads)
{
	void* handle = dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(nullptr, handle) << dlerror();
	auto answer = (int (*)())dlsym(handle, "storage_reslib_answer");
	ASSERT_NE(nullptr, answer);
	EXPECT_EQ(42, answer());
	dlclose(handle);

	BFile file(kLibrary.c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(B_OK, resources.InitCheck());

	size_t size = 0;
	const void* language = resources.LoadResource('CSTR', 3000, &size);
	EXPECT_EQ(testutil::read_file(kData + "/language.ini"), as_string(language, size));
	const void* prefs = resources.LoadResource('ARCV', "prefs", &size);
	EXPECT_EQ(testutil::read_file(kData + "/prefs.bin"), as_string(prefs, size));
	EXPECT_EQ(nullptr, resources.LoadResource('CSTR', 3001, &size));
	EXPECT_TRUE(resources.HasResource('ARCV', 3000));
	EXPECT_FALSE(resources.HasResource('ARCV', "other"));

	type_code type;
	int32 id;
	const char* name;
	ASSERT_TRUE(resources.GetResourceInfo(1, &type, &id, &name, &size));
	EXPECT_EQ((type_code)'ARCV', type);
	EXPECT_STREQ("prefs", name);
	EXPECT_FALSE(resources.GetResourceInfo(2, &type, &id, &name, &size));
	ASSERT_TRUE(resources.GetResourceInfo((type_code)'CSTR', 0, &id, &name, &size));
	EXPECT_EQ(3000, id);
	EXPECT_STREQ("", name);
	ASSERT_TRUE(resources.GetResourceInfo((type_code)'ARCV', "prefs", &id, &size));
	EXPECT_EQ(3000, id);
	ASSERT_TRUE(resources.GetResourceInfo(prefs, &type, &id, &size, &name));
	EXPECT_STREQ("prefs", name);

	void* copy = resources.FindResource('CSTR', 3000, &size);
	ASSERT_NE(nullptr, copy);
	EXPECT_EQ(0, memcmp(copy, language, size));
	free(copy);

	// Read-only files keep their resources as they are.
	EXPECT_EQ(B_OK, resources.AddResource('TEST', 1, "x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, resources.Sync());
}

TEST(Resources, ChangesAreWrittenBackBehindTheLibrary)
{
	TempDir tmp;
	std::string path = copy_library(tmp);
	const std::string original = testutil::read_file(path);
	uint64 base;
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(B_OK, resources.InitCheck());
		ASSERT_EQ(B_OK, resources.AddResource('CSTR', 3000, "replaced", 8, "lang"));
		ASSERT_EQ(B_OK, resources.AddResource('TEST', 7, "seven", 5));
		ASSERT_EQ(B_OK, resources.RemoveResource('ARCV', 3000));
		EXPECT_EQ(B_BAD_VALUE, resources.RemoveResource('ARCV', 3000));
		ASSERT_EQ(B_OK, resources.WriteResource('TEST', 7, "EV", 1, 2));
		ASSERT_EQ(B_OK, resources.Sync());

		BPrivate::ResourceSet set;
		int fd = file.Dup();
		ASSERT_EQ(B_OK, BPrivate::read_resources(fd, &set));
		close(fd);
		base = set.base;
	}
	// The library's own bytes are untouched.
	const std::string changed = testutil::read_file(path);
	ASSERT_GE(changed.size(), base);
	EXPECT_EQ(0, original.compare(0, base, changed, 0, base));

	BFile file(path.c_str(), B_READ_ONLY);
	BResources resources(&file);
	size_t size = 0;
	const void* lang = resources.LoadResource('CSTR', "lang", &size);
	EXPECT_EQ("replaced", as_string(lang, size));
	const void* seven = resources.LoadResource('TEST', 7, &size);
	EXPECT_EQ("sEVen", as_string(seven, size));
	EXPECT_FALSE(resources.HasResource('ARCV', 3000));

	void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(nullptr, handle) << dlerror();
	dlclose(handle);
}

TEST(Resources, FilesWithoutResourcesAndClobbering)
{
	TempDir tmp;
	std::string path = tmp.Write("plain.bin", "just bytes");
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(B_OK, resources.InitCheck());
		EXPECT_FALSE(resources.GetResourceInfo(0, nullptr, nullptr, nullptr, nullptr));
		ASSERT_EQ(B_OK, resources.AddResource('CSTR', 1, "hi", 3));
	}   // written back when it goes away
	EXPECT_EQ(0, testutil::read_file(path).compare(0, 10, "just bytes"));
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file, true);
		EXPECT_FALSE(resources.HasResource('CSTR', 1));
	}
	EXPECT_EQ("just bytes", testutil::read_file(path));

	BFile readOnly(path.c_str(), B_READ_ONLY);
	BResources clobber;
	EXPECT_EQ(B_NOT_ALLOWED, clobber.SetTo(&readOnly, true));
	EXPECT_EQ(nullptr, clobber.LoadResource('CSTR', 1, nullptr));
}

TEST(Resources, DamagedContainersAreRefusedSafely)
{
	BPrivate::ResourceSet set;
	set.base = 100;
	BPrivate::Resource resource;
	resource.type = 'CSTR';
	resource.id = 5;
	resource.name = "name";
	resource.data = {1, 2, 3, 4, 5, 6};
	set.resources.push_back(resource);
	std::vector<uint8> container = BPrivate::build_container(set);
	std::vector<uint8> file(100 + container.size(), 0xAA);
	std::copy(container.begin(), container.end(), file.begin() + 100);

	BPrivate::ResourceSet parsed;
	ASSERT_EQ(B_OK, BPrivate::parse_resources(file, file.size(), &parsed));
	ASSERT_EQ(1u, parsed.resources.size());
	EXPECT_EQ(resource.data, parsed.resources[0].data);
	EXPECT_EQ(100u, parsed.base);

	// Every single-byte change inside the table and trailer either parses
	// to something within the file or is refused; never an over-read.
	size_t tableStart = file.size() - container.size() + resource.data.size();
	for (size_t i = tableStart; i < file.size(); i++) {
		for (uint8 value : {(uint8)0x00, (uint8)0xFF, (uint8)0x7F}) {
			std::vector<uint8> damaged = file;
			damaged[i] = value;
			BPrivate::ResourceSet out;
			status_t status = BPrivate::parse_resources(damaged, damaged.size(), &out);
			EXPECT_TRUE(status == B_OK || status == B_BAD_VALUE);
			if (status == B_BAD_VALUE) {
				EXPECT_TRUE(out.resources.empty());
			}
		}
	}

	// A container cut short no longer ends the file: the file has none.
	std::vector<uint8> cut(file.begin(), file.end() - 1);
	BPrivate::ResourceSet none;
	EXPECT_EQ(B_OK, BPrivate::parse_resources(cut, cut.size(), &none));
	EXPECT_TRUE(none.resources.empty());
	EXPECT_EQ(cut.size(), none.base);

	// A damaged container on disk makes SetTo fail instead of losing it.
	TempDir tmp;
	std::vector<uint8> bad = file;
	bad[bad.size() - 8] ^= 0x40;   // container size
	std::string path = tmp.Write("bad.bin", std::string(bad.begin(), bad.end()));
	BFile damagedFile(path.c_str(), B_READ_WRITE);
	BResources resources(&damagedFile);
	EXPECT_EQ(B_BAD_VALUE, resources.InitCheck());
}
