// The about window: the simple page's geometry, its texts and title in
// English and in the built-in Japanese, hiding by OK and Escape, the
// plug-in file's icon, and the two-page variant with the language files.
#include <gtest/gtest.h>

#include "LangTestUtil.h"
#include "TestUtil.h"
#include "WindowTestUtil.h"

#include "lang/Language.h"
#include "lang/TAppInfoView.h"
#include "lang/TDoubleAboutView.h"
#include "lang/TLLT.h"
#include "lang/TLangInfoView.h"
#include "lang/TORVAboutWin.h"
#include "lang/TSimpleAboutView.h"
#include "lyrics/TVSOInfoView.h"

#include <Bitmap.h>
#include <Button.h>
#include <Font.h>
#include <GraphicsDefs.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <StringView.h>
#include <TabView.h>

#include <algorithm>

#include <memory>
#include <string>

namespace {

const char* const kName = "Verso Displayer";
const char* const kVersion = "Ver 3.72";
const char* const kRights = "Copyright \xC2\xA9 ORVIK";
// "Verso Displayer" followed by the Japanese suffix for version information.
const char* const kJapaneseTitle =
	"Verso Displayer \xE3\x81\xAE\xE3\x83\x90\xE3\x83\xBC\xE3\x82\xB8\xE3\x83\xA7"
	"\xE3\x83\xB3\xE6\x83\x85\xE5\xA0\xB1";

TORVAboutWin* make_window(BRect frame, const char* iconPath = VERSOD_PLUGIN_PATH)
{
	TVSOInfoView* info = new TVSOInfoView(BRect(0, 0, 1, 1), iconPath);
	return new TORVAboutWin(frame, new TSimpleAboutView(frame, info));
}

std::string text_of(BView* root, const char* name)
{
	BStringView* view = dynamic_cast<BStringView*>(root->FindView(name));
	return view != nullptr && view->Text() != nullptr ? view->Text() : "<none>";
}

bool hidden(BWindow* window)
{
	return windowtest::locked(window, false, [](BWindow* w) { return w->IsHidden(); });
}

}

TEST(AboutWindow, TheSimplePageIsLaidOutAroundItsInformationView)
{
	TORVAboutWin* window = make_window(BRect(200, 150, 201, 151));
	windowtest::locked(window, 0, [](TORVAboutWin* w) {
		TSimpleAboutView* page = dynamic_cast<TSimpleAboutView*>(w->AboutView());
		EXPECT_NE(page, nullptr);
		EXPECT_STREQ(page->Name(), "AboutView");
		EXPECT_EQ(page->Frame(), BRect(0, 0, 320, 216));
		EXPECT_EQ(page->InfoView()->Frame(), BRect(0, 0, 320, 166));
		// OK spans x 125 to 195 and y 181 to 206, drawn 3 pixels larger on
		// every side as the default button.
		EXPECT_EQ(page->ButtonOK()->Frame(), BRect(122, 178, 198, 209));
		EXPECT_TRUE(page->ButtonOK()->IsDefault());
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 320, 216));
		EXPECT_EQ(w->Frame().LeftTop(), BPoint(200, 150));
		EXPECT_EQ(w->Type(), B_TITLED_WINDOW);
		EXPECT_TRUE(w->Flags() & B_NOT_RESIZABLE);
		EXPECT_TRUE(w->Flags() & B_NOT_ZOOMABLE);

		const struct {
			const char* name;
			BRect frame;
		} texts[] = {{"StrViewAppName", BRect(50, 20, 230, 32)},
			{"StrViewAppVer", BRect(240, 20, 310, 32)}, {"StrViewCright", BRect(10, 50, 310, 62)}};
		// Each as placed, and at least as high as its letters need.
		for (const auto& t : texts) {
			BView* view = page->FindView(t.name);
			EXPECT_NE(view, nullptr) << t.name;
			if (view == nullptr)
				continue;
			EXPECT_EQ(view->Frame().LeftTop(), t.frame.LeftTop()) << t.name;
			EXPECT_EQ(view->Frame().right, t.frame.right) << t.name;
			font_height height;
			view->GetFontHeight(&height);
			EXPECT_GE(view->Frame().Height(), std::max(t.frame.Height(),
				height.ascent + height.descent)) << t.name;
		}
		EXPECT_EQ(page->FindView("BoxSep1")->Frame().top, 75);
		EXPECT_EQ(page->FindView("BoxSep2")->Frame().top, 165);

		// Without a language table: no title and an empty OK.
		EXPECT_STREQ(w->Title(), "");
		EXPECT_STREQ(page->ButtonOK()->Label(), "");
		return 0;
	});
	windowtest::quit(window);
}

TEST(AboutWindow, TextsAndTitleFollowTheLanguage)
{
	TLLT english;
	ASSERT_EQ(english.Load(langtest::shipped_language_path("English.llt").c_str()), 0);
	TLLT japanese;
	ASSERT_EQ(load_built_in_language(VERSOD_PLUGIN_PATH, &japanese), 0);

	TORVAboutWin* window = make_window(BRect(100, 100, 101, 101));
	window->Show();
	EXPECT_EQ(window->SetAppInfo(kName, kVersion, kRights), 0);
	EXPECT_EQ(window->SetLLTRef(&english), 0);
	windowtest::settle(window);
	windowtest::locked(window, 0, [](TORVAboutWin* w) {
		EXPECT_STREQ(w->Title(), "About Verso Displayer");
		EXPECT_EQ(text_of(w->AboutView(), "StrViewAppName"), kName);
		EXPECT_EQ(text_of(w->AboutView(), "StrViewAppVer"), kVersion);
		EXPECT_EQ(text_of(w->AboutView(), "StrViewCright"), kRights);
		EXPECT_STREQ(dynamic_cast<TSimpleAboutView*>(w->AboutView())->ButtonOK()->Label(), "OK");
		EXPECT_EQ(text_of(w->AboutView(), "StrViewLangName"), "Language: English");
		EXPECT_EQ(text_of(w->AboutView(), "StrViewLangWriter"), "Translated by: ORVIK");
		return 0;
	});

	// A language change renews the title from the same program name.
	EXPECT_EQ(window->SetLLTRef(&japanese), 0);
	windowtest::locked(window, 0, [](TORVAboutWin* w) {
		EXPECT_STREQ(w->Title(), kJapaneseTitle);
		EXPECT_EQ(text_of(w->AboutView(), "StrViewAppName"), kName);
		return 0;
	});

	// A notice of the program reaches the page and ends there.
	window->PostMessage('_lgc');
	window->PostMessage('_nlc');
	windowtest::settle(window);
	EXPECT_FALSE(hidden(window));
	windowtest::quit(window);
}

TEST(AboutWindow, OKAndEscapeHideTheWindowWhichComesBackUnchanged)
{
	TLLT english;
	ASSERT_EQ(english.Load(langtest::shipped_language_path("English.llt").c_str()), 0);
	TORVAboutWin* window = make_window(BRect(100, 100, 101, 101));
	window->SetAppInfo(kName, kVersion, kRights);
	window->SetLLTRef(&english);
	window->Show();
	windowtest::settle(window);

	// OK is at (125, 181) to (195, 206).
	windowtest::click(window, 160, 193);
	EXPECT_TRUE(testutil::wait_for([&] { return hidden(window); }));

	window->Lock();
	window->Appear();
	window->Unlock();
	windowtest::settle(window);
	EXPECT_FALSE(hidden(window));
	windowtest::locked(window, 0, [](TORVAboutWin* w) {
		EXPECT_STREQ(w->Title(), "About Verso Displayer");
		EXPECT_EQ(text_of(w->AboutView(), "StrViewCright"), kRights);
		return 0;
	});

	windowtest::key(window, 41);   // Escape
	EXPECT_TRUE(testutil::wait_for([&] { return hidden(window); }));
	windowtest::quit(window);
}

TEST(AboutWindow, ThePluginsIconIsDrawnAtTheTopLeft)
{
	TORVAboutWin* window = make_window(BRect(100, 100, 101, 101));
	const BBitmap* icon = windowtest::locked(window, (const BBitmap*)nullptr,
		[](TORVAboutWin* w) {
			TSimpleAboutView* page = dynamic_cast<TSimpleAboutView*>(w->AboutView());
			return static_cast<TVSOInfoView*>(page->InfoView())->Icon();
		});
	ASSERT_NE(icon, nullptr);
	EXPECT_EQ(icon->Bounds(), BRect(0, 0, 31, 31));
	EXPECT_EQ(icon->ColorSpace(), B_CMAP8);
	window->Show();
	windowtest::settle(window);

	// The icon's transparent corner shows the page's grey; its opaque
	// pixels are drawn from the palette, as the icon holds them.
	const uint8* bits = static_cast<const uint8*>(icon->Bits());
	windowtest::Pixels pixels(window);
	int opaque = 0;
	int matching = 0;
	for (int y = 0; y < 32; y++) {
		for (int x = 0; x < 32; x++) {
			const uint8 index = bits[y * icon->BytesPerRow() + x];
			if (index == B_TRANSPARENT_MAGIC_CMAP8)
				continue;
			opaque++;
			if (pixels.At(10 + x, 10 + y) == windowtest::rgb(system_colors()->color_list[index]))
				matching++;
		}
	}
	EXPECT_GT(opaque, 200);
	EXPECT_EQ(matching, opaque);
	EXPECT_EQ(bits[0], B_TRANSPARENT_MAGIC_CMAP8);
	EXPECT_EQ(pixels.At(10, 10), 0xD8D8D8u);
	windowtest::quit(window);

	// A file without an icon: no icon, nothing drawn.
	TVSOInfoView none(BRect(0, 0, 1, 1), langtest::shipped_language_path("English.llt").c_str());
	EXPECT_EQ(none.Icon(), nullptr);
}

TEST(AboutWindow, TheDoublePageListsTheLanguageFilesAndDescribesTheChosenOne)
{
	TLLT english;
	ASSERT_EQ(english.Load(langtest::shipped_language_path("English.llt").c_str()), 0);
	TDoubleAboutView* page = new TDoubleAboutView(BRect(0, 0, 10, 10), nullptr);
	const std::string folder = langtest::shipped_language_path("");
	page->LangView()->SetLangFolderName(folder.c_str());
	TORVAboutWin* window = new TORVAboutWin(BRect(100, 100, 101, 101), page);
	window->SetAppInfo(kName, kVersion, kRights);
	window->SetLLTRef(&english);
	window->Show();
	windowtest::settle(window);

	windowtest::locked(window, 0, [](TORVAboutWin* w) {
		EXPECT_STREQ(w->Title(), "About Verso Displayer");
		BTabView* tabs = dynamic_cast<BTabView*>(w->FindView("TabViewAbout"));
		EXPECT_NE(tabs, nullptr);
		if (tabs == nullptr)
			return 0;
		EXPECT_EQ(tabs->Frame(), BRect(0, 5, 320, 191));
		EXPECT_STREQ(tabs->TabAt(0)->Label(), "About");
		EXPECT_STREQ(tabs->TabAt(1)->Label(), "Language");
		BButton* ok = dynamic_cast<BButton*>(w->FindView("ButtonOK"));
		EXPECT_STREQ(ok->Label(), "OK");
		EXPECT_EQ(ok->Frame().top, 191 + 15 - 3);
		EXPECT_EQ(w->Bounds(), BRect(0, 0, 320, 241));
		// The language page fills itself when it is first shown.
		tabs->Select(1);
		return 0;
	});

	// Both shipped files are offered; the first is described.
	TLangInfoView* languages = page->LangView();
	std::string names = windowtest::locked(window, std::string(), [&](TORVAboutWin*) {
		std::string all;
		BMenu* menu = dynamic_cast<BMenuField*>(languages->FindView("MFieldLanguage"))->Menu();
		for (int32 i = 0; BMenuItem* item = menu->ItemAt(i); i++)
			all += std::string(item->Label()) + ";";
		return all;
	});
	EXPECT_EQ(names, "English;\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E (Japanese);");
	const std::string info = windowtest::locked(window, std::string(),
		[&](TORVAboutWin*) { return languages->InfoText(); });
	EXPECT_EQ(info.rfind("Language\nEnglish\n\nFile name\nEnglish.llt\n\nTranslated by\nORVIK\n\n", 0),
		0u) << info;
	EXPECT_NE(info.find("Number of texts\n"), std::string::npos);
	windowtest::quit(window);
}
