// The extended-reading preference through the shared preference file.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "prefs/PrefStore.h"

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

	testutil::TempDir fDir;
};

}

TEST_F(ExtendedTagsPref, SurvivesTheSavedFileBothWays)
{
	ASSERT_TRUE(save_exit_state("VersoD", "VersoD_ExitStates.arc"));
	gPref->readExtendedTags = true;
	ASSERT_TRUE(save_pref(false));

	*gPref = TPref();
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_TRUE(gPref->readExtendedTags);

	gPref->readExtendedTags = false;
	ASSERT_TRUE(save_pref(false));
	gPref->readExtendedTags = true;
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_FALSE(gPref->readExtendedTags);
}
