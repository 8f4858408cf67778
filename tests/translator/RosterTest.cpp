// The add-on as programs meet it: loaded by the default roster from the
// translators folder beside the program, used the way the displayer takes
// the colour file out of a zipped skin, and its configuration view.
#include <gtest/gtest.h>

#include <Entry.h>
#include <File.h>
#include <Font.h>
#include <Message.h>
#include <Path.h>
#include <StringView.h>
#include <TranslatorRoster.h>
#include <View.h>
#include <Window.h>

#include "TestUtil.h"
#include "WindowTestUtil.h"
#include "ZipFixtures.h"
#include "interface/WindowAccess.h"

#include <math.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

// The id of the roster's translator named "ZIP Archives", or 0.
translator_id zip_translator(BTranslatorRoster* roster)
{
	translator_id* ids = NULL;
	int32 count = 0;
	translator_id found = 0;
	if (roster->GetAllTranslators(&ids, &count) != B_OK)
		return 0;
	for (int32 i = 0; i < count; i++) {
		const char* name = NULL;
		if (roster->GetTranslatorInfo(ids[i], &name, NULL, NULL) == B_OK
			&& strcmp(name, "ZIP Archives") == 0)
			found = ids[i];
	}
	delete[] ids;
	return found;
}

// What the displayer's preference view does with a skin archive: find the
// most capable translator that can extract from it, list the members, and
// extract the first one whose leaf name is PLEDIT.TXT (any case) into
// `colourFile`. False, with the step that failed in *why, where the view
// shows its alert.
bool take_colour_file(const std::string& skin, const std::string& colourFile,
	std::string* why)
{
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	BFile source(skin.c_str(), B_READ_ONLY);
	translator_info* infos = NULL;
	int32 count = 0;
	if (roster->GetTranslators(&source, NULL, &infos, &count, 0, NULL, 'ArcE') != B_OK) {
		*why = "no translator";
		return false;
	}
	translator_id chosen = 0;
	float best = 0;
	for (int32 i = 0; i < count; i++) {
		if (infos[i].capability > best) {
			best = infos[i].capability;
			chosen = infos[i].translator;
		}
	}
	delete[] infos;
	if (best == 0) {
		*why = "no capable translator";
		return false;
	}

	BMessage extension;
	BFile neverOpened;
	if (roster->Translate(chosen, &source, &extension, &neverOpened, 'ArcL') != B_OK) {
		*why = "list failed";
		return false;
	}
	type_code type;
	int32 members = 0;
	if (extension.GetInfo("Arc/entry", &type, &members) != B_OK || members == 0) {
		*why = "no members";
		return false;
	}
	for (int32 i = 0; i < members; i++) {
		const char* name = NULL;
		if (extension.FindString("Arc/entry", i, &name) != B_OK) {
			*why = "member missing";
			return false;
		}
		const char* slash = strrchr(name, '/');
		if (strcasecmp(slash != NULL ? slash + 1 : name, "PLEDIT.TXT") != 0)
			continue;
		BFile temporary(colourFile.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
		if (temporary.InitCheck() != B_OK) {
			*why = "no temporary file";
			return false;
		}
		extension.RemoveName("Arc/target");
		extension.AddInt32("Arc/target", i);
		if (roster->Translate(chosen, &source, &extension, &temporary, 'ArcE') != B_OK) {
			*why = "extraction failed";
			return false;
		}
		return true;
	}
	*why = "no PLEDIT.TXT";
	return false;
}

std::string program_folder()
{
	return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

}

TEST(PackscopeRoster, TheDefaultRosterLoadsItFromBesideTheProgram)
{
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	translator_id id = zip_translator(roster);
	ASSERT_NE(0u, id);
	entry_ref ref;
	ASSERT_EQ(B_OK, roster->GetRefFor(id, &ref));
	BPath path(&ref);
	EXPECT_EQ(program_folder() + "/Translators/Packscope", std::string(path.Path()));

	const translation_format* formats = NULL;
	int32 count = 0;
	ASSERT_EQ(B_OK, roster->GetOutputFormats(id, &formats, &count));
	ASSERT_EQ(2, count);
	EXPECT_EQ((uint32)'ArcE', formats[0].type);
}

TEST(PackscopeRoster, TakesTheColourFileOutOfAZippedSkin)
{
	testutil::TempDir dir;
	const std::string colours = "[Text]\r\nNormal=#00FF00\r\nCurrent=#ffffff\r\n";
	const std::string skin = dir.Write("Skin.wsz", fixture::zip_bytes({
		{ "Skin/", "" },
		{ "Skin/main.bmp", "BM" },
		{ "Skin/PLEdit.TXT", colours },
		{ "pledit.txt", "not the first match" },
	}));
	const std::string colourFile = dir.File("colours");
	std::string why;
	ASSERT_TRUE(take_colour_file(skin, colourFile, &why)) << why;
	EXPECT_EQ(colours, testutil::read_file(colourFile));

	// An archive without the colour file, and a file that is no archive.
	const std::string bare = dir.Write("Bare.zip", fixture::zip_bytes({ { "main.bmp", "BM" } }));
	EXPECT_FALSE(take_colour_file(bare, colourFile, &why));
	EXPECT_EQ("no PLEDIT.TXT", why);
	const std::string text = dir.Write("notes.txt", "[Text] Normal=#000000");
	EXPECT_FALSE(take_colour_file(text, colourFile, &why));
	EXPECT_EQ("no translator", why);
}

TEST(PackscopeRoster, ConfigurationView)
{
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	translator_id id = zip_translator(roster);
	ASSERT_NE(0u, id);
	BView* view = NULL;
	BRect extent;
	ASSERT_EQ(B_OK, roster->MakeConfigurationView(id, NULL, &view, &extent));
	ASSERT_NE(nullptr, view);
	EXPECT_EQ(BRect(0, 0, 300, 100), extent);
	EXPECT_STREQ("PackscopeConfigView", view->Name());

	BWindow* window = new BWindow(BRect(100, 100, 100 + extent.Width(),
		100 + extent.Height()), "Packscope", B_TITLED_WINDOW, B_NOT_RESIZABLE);
	window->AddChild(view);
	window->Show();
	windowtest::settle(window);

	struct Frames {
		BRect kind, version, notice;
		std::string kindText;
	};
	Frames frames = windowtest::locked(window, Frames(), [&](BWindow*) {
		Frames result;
		auto* kind = dynamic_cast<BStringView*>(view->FindView("StrViewKind"));
		auto* version = dynamic_cast<BStringView*>(view->FindView("StrViewVer"));
		auto* notice = dynamic_cast<BStringView*>(view->FindView("StrViewCright"));
		if (kind == NULL || version == NULL || notice == NULL)
			return result;
		result.kind = kind->Frame();
		result.version = version->Frame();
		result.notice = notice->Frame();
		result.kindText = kind->Text();
		return result;
	});
	EXPECT_EQ("ZIP Archives", frames.kindText);
	// Each string view fits its text; the kind, in bold, also its height.
	font_height height;
	be_bold_font->GetHeight(&height);
	EXPECT_EQ(BPoint(10, 15), frames.kind.LeftTop());
	EXPECT_FLOAT_EQ(ceilf(be_bold_font->StringWidth("ZIP Archives")), frames.kind.Width());
	EXPECT_FLOAT_EQ(ceilf(height.ascent + height.descent), frames.kind.Height());
	EXPECT_FLOAT_EQ(ceilf(be_plain_font->StringWidth("Ver 1.20 Beta")), frames.version.Width());
	// The others keep their height, unless the font needs more.
	font_height plain;
	be_plain_font->GetHeight(&plain);
	EXPECT_FLOAT_EQ(std::max(12.0f, ceilf(plain.ascent + plain.descent)),
		frames.version.Height());
	EXPECT_FLOAT_EQ(frames.version.Height(), frames.notice.Height());
	EXPECT_EQ(BPoint(10, 70), frames.notice.LeftTop());
	EXPECT_LT(frames.notice.right, extent.right);

	// Ink where the texts are, none below them.
	windowtest::Pixels pixels(window);
	const uint32 panel = windowtest::rgb(ui_color(B_PANEL_BACKGROUND_COLOR));
	EXPECT_TRUE(pixels.RowHasInk(21, panel));
	EXPECT_TRUE(pixels.RowHasInk(56, panel));
	EXPECT_TRUE(pixels.RowHasInk(76, panel));
	EXPECT_FALSE(pixels.RowHasInk(95, panel));

	std::filesystem::create_directories(PACKSCOPE_PICTURE_DIR);
	EXPECT_EQ(B_OK, BPrivate::WindowAccess::WritePng(window,
		PACKSCOPE_PICTURE_DIR "/packscope-config.png"));
	windowtest::quit(window);
}
