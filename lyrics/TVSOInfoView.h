// The displayer's information view in its about window: the program
// information of TAppInfoView, with the icon of the plug-in file instead of
// the running application's, and between the separators the language in
// use and who wrote its file.
//
// Ownership: the view owns its icon.
#ifndef LYRICS_TVSO_INFO_VIEW_H
#define LYRICS_TVSO_INFO_VIEW_H

#include "lang/TAppInfoView.h"

class BBitmap;
class BStringView;

class TVSOInfoView : public TAppInfoView {
public:
	// Reads the large icon of the file `path` (the plug-in file); without
	// one the view shows no icon.
	TVSOInfoView(BRect frame, const char* path);
	virtual ~TVSOInfoView();

	virtual void Draw(BRect updateRect);
	// Also shows the table's language and writer (under the window's lock).
	virtual status_t SetLLTRef(TLLT* table);

	// The plug-in file's icon, NULL when the file has none.
	const BBitmap* Icon() const { return fIcon; }

private:
	BBitmap* fIcon;   // owned
	BStringView* fLangName;
	BStringView* fLangWriter;
};

#endif
