// A downloaded LRC file followed by the view with the extended reading on
// and off, and the reading changed while the song plays.
#include "ViewHarness.h"

#include "lyrics/LyricsFile.h"
#include "lyrics/VersoDMessages.h"

using lyricsview::LyricsViewTest;

namespace {

const char kDownloaded[] =
	"\xEF\xBB\xBF[ti:Evening Song]\r\n"
	"[ar:Somebody]\r\n"
	"[offset:+500]\r\n"
	"[00:02.015]First <00:02.50>line\r\n"        // 0 at 1515
	"[00:04.00][00:09.000]Chorus\r\n"            // 1 at 3500 and 8500
	"[00:06.5]Verse\r\n"                         // 2 at 6000
	"[00:07.00]\r\n";                            // 3 at 6500: clears

}

class LyricsViewExtendedTest : public LyricsViewTest {
protected:
	void SetExtended(bool on)
	{
		ChangePrefs([on](TPref& p) { p.readExtendedTags = on; }, kMsgReadingChanged);
	}

	// Plays to `position` and waits for `line` to be current there.
	::testing::AssertionResult At(int32 position, int32 line)
	{
		if (fPlayer->SetPosition(position) != B_OK)
			return ::testing::AssertionFailure() << "cannot seek to " << position;
		if (!WaitFor([line](TVersoDView* v) { return v->CurrentLine() == line; }))
			return ::testing::AssertionFailure() << "at " << position << " line " << Current()
				<< " is current, not " << line;
		// a few more polls must not move it
		if (!WaitPolls() || Current() != line)
			return ::testing::AssertionFailure() << "at " << position << " the line moved on";
		return ::testing::AssertionSuccess();
	}
};

TEST_F(LyricsViewExtendedTest, EveryTagOfADownloadedFileMakesItsLineCurrent)
{
	ChangePrefs([](TPref& p) { p.readExtendedTags = true; }, 0);
	WriteLyrics(0, kDownloaded, "lrc");
	StartPlayer({"Song"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "First line"; }));
	EXPECT_EQ(Locked([&] { return fView->CountDisplayLines(); }), 4);
	EXPECT_EQ(Line(1), "Chorus");
	EXPECT_EQ(Line(3), "");

	// before the first tag the first shown line is current
	EXPECT_TRUE(At(1514, 0));
	EXPECT_TRUE(At(1515, 0));
	EXPECT_TRUE(At(3499, 0));
	EXPECT_TRUE(At(3500, 1));
	EXPECT_TRUE(At(5999, 1));
	EXPECT_TRUE(At(6000, 2));
	EXPECT_TRUE(At(6500, 3));
	EXPECT_TRUE(At(8499, 3));
	EXPECT_TRUE(At(8500, 1));     // the chorus again
	EXPECT_TRUE(At(500000, 1));
	EXPECT_TRUE(At(0, 0));
}

TEST_F(LyricsViewExtendedTest, ChangingTheReadingRereadsThePlayingSongsLyrics)
{
	WriteLyrics(0, kDownloaded, "lrc");
	StartPlayer({"Song"});
	OpenView();
	// plainly read: every line is there, headers as empty lines, and the
	// chorus shows its second tag
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CountDisplayLines() == 7; }));
	EXPECT_EQ(Line(4), "[00:09.000]Chorus");
	EXPECT_TRUE(At(4000, 4));     // the first tag only, no offset

	SetExtended(true);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CountDisplayLines() == 4; }));
	EXPECT_EQ(Line(1), "Chorus");
	// the current line is taken from the position at once
	EXPECT_EQ(Current(), 1);

	SetExtended(false);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CountDisplayLines() == 7; }));
	EXPECT_EQ(Current(), 4);
}

TEST_F(LyricsViewExtendedTest, ChangingTheReadEncodingRereadsTheLyrics)
{
	// "[00:00]あ" in Shift-JIS, read as UTF-8 first
	ChangePrefs([](TPref& p) { p.readEncoding = LYRICS_ENC_UTF8; }, 0);
	WriteLyrics(0, "[00:00]\x82\xa0\n");
	StartPlayer({"Song"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "\x82\xa0"; }));

	ChangePrefs([](TPref& p) { p.readEncoding = LYRICS_ENC_SJIS; }, kMsgReadingChanged);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "あ"; }));
}

TEST_F(LyricsViewExtendedTest, RepeatedTagIsPreparedAheadWithDoubleBuffering)
{
	ChangePrefs([](TPref& p) {
		p.readExtendedTags = true;
		p.doubleBuffering = true;
	}, 0);
	WriteLyrics(0, kDownloaded, "lrc");
	StartPlayer({"Song"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "First line"; }));

	// after the tag-only line the chorus comes next, so its screen is ready
	ASSERT_EQ(fPlayer->SetPosition(7000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->IsDoubleBuffered() && v->CurrentLine() == 3 && v->PreparedLine() == 1;
	}));
	// once it is current, nothing follows
	ASSERT_EQ(fPlayer->SetPosition(8500), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) {
		return v->CurrentLine() == 1 && v->PreparedLine() == -1;
	}));
}
