#include "interface/ControlLook.h"

#include <InterfaceDefs.h>
#include <View.h>

#include <cmath>

namespace BPrivate {

ControlColors control_colors(rgb_color background, bool enabled)
{
	ControlColors colors;
	colors.base = background;
	colors.text = ui_color(B_CONTROL_TEXT_COLOR);
	colors.light = tint_color(background, B_LIGHTEN_MAX_TINT);
	colors.shadow = tint_color(background, B_DARKEN_2_TINT);
	colors.frame = tint_color(background, B_DARKEN_4_TINT);
	colors.focus = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
	if (!enabled) {
		// Everything moves towards the background.
		colors.text = tint_color(background, B_DISABLED_LABEL_TINT);
		colors.light = tint_color(background, B_LIGHTEN_1_TINT);
		colors.shadow = tint_color(background, B_DARKEN_1_TINT);
		colors.frame = tint_color(background, B_DARKEN_2_TINT);
	}
	return colors;
}

BRect draw_bevel(BView* view, BRect rect, const ControlColors& colors, bool sunken)
{
	view->SetHighColor(colors.frame);
	view->StrokeRect(rect);
	rect.InsetBy(1, 1);
	rgb_color topLeft = sunken ? colors.shadow : colors.light;
	rgb_color bottomRight = sunken ? colors.light : colors.shadow;
	view->SetHighColor(topLeft);
	view->StrokeLine(BPoint(rect.left, rect.bottom), BPoint(rect.left, rect.top));
	view->StrokeLine(BPoint(rect.left, rect.top), BPoint(rect.right, rect.top));
	view->SetHighColor(bottomRight);
	view->StrokeLine(BPoint(rect.right, rect.top + 1), BPoint(rect.right, rect.bottom));
	view->StrokeLine(BPoint(rect.right, rect.bottom), BPoint(rect.left + 1, rect.bottom));
	rect.InsetBy(1, 1);
	return rect;
}

float centred_baseline(BView* view, BRect rect)
{
	font_height height;
	view->GetFontHeight(&height);
	float textHeight = std::ceil(height.ascent) + std::ceil(height.descent);
	return std::floor(rect.top + (rect.Height() + 1 - textHeight) / 2 + std::ceil(height.ascent));
}

void draw_focus_line(BView* view, float left, float right, float y, const ControlColors& colors)
{
	view->SetHighColor(colors.focus);
	view->StrokeLine(BPoint(left, y), BPoint(right, y));
}

float mark_size(BView* view)
{
	font_height height;
	view->GetFontHeight(&height);
	float size = std::ceil(height.ascent) + 1;
	if (size < 11)
		size = 11;
	if ((int)size % 2 == 0)
		size += 1;
	return size;
}

float draw_label(BView* view, const char* label, float x, BRect rect,
	const ControlColors& colors, bool focus)
{
	if (label == NULL || label[0] == '\0')
		return x;
	float y = centred_baseline(view, rect);
	view->SetHighColor(colors.text);
	view->DrawString(label, BPoint(x, y));
	float right = x + std::ceil(view->StringWidth(label)) - 1;
	if (focus) {
		font_height height;
		view->GetFontHeight(&height);
		float below = std::ceil(height.descent) > 2 ? 2 : std::ceil(height.descent);
		draw_focus_line(view, x, right, y + below, colors);
	}
	return right;
}

void label_size(BView* view, const char* label, float* width, float* height)
{
	font_height fh;
	view->GetFontHeight(&fh);
	if (width != NULL)
		*width = label != NULL ? std::ceil(view->StringWidth(label)) : 0;
	if (height != NULL)
		*height = std::ceil(fh.ascent) + std::ceil(fh.descent) + std::ceil(fh.leading);
}

}
