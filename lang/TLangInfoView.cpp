#include "TLangInfoView.h"

#include "Language.h"
#include "TLLT.h"
#include "framework/FileName.h"

#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextView.h>
#include <Window.h>

#include <string.h>

namespace {

const char* const kPlaceholder = "-----";
const char* const kFieldLanguage = "language";

}

TLangInfoView::TLangInfoView(BRect frame)
	:
	TORVDlgView(frame, "LangInfoView", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
	fMField(nullptr),
	fTitle(nullptr),
	fInfo(nullptr),
	fLLT(nullptr),
	fNeedSetMField(true),
	fNeedSetInfo(true)
{
	const float width = Bounds().Width();
	BMenu* menu = new BMenu(kPlaceholder);
	menu->SetLabelFromMarked(true);
	menu->SetRadioMode(true);
	menu->AddItem(new BMenuItem(kPlaceholder, nullptr));
	fMField = new BMenuField(BRect(10, 8, width - 10, 30), "MFieldLanguage", "", menu,
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	fMField->SetDivider(100);
	AddChild(fMField);

	fTitle = new BStringView(BRect(10, 36, width - 10, 52), "StrViewInfoTitle", "",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW);
	AddChild(fTitle);

	BRect textFrame(10, 58, width - 10 - B_V_SCROLL_BAR_WIDTH, Bounds().bottom - 8);
	fInfo = new BTextView(textFrame, "InfoView", textFrame.OffsetToCopy(0, 0).InsetByCopy(3, 3),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	fInfo->MakeEditable(false);
	fInfo->SetWordWrap(true);
	AddChild(new BScrollView("ScrlViewInfo", fInfo, B_FOLLOW_ALL_SIDES, 0, false, true));
}

TLangInfoView::~TLangInfoView()
{
}

void TLangInfoView::AttachedToWindow()
{
	TORVDlgView::AttachedToWindow();
	if (fNeedSetMField)
		SetMField();
	else if (fNeedSetInfo)
		SetInfo();
}

void TLangInfoView::MessageReceived(BMessage* message)
{
	if (message->what == kMsgAboutLanguageChosen) {
		MFieldLanguageChanged();
		return;
	}
	TORVDlgView::MessageReceived(message);
}

status_t TLangInfoView::SetLLTRef(TLLT* table)
{
	fLLT = table;
	SetViewLabel();
	SetNeedSetInfo();
	return 0;
}

void TLangInfoView::SetViewLabel()
{
	if (fLLT == nullptr)
		return;
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return;
	fMField->SetLabel(fLLT->Text("About_Win_StrView_Lang_List"));
	fTitle->SetText(fLLT->Text("About_Win_StrView_Lang_Info"));
	if (window != nullptr)
		window->Unlock();
}

void TLangInfoView::SetLangFolderName(const char* folder)
{
	fFolder = folder != nullptr ? folder : "";
}

void TLangInfoView::SetNeedSetMField()
{
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return;
	fNeedSetMField = true;
	if (window != nullptr) {
		SetMField();
		window->Unlock();
	}
}

void TLangInfoView::SetNeedSetInfo()
{
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return;
	fNeedSetInfo = true;
	if (window != nullptr) {
		SetInfo();
		window->Unlock();
	}
}

void TLangInfoView::ClearMField()
{
	BMenu* menu = fMField->Menu();
	while (BMenuItem* item = menu->RemoveItem((int32)0))
		delete item;
	fFiles.clear();
}

void TLangInfoView::SetMField()
{
	fNeedSetMField = false;
	ClearMField();
	orvik::get_lang_files(fFolder.empty() ? nullptr : fFolder.c_str(), &fFiles);
	BMenu* menu = fMField->Menu();
	for (const auto& [name, path] : fFiles) {
		BMessage* message = new BMessage(kMsgAboutLanguageChosen);
		message->AddString(kFieldLanguage, name.c_str());
		BMenuItem* item = new BMenuItem(name.c_str(), message);
		item->SetTarget(this);
		menu->AddItem(item);
	}
	if (menu->CountItems() == 0)
		menu->AddItem(new BMenuItem(kPlaceholder, nullptr));
	if (BMenuItem* first = menu->ItemAt(0))
		first->SetMarked(true);
	SetInfo();
}

void TLangInfoView::ClearInfo()
{
	fInfo->SetText("");
}

void TLangInfoView::MFieldLanguageChanged()
{
	SetInfo();
}

void TLangInfoView::SetInfo()
{
	fNeedSetInfo = false;
	BMenuItem* marked = fMField->Menu()->FindMarked();
	const auto chosen = marked != nullptr ? fFiles.find(marked->Label()) : fFiles.end();
	if (chosen == fFiles.end()) {
		ClearInfo();
		return;
	}

	TLLT language;
	const bool builtIn = chosen->second.empty();
	const int32 loaded = builtIn
		? language.Load(static_cast<BResources*>(nullptr), kBuiltInLanguageID)
		: language.Load(chosen->second.c_str());
	if (loaded != 0) {
		ClearInfo();
		return;
	}

	auto heading = [this](const char* key) -> std::string {
		return fLLT != nullptr ? fLLT->Text(key) : key;
	};
	const std::string fileName = builtIn ? std::string() : extract_file_name(chosen->second);
	const std::pair<const char*, std::string> entries[] = {
		{"About_Win_Lang_Info_Lang_Name", language.LanguageName()},
		{"About_Win_Lang_Info_Lang_File_Name", fileName},
		{"About_Win_Lang_Info_Writer", language.Writer()},
		{"About_Win_Lang_Info_Special_Thanks", language.SpecialThanks()},
		{"About_Win_Lang_Info_Num_Texts", std::to_string(language.TextMap().size())},
	};
	std::string text;
	for (const auto& [key, value] : entries)
		text += heading(key) + "\n" + value + "\n\n";
	fInfo->SetText(text.c_str());
}

std::string TLangInfoView::InfoText() const
{
	const char* text = fInfo->Text();
	return text != nullptr ? text : "";
}
