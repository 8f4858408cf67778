#include <gtest/gtest.h>

#include <InterfaceDefs.h>
#include <ViewDefs.h>
#include "display/KeyMap.h"

#include <SDL_scancode.h>

#include <string>

using namespace display;

namespace {

std::string bytes_of(uint32 scancode, uint32 modifiers, const char* text = nullptr,
	int32 keycode = 0)
{
	return translate_key(scancode, keycode, modifiers, text).bytes;
}

}

TEST(KeyMap, NumbersKeysAsTheBeOSKeyboardDoes)
{
	// One key from each row and block of the keyboard.
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_ESCAPE), 0x01);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_F1), 0x02);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_F12), 0x0d);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_4), 0x15);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_0), 0x1b);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_TAB), 0x26);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_I), 0x2e);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_A), 0x3c);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_G), 0x40);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_RETURN), 0x47);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_LSHIFT), 0x4b);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_N), 0x51);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_SLASH), 0x55);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_RSHIFT), 0x56);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_UP), 0x57);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_SPACE), 0x5e);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_LEFT), 0x61);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_KP_0), 0x64);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_LGUI), 0x66);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_NONUSBACKSLASH), 0x69);
	EXPECT_EQ(be_key_for_scancode(SDL_SCANCODE_F20), 0);

	// Every key the table knows has its own number (both hash keys of ISO
	// keyboards share the backslash position, as on BeOS).
	bool seen[128] = {};
	for (uint32 scancode = 0; scancode < SDL_NUM_SCANCODES; scancode++) {
		int32 key = be_key_for_scancode(scancode);
		if (key == 0 || scancode == SDL_SCANCODE_NONUSHASH)
			continue;
		ASSERT_LT(key, 128);
		EXPECT_FALSE(seen[key]) << "key 0x" << std::hex << key << " twice";
		seen[key] = true;
	}
}

TEST(KeyMap, SpecialKeysTypeTheirBeOSBytes)
{
	EXPECT_EQ(bytes_of(SDL_SCANCODE_RETURN, 0), "\x0a");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_ENTER, 0), "\x0a");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_ESCAPE, 0), "\x1b");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_BACKSPACE, 0), "\x08");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_DELETE, 0), "\x7f");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_LEFT, 0), "\x1c");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_DOWN, B_SHIFT_KEY), "\x1f");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_PAGEUP, 0), "\x0b");

	// Function keys: B_FUNCTION_KEY, the key code tells which.
	KeyChars f5 = translate_key(SDL_SCANCODE_F5, 0, 0, nullptr);
	EXPECT_EQ(std::string(f5.bytes), "\x10");
	EXPECT_EQ(f5.rawChar, B_FUNCTION_KEY);
	EXPECT_EQ(bytes_of(SDL_SCANCODE_PAUSE, 0), "\x10");

	// The keypad: digits with Num Lock, cursor keys without; 5 types nothing.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_7, B_NUM_LOCK), "7");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_7, 0), "\x01");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_0, 0), "\x05");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_5, 0), "");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_KP_PLUS, 0), "+");
}

TEST(KeyMap, CharactersFollowShiftCapsLockAndControl)
{
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, 0), "a");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, B_SHIFT_KEY | B_LEFT_SHIFT_KEY), "A");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, B_CAPS_LOCK), "A");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, B_CAPS_LOCK | B_SHIFT_KEY), "a");
	// Caps Lock leaves digits alone.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_4, B_CAPS_LOCK), "4");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_4, B_SHIFT_KEY), "$");
	// Control with a letter: the control character; with others: the key.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_G, B_CONTROL_KEY), "\x07");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_N, B_CONTROL_KEY, "n"), "\x0e");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_SLASH, B_CONTROL_KEY), "/");
	// Command (Alt) shortcuts carry the plain letter.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_Q, B_COMMAND_KEY), "q");

	// raw_char ignores the modifiers.
	EXPECT_EQ(translate_key(SDL_SCANCODE_A, 0, B_SHIFT_KEY, "A").rawChar, 'a');
	EXPECT_EQ(translate_key(SDL_SCANCODE_4, 0, B_SHIFT_KEY, "$").rawChar, '4');
}

TEST(KeyMap, TextAndLayoutWinOverTheUSFallback)
{
	// What the window system typed is what the key typed.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_E, B_OPTION_KEY, "\xc3\xa9"), "\xc3\xa9");
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, 0, "\xe3\x81\x82"), "\xe3\x81\x82");
	// Text longer than the field is cut at a character boundary.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_A, 0, "\xe3\x81\x82\xe3\x81\x84\xe3\x81\x86"),
		"\xe3\x81\x82\xe3\x81\x84");
	// A German keyboard: the key in the Y position is 'z'.
	KeyChars z = translate_key(SDL_SCANCODE_Y, 'z', B_SHIFT_KEY, nullptr);
	EXPECT_EQ(z.rawChar, 'z');
	EXPECT_EQ(std::string(z.bytes), "Z");
	// A layout character outside ASCII, without text: its UTF-8.
	EXPECT_EQ(bytes_of(SDL_SCANCODE_SEMICOLON, 0, nullptr, 0xf6), "\xc3\xb6");
}

TEST(KeyMap, ModifierStateTracksBothSidesAndLocks)
{
	ModifierState state;
	EXPECT_TRUE(state.Key(SDL_SCANCODE_LSHIFT, true));
	EXPECT_TRUE(state.Key(SDL_SCANCODE_RSHIFT, true));
	EXPECT_EQ(state.Get(), B_SHIFT_KEY | B_LEFT_SHIFT_KEY | B_RIGHT_SHIFT_KEY);
	// Shift stays down while the other Shift key is held.
	state.Key(SDL_SCANCODE_LSHIFT, false);
	EXPECT_EQ(state.Get(), B_SHIFT_KEY | B_RIGHT_SHIFT_KEY);
	state.Key(SDL_SCANCODE_RSHIFT, false);
	EXPECT_EQ(state.Get(), 0u);

	// Alt is Command, Super is Option; Shift, Command, Control and Option
	// together read as 0x47.
	state.Key(SDL_SCANCODE_LSHIFT, true);
	state.Key(SDL_SCANCODE_RALT, true);
	state.Key(SDL_SCANCODE_LCTRL, true);
	state.Key(SDL_SCANCODE_LGUI, true);
	EXPECT_EQ(state.Get() & 0xff, 0x47u);
	EXPECT_TRUE(state.Get() & B_RIGHT_COMMAND_KEY);
	EXPECT_TRUE(state.Get() & B_LEFT_OPTION_KEY);

	// Caps Lock toggles on the press only.
	ModifierState locks;
	locks.Key(SDL_SCANCODE_CAPSLOCK, true);
	EXPECT_FALSE(locks.Key(SDL_SCANCODE_CAPSLOCK, false));
	EXPECT_EQ(locks.Get(), B_CAPS_LOCK);
	locks.Key(SDL_SCANCODE_CAPSLOCK, true);
	EXPECT_EQ(locks.Get(), 0u);
	EXPECT_FALSE(locks.Key(SDL_SCANCODE_A, true));

	// A state read from the keyboard gets its general bits.
	locks.Set(B_RIGHT_CONTROL_KEY | B_NUM_LOCK);
	EXPECT_EQ(locks.Get(), B_CONTROL_KEY | B_RIGHT_CONTROL_KEY | B_NUM_LOCK);
}
