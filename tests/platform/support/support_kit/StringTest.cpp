// BString: formatting, offsets, case-insensitive search, replacing,
// escaping and UTF-8 counting.
#include <String.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>


TEST(String, StreamsNumbersAsThePlatformDoes)
{
	BString s;
	s << 11.99f;
	EXPECT_STREQ("11.99", s.String());

	s = "";
	s << 12.0f << " " << -0.5f << " " << 0.125f << " " << 2.0;
	EXPECT_STREQ("12.00 -0.50 0.12 2.00", s.String());

	// Exactly what "%.2f" writes, rounding included.
	for (float value : { 0.005f, 2.675f, 1e10f, -1e-3f, 99.995f, 123456.789f }) {
		char expected[64];
		snprintf(expected, sizeof(expected), "%.2f", value);
		s = "";
		s << value;
		EXPECT_STREQ(expected, s.String()) << value;
	}

	s = "";
	s << (int32)INT32_MIN << ' ' << (uint32)UINT32_MAX << ' ' << (int64)INT64_MIN << ' '
		<< (uint64)UINT64_MAX;
	EXPECT_STREQ("-2147483648 4294967295 -9223372036854775808 18446744073709551615",
		s.String());

	// The decimal point stays a point whatever the program's locale.
	const char* old = setlocale(LC_NUMERIC, NULL);
	std::string saved = old != NULL ? old : "C";
	if (setlocale(LC_NUMERIC, "de_DE.UTF-8") != NULL) {
		s = "";
		s << 1.5f;
		EXPECT_STREQ("1.50", s.String());
	}
	setlocale(LC_NUMERIC, saved.c_str());
}


TEST(String, ConstructionAssignmentAndNull)
{
	BString empty(NULL);
	EXPECT_STREQ("", empty.String());
	EXPECT_EQ(0, empty.Length());

	BString part("abcdef", 3);
	EXPECT_STREQ("abc", part.String());
	BString longer("ab", 10);
	EXPECT_STREQ("ab", longer.String());

	BString s("xyz");
	s.SetTo(s.String() + 1);  // from its own buffer
	EXPECT_STREQ("yz", s.String());
	s.SetTo('-', 3);
	EXPECT_STREQ("---", s.String());

	BString from("adopted");
	BString to;
	to.Adopt(from, 5);
	EXPECT_STREQ("adopt", to.String());
	EXPECT_STREQ("", from.String());
}


TEST(String, AppendPrependInsertWithOffsets)
{
	BString s("world");
	s.Prepend("hello ").Append("!!!", 1).Append('?', 2);
	EXPECT_STREQ("hello world!??", s.String());

	s = "ac";
	s.Insert("b", 1);
	EXPECT_STREQ("abc", s.String());
	s.Insert("XYZ", 1, 1, 0);      // one byte from offset 1
	EXPECT_STREQ("Yabc", s.String());
	s.Insert('-', 2, 4);
	EXPECT_STREQ("Yabc--", s.String());
	s.Insert("nope", 99);          // out of range: unchanged
	s.Insert("nope", -1);
	EXPECT_STREQ("Yabc--", s.String());

	s.Prepend(s);                  // itself
	EXPECT_STREQ("Yabc--Yabc--", s.String());
}


TEST(String, RemoveTruncateCopyAndMove)
{
	BString s("one two one two");
	s.RemoveFirst("one ");
	EXPECT_STREQ("two one two", s.String());
	s.RemoveLast("two");
	EXPECT_STREQ("two one ", s.String());
	s.RemoveAll("o");
	EXPECT_STREQ("tw ne ", s.String());
	s.RemoveSet(" e");
	EXPECT_STREQ("twn", s.String());
	s.Remove(1, 100);
	EXPECT_STREQ("t", s.String());
	s.Remove(5, 1);
	EXPECT_STREQ("t", s.String());

	s = "abcdef";
	s.Truncate(10);
	EXPECT_STREQ("abcdef", s.String());
	s.Truncate(4);
	EXPECT_STREQ("abcd", s.String());

	BString copy;
	s.CopyInto(copy, 1, 2);
	EXPECT_STREQ("bc", copy.String());
	s.CopyInto(copy, 3, 50);
	EXPECT_STREQ("d", copy.String());

	char raw[8];
	memset(raw, '#', sizeof(raw));
	s.MoveInto(raw, 0, 2);
	EXPECT_EQ(0, memcmp(raw, "ab##", 4));
	EXPECT_STREQ("cd", s.String());
}


TEST(String, FindWithOffsets)
{
	BString s("abcabcab");
	EXPECT_EQ(0, s.FindFirst("abc"));
	EXPECT_EQ(3, s.FindFirst("abc", 1));
	EXPECT_EQ(B_ERROR, s.FindFirst("abc", 4));
	EXPECT_EQ(B_ERROR, s.FindFirst("abc", 100));
	EXPECT_EQ(B_ERROR, s.FindFirst(""));
	EXPECT_EQ(2, s.FindFirst('c'));
	EXPECT_EQ(5, s.FindFirst('c', 3));

	// FindLast only finds matches that end before the offset.
	EXPECT_EQ(3, s.FindLast("abc"));
	EXPECT_EQ(3, s.FindLast("abc", 6));
	EXPECT_EQ(0, s.FindLast("abc", 5));
	EXPECT_EQ(B_ERROR, s.FindLast("abc", 2));
	EXPECT_EQ(6, s.FindLast("ab"));
	EXPECT_EQ(5, s.FindLast('c'));
	EXPECT_EQ(2, s.FindLast('c', 5));
	EXPECT_EQ(B_ERROR, s.FindLast('a', 0));

	BString mixed("Lyrics LYRICS lyrics");
	EXPECT_EQ(B_ERROR, mixed.FindFirst("lYRICS"));
	EXPECT_EQ(0, mixed.IFindFirst("lYRICS"));
	EXPECT_EQ(7, mixed.IFindFirst("lyrics", 1));
	EXPECT_EQ(14, mixed.IFindLast("LyRiCs"));
	EXPECT_EQ(7, mixed.IFindLast("lyrics", 14));
}


TEST(String, CompareAndOperators)
{
	BString a("apple");
	BString b("Banana");
	EXPECT_GT(a.Compare(b), 0);       // bytes: 'a' > 'B'
	EXPECT_LT(a.ICompare(b), 0);
	EXPECT_EQ(0, a.Compare("applesauce", 5));
	EXPECT_EQ(0, a.ICompare("APPLE"));
	EXPECT_TRUE(a == "apple");
	EXPECT_TRUE("apple" == a);
	EXPECT_TRUE(a != "apples");
	EXPECT_TRUE("apple" < BString("apples"));
	EXPECT_TRUE(BString("b") > "a");
	EXPECT_TRUE(a <= a);
	EXPECT_EQ(0, Compare(a, BString("apple")));
	EXPECT_LT(ICompare(&a, &b), 0);
	// Bytes compare unsigned: a UTF-8 letter sorts after ASCII.
	EXPECT_TRUE(BString("z") < "\xc3\xa9");
}


TEST(String, ReplaceCounts)
{
	BString s("a-a-a-a");
	s.ReplaceFirst('-', '+');
	EXPECT_STREQ("a+a-a-a", s.String());
	s.ReplaceLast('-', '*');
	EXPECT_STREQ("a+a-a*a", s.String());
	s.ReplaceAll('a', 'b', 3);
	EXPECT_STREQ("a+a-b*b", s.String());
	s.Replace('+', '=', 0);
	EXPECT_STREQ("a+a-b*b", s.String());

	// A replacement that contains the pattern is not replaced again.
	s = "aXa";
	s.ReplaceAll("a", "aa");
	EXPECT_STREQ("aaXaa", s.String());
	s = "one one one one";
	s.Replace("one", "1", 2, 1);
	EXPECT_STREQ("one 1 1 one", s.String());
	s.ReplaceLast("one", "last");
	EXPECT_STREQ("one 1 1 last", s.String());
	s.ReplaceAll("", "x");            // an empty pattern matches nothing
	EXPECT_STREQ("one 1 1 last", s.String());

	s = "Foo foo FOO";
	s.IReplaceAll("foo", "bar");
	EXPECT_STREQ("bar bar bar", s.String());
	s = "Foo foo FOO";
	s.IReplaceLast("foo", "x");
	s.IReplaceFirst('F', 'g');
	EXPECT_STREQ("goo foo x", s.String());

	s = "a,b;c";
	s.ReplaceSet(",;", ' ');
	EXPECT_STREQ("a b c", s.String());
	s.ReplaceSet(" ", "<>");
	EXPECT_STREQ("a<>b<>c", s.String());

	// Arguments that point into the string itself.
	s = "abcabc";
	s.ReplaceAll(s.String() + 3, s.String() + 4);
	EXPECT_STREQ("bcbc", s.String());
}


TEST(String, CaseEscapeAndCharacters)
{
	BString s("hELLO wORLD-2nd caf\xc3\xa9");
	s.CapitalizeEachWord();
	EXPECT_STREQ("Hello World-2Nd Caf\xc3\xa9", s.String());
	s.Capitalize();
	EXPECT_STREQ("Hello world-2nd caf\xc3\xa9", s.String());
	s.ToUpper();
	EXPECT_STREQ("HELLO WORLD-2ND CAF\xc3\xa9", s.String());

	BString path;
	path.CharacterEscape("a \"b\" \\c", "\"\\ ", '\\');
	EXPECT_STREQ("a\\ \\\"b\\\"\\ \\\\c", path.String());
	path.CharacterDeescape('\\');
	EXPECT_STREQ("a \"b\" \\c", path.String());
	BString trailing;
	trailing.CharacterDeescape("ab\\", '\\');
	EXPECT_STREQ("ab", trailing.String());

	BString utf8("a\xc3\xa9\xe3\x81\x82\xf0\x9f\x98\x80");
	EXPECT_EQ(10, utf8.Length());
	EXPECT_EQ(4, utf8.CountChars());
	EXPECT_EQ('a', utf8.ByteAt(0));
	EXPECT_EQ(0, utf8.ByteAt(10));
	EXPECT_EQ(0, utf8.ByteAt(-1));
	const BString& constant = utf8;
	EXPECT_EQ(0, constant[99]);
	utf8[0] = 'b';
	EXPECT_EQ('b', utf8.ByteAt(0));
}


TEST(String, LockBufferWritesInPlace)
{
	BString s("ab");
	char* buffer = s.LockBuffer(10);
	ASSERT_NE(nullptr, buffer);
	EXPECT_EQ(0, strncmp(buffer, "ab", 2));
	strcpy(buffer + 2, "cdef");
	s.UnlockBuffer();
	EXPECT_STREQ("abcdef", s.String());
	EXPECT_EQ(6, s.Length());

	buffer = s.LockBuffer(3);
	buffer[1] = 'X';
	s.UnlockBuffer(3);
	EXPECT_STREQ("aXc", s.String());
}
