#include "TAppInfoView.h"

#include <Application.h>
#include <Bitmap.h>
#include <Box.h>
#include <Font.h>
#include <Mime.h>
#include <Roster.h>
#include <StringView.h>
#include <Window.h>

#include <math.h>

namespace {

const float kWidth = 320;
const float kHeight = 166;
const BRect kIconBounds(0, 0, 31, 31);
const BPoint kIconPosition(10, 10);

}

BStringView* TAppInfoView::MakeText(BRect frame, const char* name)
{
	// At least as tall as the plain font's letters, descenders included.
	font_height height;
	be_plain_font->GetHeight(&height);
	const float lineHeight = ceilf(height.ascent + height.descent);
	if (frame.Height() < lineHeight)
		frame.bottom = frame.top + lineHeight;
	BStringView* view = new BStringView(frame, name, "", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW);
	view->SetAlignment(B_ALIGN_CENTER);
	return view;
}

namespace {

BBox* make_separator(float top, const char* name)
{
	return new BBox(BRect(0, top, kWidth, top + 1), name, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		B_WILL_DRAW, B_PLAIN_BORDER);
}

// The large icon of the running application, or NULL.
BBitmap* application_icon()
{
	if (be_app == nullptr)
		return nullptr;
	app_info info;
	if (be_app->GetAppInfo(&info) != B_OK)
		return nullptr;
	BBitmap* icon = new BBitmap(kIconBounds, B_CMAP8);
	BMimeType type(info.signature);
	if (icon->InitCheck() != B_OK || type.GetIcon(icon, B_LARGE_ICON) != B_OK) {
		delete icon;
		return nullptr;
	}
	return icon;
}

}

TAppInfoView::TAppInfoView(BRect frame)
	:
	TORVDlgView(frame, "AppInfoView", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
	fAppName(nullptr),
	fAppVer(nullptr),
	fCright(nullptr),
	fLLT(nullptr),
	fIcon(application_icon())
{
	ResizeTo(kWidth, kHeight);
	SetDrawingMode(B_OP_ALPHA);
	SetBlendingMode(B_PIXEL_ALPHA, B_ALPHA_OVERLAY);

	fAppName = MakeText(BRect(50, 20, 230, 32), "StrViewAppName");
	fAppVer = MakeText(BRect(240, 20, 310, 32), "StrViewAppVer");
	fCright = MakeText(BRect(10, 50, 310, 62), "StrViewCright");
	AddChild(fAppName);
	AddChild(fAppVer);
	AddChild(fCright);
	AddChild(make_separator(75, "BoxSep1"));
	AddChild(make_separator(165, "BoxSep2"));
}

TAppInfoView::~TAppInfoView()
{
	delete fIcon;
}

void TAppInfoView::Draw(BRect)
{
	DrawIcon(fIcon);
}

void TAppInfoView::DrawIcon(const BBitmap* icon)
{
	if (icon != nullptr)
		DrawBitmap(icon, kIconPosition);
}

status_t TAppInfoView::SetAppInfo(const char* name, const char* version, const char* rights)
{
	BWindow* window = Window();
	if (window != nullptr && !window->Lock())
		return -1;
	fAppName->SetText(name != nullptr ? name : "");
	fAppVer->SetText(version != nullptr ? version : "");
	fCright->SetText(rights != nullptr ? rights : "");
	if (window != nullptr)
		window->Unlock();
	return 0;
}

status_t TAppInfoView::SetLLTRef(TLLT* table)
{
	fLLT = table;
	return 0;
}

status_t TAppInfoView::Update()
{
	return 0;
}

std::string TAppInfoView::AppName() const
{
	const char* text = fAppName->Text();
	return text != nullptr ? text : "";
}
