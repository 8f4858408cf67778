// Keyboard translation: from the physical key (a USB HID usage id, the
// numbering SDL's scancodes use) to the BeOS key code, the bytes the key
// types and the modifier state.
//
// BeOS key codes number the keys of a PC keyboard row by row:
//   Esc 0x01, F1-F12 0x02-0x0d, Print 0x0e, Scroll Lock 0x0f, Pause 0x10
//   ` 0x11, 1-9 0x12-0x1a, 0 0x1b, - 0x1c, = 0x1d, Backspace 0x1e,
//     Insert 0x1f, Home 0x20, Page Up 0x21, Num Lock 0x22,
//     keypad / 0x23, * 0x24, - 0x25
//   Tab 0x26, Q-P 0x27-0x30, [ 0x31, ] 0x32, \ 0x33, Delete 0x34, End 0x35,
//     Page Down 0x36, keypad 7 0x37, 8 0x38, 9 0x39, + 0x3a
//   Caps Lock 0x3b, A-L 0x3c-0x44, ; 0x45, ' 0x46, Enter 0x47,
//     keypad 4 0x48, 5 0x49, 6 0x4a
//   left Shift 0x4b, Z-M 0x4c-0x52, , 0x53, . 0x54, / 0x55,
//     right Shift 0x56, Up 0x57, keypad 1 0x58, 2 0x59, 3 0x5a, Enter 0x5b
//   left Control 0x5c, left Alt (Command) 0x5d, Space 0x5e,
//     right Alt (Command) 0x5f, right Control 0x60, Left 0x61, Down 0x62,
//     Right 0x63, keypad 0 0x64, keypad . 0x65, left Super (Option) 0x66,
//     right Super (Option) 0x67, Menu 0x68
//   the extra key of European keyboards (< >) 0x69, keypad = 0x6a,
//   Power 0x6b, SysRq 0x7e, Break 0x7f.
#ifndef DISPLAY_KEY_MAP_H
#define DISPLAY_KEY_MAP_H

#include <SupportDefs.h>

namespace display {

// The BeOS key code of a key, 0 for a key BeOS has no number for.
int32 be_key_for_scancode(uint32 scancode);

// The modifier bits a modifier key holds down (the general bit and the
// left or right one), or a lock key toggles; 0 for other keys.
uint32 modifier_bits_for_scancode(uint32 scancode);
bool is_lock_scancode(uint32 scancode);

// The modifier keys as the key presses and releases leave them.
class ModifierState {
public:
	// Returns true when the state changed.
	bool Key(uint32 scancode, bool down);
	uint32 Get() const { return fState; }
	// Takes over a state read from the keyboard (after a focus change,
	// when presses may have gone to other programs).
	void Set(uint32 state);

private:
	static uint32 WithGeneralBits(uint32 state);

	uint32 fState = 0;
};

// What a key types. `keycode` is the key's unshifted character in the
// current layout (0: assume a US layout); `text` what the window system
// typed for it (may be null). Special keys give their BeOS byte
// (B_LEFT_ARROW, ...), function keys B_FUNCTION_KEY, Control with a letter
// the control character; a key that types nothing leaves `bytes` empty.
// `rawChar` is the character without modifiers.
struct KeyChars {
	int32 rawChar = 0;
	char bytes[8] = {};
};
KeyChars translate_key(uint32 scancode, int32 keycode, uint32 modifiers,
	const char* text);

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray
// continuation byte, so that a walk always advances).
int32 utf8_char_length(uint8 lead);

}

#endif
