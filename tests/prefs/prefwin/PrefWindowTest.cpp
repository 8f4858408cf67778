// The preference window driven as a user drives it: clicks on its controls
// and tabs, typing, keys with and without Control, menu choices, drops and
// the close box. Each test checks the live record, the notices the manager
// receives (in order), the confirmed copy and the saved file.
#include "PrefWinTestSupport.h"

#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "plugin/CommManMessages.h"
#include "plugin/TVersoDCommMan.h"
#include "prefs/TPrefView.h"
#include "prefs/TPrefWin.h"
#include "prefs/TSimpleInputView.h"
#include "prefs/TSimpleInputWin.h"

#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ColorControl.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <RadioButton.h>
#include <Resources.h>
#include <TabView.h>
#include <TextControl.h>

#include <string.h>

using namespace pwtest;

namespace {

const std::vector<uint32> kNone;

int32 value_of(BWindow* window, BControl* control)
{
	return windowtest::locked(window, (int32)-1, [control](BWindow*) { return control->Value(); });
}

bool enabled(BWindow* window, BControl* control)
{
	return windowtest::locked(window, false, [control](BWindow*) { return control->IsEnabled(); });
}

std::string marked_label(BWindow* window, BMenuField* field)
{
	return windowtest::locked(window, std::string(), [field](BWindow*) {
		BMenuItem* item = field->Menu()->FindMarked();
		return std::string(item != nullptr ? item->Label() : "");
	});
}

}

TEST_F(PrefWinTest, ShowsTheRecordLabelledInTheLanguage)
{
	{
		TPrefLock pref;
		pref->fontSize = 14.5f;
		pref->timeDifference = -120;
		pref->readEncoding = 1;
		pref->useBackgroundImage = false;
		pref->imageAlignment = 1;
	}
	Open();
	EXPECT_EQ(windowtest::locked(fWindow, std::string(),
		[](BWindow* w) { return std::string(w->Title()); }), "Verso Preferences");
	// Frames of the archive: the window is as large as the view.
	BRect bounds = windowtest::locked(fWindow, BRect(), [](BWindow* w) { return w->Bounds(); });
	EXPECT_EQ(bounds, BRect(0, 0, 515, 310));

	EXPECT_EQ(FieldText("TxtCtrlFontSize"), "14.50");
	EXPECT_EQ(FieldText("TxtCtrlTimeDifference"), "-120");
	EXPECT_EQ(marked_label(fWindow, Find<BMenuField>("MFieldReadEncoding")), "Shift-JIS (Windows)");
	EXPECT_EQ(marked_label(fWindow, Find<BMenuField>("MFieldColor")), "Lyrics");
	EXPECT_EQ(value_of(fWindow, Find<BRadioButton>("RButtonScaleToFit")), 1);
	EXPECT_FALSE(enabled(fWindow, Find<BTextControl>("TxtCtrlBGImageFName")));
	EXPECT_FALSE(enabled(fWindow, Find<BButton>("ButtonBrowseBGImg")));

	BCheckBox* stayOnTop = Find<BCheckBox>("CBoxStayOnTop");
	EXPECT_EQ(windowtest::locked(fWindow, std::string(),
		[&](BWindow*) { return std::string(stayOnTop->Label()); }), "T) Always on top");
	// Each control is as wide as its label.
	EXPECT_GT(windowtest::locked(fWindow, 0.0f,
		[&](BWindow*) { return stayOnTop->Bounds().Width(); }), 60.0f);
	BCheckBox* extended = Find<BCheckBox>("CBoxReadExtendedTags");
	EXPECT_EQ(windowtest::locked(fWindow, std::string(),
		[&](BWindow*) { return std::string(extended->Label()); }),
		"X) Read extended LRC tags (repeated time tags, [offset:], headers)");
	// The fields of a pair line up.
	BMenuField* language = Find<BMenuField>("MFieldLanguage");
	BMenuField* encoding = Find<BMenuField>("MFieldReadEncoding");
	EXPECT_EQ(windowtest::locked(fWindow, 0.0f, [&](BWindow*) { return language->Divider(); }),
		windowtest::locked(fWindow, 0.0f, [&](BWindow*) { return encoding->Divider(); }));
	EXPECT_TRUE(fCommMan->TakeCodes().empty());
}

TEST_F(PrefWinTest, CheckBoxesEditTheRecordAndAnnounceInOrder)
{
	Open();
	Click("CBoxStayOnTop");
	EXPECT_EQ(windowtest::locked(fWindow, B_NORMAL_WINDOW_FEEL,
		[](BWindow* w) { return w->Feel(); }), B_FLOATING_ALL_WINDOW_FEEL);
	SelectTab(1);
	Click("CBoxAntiAliasing");
	Click("CBoxUseActiveFrame");
	SelectTab(2);
	Click("CBoxUseBGImage");
	EXPECT_TRUE(enabled(fWindow, Find<BTextControl>("TxtCtrlBGImageFName")));
	EXPECT_TRUE(enabled(fWindow, Find<BRadioButton>("RButtonTile")));
	SelectTab(3);
	Click("CBoxDoubleBuffering");
	Click("CBoxReadExtendedTags");
	SelectTab(4);
	Click("CBoxShowToolButton");
	fCommMan->Sync();

	EXPECT_EQ(codes(fCommMan->TakeCodes()),
		codes({'Spsc', 'Spac', 'Spac', 'Spac', 'pdbc', 'Sprc', 'Splc'}));
	TPref defaults;
	Pref([&](const TPref& pref) {
		EXPECT_NE(pref.stayOnTop, defaults.stayOnTop);
		EXPECT_NE(pref.antiAliasing, defaults.antiAliasing);
		EXPECT_NE(pref.useActiveFrame, defaults.useActiveFrame);
		EXPECT_NE(pref.useBackgroundImage, defaults.useBackgroundImage);
		EXPECT_NE(pref.doubleBuffering, defaults.doubleBuffering);
		EXPECT_TRUE(pref.readExtendedTags);
		EXPECT_NE(pref.showToolBar, defaults.showToolBar);
		return 0;
	});
	// Only OK confirms.
	EXPECT_FALSE(Confirmed().stayOnTop);
}

TEST_F(PrefWinTest, MenusStoreTheIndexOfTheChosenItem)
{
	Open();
	// The fourth visible item is automatic detection, stored as 4.
	choose(fWindow, Find<BMenuField>("MFieldReadEncoding"), 4);
	EXPECT_EQ(Pref([](const TPref& p) { return p.readEncoding; }), 4);
	choose(fWindow, Find<BMenuField>("MFieldReadEncoding"), 2);
	EXPECT_EQ(Pref([](const TPref& p) { return p.readEncoding; }), 2);

	SelectTab(4);
	choose(fWindow, Find<BMenuField>("MFieldWriteCRType"), 2);
	choose(fWindow, Find<BMenuField>("MFieldWriteEncoding"), 1);
	EXPECT_EQ(Pref([](const TPref& p) { return p.writeCrType; }), 2);
	EXPECT_EQ(Pref([](const TPref& p) { return p.writeEncoding; }), 1);

	SelectTab(1);
	BMenuField* families = Find<BMenuField>("MFieldFontFamily");
	const int32 count = windowtest::locked(fWindow, (int32)0,
		[&](BWindow*) { return families->Menu()->CountItems(); });
	ASSERT_GT(count, 0) << "the font families of this machine are listed";
	choose(fWindow, families, count - 1);
	EXPECT_EQ(Pref([](const TPref& p) { return std::string(p.fontFamily); }),
		marked_label(fWindow, families));
	fCommMan->Sync();
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({kMsgPrefReadEncodingChanged,
		kMsgPrefReadEncodingChanged, kMsgPrefLineEndChanged, kMsgPrefWriteEncodingChanged,
		kMsgPrefAppearanceChanged}));
}

TEST_F(PrefWinTest, FontSizeIsHeldInRangeWhileTheTextStaysAsTyped)
{
	Open();
	SelectTab(1);
	TypeInto("TxtCtrlFontSize", "");
	windowtest::key(fWindow, kKeyBackspace);
	windowtest::settle(fWindow);
	fCommMan->Sync();
	fCommMan->Take();

	std::vector<float> stored;
	for (char c : std::string("100")) {
		windowtest::type(fWindow, std::string(1, c).c_str());
		windowtest::settle(fWindow);
		fCommMan->Sync();
		stored.push_back(Pref([](const TPref& p) { return p.fontSize; }));
	}
	EXPECT_EQ(stored, (std::vector<float>{5.0f, 10.0f, 50.0f}));
	EXPECT_EQ(FieldText("TxtCtrlFontSize"), "100");
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({'Spac', 'Spac', 'Spac'}));

	TypeInto("TxtCtrlFontSize", "abc");
	EXPECT_EQ(Pref([](const TPref& p) { return p.fontSize; }), 5.0f);
	TypeInto("TxtCtrlFontSize", "nan");
	EXPECT_EQ(Pref([](const TPref& p) { return p.fontSize; }), 5.0f)
		<< "what is not a number is read as 0";
	TypeInto("TxtCtrlFontSize", "17.5pt");
	EXPECT_EQ(Pref([](const TPref& p) { return p.fontSize; }), 17.5f);
}

TEST_F(PrefWinTest, TimeDifferenceIsHeldWithinFiveSeconds)
{
	Open();
	SelectTab(4);
	TypeInto("TxtCtrlTimeDifference", "-9999");
	EXPECT_EQ(Pref([](const TPref& p) { return p.timeDifference; }), -5000);
	EXPECT_EQ(FieldText("TxtCtrlTimeDifference"), "-9999");
	TypeInto("TxtCtrlTimeDifference", "99999999999999999999");
	EXPECT_EQ(Pref([](const TPref& p) { return p.timeDifference; }), 5000);
	TypeInto("TxtCtrlTimeDifference", "250");
	EXPECT_EQ(Pref([](const TPref& p) { return p.timeDifference; }), 250);
	fCommMan->Sync();
	for (uint32 what : fCommMan->TakeCodes())
		EXPECT_EQ(code(what), code('Sptc'));
}

TEST_F(PrefWinTest, TheColourControlEditsTheChosenColour)
{
	Open();
	SelectTab(1);
	BMenuField* colors = Find<BMenuField>("MFieldColor");
	choose(fWindow, colors, 1);
	BColorControl* control = Find<BColorControl>("ColCtrlAppearance");
	EXPECT_EQ(windowtest::locked(fWindow, (uint32)1,
		[&](BWindow*) { return windowtest::rgb(control->ValueAsColor()); }), 0x000000u)
		<< "the background colour is shown for editing";

	// The red band, near its right end.
	BPoint band = windowtest::locked(fWindow, BPoint(), [&](BWindow* w) {
		BPoint where(200, 4);
		control->ConvertToScreen(&where);
		return where - w->Frame().LeftTop();
	});
	windowtest::click(fWindow, (int32)band.x, (int32)band.y);
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	const rgb_color edited = windowtest::locked(fWindow, rgb_color(),
		[&](BWindow*) { return control->ValueAsColor(); });
	ASSERT_GT(edited.red, 100);
	TPref pref = Pref([](const TPref& p) { return p; });
	EXPECT_EQ(windowtest::rgb(pref.backColor), windowtest::rgb(edited));
	EXPECT_EQ(windowtest::rgb(pref.textColor), 0xffffffu) << "the other colours stay";
	fCommMan->Sync();
	std::vector<uint32> notices = fCommMan->TakeCodes();
	ASSERT_FALSE(notices.empty());
	EXPECT_EQ(code(notices.back()), code('Spac'));

	// The swatch shows the colour.
	BBox* swatch = Find<BBox>("BoxDispColor");
	BPoint middle = center_of(fWindow, swatch);
	windowtest::Pixels pixels(fWindow);
	EXPECT_EQ(pixels.At((int32)middle.x, (int32)middle.y), windowtest::rgb(edited));

	// Choosing another colour for editing leaves the record alone.
	choose(fWindow, colors, 0);
	EXPECT_EQ(windowtest::locked(fWindow, (uint32)0,
		[&](BWindow*) { return windowtest::rgb(control->ValueAsColor()); }), 0xffffffu);
	fCommMan->Sync();
	EXPECT_TRUE(fCommMan->TakeCodes().empty());
}

TEST_F(PrefWinTest, PlacementFollowsTheRadioButtons)
{
	{
		TPrefLock pref;
		pref->useBackgroundImage = true;
	}
	Open();
	SelectTab(2);
	Click("RButtonScaleToFit");
	EXPECT_EQ(Pref([](const TPref& p) { return p.imageAlignment; }), 1);
	Click("RButtonTile");
	EXPECT_EQ(Pref([](const TPref& p) { return p.imageAlignment; }), 0);
	fCommMan->Sync();
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({'Spac', 'Spac'}));
}

TEST_F(PrefWinTest, EnterConfirmsSavesAndHides)
{
	Open();
	SelectTab(3);
	Click("CBoxDoubleBuffering");
	fCommMan->Sync();
	fCommMan->Take();

	windowtest::key(fWindow, kKeyReturn);
	ASSERT_TRUE(fCommMan->WaitFor('Sssr'));
	EXPECT_TRUE(IsHidden());
	windowtest::settle(fWindow);
	fCommMan->Sync();
	std::vector<BMessage> seen = fCommMan->Take();
	ASSERT_EQ(seen.size(), 1u) << "OK is pressed once";
	const char* status = "";
	seen[0].FindString("StatBarStr", &status);
	EXPECT_STREQ(status, "The preferences have been changed.");
	EXPECT_FALSE(Confirmed().doubleBuffering);
	TPref saved;
	ASSERT_TRUE(ReadSaved(&saved));
	EXPECT_FALSE(saved.doubleBuffering);

	// Shown again, it shows what was left.
	windowtest::locked(fWindow, 0, [](TPrefWin* w) {
		w->Appear();
		return 0;
	});
	windowtest::settle(fWindow);
	EXPECT_EQ(value_of(fWindow, Find<BCheckBox>("CBoxDoubleBuffering")), 0);
}

TEST_F(PrefWinTest, EscapeAndTheCloseBoxCancel)
{
	Open();
	Click("CBoxStayOnTop");
	SelectTab(1);
	TypeInto("TxtCtrlFontSize", "30");
	fCommMan->Sync();
	fCommMan->Take();

	windowtest::key(fWindow, kKeyEscape);
	ASSERT_TRUE(fCommMan->WaitFor('Sedr'));
	EXPECT_TRUE(IsHidden());
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	fCommMan->Sync();
	// Stay on top went back: the lyrics window hears of it; the font size
	// field, set back, announces the appearance.
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({'Spsc', 'Sedr', 'Spac', 'Spac', 'Sptc'}));
	EXPECT_FALSE(Pref([](const TPref& p) { return p.stayOnTop; }));
	EXPECT_EQ(Pref([](const TPref& p) { return p.fontSize; }), 12.0f);
	EXPECT_EQ(FieldText("TxtCtrlFontSize"), "12.00");
	EXPECT_EQ(value_of(fWindow, Find<BCheckBox>("CBoxStayOnTop")), 0);
	TPref saved;
	EXPECT_FALSE(ReadSaved(&saved)) << "Cancel saves nothing";

	// The close box does the same, and only hides the window.
	windowtest::locked(fWindow, 0, [](TPrefWin* w) {
		w->Appear();
		return 0;
	});
	windowtest::settle(fWindow);
	SelectTab(3);
	Click("CBoxReadExtendedTags");
	EXPECT_TRUE(Pref([](const TPref& p) { return p.readExtendedTags; }));
	fCommMan->Sync();
	fCommMan->Take();
	close_box(fWindow);
	EXPECT_TRUE(IsHidden());
	EXPECT_FALSE(Pref([](const TPref& p) { return p.readExtendedTags; }));
	// the lyrics are read again the way they were
	ASSERT_TRUE(fCommMan->WaitFor('Sedr'));
	const std::vector<uint32> notices = fCommMan->TakeCodes();
	ASSERT_GE(notices.size(), 2u);
	EXPECT_EQ(codes({notices[0], notices[1]}), codes({'Sprc', 'Sedr'}));
	ASSERT_TRUE(fWindow->Lock()) << "the window still exists";
	fWindow->Unlock();
}

TEST_F(PrefWinTest, DefaultThenCancelRestoresTheConfirmedRecord)
{
	{
		TPrefLock pref;
		pref->languageFile = "";
		pref->showToolBar = false;
		pref->fontSize = 20;
		pref->backColor = {10, 20, 30, 255};
	}
	Open();
	Click("ButtonDefault");
	EXPECT_FALSE(IsHidden()) << "Default leaves the window open";
	windowtest::settle(fWindow);
	fCommMan->Sync();
	// The language and the tool bar differ; the rest is announced by the
	// text fields showing the defaults (font size, image file, time).
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({'plgc', 'Splc', 'Spac', 'Spac', 'Sptc'}));
	TPref now = Pref([](const TPref& p) { return p; });
	EXPECT_EQ(now.languageFile, "English.llt");
	EXPECT_EQ(now.fontSize, 12.0f);
	EXPECT_EQ(windowtest::rgb(now.backColor), 0x000000u);

	Click("ButtonCancel");
	EXPECT_TRUE(IsHidden());
	windowtest::settle(fWindow);
	fCommMan->Sync();
	EXPECT_EQ(codes(fCommMan->TakeCodes()),
		codes({'plgc', 'Splc', 'Sedr', 'Spac', 'Spac', 'Sptc'}));
	now = Pref([](const TPref& p) { return p; });
	EXPECT_EQ(now.languageFile, "");
	EXPECT_FALSE(now.showToolBar);
	EXPECT_EQ(now.fontSize, 20.0f);
	EXPECT_EQ(windowtest::rgb(now.backColor), 0x0a141eu);
}

TEST_F(PrefWinTest, DefaultThenOKSavesTheDefaults)
{
	{
		TPrefLock pref;
		pref->fontSize = 20;
		pref->writeEncoding = 2;
		pref->readExtendedTags = true;
	}
	Open();
	Click("ButtonDefault");
	Click("ButtonOK");
	ASSERT_TRUE(fCommMan->WaitFor('Sssr'));
	TPref saved;
	saved.fontSize = 1;
	saved.writeEncoding = 1;
	saved.readExtendedTags = true;
	ASSERT_TRUE(ReadSaved(&saved));
	EXPECT_EQ(saved.fontSize, 12.0f);
	EXPECT_EQ(saved.writeEncoding, 0);
	EXPECT_FALSE(saved.readExtendedTags);
	EXPECT_EQ(Confirmed().fontSize, 12.0f);
}

TEST_F(PrefWinTest, StayOnTopFromTheLyricsWindowSurvivesCancel)
{
	Open();
	{
		TPrefLock pref;
		pref->stayOnTop = true;
	}
	fWindow->PostMessage('Ssic');
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	EXPECT_EQ(value_of(fWindow, Find<BCheckBox>("CBoxStayOnTop")), 1);
	EXPECT_EQ(windowtest::locked(fWindow, B_NORMAL_WINDOW_FEEL,
		[](BWindow* w) { return w->Feel(); }), B_FLOATING_ALL_WINDOW_FEEL);

	windowtest::key(fWindow, kKeyEscape);
	ASSERT_TRUE(fCommMan->WaitFor('Sedr'));
	EXPECT_TRUE(Pref([](const TPref& p) { return p.stayOnTop; }));
	fCommMan->Sync();
	for (uint32 what : fCommMan->TakeCodes())
		EXPECT_NE(code(what), code('Spsc'));
}

TEST_F(PrefWinTest, BackgroundImageFromTheLyricsWindowSurvivesCancel)
{
	Open();
	{
		TPrefLock pref;
		pref->useBackgroundImage = true;
		pref->backgroundImage = "/pictures/sea.png";
	}
	fWindow->PostMessage('piic');
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	EXPECT_EQ(FieldText("TxtCtrlBGImageFName"), "/pictures/sea.png");
	EXPECT_TRUE(enabled(fWindow, Find<BButton>("ButtonBrowseBGImg")));
	Click("ButtonCancel");
	ASSERT_TRUE(fCommMan->WaitFor('Sedr'));
	EXPECT_EQ(Pref([](const TPref& p) { return p.backgroundImage; }), "/pictures/sea.png");
	EXPECT_TRUE(Pref([](const TPref& p) { return p.useBackgroundImage; }));
}

TEST_F(PrefWinTest, KeysF1AndControlLetters)
{
	Open();
	// F1 presses Help: the help document is not beside this test, so the
	// user is told.
	windowtest::key(fWindow, kKeyF1);
	ASSERT_TRUE(testutil::wait_for([&] { return !fAlerts->Requests().empty(); }));
	EXPECT_NE(fAlerts->Requests()[0].text.find("VersoD.htm"), std::string::npos);

	// Control+T: the stay-on-top box of the first tab.
	control_key(fWindow, letter('t'));
	EXPECT_TRUE(Pref([](const TPref& p) { return p.stayOnTop; }));
	// On the background-image tab, Control+S is "scale to fit" and
	// Control+U the use box.
	SelectTab(2);
	control_key(fWindow, letter('u'));
	EXPECT_TRUE(Pref([](const TPref& p) { return p.useBackgroundImage; }));
	control_key(fWindow, letter('s'));
	EXPECT_EQ(Pref([](const TPref& p) { return p.imageAlignment; }), 1);
	// Control+D: Default, on every tab.
	control_key(fWindow, letter('d'));
	windowtest::settle(fWindow);
	EXPECT_FALSE(Pref([](const TPref& p) { return p.stayOnTop; }));
	EXPECT_FALSE(Pref([](const TPref& p) { return p.useBackgroundImage; }));
	EXPECT_FALSE(IsHidden());
}

TEST_F(PrefWinTest, DropsOfFilesFromOtherApplicationsOntoTheFileName)
{
	Open();
	const std::string image = fConfig.Write("sea.png", "not really a picture");
	SelectTab(0);
	BTextControl* field = Find<BTextControl>("TxtCtrlBGImageFName");
	// Not on its tab: refused.
	drop(fWindow, image, BPoint(100, 100));
	EXPECT_FALSE(Pref([](const TPref& p) { return p.useBackgroundImage; }));

	SelectTab(2);
	// Beside the field: refused.
	drop(fWindow, image, BPoint(450, 200));
	EXPECT_FALSE(Pref([](const TPref& p) { return p.useBackgroundImage; }));
	EXPECT_EQ(FieldText("TxtCtrlBGImageFName"), "");

	drop(fWindow, image, center_of(fWindow, field));
	EXPECT_TRUE(Pref([](const TPref& p) { return p.useBackgroundImage; }));
	EXPECT_EQ(Pref([](const TPref& p) { return p.backgroundImage; }), image);
	EXPECT_EQ(FieldText("TxtCtrlBGImageFName"), image);
	EXPECT_EQ(value_of(fWindow, Find<BCheckBox>("CBoxUseBGImage")), 1);
	EXPECT_TRUE(enabled(fWindow, field));
	fCommMan->Sync();
	EXPECT_EQ(codes(fCommMan->TakeCodes()), codes({'Spac'}));
}

TEST_F(PrefWinTest, TheFilePanelsAnswerGoesIntoTheField)
{
	{
		TPrefLock pref;
		pref->useBackgroundImage = true;
	}
	Open();
	SelectTab(2);
	Click("ButtonBrowseBGImg");
	BFilePanel* panel = windowtest::locked(fWindow, (BFilePanel*)nullptr,
		[](TPrefWin* w) { return w->BGImagePanel(); });
	ASSERT_NE(panel, nullptr);
	EXPECT_TRUE(testutil::wait_for([&] { return panel->IsShowing(); }));
	panel->Hide();

	const std::string image = fConfig.Write("lake.jpg", "");
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(image.c_str(), &ref), B_OK);
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	fWindow->PostMessage(&refs);
	BMessage empty(B_REFS_RECEIVED);
	fWindow->PostMessage(&empty);
	EXPECT_TRUE(testutil::wait_for([&] {
		return Pref([](const TPref& p) { return p.backgroundImage; }) == image;
	}));
	EXPECT_EQ(FieldText("TxtCtrlBGImageFName"), image);
}

TEST_F(PrefWinTest, ALanguageChangeRelabelsTheWindow)
{
	Open();
	ASSERT_EQ(gLLT->Load(VERSO_SOURCE_DIR "/data/Language/Japanese.llt"), 0);
	fWindow->PostMessage('_lgc');
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	EXPECT_EQ(windowtest::locked(fWindow, std::string(),
		[](BWindow* w) { return std::string(w->Title()); }), gLLT->Text("Pref_Win_Title"));
	BButton* cancel = Find<BButton>("ButtonCancel");
	EXPECT_EQ(windowtest::locked(fWindow, std::string(),
		[&](BWindow*) { return std::string(cancel->Label()); }), gLLT->Text("Button_Cancel"));
	EXPECT_EQ(marked_label(fWindow, Find<BMenuField>("MFieldReadEncoding")),
		gLLT->Text("PopMItem_Encoding_4")) << "the rebuilt menus keep their marks";
}

TEST_F(PrefWinTest, TheOptionMenuListsThePresetsOfTheFolder)
{
	const std::string folder = fConfig.Path() + "/ORVIK/VersoD";
	ASSERT_EQ(create_directory(folder.c_str(), 0755), B_OK);
	Open();
	BMenuField* option = Find<BMenuField>("MFieldOption");
	auto load_items = [&] {
		return windowtest::locked(fWindow, std::vector<std::string>(), [&](BWindow*) {
			std::vector<std::string> labels;
			BMenu* load = option->Menu()->SubmenuAt(0);
			for (int32 i = 0; load != nullptr && i < load->CountItems(); i++) {
				BMenuItem* item = load->ItemAt(i);
				labels.push_back(item->Message() == nullptr ? "-"
					: std::string(item->Label()) + (item->IsEnabled() ? "" : " (off)"));
			}
			return labels;
		});
	};
	// Without presets: the default, two separators and delete-all, off.
	EXPECT_EQ(load_items(), (std::vector<std::string>{"D) Defaults", "-", "-",
		"L) Delete All Settings... (off)"}));

	BFile(std::string(folder + "/UAP_Blue").c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	BFile(std::string(folder + "/notes").c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	fWindow->PostMessage('_lgc');
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	EXPECT_EQ(load_items(), (std::vector<std::string>{"D) Defaults", "-", "Blue", "-",
		"L) Delete All Settings..."}));
}

TEST(PrefWinResource, AMissingOrDamagedViewTreeMakesNoWindow)
{
	testutil::TempDir dir;
	TPrefWin* missing = new TPrefWin(BRect(0, 0, 1, 1), nullptr, dir.File("none").c_str());
	EXPECT_EQ(missing->InitCheck(), B_NO_INIT);
	ASSERT_TRUE(missing->Lock());
	missing->Quit();

	// A file with resources, but 'ARCV' "PrefViewRsrc" is no message.
	const std::string damaged = dir.File("damaged");
	{
		BFile file(damaged.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BResources resources(&file, true);
		const char junk[] = "not a message at all";
		ASSERT_EQ(resources.AddResource('ARCV', 3000, junk, sizeof(junk), "PrefViewRsrc"), B_OK);
	}
	TPrefWin* broken = new TPrefWin(BRect(0, 0, 1, 1), nullptr, damaged.c_str());
	EXPECT_EQ(broken->InitCheck(), B_NO_INIT);
	ASSERT_TRUE(broken->Lock());
	broken->Quit();

	// A message, but a view tree without the controls.
	const std::string hollow = dir.File("hollow");
	{
		BView view(BRect(0, 0, 515, 310), "PrefView", 0, 0);
		BMessage archive;
		ASSERT_EQ(view.Archive(&archive), B_OK);
		std::vector<char> flat(archive.FlattenedSize());
		ASSERT_EQ(archive.Flatten(flat.data(), flat.size()), B_OK);
		BFile file(hollow.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BResources resources(&file, true);
		ASSERT_EQ(resources.AddResource('ARCV', 3000, flat.data(), flat.size(), "PrefViewRsrc"),
			B_OK);
	}
	TPrefWin* empty = new TPrefWin(BRect(0, 0, 1, 1), nullptr, hollow.c_str());
	EXPECT_EQ(empty->InitCheck(), B_NO_INIT);
	ASSERT_TRUE(empty->Lock());
	empty->Quit();
}

TEST_F(PrefWinTest, TheManagerTellsWhenThePreferenceWindowCannotBeMade)
{
	// This program is no plug-in file: there is no view tree to read.
	TVersoDCommMan* manager = new TVersoDCommMan;
	manager->Run();
	BMessage request(kMsgOpenPrefWin);
	request.AddBool(kFieldBesideDlg, false);
	manager->PostMessage(&request);
	ASSERT_TRUE(testutil::wait_for([&] { return !fAlerts->Requests().empty(); }));
	const orvik::TAlertRequest alert = fAlerts->Requests()[0];
	EXPECT_NE(alert.text.find("The preference window cannot be opened."), std::string::npos);
	ASSERT_TRUE(manager->Lock());
	EXPECT_EQ(manager->PrefWindow(), nullptr);
	manager->Quit();
}

TEST(PrefWinResource, ThePlugInCarriesTheArchivedViewTree)
{
	BFile file(plugin_path(), B_READ_ONLY);
	BResources resources;
	ASSERT_EQ(resources.SetTo(&file), B_OK);
	size_t size = 0;
	const void* data = resources.LoadResource('ARCV', "PrefViewRsrc", &size);
	ASSERT_NE(data, nullptr);
	const void* byID = resources.LoadResource('ARCV', 3000, &size);
	EXPECT_EQ(byID, data) << "'ARCV' 3000 is the one named PrefViewRsrc";
	BMessage archive;
	ASSERT_EQ(archive.Unflatten(static_cast<const char*>(data)), B_OK);
	int32 id = -1;
	float designSize = 0;
	EXPECT_EQ(archive.FindInt32("ID", &id), B_OK);
	EXPECT_EQ(id, 0);
	EXPECT_EQ(archive.FindFloat("designfsize", &designSize), B_OK);
	EXPECT_NEAR(designSize, 11.99, 0.001);

	// Rebuilt with the platform's classes, as laid out: labels empty.
	BView* top = dynamic_cast<BView*>(instantiate_object(&archive));
	ASSERT_NE(top, nullptr);
	EXPECT_STREQ(top->Name(), "PrefView");
	EXPECT_EQ(top->Frame(), BRect(0, 0, 515, 310));
	BTabView* tabs = dynamic_cast<BTabView*>(top->FindView("TabViewCategory"));
	ASSERT_NE(tabs, nullptr);
	EXPECT_EQ(tabs->Frame(), BRect(0, 5, 640, 255));
	EXPECT_EQ(tabs->TabHeight(), 20);
	ASSERT_EQ(tabs->CountTabs(), 5);
	EXPECT_EQ(tabs->TabAt(1)->View()->Frame().Height(), 240);
	EXPECT_EQ(tabs->TabAt(4)->View()->Frame().Height(), 225);
	BCheckBox* extended = dynamic_cast<BCheckBox*>(
		tabs->TabAt(3)->View()->FindView("CBoxReadExtendedTags"));
	ASSERT_NE(extended, nullptr);
	EXPECT_EQ(extended->Frame(), BRect(10, 35, 32, 53));
	EXPECT_STREQ(extended->Label(), "");
	BRadioButton* scale = dynamic_cast<BRadioButton*>(
		tabs->TabAt(2)->View()->FindView("RButtonScaleToFit"));
	ASSERT_NE(scale, nullptr);
	EXPECT_STREQ(scale->Parent()->Name(), "BoxBGImageAlign");
	BMenuField* crType = dynamic_cast<BMenuField*>(
		tabs->TabAt(4)->View()->FindView("MFieldWriteCRType"));
	ASSERT_NE(crType, nullptr);
	EXPECT_EQ(crType->Divider(), 8);
	BTextControl* fontSize = dynamic_cast<BTextControl*>(
		tabs->TabAt(1)->View()->FindView("TxtCtrlFontSize"));
	ASSERT_NE(fontSize, nullptr);
	EXPECT_EQ(fontSize->Divider(), 3);
	EXPECT_NE(top->FindView("ButtonOK"), nullptr);
	delete top;
}

TEST_F(PrefWinTest, ThePresetNameDialogIsMadeOnceAndKeepsItsText)
{
	Open();
	fWindow->PostMessage('sspr');
	windowtest::settle(fWindow);
	TSimpleInputWin* dialog = nullptr;
	ASSERT_TRUE(testutil::wait_for([&] {
		dialog = windowtest::locked(fWindow, (TSimpleInputWin*)nullptr,
			[](TPrefWin* w) { return w->SavePanel(); });
		return dialog != nullptr;
	}));
	windowtest::settle(dialog);
	EXPECT_FALSE(windowtest::locked(dialog, true, [](BWindow* w) { return w->IsHidden(); }));
	EXPECT_EQ(windowtest::locked(dialog, std::string(),
		[](BWindow* w) { return std::string(w->Title()); }), "Save Display Settings");
	EXPECT_STREQ(dialog->Data(), "Untitled");
	BTextControl* field = dialog->InputView()->DataControl();
	EXPECT_EQ(windowtest::locked(dialog, std::string(),
		[&](BWindow*) { return std::string(field->Label()); }), "N) Name of the setting");
	// Below the preference window's top.
	const BRect prefFrame = windowtest::locked(fWindow, BRect(),
		[](BWindow* w) { return w->Frame(); });
	const BRect dialogFrame = windowtest::locked(dialog, BRect(),
		[](BWindow* w) { return w->Frame(); });
	EXPECT_EQ(dialogFrame.top, prefFrame.top + 20);

	windowtest::type(dialog, "Night");
	windowtest::key(dialog, kKeyReturn);
	windowtest::settle(dialog);
	EXPECT_TRUE(windowtest::locked(dialog, false, [](BWindow* w) { return w->IsHidden(); }));

	fWindow->PostMessage('sspr');
	windowtest::settle(fWindow);
	windowtest::settle(dialog);
	EXPECT_EQ(windowtest::locked(fWindow, (TSimpleInputWin*)nullptr,
		[](TPrefWin* w) { return w->SavePanel(); }), dialog) << "made once";
	EXPECT_STREQ(dialog->Data(), "Night");
	windowtest::key(dialog, kKeyEscape);
	windowtest::settle(dialog);
}

TEST_F(PrefWinTest, AnotherAcceleratorFormatRelabelsEverything)
{
	gIAP = new TInterAppPrefs;
	gIAP->AddItem(new TIAPItemAccKeyFormat);
	ASSERT_EQ(gIAP->SetString("AccKeyFormat", "a) "), B_OK);
	Open();
	auto label = [&](const char* name) {
		BControl* control = Find<BControl>(name);
		return windowtest::locked(fWindow, std::string(),
			[&](BWindow*) { return std::string(control->Label()); });
	};
	EXPECT_EQ(label("CBoxStayOnTop"), "T) Always on top");

	ASSERT_EQ(gIAP->SetString("AccKeyFormat", "(None)"), B_OK);
	BMessage change('_ipc');
	change.AddString("IAP:SrcIAPItem", "AccKeyFormat");
	fWindow->PostMessage(&change);
	windowtest::settle(fWindow);
	windowtest::settle(fWindow);
	EXPECT_EQ(label("CBoxStayOnTop"), "Always on top");
	EXPECT_EQ(label("ButtonDefault"), "Defaults");
	BMenuField* option = Find<BMenuField>("MFieldOption");
	EXPECT_EQ(windowtest::locked(fWindow, std::string(), [&](BWindow*) {
		return std::string(option->Menu()->ItemAt(0)->Label());
	}), "Load Display Settings");

	QuitWindow();
	delete gIAP;
	gIAP = nullptr;
}
