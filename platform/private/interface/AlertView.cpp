#include "interface/AlertView.h"

#include <Font.h>
#include <InterfaceDefs.h>

namespace BPrivate {

float AlertMetrics::TextLeft(alert_type type)
{
	if (type == B_EMPTY_ALERT)
		return kMargin;
	return kIconLeft + kIconSize + kMargin;
}

AlertView::AlertView(BRect frame, alert_type type)
	:
	BView(frame, "_alert_view_", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
	fType(type)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
	SetFont(be_plain_font);
}

void AlertView::SetLines(const std::vector<std::string>& lines)
{
	fLines = lines;
	Invalidate();
}

float AlertView::TextHeight() const
{
	font_height height;
	be_plain_font->GetHeight(&height);
	float line = height.ascent + height.descent + height.leading;
	return line * fLines.size();
}

void AlertView::Draw(BRect)
{
	BRect bounds = Bounds();
	if (fType != B_EMPTY_ALERT) {
		// The stripe is a shade of the panel, so the icon stands half on it.
		SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
		FillRect(BRect(bounds.left, bounds.top,
			bounds.left + AlertMetrics::kStripeWidth - 1, bounds.bottom));
		draw_alert_icon(this, fType,
			BPoint(AlertMetrics::kIconLeft, AlertMetrics::kIconTop));
	}

	font_height height;
	GetFontHeight(&height);
	float line = height.ascent + height.descent + height.leading;
	float x = AlertMetrics::TextLeft(fType);
	float y = AlertMetrics::kMargin + height.ascent;
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	SetLowColor(ViewColor());
	for (const std::string& text : fLines) {
		if (!text.empty())
			DrawString(text.c_str(), BPoint(x, y));
		y += line;
	}
}

}
