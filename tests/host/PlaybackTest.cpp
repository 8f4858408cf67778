#include <gtest/gtest.h>

#include "ManualClock.h"
#include "Playback.h"

namespace {

// Three entries of 10 s, 20 s and 5 s.
Playlist three_entries()
{
	Playlist playlist;
	const char* titles[] = {"One", "Two", "Three"};
	const int32 lengths[] = {10000, 20000, 5000};
	for (int i = 0; i < 3; i++) {
		PlaylistEntry entry;
		entry.filename = std::string("/music/") + titles[i] + ".mp3";
		entry.title = titles[i];
		entry.length = lengths[i];
		playlist.AddEntry(entry);
	}
	return playlist;
}

const bigtime_t kSecond = 1000000;

}

TEST(Playback, EntriesEndOnTheClockAndTheNextOneStarts)
{
	ManualClock clock(5 * kSecond);
	Playback playback(three_entries(), &clock);
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_FALSE(playback.IsPlaying());

	// nothing moves before play
	clock.Advance(3 * kSecond);
	EXPECT_EQ(playback.Position(), 0);

	playback.Play();
	clock.Advance(9 * kSecond + 999000);
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_EQ(playback.Position(), 9999);

	// across the end: the time past it belongs to the next entry
	clock.Advance(1500 * 1000);
	EXPECT_EQ(playback.CurrentIndex(), 1);
	EXPECT_EQ(playback.Position(), 1499);
	EXPECT_TRUE(playback.IsPlaying());
	EXPECT_TRUE(playback.List().EntryAt(1)->played);
	EXPECT_FALSE(playback.List().EntryAt(2)->played);

	// a jump over several entries and whole rounds of the playlist: the
	// playlist is 35 s long; 18.501 s left in Two, then 5 s of Three, then
	// 3 × 35 s, then 2 s into One
	clock.Advance(18501 * 1000 + 5 * kSecond + 3 * 35 * kSecond + 2 * kSecond);
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_EQ(playback.Position(), 2000);
	EXPECT_TRUE(playback.List().EntryAt(2)->played);
}

TEST(Playback, PauseHoldsThePositionAndPlayResumesIt)
{
	ManualClock clock;
	Playback playback(three_entries(), &clock);
	playback.Play();
	clock.Advance(4 * kSecond);
	playback.Pause();
	EXPECT_FALSE(playback.IsPlaying());
	clock.Advance(60 * kSecond);
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_EQ(playback.Position(), 4000);

	playback.TogglePlay();
	clock.Advance(kSecond);
	EXPECT_EQ(playback.Position(), 5000);

	// a seek while paused stays put; a seek past the end is held at the end
	playback.Pause();
	playback.SetPosition(7000);
	clock.Advance(kSecond);
	EXPECT_EQ(playback.Position(), 7000);
	playback.SetPosition(-50);
	EXPECT_EQ(playback.Position(), 0);

	// while playing, a seek to the very end ends the entry
	playback.Play();
	playback.SetPosition(999999);
	EXPECT_EQ(playback.CurrentIndex(), 1);
	EXPECT_EQ(playback.Position(), 0);
}

TEST(Playback, TheEndOfThePlaylistRepeatsOrStops)
{
	ManualClock clock;
	Playback repeating(three_entries(), &clock);
	repeating.Select(2);
	clock.Advance(6 * kSecond);
	EXPECT_EQ(repeating.CurrentIndex(), 0);
	EXPECT_EQ(repeating.Position(), 1000);
	EXPECT_TRUE(repeating.IsPlaying());

	Playback stopping(three_entries(), &clock);
	stopping.SetRepeat(false);
	stopping.Select(2);
	clock.Advance(60 * kSecond);
	EXPECT_FALSE(stopping.IsPlaying());
	EXPECT_EQ(stopping.CurrentIndex(), 0);
	EXPECT_EQ(stopping.Position(), 0);
	// and it stays there
	clock.Advance(60 * kSecond);
	EXPECT_EQ(stopping.Position(), 0);
}

TEST(Playback, NextPreviousAndSelect)
{
	ManualClock clock;
	Playback playback(three_entries(), &clock);
	EXPECT_EQ(playback.Select(3), B_BAD_INDEX);
	EXPECT_EQ(playback.Select(-1), B_BAD_INDEX);
	EXPECT_FALSE(playback.IsPlaying());

	EXPECT_EQ(playback.Select(1), B_OK);
	EXPECT_TRUE(playback.IsPlaying());
	clock.Advance(3 * kSecond);
	playback.Next();
	EXPECT_EQ(playback.CurrentIndex(), 2);
	EXPECT_EQ(playback.Position(), 0);
	playback.Next();
	EXPECT_EQ(playback.CurrentIndex(), 0);   // repeating
	playback.Previous();
	EXPECT_EQ(playback.CurrentIndex(), 2);

	// paused stays paused across next and previous
	playback.Pause();
	playback.Previous();
	EXPECT_EQ(playback.CurrentIndex(), 1);
	EXPECT_FALSE(playback.IsPlaying());

	playback.SetRepeat(false);
	playback.Select(0);
	clock.Advance(2 * kSecond);
	playback.Previous();
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_EQ(playback.Position(), 0);
	playback.Select(2);
	playback.Next();
	EXPECT_EQ(playback.CurrentIndex(), 0);
	EXPECT_FALSE(playback.IsPlaying());
}

TEST(Playback, AnEmptyPlaylistDoesNothing)
{
	ManualClock clock;
	Playback playback(Playlist(), &clock);
	playback.Play();
	playback.Next();
	playback.Previous();
	playback.SetPosition(1000);
	clock.Advance(kSecond);
	EXPECT_EQ(playback.CurrentIndex(), -1);
	EXPECT_EQ(playback.CurrentEntry(), nullptr);
	EXPECT_EQ(playback.Position(), 0);
	EXPECT_FALSE(playback.IsPlaying());
}
