#include "storage/FilePanelBackground.h"

#include <Font.h>
#include <InterfaceDefs.h>

namespace BPrivate {

FilePanelBackground::FilePanelBackground(BRect frame)
	:
	BView(frame, "background", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS),
	fPathLeft(0),
	fStatusLeft(0),
	fStatusRight(0)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetFont(be_plain_font);
}

void FilePanelBackground::SetPath(const std::string& path, float left)
{
	fPath = path;
	fPathLeft = left;
	Invalidate(BRect(0, 0, Bounds().right, kBarHeight));
}

void FilePanelBackground::SetStatus(const std::string& status, float left, float right)
{
	fStatus = status;
	fStatusLeft = left;
	fStatusRight = right;
	BRect bounds = Bounds();
	Invalidate(BRect(0, bounds.bottom - kBarHeight, bounds.right, bounds.bottom));
}

// A path too long for the room keeps its end, where the folder's own name is.
static std::string fit_from_end(BView* view, const std::string& text, float width)
{
	if (view->StringWidth(text.c_str()) <= width)
		return text;
	const char* ellipsis = B_UTF8_ELLIPSIS;
	size_t start = 0;
	while (start < text.size()) {
		// Next UTF-8 character.
		start++;
		while (start < text.size() && ((unsigned char)text[start] & 0xc0) == 0x80)
			start++;
		std::string candidate = ellipsis + text.substr(start);
		if (view->StringWidth(candidate.c_str()) <= width)
			return candidate;
	}
	return ellipsis;
}

void FilePanelBackground::Draw(BRect)
{
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	SetLowColor(ViewColor());

	// A line under the path row and over the button row.
	SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
	StrokeLine(BPoint(0, kBarHeight - 1), BPoint(bounds.right, kBarHeight - 1));
	StrokeLine(BPoint(0, bounds.bottom - kBarHeight + 1),
		BPoint(bounds.right, bounds.bottom - kBarHeight + 1));
	SetHighColor(tint_color(ViewColor(), B_LIGHTEN_2_TINT));
	StrokeLine(BPoint(0, kBarHeight), BPoint(bounds.right, kBarHeight));
	StrokeLine(BPoint(0, bounds.bottom - kBarHeight + 2),
		BPoint(bounds.right, bounds.bottom - kBarHeight + 2));

	float baseline = (kBarHeight - height.ascent - height.descent) / 2 + height.ascent;
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	std::string path = fit_from_end(this, fPath, bounds.right - fPathLeft - 10);
	DrawString(path.c_str(), BPoint(fPathLeft, baseline));

	if (!fStatus.empty()) {
		float room = bounds.right - fStatusRight - fStatusLeft - 10;
		std::string status = fit_from_end(this, fStatus, room);
		SetHighColor(tint_color(ui_color(B_PANEL_TEXT_COLOR), B_LIGHTEN_1_TINT));
		DrawString(status.c_str(),
			BPoint(fStatusLeft, bounds.bottom - kBarHeight + 2 + baseline));
	}
}

void FilePanelBackground::FrameResized(float, float)
{
	Invalidate();
}

}
