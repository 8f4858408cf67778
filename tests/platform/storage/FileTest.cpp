// BFile open modes and I/O; BNode attributes.
#include <Directory.h>
#include <File.h>
#include <Node.h>
#include <String.h>
#include <TypeConstants.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>

using testutil::TempDir;

TEST(File, CreateEraseAndFailIfExists)
{
	TempDir tmp;
	std::string path = tmp.File("f.txt");

	BFile missing(path.c_str(), B_READ_ONLY);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.InitCheck());

	BFile created(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	ASSERT_EQ(B_OK, created.InitCheck());
	EXPECT_EQ(5, created.Write("hello", 5));
	EXPECT_FALSE(created.IsReadable());
	EXPECT_TRUE(created.IsWritable());
	created.Unset();
	EXPECT_EQ(B_NO_INIT, created.InitCheck());

	BFile exclusive(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	EXPECT_EQ(B_FILE_EXISTS, exclusive.InitCheck());
	EXPECT_EQ("hello", testutil::read_file(path));

	// Without B_ERASE_FILE the old bytes stay beyond what is written.
	BFile keep(path.c_str(), B_WRITE_ONLY);
	EXPECT_EQ(2, keep.Write("HE", 2));
	EXPECT_EQ("HEllo", testutil::read_file(path));

	BFile erase(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	ASSERT_EQ(B_OK, erase.InitCheck());
	EXPECT_EQ("", testutil::read_file(path));
}

TEST(File, ErasingAFileOpenedForReadingIsRefused)
{
	TempDir tmp;
	std::string path = tmp.Write("keep.txt", "data");
	BFile file(path.c_str(), B_READ_ONLY | B_ERASE_FILE);
	EXPECT_EQ(B_BAD_VALUE, file.InitCheck());
	EXPECT_EQ("data", testutil::read_file(path));
}

TEST(File, AppendReadsAndPositions)
{
	TempDir tmp;
	std::string path = tmp.Write("a.txt", "0123");
	BFile append(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
	ASSERT_EQ(B_OK, append.InitCheck());
	EXPECT_EQ(2, append.Write("45", 2));
	EXPECT_EQ("012345", testutil::read_file(path));

	BFile file(path.c_str(), B_READ_WRITE);
	char buffer[8] = {};
	EXPECT_EQ(2, file.ReadAt(4, buffer, sizeof(buffer)));
	EXPECT_STREQ("45", buffer);
	EXPECT_EQ(0, file.Position());                // ReadAt leaves the position
	EXPECT_EQ(3, file.Seek(-3, SEEK_END));
	EXPECT_EQ(3, file.Read(buffer, 3));
	EXPECT_EQ(0, memcmp(buffer, "345", 3));
	EXPECT_EQ(6, file.Position());
	EXPECT_EQ(0, file.Read(buffer, 3));           // at the end
	EXPECT_LT(file.Seek(-100, SEEK_SET), 0);

	ASSERT_EQ(B_OK, file.SetSize(2));
	off_t size = -1;
	ASSERT_EQ(B_OK, file.GetSize(&size));
	EXPECT_EQ(2, size);

	BFile readOnly(path.c_str(), B_READ_ONLY);
	EXPECT_LT(readOnly.Write("x", 1), 0);
	EXPECT_EQ(B_PERMISSION_DENIED, readOnly.SetSize(0));
	EXPECT_EQ("01", testutil::read_file(path));
}

TEST(File, FoldersAndUnsetFilesAreRefused)
{
	TempDir tmp;
	BFile folder(tmp.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(B_IS_A_DIRECTORY, folder.InitCheck());
	BFile unset;
	char c;
	EXPECT_LT(unset.Read(&c, 1), 0);
	EXPECT_LT(unset.Write(&c, 1), 0);
	EXPECT_FALSE(unset.IsReadable());

	// Opened through its folder and a relative name.
	tmp.Write("rel.txt", "r");
	BDirectory dir(tmp.Path().c_str());
	BFile relative(&dir, "rel.txt", B_READ_ONLY);
	EXPECT_EQ(B_OK, relative.InitCheck());
}

TEST(Node, AttributesRoundTripWithTheirTypes)
{
	TempDir tmp;
	std::string path = tmp.Write("attr.txt", "x");
	BNode node(path.c_str());
	ASSERT_EQ(B_OK, node.InitCheck());
	int32 value = 1234;
	ssize_t written = node.WriteAttr("verso:count", B_INT32_TYPE, 0, &value, sizeof(value));
	if (written == B_UNSUPPORTED)
		GTEST_SKIP() << "no extended attributes on this file system";
	ASSERT_EQ((ssize_t)sizeof(value), written);

	attr_info info;
	ASSERT_EQ(B_OK, node.GetAttrInfo("verso:count", &info));
	EXPECT_EQ((uint32)B_INT32_TYPE, info.type);
	EXPECT_EQ((off_t)sizeof(value), info.size);
	int32 back = 0;
	EXPECT_EQ((ssize_t)sizeof(back), node.ReadAttr("verso:count", B_INT32_TYPE, 0, &back, sizeof(back)));
	EXPECT_EQ(1234, back);

	// Writing inside an attribute keeps the rest of it.
	BString text("abcdef");
	ASSERT_EQ(B_OK, node.WriteAttrString("title", &text));
	EXPECT_EQ(2, node.WriteAttr("title", B_STRING_TYPE, 1, "XY", 2));
	BString title;
	ASSERT_EQ(B_OK, node.ReadAttrString("title", &title));
	EXPECT_STREQ("aXYdef", title.String());

	std::set<std::string> names;
	char name[B_ATTR_NAME_LENGTH];
	while (node.GetNextAttrName(name) == B_OK)
		names.insert(name);
	EXPECT_EQ((std::set<std::string>{"verso:count", "title"}), names);   // type companions hidden

	ASSERT_EQ(B_OK, node.RenameAttr("title", "name"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, node.GetAttrInfo("title", &info));
	ASSERT_EQ(B_OK, node.GetAttrInfo("name", &info));
	EXPECT_EQ((uint32)B_STRING_TYPE, info.type);
	ASSERT_EQ(B_OK, node.RemoveAttr("name"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, node.RemoveAttr("name"));
	EXPECT_LT(node.ReadAttr("name", 0, 0, &back, sizeof(back)), 0);

	EXPECT_EQ(B_UNSUPPORTED, node.Lock());
	EXPECT_EQ(B_BAD_VALUE, node.WriteAttr("", B_RAW_TYPE, 0, "x", 1));
}
