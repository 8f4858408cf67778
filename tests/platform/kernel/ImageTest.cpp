#include <gtest/gtest.h>

#include <OS.h>
#include <image.h>

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace {

// The image whose mapping holds `address`.
bool image_holding(const void* address, image_info* found)
{
	int32 cookie = 0;
	image_info info;
	while (get_next_image_info(0, &cookie, &info) == B_OK) {
		const char* start = static_cast<const char*>(info.text);
		if (address >= info.text && static_cast<const char*>(address) < start + info.text_size) {
			*found = info;
			return true;
		}
	}
	return false;
}

std::string real_path(const char* path)
{
	char resolved[PATH_MAX];
	return realpath(path, resolved) != nullptr ? resolved : "";
}

}

TEST(Image, TheFirstImageIsTheExecutable)
{
	int32 cookie = 0;
	image_info info;
	ASSERT_EQ(get_next_image_info(0, &cookie, &info), B_OK);
	EXPECT_EQ(info.type, B_APP_IMAGE);
	EXPECT_EQ(std::string(info.name), real_path("/proc/self/exe"));
	image_info again;
	ASSERT_EQ(get_image_info(info.id, &again), B_OK);
	EXPECT_STREQ(again.name, info.name);
	EXPECT_EQ(get_next_image_info(-77, &cookie, &info), B_BAD_TEAM_ID);
	EXPECT_EQ(get_image_info(-1, &info), B_BAD_IMAGE_ID);
}

TEST(Image, AnAddressInTheLibraryTellsItsFile)
{
	image_info info;
	ASSERT_TRUE(image_holding(reinterpret_cast<const void*>(&spawn_thread), &info));
	EXPECT_EQ(info.type, B_LIBRARY_IMAGE);
	const std::string name = info.name;
	EXPECT_EQ(name[0], '/');
	EXPECT_NE(name.find("libbe"), std::string::npos) << name;
	EXPECT_EQ(access(info.name, R_OK), 0);
}

TEST(Image, AddOnsLoadListAndUnload)
{
	EXPECT_EQ(load_add_on("/nonexistent/addon.so"), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(load_add_on("/proc/self/status"), B_NOT_AN_EXECUTABLE);

	image_id addOn = load_add_on(TEST_ADDON_PATH);
	ASSERT_GT(addOn, 0);

	void* function = nullptr;
	ASSERT_EQ(get_image_symbol(addOn, "test_addon_twice", B_SYMBOL_TYPE_TEXT, &function), B_OK);
	EXPECT_EQ(reinterpret_cast<int (*)(int)>(function)(21), 42);
	void* variable = nullptr;
	ASSERT_EQ(get_image_symbol(addOn, "test_addon_value", B_SYMBOL_TYPE_DATA, &variable), B_OK);
	EXPECT_EQ(*static_cast<int*>(variable), 42);
	EXPECT_EQ(get_image_symbol(addOn, "no_such_symbol", B_SYMBOL_TYPE_ANY, &variable),
		B_ENTRY_NOT_FOUND);

	image_info info;
	ASSERT_TRUE(image_holding(function, &info));
	EXPECT_EQ(info.id, addOn);
	EXPECT_EQ(info.type, B_ADD_ON_IMAGE);
	EXPECT_EQ(std::string(info.name), real_path(TEST_ADDON_PATH));

	// The add-on's symbols can be walked too.
	bool sawFunction = false;
	for (int32 n = 0;; n++) {
		char name[64];
		int32 length = sizeof(name);
		int32 type = 0;
		void* location = nullptr;
		if (get_nth_image_symbol(addOn, n, name, &length, &type, &location) != B_OK)
			break;
		if (std::string(name) == "test_addon_twice") {
			sawFunction = true;
			EXPECT_EQ(type, B_SYMBOL_TYPE_TEXT);
			EXPECT_EQ(location, function);
		}
	}
	EXPECT_TRUE(sawFunction);

	EXPECT_EQ(unload_add_on(addOn), B_OK);
	EXPECT_EQ(unload_add_on(addOn), B_BAD_IMAGE_ID);
	EXPECT_EQ(get_image_symbol(addOn, "test_addon_twice", B_SYMBOL_TYPE_TEXT, &function),
		B_BAD_IMAGE_ID);
}
