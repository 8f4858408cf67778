#include "TVSOInfoView.h"

#include <Bitmap.h>
#include <File.h>
#include <NodeInfo.h>

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
	fIcon(file_icon(path))
{
}

TVSOInfoView::~TVSOInfoView()
{
	delete fIcon;
}

void TVSOInfoView::Draw(BRect)
{
	DrawIcon(fIcon);
}
