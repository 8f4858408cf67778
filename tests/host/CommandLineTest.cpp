#include <gtest/gtest.h>

#include "CommandLine.h"

#include <vector>

namespace {

bool parse(std::vector<const char*> args, CommandLine* out, std::string* error)
{
	args.insert(args.begin(), "melodeck");
	return parse_command_line((int)args.size(), args.data(), out, error);
}

}

TEST(CommandLine, OptionsAndPaths)
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE(parse({"--headless", "a.mp3", "--plugins", "/p1", "--plugins=/p2",
		"--plugin", "x.so", "--seconds", "2.5", "--no-repeat", "--screenshots", "/s",
		"--", "--odd-name.mp3", "-"}, &line, &error)) << error;
	EXPECT_TRUE(line.headless);
	EXPECT_TRUE(line.pluginFoldersGiven);
	EXPECT_EQ(line.options.pluginFolders, (std::vector<std::string>{"/p1", "/p2"}));
	EXPECT_EQ(line.options.pluginFiles, (std::vector<std::string>{"x.so"}));
	EXPECT_EQ(line.options.quitAfter, 2500000);
	EXPECT_FALSE(line.options.repeat);
	EXPECT_EQ(line.screenshotFolder, "/s");
	EXPECT_EQ(line.paths, (std::vector<std::string>{"a.mp3", "--odd-name.mp3", "-"}));

	CommandLine plain;
	ASSERT_TRUE(parse({"song.mp3"}, &plain, &error));
	EXPECT_FALSE(plain.pluginFoldersGiven);
	EXPECT_TRUE(plain.options.repeat);
	EXPECT_EQ(plain.options.quitAfter, 0);
	EXPECT_FALSE(plain.clock);
	EXPECT_EQ(plain.audioOutput, "auto");

	CommandLine sound;
	ASSERT_TRUE(parse({"--clock", "--audio-output", "pulse,alsa", "x.flac"}, &sound, &error));
	EXPECT_TRUE(sound.clock);
	EXPECT_EQ(sound.audioOutput, "pulse,alsa");

	// The long-run tests' option, not in the usage; it leaves --seconds be.
	CommandLine reloading;
	ASSERT_TRUE(parse({"--reload-plugins-every", "1.5", "--seconds=9", "x.mp3"}, &reloading,
		&error)) << error;
	EXPECT_EQ(reloading.options.reloadPluginsInterval, 1500000);
	EXPECT_EQ(reloading.options.quitAfter, 9000000);
	EXPECT_EQ(plain.options.reloadPluginsInterval, 0);
}

TEST(CommandLine, BadInputIsRefusedWithTheReason)
{
	const std::vector<std::vector<const char*>> bad = {
		{"--seconds"}, {"--seconds", "ten"}, {"--seconds", "0"}, {"--seconds", "-3"},
		{"--seconds", "5x"}, {"--seconds", "nan"}, {"--seconds", "1e300"},
		{"--reload-plugins-every", "0"}, {"--reload-plugins-every=soon"},
		{"--plugins"}, {"--plugin="}, {"--volume", "3"}, {"--audio-output"},
		// one value for libmpv: no second option smuggled in
		{"--audio-output", "null,pulse:x=1"}, {"--audio-output=null ao=x"}};
	for (const auto& args : bad) {
		CommandLine line;
		std::string error;
		EXPECT_FALSE(parse(args, &line, &error)) << args[0];
		EXPECT_FALSE(error.empty());
	}
}

TEST(CommandLine, FollowTakesAnOptionalName)
{
	CommandLine line;
	std::string error;
	ASSERT_TRUE(parse({"--follow", "--headless"}, &line, &error)) << error;
	EXPECT_TRUE(line.options.follow);
	EXPECT_EQ(line.options.followName, "");
	EXPECT_TRUE(line.headless);

	CommandLine named;
	ASSERT_TRUE(parse({"--follow", "mpv", "--seconds", "3"}, &named, &error)) << error;
	EXPECT_EQ(named.options.followName, "mpv");
	EXPECT_TRUE(named.paths.empty());
	CommandLine equals;
	ASSERT_TRUE(parse({"--follow=org.mpris.MediaPlayer2.vlc"}, &equals, &error)) << error;
	EXPECT_EQ(equals.options.followName, "org.mpris.MediaPlayer2.vlc");

	CommandLine plain;
	ASSERT_TRUE(parse({"song.mp3"}, &plain, &error));
	EXPECT_FALSE(plain.options.follow);

	// a follower plays no files, and "=" promises a name
	CommandLine bad;
	EXPECT_FALSE(parse({"--follow", "mpv", "song.mp3"}, &bad, &error));
	EXPECT_NE(error.find("song.mp3"), std::string::npos) << error;
	EXPECT_FALSE(parse({"--follow="}, &bad, &error));
}
