// convert_to_utf8 / convert_from_utf8: Japanese encodings, substitutes, and
// the in/out length and state rules.
#include <UTF8.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Text and byte sequences used below.
const std::string kLyricsUtf8 = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae"
	"\xe6\xad\x8c\xe8\xa9\x9e";  // 日本語の歌詞
const std::string kLyricsSjis = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x89\xcc\x8e\x8c";
const std::string kKatakanaUtf8 = "\xef\xbd\xb1\xef\xbd\xb2\xef\xbd\xb3";  // ｱｲｳ
const std::string kKatakanaSjis = "\xb1\xb2\xb3";
// 日本 LF abc
const std::string kNihonUtf8 = "\xe6\x97\xa5\xe6\x9c\xac\nabc";
const std::string kNihonJis = "\x1b$BF|K\\\x1b(B\nabc";

struct Result {
	status_t status;
	int32 consumed;
	std::string output;
	int32 state;
};

Result
to_utf8(uint32 encoding, const std::string& src, int32 room = -1, int32 state = 0,
	char substitute = 0x1a)
{
	std::vector<char> buffer(room >= 0 ? (size_t)room : src.size() * 4 + 16);
	int32 srcLen = (int32)src.size();
	int32 dstLen = (int32)buffer.size();
	status_t status = convert_to_utf8(encoding, src.data(), &srcLen, buffer.data(), &dstLen,
		&state, substitute);
	return { status, srcLen, std::string(buffer.data(), (size_t)dstLen), state };
}

Result
from_utf8(uint32 encoding, const std::string& src, int32 room = -1, int32 state = 0,
	char substitute = 0x1a)
{
	std::vector<char> buffer(room >= 0 ? (size_t)room : src.size() * 4 + 16);
	int32 srcLen = (int32)src.size();
	int32 dstLen = (int32)buffer.size();
	status_t status = convert_from_utf8(encoding, src.data(), &srcLen, buffer.data(),
		&dstLen, &state, substitute);
	return { status, srcLen, std::string(buffer.data(), (size_t)dstLen), state };
}

}	// namespace


TEST(Conversion, ConstantsHaveThePlatformValues)
{
	EXPECT_EQ(0, B_ISO1_CONVERSION);
	EXPECT_EQ(10, B_MAC_ROMAN_CONVERSION);
	EXPECT_EQ(11, B_SJIS_CONVERSION);
	EXPECT_EQ(13, B_JIS_CONVERSION);
	EXPECT_EQ(15, B_UNICODE_CONVERSION);
	EXPECT_EQ(20, B_EUC_KR_CONVERSION);
	EXPECT_EQ(26, B_UTF16_CONVERSION);
	EXPECT_EQ(27, B_MS_WINDOWS_1250_CONVERSION);
}


TEST(Conversion, ShiftJisJapaneseKatakanaAndWindowsExtensions)
{
	Result lyrics = to_utf8(B_SJIS_CONVERSION, kLyricsSjis + "\n[00:12]");
	EXPECT_EQ(B_OK, lyrics.status);
	EXPECT_EQ((int32)kLyricsSjis.size() + 8, lyrics.consumed);
	EXPECT_EQ(kLyricsUtf8 + "\n[00:12]", lyrics.output);

	// One byte of half-width katakana becomes three bytes of UTF-8.
	Result kana = to_utf8(B_SJIS_CONVERSION, kKatakanaSjis);
	EXPECT_EQ(3, kana.consumed);
	EXPECT_EQ(kKatakanaUtf8, kana.output);

	// NEC's circled digit one, present only in the Windows code page.
	EXPECT_EQ("\xe2\x91\xa0", to_utf8(B_SJIS_CONVERSION, "\x87\x40").output);

	// And back.
	Result back = from_utf8(B_SJIS_CONVERSION, kLyricsUtf8 + kKatakanaUtf8);
	EXPECT_EQ(B_OK, back.status);
	EXPECT_EQ(kLyricsSjis + kKatakanaSjis, back.output);
}


TEST(Conversion, InvalidBytesBecomeTheSubstitute)
{
	// Bytes that are never characters in Shift-JIS.
	EXPECT_EQ("a\x1a" "b\x1a" "c\x1a",
		to_utf8(B_SJIS_CONVERSION, "a\x80" "b\xa0" "c\xfd").output);
	// A lead byte whose follower is no trail byte: only the lead byte is
	// lost, the follower is read on its own.
	EXPECT_EQ("?\n", to_utf8(B_SJIS_CONVERSION, "\x81\n", -1, 0, '?').output);
	// A character that Shift-JIS lacks, and bytes that are not UTF-8.
	Result back = from_utf8(B_SJIS_CONVERSION, "a\xf0\x9f\x98\x80" "b\xff" "c");
	EXPECT_EQ("a\x1a" "b\x1a" "c", back.output);
	EXPECT_EQ(8, back.consumed);
	// The platform's default substitute.
	char out[4];
	int32 srcLen = 1;
	int32 dstLen = sizeof(out);
	int32 state = 0;
	ASSERT_EQ(B_OK, convert_to_utf8(B_SJIS_CONVERSION, "\x80", &srcLen, out, &dstLen, &state));
	ASSERT_EQ(1, dstLen);
	EXPECT_EQ(0x1a, out[0]);
	// Latin 1 has no Japanese.
	EXPECT_EQ("x*", from_utf8(B_ISO1_CONVERSION, "x\xe6\x97\xa5", -1, 0, '*').output);
}


TEST(Conversion, IncompleteCharacterAtTheEndIsLeftForTheNextCall)
{
	// あ and the lead byte of い.
	Result first = to_utf8(B_SJIS_CONVERSION, "\x82\xa0\x82");
	EXPECT_EQ(B_OK, first.status);
	EXPECT_EQ(2, first.consumed);
	EXPECT_EQ("\xe3\x81\x82", first.output);
	EXPECT_EQ("\xe3\x81\x84", to_utf8(B_SJIS_CONVERSION, "\x82\xa2").output);

	// The same for UTF-8 input.
	Result utf8 = from_utf8(B_SJIS_CONVERSION, "\xe3\x81\x82\xe3\x81");
	EXPECT_EQ(3, utf8.consumed);
	EXPECT_EQ("\x82\xa0", utf8.output);
}


TEST(Conversion, FullDestinationStopsAtACharacterBoundary)
{
	// 日本語 is 9 bytes of UTF-8; with 7 bytes of room two characters fit.
	Result partial = to_utf8(B_SJIS_CONVERSION, kLyricsSjis.substr(0, 6), 7);
	EXPECT_EQ(B_OK, partial.status);
	EXPECT_EQ(4, partial.consumed);
	EXPECT_EQ(kLyricsUtf8.substr(0, 6), partial.output);

	// Not even one character fits.
	Result none = to_utf8(B_SJIS_CONVERSION, kLyricsSjis, 2);
	EXPECT_EQ(0, none.consumed);
	EXPECT_EQ("", none.output);

	// Half-width katakana grow threefold: four bytes of room hold one.
	Result kana = to_utf8(B_SJIS_CONVERSION, kKatakanaSjis, 4);
	EXPECT_EQ(1, kana.consumed);
	EXPECT_EQ(kKatakanaUtf8.substr(0, 3), kana.output);

	// A substitute needs room too.
	Result bad = to_utf8(B_SJIS_CONVERSION, "a\x80", 1);
	EXPECT_EQ(1, bad.consumed);
	EXPECT_EQ("a", bad.output);
}


TEST(Conversion, JisJapaneseText)
{
	Result text = to_utf8(B_JIS_CONVERSION, kNihonJis);
	EXPECT_EQ(B_OK, text.status);
	EXPECT_EQ((int32)kNihonJis.size(), text.consumed);
	EXPECT_EQ(kNihonUtf8, text.output);
	EXPECT_EQ(0, text.state);

	// Half-width katakana by escape sequence and by shift-out.
	EXPECT_EQ("\xef\xbd\xb6\xef\xbe\x80", to_utf8(B_JIS_CONVERSION, "\x1b(I6@\x1b(B").output);
	EXPECT_EQ("a\xef\xbd\xb6\xef\xbe\x80" "b", to_utf8(B_JIS_CONVERSION, "a\x0e" "6@\x0f" "b").output);

	// A pair with a bad second byte loses the first byte only; the line end
	// survives.
	EXPECT_EQ("\x1a\n", to_utf8(B_JIS_CONVERSION, "\x1b$BF\n").output);

	EXPECT_EQ(kNihonJis, from_utf8(B_JIS_CONVERSION, kNihonUtf8).output);
	EXPECT_EQ("\x1b(I6@\x1b(B",
		from_utf8(B_JIS_CONVERSION, "\xef\xbd\xb6\xef\xbe\x80").output);
}


TEST(Conversion, JisStateIsCarriedAcrossCalls)
{
	// The escape sequence arrives in the first call, the text it governs
	// in the second.
	Result first = to_utf8(B_JIS_CONVERSION, "\x1b$BF|");
	EXPECT_EQ(5, first.consumed);
	EXPECT_EQ("\xe6\x97\xa5", first.output);
	EXPECT_NE(0, first.state);
	Result second = to_utf8(B_JIS_CONVERSION, "K\\\x1b(B!", -1, first.state);
	EXPECT_EQ("\xe6\x9c\xac!", second.output);
	EXPECT_EQ(0, second.state);

	// Cut inside an escape sequence, and inside a two-byte character: the
	// unfinished bytes stay unconsumed.
	Result cutEscape = to_utf8(B_JIS_CONVERSION, "ab\x1b$");
	EXPECT_EQ(2, cutEscape.consumed);
	Result cutPair = to_utf8(B_JIS_CONVERSION, "\x1b$BF");
	EXPECT_EQ(3, cutPair.consumed);
	EXPECT_EQ("", cutPair.output);
	EXPECT_EQ("\xe6\x97\xa5", to_utf8(B_JIS_CONVERSION, "F|", -1, cutPair.state).output);

	// Encoding: the destination fills after 日, so 本 follows in a second
	// call without announcing its set again.
	Result head = from_utf8(B_JIS_CONVERSION, "\xe6\x97\xa5\xe6\x9c\xac", 6);
	EXPECT_EQ(3, head.consumed);
	EXPECT_EQ("\x1b$BF|", head.output);
	Result tail = from_utf8(B_JIS_CONVERSION, "\xe6\x9c\xac", -1, head.state);
	EXPECT_EQ("K\\\x1b(B", tail.output);
	EXPECT_EQ(0, tail.state);
}


TEST(Conversion, JisAndShiftJisAgreeOnEveryJisX0208Position)
{
	// The JIS decoder maps row and cell to Shift-JIS arithmetically; every
	// position must give what the same character gives in Shift-JIS.
	int compared = 0;
	for (int c1 = 0x21; c1 <= 0x7e; c1++) {
		for (int c2 = 0x21; c2 <= 0x7e; c2++) {
			int t1 = (c1 - 0x21) / 2;
			int t2 = (c1 - 0x21) % 2 * 94 + (c2 - 0x21);
			int s1 = t1 + (t1 < 31 ? 0x81 : 0xc1);
			int s2 = t2 + (t2 < 63 ? 0x40 : 0x41);
			if (s1 > 0xef)
				continue;
			std::string sjis = { (char)s1, (char)s2 };
			std::string jis = std::string("\x1b$B") + (char)c1 + (char)c2;
			ASSERT_EQ(to_utf8(B_SJIS_CONVERSION, sjis).output,
				to_utf8(B_JIS_CONVERSION, jis).output) << std::hex << c1 << " " << c2;
			compared++;
		}
	}
	EXPECT_EQ(94 * 94, compared);
}


TEST(Conversion, OtherEncodingsAndBadArguments)
{
	EXPECT_EQ("caf\xc3\xa9", to_utf8(B_ISO1_CONVERSION, "caf\xe9").output);
	EXPECT_EQ("A\xe3\x81\x82", to_utf8(B_UNICODE_CONVERSION, std::string("\0A\x30\x42", 4)).output);
	// A UTF-16 target gets a whole unit as substitute.
	EXPECT_EQ(std::string("\0A\0?", 4), from_utf8(B_UNICODE_CONVERSION, "A\xff", -1, 0, '?').output);

	Result unknown = to_utf8(99, "abc");
	EXPECT_EQ(B_ERROR, unknown.status);
	EXPECT_EQ(0, unknown.consumed);
	EXPECT_EQ(B_ERROR, from_utf8(28, "abc").status);

	char buffer[8];
	int32 srcLen = -1;
	int32 dstLen = sizeof(buffer);
	int32 state = 0;
	EXPECT_EQ(B_BAD_VALUE, convert_to_utf8(B_SJIS_CONVERSION, "x", &srcLen, buffer, &dstLen,
		&state));
	EXPECT_EQ(B_BAD_VALUE, convert_to_utf8(B_SJIS_CONVERSION, "x", NULL, buffer, &dstLen,
		&state));
	srcLen = 1;
	dstLen = 4;
	EXPECT_EQ(B_BAD_VALUE, convert_to_utf8(B_SJIS_CONVERSION, "x", &srcLen, NULL, &dstLen,
		&state));

	// No source at all is an empty conversion, not an error.
	srcLen = 0;
	dstLen = sizeof(buffer);
	EXPECT_EQ(B_OK, convert_to_utf8(B_JIS_CONVERSION, NULL, &srcLen, buffer, &dstLen, &state));
	EXPECT_EQ(0, dstLen);
}


TEST(Conversion, ThreadsConvertIndependently)
{
	// Each thread has its own converters; JIS state lives with the caller.
	auto work = [](uint32 encoding, const std::string& src, const std::string& expected,
			bool* ok) {
		*ok = true;
		for (int i = 0; i < 300; i++) {
			if (to_utf8(encoding, src).output != expected)
				*ok = false;
		}
	};
	bool ok[4];
	std::thread threads[] = {
		std::thread(work, B_SJIS_CONVERSION, kLyricsSjis, kLyricsUtf8, &ok[0]),
		std::thread(work, B_JIS_CONVERSION, kNihonJis, kNihonUtf8, &ok[1]),
		std::thread(work, B_SJIS_CONVERSION, kKatakanaSjis, kKatakanaUtf8, &ok[2]),
		std::thread(work, B_JIS_CONVERSION, kNihonJis, kNihonUtf8, &ok[3]),
	};
	for (std::thread& thread : threads)
		thread.join();
	for (bool threadOk : ok)
		EXPECT_TRUE(threadOk);
}
