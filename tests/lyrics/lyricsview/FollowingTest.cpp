// The view follows the player: which line is current, song changes, and
// lyrics files that change on disk while the song plays.
#include "ViewHarness.h"

#include "plugin/AppGlobals.h"

#include <stdio.h>

using lyricsview::LyricsViewTest;

namespace {

const char* const kTimed =
	"intro\n"
	"[00:01.00]one\n"
	"untimed\n"
	"[00:03.00]three\n"
	"[00:03.00]three again\n"
	"[00:05.00]five\n";

bool shows_information(TVersoDView* view)
{
	return view->CountDisplayLines() == 2
		&& view->DisplayLine(0).rfind(gAppName, 0) == 0;
}

}

TEST_F(LyricsViewTest, CurrentLineFollowsThePositionAtBeforeAndBetweenTags)
{
	WriteLyrics(0, kTimed);
	StartPlayer({"First"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "intro"; }));
	EXPECT_EQ(Locked([&] { return fView->CountDisplayLines(); }), 6);

	// before the first tag the first line (untimed) is current
	ASSERT_EQ(fPlayer->SetPosition(999), B_OK);
	ASSERT_TRUE(WaitPolls());
	EXPECT_EQ(Current(), 0);

	// a tag equal to the position counts as reached
	ASSERT_EQ(fPlayer->SetPosition(1000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 1; }));

	// between two tags the earlier one's line stays; the untimed line after
	// it never becomes current
	ASSERT_EQ(fPlayer->SetPosition(2999), B_OK);
	ASSERT_TRUE(WaitPolls());
	EXPECT_EQ(Current(), 1);

	// two tags with the same time: the later line wins
	ASSERT_EQ(fPlayer->Advance(1), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 4; }));

	// playing on past the last tag, and seeking back
	ASSERT_EQ(fPlayer->Advance(60000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 5; }));
	ASSERT_EQ(fPlayer->SetPosition(0), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 0; }));
}

TEST_F(LyricsViewTest, UntimedLyricsStayOnTheFirstLine)
{
	WriteLyrics(0, "first\nsecond\nthird\n");
	StartPlayer({"First"});
	OpenView();
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(2) == "third"; }));
	ASSERT_EQ(fPlayer->Advance(30000), B_OK);
	ASSERT_TRUE(WaitPolls());
	EXPECT_EQ(Current(), 0);
	EXPECT_EQ(Locked([&] { return fView->CountDisplayLines(); }), 3);
}

TEST_F(LyricsViewTest, SongChangesLoadTheNewSongsLyricsOrTheInformation)
{
	// 38 three-byte characters: the player's block holds only 111 bytes of
	// the title, so no playlist entry carries the title it reports
	std::string longTitle;
	for (int i = 0; i < 38; i++)
		longTitle += "歌";

	WriteLyrics(0, "[00:00.00]first song\n");
	WriteLyrics(1, "[00:00.00]second song\n[00:02.00]second line\n");
	// song 2 has no lyrics file
	WriteLyrics(3, "[00:00.00]fourth song\n");
	StartPlayer({"First", "Second", "Third", longTitle});
	OpenView();

	// before the first answer the information is shown
	EXPECT_TRUE(Locked([&] { return shows_information(fView); }));
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "first song"; }));

	ASSERT_EQ(fPlayer->Select(1), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "second song"; }));
	ASSERT_EQ(fPlayer->SetPosition(2000), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->CurrentLine() == 1; }));
	EXPECT_EQ(Locked([&] { return fView->LyricsFName(); }), SongPath(1, "txt"));

	// a song without lyrics: the information, from line 0
	ASSERT_EQ(fPlayer->Select(2), B_OK);
	ASSERT_TRUE(WaitFor(shows_information));
	EXPECT_EQ(Current(), 0);
	// the lyrics file that does not exist yet is still named
	EXPECT_EQ(Locked([&] { return fView->LyricsFName(); }), SongPath(2, "txt"));

	// a title that no entry carries: the information stays, poll after
	// poll, although that song has lyrics
	ASSERT_EQ(fPlayer->Select(3), B_OK);
	ASSERT_TRUE(WaitPolls(6));
	EXPECT_TRUE(Locked([&] { return shows_information(fView); }));
	EXPECT_EQ(Locked([&] { return fView->LyricsFName(); }), "");

	// and a known song afterwards loads again
	ASSERT_EQ(fPlayer->Select(0), B_OK);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "first song"; }));
}

TEST_F(LyricsViewTest, LyricsFileCreatedRewrittenReplacedAndRemovedWhilePlaying)
{
	StartPlayer({"First"});
	OpenView();
	ASSERT_TRUE(WaitPolls(4));
	EXPECT_TRUE(Locked([&] { return shows_information(fView); }));

	// created after the song started: the folder's watch reports it
	WriteLyrics(0, "[00:00.00]created\n");
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "created"; }));

	// saved again, twice within the same second: both saves show
	WriteLyrics(0, "[00:00.00]saved once\n");
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "saved once"; }));
	WriteLyrics(0, "[00:00.00]saved twice\n");
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "saved twice"; }));

	// written in place rather than replaced
	{
		FILE* file = fopen(SongPath(0, "txt").c_str(), "w");
		ASSERT_NE(file, nullptr);
		fputs("[00:00.00]in place\n[00:01.00]more\n", file);
		fclose(file);
	}
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(1) == "more"; }));

	// an .lrc file takes over from the .txt
	WriteLyrics(0, "[00:00.00]from lrc\n", "lrc");
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "from lrc"; }));
	EXPECT_EQ(Locked([&] { return fView->LyricsFName(); }), SongPath(0, "lrc"));

	// the .lrc removed: back to the .txt
	ASSERT_EQ(remove(SongPath(0, "lrc").c_str()), 0);
	ASSERT_TRUE(WaitFor([](TVersoDView* v) { return v->DisplayLine(0) == "in place"; }));

	// both removed: the information
	ASSERT_EQ(remove(SongPath(0, "txt").c_str()), 0);
	ASSERT_TRUE(WaitFor(shows_information));
	EXPECT_EQ(Locked([&] { return fView->LyricsModificationTime(); }), 0);
}
