// Helpers shared by the display tests.
#ifndef DISPLAY_TEST_UTIL_H
#define DISPLAY_TEST_UTIL_H

#include "display/DisplayServer.h"

#include <mutex>
#include <string>
#include <vector>

#include <sys/types.h>

namespace displaytest {

// Keeps every event a window receives.
class Recorder : public display::DisplayListener {
public:
	void DisplayEventReceived(const display::DisplayEvent& event) override;
	// The events received so far, which are forgotten.
	std::vector<display::DisplayEvent> Take();
	std::vector<display::DisplayEvent> Take(display::EventType type);

private:
	std::mutex fLock;
	std::vector<display::DisplayEvent> fEvents;
};

// A B_RGB32 picture of one colour (0xAARRGGBB) with a different colour in
// each quadrant when `quadrants` is set.
struct Picture {
	Picture(int32 width, int32 height);
	void Fill(uint32 color);
	void FillQuadrants(uint32 topLeft, uint32 topRight, uint32 bottomLeft,
		uint32 bottomRight);
	display::PixelSource Source() const;

	int32 width;
	int32 height;
	std::vector<uint32> pixels;
};

// Pixels of a PNG file as 0xFFRRGGBB, or false.
bool read_png(const std::string& path, std::vector<uint32>* pixels, int32* width,
	int32* height);

// The full path of a program on PATH, or "".
std::string find_program(const char* name);

// An Xvfb server on a free display number, stopped when the object goes.
class VirtualX {
public:
	bool Start(const std::string& program);
	~VirtualX();
	const std::string& Display() const { return fDisplay; }

private:
	pid_t fPid = -1;
	std::string fDisplay;
};

// Sets an environment variable for as long as the object lives.
class ScopedEnv {
public:
	ScopedEnv(const char* name, const char* value);
	~ScopedEnv();

private:
	std::string fName;
	std::string fOld;
	bool fHad;
};

}

#endif
