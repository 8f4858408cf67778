// The option menu of the appearance tab: presets saved, listed, loaded,
// overwritten and deleted, names that would lead out of the preset folder,
// and the colours of a player skin, from its colour file or from a zipped
// skin through the translator roster.
#include "PrefWinTestSupport.h"

#include "../../translator/ZipFixtures.h"
#include "prefs/TPrefView.h"
#include "prefs/TPrefWin.h"
#include "prefs/TSimpleInputView.h"
#include "prefs/TSimpleInputWin.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TextControl.h>
#include <TranslatorRoster.h>

#include "interface/Modifiers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace pwtest;

namespace {

const rgb_color kBlue = {0, 0, 200, 255};
const rgb_color kRed = {200, 0, 0, 255};

class PresetTest : public PrefWinTest {
protected:
	void SetUp() override
	{
		PrefWinTest::SetUp();
		fFolder = fConfig.Path() + "/ORVIK/VersoD";
		setenv("TMPDIR", fTemp.Path().c_str(), 1);
	}
	void TearDown() override
	{
		BPrivate::set_modifiers(0);
		PrefWinTest::TearDown();
		unsetenv("TMPDIR");
	}

	TPrefView* View()
	{
		return windowtest::locked(fWindow, (TPrefView*)nullptr,
			[](TPrefWin* w) { return w->PrefView(); });
	}

	// The labels of the load (0) or save (1) submenu; "-" for a
	// separator, " (off)" after a disabled item.
	std::vector<std::string> Items(int32 submenu)
	{
		BMenuField* option = Find<BMenuField>("MFieldOption");
		return windowtest::locked(fWindow, std::vector<std::string>(), [&](BWindow*) {
			std::vector<std::string> labels;
			BMenu* menu = option->Menu()->SubmenuAt(submenu);
			for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++) {
				BMenuItem* item = menu->ItemAt(i);
				labels.push_back(item->Message() == nullptr ? "-"
					: std::string(item->Label()) + (item->IsEnabled() ? "" : " (off)"));
			}
			return labels;
		});
	}

	// Invokes the item labelled `label` of the submenu, as a click does.
	void Choose(int32 submenu, const std::string& label)
	{
		BMenuField* option = Find<BMenuField>("MFieldOption");
		const bool found = windowtest::locked(fWindow, false, [&](BWindow*) {
			BMenu* menu = option->Menu()->SubmenuAt(submenu);
			for (int32 i = 0; menu != nullptr && i < menu->CountItems(); i++) {
				BMenuItem* item = menu->ItemAt(i);
				if (item->Message() != nullptr && label == item->Label())
					return item->Invoke() == B_OK;
			}
			return false;
		});
		ASSERT_TRUE(found) << label;
		windowtest::settle(fWindow);
		windowtest::settle(fWindow);
	}

	// Saves the appearance under a new name through the name dialog.
	void SaveNew(const std::string& name)
	{
		Choose(1, "N) New Setting...");
		TSimpleInputWin* dialog = nullptr;
		ASSERT_TRUE(testutil::wait_for([&] {
			dialog = windowtest::locked(fWindow, (TSimpleInputWin*)nullptr,
				[](TPrefWin* w) { return w->SavePanel(); });
			return dialog != nullptr
				&& !windowtest::locked(dialog, true, [](BWindow* w) { return w->IsHidden(); });
		}));
		windowtest::settle(dialog);
		BTextControl* field = dialog->InputView()->DataControl();
		windowtest::locked(dialog, 0, [&](BWindow*) {
			field->SetText(name.c_str());
			return 0;
		});
		windowtest::key(dialog, kKeyReturn);
		windowtest::settle(dialog);
		windowtest::settle(fWindow);
		windowtest::settle(fWindow);
	}

	void SetColor(rgb_color color, bool frame = true)
	{
		TPrefLock pref;
		pref->textColor = color;
		pref->useActiveFrame = frame;
	}
	rgb_color TextColor() { return Pref([](const TPref& p) { return p.textColor; }); }

	// The preset file read back, or an empty message.
	rgb_color SavedColor(const std::string& name)
	{
		BFile file(std::string(fFolder + "/UAP_" + name).c_str(), B_READ_ONLY);
		BMessage archive;
		TPref pref;
		pref.textColor = rgb_color{1, 1, 1, 1};
		if (file.InitCheck() == B_OK && archive.Unflatten(&file) == B_OK)
			pref.UnarchiveAppearance(archive);
		return pref.textColor;
	}

	// The folder's entries in the order it lists them.
	std::vector<std::string> FolderNames()
	{
		std::vector<std::string> names;
		BDirectory folder(fFolder.c_str());
		BEntry entry;
		while (folder.GetNextEntry(&entry) == B_OK) {
			char name[B_FILE_NAME_LENGTH];
			entry.GetName(name);
			names.push_back(name);
		}
		return names;
	}

	std::string fFolder;
	testutil::TempDir fTemp;
};

}

TEST_F(PresetTest, SavedPresetsAreListedInFolderOrderAndLoaded)
{
	Open();
	SelectTab(1);
	EXPECT_EQ(Items(0), (std::vector<std::string>{"D) Defaults", "-", "-",
		"L) Delete All Settings... (off)"}));
	EXPECT_EQ(Items(1), (std::vector<std::string>{"N) New Setting...", "-"}));

	SetColor(kBlue);
	SaveNew("Blue");
	SetColor(kRed);
	SaveNew("Red");
	SetColor(kBlue);
	SaveNew("緑 green");
	EXPECT_TRUE(fAlerts->Requests().empty());
	EXPECT_EQ(SavedColor("Blue"), kBlue);
	EXPECT_EQ(SavedColor("Red"), kRed);

	// Listed as the folder lists them, without the prefix; "notes" is no
	// preset. No hidden file of a save is left behind.
	BFile(std::string(fFolder + "/notes").c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	std::vector<std::string> presets;
	for (const std::string& name : FolderNames()) {
		EXPECT_EQ(name.find(".saving"), std::string::npos) << name;
		if (name.compare(0, 4, "UAP_") == 0)
			presets.push_back(name.substr(4));
	}
	ASSERT_EQ(presets.size(), 3u);
	std::vector<std::string> load = {"D) Defaults", "-"};
	std::vector<std::string> save = {"N) New Setting...", "-"};
	for (const std::string& name : presets) {
		load.push_back(name);
		save.push_back(name);
	}
	load.insert(load.end(), {"-", "L) Delete All Settings..."});
	EXPECT_EQ(Items(0), load);
	EXPECT_EQ(Items(1), save);

	// Loading takes the appearance only; the other fields stay.
	{
		TPrefLock pref;
		pref->timeDifference = 300;
		pref->useActiveFrame = false;
	}
	Choose(0, "Red");
	EXPECT_EQ(TextColor(), kRed);
	EXPECT_TRUE(Pref([](const TPref& p) { return p.useActiveFrame; }));
	EXPECT_EQ(Pref([](const TPref& p) { return p.timeDifference; }), 300);
	Choose(0, "D) Defaults");
	EXPECT_EQ(TextColor(), TPref().textColor);
	EXPECT_EQ(Pref([](const TPref& p) { return p.timeDifference; }), 300);
	EXPECT_TRUE(fAlerts->Requests().empty());
}

TEST_F(PresetTest, OverwritingAsksFirstButANewPresetOfTheSameNameDoesNot)
{
	Open();
	SetColor(kBlue);
	SaveNew("Blue");
	SetColor(kRed);

	fAlerts->Answer(0);
	Choose(1, "Blue");
	std::vector<orvik::TAlertRequest> asked = fAlerts->Take();
	ASSERT_EQ(asked.size(), 1u);
	EXPECT_NE(asked[0].text.find("exists already"), std::string::npos);
	EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"N) No", "Y) Yes"}));
	EXPECT_EQ(asked[0].escapeIndex, -1);
	EXPECT_EQ(SavedColor("Blue"), kBlue) << "No keeps the preset";

	fAlerts->Answer(1);
	Choose(1, "Blue");
	EXPECT_EQ(fAlerts->Take().size(), 1u);
	EXPECT_EQ(SavedColor("Blue"), kRed);

	SetColor(kBlue);
	SaveNew("Blue");
	EXPECT_TRUE(fAlerts->Take().empty());
	EXPECT_EQ(SavedColor("Blue"), kBlue);
	EXPECT_EQ(Items(1), (std::vector<std::string>{"N) New Setting...", "-", "Blue"}));
}

TEST_F(PresetTest, AFailedWriteLeavesTheExistingPreset)
{
	Open();
	SetColor(kBlue);
	SaveNew("Blue");
	// The disk is full: the file a save writes first cannot be written.
	SetColor(kRed);
	{
		testutil::FileSizeLimit full(16);
		fAlerts->Answer(1);
		Choose(1, "Blue");
		EXPECT_EQ(SavedColor("Blue"), kBlue);
		EXPECT_FALSE(windowtest::locked(fWindow, true,
			[](TPrefWin* w) { return w->PrefView()->SaveCurrentAppearance("Blue"); }));
	}
	EXPECT_EQ(SavedColor("Blue"), kBlue);
}

TEST_F(PresetTest, ControlDeletesOnePresetAfterTheQuestionAndDeleteAllRemovesEvery)
{
	Open();
	SetColor(kBlue);
	SaveNew("Blue");
	SaveNew("Red");
	SetColor(kRed, false);
	BFile(std::string(fFolder + "/notes").c_str(), B_WRITE_ONLY | B_CREATE_FILE);

	BPrivate::set_modifiers(B_CONTROL_KEY);
	fAlerts->Answer(0);
	Choose(0, "Blue");
	std::vector<orvik::TAlertRequest> asked = fAlerts->Take();
	ASSERT_EQ(asked.size(), 1u);
	EXPECT_NE(asked[0].text.find("The display setting \"Blue\" will be deleted."),
		std::string::npos) << asked[0].text;
	EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"Cancel", "Y) Yes"}));
	EXPECT_EQ(asked[0].escapeIndex, 0);
	EXPECT_TRUE(BEntry(std::string(fFolder + "/UAP_Blue").c_str()).Exists());
	EXPECT_EQ(TextColor(), kRed) << "nothing is loaded";

	fAlerts->Answer(1);
	Choose(0, "Blue");
	EXPECT_FALSE(BEntry(std::string(fFolder + "/UAP_Blue").c_str()).Exists());
	EXPECT_EQ(TextColor(), kRed);
	EXPECT_EQ(Items(0), (std::vector<std::string>{"D) Defaults", "-", "Red", "-",
		"L) Delete All Settings..."}));

	// Control on the default item deletes nothing, asks nothing, loads nothing.
	fAlerts->Take();
	Choose(0, "D) Defaults");
	EXPECT_TRUE(fAlerts->Take().empty());
	EXPECT_EQ(TextColor(), kRed);
	EXPECT_EQ(FolderNames().size(), 2u);
	BPrivate::set_modifiers(0);

	fAlerts->Answer(0);
	Choose(0, "L) Delete All Settings...");
	asked = fAlerts->Take();
	ASSERT_EQ(asked.size(), 1u);
	EXPECT_NE(asked[0].text.find("Are you sure?\n\nTo delete a single"), std::string::npos);
	EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"Cancel", "A) Delete All"}));
	EXPECT_TRUE(BEntry(std::string(fFolder + "/UAP_Red").c_str()).Exists());

	SaveNew("Green");
	fAlerts->Answer(1);
	Choose(0, "L) Delete All Settings...");
	EXPECT_EQ(FolderNames(), (std::vector<std::string>{"notes"}));
	EXPECT_EQ(Items(0), (std::vector<std::string>{"D) Defaults", "-", "-",
		"L) Delete All Settings... (off)"}));
}

TEST_F(PresetTest, NamesThatWouldLeaveThePresetFolderAreRefused)
{
	Open();
	SetColor(kBlue);
	const std::vector<std::string> names = {"../Escaped", "sub/Name", ".", "..", "",
		std::string(241, 'x')};
	for (const std::string& name : names) {
		SaveNew(name);
		std::vector<orvik::TAlertRequest> told = fAlerts->Take();
		ASSERT_EQ(told.size(), 1u) << name;
		EXPECT_NE(told[0].text.find("cannot be saved under this name"), std::string::npos);
		EXPECT_EQ(told[0].buttons, (std::vector<std::string>{"U) Understood"}));
	}
	EXPECT_TRUE(FolderNames().empty());
	EXPECT_FALSE(BEntry(std::string(fConfig.Path() + "/ORVIK/Escaped").c_str()).Exists());
	EXPECT_FALSE(BEntry(std::string(fConfig.Path() + "/ORVIK/UAP_..").c_str()).Exists());
	// The longest name allowed is saved.
	SaveNew(std::string(240, 'x'));
	EXPECT_TRUE(fAlerts->Take().empty());
	EXPECT_EQ(SavedColor(std::string(240, 'x')), kBlue);
}

// #pragma mark - skin colours

namespace {

const char* const kColourFile =
	"[Text]\r\nNormal=#00FF00\r\nCurrent=#ffffff\r\nFont=Arial\r\n";

}

class SkinColorTest : public PresetTest {
protected:
	void Pick(const std::string& path)
	{
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
		BMessage chosen('gscr');
		chosen.AddRef("refs", &ref);
		BMessenger(View()).SendMessage(&chosen);
		windowtest::settle(fWindow);
		windowtest::settle(fWindow);
	}

	void Prepare()
	{
		TPrefLock pref;
		pref->textColor = {1, 2, 3, 255};
		pref->backColor = {4, 5, 6, 255};
		pref->activeTextColor = {7, 8, 9, 255};
		pref->activeBackColor = {10, 11, 12, 255};
		pref->useActiveFrame = true;
		pref->useBackgroundImage = true;
	}

	void ExpectUnchanged()
	{
		TPref p = Pref([](const TPref& p) { return p; });
		EXPECT_EQ(p.textColor, (rgb_color{1, 2, 3, 255}));
		EXPECT_EQ(p.activeTextColor, (rgb_color{7, 8, 9, 255}));
		EXPECT_TRUE(p.useActiveFrame);
		EXPECT_TRUE(p.useBackgroundImage);
	}

	void ExpectSkinColours()
	{
		TPref p = Pref([](const TPref& p) { return p; });
		EXPECT_EQ(p.textColor, (rgb_color{0, 255, 0, 255}));
		EXPECT_EQ(p.activeTextColor, (rgb_color{255, 255, 255, 255}));
		EXPECT_EQ(p.backColor, (rgb_color{4, 5, 6, 255})) << "no NormalBG";
		EXPECT_EQ(p.activeBackColor, (rgb_color{10, 11, 12, 255})) << "no SelectedBG";
		EXPECT_FALSE(p.useActiveFrame);
		EXPECT_FALSE(p.useBackgroundImage);
	}

	std::string Zip(const std::string& name, const std::vector<fixture::Member>& members)
	{
		return fConfig.Write(name, fixture::zip_bytes(members));
	}

	void ExpectTheCannotFindAlert()
	{
		std::vector<orvik::TAlertRequest> told = fAlerts->Take();
		ASSERT_EQ(told.size(), 1u);
		EXPECT_NE(told[0].text.find("PLEDIT.TXT cannot be found.\n\nIf the skin is a "
			"compressed archive"), std::string::npos) << told[0].text;
		EXPECT_EQ(told[0].buttons, (std::vector<std::string>{"U) Understood"}));
		EXPECT_TRUE(told[0].escapeIndex < 0 || told[0].escapeIndex >= 1) << "no Escape";
	}

	std::string TempColourFile()
	{
		return fTemp.Path() + "/libbe-tmp-" + std::to_string(getuid())
			+ "/VersoD_Tmp_PLEdit.txt";
	}
};

TEST_F(SkinColorTest, AColourFileChosenDirectlyInAnyCase)
{
	Open();
	for (const char* name : {"PLEDIT.TXT", "pledit.txt", "PLEdit.Txt"}) {
		Prepare();
		Pick(fConfig.Write(name, kColourFile));
		ExpectSkinColours();
	}
	EXPECT_TRUE(fAlerts->Requests().empty());
	EXPECT_FALSE(BEntry(TempColourFile().c_str()).Exists()) << "no translator was asked";

	// [Text] as the eleventh word: nothing changes, nothing is said.
	Prepare();
	Pick(fConfig.Write("sub/pledit.txt",
		"1 2 3 4 5 6 7 8 9 Normal=#00FF00 [Text] Current=#ffffff"));
	ExpectUnchanged();
	// Fewer than six digits leave the colour.
	Prepare();
	Pick(fConfig.Write("short/pledit.txt", "[Text] Normal=#12AB Current=#ffffff"));
	EXPECT_EQ(TextColor(), (rgb_color{1, 2, 3, 255}));
	EXPECT_EQ(Pref([](const TPref& p) { return p.activeTextColor; }),
		(rgb_color{255, 255, 255, 255}));
	EXPECT_TRUE(fAlerts->Requests().empty());
}

TEST_F(SkinColorTest, AZippedSkinThroughTheRosterAndTheArchiveTranslator)
{
	Open();
	Prepare();
	Pick(Zip("Classic.wsz", {{"skin/", ""}, {"skin/main.bmp", "BM"},
		{"skin/pledit.txt", kColourFile}, {"other/PLEDIT.TXT", "[Text] Normal=#123456"}}));
	EXPECT_TRUE(fAlerts->Requests().empty());
	ExpectSkinColours();
	// The copy is kept in the private temporary folder.
	EXPECT_EQ(testutil::read_file(TempColourFile()), kColourFile);
	struct stat folder;
	ASSERT_EQ(lstat((fTemp.Path() + "/libbe-tmp-" + std::to_string(getuid())).c_str(),
		&folder), 0);
	EXPECT_TRUE(S_ISDIR(folder.st_mode));
	EXPECT_EQ(folder.st_mode & 077, 0u);
}

TEST_F(SkinColorTest, NoColourFileNoTranslatorOrAPlantedLinkEndInOneAlert)
{
	Open();
	Prepare();
	Pick(Zip("NoList.wsz", {{"skin/", ""}, {"skin/main.bmp", "BM"}}));
	ExpectTheCannotFindAlert();
	ExpectUnchanged();

	Pick(fConfig.Write("notes.txt", "[Text] Normal=#00FF00"));
	ExpectTheCannotFindAlert();

	// Without any archive translator.
	BTranslatorRoster empty;
	windowtest::locked(fWindow, 0, [&](TPrefWin* w) {
		w->PrefView()->SetTranslatorRoster(&empty);
		return 0;
	});
	const std::string skin = Zip("Classic.wsz", {{"skin/pledit.txt", kColourFile}});
	Pick(skin);
	ExpectTheCannotFindAlert();
	ExpectUnchanged();
	windowtest::locked(fWindow, 0, [&](TPrefWin* w) {
		w->PrefView()->SetTranslatorRoster(nullptr);
		return 0;
	});

	// A temporary folder that another user prepared as a link is not used.
	const std::string elsewhere = fConfig.Path() + "/elsewhere";
	ASSERT_EQ(mkdir(elsewhere.c_str(), 0777), 0);
	std::filesystem::remove_all(fTemp.Path() + "/libbe-tmp-" + std::to_string(getuid()));
	ASSERT_EQ(symlink(elsewhere.c_str(),
		(fTemp.Path() + "/libbe-tmp-" + std::to_string(getuid())).c_str()), 0);
	Pick(skin);
	ExpectTheCannotFindAlert();
	EXPECT_FALSE(BEntry((elsewhere + "/VersoD_Tmp_PLEdit.txt").c_str()).Exists());
	ExpectUnchanged();
}
