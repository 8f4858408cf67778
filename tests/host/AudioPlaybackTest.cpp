// The player with sound: short files written here play through libmpv on
// its silent output, in real time. The tests wait for what they expect
// with time limits; the positions the player reports are held against
// libmpv's own.
#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "HostProtocol.h"
#include "MelodeckPlayer.h"
#include "PlayerDisplay.h"
#include "PlayerWindow.h"
#include "TestUtil.h"
#include "WindowTestUtil.h"

#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>

#include <OS.h>

#include <stdlib.h>

#include <memory>
#include <string>

namespace {

// The player answers from libmpv's reports, which come about ten times a
// second, extrapolated between them: its answer may be off by up to one
// report's interval, plus the time the two questions lie apart.
const int32 kTolerance = 120;

int32 int32_of(const BMessage& message, const char* name)
{
	int32 value = -1;
	message.FindInt32(name, &value);
	return value;
}

bool bool_of(const BMessage& message, const char* name)
{
	bool value = false;
	message.FindBool(name, &value);
	return value;
}

class AudioPlayback : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fFolder.File("config").c_str(), 1);
	}

	void TearDown() override
	{
		if (fPlayer) {
			EXPECT_EQ(fPlayer->Quit(), B_OK);
		}
		fPlayer.reset();
		unsetenv("XDG_CONFIG_HOME");
	}

	std::string Tone(const std::string& name, int32 ms, double frequency = 440)
	{
		const std::string path = fFolder.File(name);
		EXPECT_TRUE(audiotest::write_wav_tone(path, ms, frequency)) << path;
		return path;
	}

	void Start(const std::vector<std::string>& files, bool repeat = true,
		bool window = false)
	{
		Playlist playlist;
		Playlist::Notes notes;
		for (const std::string& file : files)
			playlist.AddPath(file, &notes);
		Start(playlist, repeat, window);
	}

	void Start(const Playlist& playlist, bool repeat, bool window = false)
	{
		HostOptions options;
		options.showWindow = window;
		options.audio = true;
		options.audioOutput = "null";
		options.repeat = repeat;
		fPlayer = std::make_unique<MelodeckPlayer>(playlist, options);
		ASSERT_EQ(fPlayer->InitCheck(), B_OK);
	}

	std::string Problem()
	{
		BMessage state;
		const char* problem = "";
		if (fPlayer->GetState(&state) == B_OK)
			state.FindString(MELODECK_FIELD_PROBLEM, &problem);
		return problem;
	}

	testutil::TempDir fFolder;
	std::unique_ptr<MelodeckPlayer> fPlayer;
};

}

TEST_F(AudioPlayback, TheReportedPositionIsLibmpvsAndRunsWithTheSound)
{
	Start({Tone("tone.wav", 3000)});
	int32 reported = 0, audio = 0, index = -1;
	ASSERT_EQ(fPlayer->GetAudioPositions(&reported, &audio, &index), B_OK);
	EXPECT_EQ(index, 0);
	// the reported length comes from the file
	BMessage state;
	ASSERT_EQ(fPlayer->GetState(&state), B_OK);
	EXPECT_NEAR(int32_of(state, MELODECK_FIELD_LENGTH), 3000, 5);
	EXPECT_TRUE(bool_of(state, MELODECK_FIELD_AUDIO));

	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() > 300; }));
	int32 previous = 0;
	const bigtime_t start = system_time();
	int32 startPosition = -1;
	for (int i = 0; i < 12; i++) {
		ASSERT_EQ(fPlayer->GetAudioPositions(&reported, &audio), B_OK);
		if (audio < 0 || reported >= 2800)
			break;
		if (startPosition < 0)
			startPosition = reported;
		EXPECT_NEAR(reported, audio, kTolerance);
		// never backwards while the sound runs
		EXPECT_GE(reported, previous);
		previous = reported;
		// a little apart, to see it move between libmpv's reports
		const int32 target = reported + 137;
		ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() >= target; }));
	}
	// and it moves as fast as real time
	const int32 moved = previous - startPosition;
	const int32 elapsed = (int32)((system_time() - start) / 1000);
	EXPECT_GT(moved, 1000);
	EXPECT_NEAR(moved, elapsed, 2 * kTolerance);
}

TEST_F(AudioPlayback, PauseHoldsTheSoundAndSeekMovesIt)
{
	Start({Tone("tone.wav", 4000)});
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() > 300; }));

	ASSERT_EQ(fPlayer->Pause(), B_OK);
	EXPECT_FALSE(fPlayer->IsPlaying());
	const int32 held = fPlayer->Position();
	int32 reported = 0, audio = 0;
	// libmpv agrees where the sound stopped ...
	ASSERT_TRUE(testutil::wait_for([&] {
		return fPlayer->GetAudioPositions(&reported, &audio) == B_OK
			&& std::abs(audio - held) <= kTolerance;
	})) << "held at " << held << ", libmpv at " << audio;
	// ... and nothing moves while paused
	snooze(300000);
	ASSERT_EQ(fPlayer->GetAudioPositions(&reported, &audio), B_OK);
	EXPECT_NEAR(reported, held, kTolerance);
	EXPECT_NEAR(audio, held, kTolerance);
	const int32 settled = reported;
	snooze(200000);
	EXPECT_EQ(fPlayer->Position(), settled);

	// A seek while paused shows at once and stays. (Meanwhile libmpv
	// counts the sound waiting in its buffers as heard, and says a little
	// less: not what the player should report.)
	ASSERT_EQ(fPlayer->SetPosition(2500), B_OK);
	EXPECT_EQ(fPlayer->Position(), 2500);
	snooze(300000);
	EXPECT_EQ(fPlayer->Position(), 2500);
	EXPECT_FALSE(fPlayer->IsPlaying());

	// playing again goes on from there, as libmpv agrees
	ASSERT_EQ(fPlayer->Play(), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] {
		return fPlayer->GetAudioPositions(&reported, &audio) == B_OK && audio >= 2550;
	}));
	EXPECT_NEAR(reported, audio, kTolerance);
	EXPECT_LT(audio, 2500 + 600);
	// a seek back while playing too
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() >= 2800; }));
	ASSERT_EQ(fPlayer->SetPosition(500), B_OK);
	EXPECT_LT(fPlayer->Position(), 500 + kTolerance);
	ASSERT_TRUE(testutil::wait_for([&] {
		return fPlayer->GetAudioPositions(&reported, &audio) == B_OK && audio >= 500
			&& audio < 1500;
	}));
	EXPECT_NEAR(reported, audio, kTolerance);
	EXPECT_EQ(fPlayer->CurrentIndex(), 0);
}

TEST_F(AudioPlayback, NextThenTheEndOfTheListAfterTheSoundEnds)
{
	const std::string wav = Tone("first.wav", 1500, 330);
	const std::string second = fFolder.File("second.flac");
	ASSERT_TRUE(audiotest::convert(Tone("second-source.wav", 1200, 550), second,
		"The Second Song"));
	const std::string third = Tone("third.wav", 1000, 440);
	Start({wav, second, third}, false);

	// Next goes on at once; the title is the FLAC file's tag
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() > 200; }));
	ASSERT_EQ(fPlayer->Next(), B_OK);
	EXPECT_EQ(fPlayer->CurrentIndex(), 1);
	EXPECT_EQ(fPlayer->Title(), "The Second Song");
	EXPECT_LT(fPlayer->Position(), kTolerance);
	EXPECT_TRUE(fPlayer->IsPlaying());

	// The end of the song moves to the next one without a gap, but only
	// once the song has been heard to its end: the last position reported
	// for it is near its length.
	int32 last = 0;
	ASSERT_TRUE(testutil::wait_for([&] {
		int32 reported = 0, audio = 0, index = -1;
		if (fPlayer->GetAudioPositions(&reported, &audio, &index) != B_OK)
			return false;
		if (index == 1)
			last = reported;
		return index == 2;
	}));
	EXPECT_GT(last, 1200 - 2 * kTolerance) << "switched early";
	int32 reported = 0, audio = 0, index = -1;
	ASSERT_EQ(fPlayer->GetAudioPositions(&reported, &audio, &index), B_OK);
	EXPECT_LT(reported, 2 * kTolerance);

	// the last entry ends: playback stops at the first entry
	ASSERT_TRUE(testutil::wait_for([&] { return !fPlayer->IsPlaying(); }));
	EXPECT_EQ(fPlayer->CurrentIndex(), 0);
	EXPECT_EQ(fPlayer->Position(), 0);
	EXPECT_EQ(fPlayer->GetAudioPositions(&reported, &audio), B_OK);
	EXPECT_EQ(audio, -1);

	// and plays again when asked
	ASSERT_EQ(fPlayer->Play(), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->Position() > 100; }));
	EXPECT_EQ(fPlayer->CurrentIndex(), 0);
}

TEST_F(AudioPlayback, UnplayableEntriesAreReportedAndSkipped)
{
	fFolder.Write("not-audio.mp3", "this is no song\n");
	{
		// a WAV header that promises much, and nothing after it
		std::string head = testutil::read_file(Tone("whole.wav", 500));
		fFolder.Write("damaged.wav", head.substr(0, 40) + std::string(3, '\x7f'));
	}
	Tone("good.wav", 2000);
	// the missing file is named by a playlist, as only playlists can
	const std::string list = fFolder.Write("list.m3u", "missing.wav\nnot-audio.mp3\n"
		"damaged.wav\ngood.wav\n");
	Start({list}, true);
	ASSERT_TRUE(testutil::wait_for([&] {
		return fPlayer->CurrentIndex() == 3 && fPlayer->Position() > 100;
	}));
	EXPECT_TRUE(fPlayer->IsPlaying());
	// the last one skipped is named while the next one plays
	const std::string problem = Problem();
	EXPECT_NE(problem.find("Skipped 3"), std::string::npos) << problem;
	EXPECT_NE(problem.find("damaged"), std::string::npos) << problem;
	int32 reported = 0, audio = 0;
	ASSERT_EQ(fPlayer->GetAudioPositions(&reported, &audio), B_OK);
	EXPECT_NEAR(reported, audio, kTolerance);

	// a missing file is reported as missing
	ASSERT_EQ(fPlayer->Quit(), B_OK);
	fPlayer.reset();
	// the player's window shows it
	Start({fFolder.Write("missing.m3u", "missing.wav\ngood.wav\n")}, false, true);
	ASSERT_TRUE(testutil::wait_for([&] { return fPlayer->CurrentIndex() == 1; }));
	const std::string skipped = "Skipped 1 \"missing\": No such file or directory";
	EXPECT_EQ(Problem(), skipped);
	EXPECT_TRUE(fPlayer->IsPlaying());
	BWindow* window = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		window = windowtest::find_window(kPlayerWindowTitle);
		return window != nullptr;
	}));
	auto shown = [&] {
		return windowtest::locked(window, std::string(), [](BWindow* w) {
			PlayerDisplay* display = dynamic_cast<PlayerDisplay*>(w->FindView("display"));
			return display != nullptr ? display->ProblemText() : std::string();
		});
	};
	EXPECT_TRUE(testutil::wait_for([&] { return shown() == skipped; })) << shown();
	// and no longer once the list has moved on past the entry after it
	ASSERT_EQ(fPlayer->Select(1), B_OK);
	ASSERT_EQ(fPlayer->Next(), B_OK);
	EXPECT_TRUE(testutil::wait_for([&] { return shown().empty(); })) << shown();
}

TEST_F(AudioPlayback, APlaylistWithNothingPlayableStops)
{
	const std::string text = fFolder.Write("a.mp3", "not a song\n");
	const std::string other = fFolder.Write("b.ogg", "nor this\n");
	Start({text, other}, true);
	// repeating would go round for ever: it stops instead, and says so
	ASSERT_TRUE(testutil::wait_for([&] { return !fPlayer->IsPlaying(); }));
	EXPECT_EQ(Problem(), "Nothing in the playlist can be played");
	EXPECT_EQ(fPlayer->CurrentIndex(), 0);
	EXPECT_EQ(fPlayer->Position(), 0);
	// and the player goes on answering
	EXPECT_EQ(fPlayer->Title(), "a");
}

TEST_F(AudioPlayback, VolumeAndMuteAreKept)
{
	Start({Tone("tone.wav", 2000)}, true, true);
	BWindow* window = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		window = windowtest::find_window(kPlayerWindowTitle);
		return window != nullptr;
	}));
	// the window's Mute item: enabled with sound, marked when muted
	auto mute_item = [&](bool* marked) {
		return windowtest::locked(window, false, [&](BWindow* w) {
			BMenuBar* bar = dynamic_cast<BMenuBar*>(w->FindView("menu bar"));
			BMenuItem* item = bar != nullptr ? bar->FindItem("Mute") : nullptr;
			if (item == nullptr)
				return false;
			*marked = item->IsMarked();
			return item->IsEnabled();
		});
	};
	bool marked = true;
	ASSERT_TRUE(testutil::wait_for([&] { return mute_item(&marked); }));
	EXPECT_FALSE(marked);

	BMessage message(kMelodeckSetVolume);
	message.AddInt32(MELODECK_FIELD_OFFSET, -30);
	BMessage reply;
	ASSERT_EQ(fPlayer->Messenger().SendMessage(&message, &reply), B_OK);
	BMessage mute(kMelodeckToggleMute);
	ASSERT_EQ(fPlayer->Messenger().SendMessage(&mute, &reply), B_OK);

	BMessage state;
	ASSERT_EQ(fPlayer->GetState(&state), B_OK);
	EXPECT_EQ(int32_of(state, MELODECK_FIELD_VOLUME), 70);
	EXPECT_TRUE(bool_of(state, MELODECK_FIELD_MUTED));
	EXPECT_TRUE(testutil::wait_for([&] { return mute_item(&marked) && marked; }));

	// out of range is held at the ends
	BMessage loud(kMelodeckSetVolume);
	loud.AddInt32(MELODECK_FIELD_VOLUME, 250);
	ASSERT_EQ(fPlayer->Messenger().SendMessage(&loud, &reply), B_OK);
	ASSERT_EQ(fPlayer->GetState(&state), B_OK);
	EXPECT_EQ(int32_of(state, MELODECK_FIELD_VOLUME), 100);

	// the manual clock is not the sound's
	EXPECT_EQ(fPlayer->Advance(1000), B_NOT_ALLOWED);
}
