// Replacing a file as a whole: what is left after success and after each
// kind of failure.
#include <gtest/gtest.h>

#include "storage/SafeWrite.h"
#include "TestUtil.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

using BPrivate::write_file_safely;
using testutil::folder_names;
using testutil::read_file;

namespace {

status_t write_text(const std::string& path, const std::string& text, mode_t mode = 0644)
{
	return write_file_safely(path.c_str(), text.data(), text.size(), mode);
}

mode_t mode_of(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

}

TEST(SafeWrite, ReplacesTheWholeFileAndKeepsItsPermissionsAndLinks)
{
	testutil::TempDir dir;
	const std::string target = dir.File("settings");

	ASSERT_EQ(write_text(target, "first version, rather long"), B_OK);
	EXPECT_EQ(read_file(target), "first version, rather long");
	const mode_t mask = umask(022);
	umask(mask);
	EXPECT_EQ(mode_of(target), 0644 & ~mask);

	// A shorter version leaves nothing of the longer one; the permissions
	// a user gave the file stay.
	ASSERT_EQ(chmod(target.c_str(), 0600), 0);
	ASSERT_EQ(write_text(target, "second", 0644), B_OK);
	EXPECT_EQ(read_file(target), "second");
	EXPECT_EQ(mode_of(target), 0600u);

	// An empty file is a file too.
	ASSERT_EQ(write_file_safely(target.c_str(), nullptr, 0), B_OK);
	EXPECT_EQ(read_file(target), "");

	// Through a link the linked file is replaced; the link stays.
	const std::string link = dir.File("link");
	ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
	ASSERT_EQ(write_text(link, "through the link"), B_OK);
	struct stat st;
	ASSERT_EQ(lstat(link.c_str(), &st), 0);
	EXPECT_TRUE(S_ISLNK(st.st_mode));
	EXPECT_EQ(read_file(target), "through the link");

	// No temporary file is left beside them.
	EXPECT_EQ(folder_names(dir.Path()), (std::vector<std::string>{"link", "settings"}));
}

TEST(SafeWrite, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
	testutil::TempDir dir;
	const std::string target = dir.Write("settings", "the old contents");

	EXPECT_EQ(write_text("", "x"), B_BAD_VALUE);
	EXPECT_EQ(write_file_safely(nullptr, "x", 1), B_BAD_VALUE);
	EXPECT_EQ(write_text(dir.Path() + "/", "x"), B_BAD_VALUE);
	EXPECT_EQ(write_text(dir.File("missing/settings"), "x"), B_ENTRY_NOT_FOUND);

	// The target is a folder: it stays one, with what it holds.
	const std::string folder = dir.Write("folder/inside", "kept");
	EXPECT_EQ(write_text(dir.File("folder"), "x"), B_IS_A_DIRECTORY);
	EXPECT_EQ(read_file(dir.File("folder/inside")), "kept");

	// The disk is full part way through.
	{
		testutil::FileSizeLimit full(8);
		EXPECT_NE(write_text(target, std::string(4096, 'n')), B_OK);
	}
	EXPECT_EQ(read_file(target), "the old contents");

	// A folder nobody may write into (root may write anywhere).
	const std::string locked = dir.File("locked");
	ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
	dir.Write("locked/settings", "locked contents");
	ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
	if (geteuid() != 0) {
		EXPECT_EQ(write_text(locked + "/settings", "x"), B_PERMISSION_DENIED);
		EXPECT_EQ(read_file(locked + "/settings"), "locked contents");
		EXPECT_EQ(folder_names(locked), std::vector<std::string>{"settings"});
	}
	chmod(locked.c_str(), 0755);

	EXPECT_EQ(folder_names(dir.Path()),
		(std::vector<std::string>{"folder", "locked", "settings"}));
}

TEST(SafeWrite, LeftoversOfEarlierWritesAreNeitherReusedNorInTheWay)
{
	testutil::TempDir dir;
	const std::string target = dir.Write("a.arc", "old");
	// What a crash (of this version or an earlier one) may have left.
	dir.Write("a.arc.saving", "stale");
	dir.Write(".a.arc.saving", "stale");
	dir.Write("folder-like/.keep", "");
	ASSERT_EQ(mkdir(dir.File(".a.arc.saving-00000000").c_str(), 0755), 0);

	ASSERT_EQ(write_text(target, "new"), B_OK);
	EXPECT_EQ(read_file(target), "new");
	EXPECT_EQ(read_file(dir.File("a.arc.saving")), "stale");
	EXPECT_EQ(read_file(dir.File(".a.arc.saving")), "stale");
	EXPECT_EQ(folder_names(dir.Path()), (std::vector<std::string>{".a.arc.saving",
		".a.arc.saving-00000000", "a.arc", "a.arc.saving", "folder-like"}));
}

TEST(SafeWrite, AWriteRemovesWhatKilledWritesOfItsTargetLeftAndNothingElse)
{
	testutil::TempDir dir;
	const std::string target = dir.Write("a.arc", "old");
	// a process that has ended, for certain: a child that exited and was reaped
	const pid_t child = fork();
	if (child == 0)
		_exit(0);
	ASSERT_GT(child, 0);
	ASSERT_EQ(waitpid(child, nullptr, 0), child);
	const std::string ended = std::to_string(child);
	const std::string running = std::to_string(getppid());
	const std::string self = std::to_string(getpid());
	dir.Write(".a.arc.saving-" + ended + "-0123abcd", "killed");
	dir.Write(".a.arc.saving-" + running + "-0123abcd", "under way elsewhere");
	dir.Write(".a.arc.saving-" + self + "-0123abcd", "under way here");
	dir.Write(".b.arc.saving-" + ended + "-0123abcd", "another target's");
	dir.Write(".a.arc.saving-" + ended + "-0123abcd-x", "not our form");
	dir.Write(".a.arc.saving-0123abcd", "an older form");

	ASSERT_EQ(write_text(target, "new"), B_OK);
	EXPECT_EQ(read_file(target), "new");
	std::vector<std::string> left{".a.arc.saving-" + ended + "-0123abcd-x",
		".a.arc.saving-" + running + "-0123abcd", ".a.arc.saving-" + self + "-0123abcd",
		".a.arc.saving-0123abcd", ".b.arc.saving-" + ended + "-0123abcd", "a.arc"};
	std::sort(left.begin(), left.end());
	EXPECT_EQ(folder_names(dir.Path()), left);
}

TEST(SafeWrite, LongNamesAndWritersRacingForOneFile)
{
	testutil::TempDir dir;
	// The longest file name there is still gets a temporary file beside it.
	const std::string longest = dir.File(std::string(255, 'n'));
	ASSERT_EQ(write_text(longest, "long"), B_OK);
	EXPECT_EQ(read_file(longest), "long");

	// Threads writing the same file at once never share a temporary file:
	// what stays is one whole version.
	const std::string target = dir.File("shared");
	std::vector<std::thread> writers;
	std::vector<status_t> results(4, B_ERROR);
	for (int w = 0; w < 4; w++) {
		writers.emplace_back([&, w] {
			const std::string text(1000 + w, (char)('a' + w));
			status_t result = B_OK;
			for (int i = 0; i < 40 && result == B_OK; i++)
				result = write_file_safely(target.c_str(), text.data(), text.size(), 0644, 0);
			results[w] = result;
		});
	}
	for (std::thread& writer : writers)
		writer.join();
	for (status_t result : results)
		EXPECT_EQ(result, B_OK);
	const std::string kept = read_file(target);
	ASSERT_GE(kept.size(), 1000u);
	const int w = (int)kept.size() - 1000;
	ASSERT_LT(w, 4);
	EXPECT_EQ(kept, std::string(1000 + w, (char)('a' + w)));
	EXPECT_EQ(folder_names(dir.Path()).size(), 2u);
}
