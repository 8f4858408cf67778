#include "display/KeyMap.h"

#include <InterfaceDefs.h>
#include <ViewDefs.h>

#include <SDL_scancode.h>

#include <string.h>

namespace display {

namespace {

struct KeyCode {
	uint32 scancode;
	int32 key;
};

// The BeOS key number of each key, row by row (see KeyMap.h).
const KeyCode kKeyCodes[] = {
	{ SDL_SCANCODE_ESCAPE, 0x01 },
	{ SDL_SCANCODE_F1, 0x02 }, { SDL_SCANCODE_F2, 0x03 }, { SDL_SCANCODE_F3, 0x04 },
	{ SDL_SCANCODE_F4, 0x05 }, { SDL_SCANCODE_F5, 0x06 }, { SDL_SCANCODE_F6, 0x07 },
	{ SDL_SCANCODE_F7, 0x08 }, { SDL_SCANCODE_F8, 0x09 }, { SDL_SCANCODE_F9, 0x0a },
	{ SDL_SCANCODE_F10, 0x0b }, { SDL_SCANCODE_F11, 0x0c }, { SDL_SCANCODE_F12, 0x0d },
	{ SDL_SCANCODE_PRINTSCREEN, 0x0e }, { SDL_SCANCODE_SCROLLLOCK, 0x0f },
	{ SDL_SCANCODE_PAUSE, 0x10 },

	{ SDL_SCANCODE_GRAVE, 0x11 },
	{ SDL_SCANCODE_1, 0x12 }, { SDL_SCANCODE_2, 0x13 }, { SDL_SCANCODE_3, 0x14 },
	{ SDL_SCANCODE_4, 0x15 }, { SDL_SCANCODE_5, 0x16 }, { SDL_SCANCODE_6, 0x17 },
	{ SDL_SCANCODE_7, 0x18 }, { SDL_SCANCODE_8, 0x19 }, { SDL_SCANCODE_9, 0x1a },
	{ SDL_SCANCODE_0, 0x1b }, { SDL_SCANCODE_MINUS, 0x1c }, { SDL_SCANCODE_EQUALS, 0x1d },
	{ SDL_SCANCODE_BACKSPACE, 0x1e }, { SDL_SCANCODE_INSERT, 0x1f },
	{ SDL_SCANCODE_HOME, 0x20 }, { SDL_SCANCODE_PAGEUP, 0x21 },
	{ SDL_SCANCODE_NUMLOCKCLEAR, 0x22 }, { SDL_SCANCODE_KP_DIVIDE, 0x23 },
	{ SDL_SCANCODE_KP_MULTIPLY, 0x24 }, { SDL_SCANCODE_KP_MINUS, 0x25 },

	{ SDL_SCANCODE_TAB, 0x26 },
	{ SDL_SCANCODE_Q, 0x27 }, { SDL_SCANCODE_W, 0x28 }, { SDL_SCANCODE_E, 0x29 },
	{ SDL_SCANCODE_R, 0x2a }, { SDL_SCANCODE_T, 0x2b }, { SDL_SCANCODE_Y, 0x2c },
	{ SDL_SCANCODE_U, 0x2d }, { SDL_SCANCODE_I, 0x2e }, { SDL_SCANCODE_O, 0x2f },
	{ SDL_SCANCODE_P, 0x30 }, { SDL_SCANCODE_LEFTBRACKET, 0x31 },
	{ SDL_SCANCODE_RIGHTBRACKET, 0x32 }, { SDL_SCANCODE_BACKSLASH, 0x33 },
	{ SDL_SCANCODE_NONUSHASH, 0x33 },
	{ SDL_SCANCODE_DELETE, 0x34 }, { SDL_SCANCODE_END, 0x35 },
	{ SDL_SCANCODE_PAGEDOWN, 0x36 }, { SDL_SCANCODE_KP_7, 0x37 },
	{ SDL_SCANCODE_KP_8, 0x38 }, { SDL_SCANCODE_KP_9, 0x39 }, { SDL_SCANCODE_KP_PLUS, 0x3a },

	{ SDL_SCANCODE_CAPSLOCK, 0x3b },
	{ SDL_SCANCODE_A, 0x3c }, { SDL_SCANCODE_S, 0x3d }, { SDL_SCANCODE_D, 0x3e },
	{ SDL_SCANCODE_F, 0x3f }, { SDL_SCANCODE_G, 0x40 }, { SDL_SCANCODE_H, 0x41 },
	{ SDL_SCANCODE_J, 0x42 }, { SDL_SCANCODE_K, 0x43 }, { SDL_SCANCODE_L, 0x44 },
	{ SDL_SCANCODE_SEMICOLON, 0x45 }, { SDL_SCANCODE_APOSTROPHE, 0x46 },
	{ SDL_SCANCODE_RETURN, 0x47 }, { SDL_SCANCODE_KP_4, 0x48 },
	{ SDL_SCANCODE_KP_5, 0x49 }, { SDL_SCANCODE_KP_6, 0x4a },

	{ SDL_SCANCODE_LSHIFT, 0x4b },
	{ SDL_SCANCODE_Z, 0x4c }, { SDL_SCANCODE_X, 0x4d }, { SDL_SCANCODE_C, 0x4e },
	{ SDL_SCANCODE_V, 0x4f }, { SDL_SCANCODE_B, 0x50 }, { SDL_SCANCODE_N, 0x51 },
	{ SDL_SCANCODE_M, 0x52 }, { SDL_SCANCODE_COMMA, 0x53 }, { SDL_SCANCODE_PERIOD, 0x54 },
	{ SDL_SCANCODE_SLASH, 0x55 }, { SDL_SCANCODE_RSHIFT, 0x56 },
	{ SDL_SCANCODE_UP, 0x57 }, { SDL_SCANCODE_KP_1, 0x58 }, { SDL_SCANCODE_KP_2, 0x59 },
	{ SDL_SCANCODE_KP_3, 0x5a }, { SDL_SCANCODE_KP_ENTER, 0x5b },

	{ SDL_SCANCODE_LCTRL, 0x5c }, { SDL_SCANCODE_LALT, 0x5d },
	{ SDL_SCANCODE_SPACE, 0x5e }, { SDL_SCANCODE_RALT, 0x5f },
	{ SDL_SCANCODE_RCTRL, 0x60 }, { SDL_SCANCODE_LEFT, 0x61 },
	{ SDL_SCANCODE_DOWN, 0x62 }, { SDL_SCANCODE_RIGHT, 0x63 },
	{ SDL_SCANCODE_KP_0, 0x64 }, { SDL_SCANCODE_KP_PERIOD, 0x65 },
	{ SDL_SCANCODE_LGUI, 0x66 }, { SDL_SCANCODE_RGUI, 0x67 },
	{ SDL_SCANCODE_APPLICATION, 0x68 },

	{ SDL_SCANCODE_NONUSBACKSLASH, 0x69 }, { SDL_SCANCODE_KP_EQUALS, 0x6a },
	{ SDL_SCANCODE_POWER, 0x6b }, { SDL_SCANCODE_SYSREQ, 0x7e },
};

struct UsChar {
	uint32 scancode;
	char plain;
	char shifted;
};

// What the keys type on a US keyboard, for input that arrives without text
// (Control and Command combinations, injected keys).
const UsChar kUsChars[] = {
	{ SDL_SCANCODE_1, '1', '!' }, { SDL_SCANCODE_2, '2', '@' }, { SDL_SCANCODE_3, '3', '#' },
	{ SDL_SCANCODE_4, '4', '$' }, { SDL_SCANCODE_5, '5', '%' }, { SDL_SCANCODE_6, '6', '^' },
	{ SDL_SCANCODE_7, '7', '&' }, { SDL_SCANCODE_8, '8', '*' }, { SDL_SCANCODE_9, '9', '(' },
	{ SDL_SCANCODE_0, '0', ')' }, { SDL_SCANCODE_MINUS, '-', '_' },
	{ SDL_SCANCODE_EQUALS, '=', '+' }, { SDL_SCANCODE_LEFTBRACKET, '[', '{' },
	{ SDL_SCANCODE_RIGHTBRACKET, ']', '}' }, { SDL_SCANCODE_BACKSLASH, '\\', '|' },
	{ SDL_SCANCODE_NONUSHASH, '\\', '|' }, { SDL_SCANCODE_SEMICOLON, ';', ':' },
	{ SDL_SCANCODE_APOSTROPHE, '\'', '"' }, { SDL_SCANCODE_GRAVE, '`', '~' },
	{ SDL_SCANCODE_COMMA, ',', '<' }, { SDL_SCANCODE_PERIOD, '.', '>' },
	{ SDL_SCANCODE_SLASH, '/', '?' }, { SDL_SCANCODE_NONUSBACKSLASH, '<', '>' },
	{ SDL_SCANCODE_SPACE, ' ', ' ' },
	{ SDL_SCANCODE_KP_DIVIDE, '/', '/' }, { SDL_SCANCODE_KP_MULTIPLY, '*', '*' },
	{ SDL_SCANCODE_KP_MINUS, '-', '-' }, { SDL_SCANCODE_KP_PLUS, '+', '+' },
	{ SDL_SCANCODE_KP_EQUALS, '=', '=' },
};

int32 us_char(uint32 scancode, bool shifted)
{
	if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
		return (shifted ? 'A' : 'a') + (int32)(scancode - SDL_SCANCODE_A);
	for (const UsChar& entry : kUsChars) {
		if (entry.scancode == scancode)
			return shifted ? entry.shifted : entry.plain;
	}
	return 0;
}

// The keypad types digits with Num Lock on and moves the cursor without.
int32 keypad_char(uint32 scancode, bool numLock)
{
	struct Pad { uint32 scancode; char digit; uint8 navigation; };
	static const Pad kPad[] = {
		{ SDL_SCANCODE_KP_0, '0', B_INSERT }, { SDL_SCANCODE_KP_1, '1', B_END },
		{ SDL_SCANCODE_KP_2, '2', B_DOWN_ARROW }, { SDL_SCANCODE_KP_3, '3', B_PAGE_DOWN },
		{ SDL_SCANCODE_KP_4, '4', B_LEFT_ARROW }, { SDL_SCANCODE_KP_5, '5', 0 },
		{ SDL_SCANCODE_KP_6, '6', B_RIGHT_ARROW }, { SDL_SCANCODE_KP_7, '7', B_HOME },
		{ SDL_SCANCODE_KP_8, '8', B_UP_ARROW }, { SDL_SCANCODE_KP_9, '9', B_PAGE_UP },
		{ SDL_SCANCODE_KP_PERIOD, '.', B_DELETE },
	};
	for (const Pad& pad : kPad) {
		if (pad.scancode == scancode)
			return numLock ? pad.digit : pad.navigation;
	}
	return -1;
}

// The byte of a key that types a control code rather than a character.
int32 special_byte(uint32 scancode)
{
	switch (scancode) {
		case SDL_SCANCODE_RETURN:
		case SDL_SCANCODE_KP_ENTER:    return B_ENTER;
		case SDL_SCANCODE_ESCAPE:      return B_ESCAPE;
		case SDL_SCANCODE_BACKSPACE:   return B_BACKSPACE;
		case SDL_SCANCODE_TAB:         return B_TAB;
		case SDL_SCANCODE_INSERT:      return B_INSERT;
		case SDL_SCANCODE_DELETE:      return B_DELETE;
		case SDL_SCANCODE_HOME:        return B_HOME;
		case SDL_SCANCODE_END:         return B_END;
		case SDL_SCANCODE_PAGEUP:      return B_PAGE_UP;
		case SDL_SCANCODE_PAGEDOWN:    return B_PAGE_DOWN;
		case SDL_SCANCODE_LEFT:        return B_LEFT_ARROW;
		case SDL_SCANCODE_RIGHT:       return B_RIGHT_ARROW;
		case SDL_SCANCODE_UP:          return B_UP_ARROW;
		case SDL_SCANCODE_DOWN:        return B_DOWN_ARROW;
		case SDL_SCANCODE_PRINTSCREEN:
		case SDL_SCANCODE_PAUSE:       return B_FUNCTION_KEY;
		default: break;
	}
	if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
		return B_FUNCTION_KEY;
	return 0;
}

void put_utf8(uint32 codePoint, char* out)
{
	if (codePoint < 0x80) {
		out[0] = (char)codePoint;
	} else if (codePoint < 0x800) {
		out[0] = (char)(0xc0 | (codePoint >> 6));
		out[1] = (char)(0x80 | (codePoint & 0x3f));
	} else if (codePoint < 0x10000) {
		out[0] = (char)(0xe0 | (codePoint >> 12));
		out[1] = (char)(0x80 | ((codePoint >> 6) & 0x3f));
		out[2] = (char)(0x80 | (codePoint & 0x3f));
	} else if (codePoint < 0x110000) {
		out[0] = (char)(0xf0 | (codePoint >> 18));
		out[1] = (char)(0x80 | ((codePoint >> 12) & 0x3f));
		out[2] = (char)(0x80 | ((codePoint >> 6) & 0x3f));
		out[3] = (char)(0x80 | (codePoint & 0x3f));
	}
}

// Copies whole UTF-8 characters of `text` that fit into `out` (7 bytes
// and the terminator).
void copy_text(const char* text, char* out)
{
	int32 length = 0;
	while (text[length] != '\0') {
		int32 next = utf8_char_length((uint8)text[length]);
		if (length + next > 7)
			break;
		for (int32 i = 0; i < next; i++) {
			if (text[length + i] == '\0')
				return;
			out[length + i] = text[length + i];
		}
		length += next;
	}
}

}

int32 utf8_char_length(uint8 lead)
{
	if (lead >= 0xf0 && lead < 0xf8)
		return 4;
	if (lead >= 0xe0)
		return lead < 0xf0 ? 3 : 1;
	if (lead >= 0xc0)
		return 2;
	return 1;
}

int32 be_key_for_scancode(uint32 scancode)
{
	for (const KeyCode& entry : kKeyCodes) {
		if (entry.scancode == scancode)
			return entry.key;
	}
	return 0;
}

uint32 modifier_bits_for_scancode(uint32 scancode)
{
	switch (scancode) {
		case SDL_SCANCODE_LSHIFT: return B_SHIFT_KEY | B_LEFT_SHIFT_KEY;
		case SDL_SCANCODE_RSHIFT: return B_SHIFT_KEY | B_RIGHT_SHIFT_KEY;
		case SDL_SCANCODE_LCTRL:  return B_CONTROL_KEY | B_LEFT_CONTROL_KEY;
		case SDL_SCANCODE_RCTRL:  return B_CONTROL_KEY | B_RIGHT_CONTROL_KEY;
		case SDL_SCANCODE_LALT:   return B_COMMAND_KEY | B_LEFT_COMMAND_KEY;
		case SDL_SCANCODE_RALT:   return B_COMMAND_KEY | B_RIGHT_COMMAND_KEY;
		case SDL_SCANCODE_LGUI:   return B_OPTION_KEY | B_LEFT_OPTION_KEY;
		case SDL_SCANCODE_RGUI:   return B_OPTION_KEY | B_RIGHT_OPTION_KEY;
		case SDL_SCANCODE_APPLICATION: return B_MENU_KEY;
		case SDL_SCANCODE_CAPSLOCK:     return B_CAPS_LOCK;
		case SDL_SCANCODE_NUMLOCKCLEAR: return B_NUM_LOCK;
		case SDL_SCANCODE_SCROLLLOCK:   return B_SCROLL_LOCK;
		default: return 0;
	}
}

bool is_lock_scancode(uint32 scancode)
{
	return scancode == SDL_SCANCODE_CAPSLOCK || scancode == SDL_SCANCODE_NUMLOCKCLEAR
		|| scancode == SDL_SCANCODE_SCROLLLOCK;
}

uint32 ModifierState::WithGeneralBits(uint32 state)
{
	// The general bit of a modifier is held while either of its keys is.
	const uint32 pairs[][2] = {
		{ B_SHIFT_KEY, B_LEFT_SHIFT_KEY | B_RIGHT_SHIFT_KEY },
		{ B_COMMAND_KEY, B_LEFT_COMMAND_KEY | B_RIGHT_COMMAND_KEY },
		{ B_CONTROL_KEY, B_LEFT_CONTROL_KEY | B_RIGHT_CONTROL_KEY },
		{ B_OPTION_KEY, B_LEFT_OPTION_KEY | B_RIGHT_OPTION_KEY },
	};
	for (const auto& pair : pairs) {
		if (state & pair[1])
			state |= pair[0];
		else
			state &= ~pair[0];
	}
	return state;
}

bool ModifierState::Key(uint32 scancode, bool down)
{
	uint32 bits = modifier_bits_for_scancode(scancode);
	if (bits == 0)
		return false;
	uint32 state = fState;
	if (is_lock_scancode(scancode)) {
		// A lock key toggles on the press; the release changes nothing.
		if (down)
			state ^= bits;
	} else {
		// Only the side bit is kept; the general bit follows from both sides.
		uint32 side = bits & ~(B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY
			| B_OPTION_KEY);
		if (side == 0)
			side = bits;
		state = down ? (state | side) : (state & ~side);
		state = WithGeneralBits(state);
	}
	bool changed = state != fState;
	fState = state;
	return changed;
}

void ModifierState::Set(uint32 state)
{
	fState = WithGeneralBits(state);
}

KeyChars translate_key(uint32 scancode, int32 keycode, uint32 modifiers,
	const char* text)
{
	KeyChars chars;

	int32 special = special_byte(scancode);
	int32 pad = keypad_char(scancode, (modifiers & B_NUM_LOCK) != 0);
	if (pad == 0)
		return chars;   // keypad 5 without Num Lock types nothing
	if (pad > 0 && (pad < 0x20 || pad == B_DELETE))
		special = pad;  // the keypad as cursor keys
	if (special != 0) {
		chars.rawChar = special;
		chars.bytes[0] = (char)special;
		return chars;
	}
	if (pad > 0) {
		chars.rawChar = pad;
		chars.bytes[0] = (char)pad;
		return chars;
	}

	if (keycode >= 0x20 && keycode < 0x7f)
		chars.rawChar = keycode;
	else
		chars.rawChar = us_char(scancode, false);

	bool letter = chars.rawChar >= 'a' && chars.rawChar <= 'z';
	if ((modifiers & B_CONTROL_KEY) != 0 && letter) {
		// Control with a letter types the control character, as the BeOS
		// key map's control table does (Control-G is 0x07).
		chars.bytes[0] = (char)(chars.rawChar & 0x1f);
		return chars;
	}
	if (text != nullptr && text[0] != '\0') {
		copy_text(text, chars.bytes);
		return chars;
	}

	// No text came with the key: work it out.
	bool shifted = (modifiers & B_SHIFT_KEY) != 0;
	if (letter && (modifiers & B_CAPS_LOCK) != 0)
		shifted = !shifted;
	if (keycode <= 0) {
		int32 typed = us_char(scancode, shifted);
		if (typed != 0)
			chars.bytes[0] = (char)typed;
	} else if (letter) {
		chars.bytes[0] = (char)(shifted ? chars.rawChar - 'a' + 'A' : chars.rawChar);
	} else if (shifted && keycode == us_char(scancode, false)) {
		// The layout agrees with a US keyboard on this key.
		chars.bytes[0] = (char)us_char(scancode, true);
	} else if (keycode >= 0x20 && keycode != 0x7f && keycode < 0x110000) {
		put_utf8((uint32)keycode, chars.bytes);
	}
	return chars;
}

}
