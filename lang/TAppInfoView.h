// The program information of an about window: the program's icon at
// (10, 10), its name and version on the first line, the rights notice
// below, between two separator lines. 320 × 166.
//
// Ownership: the view owns its icon and its child views; it does not own
// the language table.
//
// Threads: SetAppInfo may be called from any thread; it locks the window.
#ifndef LANG_T_APP_INFO_VIEW_H
#define LANG_T_APP_INFO_VIEW_H

#include "framework/TORVDlgView.h"

#include <string>

class BBitmap;
class BStringView;
class TLLT;

class TAppInfoView : public TORVDlgView {
public:
	// Takes the large icon of the running application's signature, when
	// the system has one.
	explicit TAppInfoView(BRect frame);
	virtual ~TAppInfoView();

	virtual void Draw(BRect updateRect);

	// Sets the three texts; -1 (nothing changed) when the view is in a
	// window that cannot be locked.
	virtual status_t SetAppInfo(const char* name, const char* version, const char* rights);
	virtual status_t SetLLTRef(TLLT* table);
	virtual status_t Update();

	// The program name as shown.
	std::string AppName() const;

protected:
	// A centred text of the view; a frame lower than the plain font's
	// letters is made as high as they are.
	static BStringView* MakeText(BRect frame, const char* name);
	// Draws `icon` (32 × 32) at (10, 10), blending its transparent pixels.
	void DrawIcon(const BBitmap* icon);

	BStringView* fAppName;
	BStringView* fAppVer;
	BStringView* fCright;
	TLLT* fLLT;   // not owned

private:
	BBitmap* fIcon;   // owned; NULL without an icon
};

#endif
