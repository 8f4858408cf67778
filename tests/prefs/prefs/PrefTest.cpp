#include <gtest/gtest.h>

#include "TestUtil.h"
#include "prefs/PrefStore.h"

#include <File.h>
#include <Window.h>

#include "framework/Alerts.h"
#include "lang/Language.h"
#include "interface/Modifiers.h"

#include <stdlib.h>

namespace {

class PrefFiles : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("XDG_CONFIG_HOME", fDir.Path().c_str(), 1);
		gPref = new TPref;
		gExitState = new TExitState;
	}
	void TearDown() override
	{
		BPrivate::set_modifiers(0);
		delete gPref;
		delete gExitState;
		gPref = nullptr;
		gExitState = nullptr;
		unsetenv("XDG_CONFIG_HOME");
	}
	std::string PrefPath() const { return fDir.File("ORVIK/Shared/VersoShared_Prefs.arc"); }
	std::string ExitPath() const { return fDir.File("ORVIK/VersoD/VersoD_ExitStates.arc"); }

	BMessage ReadPrefFile() const
	{
		BMessage archive;
		const std::string bytes = testutil::read_file(PrefPath());
		EXPECT_EQ(archive.Unflatten(bytes.data()), B_OK);
		return archive;
	}

	testutil::TempDir fDir;
};

void expect_color(const BMessage& archive, const char* name, uint8 r, uint8 g, uint8 b, uint8 a)
{
	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(archive.FindData(name, B_RAW_TYPE, &data, &size), B_OK) << name;
	ASSERT_EQ(size, 4);
	const uint8* c = static_cast<const uint8*>(data);
	EXPECT_EQ(c[0], r);
	EXPECT_EQ(c[1], g);
	EXPECT_EQ(c[2], b);
	EXPECT_EQ(c[3], a);
}

}

TEST_F(PrefFiles, DefaultsAreArchivedWithTheirKeysAndTypes)
{
	ASSERT_TRUE(save_pref(false));
	BMessage archive = ReadPrefFile();
	EXPECT_EQ(archive.what, 0u);

	const struct { const char* name; type_code type; } fields[] = {
		{"SoTp", B_BOOL_TYPE}, {"FntL", B_INT32_TYPE}, {"REnc", B_INT32_TYPE},
		{"MTmI", B_INT64_TYPE}, {"LLTF", B_STRING_TYPE}, {"AAli", B_BOOL_TYPE},
		{"UAFr", B_BOOL_TYPE}, {"UBGI", B_BOOL_TYPE}, {"FntF", B_STRING_TYPE},
		{"ImgA", B_INT32_TYPE}, {"FntS", B_FLOAT_TYPE}, {"ABCl", B_RAW_TYPE},
		{"AFCl", B_RAW_TYPE}, {"ALCl", B_RAW_TYPE}, {"BGCl", B_RAW_TYPE},
		{"LyCl", B_RAW_TYPE}, {"BGIF", B_STRING_TYPE}, {"DbBf", B_BOOL_TYPE},
		{"STlB", B_BOOL_TYPE}, {"WCRT", B_INT32_TYPE}, {"WEnc", B_INT32_TYPE},
		{"TmDf", B_INT32_TYPE}, {"RExT", B_BOOL_TYPE},
	};
	// the fields come in this order
	for (int32 i = 0; i < (int32)(sizeof(fields) / sizeof(fields[0])); i++) {
		const char* name = nullptr;
		type_code type = 0;
		int32 count = 0;
		ASSERT_EQ(archive.GetInfo(B_ANY_TYPE, i, &name, &type, &count), B_OK);
		EXPECT_STREQ(name, fields[i].name);
		EXPECT_EQ(type, fields[i].type) << fields[i].name;
		EXPECT_EQ(count, 1);
	}

	bool b = true;
	int32 i32 = -1;
	int64 i64 = -1;
	float f = 0;
	const char* s = nullptr;
	EXPECT_EQ(archive.FindBool("SoTp", &b), B_OK);
	EXPECT_FALSE(b);
	archive.FindInt32("REnc", &i32);
	EXPECT_EQ(i32, 4);
	archive.FindInt64("MTmI", &i64);
	EXPECT_EQ(i64, 25000);
	archive.FindString("LLTF", &s);
	EXPECT_STREQ(s, "English.llt");
	archive.FindString("FntF", &s);
	EXPECT_STREQ(s, "Haru");
	archive.FindFloat("FntS", &f);
	EXPECT_EQ(f, 12.0f);
	archive.FindString("BGIF", &s);
	EXPECT_STREQ(s, "");
	expect_color(archive, "ABCl", 51, 51, 0, 255);
	expect_color(archive, "AFCl", 255, 255, 153, 255);
	expect_color(archive, "ALCl", 255, 255, 204, 255);
	expect_color(archive, "BGCl", 0, 0, 0, 255);
	expect_color(archive, "LyCl", 255, 255, 255, 255);
}

TEST_F(PrefFiles, OlderFileWithoutTimeDifferenceStillLoads)
{
	gPref->stayOnTop = true;
	gPref->activeTextColor = rgb_color{1, 2, 3, 4};
	gPref->backgroundImage = "/x/bg.png";
	BMessage archive;
	ASSERT_TRUE(gPref->Archive(&archive));
	archive.RemoveName("TmDf");

	TPref loaded;
	loaded.timeDifference = 0;
	EXPECT_FALSE(loaded.Unarchive(archive));
	EXPECT_TRUE(loaded.stayOnTop);
	EXPECT_EQ(loaded.backgroundImage, "/x/bg.png");
	EXPECT_FALSE(compare_rgb_color(loaded.activeTextColor, rgb_color{1, 2, 3, 4}));
	EXPECT_EQ(loaded.timeDifference, 0);
}

TEST_F(PrefFiles, FileFromTheEditorWithoutExtendedTagsIsComplete)
{
	gPref->readExtendedTags = true;
	BMessage archive;
	ASSERT_TRUE(gPref->Archive(&archive));
	bool stored = false;
	EXPECT_EQ(archive.FindBool("RExT", &stored), B_OK);
	EXPECT_TRUE(stored);
	archive.RemoveName("RExT");

	TPref loaded;
	EXPECT_TRUE(loaded.Unarchive(archive));
	EXPECT_FALSE(loaded.readExtendedTags);
}

TEST_F(PrefFiles, OverlongFontFamilyIsCut)
{
	BMessage archive;
	gPref->ArchiveAppearance(&archive);
	archive.ReplaceString("FntF", std::string(200, 'F').c_str());
	TPref loaded;
	EXPECT_TRUE(loaded.UnarchiveAppearance(archive));
	EXPECT_EQ(strlen(loaded.fontFamily), (size_t)B_FONT_FAMILY_LENGTH);

	// never cut inside a character
	std::string japanese;
	while (japanese.size() < 100)
		japanese += "あ";
	loaded.SetFontFamily(japanese.c_str());
	EXPECT_EQ(strlen(loaded.fontFamily) % 3, 0u);
}

TEST_F(PrefFiles, LoadGlobalReadsBothFiles)
{
	gPref->fontSize = 20.0f;
	gExitState->windowFrame = BRect(10, 30, 210, 130);
	ASSERT_TRUE(save_pref(false));
	ASSERT_TRUE(save_exit_state("VersoD", "VersoD_ExitStates.arc"));

	*gPref = TPref();
	*gExitState = TExitState();
	EXPECT_TRUE(load_global("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_EQ(gPref->fontSize, 20.0f);
	EXPECT_EQ(gExitState->windowFrame, BRect(10, 30, 210, 130));
	EXPECT_EQ(gExitState->version, "Ver 3.72");
}

TEST_F(PrefFiles, ResetKeysWriteTheDefaultsAndKeepTheWindowState)
{
	gPref->stayOnTop = true;
	gExitState->windowFrame = BRect(1, 2, 3, 4);
	ASSERT_TRUE(save_pref(false));
	ASSERT_TRUE(save_exit_state("VersoD", "VersoD_ExitStates.arc"));
	const std::string exitBefore = testutil::read_file(ExitPath());

	BPrivate::set_modifiers(B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY);
	*gPref = TPref();
	EXPECT_FALSE(load_global("VersoD", "VersoD_ExitStates.arc"));
	bool stay = true;
	ReadPrefFile().FindBool("SoTp", &stay);
	EXPECT_FALSE(stay);  // the file holds the defaults again

	gPref->stayOnTop = true;
	EXPECT_FALSE(save_pref(false));
	gExitState->windowFrame = BRect(50, 50, 60, 60);
	EXPECT_FALSE(save_exit_state("VersoD", "VersoD_ExitStates.arc"));
	EXPECT_EQ(testutil::read_file(ExitPath()), exitBefore);

	// three of the four keys are not the combination
	BPrivate::set_modifiers(B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY);
	EXPECT_TRUE(save_pref(false));
}

TEST_F(PrefFiles, ColoursCompareByAllFourBytes)
{
	EXPECT_FALSE(compare_rgb_color(rgb_color{1, 2, 3, 4}, rgb_color{1, 2, 3, 4}));
	EXPECT_TRUE(compare_rgb_color(rgb_color{1, 2, 3, 4}, rgb_color{1, 2, 3, 5}));
}

TEST_F(PrefFiles, ProperFeelFollowsTheStayOnTopPreference)
{
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "lyrics", B_TITLED_WINDOW, 0);
	ASSERT_TRUE(window->IsLocked());   // still its maker's until it runs
	set_proper_feel(window);
	EXPECT_EQ(window->Feel(), B_NORMAL_WINDOW_FEEL);
	gPref->stayOnTop = true;
	set_proper_feel(window);
	EXPECT_EQ(window->Feel(), B_FLOATING_ALL_WINDOW_FEEL);
	gPref->stayOnTop = false;
	set_proper_feel(window);
	EXPECT_EQ(window->Feel(), B_NORMAL_WINDOW_FEEL);
	window->Quit();
}

TEST_F(PrefFiles, HelpThatCannotOpenAlertsInTheLanguagesCaption)
{
	gLLT = new TLLT;
	std::vector<orvik::TAlertRequest> alerts;
	orvik::alert_responder previous = orvik::set_alert_responder(
		[&](const orvik::TAlertRequest& request) { alerts.push_back(request); return 0; });
	unsetenv("VERSO_OPENER");
	EXPECT_FALSE(show_help());   // no VersoD.htm beside the test program
	orvik::set_alert_responder(previous);
	delete gLLT;
	gLLT = nullptr;
	ASSERT_EQ(alerts.size(), 1u);
	EXPECT_EQ(alerts[0].type, B_WARNING_ALERT);
	// Title: the caption text ("! ERROR !" in an empty language), then the
	// prefix and the document's path.
	EXPECT_EQ(alerts[0].text.rfind("! ERROR !\n\n\xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97", 0), 0u);
	EXPECT_NE(alerts[0].text.find("\n/"), std::string::npos);
	EXPECT_NE(alerts[0].text.find("/VersoD.htm"), std::string::npos);
}
