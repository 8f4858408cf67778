// find_directory: the XDG settings folder and the private temporary folder.
#include <FindDirectory.h>
#include <Path.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

using testutil::TempDir;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
	// A null value unsets the variable.
	ScopedEnv(const char* name, const char* value) : fName(name)
	{
		const char* old = getenv(name);
		fHad = old != nullptr;
		if (fHad)
			fOld = old;
		if (value != nullptr)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}
	ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
	~ScopedEnv()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}
private:
	std::string fName;
	std::string fOld;
	bool fHad;
};

std::string temp_leaf()
{
	return "libbe-tmp-" + std::to_string(getuid());
}

}

TEST(FindDirectory, SettingsFollowXdgConfigHome)
{
	TempDir tmp;
	std::string config = tmp.File("config");
	ScopedEnv env("XDG_CONFIG_HOME", config);

	BPath path;
	ASSERT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, &path));
	EXPECT_EQ(config, std::string(path.Path()));
	struct stat st;
	EXPECT_NE(0, stat(config.c_str(), &st));         // not made without create

	ASSERT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, &path, true));
	ASSERT_EQ(0, stat(config.c_str(), &st));
	EXPECT_TRUE(S_ISDIR(st.st_mode));

	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, 0, false, buffer, sizeof(buffer)));
	EXPECT_EQ(config, std::string(buffer));
	EXPECT_EQ(B_NAME_TOO_LONG, find_directory(B_USER_SETTINGS_DIRECTORY, 0, false, buffer, 4));
	EXPECT_EQ(B_BAD_VALUE, find_directory((directory_which)12345, &path));
}

TEST(FindDirectory, HomeAndDefaults)
{
	TempDir tmp;
	ScopedEnv home("HOME", tmp.Path());
	ScopedEnv config("XDG_CONFIG_HOME", nullptr);
	ScopedEnv data("XDG_DATA_HOME", tmp.File("data"));
	BPath path;
	ASSERT_EQ(B_OK, find_directory(B_USER_DIRECTORY, &path));
	EXPECT_EQ(tmp.Path(), std::string(path.Path()));
	ASSERT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, &path));
	EXPECT_EQ(tmp.Path() + "/.config", std::string(path.Path()));
	ASSERT_EQ(B_OK, find_directory(B_USER_ADDONS_DIRECTORY, &path, true));
	EXPECT_EQ(tmp.File("data") + "/be/add-ons", std::string(path.Path()));
	struct stat st;
	EXPECT_EQ(0, stat(path.Path(), &st));
}

TEST(FindDirectory, PrivateTempFolderIsClosedToOthers)
{
	TempDir tmp;
	ScopedEnv env("TMPDIR", tmp.Path());
	BPath path;
	ASSERT_EQ(B_OK, find_directory(B_COMMON_TEMP_DIRECTORY, &path, true));
	EXPECT_EQ(tmp.File(temp_leaf()), std::string(path.Path()));
	struct stat st;
	ASSERT_EQ(0, lstat(path.Path(), &st));
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(0700u, st.st_mode & 07777);
	EXPECT_EQ(getuid(), st.st_uid);

	// An existing folder that others could enter is closed again.
	ASSERT_EQ(0, chmod(path.Path(), 0777));
	ASSERT_EQ(B_OK, find_directory(B_COMMON_TEMP_DIRECTORY, &path, false));
	ASSERT_EQ(0, lstat(path.Path(), &st));
	EXPECT_EQ(0700u, st.st_mode & 07777);
}

TEST(FindDirectory, PrivateTempFolderRefusesLinksAndFiles)
{
	TempDir tmp;
	TempDir elsewhere;
	ScopedEnv env("TMPDIR", tmp.Path());
	// Someone prepared the name as a link to a folder of their choosing.
	ASSERT_EQ(0, symlink(elsewhere.Path().c_str(), tmp.File(temp_leaf()).c_str()));
	BPath path;
	EXPECT_EQ(B_PERMISSION_DENIED, find_directory(B_COMMON_TEMP_DIRECTORY, &path, true));
	char buffer[B_PATH_NAME_LENGTH];
	EXPECT_EQ(B_PERMISSION_DENIED,
	          find_directory(B_COMMON_TEMP_DIRECTORY, 0, true, buffer, sizeof(buffer)));

	ASSERT_EQ(0, unlink(tmp.File(temp_leaf()).c_str()));
	tmp.Write(temp_leaf(), "a file in the way");
	EXPECT_EQ(B_PERMISSION_DENIED, find_directory(B_COMMON_TEMP_DIRECTORY, &path, true));
}
