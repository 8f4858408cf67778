// The INI reader and writer: line syntax, line ends, limits, duplicates,
// comments, value forms, and writing back without losing or leaving text.
#include "lang/IniStrings.h"
#include "lang/TIniFile.h"

#include "TestUtil.h"

#include <DataIO.h>
#include <File.h>
#include <List.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

// An INI image in memory, as a stream the test owns.
class MemoryIni {
public:
	MemoryIni(const std::string& text, int limit = 2048)
		: fIni(limit)
	{
		fStream.WriteAt(0, text.data(), text.size());
		fIni.SetTo(&fStream, limit);
	}
	TIniFile& Ini() { return fIni; }
	std::string Text() const
	{
		return std::string(static_cast<const char*>(fStream.Buffer()), fStream.BufferLength());
	}
	std::string Value(const char* key)
	{
		std::vector<char> out(fIni.Limit() + 1);
		strcpy(out.data(), "<missing>");
		fIni.ReadValue(key, out.data());
		return out.data();
	}
private:
	BMallocIO fStream;   // must outlive fIni, which flushes into it
	TIniFile fIni;
};

std::vector<std::string> names(BList* list)
{
	std::vector<std::string> result;
	for (int32 i = 0; i < list->CountItems(); i++)
		result.push_back(static_cast<const char*>(list->ItemAt(i)));
	return result;
}

std::vector<std::string> sections(TIniFile& ini)
{
	BList list;
	ini.EnumSections(&list);
	return names(&list);
}

std::vector<std::string> keys(TIniFile& ini)
{
	BList list;
	ini.EnumKeys(&list);
	return names(&list);
}

}

TEST(IniFile, LineSyntax)
{
	MemoryIni file(
		"top = global value\n"
		"  [  Header  ]  trailing\n"
		"Key=a=b\n"
		"   spaced   =   value with ; and [ inside   \n"
		"\n"
		"   \t\n"
		"a line without equals\n"
		"[no closing bracket\n"
		"x = 1\n");
	TIniFile& ini = file.Ini();

	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection, "Header", ""}));
	EXPECT_EQ(file.Value("top"), "global value");

	ASSERT_TRUE(ini.ChangeSection("Header"));
	EXPECT_EQ(file.Value("Key"), "a=b");
	EXPECT_EQ(file.Value("spaced"), "value with ; and [ inside");
	EXPECT_EQ(file.Value(""), "a line without equals");
	EXPECT_EQ(keys(ini), (std::vector<std::string>{"Key", "spaced", ""}));

	ASSERT_TRUE(ini.ChangeSection(""));
	EXPECT_EQ(file.Value("x"), "1");
}

TEST(IniFile, LookupsIgnoreCaseAndStayInTheirSection)
{
	MemoryIni file("[Header]\nName = one\n[Other]\nonly = here\n");
	TIniFile& ini = file.Ini();

	EXPECT_TRUE(ini.SectionExists("HEADER"));
	EXPECT_FALSE(ini.SectionExists("Head"));
	ASSERT_TRUE(ini.ChangeSection("header"));
	EXPECT_EQ(file.Value("NAME"), "one");
	EXPECT_EQ(file.Value("only"), "<missing>");   // untouched when missing
	EXPECT_FALSE(ini.KeyExists("only"));

	ASSERT_TRUE(ini.ChangeSection("OTHER"));
	EXPECT_EQ(file.Value("only"), "here");

	// Stored spelling is kept when written back.
	ini.WriteValue("added", "1");
	ASSERT_TRUE(ini.Flush(false));
	EXPECT_NE(file.Text().find("[ Header ]\nName = one\n"), std::string::npos);
}

TEST(IniFile, CrLfAndLfReadAlikeAndFlushWritesLf)
{
	MemoryIni lf("; note\n[S]\nk = v\nother = w\n");
	MemoryIni crlf("; note\r\n[S]\r\nk = v\r\nother = w");   // no line end at the end
	for (MemoryIni* file : {&lf, &crlf}) {
		EXPECT_EQ(sections(file->Ini()), (std::vector<std::string>{kIniGlobalSection, "S"}));
		file->Ini().ChangeSection("S");
		EXPECT_EQ(file->Value("k"), "v");
		EXPECT_EQ(file->Value("other"), "w");
		ASSERT_TRUE(file->Ini().Flush(true));
	}
	EXPECT_EQ(lf.Text(), crlf.Text());
	EXPECT_EQ(lf.Text().find('\r'), std::string::npos);

	// A lone CR is an ordinary character.
	MemoryIni lone("k = a\rb\n");
	EXPECT_EQ(lone.Value("k"), "a\rb");
}

TEST(IniFile, OverLongLinesAreSplitAtTheLimit)
{
	// Limit 10: "key=012345" is parsed, "6789" becomes a line of its own.
	MemoryIni file("key=0123456789\nnext = n\n", 10);
	EXPECT_EQ(file.Value("key"), "012345");
	EXPECT_EQ(file.Value(""), "6789");
	EXPECT_EQ(file.Value("next"), "n");
	EXPECT_EQ(keys(file.Ini()), (std::vector<std::string>{"key", "", "next"}));

	// Exactly the limit, with CR LF, is not split.
	MemoryIni exact("key=012345\r\n", 10);
	EXPECT_EQ(keys(exact.Ini()), (std::vector<std::string>{"key"}));
}

TEST(IniFile, DuplicateSectionsAndKeysAreKeptAndTheFirstIsFound)
{
	MemoryIni file("[S]\nk = first\nk = second\n[s]\nk = third\n");
	TIniFile& ini = file.Ini();

	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection, "S", "s"}));
	ini.ChangeSection("S");
	EXPECT_EQ(file.Value("K"), "first");
	EXPECT_EQ(keys(ini), (std::vector<std::string>{"k", "k"}));

	EXPECT_TRUE(ini.DeleteKey("k"));
	EXPECT_EQ(file.Value("k"), "second");

	ASSERT_TRUE(ini.Flush(false));
	EXPECT_EQ(file.Text(), "\n[ S ]\nk = second\n\n[ s ]\nk = third\n\n");
}

TEST(IniFile, CommentsAreWrittenUnderTheirHeader)
{
	MemoryIni file(";  global note  \n[Header]\nk = v\n;note\n");
	TIniFile& ini = file.Ini();
	char comment[2049];
	ASSERT_TRUE(ini.ReadComment(comment));
	EXPECT_STREQ(comment, "global note");
	EXPECT_FALSE(ini.ReadComment(comment));

	ini.ChangeSection("Header");
	ASSERT_TRUE(ini.WriteComment("two\nlines"));   // never read back as a pair
	ASSERT_TRUE(ini.Flush(false));
	EXPECT_EQ(file.Text(),
		"; global note\n\n"
		"[ Header ]\n; note\n; two\n; lines\nk = v\n\n");

	// Flush rewound the read position.
	ASSERT_TRUE(ini.ReadComment(comment));
	EXPECT_STREQ(comment, "note");
}

TEST(IniFile, ValueForms)
{
	MemoryIni file("");
	TIniFile& ini = file.Ini();
	ini.ChangeSection("Values");
	ini.WriteValue("yes", true);
	ini.WriteValue("no", false);
	ini.WriteValue("long", int32(-123456));
	ini.WriteValue("longlong", int64(-9000000000LL));
	ini.WriteValue("half", 0.5f);
	ini.WriteValue("tiny", 1e-7f);
	ini.WriteValue("colour", rgb_color{255, 128, 0, 255});
	ASSERT_TRUE(ini.Flush(false));
	EXPECT_NE(file.Text().find(
		"yes = 1\nno = 0\nlong = -123456\nlonglong = -9000000000\n"
		"half = 0.5\ntiny = 1e-07\ncolour = 255 128 0 255\n"), std::string::npos);

	MemoryIni back(file.Text());
	TIniFile& read = back.Ini();
	read.ChangeSection("values");
	bool flag = false;
	int32 number = 0;
	int64 big = 0;
	float real = 0;
	rgb_color colour = {};
	EXPECT_TRUE(read.ReadValue("yes", &flag));
	EXPECT_TRUE(flag);
	EXPECT_TRUE(read.ReadValue("no", &flag));
	EXPECT_FALSE(flag);
	EXPECT_TRUE(read.ReadValue("long", &number));
	EXPECT_EQ(number, -123456);
	EXPECT_TRUE(read.ReadValue("longlong", &big));
	EXPECT_EQ(big, -9000000000LL);
	EXPECT_TRUE(read.ReadValue("half", &real));
	EXPECT_FLOAT_EQ(real, 0.5f);
	EXPECT_TRUE(read.ReadValue("tiny", &real));
	EXPECT_FLOAT_EQ(real, 1e-7f);
	EXPECT_TRUE(read.ReadValue("colour", &colour));
	EXPECT_EQ(colour, (rgb_color{255, 128, 0, 255}));
	EXPECT_FALSE(read.ReadValue("absent", &number));
}

TEST(IniFile, ValuesThatDoNotParseLeaveTheDefault)
{
	MemoryIni file("n = 12abc\nc = 1 2 3\nwide = 1 2 3 256\nf = x\nb = maybe\nbig = 99999999999\n"
		"word = On\n");
	TIniFile& ini = file.Ini();
	int32 number = 7;
	rgb_color colour = {9, 9, 9, 9};
	float real = 2.5f;
	bool flag = true;
	EXPECT_TRUE(ini.ReadValue("n", &number));
	EXPECT_EQ(number, 7);
	EXPECT_TRUE(ini.ReadValue("big", &number));   // out of range for 32 bits
	EXPECT_EQ(number, 7);
	EXPECT_TRUE(ini.ReadValue("c", &colour));
	EXPECT_TRUE(ini.ReadValue("wide", &colour));
	EXPECT_EQ(colour, (rgb_color{9, 9, 9, 9}));
	EXPECT_TRUE(ini.ReadValue("f", &real));
	EXPECT_EQ(real, 2.5f);
	EXPECT_TRUE(ini.ReadValue("b", &flag));
	EXPECT_TRUE(flag);
	flag = false;
	EXPECT_TRUE(ini.ReadValue("word", &flag));
	EXPECT_TRUE(flag);
}

TEST(IniFile, WritingNeverProducesLinesThatReadBackOtherwise)
{
	MemoryIni file("", 16);
	TIniFile& ini = file.Ini();
	// "key=" leaves 12 bytes for the value; the cut never splits a character.
	ASSERT_TRUE(ini.WriteValue("key", "0123456789abcdef"));
	EXPECT_EQ(file.Value("key"), "0123456789ab");
	ASSERT_TRUE(ini.WriteValue("jp", "日本語の歌詞"));   // 3 bytes a character
	EXPECT_EQ(file.Value("jp"), "日本語の");

	// Keys that would read back as something else are refused.
	EXPECT_FALSE(ini.WriteValue("a=b", "v"));
	EXPECT_FALSE(ini.WriteValue("[S]", "v"));
	EXPECT_FALSE(ini.WriteValue(";c", "v"));
	EXPECT_FALSE(ini.WriteValue("new\nline", "v"));
	EXPECT_FALSE(ini.WriteValue("k", "two\nlines"));
	EXPECT_FALSE(ini.ChangeSection("a]b"));

	ASSERT_TRUE(ini.Flush(false));
	MemoryIni back(file.Text(), 16);
	EXPECT_EQ(keys(back.Ini()), (std::vector<std::string>{"key", "jp"}));
	EXPECT_EQ(back.Value("key"), "0123456789ab");

	// A full-length line read in is written back within the limit too.
	MemoryIni full("k=0123456789abcd\n[0123456789abcd]\n", 16);
	full.Ini().WriteValue("x", "1");
	ASSERT_TRUE(full.Ini().Flush(false));
	MemoryIni again(full.Text(), 16);
	EXPECT_EQ(again.Value("k"), "0123456789abcd");
	EXPECT_TRUE(again.Ini().SectionExists("0123456789abcd"));
	EXPECT_EQ(keys(again.Ini()), (std::vector<std::string>{"k", "x"}));
}

TEST(IniFile, WhatIsWrittenIsWhatReadsBack)
{
	MemoryIni file("g = 1\n", 16);
	TIniFile& ini = file.Ini();
	// Cut to the limit with a blank at the cut: kept as the file gives it.
	ASSERT_TRUE(ini.WriteValue("key", "0123456789a bcdef"));
	EXPECT_EQ(file.Value("key"), "0123456789a");
	ASSERT_TRUE(ini.WriteComment("0123456789abcd efg"));
	// A section name cut at a blank, and one asked for ahead of the global
	// section (which would come back as a second section of that name,
	// hiding the global pairs).
	ASSERT_NE(ini.CreateSection("abcdefghijklm nop", -1), nullptr);
	ASSERT_NE(ini.CreateSection("Front", 0), nullptr);
	EXPECT_EQ(sections(ini), (std::vector<std::string>{
		kIniGlobalSection, "Front", "abcdefghijklm"}));
	ASSERT_TRUE(ini.Flush(false));

	MemoryIni back(file.Text(), 16);
	EXPECT_EQ(sections(back.Ini()), sections(ini));
	EXPECT_EQ(back.Value("g"), "1");
	EXPECT_EQ(back.Value("key"), "0123456789a");
	char comment[17];
	ASSERT_TRUE(back.Ini().ReadComment(comment));
	EXPECT_STREQ(comment, "0123456789abcd");
	ASSERT_TRUE(back.Ini().Flush(true));
	EXPECT_EQ(back.Text(), file.Text()) << "a second round changes nothing";

	// A section name ends at a NUL, as the C string it is handed out as.
	MemoryIni nul(std::string("[Name \0rest]\nk=v\n", 17), 64);
	EXPECT_EQ(sections(nul.Ini()), (std::vector<std::string>{kIniGlobalSection, "Name"}));
	ASSERT_TRUE(nul.Ini().Flush(true));
	MemoryIni nulBack(nul.Text(), 64);
	EXPECT_EQ(sections(nulBack.Ini()), sections(nul.Ini()));

	// A limit too small for a header ("[]") is raised to fit one.
	MemoryIni tiny("[\nab\n", 1);
	EXPECT_EQ(tiny.Ini().Limit(), 2);
	ASSERT_TRUE(tiny.Ini().Flush(true));
	EXPECT_EQ(tiny.Text(), "\n[]\nab\n\n");
}

TEST(IniFile, FlushRules)
{
	TIniFile unset(2048);
	unset.WriteValue("k", "v");
	EXPECT_FALSE(unset.Flush(true));   // no stream

	MemoryIni file("k = v\n");
	EXPECT_FALSE(file.Ini().Flush(false));   // nothing changed
	EXPECT_EQ(file.Text(), "k = v\n");
	EXPECT_TRUE(file.Ini().Flush(true));
	EXPECT_EQ(file.Text(), "k = v\n\n");

	// Creating a section alone is no change; deleting one is.
	file.Ini().ChangeSection("New");
	EXPECT_FALSE(file.Ini().IsModified());
	EXPECT_TRUE(file.Ini().DeleteSection("new"));
	EXPECT_TRUE(file.Ini().IsModified());
}

TEST(IniFile, FileRoundTripLeavesNoOldTail)
{
	testutil::TempDir dir;
	const std::string path = dir.Write("test.ini",
		"[Long]\nfirst = a fairly long value that makes the file big\n"
		"second = another long value, so that the new file is shorter\n");
	{
		TIniFile ini(path.c_str(), B_READ_WRITE, 2048);
		ini.ChangeSection("Long");
		EXPECT_TRUE(ini.DeleteKey("first"));
		EXPECT_TRUE(ini.WriteValue("second", "short"));
		ini.WriteComment("kept");
	}   // the destructor flushes
	EXPECT_EQ(testutil::read_file(path), "\n[ Long ]\n; kept\nsecond = short\n\n");

	TIniFile reread(path.c_str(), B_READ_ONLY, 2048);
	reread.ChangeSection("Long");
	char value[2049];
	ASSERT_TRUE(reread.ReadValue("second", value));
	EXPECT_STREQ(value, "short");

	// A read-only file cannot be written: the failure is reported and the
	// changes stay marked as unsaved.
	reread.WriteValue("second", "changed");
	EXPECT_FALSE(reread.Flush(false));
	EXPECT_TRUE(reread.IsModified());
	reread.Unset();
	EXPECT_EQ(testutil::read_file(path), "\n[ Long ]\n; kept\nsecond = short\n\n");
}

TEST(IniFile, OpeningFailuresLeaveAnEmptyUsableObject)
{
	testutil::TempDir dir;
	TIniFile ini(2048);
	EXPECT_NE(ini.SetTo(dir.Path().c_str(), B_READ_ONLY, 2048), B_OK);   // a folder
	EXPECT_NE(ini.SetTo(dir.File("missing.ini").c_str(), B_READ_ONLY, 2048), B_OK);
	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection}));
	EXPECT_TRUE(ini.WriteValue("k", "v"));
	EXPECT_FALSE(ini.Flush(true));
}

TEST(IniFile, DeletingSections)
{
	MemoryIni file("g = 1\n[Data]\nk = v\n[Other]\n");
	TIniFile& ini = file.Ini();
	ini.ChangeSection("Data");
	// Deleted under another spelling: the current section must not be left
	// pointing at it.
	EXPECT_TRUE(ini.DeleteSection("DATA"));
	EXPECT_STREQ(ini.CurrentSection()->Name(), kIniGlobalSection);
	EXPECT_FALSE(ini.DeleteSection("Data"));

	EXPECT_TRUE(ini.DeleteSection(kIniGlobalSection));
	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection, "Other"}));
	EXPECT_FALSE(ini.KeyExists("g"));

	TIniFileSection* inserted = ini.CreateSection("First", 1);
	ASSERT_NE(inserted, nullptr);
	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection, "First", "Other"}));
	EXPECT_STREQ(ini.CurrentSection()->Name(), kIniGlobalSection);
}

TEST(IniFile, DeletingSectionsByTheirOwnNamePointers)
{
	// EnumSections hands out pointers into the sections; deleting by such a
	// pointer must not read the name after its section is gone (ASan).
	MemoryIni file("g = 1\n[Data]\nk = v\n[Other]\nj = w\n");
	TIniFile& ini = file.Ini();
	ini.ChangeSection("Other");
	BList list;
	ini.EnumSections(&list);
	ASSERT_EQ(list.CountItems(), 3);
	EXPECT_TRUE(ini.DeleteSection(static_cast<const char*>(list.ItemAt(2))));
	EXPECT_STREQ(ini.CurrentSection()->Name(), kIniGlobalSection);
	EXPECT_TRUE(ini.DeleteSection(static_cast<const char*>(list.ItemAt(1))));
	EXPECT_TRUE(ini.DeleteSection(static_cast<const char*>(list.ItemAt(0))));
	EXPECT_EQ(sections(ini), (std::vector<std::string>{kIniGlobalSection}));
	EXPECT_FALSE(ini.KeyExists("g"));
}

TEST(IniStrings, Helpers)
{
	char out[64];
	EXPECT_EQ(mid(out, "abcdef", 2, 3), 3);
	EXPECT_STREQ(out, "bcd");
	EXPECT_EQ(mid(out, "abcdef", 2, 0), 5);
	EXPECT_STREQ(out, "bcdef");
	EXPECT_EQ(mid(out, "abcdef", 5, 10), 2);
	EXPECT_STREQ(out, "ef");
	EXPECT_EQ(mid(out, "abcdef", 7, 1), 0);
	EXPECT_STREQ(out, "");
	EXPECT_EQ(mid(out, "abcdef", 1, -1), 0);

	EXPECT_EQ(instr("a=b", "=", 1), 2);
	EXPECT_EQ(instr("a=b=c", "=", 3), 4);
	EXPECT_EQ(instr("a=b", "x", 1), 0);
	EXPECT_EQ(instr("a=b", "", 1), 0);

	strcpy(out, "one two one");
	EXPECT_EQ(repstr(out, out, "one", "1", 2), 3);   // in place, from position 2
	EXPECT_STREQ(out, "one two 1");
	EXPECT_EQ(repstr(out, out, "zzz", "1", 1), 0);
	EXPECT_STREQ(out, "one two 1");

	EXPECT_STREQ(reext("song.mp3", "txt", out), "song.txt");
	EXPECT_STREQ(reext("song", "txt", out), "song.txt");
	EXPECT_STREQ(reext("/a.dir/song", "txt", out), "/a.txt");   // the last dot anywhere

	strcpy(out, " \t text \r\n");
	EXPECT_EQ(trim(out, out), 4);
	EXPECT_STREQ(out, "text");
	EXPECT_EQ(trimright(out, " \t "), 0);
	EXPECT_EQ(trimleft(out, "  \xE3\x80\x80x"), 4);   // U+3000 is not white space here
	EXPECT_STREQ(out, "\xE3\x80\x80x");
}
