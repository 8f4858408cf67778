#include <gtest/gtest.h>

#include "TestUtil.h"
#include "lyrics/LyricsFile.h"
#include "plugin/MelodeckSongEntry.h"

#include <Entry.h>
#include <UTF8.h>

#include <sys/stat.h>
#include <unistd.h>

#include <list>
#include <string>

namespace {

struct Loaded {
	bool ok = false;
	std::list<std::string> lines;
	int32 crType = -1;
	int32 encoding = -1;
};

Loaded load(const std::string& path, int32 readEncoding = LYRICS_ENC_DETECT)
{
	Loaded result;
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return result;
	result.ok = load_lyrics(ref, &result.lines, &result.crType, &result.encoding, readEncoding);
	return result;
}

std::list<std::string> L(std::initializer_list<const char*> lines)
{
	std::list<std::string> result;
	for (const char* line : lines)
		result.emplace_back(line);
	return result;
}

}

TEST(LyricsFile, LrcBeforeTxtBesideTheSong)
{
	testutil::TempDir dir;
	MelodeckSongEntry entry;
	const std::string song = dir.File("my.album/song.mp3");
	entry.SetStrings(song.c_str(), "Song");

	// neither exists: the .txt path, and loading it fails
	dir.Write("my.album/other.lrc", "x");
	EXPECT_EQ(lyrics_fname(entry), dir.File("my.album/song.txt"));
	EXPECT_FALSE(load(lyrics_fname(entry)).ok);

	dir.Write("my.album/song.txt", "t");
	EXPECT_EQ(lyrics_fname(entry), dir.File("my.album/song.txt"));
	dir.Write("my.album/song.lrc", "l");
	EXPECT_EQ(lyrics_fname(entry), dir.File("my.album/song.lrc"));

	// a song without an extension, inside a folder with a dot
	entry.SetStrings(dir.File("my.album/noext").c_str(), "x");
	EXPECT_EQ(lyrics_fname(entry), dir.File("my.album/noext.txt"));

	MelodeckSongEntry empty;
	EXPECT_EQ(lyrics_fname(empty), ".txt");
}

TEST(LyricsFile, LineEndsGiveTheSameLines)
{
	testutil::TempDir dir;
	const auto expected = L({"[00:01]one", "", "[00:02]two"});

	Loaded lf = load(dir.Write("lf.lrc", "[00:01]one\n\n[00:02]two\n"));
	Loaded crlf = load(dir.Write("crlf.lrc", "[00:01]one\r\n\r\n[00:02]two\r\n"));
	Loaded cr = load(dir.Write("cr.lrc", "[00:01]one\r\r[00:02]two\r"));
	ASSERT_TRUE(lf.ok && crlf.ok && cr.ok);
	EXPECT_EQ(lf.lines, expected);
	EXPECT_EQ(crlf.lines, expected);
	EXPECT_EQ(cr.lines, expected);
	EXPECT_EQ(lf.crType, 0);
	EXPECT_EQ(crlf.crType, 1);
	EXPECT_EQ(cr.crType, 2);
	EXPECT_EQ(lf.encoding, LYRICS_ENC_UTF8);
}

TEST(LyricsFile, EmptyFileLoadsAsNoLines)
{
	testutil::TempDir dir;
	Loaded empty = load(dir.Write("empty.txt", ""));
	EXPECT_TRUE(empty.ok);
	EXPECT_TRUE(empty.lines.empty());
	EXPECT_EQ(empty.crType, 0);
}

TEST(LyricsFile, JapaneseEncodingsAreDetectedAndConverted)
{
	testutil::TempDir dir;
	// "[00:05]あいう" then half-width katakana "ｱｲｳ" (one byte each in Shift-JIS,
	// three in UTF-8), with CR LF line ends.
	Loaded sjis = load(dir.Write("sjis.lrc",
		"[00:05]\x82\xa0\x82\xa2\x82\xa4\r\n[00:06]\xb1\xb2\xb3\r\n"));
	ASSERT_TRUE(sjis.ok);
	EXPECT_EQ(sjis.encoding, LYRICS_ENC_SJIS);
	EXPECT_EQ(sjis.crType, 1);
	EXPECT_EQ(sjis.lines, L({"[00:05]あいう", "[00:06]ｱｲｳ"}));

	// ISO-2022-JP: ESC $ B "あ" ESC ( B
	Loaded jis = load(dir.Write("jis.txt", "\x1b$B$\"\x1b(B end\n"));
	ASSERT_TRUE(jis.ok);
	EXPECT_EQ(jis.encoding, LYRICS_ENC_JIS);
	EXPECT_EQ(jis.lines, L({"あ end"}));

	Loaded utf8 = load(dir.Write("utf8.txt", "あいう\n"));
	EXPECT_EQ(utf8.encoding, LYRICS_ENC_UTF8);
	EXPECT_EQ(utf8.lines, L({"あいう"}));

	// a chosen read encoding is used as it is
	Loaded forced = load(dir.File("utf8.txt"), LYRICS_ENC_UTF8);
	EXPECT_EQ(forced.encoding, LYRICS_ENC_UTF8);
}

TEST(LyricsFile, WholeTextConvertsEvenWhenItGrowsThreefold)
{
	testutil::TempDir dir;
	// 3000 half-width katakana on one line: the UTF-8 text is three times longer
	std::string sjis(3000, '\xb1');
	Loaded loaded = load(dir.Write("kana.txt", sjis), LYRICS_ENC_SJIS);
	ASSERT_TRUE(loaded.ok);
	ASSERT_EQ(loaded.lines.size(), 1u);
	EXPECT_EQ(loaded.lines.front().size(), 9000u);
}

TEST(LyricsFile, TextToLinesCutsAtEveryLineFeed)
{
	std::list<std::string> lines = L({"stale"});
	text_to_lines("", &lines);
	EXPECT_TRUE(lines.empty());
	text_to_lines("a\n\nb\n", &lines);
	EXPECT_EQ(lines, L({"a", "", "b"}));
	text_to_lines("a\nb", &lines);
	EXPECT_EQ(lines, L({"a", "b"}));
}

TEST(LyricsFile, EnumerationConversions)
{
	EXPECT_EQ(cvt_enum_ec_to_bconv(0), (uint32)B_UNICODE_CONVERSION);
	EXPECT_EQ(cvt_enum_ec_to_bconv(1), (uint32)B_SJIS_CONVERSION);
	EXPECT_EQ(cvt_enum_ec_to_bconv(2), (uint32)B_JIS_CONVERSION);
	EXPECT_EQ(cvt_enum_ec_to_bconv(4), 0u);
	EXPECT_EQ(cvt_enum_bconv_to_ec(B_SJIS_CONVERSION), 1);
	EXPECT_EQ(cvt_enum_bconv_to_ec(B_JIS_CONVERSION), 2);
	EXPECT_EQ(cvt_enum_bconv_to_ec(B_UNICODE_CONVERSION), 0);
	EXPECT_EQ(cvt_enum_cr_type_to_ct(2), 2);
	EXPECT_EQ(cvt_enum_cr_type_to_ct(7), 0);
}

TEST(LyricsFile, OwnFileIsNotFoundOutsideThePlugin)
{
	// the test program has no image named like the plug-in
	EXPECT_EQ(verso_displayer_fname(), "");
}

TEST(LyricsFile, HostileFilesGiveAClearResult)
{
	testutil::TempDir dir;
	// Past the size limit (sparse: nothing is written): refused unread.
	const std::string huge = dir.Write("huge.lrc", "");
	ASSERT_EQ(truncate(huge.c_str(), 100 * 1024 * 1024), 0);
	EXPECT_FALSE(load(huge).ok);

	// One line of 10 MB is still lyrics.
	const std::string longLine = dir.Write("long.lrc",
		"[00:01.00]" + std::string(10 * 1024 * 1024, 'a') + "\n[00:02.00]b\n");
	Loaded loaded = load(longLine, LYRICS_ENC_UTF8);
	ASSERT_TRUE(loaded.ok);
	ASSERT_EQ(loaded.lines.size(), 2u);
	EXPECT_EQ(loaded.lines.front().size(), 10u * 1024 * 1024 + 10);

	// Binary garbage named .lrc: read up to its first NUL, as any text.
	std::string garbage;
	for (int i = 0; i < 4096; i++)
		garbage.push_back((char)((i * 7919 + 13) % 255 + 1));
	garbage[3000] = '\0';
	Loaded binary = load(dir.Write("garbage.lrc", garbage));
	EXPECT_TRUE(binary.ok);

	// A folder, a fifo (no writer: opening it must not wait for one) and a
	// dangling link are no lyrics.
	ASSERT_EQ(mkdir(dir.File("folder.lrc").c_str(), 0755), 0);
	EXPECT_FALSE(load(dir.File("folder.lrc")).ok);
	ASSERT_EQ(mkfifo(dir.File("fifo.lrc").c_str(), 0644), 0);
	EXPECT_FALSE(load(dir.File("fifo.lrc")).ok);
	ASSERT_EQ(symlink(dir.File("missing.lrc").c_str(), dir.File("dangling.lrc").c_str()), 0);
	EXPECT_FALSE(load(dir.File("dangling.lrc")).ok);
	// A link to a good file is followed.
	ASSERT_EQ(symlink(longLine.c_str(), dir.File("link.lrc").c_str()), 0);
	EXPECT_TRUE(load(dir.File("link.lrc")).ok);
}
