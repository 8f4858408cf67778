#include "TVSOInfoView.h"

#include <Bitmap.h>
#include <File.h>
#include <NodeInfo.h>
#include <StringView.h>
#include <Window.h>

#include "lang/TLLT.h"

#include <string>

namespace {

BBitmap* file_icon(const char* path)
{
	if (path == nullptr)
		return nullptr;
	BFile file(path, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return nullptr;
	BNodeInfo info(&file);
	BBitmap* icon = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8);
	if (icon->InitCheck() != B_OK || info.GetIcon(icon, B_LARGE_ICON) != B_OK) {
		delete icon;
		return nullptr;
	}
	return icon;
}

}

TVSOInfoView::TVSOInfoView(BRect frame, const char* path)
	:
	TAppInfoView(frame),
	fIcon(file_icon(path)),
	fLangName(MakeText(BRect(10, 95, 310, 107), "StrViewLangName")),
	fLangWriter(MakeText(BRect(10, 125, 310, 137), "StrViewLangWriter"))
{
	AddChild(fLangName);
	AddChild(fLangWriter);
}

TVSOInfoView::~TVSOInfoView()
{
	delete fIcon;
}

void TVSOInfoView::Draw(BRect)
{
	DrawIcon(fIcon);
}

status_t TVSOInfoView::SetLLTRef(TLLT* table)
{
	TAppInfoView::SetLLTRef(table);
	if (table == nullptr)
		return 0;
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return -1;
	const std::string name = std::string(table->Text("About_Win_Lang_Info_Lang_Name")) + ": "
		+ table->LanguageName();
	const std::string writer = std::string(table->Text("About_Win_Lang_Info_Writer")) + ": "
		+ table->Writer();
	fLangName->SetText(name.c_str());
	fLangWriter->SetText(writer.c_str());
	if (window != nullptr)
		window->Unlock();
	return 0;
}
