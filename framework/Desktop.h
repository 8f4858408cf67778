// The application's place on the desktop: its task-bar entry, its icons,
// the priority of a file panel's window.
#ifndef FRAMEWORK_DESKTOP_H
#define FRAMEWORK_DESKTOP_H

#include <SupportDefs.h>

class BBitmap;
class BFilePanel;

namespace orvik {

// Renames the application's entry in the desktop's task bar. This desktop
// has no task bar that takes scripting, so nothing is sent and the result
// is false.
bool set_deskbar_title(const char* menuName, const char* title);

// The running application's large (32 x 32) and mini (16 x 16) icons from
// its MIME type, as new B_CMAP8 bitmaps that the caller deletes. Icons the
// type does not have are left transparent. Throws the integer 0 when the
// application's signature is not a valid MIME type.
void get_icons(BBitmap** large, BBitmap** mini);

// Sets the priority of the thread of the panel's window. False for NULL or
// when the thread refuses it.
bool set_file_panel_priority(BFilePanel* panel, int32 priority);

}

#endif
