#include "prefs/TPrefView.h"

#include "framework/Alerts.h"
#include "framework/ControlFit.h"
#include "framework/FileUtils.h"
#include "framework/TORVDlgWin.h"
#include "framework/TextUtils.h"
#include "iap/IAPDefs.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lyrics/LyricsFile.h"
#include "plugin/CommManMessages.h"
#include "prefs/PrefStore.h"
#include "prefs/PrefWinDefs.h"
#include "prefs/SkinColors.h"
#include "prefs/TPrefWin.h"

#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ColorControl.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Font.h>
#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <Path.h>
#include <RadioButton.h>
#include <String.h>
#include <StringView.h>
#include <TabView.h>
#include <TextControl.h>
#include <TranslatorRoster.h>
#include <Window.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <map>
#include <vector>

namespace {

const char* const kAccKeyFormatItem = "AccKeyFormat";
const char* const kDefaultAccKeyFormat = "a) ";
const char* const kPresetFolder = "VersoD";
// The longest name of a preset, in bytes: its file name, and the hidden
// file written beside it while saving ("." and ".saving" around it), must
// fit into a file name.
const size_t kMaxPresetNameBytes = 240;

// The skin's colour file, and where a zipped skin's copy is put.
const char* const kColourFileName = "PLEDIT.TXT";
const char* const kTempColourFileName = "VersoD_Tmp_PLEdit.txt";
// The archive formats of the Translation Kit: the list of members ("Arc/entry"
// in the extension message) and one member ("Arc/target" names its index).
const uint32 kArchiveListType = 'ArcL';
const uint32 kArchiveEntryType = 'ArcE';
const char* const kFieldArcEntry = "Arc/entry";
const char* const kFieldArcTarget = "Arc/target";

const int32 kTabCount = 5;
// Where the option field stands when its label leaves room.
const float kOptionLeft = 400;
const int32 kBGImageTab = 2;

// Font size and time difference are held within these bounds.
const float kMinFontSize = 5.0f;
const float kMaxFontSize = 50.0f;
const int32 kMinTimeDifference = -5000;
const int32 kMaxTimeDifference = 5000;

// Positions of the encoding menus; position 3 of the read menu is a
// separator, so that the index of an item is its encoding's value.
const int32 kReadEncodingPositions = 5;
const int32 kReadEncodingSeparator = 3;
const int32 kWriteEncodingPositions = 3;
const int32 kCrTypePositions = 3;

const char* const kColorKeys[] = {
	"PopMItem_Col_Lyrics", "PopMItem_Col_BG", "PopMItem_Col_Active_Lyrics",
	"PopMItem_Col_Active_BG", "PopMItem_Col_Active_Frame"
};
const int32 kColorCount = 5;

std::string text(const char* key)
{
	return gLLT != NULL ? std::string(gLLT->Text(key)) : std::string();
}

std::string acc_key_format()
{
	std::string format;
	if (gIAP == NULL || gIAP->GetString(kAccKeyFormatItem, &format) != B_OK)
		format = kDefaultAccKeyFormat;
	return format;
}

std::string with_key(const std::string& format, const char* letter, const char* key)
{
	return orvik::merge_accelerator_key(format, letter, text(key));
}

TPref live_record()
{
	TPrefLock pref;
	if (gPref == NULL)
		return TPref();
	return *pref;
}

void empty_menu(BMenu* menu)
{
	if (menu != NULL)
		menu->RemoveItems(0, menu->CountItems(), true);
}

void mark_index(BMenuField* field, int32 index)
{
	BMenuItem* item = field->Menu()->ItemAt(index);
	if (item != NULL && item->Message() != NULL)
		item->SetMarked(true);
}

int32 marked_index(BMenuField* field)
{
	BMenu* menu = field->Menu();
	BMenuItem* marked = menu->FindMarked();
	return marked != NULL ? menu->IndexOf(marked) : -1;
}

// A leading decimal number, the rest ignored; 0 when none can be read.
float leading_float(const char* text)
{
	if (text == NULL)
		return 0;
	char* end = NULL;
	double value = strtod(text, &end);
	if (end == text || isnan(value))
		return 0;
	return (float)value;
}

long long leading_integer(const char* text)
{
	if (text == NULL)
		return 0;
	return strtoll(text, NULL, 10);
}

template<typename T>
T held_within(T value, T low, T high)
{
	return value < low ? low : (value > high ? high : value);
}

std::string path_of(const entry_ref& ref)
{
	BPath path(&ref);
	return path.InitCheck() == B_OK && path.Path() != NULL ? std::string(path.Path())
		: std::string();
}

// The folder of the appearance presets.
bool preset_folder(BDirectory* folder)
{
	BEntry dummy;
	if (!orvik::get_entry("_dummy_", &dummy, orvik::BASE_DIR_SETTINGS, kPresetFolder))
		return false;
	BEntry parent;
	if (dummy.GetParent(&parent) != B_OK)
		return false;
	return folder->SetTo(&parent) == B_OK;
}

// A preset's file name as the folder lists it: the prefix, then a name
// that stays inside the folder.
bool is_preset_file_name(const char* fileName)
{
	return strncmp(fileName, kPresetFilePrefix, strlen(kPresetFilePrefix)) == 0
		&& strchr(fileName, '/') == NULL;
}

// A name typed for a new preset becomes part of a file name in the preset
// folder: it must not lead out of it ("/", "." and ".." would), and the file
// name, with the hidden file written beside it while saving, must fit.
bool is_safe_preset_name(const char* name)
{
	if (name == NULL || *name == '\0' || strcmp(name, ".") == 0 || strcmp(name, "..") == 0
		|| strchr(name, '/') != NULL)
		return false;
	return strlen(name) <= kMaxPresetNameBytes;
}

// Narrows the field so that it ends before any view to its right on the
// same row: a widened field must not run under its neighbour.
void keep_clear_of_neighbours(BMenuField* field)
{
	BView* parent = field->Parent();
	if (parent == NULL)
		return;
	const BRect frame = field->Frame();
	float right = frame.right;
	for (int32 i = 0; BView* sibling = parent->ChildAt(i); i++) {
		const BRect other = sibling->Frame();
		if (sibling != field && other.left > frame.left && other.top <= frame.bottom
			&& other.bottom >= frame.top && other.left - 6 < right)
			right = other.left - 6;
	}
	if (right < frame.right)
		field->ResizeTo(right - frame.left, frame.Height());
}

template<typename View>
View* page_view(BTabView* tabs, int32 tab, const char* name, bool* complete)
{
	View* view = NULL;
	BTab* page = tabs != NULL ? tabs->TabAt(tab) : NULL;
	if (page != NULL && page->View() != NULL)
		view = dynamic_cast<View*>(page->View()->FindView(name));
	if (view == NULL)
		*complete = false;
	return view;
}

template<typename View>
View* own_view(BView* parent, const char* name, bool* complete)
{
	View* view = dynamic_cast<View*>(parent->FindView(name));
	if (view == NULL)
		*complete = false;
	return view;
}

}

TPrefView::TPrefView(BMessage* archive)
	: TORVDlgView(archive),
	  fComplete(true),
	  fConfirmed(live_record()),
	  fRoster(NULL)
{
	BindControls();
	if (!fComplete)
		return;
	SetMessages();
	BuildLanguageMenu();
	BuildReadEncodingMenu();
	BuildFontFamilyMenu();
	BuildColorMenu();
	SetMFieldOption();
	BuildWriteCrTypeMenu();
	BuildWriteEncodingMenu();
}

TPrefView::~TPrefView()
{
}

void TPrefView::BindControls()
{
	bool& ok = fComplete;
	fTabView = own_view<BTabView>(this, "TabViewCategory", &ok);
	if (fTabView == NULL || fTabView->CountTabs() < kTabCount) {
		fComplete = false;
		return;
	}
	BTabView* tabs = fTabView;
	fStayOnTop = page_view<BCheckBox>(tabs, 0, "CBoxStayOnTop", &ok);
	fLanguage = page_view<BMenuField>(tabs, 0, "MFieldLanguage", &ok);
	fReadEncoding = page_view<BMenuField>(tabs, 0, "MFieldReadEncoding", &ok);
	fSharedGeneralStat = page_view<BStringView>(tabs, 0, "StrViewSharedGeneralStat", &ok);

	fFontFamily = page_view<BMenuField>(tabs, 1, "MFieldFontFamily", &ok);
	fFontSize = page_view<BTextControl>(tabs, 1, "TxtCtrlFontSize", &ok);
	fAntiAliasing = page_view<BCheckBox>(tabs, 1, "CBoxAntiAliasing", &ok);
	fColor = page_view<BMenuField>(tabs, 1, "MFieldColor", &ok);
	fDispColor = page_view<BBox>(tabs, 1, "BoxDispColor", &ok);
	fColorControl = page_view<BColorControl>(tabs, 1, "ColCtrlAppearance", &ok);
	fUseActiveFrame = page_view<BCheckBox>(tabs, 1, "CBoxUseActiveFrame", &ok);
	fSharedAppearanceStat = page_view<BStringView>(tabs, 1, "StrViewSharedAppearanceStat", &ok);
	fOption = page_view<BMenuField>(tabs, 1, "MFieldOption", &ok);

	fUseBGImage = page_view<BCheckBox>(tabs, 2, "CBoxUseBGImage", &ok);
	fBGImageName = page_view<BTextControl>(tabs, 2, "TxtCtrlBGImageFName", &ok);
	fBrowseBGImage = page_view<BButton>(tabs, 2, "ButtonBrowseBGImg", &ok);
	fBGImageAlign = page_view<BBox>(tabs, 2, "BoxBGImageAlign", &ok);
	fTile = page_view<BRadioButton>(tabs, 2, "RButtonTile", &ok);
	fScaleToFit = page_view<BRadioButton>(tabs, 2, "RButtonScaleToFit", &ok);
	fDisplayerBGImageStat = page_view<BStringView>(tabs, 2, "StrViewDisplayerBGImageStat", &ok);

	fDoubleBuffering = page_view<BCheckBox>(tabs, 3, "CBoxDoubleBuffering", &ok);
	fReadExtendedTags = page_view<BCheckBox>(tabs, 3, "CBoxReadExtendedTags", &ok);
	fDisplayerOtherStat = page_view<BStringView>(tabs, 3, "StrViewDisplayerOtherStat", &ok);

	fBoxNew = page_view<BBox>(tabs, 4, "BoxNew", &ok);
	fWriteCrType = page_view<BMenuField>(tabs, 4, "MFieldWriteCRType", &ok);
	fWriteEncoding = page_view<BMenuField>(tabs, 4, "MFieldWriteEncoding", &ok);
	fTimeDifference = page_view<BTextControl>(tabs, 4, "TxtCtrlTimeDifference", &ok);
	fShowToolBar = page_view<BCheckBox>(tabs, 4, "CBoxShowToolButton", &ok);
	fEditorStat = page_view<BStringView>(tabs, 4, "StrViewEditorNewStat", &ok);

	fButtonHelp = own_view<BButton>(this, "ButtonHelp", &ok);
	fButtonDefault = own_view<BButton>(this, "ButtonDefault", &ok);
	fButtonCancel = own_view<BButton>(this, "ButtonCancel", &ok);
	fButtonOK = own_view<BButton>(this, "ButtonOK", &ok);

	// Every menu field must have its menu.
	for (BMenuField* field : {fLanguage, fReadEncoding, fFontFamily, fColor, fOption,
			fWriteCrType, fWriteEncoding}) {
		if (field != NULL && field->Menu() == NULL)
			fComplete = false;
	}
}

void TPrefView::SetMessages()
{
	fStayOnTop->SetMessage(new BMessage(kMsgStayOnTopClicked));
	fFontSize->SetModificationMessage(new BMessage(kMsgFontSizeEdited));
	fAntiAliasing->SetMessage(new BMessage(kMsgAntiAliasingClicked));
	fColorControl->SetMessage(new BMessage(kMsgColorControlChanged));
	fUseActiveFrame->SetMessage(new BMessage(kMsgActiveFrameClicked));
	fUseBGImage->SetMessage(new BMessage(kMsgUseBGImageClicked));
	fBGImageName->SetModificationMessage(new BMessage(kMsgBGImageNameEdited));
	fBrowseBGImage->SetMessage(new BMessage(kMsgBrowseBGImageClicked));
	fTile->SetMessage(new BMessage(kMsgImageAlignClicked));
	fScaleToFit->SetMessage(new BMessage(kMsgImageAlignClicked));
	fDoubleBuffering->SetMessage(new BMessage(kMsgDoubleBufferingClicked));
	fReadExtendedTags->SetMessage(new BMessage(kMsgReadExtendedTagsClicked));
	fTimeDifference->SetModificationMessage(new BMessage(kMsgTimeDifferenceEdited));
	fShowToolBar->SetMessage(new BMessage(kMsgShowToolBarClicked));
	fButtonHelp->SetMessage(new BMessage(kMsgHelpClicked));
	fButtonDefault->SetMessage(new BMessage(kMsgDefaultClicked));
	fButtonCancel->SetMessage(new BMessage(kMsgCancelClicked));
	fButtonOK->SetMessage(new BMessage(kMsgOKClicked));
}

// #pragma mark - menus

void TPrefView::BuildLanguageMenu()
{
	BMenu* menu = fLanguage->Menu();
	empty_menu(menu);
	std::map<std::string, std::string> languages;
	get_lang_files_plug(verso_displayer_fname().c_str(), &languages);
	for (const auto& [name, path] : languages) {
		BMessage* message = new BMessage(kMsgLanguageItemChosen);
		message->AddString(kFieldLLTF, path.c_str());
		menu->AddItem(new BMenuItem(name.c_str(), message));
	}
	menu->SetTargetForItems(this);
	MarkLanguage(live_record().languageFile);
}

void TPrefView::MarkLanguage(const std::string& languageFile)
{
	BMenu* menu = fLanguage->Menu();
	// The record may hold the full path or, as the defaults do, the bare
	// file name; the language is loaded from the language folder by its
	// name either way.
	BMenuItem* byName = NULL;
	const std::string name = languageFile.substr(languageFile.find_last_of('/') + 1);
	for (int32 i = 0; BMenuItem* item = menu->ItemAt(i); i++) {
		const char* path = NULL;
		if (item->Message() == NULL
			|| item->Message()->FindString(kFieldLLTF, &path) != B_OK)
			continue;
		if (languageFile == path) {
			item->SetMarked(true);
			return;
		}
		const char* slash = strrchr(path, '/');
		if (byName == NULL && !name.empty() && name == (slash != NULL ? slash + 1 : path))
			byName = item;
	}
	if (byName != NULL) {
		byName->SetMarked(true);
		return;
	}
	if (BMenuItem* marked = menu->FindMarked())
		marked->SetMarked(false);
}

void TPrefView::BuildReadEncodingMenu()
{
	BMenu* menu = fReadEncoding->Menu();
	empty_menu(menu);
	for (int32 i = 0; i < kReadEncodingPositions; i++) {
		if (i == kReadEncodingSeparator) {
			menu->AddSeparatorItem();
			continue;
		}
		BString key("PopMItem_Encoding_");
		key << i;
		menu->AddItem(new BMenuItem(text(key.String()).c_str(),
			new BMessage(kMsgReadEncodingChosen)));
	}
	menu->SetTargetForItems(this);
	mark_index(fReadEncoding, live_record().readEncoding);
}

void TPrefView::BuildFontFamilyMenu()
{
	BMenu* menu = fFontFamily->Menu();
	empty_menu(menu);
	const int32 count = count_font_families();
	for (int32 i = 0; i < count; i++) {
		font_family family;
		if (get_font_family(i, &family) != B_OK)
			continue;
		menu->AddItem(new BMenuItem(family, new BMessage(kMsgFontFamilyChosen)));
	}
	menu->SetTargetForItems(this);
}

void TPrefView::BuildColorMenu()
{
	BMenu* menu = fColor->Menu();
	empty_menu(menu);
	const TPref pref = live_record();
	for (int32 i = 0; i < kColorCount; i++) {
		BMessage* message = new BMessage(kMsgColorItemChosen);
		rgb_color color = PrefColor(&pref, i);
		message->AddData(kFieldColor, B_RAW_TYPE, &color, sizeof(color));
		menu->AddItem(new BMenuItem(text(kColorKeys[i]).c_str(), message));
	}
	menu->SetTargetForItems(this);
	menu->ItemAt(0)->SetMarked(true);
	ShowColor(PrefColor(&pref, 0));
}

void TPrefView::BuildWriteCrTypeMenu()
{
	BMenu* menu = fWriteCrType->Menu();
	empty_menu(menu);
	for (int32 i = 0; i < kCrTypePositions; i++) {
		BString key("PopMItem_RC_");
		key << i;
		menu->AddItem(new BMenuItem(text(key.String()).c_str(),
			new BMessage(kMsgWriteCrTypeChosen)));
	}
	menu->SetTargetForItems(this);
	mark_index(fWriteCrType, live_record().writeCrType);
}

void TPrefView::BuildWriteEncodingMenu()
{
	BMenu* menu = fWriteEncoding->Menu();
	empty_menu(menu);
	for (int32 i = 0; i < kWriteEncodingPositions; i++) {
		BString key("PopMItem_Encoding_");
		key << i;
		menu->AddItem(new BMenuItem(text(key.String()).c_str(),
			new BMessage(kMsgWriteEncodingChosen)));
	}
	menu->SetTargetForItems(this);
	mark_index(fWriteEncoding, live_record().writeEncoding);
}

void TPrefView::SetMFieldOption()
{
	if (fOption == NULL)
		return;
	const std::string format = acc_key_format();
	BMenu* menu = fOption->Menu();
	empty_menu(menu);
	BMenu* load = CreateAppearanceMenu(
		with_key(format, "L", "PopMenu_Load_Preset").c_str(), kMsgLoadPresetChosen);
	BMenu* save = CreateAppearanceMenu(
		with_key(format, "S", "PopMenu_Save_Preset").c_str(), kMsgSavePresetChosen);
	menu->AddItem(load);
	menu->AddItem(save);
	menu->AddItem(new BMenuItem(with_key(format, "K", "PopMItem_Get_Skin_Color").c_str(),
		new BMessage(kMsgGetSkinColorChosen)));
	load->SetTargetForItems(this);
	save->SetTargetForItems(this);
	menu->SetTargetForItems(this);
	// The option menu offers commands, not a choice: its button keeps the
	// field's own name.
	menu->SetRadioMode(false);
	menu->SetLabelFromMarked(false);
	if (BMenuItem* button = fOption->MenuItem())
		button->SetLabel("\xE2\x80\xA6");   // an ellipsis: the menu holds commands
}

BMenu* TPrefView::CreateAppearanceMenu(const char* label, uint32 what)
{
	const std::string format = acc_key_format();
	BMenu* menu = new BMenu(label, B_ITEMS_IN_COLUMN);

	BMessage* first = new BMessage(what);
	first->AddString(kFieldPSFName, "");
	const bool loading = what == kMsgLoadPresetChosen;
	menu->AddItem(new BMenuItem(loading
		? with_key(format, "D", "PopMItem_Default_Preset").c_str()
		: with_key(format, "N", "PopMItem_New_Preset").c_str(), first));
	menu->AddSeparatorItem();

	BDirectory folder;
	if (preset_folder(&folder)) {
		const size_t prefixLength = strlen(kPresetFilePrefix);
		BEntry entry;
		while (folder.GetNextEntry(&entry) == B_OK) {
			char name[B_FILE_NAME_LENGTH];
			if (entry.GetName(name) != B_OK
				|| strncmp(name, kPresetFilePrefix, prefixLength) != 0)
				continue;
			BMessage* message = new BMessage(what);
			message->AddString(kFieldPSFName, name);
			menu->AddItem(new BMenuItem(name + prefixLength, message));
		}
	}

	if (loading) {
		const bool anyPreset = menu->CountItems() >= 3;
		menu->AddSeparatorItem();
		BMenuItem* deleteAll = new BMenuItem(
			with_key(format, "L", "PopMItem_Del_All_Presets").c_str(),
			new BMessage(kMsgDeleteAllPresetsChosen));
		deleteAll->SetEnabled(anyPreset);
		menu->AddItem(deleteAll);
	}
	return menu;
}

// #pragma mark - presets

void TPrefView::PopMItemLoadPresetClicked(BMessage* message)
{
	const char* fileName = NULL;
	if (message->FindString(kFieldPSFName, &fileName) != B_OK)
		return;
	const bool isDefault = *fileName == '\0';
	if (!isDefault && !is_preset_file_name(fileName))
		return;
	if (!message->IsSourceRemote() && (modifiers() & B_CONTROL_KEY) != 0) {
		// Control asks to delete this one preset; the default item is no
		// preset and deletes nothing.
		if (!isDefault)
			DeleteOnePreset(fileName);
		return;
	}

	BMessage appearance;
	if (isDefault) {
		TPref defaults;
		defaults.ArchiveAppearance(&appearance);
	} else {
		BEntry entry;
		if (!orvik::get_entry(fileName, &entry, orvik::BASE_DIR_SETTINGS, kPresetFolder))
			return;
		BFile file(&entry, B_READ_ONLY);
		if (file.InitCheck() != B_OK || appearance.Unflatten(&file) != B_OK)
			return;
	}
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->UnarchiveAppearance(appearance);
	}
	UpdateCompos();
}

void TPrefView::DeleteOnePreset(const char* fileName)
{
	const std::string format = acc_key_format();
	const std::string question = text("Ask_Del_One_Preset_1") + " \""
		+ (fileName + strlen(kPresetFilePrefix)) + "\" " + text("Ask_Del_One_Preset_2");
	const int32 answer = orvik::show_alert(text("Alert_Caption").c_str(), question.c_str(),
		text("Button_Cancel").c_str(), with_key(format, "Y", "Button_Yes").c_str(), NULL, 0,
		B_INFO_ALERT);
	if (answer != 1)
		return;
	BEntry entry;
	if (orvik::get_entry(fileName, &entry, orvik::BASE_DIR_SETTINGS, kPresetFolder))
		entry.Remove();
	SetMFieldOption();
}

void TPrefView::PopMItemSavePresetClicked(BMessage* message)
{
	const char* fileName = NULL;
	if (message->FindString(kFieldPSFName, &fileName) != B_OK)
		return;
	if (*fileName == '\0') {
		// The name dialog answers with 'snpr'.
		if (Window() != NULL)
			Window()->PostMessage(kMsgShowSavePanel);
		return;
	}
	if (!is_preset_file_name(fileName))
		return;
	const std::string format = acc_key_format();
	const int32 answer = orvik::show_alert(text("Alert_Caption").c_str(),
		text("Ask_Overwrite_Preset").c_str(), with_key(format, "N", "Button_No").c_str(),
		with_key(format, "Y", "Button_Yes").c_str(), NULL, -1, B_INFO_ALERT);
	if (answer == 1)
		SaveCurrentAppearance(fileName + strlen(kPresetFilePrefix));
}

void TPrefView::PopMItemDelAllPresetsClicked()
{
	const std::string format = acc_key_format();
	const std::string question = text("Ask_Del_All_Presets") + "\n\n"
		+ text("Hint_Del_One_Preset");
	const int32 answer = orvik::show_alert(text("Alert_Caption").c_str(), question.c_str(),
		text("Button_Cancel").c_str(), with_key(format, "A", "Button_Del_All").c_str(), NULL,
		0, B_INFO_ALERT);
	if (answer != 1)
		return;
	BDirectory folder;
	if (preset_folder(&folder)) {
		// Names first: removing while the folder is read could skip some.
		std::vector<std::string> names;
		BEntry entry;
		while (folder.GetNextEntry(&entry) == B_OK) {
			char name[B_FILE_NAME_LENGTH];
			if (entry.GetName(name) == B_OK && is_preset_file_name(name))
				names.push_back(name);
		}
		for (const std::string& name : names) {
			BEntry preset(&folder, name.c_str());
			preset.Remove();
		}
	}
	SetMFieldOption();
}

void TPrefView::SaveNewPresetRqtd(BMessage* message)
{
	const char* name = NULL;
	if (message->FindString(kFieldSimpleInputData, &name) != B_OK)
		return;
	if (!is_safe_preset_name(name)) {
		const std::string format = acc_key_format();
		orvik::show_alert(text("Alert_Caption").c_str(), text("Err_Bad_Preset_Name").c_str(),
			with_key(format, "U", "Button_Understand").c_str(), NULL, NULL, 0, B_WARNING_ALERT);
		return;
	}
	SaveCurrentAppearance(name);
	SetMFieldOption();
}

bool TPrefView::SaveCurrentAppearance(const char* name)
{
	if (!is_safe_preset_name(name))
		return false;
	BMessage appearance;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return false;
		pref->ArchiveAppearance(&appearance);
	}
	BEntry entry;
	BPath path;
	const std::string fileName = std::string(kPresetFilePrefix) + name;
	if (!orvik::get_entry(fileName.c_str(), &entry, orvik::BASE_DIR_SETTINGS, kPresetFolder)
		|| entry.GetPath(&path) != B_OK || path.Path() == NULL)
		return false;
	return orvik::save_message(appearance, path.Path()) == B_OK;
}

// #pragma mark - skin colours

void TPrefView::SetTranslatorRoster(BTranslatorRoster* roster)
{
	fRoster = roster;
}

void TPrefView::GetSkinColorRqtd(BMessage* message)
{
	entry_ref ref;
	if (message->FindRef("refs", &ref) != B_OK)
		return;
	const std::string format = acc_key_format();
	const std::string path = path_of(ref);
	if (path.empty())
		return;

	std::string colourFile;
	const std::string leaf = path.substr(path.find_last_of('/') + 1);
	if (strcasecmp(leaf.c_str(), kColourFileName) == 0)
		colourFile = path;
	else if (!ExtractColourFile(path, &colourFile)) {
		const std::string message = text("Err_Cannot_Find_PLEdit") + "\n\n"
			+ text("Hint_Check_PKSC");
		orvik::show_alert(text("Alert_Caption").c_str(), message.c_str(),
			with_key(format, "U", "Button_Understand").c_str(), NULL, NULL, 3, B_INFO_ALERT);
		return;
	}

	BFile file(colourFile.c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return;
	skincolor::TWordReader reader;
	char buffer[4096];
	ssize_t got;
	while ((got = file.Read(buffer, sizeof(buffer))) > 0 && reader.Feed(buffer, (size_t)got))
		;
	std::vector<std::string> words = reader.Finish();
	if (!skincolor::has_text_section(words))
		return;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		for (const skincolor::TSkinKey& key : skincolor::kSkinKeys) {
			rgb_color colour = PrefColor(&*pref, key.colorIndex);
			if (GetSkinColor(words.data(), (int32)words.size(), key.key, &colour) == 0)
				SetPrefColor(&*pref, key.colorIndex, colour);
		}
		pref->useActiveFrame = false;
		pref->useBackgroundImage = false;
	}
	UpdateCompos();
}

bool TPrefView::ExtractColourFile(const std::string& archive, std::string* colourFile)
{
	if (fRoster == NULL)
		fRoster = BTranslatorRoster::Default();
	if (fRoster == NULL)
		return false;
	BFile source(archive.c_str(), B_READ_ONLY);
	if (source.InitCheck() != B_OK)
		return false;

	translator_info* infos = NULL;
	int32 count = 0;
	if (fRoster->GetTranslators(&source, NULL, &infos, &count, 0, NULL, kArchiveEntryType)
		!= B_OK)
		return false;
	translator_id chosen = 0;
	float best = 0;
	for (int32 i = 0; i < count; i++) {
		if (infos[i].capability > best) {
			best = infos[i].capability;
			chosen = infos[i].translator;
		}
	}
	delete[] infos;
	if (best <= 0)
		return false;

	BMessage extension;
	BFile unopened;
	source.Seek(0, SEEK_SET);
	if (fRoster->Translate(chosen, &source, &extension, &unopened, kArchiveListType) != B_OK)
		return false;
	int32 entries = 0;
	type_code type;
	if (extension.GetInfo(kFieldArcEntry, &type, &entries) != B_OK || entries <= 0)
		return false;

	for (int32 i = 0; i < entries; i++) {
		const char* member = NULL;
		if (extension.FindString(kFieldArcEntry, i, &member) != B_OK)
			return false;
		const char* slash = strrchr(member, '/');
		if (strcasecmp(slash != NULL ? slash + 1 : member, kColourFileName) != 0)
			continue;
		BPath temp;
		if (find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true) != B_OK
			|| temp.Append(kTempColourFileName) != B_OK)
			return false;
		BFile target(temp.Path(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
		if (target.InitCheck() != B_OK)
			return false;
		extension.RemoveName(kFieldArcTarget);
		extension.AddInt32(kFieldArcTarget, i);
		source.Seek(0, SEEK_SET);
		if (fRoster->Translate(chosen, &source, &extension, &target, kArchiveEntryType) != B_OK)
			return false;
		*colourFile = temp.Path();
		return true;
	}
	return false;
}

int32 TPrefView::GetSkinColor(std::string* tokens, int32 count, const char* key,
	rgb_color* colour)
{
	return skincolor::skin_color(tokens, count, key, colour);
}

uint8 TPrefView::HexToInt(char c)
{
	return skincolor::hex_digit(c);
}

// #pragma mark - attaching, labels, showing the record

void TPrefView::AttachedToWindow()
{
	TORVDlgView::AttachedToWindow();
}

void TPrefView::SetTargets()
{
	SetTargetToThis(this);
	for (int32 i = 0; i < fTabView->CountTabs(); i++) {
		if (BTab* tab = fTabView->TabAt(i))
			SetTargetToThis(tab->View());
	}
	fColor->Menu()->SetTargetForItems(this);
	BMenu* option = fOption->Menu();
	for (int32 i = 0; i < option->CountItems(); i++) {
		if (BMenu* submenu = option->SubmenuAt(i))
			submenu->SetTargetForItems(this);
	}
	option->SetTargetForItems(this);
	for (BMenuField* field : {fReadEncoding, fFontFamily, fWriteCrType, fWriteEncoding, fLanguage})
		field->Menu()->SetTargetForItems(this);
}

void TPrefView::AllAttached()
{
	TORVDlgView::AllAttached();
	if (!fComplete)
		return;
	SetTargets();
	fTabView->Select(0);
	fButtonOK->MakeDefault(true);
	SetViewLabel();
	UpdateCompos();
}

void TPrefView::SetViewLabel()
{
	if (!fComplete)
		return;
	const std::string format = acc_key_format();

	const char* const tabKeys[kTabCount] = {
		"Tab_Shared_General", "Tab_Shared_Appearance", "Tab_Displayer_BG_Image",
		"Tab_Displayer_Other", "Tab_Editor_Create"
	};
	for (int32 i = 0; i < kTabCount; i++)
		fTabView->TabAt(i)->SetLabel(text(tabKeys[i]).c_str());

	auto box = [&](BCheckBox* control, const char* letter, const char* key) {
		control->SetLabel(with_key(format, letter, key).c_str());
		orvik::adjust_cbox_width(control);
	};
	auto field = [&](BMenuField* control, const char* letter, const char* key) {
		control->SetLabel(with_key(format, letter, key).c_str());
		orvik::adjust_mfield_width(control);
	};
	auto textField = [&](BTextControl* control, const char* letter, const char* key) {
		control->SetLabel(with_key(format, letter, key).c_str());
		orvik::adjust_txtctrl_width(control);
	};
	auto radio = [&](BRadioButton* control, const char* letter, const char* key) {
		control->SetLabel(with_key(format, letter, key).c_str());
		orvik::adjust_rbutton_width(control);
	};
	auto stat = [&](BStringView* view, const char* key) {
		view->SetText(text(key).c_str());
		orvik::adjust_strview_width(view);
	};

	box(fStayOnTop, "T", "CBox_Stay_On_Top");
	field(fLanguage, "L", "MField_Language");
	field(fReadEncoding, "E", "MField_Read_Encoding");
	stat(fSharedGeneralStat, "StrView_Shared_Stat");

	field(fFontFamily, "F", "MField_Font_Family");
	textField(fFontSize, "S", "TxtCtrl_Font_Size");
	box(fAntiAliasing, "A", "CBox_Anti_Aliasing");
	field(fColor, "C", "MField_Color");
	box(fUseActiveFrame, "I", "CBox_Use_Active_Frame");
	stat(fSharedAppearanceStat, "StrView_Shared_Stat");
	field(fOption, "P", "MField_Option");

	box(fUseBGImage, "U", "CBox_Use_BG_Image");
	textField(fBGImageName, "F", "TxtCtrl_BG_Image_File_Name");
	fBrowseBGImage->SetLabel(with_key(format, "B", "Button_Browse").c_str());
	fBGImageAlign->SetLabel(text("Box_BG_Image_Align").c_str());
	radio(fTile, "T", "RButton_Tile");
	radio(fScaleToFit, "S", "RButton_Scale_To_Fit");
	stat(fDisplayerBGImageStat, "StrView_Displayer_Stat");

	box(fDoubleBuffering, "P", "CBox_Double_Buffering");
	box(fReadExtendedTags, "X", "CBox_Read_Extended_Tags");
	stat(fDisplayerOtherStat, "StrView_Displayer_Stat");

	fBoxNew->SetLabel(text("Box_New").c_str());
	field(fWriteCrType, "R", "MField_Write_Return_Code");
	field(fWriteEncoding, "E", "MField_Write_Encoding");
	textField(fTimeDifference, "T", "TxtCtrl_Time_Difference");
	box(fShowToolBar, "L", "CBox_Show_Tool_Bar");
	stat(fEditorStat, "StrView_Editor_Stat");

	// F1 presses Help; Cancel and OK answer Escape and Enter.
	fButtonHelp->SetLabel(text("Button_Help").c_str());
	fButtonDefault->SetLabel(with_key(format, "D", "Button_Default").c_str());
	fButtonCancel->SetLabel(text("Button_Cancel").c_str());
	fButtonOK->SetLabel(text("Button_OK").c_str());

	// The menu fields on the pages reach to the tab view's right edge (less
	// a margin), those in the box to the box's.
	const float tabWidth = fTabView->Bounds().Width();
	for (BMenuField* control : {fLanguage, fReadEncoding, fFontFamily, fColor})
		control->ResizeTo(tabWidth - 20, control->Bounds().Height());
	for (BMenuField* control : {fWriteCrType, fWriteEncoding})
		control->ResizeTo(fBoxNew->Bounds().Width() - 20, control->Bounds().Height());
	// The option field sits at the right of its page; a label too long for
	// the place moves it left, so that its button stays in the window.
	float optionWidth = 0;
	float optionHeight = 0;
	fOption->GetPreferredSize(&optionWidth, &optionHeight);
	const float pageRight = fOption->Parent() != NULL
		? fOption->Parent()->Bounds().right - 10 : fOption->Frame().right;
	const float optionLeft = fOption->Frame().left;
	if (optionLeft + optionWidth > pageRight || optionLeft > kOptionLeft) {
		const float left = pageRight - optionWidth < kOptionLeft
			? pageRight - optionWidth : kOptionLeft;
		fOption->MoveTo(left > 0 ? left : 0, fOption->Frame().top);
	}
	fOption->ResizeTo(tabWidth - (fOption->Frame().left + 10), fOption->Bounds().Height());
	for (BMenuField* control : {fLanguage, fReadEncoding, fFontFamily, fColor, fWriteCrType,
			fWriteEncoding, fOption})
		keep_clear_of_neighbours(control);

	// Fields of a pair share the larger divider, so that their menus line up.
	auto pair = [](BMenuField* a, BMenuField* b) {
		const float divider = a->Divider() > b->Divider() ? a->Divider() : b->Divider();
		a->SetDivider(divider);
		b->SetDivider(divider);
	};
	pair(fLanguage, fReadEncoding);
	pair(fFontFamily, fColor);
	pair(fWriteCrType, fWriteEncoding);
}

void TPrefView::SetLabelsCommon()
{
	SetViewLabel();
	SetMFieldOption();
	if (fComplete && Window() != NULL)
		SetTargets();
}

void TPrefView::UpdateCompos()
{
	if (!fComplete)
		return;
	const TPref pref = live_record();

	fStayOnTop->SetValue(pref.stayOnTop ? 1 : 0);
	MarkLanguage(pref.languageFile);
	mark_index(fReadEncoding, pref.readEncoding);

	BMenu* families = fFontFamily->Menu();
	BMenuItem* family = NULL;
	for (int32 i = 0; BMenuItem* item = families->ItemAt(i); i++) {
		if (strcmp(item->Label(), pref.fontFamily) == 0) {
			family = item;
			break;
		}
	}
	if (family == NULL)
		family = families->ItemAt(0);
	if (family != NULL)
		family->SetMarked(true);
	BString size;
	size << pref.fontSize;
	fFontSize->SetText(size.String());
	fAntiAliasing->SetValue(pref.antiAliasing ? 1 : 0);

	BMenu* colors = fColor->Menu();
	for (int32 i = 0; i < kColorCount; i++) {
		BMenuItem* item = colors->ItemAt(i);
		if (item == NULL || item->Message() == NULL)
			continue;
		rgb_color color = PrefColor(&pref, i);
		item->Message()->RemoveName(kFieldColor);
		item->Message()->AddData(kFieldColor, B_RAW_TYPE, &color, sizeof(color));
	}
	ColorItemChosen();

	fUseActiveFrame->SetValue(pref.useActiveFrame ? 1 : 0);
	fUseBGImage->SetValue(pref.useBackgroundImage ? 1 : 0);
	EnableBGImageControls(pref.useBackgroundImage);
	fBGImageName->SetText(pref.backgroundImage.c_str());
	if (pref.imageAlignment == 0)
		fTile->SetValue(1);
	else if (pref.imageAlignment == 1)
		fScaleToFit->SetValue(1);

	fDoubleBuffering->SetValue(pref.doubleBuffering ? 1 : 0);
	fReadExtendedTags->SetValue(pref.readExtendedTags ? 1 : 0);
	mark_index(fWriteCrType, pref.writeCrType);
	mark_index(fWriteEncoding, pref.writeEncoding);
	BString difference;
	difference << pref.timeDifference;
	fTimeDifference->SetText(difference.String());
	fShowToolBar->SetValue(pref.showToolBar ? 1 : 0);
}

void TPrefView::ShowColor(rgb_color color)
{
	fColorControl->SetValue(color);
	fDispColor->SetViewColor(color);
	fDispColor->Invalidate();
}

void TPrefView::EnableBGImageControls(bool enabled)
{
	fBGImageName->SetEnabled(enabled);
	fBrowseBGImage->SetEnabled(enabled);
	fTile->SetEnabled(enabled);
	fScaleToFit->SetEnabled(enabled);
}

void TPrefView::Draw(BRect updateRect)
{
	TORVDlgView::Draw(updateRect);
	if (!fComplete)
		return;
	// The swatch shows the colour being edited.
	const rgb_color color = fColorControl->ValueAsColor();
	const rgb_color shown = fDispColor->ViewColor();
	if (compare_rgb_color(color, shown)) {
		fDispColor->SetViewColor(color);
		fDispColor->Invalidate();
	}
}

rgb_color TPrefView::PrefColor(const TPref* pref, int32 index)
{
	switch (index) {
		case 0: return pref->textColor;
		case 1: return pref->backColor;
		case 2: return pref->activeTextColor;
		case 3: return pref->activeBackColor;
		case 4: return pref->activeFrameColor;
		default: return rgb_color{0, 0, 0, 255};
	}
}

void TPrefView::SetPrefColor(TPref* pref, int32 index, rgb_color color)
{
	switch (index) {
		case 0: pref->textColor = color; break;
		case 1: pref->backColor = color; break;
		case 2: pref->activeTextColor = color; break;
		case 3: pref->activeBackColor = color; break;
		case 4: pref->activeFrameColor = color; break;
		default: break;
	}
}

// #pragma mark - messages

void TPrefView::MessageReceived(BMessage* message)
{
	if (!fComplete) {
		TORVDlgView::MessageReceived(message);
		return;
	}
	switch (message->what) {
		case kMsgStayOnTopClicked:
		case kMsgAntiAliasingClicked:
		case kMsgActiveFrameClicked:
		case kMsgUseBGImageClicked:
		case kMsgDoubleBufferingClicked:
		case kMsgReadExtendedTagsClicked:
		case kMsgShowToolBarClicked:
			CheckBoxClicked(message->what);
			break;
		case kMsgReadEncodingChosen:
		case kMsgWriteCrTypeChosen:
		case kMsgWriteEncodingChosen:
			MenuItemChosen(message->what);
			break;
		case kMsgLanguageItemChosen:
			LanguageItemChosen(message);
			break;
		case kMsgFontFamilyChosen:
			FontFamilyChosen();
			break;
		case kMsgFontSizeEdited:
			FontSizeEdited();
			break;
		case kMsgTimeDifferenceEdited:
			TimeDifferenceEdited();
			break;
		case kMsgBGImageNameEdited:
			BGImageNameEdited();
			break;
		case kMsgImageAlignClicked:
			ImageAlignClicked();
			break;
		case kMsgColorItemChosen:
			ColorItemChosen();
			break;
		case kMsgColorControlChanged:
			ColorControlChanged();
			break;
		case kMsgHelpClicked:
			ButtonHelpClicked();
			break;
		case kMsgDefaultClicked:
			ButtonDefaultClicked();
			break;
		case kMsgCancelClicked:
			ButtonCancelClicked();
			break;
		case kMsgOKClicked:
			ButtonOKClicked();
			break;

		case kMsgLoadPresetChosen:
			PopMItemLoadPresetClicked(message);
			break;
		case kMsgSavePresetChosen:
			PopMItemSavePresetClicked(message);
			break;
		case kMsgDeleteAllPresetsChosen:
			PopMItemDelAllPresetsClicked();
			break;
		case kMsgSaveNewPreset:
			SaveNewPresetRqtd(message);
			break;
		case kMsgSkinFileChosen:
			GetSkinColorRqtd(message);
			break;

		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		case B_SIMPLE_DATA:
			if (!SimpleData(message))
				TORVDlgView::MessageReceived(message);
			break;
		case kMsgLanguageReloaded:
			LanguageChanged();
			break;
		case kMsgLanguageFolderChanged:
			ReloadLanguageFiles();
			break;
		case kMsgInterAppPrefChanged:
			IAPChanged(message);
			break;
		case kMsgStayOnTopToggled:
			PrefStayOnTopImmChanged();
			break;
		case kMsgBackImageChanged:
			PrefBGImageImmChanged();
			break;

		default:
			// The browse button, the skin item and the preset-name request
			// travel on to the window.
			TORVDlgView::MessageReceived(message);
			break;
	}
}

void TPrefView::CheckBoxClicked(uint32 what)
{
	uint32 notice = 0;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		switch (what) {
			case kMsgStayOnTopClicked:
				pref->stayOnTop = fStayOnTop->Value() != 0;
				notice = kMsgPrefStayOnTopChanged;
				break;
			case kMsgAntiAliasingClicked:
				pref->antiAliasing = fAntiAliasing->Value() != 0;
				notice = kMsgPrefAppearanceChanged;
				break;
			case kMsgActiveFrameClicked:
				pref->useActiveFrame = fUseActiveFrame->Value() != 0;
				notice = kMsgPrefAppearanceChanged;
				break;
			case kMsgUseBGImageClicked:
				pref->useBackgroundImage = fUseBGImage->Value() != 0;
				notice = kMsgPrefAppearanceChanged;
				break;
			case kMsgDoubleBufferingClicked:
				pref->doubleBuffering = fDoubleBuffering->Value() != 0;
				notice = kMsgPrefDoubleBufferChanged;
				break;
			case kMsgReadExtendedTagsClicked:
				// The lyrics are read again, as after a change of encoding.
				pref->readExtendedTags = fReadExtendedTags->Value() != 0;
				notice = kMsgPrefReadEncodingChanged;
				break;
			case kMsgShowToolBarClicked:
				pref->showToolBar = fShowToolBar->Value() != 0;
				notice = kMsgPrefToolBarChanged;
				break;
			default:
				return;
		}
	}
	if (what == kMsgUseBGImageClicked)
		EnableBGImageControls(fUseBGImage->Value() != 0);
	NotifyPrefChange(notice);
}

void TPrefView::MenuItemChosen(uint32 what)
{
	uint32 notice = 0;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		switch (what) {
			case kMsgReadEncodingChosen:
				pref->readEncoding = marked_index(fReadEncoding);
				notice = kMsgPrefReadEncodingChanged;
				break;
			case kMsgWriteCrTypeChosen:
				pref->writeCrType = marked_index(fWriteCrType);
				notice = kMsgPrefLineEndChanged;
				break;
			case kMsgWriteEncodingChosen:
				pref->writeEncoding = marked_index(fWriteEncoding);
				notice = kMsgPrefWriteEncodingChanged;
				break;
			default:
				return;
		}
	}
	NotifyPrefChange(notice);
}

void TPrefView::LanguageItemChosen(BMessage*)
{
	BMenuItem* marked = fLanguage->Menu()->FindMarked();
	const char* path = NULL;
	if (marked == NULL || marked->Message() == NULL
		|| marked->Message()->FindString(kFieldLLTF, &path) != B_OK)
		return;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->languageFile = path;
	}
	NotifyPrefChange(kMsgLanguageChosen);
}

void TPrefView::FontFamilyChosen()
{
	BMenuItem* marked = fFontFamily->Menu()->FindMarked();
	if (marked == NULL)
		return;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->SetFontFamily(marked->Label());
	}
	NotifyPrefChange(kMsgPrefAppearanceChanged);
}

void TPrefView::FontSizeEdited()
{
	// The text stays as typed; the record takes the value held in range.
	const float size = held_within(leading_float(fFontSize->Text()), kMinFontSize,
		kMaxFontSize);
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->fontSize = size;
	}
	NotifyPrefChange(kMsgPrefAppearanceChanged);
}

void TPrefView::TimeDifferenceEdited()
{
	const int32 difference = (int32)held_within<long long>(
		leading_integer(fTimeDifference->Text()), kMinTimeDifference, kMaxTimeDifference);
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->timeDifference = difference;
	}
	NotifyPrefChange(kMsgPrefTimeDiffChanged);
}

void TPrefView::BGImageNameEdited()
{
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		const char* name = fBGImageName->Text();
		pref->backgroundImage = name != NULL ? name : "";
	}
	NotifyPrefChange(kMsgPrefAppearanceChanged);
}

void TPrefView::ImageAlignClicked()
{
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		pref->imageAlignment = fTile->Value() != 0 ? 0 : 1;
	}
	NotifyPrefChange(kMsgPrefAppearanceChanged);
}

void TPrefView::ColorItemChosen()
{
	BMenuItem* marked = fColor->Menu()->FindMarked();
	const void* data = NULL;
	ssize_t size = 0;
	if (marked == NULL || marked->Message() == NULL
		|| marked->Message()->FindData(kFieldColor, B_RAW_TYPE, &data, &size) != B_OK
		|| size != (ssize_t)sizeof(rgb_color))
		return;
	rgb_color color;
	memcpy(&color, data, sizeof(color));
	ShowColor(color);
}

void TPrefView::ColorControlChanged()
{
	BMenu* menu = fColor->Menu();
	BMenuItem* marked = menu->FindMarked();
	const rgb_color color = fColorControl->ValueAsColor();
	if (marked != NULL && marked->Message() != NULL) {
		marked->Message()->RemoveName(kFieldColor);
		marked->Message()->AddData(kFieldColor, B_RAW_TYPE, &color, sizeof(color));
	}
	fDispColor->SetViewColor(color);
	fDispColor->Invalidate();
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		for (int32 i = 0; i < kColorCount; i++) {
			BMenuItem* item = menu->ItemAt(i);
			const void* data = NULL;
			ssize_t size = 0;
			if (item == NULL || item->Message() == NULL
				|| item->Message()->FindData(kFieldColor, B_RAW_TYPE, &data, &size) != B_OK
				|| size != (ssize_t)sizeof(rgb_color))
				continue;
			rgb_color itemColor;
			memcpy(&itemColor, data, sizeof(itemColor));
			SetPrefColor(&*pref, i, itemColor);
		}
	}
	NotifyPrefChange(kMsgPrefAppearanceChanged);
}

void TPrefView::ButtonHelpClicked()
{
	show_help();
}

void TPrefView::ButtonOKClicked()
{
	if (Window() != NULL && !Window()->IsHidden())
		Window()->Hide();
	fConfirmed = live_record();
	save_pref(false);
	BMessage notice(kMsgPrefOKPressed);
	notice.AddString(kFieldStatBarStr, text("StatBarStr_Pref_Changed").c_str());
	NotifyPrefChange(&notice);
}

void TPrefView::ButtonCancelClicked()
{
	TPref before;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		before = *pref;
		*pref = fConfirmed;
	}
	if (Window() != NULL && !Window()->IsHidden())
		Window()->Hide();
	NotifyPrefDiffe(before, fConfirmed);
	NotifyDisplayerDiffe(before, fConfirmed);
	UpdateCompos();
	NotifyPrefChange(kMsgPrefSettingsRestored);
}

void TPrefView::ButtonDefaultClicked()
{
	const TPref defaults;
	TPref before;
	{
		TPrefLock pref;
		if (gPref == NULL)
			return;
		before = *pref;
		*pref = defaults;
	}
	NotifyPrefDiffe(before, defaults);
	NotifyDisplayerDiffe(before, defaults);
	UpdateCompos();
}

void TPrefView::NotifyPrefDiffe(const TPref& before, const TPref& after)
{
	std::vector<uint32> notices;
	if (before.languageFile != after.languageFile)
		notices.push_back(kMsgLanguageChosen);
	if (before.showToolBar != after.showToolBar)
		notices.push_back(kMsgPrefToolBarChanged);
	for (uint32 what : notices)
		NotifyPrefChange(what);
}

void TPrefView::NotifyDisplayerDiffe(const TPref& before, const TPref& after)
{
	if (before.stayOnTop != after.stayOnTop)
		NotifyPrefChange(kMsgPrefStayOnTopChanged);
	if (before.doubleBuffering != after.doubleBuffering)
		NotifyPrefChange(kMsgPrefDoubleBufferChanged);
	if (before.readEncoding != after.readEncoding
		|| before.readExtendedTags != after.readExtendedTags)
		NotifyPrefChange(kMsgPrefReadEncodingChanged);
}

void TPrefView::NotifyPrefChange(uint32 what)
{
	BMessage message(what);
	NotifyPrefChange(&message);
}

void TPrefView::NotifyPrefChange(BMessage* message)
{
	TORVDlgWin* window = dynamic_cast<TORVDlgWin*>(Window());
	if (window == NULL)
		return;
	// The window follows the stay-on-top setting itself before it tells
	// the others.
	if (message->what == kMsgPrefStayOnTopChanged) {
		if (TPrefWin* prefWin = dynamic_cast<TPrefWin*>(window))
			prefWin->PrefStayOnTopChanged();
	}
	BLooper* target = window->Target() != NULL ? window->Target()->Looper() : NULL;
	if (target != NULL)
		target->PostMessage(message);
}

// #pragma mark - files, drops, changes made elsewhere

void TPrefView::RefsReceived(BMessage* message)
{
	entry_ref ref;
	if (message->FindRef("refs", &ref) != B_OK)
		return;
	const std::string path = path_of(ref);
	if (!path.empty())
		fBGImageName->SetText(path.c_str());
}

bool TPrefView::SimpleData(BMessage* message)
{
	entry_ref ref;
	if (!message->WasDropped() || !message->IsSourceRemote()
		|| message->FindRef("refs", &ref) != B_OK || fTabView->Selection() != kBGImageTab
		|| fBGImageName->Window() == NULL)
		return false;
	const BRect field = fBGImageName->ConvertToScreen(fBGImageName->Bounds());
	if (!field.Contains(message->DropPoint()))
		return false;
	const std::string path = path_of(ref);
	if (path.empty())
		return false;
	fBGImageName->SetText(path.c_str());
	{
		TPrefLock pref;
		if (gPref != NULL)
			pref->useBackgroundImage = true;
	}
	fUseBGImage->SetValue(1);
	EnableBGImageControls(true);
	return true;
}

void TPrefView::ShortCutDown(int32 rawChar, int32 key)
{
	if (rawChar == B_FUNCTION_KEY && key == B_F1_KEY) {
		orvik::click_button(fButtonHelp);
		return;
	}
	if (rawChar == B_ESCAPE) {
		orvik::click_button(fButtonCancel);
		return;
	}
	TORVDlgView::ShortCutDown(rawChar, key);
}

void TPrefView::LanguageChanged()
{
	BuildReadEncodingMenu();
	BuildColorMenu();
	BuildWriteCrTypeMenu();
	BuildWriteEncodingMenu();
	SetLabelsCommon();
	fTabView->Invalidate();
}

void TPrefView::ReloadLanguageFiles()
{
	BuildLanguageMenu();
}

void TPrefView::IAPChanged(BMessage* message)
{
	const char* item = NULL;
	if (message->FindString(kIAPFieldSrcItem, &item) == B_OK
		&& strcmp(item, kAccKeyFormatItem) == 0)
		SetLabelsCommon();
}

void TPrefView::PrefStayOnTopImmChanged()
{
	const TPref pref = live_record();
	fConfirmed.stayOnTop = pref.stayOnTop;
	fStayOnTop->SetValue(pref.stayOnTop ? 1 : 0);
}

void TPrefView::PrefBGImageImmChanged()
{
	const TPref pref = live_record();
	fConfirmed.useBackgroundImage = pref.useBackgroundImage;
	fConfirmed.backgroundImage = pref.backgroundImage;
	fUseBGImage->SetValue(1);
	EnableBGImageControls(pref.useBackgroundImage);
	fBGImageName->SetText(pref.backgroundImage.c_str());
}
