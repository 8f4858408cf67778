// The translation tests never see the translators folders of the person
// running them: the user's folder points into an empty temporary folder
// and TRANSLATORS is cleared, before any test runs.
#include <gtest/gtest.h>

#include "TestUtil.h"

#include <stdlib.h>

namespace {

class TranslationEnvironment : public ::testing::Environment {
public:
	void SetUp() override
	{
		fDataHome = new testutil::TempDir;
		setenv("XDG_DATA_HOME", fDataHome->Path().c_str(), 1);
		unsetenv("TRANSLATORS");
		unsetenv("VERSO_TEST_ADDON_LOG");
	}

	void TearDown() override
	{
		delete fDataHome;
		fDataHome = NULL;
	}

private:
	testutil::TempDir* fDataHome = NULL;
};

::testing::Environment* const sEnvironment
	= ::testing::AddGlobalTestEnvironment(new TranslationEnvironment);

}
