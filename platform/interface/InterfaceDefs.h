// Keyboard, alignment, border, orientation and user-interface colour
// definitions of the Interface Kit.
//
// Everything here is a value; ui_color() returns colours by value too.
// The resizing modes and view flags live in ViewDefs.h, which View.h includes.
#ifndef _INTERFACE_DEFS_H
#define _INTERFACE_DEFS_H

#include <GraphicsDefs.h>
#include <SupportDefs.h>

// Characters of B_KEY_DOWN "byte"/"raw_char" for the keys that do not type
// a printable character.
enum {
	B_BACKSPACE    = 0x08,
	B_RETURN       = 0x0a,
	B_ENTER        = 0x0a,
	B_SPACE        = 0x20,
	B_TAB          = 0x09,
	B_ESCAPE       = 0x1b,
	B_SUBSTITUTE   = 0x1a,

	B_LEFT_ARROW   = 0x1c,
	B_RIGHT_ARROW  = 0x1d,
	B_UP_ARROW     = 0x1e,
	B_DOWN_ARROW   = 0x1f,

	B_INSERT       = 0x05,
	B_DELETE       = 0x7f,
	B_HOME         = 0x01,
	B_END          = 0x04,
	B_PAGE_UP      = 0x0b,
	B_PAGE_DOWN    = 0x0c,

	// The character of every function key; the "key" field tells which.
	B_FUNCTION_KEY = 0x10
};

// Key codes ("key" field) of the keys that share B_FUNCTION_KEY.
enum {
	B_F1_KEY     = 0x02,
	B_F2_KEY     = 0x03,
	B_F3_KEY     = 0x04,
	B_F4_KEY     = 0x05,
	B_F5_KEY     = 0x06,
	B_F6_KEY     = 0x07,
	B_F7_KEY     = 0x08,
	B_F8_KEY     = 0x09,
	B_F9_KEY     = 0x0a,
	B_F10_KEY    = 0x0b,
	B_F11_KEY    = 0x0c,
	B_F12_KEY    = 0x0d,
	B_PRINT_KEY  = 0x0e,
	B_SCROLL_KEY = 0x0f,
	B_PAUSE_KEY  = 0x10
};

// Modifier bits ("modifiers" field and modifiers()). On a PC keyboard
// B_COMMAND_KEY is Alt, B_CONTROL_KEY is Ctrl, B_OPTION_KEY is the Super
// (Windows) key and B_MENU_KEY the context-menu key.
enum {
	B_SHIFT_KEY         = 0x00000001,
	B_COMMAND_KEY       = 0x00000002,
	B_CONTROL_KEY       = 0x00000004,
	B_CAPS_LOCK         = 0x00000008,
	B_SCROLL_LOCK       = 0x00000010,
	B_NUM_LOCK          = 0x00000020,
	B_OPTION_KEY        = 0x00000040,
	B_MENU_KEY          = 0x00000080,
	B_LEFT_SHIFT_KEY    = 0x00000100,
	B_RIGHT_SHIFT_KEY   = 0x00000200,
	B_LEFT_COMMAND_KEY  = 0x00000400,
	B_RIGHT_COMMAND_KEY = 0x00000800,
	B_LEFT_CONTROL_KEY  = 0x00001000,
	B_RIGHT_CONTROL_KEY = 0x00002000,
	B_LEFT_OPTION_KEY   = 0x00004000,
	B_RIGHT_OPTION_KEY  = 0x00008000
};

// The modifier keys held right now (the bits above). Zero while no display
// is connected.
uint32 modifiers();

// A few UTF-8 characters that interfaces often need.
#define B_UTF8_ELLIPSIS     "\xE2\x80\xA6"
#define B_UTF8_OPEN_QUOTE   "\xE2\x80\x9C"
#define B_UTF8_CLOSE_QUOTE  "\xE2\x80\x9D"
#define B_UTF8_COPYRIGHT    "\xC2\xA9"
#define B_UTF8_REGISTERED   "\xC2\xAE"
#define B_UTF8_TRADEMARK    "\xE2\x84\xA2"
#define B_UTF8_SMILING_FACE "\xE2\x98\xBB"
#define B_UTF8_HIROSHI      "\xE5\xBC\x98"

enum border_style {
	B_PLAIN_BORDER,
	B_FANCY_BORDER,
	B_NO_BORDER
};

enum orientation {
	B_HORIZONTAL,
	B_VERTICAL
};

enum alignment {
	B_ALIGN_LEFT,
	B_ALIGN_RIGHT,
	B_ALIGN_CENTER
};

// Line ends and corners of strokes thicker than one pixel.
enum join_mode {
	B_ROUND_JOIN = 0,
	B_MITER_JOIN,
	B_BEVEL_JOIN,
	B_BUTT_JOIN,
	B_SQUARE_JOIN
};

enum cap_mode {
	B_ROUND_CAP  = B_ROUND_JOIN,
	B_BUTT_CAP   = B_BUTT_JOIN,
	B_SQUARE_CAP = B_SQUARE_JOIN
};

const float B_DEFAULT_MITER_LIMIT = 10.0f;

// User-interface colours.
enum color_which {
	B_PANEL_BACKGROUND_COLOR          = 1,
	B_MENU_BACKGROUND_COLOR           = 2,
	B_WINDOW_TAB_COLOR                = 3,
	B_KEYBOARD_NAVIGATION_COLOR       = 4,
	B_NAVIGATION_BASE_COLOR           = 4,
	B_DESKTOP_COLOR                   = 5,
	B_MENU_SELECTION_BACKGROUND_COLOR = 6,
	B_MENU_ITEM_TEXT_COLOR            = 7,
	B_MENU_SELECTED_ITEM_TEXT_COLOR   = 8,
	B_MENU_SELECTED_BORDER_COLOR      = 9,
	B_PANEL_TEXT_COLOR                = 10,
	B_DOCUMENT_BACKGROUND_COLOR       = 11,
	B_DOCUMENT_TEXT_COLOR             = 12,
	B_CONTROL_BACKGROUND_COLOR        = 13,
	B_CONTROL_TEXT_COLOR              = 14,
	B_CONTROL_BORDER_COLOR            = 15,
	B_CONTROL_HIGHLIGHT_COLOR         = 16,
	B_NAVIGATION_PULSE_COLOR          = 17,
	B_SHINE_COLOR                     = 18,
	B_SHADOW_COLOR                    = 19,
	B_TOOLTIP_BACKGROUND_COLOR        = 20,
	B_TOOLTIP_TEXT_COLOR              = 21,
	B_WINDOW_TEXT_COLOR               = 22,
	B_WINDOW_INACTIVE_TAB_COLOR       = 23,
	B_WINDOW_INACTIVE_TEXT_COLOR      = 24,
	B_SUCCESS_COLOR                   = 100,
	B_FAILURE_COLOR                   = 101
};

// The colour for a part of the interface; an unknown part gives the panel
// background colour.
rgb_color ui_color(color_which which);

// Lightens (tint < 1) or darkens (tint > 1) a colour; B_NO_TINT leaves it,
// B_LIGHTEN_MAX_TINT gives white and B_DARKEN_MAX_TINT black. Alpha is kept.
rgb_color tint_color(rgb_color color, float tint);

extern const float B_LIGHTEN_MAX_TINT;
extern const float B_LIGHTEN_2_TINT;
extern const float B_LIGHTEN_1_TINT;
extern const float B_NO_TINT;
extern const float B_DARKEN_1_TINT;
extern const float B_DARKEN_2_TINT;
extern const float B_DARKEN_3_TINT;
extern const float B_DARKEN_4_TINT;
extern const float B_DARKEN_MAX_TINT;
extern const float B_DISABLED_LABEL_TINT;
extern const float B_HIGHLIGHT_BACKGROUND_TINT;
extern const float B_DISABLED_MARK_TINT;

#endif
