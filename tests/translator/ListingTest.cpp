// The reader of unzip's listings and the names given back to unzip.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "translator/ZipListing.h"

#include <filesystem>

using packscope::ArchiveEntry;
using packscope::read_unzip_listing;

namespace {

std::vector<std::string> names_of(const std::vector<ArchiveEntry>& entries)
{
	std::vector<std::string> names;
	for (const ArchiveEntry& entry : entries)
		names.push_back(entry.name);
	return names;
}

}

TEST(UnzipListing, ReadsDebiansLayout)
{
	const std::string text =
		"Archive:  /tmp/x.zip\n"
		"  Length      Date    Time    Name\n"
		"---------  ---------- -----   ----\n"
		"        0  2026-12-09 10:18   skin/\n"
		"        7  1999-12-31 23:59   skin/pledit.txt\n"
		"123456789012  2107-12-31 23:59     lead and trail  \n"
		"---------                     -------\n"
		"       10                     3 files\n";
	std::vector<ArchiveEntry> entries = read_unzip_listing(text);
	ASSERT_EQ(3u, entries.size());
	EXPECT_EQ((std::vector<std::string>{ "skin/", "skin/pledit.txt", "  lead and trail  " }),
		names_of(entries));
	EXPECT_EQ(7, entries[1].size);
	EXPECT_EQ(1999, entries[1].year);
	EXPECT_EQ(12, entries[1].month);
	EXPECT_EQ(31, entries[1].day);
	EXPECT_EQ(23, entries[1].hour);
	EXPECT_EQ(59, entries[1].minute);
	EXPECT_EQ(123456789012LL, entries[2].size);
	EXPECT_EQ(2107, entries[2].year);
}

TEST(UnzipListing, ReadsTheClassicLayoutWithTwoDigitYears)
{
	const std::string text =
		"Archive:  x.zip\n"
		"  Length     Date   Time    Name\n"
		" --------    ----   ----    ----\n"
		"        5  12-31-99 23:59   old.txt\n"
		"        6  01-01-05 00:00   new.txt\n"
		"        7  06-15-69 12:30   last of the century.txt\n"
		"        8  06-15-70 12:30   first.txt\n"
		" --------                   -------\n"
		"       26                   4 files\n";
	std::vector<ArchiveEntry> entries = read_unzip_listing(text);
	ASSERT_EQ(4u, entries.size());
	EXPECT_EQ("old.txt", entries[0].name);
	EXPECT_EQ(1999, entries[0].year);
	EXPECT_EQ(2005, entries[1].year);
	EXPECT_EQ(1, entries[1].month);
	EXPECT_EQ(2069, entries[2].year);
	EXPECT_EQ(1970, entries[3].year);
	EXPECT_EQ("last of the century.txt", entries[2].name);
	// 1999-12-31 23:59 and 2005-01-01 00:00 as wall-clock milliseconds.
	EXPECT_EQ(946684740000LL, packscope::entry_time_ms(entries[0]));
	EXPECT_EQ(1104537600000LL, packscope::entry_time_ms(entries[1]));
}

TEST(UnzipListing, TakesOnlyTheLinesBetweenTheRules)
{
	// Text before the header (an archive comment that imitates member
	// lines without a rule above them), a blank line and a broken line
	// among the members, and nothing after the closing rule.
	const std::string text =
		"Archive:  x.zip\n"
		"        5  2020-01-01 00:00   not a member\n"
		"  Length      Date    Time    Name\n"
		"---------  ---------- -----   ----\n"
		"        1  2020-01-01 00:00   one\n"
		"\n"
		"garbage line\n"
		"        2  2020-13-45 25:61   two\n"
		"---------                     -------\n"
		"        3  2020-01-01 00:00   after the end\n";
	EXPECT_EQ((std::vector<std::string>{ "one", "two" }), names_of(read_unzip_listing(text)));

	// No header rule: nothing is listed. An empty archive lists nothing.
	EXPECT_TRUE(read_unzip_listing("        1  2020-01-01 00:00   one\n").empty());
	EXPECT_TRUE(read_unzip_listing("").empty());
	EXPECT_TRUE(read_unzip_listing(
		"---------  ---------- -----   ----\n---------                     -------\n").empty());
	// A listing cut short keeps what it had.
	EXPECT_EQ(1u, read_unzip_listing(
		"---------  ---------- -----   ----\n        1  2020-01-01 00:00   one").size());
}

TEST(UnzipListing, RejectsLinesThatAreNotMemberLines)
{
	ArchiveEntry entry;
	EXPECT_TRUE(packscope::read_listing_line("        1  2020-01-01 00:00   ", &entry));
	EXPECT_EQ("", entry.name);
	for (const char* line : {
			"", "        1", "        1  2020-01-01", "        1  2020-01-01 00:00",
			"        1  2020-01-01 00:00  two blanks", "        x  2020-01-01 00:00   n",
			"        1  20-01-2020 00:00   n", "        1  2020-01-01 0:00    n",
			"1234567890123456789  2020-01-01 00:00   too long a length" }) {
		EXPECT_FALSE(packscope::read_listing_line(line, &entry)) << line;
	}
}

TEST(UnzipListing, TimesIgnoreTheZoneAndRollOver)
{
	ArchiveEntry entry;
	// A summer date is the wall-clock reading itself, as in winter.
	ASSERT_TRUE(packscope::read_listing_line("  1  2020-07-01 12:34   s", &entry));
	EXPECT_EQ(1593606840000LL, packscope::entry_time_ms(entry));
	// DOS dates can hold month 0 or day 0; they roll back like a calendar.
	ASSERT_TRUE(packscope::read_listing_line("  1  1980-00-00 00:00   z", &entry));
	EXPECT_EQ(packscope::entry_time_ms(ArchiveEntry{ "", 0, 1979, 11, 30, 0, 0 }),
		packscope::entry_time_ms(entry));
	EXPECT_EQ(0, packscope::entry_time_ms(ArchiveEntry{ "", 0, 1970, 1, 1, 0, 0 }));
}

TEST(UnzipPattern, EscapesWildcardsBackslashesAndALeadingDash)
{
	EXPECT_EQ("plain name.txt", packscope::literal_member_pattern("plain name.txt"));
	EXPECT_EQ("a\\*b\\?c\\[d\\]e\\\\f", packscope::literal_member_pattern("a*b?c[d]e\\f"));
	EXPECT_EQ("\\-x", packscope::literal_member_pattern("-x"));
	EXPECT_EQ("a-x", packscope::literal_member_pattern("a-x"));

	std::string pattern;
	EXPECT_FALSE(packscope::control_member_pattern("no controls ^ here^", &pattern));
	ASSERT_TRUE(packscope::control_member_pattern("new^Jline^?*", &pattern));
	EXPECT_EQ("new?line?\\*", pattern);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(UnzipListing, FuzzSeedsPassTheFuzzChecks)
{
	// The fuzz target aborts on a broken check; each seed goes through it.
	int seeds = 0;
	for (const auto& entry : std::filesystem::directory_iterator(UNZIP_LISTING_CORPUS)) {
		const std::string bytes = testutil::read_file(entry.path().string());
		EXPECT_EQ(0, LLVMFuzzerTestOneInput(
			reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
		seeds++;
	}
	EXPECT_GE(seeds, 2);
}
