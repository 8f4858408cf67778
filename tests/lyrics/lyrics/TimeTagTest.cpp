#include <gtest/gtest.h>

#include "lyrics/TimeTag.h"
#include "lyrics/Timeline.h"

namespace {

int32 parse(const std::string& line, bool* hundredths = nullptr)
{
	int32 time = -12345;
	bool h = false;
	if (!time_tag_to_time(line, &time, &h))
		return -1;
	if (hundredths != nullptr)
		*hundredths = h;
	return time;
}

std::string tag(int32 time, bool hundredths)
{
	std::string t;
	EXPECT_TRUE(time_to_time_tag(time, &t, hundredths));
	return t;
}

}

TEST(TimeTag, ReadsFixedPositions)
{
	bool h = false;
	EXPECT_EQ(parse("[01:02.34]x", &h), 62340);
	EXPECT_TRUE(h);
	EXPECT_EQ(parse("[01:02:34]"), 62340);
	EXPECT_EQ(parse("[01:02]", &h), 62000);
	EXPECT_FALSE(h);
	EXPECT_EQ(parse("[01:02]34 text"), 62340);     // read at the fixed positions
	EXPECT_EQ(parse("[1:02]text"), 20 * 60000 + 65 * 1000);  // 20 min, 65 s
	EXPECT_EQ(parse("[00:00]"), 0);
	EXPECT_EQ(parse("[ab:cd]"), 0);                 // no digits: still a time
	EXPECT_EQ(parse("[01:0]"), -1);                 // too short
	EXPECT_EQ(parse("01:02:03"), -1);               // no bracket
	EXPECT_EQ(parse(""), -1);
	// A byte above 127 after a digit would make the time negative.
	EXPECT_EQ(parse("[00:0\xd2\xd1" "00]x"), 0);
	EXPECT_EQ(parse("[0\x83:00]"), 0);
}

TEST(TimeTag, WritesTwoDigitFieldsWithinRange)
{
	EXPECT_EQ(tag(0, false), "[00:00]");
	EXPECT_EQ(tag(62340, true), "[01:02:34]");
	EXPECT_EQ(tag(62349, true), "[01:02:34]");
	EXPECT_EQ(tag(6000000, true), "[99:59:99]");
	EXPECT_EQ(tag(-5, true), "[00:00:00]");
	// what is written reads back
	EXPECT_EQ(parse(tag(123450, true)), 123450);
}

TEST(Timeline, MapsTagsToDisplayTexts)
{
	TTimeline timeline;
	timeline.Build({"title line", "[00:10]first", "[00:20.50]second", "no tag ] here",
		"[00:10][00:30]again", "[00:40]"});
	ASSERT_EQ(timeline.CountLines(), 6);
	EXPECT_EQ(timeline.Texts()[0], "title line");
	EXPECT_EQ(timeline.Texts()[1], "first");
	EXPECT_EQ(timeline.Texts()[3], " here");
	EXPECT_EQ(timeline.Texts()[4], "[00:30]again");   // only the first tag counts
	EXPECT_EQ(timeline.Texts()[5], "");
	// equal tags: the later line takes over
	EXPECT_EQ(timeline.Times().at(10000), 4);
	EXPECT_EQ(timeline.Times().at(20500), 2);

	EXPECT_EQ(timeline.LineAt(0), -1);         // before the first tag
	EXPECT_EQ(timeline.LineAt(9999), -1);
	EXPECT_EQ(timeline.LineAt(10000), 4);      // at a tag
	EXPECT_EQ(timeline.LineAt(15000), 4);      // between tags
	EXPECT_EQ(timeline.LineAt(20500), 2);
	EXPECT_EQ(timeline.LineAt(1000000), 5);    // after the last

	EXPECT_EQ(timeline.NextLine(0), 4);
	EXPECT_EQ(timeline.NextLine(10000), 2);    // a tag at the position is reached, not next
	EXPECT_EQ(timeline.NextLine(40000), -1);
}

TEST(Timeline, UntimedFileHasNoCurrentLine)
{
	TTimeline timeline;
	timeline.Build({"just", "words"});
	EXPECT_EQ(timeline.CountLines(), 2);
	EXPECT_TRUE(timeline.Times().empty());
	EXPECT_EQ(timeline.LineAt(5000), -1);
}
