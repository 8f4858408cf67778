// The shipped languages: English and the built-in Japanese hold the same,
// complete vocabulary; the built-in texts the system quotes are there as
// they stand; every English label holds its accelerator letter.
#include "LangTestUtil.h"
#include "lang/TLLT.h"

#include <gtest/gtest.h>

#include <ctype.h>

#include <set>
#include <string>
#include <utility>

namespace {

// Every key the windows, menus and alerts of the system ask for.
const char* const kVocabulary[] = {
	"PopMItem_Open", "PopMenu_Win_Pos", "PopMItem_WP_0", "PopMItem_WP_1", "PopMItem_WP_2",
	"PopMItem_WP_3", "PopMenu_Win_Size", "PopMItem_WS_0", "PopMItem_WS_1", "PopMItem_Hide",
	"PopMItem_Stay_On_Top", "PopMItem_Pref", "PopMItem_ORVIK_Common_Pref", "PopMItem_Help",
	"PopMItem_Author_Web", "PopMItem_About",
	"Button_Browse", "Button_Cancel", "Button_Default", "Button_Del_All", "Button_Help",
	"Button_No", "Button_OK", "Button_Select", "Button_Understand", "Button_Yes",
	"Box_BG_Image_Align", "Box_New", "CBox_Anti_Aliasing", "CBox_Double_Buffering",
	"CBox_Make_Tool_Bar_Flat", "CBox_Read_Extended_Tags", "CBox_Show_Tool_Bar",
	"CBox_Stay_On_Top", "CBox_Use_BG_Image",
	"CBox_Use_Active_Frame", "MField_Color", "MField_Font_Family", "MField_Language",
	"MField_Option", "MField_Read_Encoding", "MField_Write_Encoding",
	"MField_Write_Return_Code", "PopMenu_Load_Preset", "PopMenu_Save_Preset",
	"PopMItem_Col_Active_Lyrics", "PopMItem_Col_Active_BG", "PopMItem_Col_Active_Frame",
	"PopMItem_Col_BG", "PopMItem_Col_Lyrics", "PopMItem_Default_Preset",
	"PopMItem_Del_All_Presets", "PopMItem_Get_Skin_Color", "PopMItem_New_Preset",
	"PopMItem_RC_0", "PopMItem_RC_1", "PopMItem_RC_2", "PopMItem_Encoding_0",
	"PopMItem_Encoding_1", "PopMItem_Encoding_2", "PopMItem_Encoding_3",
	"PopMItem_Encoding_4", "Pref_Win_Title", "RButton_Scale_To_Fit", "RButton_Tile",
	"StrView_Displayer_Stat", "StrView_Editor_Stat", "StrView_Shared_Stat",
	"Tab_Displayer_BG_Image", "Tab_Displayer_Other", "Tab_Editor_Create",
	"Tab_Shared_Appearance", "Tab_Shared_General", "TxtCtrl_BG_Image_File_Name",
	"TxtCtrl_Font_Size", "TxtCtrl_Time_Difference",
	"New_Preset_Name_Win_Title", "SID_Preset_Name",
	"About_Win_Button_OK", "About_Win_Win_Title_1", "About_Win_Win_Title_2",
	"About_Win_Tab_About", "About_Win_Tab_Lang", "About_Win_StrView_Lang_Info",
	"About_Win_StrView_Lang_List", "About_Win_Lang_Info_Lang_Name",
	"About_Win_Lang_Info_Lang_File_Name", "About_Win_Lang_Info_Num_Texts",
	"About_Win_Lang_Info_Writer", "About_Win_Lang_Info_Special_Thanks",
	"BrowseBGImgPanel_Title", "BrowseSkinPanel_Title",
	"Ask_Create_New_1", "Ask_Create_New_2", "Ask_Del_All_Presets", "Ask_Del_One_Preset_1",
	"Ask_Del_One_Preset_2", "Ask_Overwrite_Preset",
	"Err_Bad_Preset_Name", "Err_Cannot_Create_Pref_Win", "Err_Cannot_Find_PLEdit",
	"Err_Cannot_Open_Lyrics_File",
	"Hint_Check_PKSC", "Hint_Del_One_Preset", "StatBarStr_Pref_Changed",
	"Alert_Caption", "App_Author", "Untitled_Preset_Name",
};

std::set<std::string> key_set(const TLLT& table)
{
	std::set<std::string> keys;
	for (const auto& entry : table.TextMap())
		keys.insert(entry.first);
	return keys;
}

class ShippedLanguages : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fEnglish.Load(langtest::shipped_language_path("English.llt").c_str()), 0);
		ASSERT_EQ(fJapanese.Load(langtest::shipped_language_path("Japanese.llt").c_str()), 0);
	}
	TLLT fEnglish;
	TLLT fJapanese;
};

}

TEST_F(ShippedLanguages, SameCompleteVocabulary)
{
	EXPECT_EQ(fEnglish.LanguageName(), "English");
	EXPECT_EQ(fJapanese.LanguageName(), "日本語 (Japanese)");
	EXPECT_EQ(key_set(fEnglish), key_set(fJapanese));
	const std::set<std::string> vocabulary(std::begin(kVocabulary), std::end(kVocabulary));
	EXPECT_EQ(key_set(fEnglish), vocabulary);
	for (const TLLT* table : {&fEnglish, &fJapanese}) {
		for (const auto& [key, text] : table->TextMap()) {
			// Only the first part of the about window's title may be empty.
			if (key != "About_Win_Win_Title_1" && key != "About_Win_Win_Title_2") {
				EXPECT_FALSE(text.empty()) << key;
			}
			EXPECT_EQ(text.find('@'), std::string::npos) << key;
		}
	}
}

TEST_F(ShippedLanguages, BuiltInTextsAsQuoted)
{
	const std::pair<const char*, const char*> quoted[] = {
		{"PopMItem_RC_0", "LF (BeOS)"},
		{"PopMItem_RC_1", "CR-LF (Windows)"},
		{"PopMItem_RC_2", "CR (Mac OS)"},
		{"PopMItem_Encoding_0", "UTF-8 (BeOS)"},
		{"PopMItem_Encoding_1", "Shift-JIS (Windows)"},
		{"PopMItem_Encoding_2", "JIS"},
		{"PopMItem_Encoding_3", "-"},
		{"PopMItem_Encoding_4", "自動判別"},
		{"Ask_Create_New_1", "ファイルが存在しません：\n"},
		{"Ask_Create_New_2", "\n\n新規作成しますか？"},
		{"Ask_Del_All_Presets", "すべての表示設定を削除します。\nよろしいですか？"},
		{"Alert_Caption", "★\u3000Verso Displayer\u3000★"},
	};
	for (const auto& [key, text] : quoted)
		EXPECT_STREQ(fJapanese.Text(key), text) << key;
}

TEST_F(ShippedLanguages, EnglishLabelsHoldTheirAcceleratorLetters)
{
	const std::pair<const char*, char> letters[] = {
		{"PopMItem_Open", 'O'}, {"PopMenu_Win_Pos", 'N'}, {"PopMItem_WP_0", 'T'},
		{"PopMItem_WP_1", 'B'}, {"PopMItem_WP_2", 'L'}, {"PopMItem_WP_3", 'R'},
		{"PopMenu_Win_Size", 'S'}, {"PopMItem_WS_0", 'W'}, {"PopMItem_WS_1", 'H'},
		{"PopMItem_Hide", 'D'}, {"PopMItem_Stay_On_Top", 'T'}, {"PopMItem_Pref", 'P'},
		{"PopMItem_ORVIK_Common_Pref", 'S'}, {"PopMItem_Help", 'H'},
		{"PopMItem_Author_Web", 'J'}, {"PopMItem_About", 'A'},
		{"CBox_Stay_On_Top", 'T'}, {"MField_Language", 'L'}, {"MField_Read_Encoding", 'E'},
		{"MField_Font_Family", 'F'}, {"TxtCtrl_Font_Size", 'S'}, {"CBox_Anti_Aliasing", 'A'},
		{"MField_Color", 'C'}, {"CBox_Use_Active_Frame", 'I'}, {"MField_Option", 'P'},
		{"CBox_Use_BG_Image", 'U'}, {"TxtCtrl_BG_Image_File_Name", 'F'},
		{"Button_Browse", 'B'}, {"RButton_Tile", 'T'}, {"RButton_Scale_To_Fit", 'S'},
		{"CBox_Double_Buffering", 'P'}, {"MField_Write_Return_Code", 'R'},
		{"MField_Write_Encoding", 'E'}, {"TxtCtrl_Time_Difference", 'T'},
		{"CBox_Show_Tool_Bar", 'L'}, {"Button_Default", 'D'},
		{"PopMenu_Load_Preset", 'L'}, {"PopMenu_Save_Preset", 'S'},
		{"PopMItem_Get_Skin_Color", 'K'}, {"PopMItem_Default_Preset", 'D'},
		{"PopMItem_New_Preset", 'N'}, {"PopMItem_Del_All_Presets", 'L'},
		{"Button_Yes", 'Y'}, {"Button_No", 'N'}, {"Button_Del_All", 'A'},
		{"Button_Understand", 'U'}, {"SID_Preset_Name", 'N'},
	};
	for (const auto& [key, letter] : letters) {
		std::string upper = fEnglish.Text(key);
		for (char& c : upper)
			c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
		EXPECT_NE(upper.find(letter), std::string::npos) << key << " lacks " << letter;
	}
}
