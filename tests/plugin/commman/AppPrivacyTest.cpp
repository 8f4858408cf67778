// The record of the loaded language file decides whether a language change
// reloads anything.
#include "CommManTestSupport.h"

#include "plugin/TAppPrivacy.h"
#include "prefs/PrefStore.h"

#include <sys/time.h>
#include <unistd.h>

namespace {

void configure(const std::string& path)
{
	TPrefLock pref;
	pref->languageFile = path;
}

void set_time(const std::string& path, time_t seconds)
{
	struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
	ASSERT_EQ(utimes(path.c_str(), times), 0);
}

}

TEST(AppPrivacy, AFileCountsAsChangedWhenItsPathOrTimeDiffers)
{
	testutil::TempDir dir;
	const std::string first = dir.Write("First.llt", "x");
	const std::string second = dir.Write("Second.llt", "y");
	set_time(first, 1500000000);

	TAppPrivacy record;
	EXPECT_EQ(record.ModificationTime(), 0);
	EXPECT_EQ(record.LanguagePath(), "");
	configure(first);
	EXPECT_TRUE(record.ShouldBeLanguageChanged());
	record.UpdateLanguageInfos();
	EXPECT_EQ(record.LanguagePath(), first);
	EXPECT_EQ(record.ModificationTime(), 1500000000);
	EXPECT_FALSE(record.ShouldBeLanguageChanged());

	set_time(first, 1500000100);
	EXPECT_TRUE(record.ShouldBeLanguageChanged());
	record.UpdateLanguageInfos();
	EXPECT_FALSE(record.ShouldBeLanguageChanged());

	configure(second);
	EXPECT_TRUE(record.ShouldBeLanguageChanged());

	// A file that could not be read at the last load and still cannot is
	// unchanged; once it is there, it changed.
	const std::string missing = dir.File("Missing.llt");
	configure(missing);
	record.UpdateLanguageInfos();
	EXPECT_FALSE(record.ShouldBeLanguageChanged());
	dir.Write("Missing.llt", "z");
	EXPECT_TRUE(record.ShouldBeLanguageChanged());
	// And one that vanished since it was loaded changed as well.
	record.UpdateLanguageInfos();
	unlink(missing.c_str());
	EXPECT_TRUE(record.ShouldBeLanguageChanged());

	configure("");
}
