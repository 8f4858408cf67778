// BDirectory listing, lookups and making entries; create_directory.
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

using testutil::TempDir;

namespace {

// The folder's entries in the order the file system gives them.
std::vector<std::string> system_order(const std::string& path)
{
	std::vector<std::string> names;
	DIR* dir = opendir(path.c_str());
	while (struct dirent* ent = dir ? readdir(dir) : nullptr) {
		if (strcmp(ent->d_name, ".") != 0 && strcmp(ent->d_name, "..") != 0)
			names.push_back(ent->d_name);
	}
	if (dir)
		closedir(dir);
	return names;
}

}

TEST(Directory, ListsInTheFileSystemsOrderWithoutDots)
{
	TempDir tmp;
	for (const char* name : {"c.lrc", "a.txt", "b", "Z"})
		tmp.Write(name, name);
	ASSERT_EQ(0, mkdir(tmp.File("sub").c_str(), 0755));
	std::vector<std::string> expected = system_order(tmp.Path());

	BDirectory dir(tmp.Path().c_str());
	ASSERT_EQ(B_OK, dir.InitCheck());
	EXPECT_EQ(5, dir.CountEntries());

	std::vector<std::string> byEntry;
	BEntry entry;
	while (dir.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		entry.GetName(name);
		byEntry.push_back(name);
		// Counting in the middle keeps the listing's place.
		EXPECT_EQ(5, dir.CountEntries());
	}
	EXPECT_EQ(expected, byEntry);

	ASSERT_EQ(B_OK, dir.Rewind());
	std::vector<std::string> byRef;
	entry_ref ref;
	while (dir.GetNextRef(&ref) == B_OK) {
		byRef.push_back(ref.name);
		EXPECT_TRUE(BEntry(&ref).Exists());
	}
	EXPECT_EQ(expected, byRef);

	dir.Rewind();
	std::vector<std::string> byDirent;
	alignas(struct dirent) char buffer[4096];
	int32 count;
	while ((count = dir.GetNextDirents((struct dirent*)buffer, sizeof(buffer), 2)) > 0) {
		EXPECT_LE(count, 2);
		size_t offset = 0;
		for (int32 i = 0; i < count; i++) {
			struct dirent* ent = (struct dirent*)(buffer + offset);
			byDirent.push_back(ent->d_name);
			offset += ent->d_reclen;
		}
	}
	EXPECT_EQ(expected, byDirent);
}

TEST(Directory, FollowsLinksOnRequestAndKeepsDanglingOnes)
{
	TempDir tmp;
	tmp.Write("target", "t");
	ASSERT_EQ(0, symlink("target", tmp.File("link").c_str()));
	ASSERT_EQ(0, symlink("nowhere", tmp.File("dangling").c_str()));
	BDirectory dir(tmp.Path().c_str());

	int files = 0, links = 0, seen = 0;
	BEntry entry;
	while (dir.GetNextEntry(&entry, true) == B_OK) {
		seen++;
		files += entry.IsFile();
		links += entry.IsSymLink();
	}
	EXPECT_EQ(3, seen);     // the dangling link does not end the listing
	EXPECT_EQ(2, files);    // target, and link followed to it
	EXPECT_EQ(1, links);
}

TEST(Directory, FindsContainsAndMakesEntries)
{
	TempDir tmp;
	tmp.Write("inner/deep.txt", "d");
	BDirectory dir(tmp.Path().c_str());

	EXPECT_TRUE(dir.Contains("inner", B_DIRECTORY_NODE));
	EXPECT_FALSE(dir.Contains("inner", B_FILE_NODE));
	EXPECT_TRUE(dir.Contains("inner/deep.txt"));
	EXPECT_FALSE(dir.Contains("missing"));
	BEntry outside("/");
	EXPECT_FALSE(dir.Contains(&outside));

	BEntry found;
	EXPECT_EQ(B_OK, dir.FindEntry("inner/deep.txt", &found));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, dir.FindEntry("nothing", &found));
	EXPECT_EQ(B_NO_INIT, found.InitCheck());

	BFile file;
	ASSERT_EQ(B_OK, dir.CreateFile("made.txt", &file));
	EXPECT_EQ(4, file.Write("made", 4));
	EXPECT_EQ(B_FILE_EXISTS, dir.CreateFile("made.txt", &file, true));
	EXPECT_EQ("made", testutil::read_file(tmp.File("made.txt")));

	BDirectory sub;
	ASSERT_EQ(B_OK, dir.CreateDirectory("newdir", &sub));
	EXPECT_EQ(0, sub.CountEntries());
	EXPECT_EQ(B_FILE_EXISTS, dir.CreateDirectory("newdir", nullptr));

	BDirectory notADir(tmp.File("made.txt").c_str());
	EXPECT_EQ(B_NOT_A_DIRECTORY, notADir.InitCheck());
	BDirectory relative(&dir, "inner");
	EXPECT_EQ(1, relative.CountEntries());
}

TEST(Directory, CreateDirectoryMakesEveryMissingFolder)
{
	TempDir tmp;
	std::string deep = tmp.File("one/two/three");
	ASSERT_EQ(B_OK, create_directory(deep.c_str(), 0755));
	struct stat st;
	ASSERT_EQ(0, stat(deep.c_str(), &st));
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(B_OK, create_directory(deep.c_str(), 0755));   // already there

	tmp.Write("file", "x");
	EXPECT_EQ(B_NOT_A_DIRECTORY, create_directory(tmp.File("file/below").c_str(), 0755));
	EXPECT_EQ(B_BAD_VALUE, create_directory("", 0755));
}
