// Downloaded LRC files read both ways: the plain reading must not change,
// the extended one must show what such files mean.
#include <gtest/gtest.h>

#include "lyrics/ExtendedTags.h"
#include "lyrics/LyricsFile.h"
#include "lyrics/Timeline.h"

#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

// A file as found on the net: byte-order mark, headers, a blank line,
// three-digit and one-digit fractions, a chorus with two tags and word
// times, a tag-only line that clears the display, minutes of one and
// three digits, all with Windows line ends.
const char kDownloaded[] =
	"\xEF\xBB\xBF[ti:Evening Song]\r\n"     // 0
	"[ar:Somebody]\r\n"                     // 1
	"[al:Album: Part 2]\r\n"                // 2
	"[by:maker]\r\n"                        // 3
	"[length: 03:20]\r\n"                   // 4
	"[offset:+500]\r\n"                     // 5
	"\r\n"                                  // 6
	"[00:09.015]First line\r\n"             // 7
	"[00:12.5]Second line\r\n"              // 8
	"[00:17.30][00:40.00]Chorus <00:18.00>goes <00:18.50>here\r\n"   // 9
	"[00:25.00]Verse two\r\n"               // 10
	"[00:33.00]\r\n"                        // 11
	"[1:05.00]Late line\r\n"                // 12
	"[100:00.00]Very late\r\n";             // 13

TTimeline read(const std::string& bytes, bool extended, int32 encoding = LYRICS_ENC_DETECT)
{
	TTimeline timeline;
	timeline_from_bytes(bytes, encoding, extended, &timeline);
	return timeline;
}

int32 parse_time(const std::string& field)
{
	int32 time = -1;
	return read_extended_time(field, &time) ? time : -1;
}

}

TEST(ExtendedTags, TimesWithAnyFractionAndLongMinutes)
{
	EXPECT_EQ(parse_time("00:09.010"), 9010);      // milliseconds
	EXPECT_EQ(parse_time("00:09.01"), 9010);       // hundredths
	EXPECT_EQ(parse_time("00:09.1"), 9100);        // tenths
	EXPECT_EQ(parse_time("00:09:01"), 9010);       // as the editor writes it
	EXPECT_EQ(parse_time("00:09"), 9000);
	EXPECT_EQ(parse_time("1:02"), 62000);
	EXPECT_EQ(parse_time("100:00.00"), 6000000);
	EXPECT_EQ(parse_time("35791:23.647"), std::numeric_limits<int32>::max());

	// not times
	for (const char* field : {"", "ar", "00", "00:", ":09", "00:123", "00:09.", "00:09.1234",
			"00:09.x", "-0:01", "00:09 ", " 00:09", "35791:23.648", "9999999:00"})
		EXPECT_EQ(parse_time(field), -1) << '"' << field << '"';
}

TEST(ExtendedTags, LinesSplitIntoTimesHeadersAndText)
{
	TExtendedLine chorus = read_extended_line("[00:17.30][00:40.00]Chorus <00:18.00>goes");
	EXPECT_FALSE(chorus.isHeader);
	EXPECT_EQ(chorus.times, (std::vector<int32>{17300, 40000}));
	EXPECT_EQ(chorus.text, "Chorus goes");

	TExtendedLine header = read_extended_line("[length: 03:20]");
	EXPECT_TRUE(header.isHeader);
	EXPECT_EQ(header.headerKey, "length");
	EXPECT_EQ(header.headerValue, " 03:20");
	EXPECT_TRUE(header.text.empty());
	EXPECT_TRUE(read_extended_line("[Offset:-20]").isHeader);
	EXPECT_TRUE(read_extended_line("[#:comment]").isHeader);

	// a header tag after a time is text; a bracket that is neither stays
	TExtendedLine late = read_extended_line("[00:01][ar:x]");
	EXPECT_FALSE(late.isHeader);
	EXPECT_EQ(late.text, "[ar:x]");
	for (const char* line : {"[Chorus]", "[12:ab]x", "[ar x:y]", "[:x]", "[ar:x", "text [ar:x]"}) {
		TExtendedLine plain = read_extended_line(line);
		EXPECT_FALSE(plain.isHeader) << line;
		EXPECT_TRUE(plain.times.empty()) << line;
		EXPECT_EQ(plain.text, line);
	}

	// an unclosed tag ends the tags; what follows is text
	TExtendedLine open = read_extended_line("[00:01][00:02");
	EXPECT_EQ(open.times, (std::vector<int32>{1000}));
	EXPECT_EQ(open.text, "[00:02");
}

TEST(ExtendedTags, WordTimesGoOtherAngleBracketsStay)
{
	EXPECT_EQ(strip_word_times("<00:01.00>I <00:01.50>love<00:02.00> you"), "I love you");
	EXPECT_EQ(strip_word_times("a <3 b <c> d"), "a <3 b <c> d");
	EXPECT_EQ(strip_word_times("x <<00:01>y"), "x <y");
	EXPECT_EQ(strip_word_times("open <00:01"), "open <00:01");
	EXPECT_EQ(strip_word_times(""), "");
}

TEST(ExtendedTags, OffsetValues)
{
	int32 offset = 7;
	EXPECT_TRUE(read_offset_value("+500", &offset));
	EXPECT_EQ(offset, 500);
	EXPECT_TRUE(read_offset_value(" -250 ", &offset));
	EXPECT_EQ(offset, -250);
	EXPECT_TRUE(read_offset_value("40", &offset));
	EXPECT_EQ(offset, 40);
	EXPECT_TRUE(read_offset_value("99999999999999999999", &offset));
	EXPECT_EQ(offset, std::numeric_limits<int32>::max());
	EXPECT_TRUE(read_offset_value("-99999999999999999999", &offset));
	EXPECT_EQ(offset, std::numeric_limits<int32>::min());

	offset = 7;
	for (const char* value : {"", "+", "1.5", "10ms", "- 5", "++5"})
		EXPECT_FALSE(read_offset_value(value, &offset)) << value;
	EXPECT_EQ(offset, 7);
}

TEST(ExtendedTags, DownloadedFileReadPlainlyIsUnchanged)
{
	const TTimeline plain = read(kDownloaded, false);
	ASSERT_EQ(plain.CountLines(), 14);
	// every line is shown after its first "]"; headers become empty lines
	const std::vector<std::string> texts = {"", "", "", "", "", "", "", "First line",
		"Second line", "[00:40.00]Chorus <00:18.00>goes <00:18.50>here", "Verse two", "",
		"Late line", "Very late"};
	EXPECT_EQ(plain.Texts(), texts);

	// The tag is read at fixed positions: the mark hides the first header,
	// the others are all read as 0 (the last one wins), the 3-digit
	// fraction is cut to hundredths, "[00:12.5]" takes "]" as a digit, and
	// one- or three-digit minutes are misread.
	const std::map<int32, int32> times = {
		{0, 5},
		{9010, 7},
		{12000 + 10 * ('5' - '0') * 10 + (']' - '0') * 10, 8},
		{17300, 9},
		{25000, 10},
		{33000, 11},
		{20 * 60000 + (10 * 5 + ('.' - '0')) * 1000 + (']' - '0') * 10, 12},
		{10 * 60000 + ('0' - '0') * 1000 + 0, 13},
	};
	EXPECT_EQ(plain.Times(), times);
}

TEST(ExtendedTags, DownloadedFileReadExtended)
{
	const TTimeline extended = read(kDownloaded, true);
	const std::vector<std::string> texts = {"", "First line", "Second line", "Chorus goes here",
		"Verse two", "", "Late line", "Very late"};
	EXPECT_EQ(extended.Texts(), texts);
	// every time 500 ms earlier, as the offset says
	const std::map<int32, int32> times = {
		{8515, 1}, {12000, 2}, {16800, 3}, {24500, 4}, {32500, 5}, {39500, 3}, {64500, 6},
		{5999500, 7},
	};
	EXPECT_EQ(extended.Times(), times);

	EXPECT_EQ(extended.LineAt(8514), -1);
	EXPECT_EQ(extended.LineAt(39499), 5);
	EXPECT_EQ(extended.LineAt(39500), 3);   // the chorus again
	EXPECT_EQ(extended.NextLine(32500), 3);

	// the same file with LF line ends and without the mark reads the same
	std::string unix;
	for (const char* c = kDownloaded + 3; *c != '\0'; c++) {
		if (*c != '\r')
			unix += *c;
	}
	const TTimeline again = read(unix, true);
	EXPECT_EQ(again.Texts(), texts);
	EXPECT_EQ(again.Times(), times);
}

TEST(ExtendedTags, OffsetBothWaysAndEqualTimes)
{
	// negative: later; the last offset in the file counts
	TTimeline later = read("[offset:+100]\n[00:01.00]a\n[offset:-250]\n", true);
	EXPECT_EQ(later.Times(), (std::map<int32, int32>{{1250, 0}}));

	// pushed below 0: 0, where the later line in the file wins; an offset
	// that is no number is ignored
	TTimeline early = read("[00:00.50]a\n[offset:+1000]\n[00:00.80]b\n[00:02.00]c\n", true);
	EXPECT_EQ(early.Times(), (std::map<int32, int32>{{0, 1}, {1000, 2}}));
	EXPECT_EQ(read("[offset:soon]\n[00:01]a\n", true).Times(), (std::map<int32, int32>{{1000, 0}}));

	// equal times without an offset: the later line; a line's own repeated
	// tag changes nothing
	TTimeline equal = read("[00:05]first\n[00:05][00:05]second\n[00:07][00:05]third\n", true);
	EXPECT_EQ(equal.Times(), (std::map<int32, int32>{{5000, 2}, {7000, 2}}));

	// an offset far beyond every time, and the largest time moved later
	EXPECT_EQ(read("[offset:-99999999999]\n[35791:23.647]x\n", true).Times(),
		(std::map<int32, int32>{{std::numeric_limits<int32>::max(), 0}}));
}

TEST(ExtendedTags, OnlyTheFirstLineLosesAByteOrderMark)
{
	const std::string mark = "\xEF\xBB\xBF";
	TTimeline timeline = read(mark + "[00:01]a\n" + mark + "[00:02]b\n", true);
	EXPECT_EQ(timeline.Texts()[0], "a");
	EXPECT_EQ(timeline.Texts()[1], mark + "[00:02]b");
	EXPECT_EQ(timeline.Times(), (std::map<int32, int32>{{1000, 0}}));
}

TEST(ExtendedTags, ShiftJisFileWithExtendedTags)
{
	// "[ti:タイトル]" then "[00:01.50][00:03.000]あい<00:02.00>う" in Shift-JIS,
	// CR LF line ends
	const std::string sjis =
		"[ti:\x83\x5e\x83\x43\x83\x67\x83\x8b]\r\n"
		"[00:01.50][00:03.000]\x82\xa0\x82\xa2<00:02.00>\x82\xa4\r\n";
	TTimeline extended = read(sjis, true);
	EXPECT_EQ(extended.Texts(), (std::vector<std::string>{"あいう"}));
	EXPECT_EQ(extended.Times(), (std::map<int32, int32>{{1500, 0}, {3000, 0}}));

	TTimeline plain = read(sjis, false);
	EXPECT_EQ(plain.Texts(),
		(std::vector<std::string>{"", "[00:03.000]あい<00:02.00>う"}));
	EXPECT_EQ(plain.Times(), (std::map<int32, int32>{{0, 0}, {1500, 1}}));
}

TEST(ExtendedTags, ArbitraryBytesNeverBreakTheReading)
{
	// Every prefix of a file full of half tags, brackets and stray bytes:
	// the reading ends, every time points at a text, no time is negative.
	const std::string tricky = std::string(kDownloaded) +
		"[\n]\n[[00:01]]\n<\n<>\n[00:01.\n[99999999:00]x\n[offset:\n[offset:-\n\x82\n"
		"[00:01]<00:0<00:02>\n\xEF\xBB\n";
	for (size_t length = 0; length <= tricky.size(); length++) {
		for (bool extended : {false, true}) {
			const TTimeline timeline = read(tricky.substr(0, length), extended, LYRICS_ENC_UTF8);
			for (const auto& [time, index] : timeline.Times()) {
				ASSERT_GE(index, 0);
				ASSERT_LT(index, timeline.CountLines());
				if (extended) {
					ASSERT_GE(time, 0);
				}
			}
		}
	}
}
