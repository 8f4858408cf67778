// The player's own plug-ins folder: beside the program in a build, under
// lib/melodeck when installed.
#include <gtest/gtest.h>

#include "PluginFolder.h"
#include "TestUtil.h"

#include <filesystem>

namespace fs = std::filesystem;

TEST(PluginFolder, BuildAndInstalledLayouts)
{
	testutil::TempDir root;
	const std::string bin = root.File("bin");
	fs::create_directories(bin);

	// Neither folder exists: the one beside the program is named.
	EXPECT_EQ(bin + "/plugins", default_plugin_folder(bin));

	// Installed: <prefix>/bin/melodeck, <prefix>/lib/melodeck/plugins.
	fs::create_directories(root.File("lib/melodeck/plugins"));
	EXPECT_EQ(root.File("lib/melodeck/plugins"), default_plugin_folder(bin));
	EXPECT_EQ(root.File("lib/melodeck/plugins"), default_plugin_folder(bin + "/"));

	// A build's folder beside the program comes first.
	fs::create_directories(bin + "/plugins");
	EXPECT_EQ(bin + "/plugins", default_plugin_folder(bin));

	// A program outside a "bin" folder has no installed layout.
	const std::string tools = root.File("tools");
	fs::create_directories(tools);
	EXPECT_EQ(tools + "/plugins", default_plugin_folder(tools));
}
