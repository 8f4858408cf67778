// BEntry: entries that do not exist yet, names, parents, renaming, removal.
#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using testutil::TempDir;

namespace {

std::string canonical(const std::string& path)
{
	char* real = realpath(path.c_str(), nullptr);
	std::string result = real ? real : "";
	free(real);
	return result;
}

std::string path_of(const BEntry& entry)
{
	BPath path;
	return entry.GetPath(&path) == B_OK ? std::string(path.Path()) : std::string();
}

}

TEST(Entry, NamesSomethingThatDoesNotExistYet)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	BEntry entry((base + "/later.lrc").c_str());
	ASSERT_EQ(B_OK, entry.InitCheck());
	EXPECT_FALSE(entry.Exists());
	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(B_OK, entry.GetName(name));
	EXPECT_STREQ("later.lrc", name);

	entry_ref ref;
	ASSERT_EQ(B_OK, entry.GetRef(&ref));
	tmp.Write("later.lrc", "[00:01]la");
	EXPECT_TRUE(entry.Exists());
	EXPECT_TRUE(entry.IsFile());
	BEntry fromRef(&ref);
	EXPECT_TRUE(fromRef == entry);
	off_t size = 0;
	EXPECT_EQ(B_OK, fromRef.GetSize(&size));
	EXPECT_EQ(9, size);

	// Without its folder, there is no entry.
	BEntry orphan((base + "/no/such/file").c_str());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, orphan.InitCheck());
	EXPECT_FALSE(orphan.Exists());
}

TEST(Entry, ParentsAndTheRoot)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	BEntry entry((base + "/f").c_str());
	BEntry parent;
	ASSERT_EQ(B_OK, entry.GetParent(&parent));
	EXPECT_EQ(base, path_of(parent));
	EXPECT_TRUE(parent.IsDirectory());
	BDirectory dir;
	ASSERT_EQ(B_OK, entry.GetParent(&dir));
	EXPECT_STREQ(base.c_str(), dir.PathName());

	BEntry root("/");
	ASSERT_EQ(B_OK, root.InitCheck());
	EXPECT_EQ("/", path_of(root));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, root.GetParent(&parent));
	BDirectory rootDir("/");
	EXPECT_TRUE(rootDir.IsRootDirectory());
	EXPECT_FALSE(dir.IsRootDirectory());
}

TEST(Entry, TraversesLinksOnlyWhenAsked)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	tmp.Write("target.txt", "x");
	ASSERT_EQ(0, symlink("target.txt", (base + "/link").c_str()));
	ASSERT_EQ(0, symlink("missing", (base + "/dangling").c_str()));

	BEntry link((base + "/link").c_str());
	EXPECT_TRUE(link.IsSymLink());
	BEntry followed((base + "/link").c_str(), true);
	EXPECT_EQ(base + "/target.txt", path_of(followed));
	EXPECT_TRUE(followed.IsFile());

	BEntry dangling((base + "/dangling").c_str(), true);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, dangling.InitCheck());
}

TEST(Entry, RenameAndMoveKeepOrClobberTheTarget)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	tmp.Write("a.txt", "A");
	tmp.Write("b.txt", "B");
	ASSERT_EQ(0, mkdir((base + "/sub").c_str(), 0755));

	BEntry entry((base + "/a.txt").c_str());
	EXPECT_EQ(B_FILE_EXISTS, entry.Rename("b.txt"));
	EXPECT_EQ("B", testutil::read_file(base + "/b.txt"));     // nothing lost
	EXPECT_EQ(base + "/a.txt", path_of(entry));

	ASSERT_EQ(B_OK, entry.Rename("c.txt"));
	EXPECT_EQ(base + "/c.txt", path_of(entry));
	EXPECT_TRUE(entry.Exists());

	BDirectory sub((base + "/sub").c_str());
	ASSERT_EQ(B_OK, entry.MoveTo(&sub));
	EXPECT_EQ(base + "/sub/c.txt", path_of(entry));
	EXPECT_EQ("A", testutil::read_file(base + "/sub/c.txt"));

	ASSERT_EQ(B_OK, entry.Rename((base + "/b.txt").c_str(), true));
	EXPECT_EQ("A", testutil::read_file(base + "/b.txt"));
}

TEST(Entry, RemoveFilesAndEmptyFolders)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	tmp.Write("full/inside", "x");
	BEntry file((base + "/full/inside").c_str());
	BEntry folder((base + "/full").c_str());
	EXPECT_EQ(B_DIRECTORY_NOT_EMPTY, folder.Remove());
	ASSERT_EQ(B_OK, file.Remove());
	EXPECT_FALSE(file.Exists());
	EXPECT_EQ(B_OK, file.InitCheck());        // still names the place
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.Remove());
	ASSERT_EQ(B_OK, folder.Remove());
	EXPECT_FALSE(folder.Exists());
}

TEST(Entry, ModificationTimeCanBeReadAndSet)
{
	TempDir tmp;
	std::string path = tmp.Write("t.txt", "x");
	BEntry entry(path.c_str());
	ASSERT_EQ(B_OK, entry.SetModificationTime(1000000000));
	time_t when = 0;
	ASSERT_EQ(B_OK, entry.GetModificationTime(&when));
	EXPECT_EQ(1000000000, when);

	BEntry unset;
	EXPECT_EQ(B_NO_INIT, unset.GetModificationTime(&when));
	EXPECT_FALSE(unset.Exists());
}
