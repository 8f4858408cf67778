// Icons of files: a B_CMAP8 square of 32 (large) or 16 (mini) pixels, kept
// in the attribute, or the resource, "BEOS:L:STD_ICON" of type 'ICON' or
// "BEOS:M:STD_ICON" of type 'MICN', rows unpadded.
#ifndef _PRIVATE_STORAGE_ICON_DATA_H
#define _PRIVATE_STORAGE_ICON_DATA_H

#include <Mime.h>
#include <SupportDefs.h>

class BBitmap;
class BFile;

namespace BPrivate {

const char* icon_name(icon_size size);
type_code icon_type(icon_size size);
// B_OK when `icon` is a usable bitmap of `size` × `size` pixels.
status_t check_icon_bitmap(const BBitmap* icon, icon_size size);
// The icon from the resources of `file` into `icon`; B_ENTRY_NOT_FOUND
// without one of the right size.
status_t icon_from_resources(const BFile* file, BBitmap* icon, icon_size size);

}

#endif
