// Resizing modes, view flags, mouse buttons and event masks of BView.
//
// Kept apart from View.h so that code which only needs the constants (the
// window, archives, the display backend) does not pull in the whole class.
// View.h includes this header; nothing here owns anything.
#ifndef _VIEW_DEFS_H
#define _VIEW_DEFS_H

#include <SupportDefs.h>

// A resizing mode packs one rule per edge, four bits each:
// top << 12 | left << 8 | bottom << 4 | right. A rule says which edge of the
// parent that edge of the view keeps its distance to. The values are stored
// in archived views and must not change.
enum {
	_VIEW_TOP_    = 1,
	_VIEW_LEFT_   = 2,
	_VIEW_BOTTOM_ = 3,
	_VIEW_RIGHT_  = 4,
	_VIEW_CENTER_ = 5
};

inline constexpr uint32 _rule_(uint32 top, uint32 left, uint32 bottom, uint32 right)
{
	return (top << 12) | (left << 8) | (bottom << 4) | right;
}

#define B_FOLLOW_NONE        0
#define B_FOLLOW_ALL_SIDES   _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_)
#define B_FOLLOW_ALL         B_FOLLOW_ALL_SIDES

#define B_FOLLOW_LEFT        _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_)
#define B_FOLLOW_RIGHT       _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_LEFT_RIGHT  _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_H_CENTER    _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_)

#define B_FOLLOW_TOP         _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0)
#define B_FOLLOW_BOTTOM      _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_TOP_BOTTOM  _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_V_CENTER    _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0)

// View flags; they use only the high bits, so that a flags word never
// collides with a resizing mode.
enum {
	B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
	_B_RESERVED1_           = 0x40000000UL,
	B_WILL_DRAW             = 0x20000000UL,
	B_PULSE_NEEDED          = 0x10000000UL,
	B_NAVIGABLE_JUMP        = 0x08000000UL,
	B_FRAME_EVENTS          = 0x04000000UL,
	B_NAVIGABLE             = 0x02000000UL,
	B_SUBPIXEL_PRECISE      = 0x01000000UL,
	B_DRAW_ON_CHILDREN      = 0x00800000UL,
	B_INPUT_METHOD_AWARE    = 0x00400000UL
};

// Mouse buttons ("buttons" field of mouse messages, GetMouse()).
enum {
	B_PRIMARY_MOUSE_BUTTON   = 0x01,
	B_SECONDARY_MOUSE_BUTTON = 0x02,
	B_TERTIARY_MOUSE_BUTTON  = 0x04
};

// The transit argument of MouseMoved().
enum {
	B_ENTERED_VIEW = 0,
	B_INSIDE_VIEW,
	B_EXITED_VIEW,
	B_OUTSIDE_VIEW
};

// SetEventMask() / SetMouseEventMask().
enum {
	B_POINTER_EVENTS  = 0x00000001,
	B_KEYBOARD_EVENTS = 0x00000002
};

enum {
	B_LOCK_WINDOW_FOCUS     = 0x00000001,
	B_SUSPEND_VIEW_FOCUS    = 0x00000002,
	B_NO_POINTER_HISTORY    = 0x00000004
};

// DrawBitmap() options (the display may ignore the ones it cannot do).
enum {
	B_FILTER_BITMAP_BILINEAR = 0x00000100
};

#endif
