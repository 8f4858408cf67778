#include "storage/IconData.h"

#include <Bitmap.h>
#include <File.h>
#include <Resources.h>

namespace BPrivate {

const char* icon_name(icon_size size)
{
	return size == B_MINI_ICON ? "BEOS:M:STD_ICON" : "BEOS:L:STD_ICON";
}

type_code icon_type(icon_size size)
{
	return size == B_MINI_ICON ? 'MICN' : 'ICON';
}

status_t check_icon_bitmap(const BBitmap* icon, icon_size size)
{
	if (icon == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
		return B_BAD_VALUE;
	if (icon->InitCheck() != B_OK)
		return B_NO_INIT;
	BRect bounds = icon->Bounds();
	if (bounds.IntegerWidth() + 1 != size || bounds.IntegerHeight() + 1 != size)
		return B_BAD_VALUE;
	return B_OK;
}

status_t icon_from_resources(const BFile* file, BBitmap* icon, icon_size size)
{
	BResources resources(file);
	if (resources.InitCheck() != B_OK)
		return B_ENTRY_NOT_FOUND;
	size_t length = 0;
	const void* data = resources.LoadResource(icon_type(size), icon_name(size), &length);
	if (data == nullptr || length != (size_t)size * size)
		return B_ENTRY_NOT_FOUND;
	icon->SetBits(data, (int32)length, 0, B_CMAP8);
	return B_OK;
}

}
