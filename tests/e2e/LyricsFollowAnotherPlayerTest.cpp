// End to end with another player: mpv plays two generated songs on its
// silent output and offers them on a private session bus through its MPRIS
// script; Melodeck follows it (--follow mpv) and gen_VersoD shows the lyrics
// beside the songs, through pause, seek, a change of track, and mpv quitting
// and starting again.
#include <gtest/gtest.h>

#include "AudioTestUtil.h"
#include "DBusTestUtil.h"
#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "MelodeckPlayer.h"

#include "lyrics/TVersoDView.h"

#include <View.h>
#include <Window.h>

#include <gio/gio.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kPlayer = "org.mpris.MediaPlayer2.Player";
const bigtime_t kPollInterval = 500000;
// A change the followed player signals shows within one poll interval;
// what it does not signal, within one more. Both on a busy machine.
const bigtime_t kFollowTime = 2 * kPollInterval + 1000000;
// How far the position Melodeck reports may be from mpv's own (ms).
const int32 kPositionTolerance = 60;

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

// The bus name mpv's script took ("…mpv", or "…mpv.instanceN").
std::string mpv_name(dbustest::PrivateBus& bus)
{
	GVariant* reply = g_dbus_connection_call_sync(bus.Connection(), "org.freedesktop.DBus",
		"/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames", NULL,
		G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, 5000, NULL, NULL);
	std::string found;
	if (reply == NULL)
		return found;
	GVariantIter* iter = NULL;
	const gchar* name = NULL;
	g_variant_get(reply, "(as)", &iter);
	while (g_variant_iter_loop(iter, "&s", &name)) {
		if (strncmp(name, "org.mpris.MediaPlayer2.mpv", 26) == 0)
			found = name;
	}
	g_variant_iter_free(iter);
	g_variant_unref(reply);
	return found;
}

// mpv's own position (ms), -1 when it does not answer.
int32 mpv_position(dbustest::PrivateBus& bus, const std::string& name)
{
	GVariant* value = bus.Get(name, kPlayer, "Position");
	if (value == NULL)
		return -1;
	const int32 ms = (int32)(g_variant_get_int64(value) / 1000);
	g_variant_unref(value);
	return ms;
}

// Melodeck's position against mpv's, asked in between two of Melodeck's:
// how far mpv's lies outside the span of Melodeck's two (ms, 0: inside).
int32 position_error(MelodeckPlayer& player, dbustest::PrivateBus& bus,
	const std::string& name)
{
	const int32 before = player.Position();
	const int32 theirs = mpv_position(bus, name);
	const int32 after = player.Position();
	if (theirs < 0)
		return INT32_MAX;
	if (theirs < before)
		return before - theirs;
	if (theirs > after)
		return theirs - after;
	return 0;
}

// The median of a few comparisons (a busy machine delays one now and
// then); the worst is printed too.
int32 typical_error(MelodeckPlayer& player, dbustest::PrivateBus& bus,
	const std::string& name, const char* when)
{
	std::vector<int32> errors;
	for (int i = 0; i < 7; i++)
		errors.push_back(position_error(player, bus, name));
	std::sort(errors.begin(), errors.end());
	printf("%s: Melodeck's position %d ms from mpv's (worst %d ms)\n", when,
		(int)errors[errors.size() / 2], (int)errors.back());
	return errors[errors.size() / 2];
}

std::unique_ptr<dbustest::Process> start_mpv(const std::vector<std::string>& files,
	bool paused)
{
	std::vector<std::string> argv = {"mpv", "--no-config", "--no-terminal", "--ao=null",
		"--vo=null", "--no-video", "--idle=no", "--hr-seek=yes", "--script=" + dbustest::mpv_mpris_script()};
	if (paused)
		argv.push_back("--pause");
	argv.push_back("--");
	argv.insert(argv.end(), files.begin(), files.end());
	return std::make_unique<dbustest::Process>(argv);
}

void write_song(const testutil::TempDir& music, const char* name, const char* title,
	const char* prefix)
{
	ASSERT_TRUE(audiotest::write_wav_tone(music.File(std::string(name) + ".wav"), 9000, 330));
	const std::string p = prefix;
	music.Write(std::string(name) + ".lrc", std::string(title) + "\n"
		"[00:01.00]" + p + " one\n"
		"[00:03.00]" + p + " two\n"
		"[00:05.00]" + p + " three\n"
		"[00:07.00]" + p + " four\n");
}

}

TEST(EndToEndFollow, TheLyricsFollowMpvThroughPauseSeekNextAndRestart)
{
	dbustest::PrivateBus bus;
	ASSERT_TRUE(bus.IsRunning()) << "dbus-daemon is needed (scripts/setup installs it)";
	ASSERT_FALSE(dbustest::mpv_mpris_script().empty())
		<< "mpv-mpris is needed (scripts/setup installs it)";

	testutil::TempDir music;
	setenv("XDG_CONFIG_HOME", music.File("config").c_str(), 1);
	write_song(music, "bay-a", "Song of the Bay", "a");
	write_song(music, "bay-b", "Second Song", "b");
	const std::string songA = music.File("bay-a.wav");
	const std::string songB = music.File("bay-b.wav");

	HostOptions options;
	options.pluginFiles.push_back(VERSOD_PLUGIN_PATH);
	options.showWindow = true;
	options.follow = true;
	options.followName = "mpv";
	options.followPollInterval = kPollInterval;
	auto player = std::make_unique<MelodeckPlayer>(Playlist(), options);
	ASSERT_EQ(player->InitCheck(), B_OK);
	BWindow* lyrics = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		lyrics = windowtest::find_window("Verso Displayer");
		return lyrics != nullptr;
	}));

	// mpv starts after Melodeck, paused at the start of the first song
	auto mpv = start_mpv({songA, songB}, true);
	ASSERT_TRUE(mpv->IsRunning());
	std::string name;
	ASSERT_TRUE(testutil::wait_for([&] { return !(name = mpv_name(bus)).empty(); }, 10000000));
	ASSERT_TRUE(testutil::wait_for([&] { return player->Title() == "bay-a.wav"; },
		kFollowTime + 5000000));
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "Song of the Bay"; },
		kFollowTime));
	EXPECT_FALSE(player->IsPlaying());

	// Melodeck's play command goes to mpv
	ASSERT_EQ(player->Play(), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "a one"; },
		1000000 + kFollowTime));
	EXPECT_LE(typical_error(*player, bus, name, "playing"), kPositionTolerance);

	// paused in mpv itself
	GVariant* reply = bus.Call(name, kPlayer, "Pause");
	ASSERT_NE(reply, nullptr);
	g_variant_unref(reply);
	ASSERT_TRUE(testutil::wait_for([&] { return !player->IsPlaying(); }, kFollowTime));
	const std::string pausedLine = current_line(lyrics);
	EXPECT_TRUE(pausedLine == "a one" || pausedLine == "a two") << pausedLine;
	ASSERT_TRUE(testutil::wait_for([&] {
		return position_error(*player, bus, name) <= kPositionTolerance; }, kFollowTime));

	// sought from Melodeck while paused
	ASSERT_EQ(player->SetPosition(5500), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "a three"; },
		kFollowTime));
	// mpv lands near the place asked for, not on it; Melodeck where mpv is
	const int32 landed = mpv_position(bus, name);
	EXPECT_GE(landed, 5000);
	EXPECT_LE(landed, 5600);
	EXPECT_NEAR(player->Position(), landed, kPositionTolerance);

	// mpv plays on by itself
	reply = bus.Call(name, kPlayer, "Play");
	ASSERT_NE(reply, nullptr);
	g_variant_unref(reply);
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "a four"; },
		1500000 + kFollowTime));
	EXPECT_LE(typical_error(*player, bus, name, "after a seek"), kPositionTolerance);

	// the next track, chosen in mpv
	reply = bus.Call(name, kPlayer, "Next");
	ASSERT_NE(reply, nullptr);
	g_variant_unref(reply);
	ASSERT_TRUE(testutil::wait_for([&] { return player->Title() == "bay-b.wav"; },
		kFollowTime));
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "b one"; },
		1000000 + kFollowTime));
	EXPECT_LT(player->Position(), 3000);

	// mpv quits: nothing is followed any more
	EXPECT_TRUE(mpv->Stop());
	ASSERT_TRUE(testutil::wait_for([&] { return player->CurrentIndex() == -1; },
		kFollowTime));
	EXPECT_FALSE(player->IsPlaying());

	// and starts again, playing at once: picked up
	mpv = start_mpv({songB}, false);
	ASSERT_TRUE(testutil::wait_for([&] { return player->Title() == "bay-b.wav"; },
		kFollowTime + 5000000));
	ASSERT_TRUE(testutil::wait_for([&] { return current_line(lyrics) == "b one"; },
		1000000 + kFollowTime));
	EXPECT_TRUE(player->IsPlaying());

	EXPECT_TRUE(mpv->Stop());
	EXPECT_EQ(player->Quit(), B_OK);
	player.reset();
	unsetenv("XDG_CONFIG_HOME");
}
