// The alert icons, drawn with the view's own calls so that they need no
// image files: a blue "i" for information, a light bulb for an idea, a
// yellow triangle with "!" for a warning and a red octagon with "!" for a
// stop. Each fits a 32 x 32 square.
#include "interface/AlertView.h"

namespace BPrivate {

static const rgb_color kBlack = {0, 0, 0, 255};
static const rgb_color kWhite = {255, 255, 255, 255};

static void draw_info(BView* view, BPoint o)
{
	view->SetHighColor(40, 90, 190);
	view->FillEllipse(BRect(o.x, o.y, o.x + 31, o.y + 31));
	view->SetHighColor(20, 50, 120);
	view->StrokeEllipse(BRect(o.x, o.y, o.x + 31, o.y + 31));
	view->SetHighColor(kWhite);
	view->FillEllipse(BRect(o.x + 13, o.y + 5, o.x + 18, o.y + 10));
	view->FillRect(BRect(o.x + 13, o.y + 13, o.x + 18, o.y + 25));
	view->FillRect(BRect(o.x + 11, o.y + 13, o.x + 13, o.y + 14));
	view->FillRect(BRect(o.x + 11, o.y + 24, o.x + 20, o.y + 25));
}

static void draw_idea(BView* view, BPoint o)
{
	// Rays, bulb, and its screw base.
	view->SetHighColor(230, 170, 0);
	view->StrokeLine(BPoint(o.x + 2, o.y + 4), BPoint(o.x + 6, o.y + 7));
	view->StrokeLine(BPoint(o.x + 29, o.y + 4), BPoint(o.x + 25, o.y + 7));
	view->StrokeLine(BPoint(o.x + 0, o.y + 14), BPoint(o.x + 4, o.y + 14));
	view->StrokeLine(BPoint(o.x + 27, o.y + 14), BPoint(o.x + 31, o.y + 14));
	view->StrokeLine(BPoint(o.x + 15, o.y + 0), BPoint(o.x + 15, o.y + 1));
	view->SetHighColor(255, 220, 40);
	view->FillEllipse(BRect(o.x + 6, o.y + 2, o.x + 25, o.y + 21));
	view->FillRect(BRect(o.x + 11, o.y + 17, o.x + 20, o.y + 23));
	view->SetHighColor(160, 110, 0);
	view->StrokeEllipse(BRect(o.x + 6, o.y + 2, o.x + 25, o.y + 21));
	view->SetHighColor(255, 250, 200);
	view->FillEllipse(BRect(o.x + 10, o.y + 6, o.x + 15, o.y + 11));
	view->SetHighColor(120, 120, 130);
	view->FillRect(BRect(o.x + 11, o.y + 24, o.x + 20, o.y + 29));
	view->SetHighColor(80, 80, 90);
	view->StrokeLine(BPoint(o.x + 11, o.y + 26), BPoint(o.x + 20, o.y + 26));
	view->FillRect(BRect(o.x + 13, o.y + 30, o.x + 18, o.y + 31));
}

static void draw_warning(BView* view, BPoint o)
{
	BPoint corners[3] = {BPoint(o.x + 15.5f, o.y + 1), BPoint(o.x + 31, o.y + 30),
		BPoint(o.x, o.y + 30)};
	view->SetHighColor(255, 200, 0);
	view->FillPolygon(corners, 3);
	view->SetHighColor(kBlack);
	view->StrokePolygon(corners, 3);
	view->FillRect(BRect(o.x + 14, o.y + 10, o.x + 17, o.y + 21));
	view->FillRect(BRect(o.x + 14, o.y + 24, o.x + 17, o.y + 27));
}

static void draw_stop(BView* view, BPoint o)
{
	BPoint corners[8] = {
		BPoint(o.x + 9, o.y), BPoint(o.x + 22, o.y), BPoint(o.x + 31, o.y + 9),
		BPoint(o.x + 31, o.y + 22), BPoint(o.x + 22, o.y + 31), BPoint(o.x + 9, o.y + 31),
		BPoint(o.x, o.y + 22), BPoint(o.x, o.y + 9)};
	view->SetHighColor(205, 30, 30);
	view->FillPolygon(corners, 8);
	view->SetHighColor(120, 0, 0);
	view->StrokePolygon(corners, 8);
	view->SetHighColor(kWhite);
	view->FillRect(BRect(o.x + 14, o.y + 6, o.x + 17, o.y + 19));
	view->FillRect(BRect(o.x + 14, o.y + 23, o.x + 17, o.y + 26));
}

void draw_alert_icon(BView* view, alert_type type, BPoint leftTop)
{
	view->PushState();
	switch (type) {
		case B_INFO_ALERT:
			draw_info(view, leftTop);
			break;
		case B_IDEA_ALERT:
			draw_idea(view, leftTop);
			break;
		case B_WARNING_ALERT:
			draw_warning(view, leftTop);
			break;
		case B_STOP_ALERT:
			draw_stop(view, leftTop);
			break;
		default:
			break;
	}
	view->PopState();
}

}
