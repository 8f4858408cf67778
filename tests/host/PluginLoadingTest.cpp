// General plug-ins in the player: the calls they get, in order, and the
// libraries that are refused.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "HostProtocol.h"
#include "MelodeckPlayer.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

Playlist two_entries()
{
	Playlist playlist;
	for (const char* title : {"First", "Second"}) {
		PlaylistEntry entry;
		entry.title = title;
		entry.filename = std::string("/music/") + title + ".mp3";
		entry.length = 30000;
		playlist.AddEntry(entry);
	}
	return playlist;
}

std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		lines.push_back(line);
	return lines;
}

bool is_loaded(const std::string& path)
{
	void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
	if (handle == nullptr)
		return false;
	dlclose(handle);
	return true;
}

status_t send_plugin_request(MelodeckPlayer& player, uint32 what, int32 index)
{
	BMessage request(what), reply;
	request.AddInt32("plugin", index);
	if (player.Messenger().SendMessage(&request, &reply) != B_OK)
		return B_ERROR;
	int32 error = B_ERROR;
	reply.FindInt32("error", &error);
	return error;
}

// Points the test plug-ins' record at a fresh file for one test.
class PluginLog {
public:
	PluginLog() { setenv("MELODECK_TEST_PLUGIN_LOG", fDir.File("calls.log").c_str(), 1); }
	~PluginLog() { unsetenv("MELODECK_TEST_PLUGIN_LOG"); }
	std::vector<std::string> Lines() const
	{
		return lines_of(testutil::read_file(fDir.File("calls.log")));
	}

private:
	testutil::TempDir fDir;
};

}

TEST(PluginLoading, EntryPointsAreCalledInOrderAndTheLibraryIsUnloaded)
{
	PluginLog log;
	HostOptions options;
	options.pluginFiles.push_back(HOST_TEST_RECORDING_PLUGIN);
	{
		MelodeckPlayer player(two_entries(), options);
		ASSERT_EQ(player.InitCheck(), B_OK);
		EXPECT_TRUE(is_loaded(HOST_TEST_RECORDING_PLUGIN));

		BMessage request(kMelodeckGetPlugins), plugins;
		ASSERT_EQ(player.Messenger().SendMessage(&request, &plugins), B_OK);
		const char* name = nullptr;
		ASSERT_EQ(plugins.FindString("name", &name), B_OK);
		EXPECT_STREQ(name, "Recorder");
		EXPECT_FALSE(plugins.HasString("name", 1));

		EXPECT_EQ(send_plugin_request(player, kMelodeckPluginPrefs, 0), B_OK);
		EXPECT_EQ(send_plugin_request(player, kMelodeckPluginAbout, 0), B_OK);
		EXPECT_EQ(send_plugin_request(player, kMelodeckPluginAbout, 1), B_BAD_INDEX);

		ASSERT_EQ(player.Quit(), B_OK);
	}

	// The plug-in's looper asks the player something while it closes: the
	// player still answers (2 entries), and the looper is gone before the
	// plug-in object, which goes before its library.
	const std::vector<std::string> expected = {"new Recorder", "init", "prefs", "about",
		"cleanup", "count at close 2", "looper gone", "destroyed"};
	EXPECT_EQ(log.Lines(), expected);
	EXPECT_FALSE(is_loaded(HOST_TEST_RECORDING_PLUGIN));
}

TEST(PluginLoading, AFolderLoadsItsPluginsAndRefusesTheRestCleanly)
{
	PluginLog log;
	testutil::TempDir folder;
	namespace fs = std::filesystem;
	fs::copy_file(HOST_TEST_RECORDING_PLUGIN, folder.File("recording.so"));
	fs::copy_file(HOST_TEST_REFUSING_PLUGIN, folder.File("refusing.so"));
	fs::copy_file(HOST_TEST_NOENTRY_PLUGIN, folder.File("noentry.so"));
	folder.Write("junk.so", "no library at all");
	folder.Write("readme.txt", "not a plug-in");

	HostOptions options;
	options.pluginFolders.push_back(folder.Path());
	options.pluginFolders.push_back(folder.File("missing"));   // no folder: no plug-ins
	MelodeckPlayer player(two_entries(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);

	BMessage request(kMelodeckGetPlugins), plugins;
	ASSERT_EQ(player.Messenger().SendMessage(&request, &plugins), B_OK);
	type_code type;
	int32 count = 0;
	ASSERT_EQ(plugins.GetInfo("path", &type, &count), B_OK);
	EXPECT_EQ(count, 1);
	const char* path = nullptr;
	plugins.FindString("path", &path);
	EXPECT_EQ(std::string(path), folder.File("recording.so"));

	// the declined plug-in's object was deleted and its library unloaded;
	// the one without NewPlugin is not kept either
	const std::vector<std::string> loaded = log.Lines();
	// (in name order: recording.so before refusing.so)
	const std::vector<std::string> refused = {"new Recorder", "new Refuser", "looper gone",
		"destroyed", "init"};
	EXPECT_EQ(loaded, refused);
	EXPECT_FALSE(is_loaded(folder.File("refusing.so")));
	EXPECT_FALSE(is_loaded(folder.File("noentry.so")));
	EXPECT_TRUE(is_loaded(folder.File("recording.so")));

	// and the player plays on
	EXPECT_EQ(player.Advance(31000), B_OK);
	EXPECT_EQ(player.CurrentIndex(), 1);
	EXPECT_EQ(player.Quit(), B_OK);
	EXPECT_FALSE(is_loaded(folder.File("recording.so")));
}

TEST(PluginLoading, AReloadTakesThePluginDownAndStartsItAgain)
{
	PluginLog log;
	HostOptions options;
	options.pluginFiles.push_back(HOST_TEST_RECORDING_PLUGIN);
	MelodeckPlayer player(two_entries(), options);
	ASSERT_EQ(player.InitCheck(), B_OK);

	// Twice in a row: the second arrives while the first is under way and
	// is left out, or after it and reloads once more; never two at a time.
	ASSERT_EQ(player.Messenger().SendMessage(kMelodeckReloadPlugins), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] {
		const std::vector<std::string> lines = log.Lines();
		return std::count(lines.begin(), lines.end(), "init") == 2;
	}));
	ASSERT_EQ(player.Messenger().SendMessage(kMelodeckReloadPlugins), B_OK);
	ASSERT_EQ(player.Messenger().SendMessage(kMelodeckReloadPlugins), B_OK);
	ASSERT_TRUE(testutil::wait_for([&] {
		const std::vector<std::string> lines = log.Lines();
		return std::count(lines.begin(), lines.end(), "init") >= 3
			&& lines.back() == "init";
	}));
	// The plug-in answers as before.
	BMessage request(kMelodeckGetPlugins), plugins;
	ASSERT_EQ(player.Messenger().SendMessage(&request, &plugins), B_OK);
	EXPECT_FALSE(plugins.HasString("name", 1));
	EXPECT_EQ(send_plugin_request(player, kMelodeckPluginAbout, 0), B_OK);

	// A quit asked for while a reload is under way quits, and loads nothing.
	ASSERT_EQ(player.Messenger().SendMessage(kMelodeckReloadPlugins), B_OK);
	ASSERT_EQ(player.Quit(), B_OK);
	const std::vector<std::string> lines = log.Lines();
	ASSERT_FALSE(lines.empty());
	EXPECT_EQ(lines.back(), "destroyed");
	EXPECT_EQ(std::count(lines.begin(), lines.end(), "new Recorder"),
		std::count(lines.begin(), lines.end(), "destroyed"));
	// Every start had its own object: new, init, ..., cleanup, destroyed.
	int32 alive = 0;
	for (const std::string& line : lines) {
		if (line == "new Recorder")
			EXPECT_EQ(alive++, 0) << "two plug-in objects at once";
		else if (line == "destroyed")
			alive--;
	}
	EXPECT_EQ(alive, 0);
	EXPECT_FALSE(is_loaded(HOST_TEST_RECORDING_PLUGIN));
}
