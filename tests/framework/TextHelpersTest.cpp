#include <gtest/gtest.h>

#include "framework/FileName.h"
#include "framework/TextGuess.h"

#include <UTF8.h>

using namespace orvik;

TEST(FileName, ReextNeverTakesAFolderDotForAnExtension)
{
	EXPECT_EQ(reext("/a/song.mp3", "lrc"), "/a/song.lrc");
	EXPECT_EQ(reext("/a/song", "lrc"), "/a/song.lrc");
	EXPECT_EQ(reext("/a.dir/song", "lrc"), "/a.dir/song.lrc");
	EXPECT_EQ(reext("song", "txt"), "song.txt");
	EXPECT_EQ(reext("song.", "txt"), "song.txt");
	EXPECT_EQ(reext("", "txt"), ".txt");
}

TEST(FileName, FolderAndNameParts)
{
	EXPECT_EQ(extract_file_folder_path_kernel("/boot/home/a.txt", 0), "/boot/home");
	EXPECT_EQ(extract_file_folder_path_kernel("/boot/home/a.txt", 1), "/boot/home/");
	EXPECT_EQ(extract_file_folder_path_kernel("a.txt", 1), "");
	EXPECT_EQ(extract_file_name("/boot/home/a.txt"), "a.txt");
	EXPECT_EQ(extract_file_name("a.txt"), "a.txt");
	EXPECT_EQ(extract_file_name("/boot/home/"), "");
	EXPECT_EQ(add_ext("/a.b/c", "txt"), "/a.b/c.txt");
	EXPECT_EQ(add_ext("/a/c.lrc", "txt"), "/a/c.lrc");
	EXPECT_EQ(extract_file_body("/a.b/song.mp3"), "song");
	EXPECT_EQ(extract_file_body("/a.b/song"), "song");
	EXPECT_EQ(extract_file_ext("/a.b/song"), "b/song");  // does not look for "/"
	EXPECT_EQ(extract_file_ext("noext"), "");
	EXPECT_EQ(trim(" \t a b \t"), "a b");
	EXPECT_EQ(trim(" \t "), "");
}

TEST(TextGuess, Charset)
{
	EXPECT_EQ(detect_charset("plain ascii"), B_UNICODE_CONVERSION);
	EXPECT_EQ(detect_charset(""), B_UNICODE_CONVERSION);
	EXPECT_EQ(detect_charset("\xe3\x81\x82 kana"), B_UNICODE_CONVERSION);
	// one escape byte wins over valid UTF-8
	EXPECT_EQ(detect_charset("\xe3\x81\x82\x1b$B"), B_JIS_CONVERSION);
	EXPECT_EQ(detect_charset("\x82\xa0"), B_SJIS_CONVERSION);
	// a lead byte at the very end: the missing bytes count, nothing past the NUL is read
	const char cut[] = {'a', '\xe3', '\0', '\x81', '\x82', '\0'};
	EXPECT_EQ(detect_charset(cut), B_SJIS_CONVERSION);
	EXPECT_EQ(detect_charset("\x81"), B_SJIS_CONVERSION);  // stray continuation byte
}

TEST(TextGuess, LineEnds)
{
	EXPECT_EQ(detect_cr_type("a\r\nb\r\n"), CR_TYPE_CRLF);
	EXPECT_EQ(detect_cr_type("a\rb\r"), CR_TYPE_CR);
	EXPECT_EQ(detect_cr_type("a\nb\n"), CR_TYPE_LF);
	EXPECT_EQ(detect_cr_type(""), CR_TYPE_LF);
	EXPECT_EQ(detect_cr_type("a\rb\nc\n"), CR_TYPE_LF);
}
