// End to end: the substitute player runs headless with the real gen_VersoD
// library and a playlist whose songs have lyrics files beside them. The test
// moves the player's clock and reads what the lyrics window shows: the
// current line of its view, and the highlighted band in its pixels.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "MelodeckPlayer.h"

#include "lyrics/TVersoDView.h"

#include <Application.h>
#include <View.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The default colours of the lyrics view.
const uint32 kBackground = 0x000000;
const uint32 kBand = 0x333300;
const uint32 kFrame = 0xffff99;

struct Shown {
	int32 current = -1;
	std::string text;     // the current line's text
	std::string first;    // the first line of what is loaded
	int32 lines = 0;
};

// The pixels of the highlighted band: every row whose left edge shows the
// band's colour, from top to bottom.
struct Band {
	int32 top = -1;
	int32 bottom = -1;
	std::vector<uint32> pixels;
	int32 ink = 0;   // pixels of the text inside the band
};

class EndToEnd : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fMusic.File("config").c_str(), 1);
		fMusic.Write("paper-lanterns.lrc",
			"Paper Lanterns\n"
			"[00:02.00]Lanterns on the water\n"
			"[00:05.00]drifting out to sea\n"
			"[00:09.50]every light a name\n");
		// no .lrc for this one: the .txt beside it is read, CR-LF and all
		fMusic.Write("station-clock.txt",
			"[00:00.00]Station clock is ticking\r\n"
			"[00:03.00]the last train leaves at ten\r\n");

		Playlist playlist;
		for (const char* name : {"paper-lanterns", "station-clock"}) {
			PlaylistEntry entry;
			entry.title = name;
			entry.filename = fMusic.File(std::string(name) + ".mp3");
			entry.length = 20000;
			playlist.AddEntry(entry);
		}
		HostOptions options;
		options.pluginFiles.push_back(VERSOD_PLUGIN_PATH);
		options.showWindow = true;
		options.tickInterval = 0;
		fPlayer = std::make_unique<MelodeckPlayer>(playlist, options);
		ASSERT_EQ(fPlayer->InitCheck(), B_OK);
		ASSERT_TRUE(testutil::wait_for([&] {
			fLyrics = windowtest::find_window("Verso Displayer");
			return fLyrics != nullptr;
		}));
	}

	void TearDown() override
	{
		if (fPlayer) {
			EXPECT_EQ(fPlayer->Quit(), B_OK);
		}
		fPlayer.reset();
		unsetenv("XDG_CONFIG_HOME");
	}

	Shown Read()
	{
		Shown shown;
		if (!fLyrics->Lock())
			return shown;
		BView* child = fLyrics->FindView("VersoDisplayerView");
		// the view comes from the library: checked by name, never by a
		// dynamic_cast across the library's boundary
		if (child != nullptr && strcmp(child->Name(), "VersoDisplayerView") == 0) {
			const TVersoDView* view = static_cast<const TVersoDView*>(child);
			shown.current = view->CurrentLine();
			shown.text = view->DisplayLine(shown.current);
			shown.first = view->DisplayLine(0);
			shown.lines = view->CountDisplayLines();
		}
		fLyrics->Unlock();
		return shown;
	}

	bool WaitFor(const std::string& first, const std::string& current)
	{
		return testutil::wait_for([&] {
			const Shown shown = Read();
			return shown.first == first && shown.text == current;
		});
	}

	Band ReadBand()
	{
		Band band;
		windowtest::Pixels pixels(fLyrics);
		for (int32 y = 0; y < pixels.Height(); y++) {
			if (pixels.At(2, y) != kBand)
				continue;
			if (band.top < 0)
				band.top = y;
			band.bottom = y;
			for (int32 x = 0; x < pixels.Width(); x++) {
				const uint32 pixel = pixels.At(x, y);
				band.pixels.push_back(pixel);
				if (pixel != kBand && pixel != kFrame)
					band.ink++;
			}
		}
		// the band is alone on the black background, centred
		EXPECT_EQ(pixels.At(2, 0), kBackground);
		EXPECT_EQ(pixels.At(2, pixels.Height() - 1), kBackground);
		if (band.top >= 0) {
			const int32 middle = (band.top + band.bottom) / 2;
			EXPECT_NEAR(middle, pixels.Height() / 2, 2);
		}
		return band;
	}

	testutil::TempDir fMusic;
	std::unique_ptr<MelodeckPlayer> fPlayer;
	BWindow* fLyrics = nullptr;
};

}

TEST_F(EndToEnd, TheLyricsWindowFollowsThePlayingSong)
{
	// before the first tag the first line, untimed, is current
	ASSERT_TRUE(WaitFor("Paper Lanterns", "Paper Lanterns"));
	EXPECT_EQ(Read().current, 0);
	EXPECT_EQ(Read().lines, 4);
	const Band title = ReadBand();
	ASSERT_GT(title.top, 0);
	EXPECT_GT(title.ink, 10);

	// a tag's own time reaches its line
	ASSERT_EQ(fPlayer->Advance(2000), B_OK);
	ASSERT_TRUE(WaitFor("Paper Lanterns", "Lanterns on the water"));
	EXPECT_EQ(Read().current, 1);
	const Band first = ReadBand();
	EXPECT_GT(first.ink, 10);
	EXPECT_NE(first.pixels, title.pixels);

	// between two tags the line stays, and so does the picture
	ASSERT_EQ(fPlayer->Advance(2900), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() >= 4900; }));
	EXPECT_EQ(Read().current, 1);
	EXPECT_EQ(ReadBand().pixels, first.pixels);

	ASSERT_EQ(fPlayer->Advance(100), B_OK);
	ASSERT_TRUE(WaitFor("Paper Lanterns", "drifting out to sea"));
	const Band second = ReadBand();
	EXPECT_NE(second.pixels, first.pixels);

	ASSERT_EQ(fPlayer->Advance(5000), B_OK);
	ASSERT_TRUE(WaitFor("Paper Lanterns", "every light a name"));
	EXPECT_EQ(Read().current, 3);

	// the next song: its lyrics replace the first song's
	ASSERT_EQ(fPlayer->Advance(10500), B_OK);
	ASSERT_EQ(fPlayer->CurrentIndex(), 1);
	ASSERT_TRUE(WaitFor("Station clock is ticking", "Station clock is ticking"));
	EXPECT_EQ(Read().lines, 2);
	const Band next = ReadBand();
	EXPECT_GT(next.ink, 10);

	ASSERT_EQ(fPlayer->Advance(3000), B_OK);
	ASSERT_TRUE(WaitFor("Station clock is ticking", "the last train leaves at ten"));
	EXPECT_NE(ReadBand().pixels, next.pixels);
}

TEST_F(EndToEnd, ASongWithoutLyricsShowsTheProgramInstead)
{
	ASSERT_TRUE(WaitFor("Paper Lanterns", "Paper Lanterns"));
	std::remove(fMusic.File("station-clock.txt").c_str());

	ASSERT_EQ(fPlayer->Next(), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return Read().first.rfind("Verso Displayer", 0) == 0; }));
	EXPECT_EQ(Read().lines, 2);
	EXPECT_EQ(Read().current, 0);

	// the file appears while the song plays: the window notices it
	fMusic.Write("station-clock.lrc", "[00:00]Late lyrics\n");
	EXPECT_TRUE(WaitFor("Late lyrics", "Late lyrics"));
}
