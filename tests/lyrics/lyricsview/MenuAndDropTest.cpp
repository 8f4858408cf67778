// The view's context menu (items, labels, targets, opening by a right
// click) and files dropped on the view.
#include "ViewHarness.h"

#include "display/DisplayServer.h"
#include "framework/TORVView.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "interface/MenuSession.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lyrics/VersoDMessages.h"

#include <Application.h>
#include <Entry.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include <fstream>

using lyricsview::LyricsViewTest;

namespace {

std::string language_file(const char* name)
{
	return std::string(VERSO_SOURCE_DIR) + "/data/Language/" + name;
}

struct Expected {
	const char* key;
	const char* letter;
	uint32 what;
};

// The menu's items in order; a null key is a separator, "WP"/"WS" the
// submenus.
const Expected kItems[] = {
	{"PopMItem_Open", "O", kMsgPopOpenLyrics},
	{nullptr, nullptr, 0},
	{"PopMenu_Win_Pos", "N", 0},
	{"PopMenu_Win_Size", "S", 0},
	{"PopMItem_Hide", "D", kMsgPopHide},
	{nullptr, nullptr, 0},
	{"PopMItem_Stay_On_Top", "T", kMsgPopStayOnTop},
	{"PopMItem_Pref", "P", kMsgPopPreferences},
	{"PopMItem_ORVIK_Common_Pref", "S", kMsgPopCommonPrefs},
	{nullptr, nullptr, 0},
	{"PopMItem_Help", "H", kMsgPopHelp},
	{nullptr, nullptr, 0},
	{"PopMItem_Author_Web", "J", kMsgPopAuthorWeb},
	{nullptr, nullptr, 0},
	{"PopMItem_About", "A", B_ABOUT_REQUESTED},
};

int32 int32_of(const BMessage* message, const char* name)
{
	int32 value = -1;
	message->FindInt32(name, &value);
	return value;
}

std::string label(const std::string& format, const char* letter, const char* key)
{
	std::string text = format;
	const size_t a = text.find('a');
	if (a == std::string::npos)
		return gLLT->Text(key);
	return text.replace(a, 1, letter) + gLLT->Text(key);
}

class LyricsViewMenuTest : public LyricsViewTest {
protected:
	void SetUp() override
	{
		LyricsViewTest::SetUp();
		gLLT = new TLLT;
		ASSERT_EQ(gLLT->Load(language_file("English.llt").c_str()), 0);
		gIAP = new TInterAppPrefs;
		ASSERT_EQ(gIAP->AddItem(new TIAPItemAccKeyFormat), B_OK);
		ASSERT_EQ(gIAP->SetString("AccKeyFormat", "a) "), B_OK);
	}

	void TearDown() override
	{
		LyricsViewTest::TearDown();
		delete gIAP;
		gIAP = nullptr;
		delete gLLT;
		gLLT = nullptr;
	}

	// Checks every label, message and target of the menu.
	void CheckMenu(const std::string& format)
	{
		BAutolock lock(fWindow);
		BPopUpMenu* menu = fView->PopupMenu();
		ASSERT_NE(menu, nullptr);
		const int32 count = static_cast<int32>(sizeof(kItems) / sizeof(kItems[0]));
		ASSERT_EQ(menu->CountItems(), count);
		for (int32 i = 0; i < count; i++) {
			BMenuItem* item = menu->ItemAt(i);
			SCOPED_TRACE(i);
			if (kItems[i].key == nullptr) {
				EXPECT_TRUE(item->Label() == nullptr || item->Label()[0] == '\0');
				EXPECT_EQ(item->Message(), nullptr);
				continue;
			}
			EXPECT_EQ(std::string(item->Label()), label(format, kItems[i].letter, kItems[i].key));
			EXPECT_EQ(item->Shortcut(), 0);
			if (item->Submenu() == nullptr) {
				ASSERT_NE(item->Message(), nullptr);
				EXPECT_EQ(item->Message()->what, kItems[i].what);
				EXPECT_EQ(item->Message()->CountNames(B_ANY_TYPE), 0);
				EXPECT_EQ(item->Target(), fWindow);
			}
		}
		EXPECT_EQ(fView->StayOnTopItem(), menu->ItemAt(6));

		const char* posLetters = "TBLR";
		BMenu* positions = menu->ItemAt(2)->Submenu();
		ASSERT_NE(positions, nullptr);
		ASSERT_EQ(positions->CountItems(), 4);
		for (int32 i = 0; i < 4; i++) {
			BMenuItem* item = positions->ItemAt(i);
			const std::string key = "PopMItem_WP_" + std::to_string(i);
			const char letter[2] = {posLetters[i], '\0'};
			EXPECT_EQ(std::string(item->Label()), label(format, letter, key.c_str()));
			EXPECT_EQ(item->Message()->what, static_cast<uint32>(kMsgPopWinPos));
			EXPECT_EQ(int32_of(item->Message(), kFieldWinPos), i);
			EXPECT_EQ(item->Target(), fWindow);
		}
		BMenu* sizes = menu->ItemAt(3)->Submenu();
		ASSERT_NE(sizes, nullptr);
		ASSERT_EQ(sizes->CountItems(), 2);
		for (int32 i = 0; i < 2; i++) {
			BMenuItem* item = sizes->ItemAt(i);
			const std::string key = "PopMItem_WS_" + std::to_string(i);
			EXPECT_EQ(std::string(item->Label()), label(format, i == 0 ? "W" : "H", key.c_str()));
			EXPECT_EQ(item->Message()->what, static_cast<uint32>(kMsgPopWinSize));
			EXPECT_EQ(int32_of(item->Message(), kFieldWinSize), i);
			EXPECT_EQ(item->Target(), fWindow);
		}
	}

	void Post(BMessage* message)
	{
		fWindow->PostMessage(message, fView);
		EXPECT_EQ(BPrivate::WindowAccess::Settle(fWindow), B_OK);
	}

	// The open menu's window: a window other than ours that is not the
	// player's.
	BWindow* MenuWindow()
	{
		BWindow* found = nullptr;
		testutil::wait_for([&] {
			for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
				if (window != fWindow && window->Look() == B_NO_BORDER_WINDOW_LOOK)
					found = window;
			}
			return found != nullptr;
		});
		return found;
	}
};

void inject_click(BWindow* window, BPoint where, uint32 button)
{
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto server = display::DisplayServer::Get();
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, button, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, button, false,
		display::display_clock());
}

void no_pause()
{
}

// The menu closed and let go of by its window, so that the view may delete
// it.
bool closed(BPopUpMenu* menu)
{
	return testutil::wait_for([&] { return !BPrivate::MenuSession::IsAttached(menu); });
}

}

TEST_F(LyricsViewMenuTest, ItemsLabelsAndTargetsFollowLanguageAndAcceleratorFormat)
{
	StartPlayer({"Song"});
	OpenView();
	CheckMenu("a) ");

	// a language change rebuilds the menu with the new texts
	ASSERT_EQ(gLLT->Load(language_file("Japanese.llt").c_str()), 0);
	BMessage languageChanged(kMsgLanguageChanged);
	Post(&languageChanged);
	CheckMenu("a) ");
	EXPECT_EQ(std::string(Locked([&] { return fView->PopupMenu()->ItemAt(0)->Label(); })),
		std::string("O) ") + "歌詞をエディタで開く...");

	// another shared preference leaves the menu alone
	BPopUpMenu* before = Locked([&] { return fView->PopupMenu(); });
	BMessage other(kMsgIAPChanged);
	other.AddString(kFieldIAPSrcItem, "SomethingElse");
	Post(&other);
	EXPECT_EQ(Locked([&] { return fView->PopupMenu(); }), before);

	// the accelerator format rebuilds it
	ASSERT_EQ(gIAP->SetString("AccKeyFormat", "a - "), B_OK);
	BMessage format(kMsgIAPChanged);
	format.AddString(kFieldIAPSrcItem, "AccKeyFormat");
	Post(&format);
	CheckMenu("a - ");
	ASSERT_EQ(gIAP->SetString("AccKeyFormat", ""), B_OK);
	Post(&format);
	CheckMenu("");
}

TEST_F(LyricsViewMenuTest, RightClickOpensTheMenuMarkedFromThePreferenceAndItsItemsReachTheWindow)
{
	TORVView::SetTrackingPause(&no_pause);
	StartPlayer({"Song"});
	OpenView();
	ChangePrefs([](TPref& p) { p.stayOnTop = true; }, 0);
	const int32 windowsBefore = be_app->CountWindows();

	inject_click(fWindow, BPoint(30, 20), 2 /* secondary */);
	BWindow* menuWindow = MenuWindow();
	ASSERT_NE(menuWindow, nullptr);
	EXPECT_TRUE(Locked([&] { return fView->StayOnTopItem()->IsMarked(); }));
	// opened at the click, in screen coordinates
	const BPoint topLeft = Locked([&] { return fView->ConvertToScreen(BPoint(30, 20)); });
	BPoint itemCentre;
	{
		BAutolock lock(menuWindow);
		EXPECT_EQ(menuWindow->Frame().LeftTop(), topLeft);
		BRect frame = Locked([&] { return fView->PopupMenu()->ItemAt(4)->Frame(); });
		itemCentre = BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
	}

	// choosing "hide" sends its message to the lyrics window
	inject_click(menuWindow, itemCentre, 1);
	ASSERT_TRUE(testutil::wait_for([&] {
		for (uint32 what : fWindow->Received())
			if (what == kMsgPopHide)
				return true;
		return false;
	}));

	BPopUpMenu* menu = Locked([&] { return fView->PopupMenu(); });
	ASSERT_TRUE(closed(menu));
	// the first menu's window is gone before the next one is looked for, so
	// that the search cannot find the one being deleted
	ASSERT_TRUE(testutil::wait_for([&] { return be_app->CountWindows() == windowsBefore; }));

	// the next time the mark follows the preference again
	ChangePrefs([](TPref& p) { p.stayOnTop = false; }, 0);
	inject_click(fWindow, BPoint(30, 20), 2);
	menuWindow = MenuWindow();
	ASSERT_NE(menuWindow, nullptr);
	EXPECT_FALSE(Locked([&] { return fView->StayOnTopItem()->IsMarked(); }));
	inject_click(menuWindow, itemCentre, 1);
	ASSERT_TRUE(closed(menu));
	TORVView::SetTrackingPause(nullptr);
}

TEST_F(LyricsViewTest, DroppedImageBecomesTheBackgroundAndOtherFilesChangeNothing)
{
	StartPlayer({"Song"});
	OpenView();
	ASSERT_TRUE(WaitPolls());

	auto drop = [&](const std::string& path) {
		BMessage message(B_SIMPLE_DATA);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
		message.AddRef("refs", &ref);
		fWindow->PostMessage(&message, fView);
		ASSERT_EQ(BPrivate::WindowAccess::Settle(fWindow), B_OK);
	};
	auto told = [&] {
		int32 count = 0;
		for (uint32 what : fWindow->Received())
			count += what == kMsgBackgroundImageChanged;
		return count;
	};
	const std::string prefFile = fDir.File("config") + "/ORVIK/Shared/VersoShared_Prefs.arc";

	// a text file, and a message without files: nothing happens
	drop(fDir.Write("lyrics.txt", "[00:00.00]words\n"));
	BMessage empty(B_SIMPLE_DATA);
	fWindow->PostMessage(&empty, fView);
	windowtest::Pixels before(fWindow);
	EXPECT_FALSE(TPrefLock()->useBackgroundImage);
	EXPECT_EQ(TPrefLock()->backgroundImage, "");
	EXPECT_EQ(told(), 0);
	EXPECT_FALSE(BEntry(prefFile.c_str()).Exists());
	EXPECT_EQ(before.At(2, 2), windowtest::rgb(lyricsview::kBack));

	// an image: on, with its path, saved, shown, and the window is told
	const std::string image = fDir.File("picture.bmp");
	{
		// 1 × 1 pixel BMP, 24 bits, in a distinct colour
		const unsigned char bmp[] = {
			'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
			0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0x13, 0x0b, 0, 0, 0x13, 0x0b, 0, 0,
			0, 0, 0, 0, 0, 0, 0, 0, 0x30, 0x60, 0x90, 0};
		std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof(bmp));
	}
	drop(image);
	ASSERT_TRUE(testutil::wait_for([&] { return told() == 1; }));
	EXPECT_TRUE(TPrefLock()->useBackgroundImage);
	EXPECT_EQ(TPrefLock()->backgroundImage, image);
	EXPECT_TRUE(BEntry(prefFile.c_str()).Exists());
	ASSERT_EQ(BPrivate::WindowAccess::Settle(fWindow), B_OK);
	windowtest::Pixels after(fWindow);
	EXPECT_EQ(after.At(2, 2), 0x906030u);
	EXPECT_EQ(after.At(390, 110), 0x906030u);
}
