#include <Screen.h>

#include "display/DisplayServer.h"

#include <OS.h>

#include <time.h>

#include <memory>
#include <new>

typedef std::shared_ptr<display::DisplayServer> ServerRef;

BScreen::BScreen(screen_id id)
	:
	fServer(nullptr),
	fID(id.id)
{
	Connect(id.id);
}

BScreen::BScreen(BWindow*)
	:
	fServer(nullptr),
	fID(0)
{
	Connect(0);
}

BScreen::~BScreen()
{
	delete (ServerRef*)fServer;
}

void BScreen::Connect(int32 id)
{
	// Only the main screen (id 0) exists.
	if (id != 0)
		return;
	fServer = new (std::nothrow) ServerRef(display::DisplayServer::Get());
}

bool BScreen::IsValid()
{
	return fServer != nullptr;
}

status_t BScreen::SetToNext()
{
	return B_ERROR;
}

screen_id BScreen::ID()
{
	screen_id id = { fID };
	return id;
}

BRect BScreen::Frame()
{
	if (fServer == nullptr)
		return BRect();
	int32 width = 0;
	int32 height = 0;
	(*(ServerRef*)fServer)->GetScreenSize(&width, &height);
	return BRect(0, 0, width - 1, height - 1);
}

color_space BScreen::ColorSpace()
{
	return fServer != nullptr ? B_RGB32 : B_NO_COLOR_SPACE;
}

status_t BScreen::WaitForRetrace()
{
	return WaitForRetrace(B_INFINITE_TIMEOUT);
}

status_t BScreen::WaitForRetrace(bigtime_t timeout)
{
	if (fServer == nullptr)
		return B_ERROR;
	// Without a vertical blank to wait for, frames start every 1/60 s on
	// the monotonic clock.
	const bigtime_t frame = 1000000 / 60;
	bigtime_t now = display::display_clock();
	bigtime_t wait = frame - now % frame;
	if (timeout >= 0 && wait > timeout)
		return B_TIMED_OUT;
	struct timespec pause = { 0, (long)wait * 1000 };
	nanosleep(&pause, nullptr);
	return B_OK;
}

const color_map* BScreen::ColorMap()
{
	return system_colors();
}

uint8 BScreen::IndexForColor(rgb_color color)
{
	return index_for_color(color);
}

uint8 BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	return index_for_color(make_color(red, green, blue, alpha));
}

rgb_color BScreen::ColorForIndex(uint8 index)
{
	return system_colors()->color_list[index];
}

uint8 BScreen::InvertIndex(uint8 index)
{
	return system_colors()->inversion_map[index];
}

rgb_color BScreen::DesktopColor()
{
	// The BeOS desktop blue; the desktop behind our windows is not ours.
	return make_color(51, 102, 152);
}
