// BPath normalisation, entry_refs and their flattened form.
#include <Entry.h>
#include <Path.h>
#include <TypeConstants.h>

#include "storage/RefFlattening.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using testutil::TempDir;

namespace {

// The canonical form of a test folder (the temporary folder may be reached
// through a link).
std::string canonical(const std::string& path)
{
	char* real = realpath(path.c_str(), nullptr);
	std::string result = real ? real : "";
	free(real);
	return result;
}

}

TEST(Path, CleanAbsolutePathsAreTakenAsTheyAre)
{
	BPath path("/no/such/folder/file.txt");
	ASSERT_EQ(B_OK, path.InitCheck());
	EXPECT_STREQ("/no/such/folder/file.txt", path.Path());
	EXPECT_STREQ("file.txt", path.Leaf());

	BPath parent;
	ASSERT_EQ(B_OK, path.GetParent(&parent));
	EXPECT_STREQ("/no/such/folder", parent.Path());

	BPath root("/");
	EXPECT_STREQ("", root.Leaf());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, root.GetParent(&parent));
}

TEST(Path, NormalisesDotsSlashesAndLinksWhenNeeded)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	ASSERT_EQ(0, mkdir((base + "/real").c_str(), 0755));
	ASSERT_EQ(0, symlink((base + "/real").c_str(), (base + "/link").c_str()));

	BPath dots((base + "/real/../real/./x.lrc").c_str());
	ASSERT_EQ(B_OK, dots.InitCheck());
	EXPECT_EQ(base + "/real/x.lrc", dots.Path());

	BPath slashes((base + "//real/").c_str());
	EXPECT_EQ(base + "/real", std::string(slashes.Path()));

	// Links in the folder part resolve; the leaf need not exist.
	BPath viaLink((base + "/link").c_str(), "new.txt", true);
	EXPECT_EQ(base + "/real/new.txt", std::string(viaLink.Path()));

	// Normalising needs the folder.
	BPath missing((base + "/gone/../x").c_str());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.InitCheck());
	EXPECT_EQ(nullptr, missing.Path());

	// A relative path is taken from the current folder.
	char cwd[4096];
	ASSERT_NE(nullptr, getcwd(cwd, sizeof(cwd)));
	ASSERT_EQ(0, chdir(base.c_str()));
	BPath relative("real/y");
	EXPECT_EQ(0, chdir(cwd));
	EXPECT_EQ(base + "/real/y", std::string(relative.Path()));
}

TEST(Path, AppendAndCompare)
{
	BPath path("/a/b");
	ASSERT_EQ(B_OK, path.Append("c/d"));
	EXPECT_STREQ("/a/b/c/d", path.Path());
	EXPECT_TRUE(path == "/a/b/c/d");
	EXPECT_TRUE(path == BPath("/a/b/c", "d"));
	EXPECT_TRUE(path != BPath("/a/b"));
	// An absolute leaf is refused.
	EXPECT_EQ(B_BAD_VALUE, path.Append("/e"));

	BPath unset;
	EXPECT_EQ(B_NO_INIT, unset.Append("x"));
	EXPECT_TRUE(unset == BPath());
}

TEST(EntryRef, CopyCompareAndOrder)
{
	entry_ref a(3, 100, "song.lrc");
	entry_ref b(a);
	EXPECT_TRUE(a == b);
	EXPECT_NE(a.name, b.name);       // each owns its name
	b.set_name("other.lrc");
	EXPECT_TRUE(a != b);
	EXPECT_TRUE(b < a);
	entry_ref c;
	c = a;
	EXPECT_TRUE(c == a);
	c.set_name(nullptr);
	EXPECT_EQ(nullptr, c.name);
	EXPECT_FALSE(c == a);
}

TEST(EntryRef, ResolvesToItsPathAndFlattensWithIt)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	std::string file = base + "/Song One.lrc";

	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(file.c_str(), &ref));   // need not exist
	EXPECT_STREQ("Song One.lrc", ref.name);
	BPath path(&ref);
	EXPECT_EQ(file, std::string(path.Path()));

	std::vector<uint8> flat(BPrivate::flattened_ref_size(ref));
	ASSERT_EQ(4 + 8 + file.size() + 1, flat.size());
	ASSERT_EQ(B_OK, BPrivate::flatten_ref(ref, flat.data(), flat.size()));
	EXPECT_EQ(0, memcmp(flat.data() + 12, file.c_str(), file.size() + 1));
	EXPECT_EQ(B_BAD_VALUE, BPrivate::flatten_ref(ref, flat.data(), flat.size() - 1));

	entry_ref back;
	ASSERT_EQ(B_OK, BPrivate::unflatten_ref(&back, flat.data(), flat.size()));
	EXPECT_TRUE(back == ref);
	EXPECT_EQ(file, std::string(BPath(&back).Path()));
}

TEST(EntryRef, UnflatteningMakesAForeignFolderKnown)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	struct stat st;
	ASSERT_EQ(0, stat(base.c_str(), &st));

	// A ref as another process writes it: device, folder, full path. This
	// process has never seen the folder.
	std::string full = base + "/x.txt";
	std::vector<uint8> flat(12 + full.size() + 1);
	uint32 device = (uint32)st.st_dev;
	uint64 node = st.st_ino;
	for (int i = 0; i < 4; i++) flat[i] = (uint8)(device >> (8 * i));
	for (int i = 0; i < 8; i++) flat[4 + i] = (uint8)(node >> (8 * i));
	memcpy(flat.data() + 12, full.c_str(), full.size() + 1);

	entry_ref ref;
	ASSERT_EQ(B_OK, BPrivate::unflatten_ref(&ref, flat.data(), flat.size()));
	EXPECT_STREQ("x.txt", ref.name);
	EXPECT_EQ(full, std::string(BPath(&ref).Path()));

	// A ref written by the original platform carries the bare name.
	const char bare[] = "x.txt";
	memcpy(flat.data() + 12, bare, sizeof(bare));
	entry_ref r5;
	ASSERT_EQ(B_OK, BPrivate::unflatten_ref(&r5, flat.data(), 12 + sizeof(bare)));
	EXPECT_STREQ("x.txt", r5.name);
	EXPECT_EQ((ino_t)node, r5.directory);
}

TEST(EntryRef, MalformedFlattenedRefsAreRefused)
{
	std::vector<uint8> flat(20, 'a');
	entry_ref ref(1, 2, "kept");
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_ref(&ref, flat.data(), flat.size()));  // no NUL
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_ref(&ref, flat.data(), 12));           // no name
	const char dotted[] = "/tmp/../etc/passwd";
	memcpy(flat.data(), "\0\0\0\0\0\0\0\0\0\0\0\0", 12);
	flat.resize(12 + sizeof(dotted));
	memcpy(flat.data() + 12, dotted, sizeof(dotted));
	EXPECT_EQ(B_BAD_VALUE, BPrivate::unflatten_ref(&ref, flat.data(), flat.size()));
	EXPECT_STREQ("kept", ref.name);   // untouched on failure
}

TEST(EntryRef, StaleFolderDoesNotResolve)
{
	TempDir tmp;
	std::string base = canonical(tmp.Path());
	ASSERT_EQ(0, mkdir((base + "/a").c_str(), 0755));
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path((base + "/a/f").c_str(), &ref));
	ASSERT_EQ(0, rename((base + "/a").c_str(), (base + "/b").c_str()));
	// The folder moved; its old path names nothing, so the ref fails rather
	// than naming a wrong file.
	ASSERT_EQ(0, mkdir((base + "/a").c_str(), 0755));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, BPath(&ref).InitCheck());
}

TEST(Path, FlattensAsARef)
{
	TempDir tmp;
	std::string file = canonical(tmp.Path()) + "/p.txt";
	BPath path(file.c_str());
	EXPECT_EQ((type_code)B_REF_TYPE, path.TypeCode());
	ssize_t size = path.FlattenedSize();
	ASSERT_GT(size, 0);
	std::vector<uint8> flat(size);
	ASSERT_EQ(B_OK, path.Flatten(flat.data(), size));
	BPath back;
	ASSERT_EQ(B_OK, back.Unflatten(B_REF_TYPE, flat.data(), size));
	EXPECT_TRUE(back == path);
	EXPECT_EQ(B_BAD_VALUE, back.Unflatten(B_STRING_TYPE, flat.data(), size));
}
