#include "MenuTestUtil.h"

#include "display/DisplayServer.h"
#include "interface/WindowAccess.h"

namespace menutest {

void click_and_forget(BWindow* window, BPoint where)
{
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	auto server = display::DisplayServer::Get();
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, true,
		display::display_clock());
	server->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1, false,
		display::display_clock());
}

void button_and_forget(BWindow* window, BPoint where, bool down)
{
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	display::DisplayServer::Get()->InjectMouseButton(id, (int32)where.x, (int32)where.y, 1,
		down, display::display_clock());
}

void key_and_forget(BWindow* window, uint32 scancode)
{
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	display::KeyInput input;
	input.scancode = scancode;
	input.when = display::display_clock();
	display::DisplayServer::Get()->InjectKey(id, input);
	input.down = false;
	display::DisplayServer::Get()->InjectKey(id, input);
}

void alt_key(BWindow* window, uint32 scancode)
{
	const uint32 kLeftAlt = 226;
	display::window_id id = BPrivate::WindowAccess::NativeWindow(window);
	display::KeyInput alt;
	alt.scancode = kLeftAlt;
	display::DisplayServer::Get()->InjectKey(id, alt);
	windowtest::key(window, scancode);
	alt.down = false;
	display::DisplayServer::Get()->InjectKey(id, alt);
	windowtest::settle(window);
}

}
