// BScreen: the screen the windows are shown on. There is one, the main
// screen; with no display it is a virtual screen (1280 x 1024 unless
// VERSO_SCREEN_SIZE says otherwise, e.g. "1920x1080").
//
// A BScreen keeps the process's display connection open while it exists.
// It is meant to live briefly (BScreen().Frame()); it owns nothing the
// caller sees.
#ifndef _SCREEN_H
#define _SCREEN_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;

class BScreen {
public:
	BScreen(screen_id id = B_MAIN_SCREEN_ID);
	// The screen the window is on, which is the main screen.
	BScreen(BWindow* window);
	~BScreen();

	BScreen(const BScreen&) = delete;
	BScreen& operator=(const BScreen&) = delete;

	bool IsValid();
	// There is no other screen: B_ERROR, and the object stays as it is.
	status_t SetToNext();

	screen_id ID();
	// The whole screen in screen coordinates: (0, 0) to (width - 1,
	// height - 1), as BRects have inclusive edges.
	BRect Frame();
	color_space ColorSpace();

	// Waits for the start of the next frame (at 60 frames a second).
	status_t WaitForRetrace();
	status_t WaitForRetrace(bigtime_t timeout);

	// The 8-bit system palette.
	const color_map* ColorMap();
	uint8 IndexForColor(rgb_color color);
	uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color ColorForIndex(uint8 index);
	uint8 InvertIndex(uint8 index);

	rgb_color DesktopColor();

private:
	void Connect(int32 id);

	// The display connection this object holds (a private reference).
	void* fServer;
	int32 fID;
};

#endif
