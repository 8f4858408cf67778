// The extended-reading preference through the shared preference file.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "prefs/PrefStore.h"

#include <File.h>

#include <stdlib.h>

namespace {

class ExtendedTagsPref : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fDir.Path().c_str(), 1);
		gPref = new TPref;
		gExitState = new TExitState;
	}
	void TearDown() override
	{
		delete gPref;
		delete gExitState;
		gPref = nullptr;
		gExitState = nullptr;
		unsetenv("XDG_CONFIG_HOME");
	}
	std::string PrefPath() const { return fDir.File("ORVIK/Shared/VersoShared_Prefs.arc"); }

	testutil::TempDir fDir;
};

}

TEST_F(ExtendedTagsPref, SurvivesTheSavedFileAndAnOlderFileReadsAsOff)
{
	ASSERT_TRUE(save_exit_state("VersoD", "VersoD_ExitStates.arc"));
	gPref->readExtendedTags = true;
	gPref->fontSize = 17.0f;
	ASSERT_TRUE(save_pref(false));

	*gPref = TPref();
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_TRUE(gPref->readExtendedTags);

	gPref->readExtendedTags = false;
	ASSERT_TRUE(save_pref(false));
	gPref->readExtendedTags = true;
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_FALSE(gPref->readExtendedTags);

	// A file written by a program that does not know the field: the rest
	// loads, the option reads as off.
	gPref->readExtendedTags = true;
	BMessage archive;
	ASSERT_TRUE(gPref->Archive(&archive));
	archive.RemoveName("RExT");
	BFile file(PrefPath().c_str(), B_WRITE_ONLY | B_ERASE_FILE);
	ASSERT_EQ(file.InitCheck(), B_OK);
	ASSERT_EQ(archive.Flatten(&file), B_OK);
	file.Unset();

	*gPref = TPref();
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_FALSE(gPref->readExtendedTags);
	EXPECT_EQ(gPref->fontSize, 17.0f);
}
