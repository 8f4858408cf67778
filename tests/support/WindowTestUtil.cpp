#include "WindowTestUtil.h"

#include <OS.h>

#include <string.h>

#include <gtest/gtest.h>


namespace windowtest {

Pixels::Pixels(BWindow* window)
{
	EXPECT_EQ(BPrivate::WindowAccess::Settle(window), B_OK);
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	EXPECT_EQ(display::DisplayServer::Get()->ReadContents(id, &fPixels, &fWidth, &fHeight),
		B_OK);
}

uint32 Pixels::At(int32 x, int32 y) const
{
	if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
		return 0xdeadbeef;
	return fPixels[(size_t)y * fWidth + x] & 0xffffff;
}

int32 Pixels::Count(uint32 rgb, int32 left, int32 top, int32 right, int32 bottom) const
{
	int32 count = 0;
	for (int32 y = top; y <= bottom; y++)
		for (int32 x = left; x <= right; x++)
			count += At(x, y) == rgb;
	return count;
}

bool Pixels::RowHasInk(int32 y, uint32 background) const
{
	for (int32 x = 0; x < fWidth; x++) {
		if (At(x, y) != background)
			return true;
	}
	return false;
}

void quit(BWindow* window)
{
	if (window->Lock())
		window->Quit();
}

}

namespace windowtest {

static display::window_id native(BWindow* window)
{
	return BPrivate::WindowAccess::NativeWindow(window);
}

void settle(BWindow* window)
{
	EXPECT_EQ(BPrivate::WindowAccess::Settle(window), B_OK);
}

void mouse_move(BWindow* window, int32 x, int32 y)
{
	display::DisplayServer::Get()->InjectMouseMove(native(window), x, y,
		display::display_clock());
	settle(window);
}

void mouse_button(BWindow* window, int32 x, int32 y, bool down, uint32 button)
{
	display::DisplayServer::Get()->InjectMouseButton(native(window), x, y, button,
		down, display::display_clock());
	settle(window);
}

void click(BWindow* window, int32 x, int32 y, uint32 button)
{
	mouse_button(window, x, y, true, button);
	mouse_button(window, x, y, false, button);
}

void key(BWindow* window, uint32 scancode, const char* text)
{
	display::KeyInput input;
	input.scancode = scancode;
	input.text = text;
	input.when = display::display_clock();
	display::DisplayServer::Get()->InjectKey(native(window), input);
	input.down = false;
	input.text = nullptr;
	display::DisplayServer::Get()->InjectKey(native(window), input);
	settle(window);
}

void type(BWindow* window, const char* utf8)
{
	display::DisplayServer::Get()->InjectText(native(window), utf8,
		display::display_clock());
	settle(window);
}

BWindow* find_window(const char* titlePrefix)
{
	BWindow* found = nullptr;
	if (!be_app->Lock())
		return nullptr;
	for (int32 i = 0; BWindow* window = be_app->WindowAt(i); i++) {
		if (!window->Lock())
			continue;
		if (strncmp(window->Title(), titlePrefix, strlen(titlePrefix)) == 0)
			found = window;
		window->Unlock();
		if (found != nullptr)
			break;
	}
	be_app->Unlock();
	return found;
}

}
