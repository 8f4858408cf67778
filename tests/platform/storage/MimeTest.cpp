// BMimeType's checks and its small database; BNodeInfo's type attribute
// and icons.
#include <Bitmap.h>
#include <File.h>
#include <Mime.h>
#include <NodeInfo.h>
#include <Resources.h>

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

using testutil::TempDir;

TEST(MimeType, ValidatesAndComparesWithoutCase)
{
	EXPECT_TRUE(BMimeType::IsValid("text/plain"));
	EXPECT_TRUE(BMimeType::IsValid("application/x-vnd.Verso-Displayer"));
	EXPECT_TRUE(BMimeType::IsValid("text"));
	for (const char* bad : {"", "/plain", "text/", "text/pl ain", "a/b/c", "text/plain;x"})
		EXPECT_FALSE(BMimeType::IsValid(bad)) << bad;

	BMimeType type("Text/HTML");
	ASSERT_EQ(B_OK, type.InitCheck());
	EXPECT_STREQ("text/html", type.Type());
	EXPECT_TRUE(type == "text/html");
	EXPECT_FALSE(type.IsSupertypeOnly());
	BMimeType super;
	ASSERT_EQ(B_OK, type.GetSupertype(&super));
	EXPECT_STREQ("text", super.Type());
	EXPECT_EQ(B_BAD_VALUE, BMimeType("no good").InitCheck());
}

TEST(MimeType, PreferredAppIsKeptInTheSettings)
{
	TempDir tmp;
	const char* old = getenv("XDG_CONFIG_HOME");
	std::string saved = old ? old : "";
	setenv("XDG_CONFIG_HOME", tmp.Path().c_str(), 1);

	BMimeType type("text/x-lyrics");
	char signature[B_MIME_TYPE_LENGTH];
	EXPECT_FALSE(type.IsInstalled());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, type.GetPreferredApp(signature));
	ASSERT_EQ(B_OK, type.SetPreferredApp("application/x-vnd.test-editor"));
	EXPECT_TRUE(type.IsInstalled());
	ASSERT_EQ(B_OK, BMimeType("text/x-lyrics").GetPreferredApp(signature));
	EXPECT_STREQ("application/x-vnd.test-editor", signature);
	EXPECT_EQ(B_BAD_VALUE, type.SetPreferredApp("not a signature"));
	ASSERT_EQ(B_OK, type.SetPreferredApp(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, type.GetPreferredApp(signature));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, type.GetIcon(nullptr, B_LARGE_ICON));   // honest: no icons
	EXPECT_EQ(B_OK, type.Delete());
	EXPECT_FALSE(type.IsInstalled());

	if (old)
		setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
	else
		unsetenv("XDG_CONFIG_HOME");
}

TEST(NodeInfo, TypeLivesInAnAttribute)
{
	TempDir tmp;
	std::string path = tmp.Write("song.lrc", "x");
	BFile file(path.c_str(), B_READ_WRITE);
	BNodeInfo info(&file);
	ASSERT_EQ(B_OK, info.InitCheck());
	status_t status = info.SetType("text/x-lyrics");
	if (status == B_UNSUPPORTED)
		GTEST_SKIP() << "no extended attributes on this file system";
	ASSERT_EQ(B_OK, status);
	char type[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(B_OK, BNodeInfo(&file).GetType(type));
	EXPECT_STREQ("text/x-lyrics", type);
	EXPECT_EQ(B_BAD_VALUE, info.SetType("bad type"));
	ASSERT_EQ(B_OK, info.SetType(nullptr));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetType(type));
	EXPECT_EQ(B_BAD_VALUE, info.GetIcon(nullptr));
	EXPECT_EQ(B_BAD_VALUE, BNodeInfo(nullptr).InitCheck());
}

TEST(NodeInfo, IconsComeFromTheAttributeOrElseTheResources)
{
	TempDir tmp;
	std::string path = tmp.Write("plugin.so", "ELF and more");
	// A square of four colours, with a transparent corner.
	uint8 large[32 * 32];
	for (int i = 0; i < 32 * 32; i++)
		large[i] = (uint8)((i / 32 < 16 ? 0 : 2) + (i % 32 < 16 ? 0 : 1) + 20);
	large[0] = B_TRANSPARENT_MAGIC_CMAP8;
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(B_OK, resources.AddResource('ICON', 101, large, sizeof(large),
			"BEOS:L:STD_ICON"));
		ASSERT_EQ(B_OK, resources.Sync());
	}

	BFile file(path.c_str(), B_READ_WRITE);
	BNodeInfo info(&file);
	BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
	ASSERT_EQ(B_OK, info.GetIcon(&icon, B_LARGE_ICON));
	EXPECT_EQ(0, memcmp(icon.Bits(), large, sizeof(large)));

	// Wrong sizes are refused; there is no mini icon.
	BBitmap small(BRect(0, 0, 15, 15), B_CMAP8);
	EXPECT_EQ(B_BAD_VALUE, info.GetIcon(&small, B_LARGE_ICON));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, info.GetIcon(&small, B_MINI_ICON));

	// An icon set on the node itself comes first.
	uint8 plain[32 * 32];
	memset(plain, 42, sizeof(plain));
	BBitmap other(BRect(0, 0, 31, 31), B_CMAP8);
	memcpy(other.Bits(), plain, sizeof(plain));
	status_t status = info.SetIcon(&other, B_LARGE_ICON);
	if (status == B_UNSUPPORTED)
		GTEST_SKIP() << "no extended attributes on this file system";
	ASSERT_EQ(B_OK, status);
	ASSERT_EQ(B_OK, info.GetIcon(&icon, B_LARGE_ICON));
	EXPECT_EQ(0, memcmp(icon.Bits(), plain, sizeof(plain)));
	ASSERT_EQ(B_OK, info.SetIcon(nullptr, B_LARGE_ICON));
	ASSERT_EQ(B_OK, info.GetIcon(&icon, B_LARGE_ICON));
	EXPECT_EQ(0, memcmp(icon.Bits(), large, sizeof(large)));

	// A file with neither has no icon.
	BFile bare(tmp.Write("bare", "x").c_str(), B_READ_ONLY);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BNodeInfo(&bare).GetIcon(&icon, B_LARGE_ICON));
}
