// End to end with sound: the player plays a real (generated) song through
// libmpv's silent output, and gen_VersoD follows its lyrics line by line.
// Every line must show once the sound has reached its time, never before.
#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "MelodeckPlayer.h"

#include "lyrics/TVersoDView.h"

#include <View.h>
#include <Window.h>

#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

// libmpv reports its position about ten times a second; the player
// extrapolates between the reports.
const int32 kTolerance = 120;
// The displayer asks the player 40 times a second and then draws: a line
// shows this long after its time at the latest, on a busy machine.
const int32 kLateness = 600;

std::string current_line(BWindow* lyrics)
{
	return windowtest::locked(lyrics, std::string(), [](BWindow* window) {
		BView* child = window->FindView("VersoDisplayerView");
		if (child == nullptr || strcmp(child->Name(), "VersoDisplayerView") != 0)
			return std::string();
		const TVersoDView* view = static_cast<const TVersoDView*>(child);
		return std::string(view->DisplayLine(view->CurrentLine()));
	});
}

}

TEST(EndToEndSound, TheLyricsFollowTheSoundLineByLine)
{
	testutil::TempDir music;
	setenv("XDG_CONFIG_HOME", music.File("config").c_str(), 1);
	const std::string song = music.File("harbour-bells.wav");
	ASSERT_TRUE(audiotest::write_wav_tone(song, 4500, 392));
	music.Write("harbour-bells.lrc",
		"Harbour Bells\n"
		"[00:01.00]bells across the harbour\n"
		"[00:02.20]ringing in the fog\n"
		"[00:03.40]every ship comes home\n");

	Playlist playlist;
	Playlist::Notes notes;
	ASSERT_EQ(playlist.AddFile(song, &notes), B_OK);
	HostOptions options;
	options.pluginFiles.push_back(VERSOD_PLUGIN_PATH);
	options.showWindow = true;
	options.audio = true;
	options.audioOutput = "null";
	options.repeat = false;
	// the player waits, so that the test sees the song from its start
	options.startPlaying = false;
	auto player = std::make_unique<MelodeckPlayer>(playlist, options);
	ASSERT_EQ(player->InitCheck(), B_OK);
	BWindow* lyrics = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		lyrics = windowtest::find_window("Verso Displayer");
		return lyrics != nullptr;
	}));
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "Harbour Bells"; }));

	ASSERT_EQ(player->Play(), B_OK);
	const struct {
		int32 time;
		const char* text;
	} lines[] = {
		{1000, "bells across the harbour"},
		{2200, "ringing in the fog"},
		{3400, "every ship comes home"},
	};
	for (const auto& line : lines) {
		ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == line.text; },
			8000000)) << line.text;
		int32 reported = 0, audio = 0;
		ASSERT_EQ(player->GetAudioPositions(&reported, &audio), B_OK);
		if (audio < 0)
			audio = 4500;   // the song has ended meanwhile
		EXPECT_GE(audio, line.time - kTolerance) << line.text << " shown early";
		EXPECT_LE(audio, line.time + kLateness) << line.text << " shown late";
	}

	// the song ends and the list with it
	ASSERT_TRUE(testutil::wait_for([&] { return !player->IsPlaying(); }, 8000000));
	EXPECT_EQ(player->Quit(), B_OK);
	player.reset();
	unsetenv("XDG_CONFIG_HOME");
}
