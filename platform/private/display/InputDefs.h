// The BeOS input constants the display server needs: modifier bits, mouse
// buttons, the byte values of special keys and the function-key codes.
// The values are BeOS's own; the public Interface Kit headers define the
// same constants under their BeOS names, and the display tests check that
// both agree.
#ifndef DISPLAY_INPUT_DEFS_H
#define DISPLAY_INPUT_DEFS_H

#include <SupportDefs.h>

namespace display {
namespace be {

// Modifier bits (the "modifiers" field, modifiers()).
enum : uint32 {
	kShiftKey        = 0x00000001,
	kCommandKey      = 0x00000002,   // Alt
	kControlKey      = 0x00000004,
	kCapsLock        = 0x00000008,
	kScrollLock      = 0x00000010,
	kNumLock         = 0x00000020,
	kOptionKey       = 0x00000040,   // Super (the Windows key)
	kMenuKey         = 0x00000080,
	kLeftShiftKey    = 0x00000100,
	kRightShiftKey   = 0x00000200,
	kLeftCommandKey  = 0x00000400,
	kRightCommandKey = 0x00000800,
	kLeftControlKey  = 0x00001000,
	kRightControlKey = 0x00002000,
	kLeftOptionKey   = 0x00004000,
	kRightOptionKey  = 0x00008000
};

// Mouse buttons (the "buttons" field).
enum : uint32 {
	kPrimaryButton   = 1,
	kSecondaryButton = 2,
	kTertiaryButton  = 4
};

// Bytes that special keys produce.
enum : uint8 {
	kHome        = 0x01,
	kEnd         = 0x04,
	kInsert      = 0x05,
	kBackspace   = 0x08,
	kTab         = 0x09,
	kEnter       = 0x0a,   // also B_RETURN
	kPageUp      = 0x0b,
	kPageDown    = 0x0c,
	kFunctionKey = 0x10,
	kEscape      = 0x1b,
	kLeftArrow   = 0x1c,
	kRightArrow  = 0x1d,
	kUpArrow     = 0x1e,
	kDownArrow   = 0x1f,
	kSpace       = 0x20,
	kDelete      = 0x7f
};

// Key codes of the keys that produce B_FUNCTION_KEY.
enum : int32 {
	kF1Key     = 0x02,   // F1 to F12 are 0x02 to 0x0d
	kF12Key    = 0x0d,
	kPrintKey  = 0x0e,
	kScrollKey = 0x0f,
	kPauseKey  = 0x10
};

}
}

#endif
