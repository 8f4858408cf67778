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

}

#endif
