#include "framework/Desktop.h"

#include <Application.h>
#include <Bitmap.h>
#include <FilePanel.h>
#include <Mime.h>
#include <OS.h>
#include <Roster.h>
#include <Window.h>

namespace orvik {

bool set_deskbar_title(const char*, const char*)
{
	return false;
}

void get_icons(BBitmap** large, BBitmap** mini)
{
	app_info info;
	if (be_app == nullptr || be_app->GetAppInfo(&info) != B_OK)
		throw 0;
	BMimeType type;
	if (type.SetTo(info.signature) != B_OK || !type.IsValid())
		throw 0;
	BBitmap* largeIcon = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8);
	BBitmap* miniIcon = new BBitmap(BRect(0, 0, 15, 15), B_CMAP8);
	// Start transparent, so that a missing icon shows nothing.
	for (BBitmap* icon : {largeIcon, miniIcon}) {
		uint8* bits = static_cast<uint8*>(icon->Bits());
		for (int32 i = 0; i < icon->BitsLength(); i++)
			bits[i] = B_TRANSPARENT_MAGIC_CMAP8;
	}
	type.GetIcon(largeIcon, B_LARGE_ICON);
	type.GetIcon(miniIcon, B_MINI_ICON);
	*large = largeIcon;
	*mini = miniIcon;
}

bool set_file_panel_priority(BFilePanel* panel, int32 priority)
{
	if (panel == nullptr || panel->Window() == nullptr)
		return false;
	return set_thread_priority(panel->Window()->Thread(), priority) >= B_OK;
}

}
