// Playback that follows another player: what it reports comes from the
// source, and what it is told goes to the source.
#include <gtest/gtest.h>

#include "ManualClock.h"
#include "Playback.h"

#include <string>
#include <vector>

namespace {

class FakeSource : public PlaybackSource {
public:
	SourceState state;
	int32 position = 0;
	std::vector<std::string> calls;

	void Change() { state.generation++; }

	virtual uint64 Generation() override { return state.generation; }
	virtual void GetState(SourceState* out) override { *out = state; }
	virtual int32 Position() override { return position; }
	virtual void Play() override { calls.push_back("play"); }
	virtual void Pause() override { calls.push_back("pause"); }
	virtual void TogglePlay() override { calls.push_back("toggle"); }
	virtual void Next() override { calls.push_back("next"); }
	virtual void Previous() override { calls.push_back("previous"); }
	virtual void SetPosition(int32 ms) override
	{
		calls.push_back("position " + std::to_string(ms));
	}
	virtual void Select(int32 index) override
	{
		calls.push_back("select " + std::to_string(index));
	}
};

SourceTrack track(const char* file, const char* title, int32 length)
{
	SourceTrack result;
	result.filename = file;
	result.title = title;
	result.length = length;
	return result;
}

}

TEST(PlaybackSource, ReportsTheSourceAndPassesCommandsOn)
{
	ManualClock clock;
	Playlist own;
	PlaylistEntry entry;
	entry.filename = "/music/own.flac";
	entry.title = "Own";
	entry.length = 60000;
	own.AddEntry(entry);
	Playback playback(own, &clock);

	FakeSource source;
	playback.SetSource(&source);
	// nothing followed yet: an empty playlist
	EXPECT_EQ(playback.CurrentIndex(), -1);
	EXPECT_EQ(playback.CurrentEntry(), nullptr);
	EXPECT_EQ(playback.Position(), 0);

	source.state.tracks = {track("/music/a.mp3", "A", 5000),
		track("https://radio.example/live", "Live", 0)};
	source.state.index = 0;
	source.state.playing = true;
	source.position = 4200;
	source.Change();
	ASSERT_NE(playback.CurrentEntry(), nullptr);
	EXPECT_EQ(playback.CurrentEntry()->filename, "/music/a.mp3");
	EXPECT_EQ(playback.List().CountEntries(), 2);
	EXPECT_TRUE(playback.IsPlaying());
	EXPECT_EQ(playback.Position(), 4200);
	// past a known length the position stops at the end; an unknown one
	// is no limit
	source.position = 9000;
	EXPECT_EQ(playback.Position(), 5000);
	source.state.index = 1;
	source.Change();
	EXPECT_EQ(playback.CurrentEntry()->title, "Live");
	EXPECT_EQ(playback.Position(), 9000);
	source.position = -40;
	EXPECT_EQ(playback.Position(), 0);

	// the clock does not end the source's tracks
	clock.Advance(60000000);
	EXPECT_EQ(playback.CurrentIndex(), 1);

	playback.Pause();
	playback.Play();
	playback.TogglePlay();
	playback.Next();
	playback.Previous();
	playback.SetPosition(1500);
	EXPECT_EQ(playback.Select(0), B_OK);
	EXPECT_EQ(playback.Select(7), B_BAD_INDEX);
	EXPECT_EQ(source.calls, (std::vector<std::string>{"pause", "play", "toggle", "next",
		"previous", "position 1500", "select 0"}));

	// let go: the last track stays, paused where it was
	source.position = 2500;
	playback.SetSource(NULL);
	EXPECT_FALSE(playback.IsPlaying());
	EXPECT_EQ(playback.CurrentIndex(), 1);
	EXPECT_EQ(playback.Position(), 2500);
	clock.Advance(1000000);
	EXPECT_EQ(playback.Position(), 2500);
}
