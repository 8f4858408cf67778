#include "translator/ConfigView.h"

#include "translator/Packscope.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <StringView.h>

#include <math.h>

namespace {

// Sets the text and fits the width to it. The height becomes the font's
// when `fitHeight` is set; otherwise it stays, unless the font needs more,
// so that descenders are never cut off.
void fit_string_view(BStringView* view, const char* text, bool fitHeight)
{
	if (view == NULL)
		return;
	view->SetText(text);
	BFont font;
	view->GetFont(&font);
	font_height metrics;
	font.GetHeight(&metrics);
	const float fontHeight = ceilf(metrics.ascent + metrics.descent);
	float height = view->Bounds().Height();
	if (fitHeight || height < fontHeight)
		height = fontHeight;
	view->ResizeTo(ceilf(font.StringWidth(text)), height);
}

}

TConfigView::TConfigView(BRect frame)
	:
	BView(frame, "PackscopeConfigView", 0, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(new BStringView(BRect(10, 15, 76, 27), "StrViewKind", ""));
	AddChild(new BStringView(BRect(10, 50, 74, 62), "StrViewVer", ""));
	AddChild(new BStringView(BRect(10, 70, 84, 82), "StrViewCright", ""));
}

void
TConfigView::AttachedToWindow()
{
	BView::AttachedToWindow();
	BStringView* kind = dynamic_cast<BStringView*>(FindView("StrViewKind"));
	if (kind != NULL) {
		kind->SetFont(be_bold_font, B_FONT_ALL);
		fit_string_view(kind, gHandleKind, true);
	}
	fit_string_view(dynamic_cast<BStringView*>(FindView("StrViewVer")), gAppVer, false);
	fit_string_view(dynamic_cast<BStringView*>(FindView("StrViewCright")), gCright,
		false);
}
