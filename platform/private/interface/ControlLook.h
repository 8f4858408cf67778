// Colours and shapes shared by the controls, so that buttons, boxes, check
// marks and tabs look like one family: a light grey panel, bevelled frames
// lit from the top left, the navigation colour for the keyboard focus.
#ifndef _PRIVATE_CONTROL_LOOK_H
#define _PRIVATE_CONTROL_LOOK_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BView;

namespace BPrivate {

struct ControlColors {
	rgb_color base;       // face of a control
	rgb_color text;
	rgb_color light;      // lit edge
	rgb_color shadow;     // shaded edge
	rgb_color frame;      // outline
	rgb_color focus;      // keyboard navigation
};

// The colours of a control drawn on `background`, greyed when disabled.
ControlColors control_colors(rgb_color background, bool enabled);

// A bevelled frame inside `rect`: outline, then lit top-left and shaded
// bottom-right edges (swapped when `sunken`). Returns the rectangle inside.
BRect draw_bevel(BView* view, BRect rect, const ControlColors& colors, bool sunken);

// The label's baseline for text vertically centred in `rect`.
float centred_baseline(BView* view, BRect rect);

// A dotted focus underline or rectangle, in the navigation colour.
void draw_focus_line(BView* view, float left, float right, float y, const ControlColors& colors);

// Side of the box of a check box or the circle of a radio button, from the
// view's font (odd, so that a mark has a centre pixel).
float mark_size(BView* view);

// The label at `x`, vertically centred in `rect`, underlined in the
// navigation colour when `focus`. Returns the right end of the text.
float draw_label(BView* view, const char* label, float x, BRect rect,
	const ControlColors& colors, bool focus);

// Width and height a label needs in the view's font.
void label_size(BView* view, const char* label, float* width, float* height);

}

#endif
