// The view tree of the preference window, laid out with the platform's
// classes: five tab pages, their controls and the row of buttons, every
// label empty (the window sets them from the language at run time).
#ifndef PREFS_TOOLS_PREF_VIEW_LAYOUT_H
#define PREFS_TOOLS_PREF_VIEW_LAYOUT_H

#include <SupportDefs.h>

class BMessage;
class BView;

// The top view "PrefView" with everything below it; the caller owns it.
BView* build_pref_view_tree();

// The archive of that tree (deep), with "ID" (int32 0) and "designfsize"
// on its top level, as the preference window reads it.
status_t archive_pref_view_tree(BMessage* archive);

#endif
