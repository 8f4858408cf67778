// Opens a window through the display server and shows a coloured pattern:
// a smooth colour field with a grid and a moving bar, redrawn when the
// window is resized. Clicks, keys and dropped files are printed.
//
//   display_demo [--seconds N] [--png FILE]
//
// It runs until the window is closed, Escape is pressed or N seconds have
// passed; --png writes the last picture to FILE. Without a display (or with
// VERSO_HEADLESS=1) nothing is shown, which with --png still gives a
// picture to look at.
#include "display/DisplayServer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

using namespace display;

namespace {

// The listener only queues; the main thread does the work, as a window's
// own thread will.
class EventQueue : public DisplayListener {
public:
	void DisplayEventReceived(const DisplayEvent& event) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fEvents.push_back(event);
		fSignal.notify_one();
	}

	bool Next(DisplayEvent* event, int milliseconds)
	{
		std::unique_lock<std::mutex> lock(fLock);
		if (!fSignal.wait_for(lock, std::chrono::milliseconds(milliseconds),
				[this]() { return !fEvents.empty(); }))
			return false;
		*event = fEvents.front();
		fEvents.pop_front();
		return true;
	}

private:
	std::mutex fLock;
	std::condition_variable fSignal;
	std::deque<DisplayEvent> fEvents;
};

void draw(std::vector<uint32>& pixels, int32 width, int32 height, int32 frame)
{
	pixels.assign((size_t)width * height, 0);
	const int32 bar = width > 0 ? (frame * 4) % width : 0;
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			uint32 red = (uint32)(255 * x / (width > 1 ? width - 1 : 1));
			uint32 green = (uint32)(255 * y / (height > 1 ? height - 1 : 1));
			uint32 blue = 160;
			if (x % 32 == 0 || y % 32 == 0)
				red = green = blue = 255;
			if (x >= bar && x < bar + 8)
				red = green = blue = 0;
			pixels[(size_t)y * width + x] = 0xff000000u | red << 16 | green << 8 | blue;
		}
	}
}

}

int main(int argc, char** argv)
{
	double seconds = -1;
	const char* pngPath = nullptr;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
			seconds = atof(argv[++i]);
		else if (strcmp(argv[i], "--png") == 0 && i + 1 < argc)
			pngPath = argv[++i];
		else {
			fprintf(stderr, "usage: %s [--seconds N] [--png FILE]\n", argv[0]);
			return 2;
		}
	}

	std::shared_ptr<DisplayServer> server = DisplayServer::Get();
	int32 screenWidth = 0;
	int32 screenHeight = 0;
	server->GetScreenSize(&screenWidth, &screenHeight);
	printf("display: %s, screen %dx%d\n", server->BackendName(), (int)screenWidth,
		(int)screenHeight);
	if (server->IsHeadless() && seconds < 0)
		seconds = 1;   // nobody can close an invisible window

	EventQueue events;
	WindowParams params;
	params.title = "Display demo";
	params.x = 100;
	params.y = 100;
	params.width = 400;
	params.height = 240;
	window_id id = server->CreateWindow(params, &events);
	if (id < 0) {
		fprintf(stderr, "display_demo: cannot create a window\n");
		return 1;
	}

	int32 width = params.width;
	int32 height = params.height;
	int32 frame = 0;
	std::vector<uint32> pixels;
	auto present = [&]() {
		draw(pixels, width, height, frame);
		PixelSource source = { pixels.data(), width, height, width * 4 };
		PixelRect all = { 0, 0, width, height };
		server->Present(id, source, &all, 1);
	};
	present();
	server->ShowWindow(id);

	auto start = std::chrono::steady_clock::now();
	bool running = true;
	while (running) {
		DisplayEvent event;
		if (events.Next(&event, 40)) {
			switch (event.type) {
				case EventType::kWindowResized:
					width = event.width;
					height = event.height;
					present();
					break;
				case EventType::kCloseRequested:
					running = false;
					break;
				case EventType::kMouseDown:
					printf("click at %d,%d (screen %d,%d), buttons %u, clicks %d\n",
						(int)event.x, (int)event.y, (int)event.screenX,
						(int)event.screenY, (unsigned)event.buttons, (int)event.clicks);
					break;
				case EventType::kKeyDown:
					printf("key 0x%02x, bytes \"%s\", modifiers 0x%x\n", (unsigned)event.key,
						event.bytes[0] >= 0x20 ? event.bytes : "", (unsigned)event.modifiers);
					if (event.bytes[0] == 0x1b)
						running = false;
					break;
				case EventType::kFilesDropped:
					for (const std::string& path : event.paths)
						printf("dropped %s at %d,%d\n", path.c_str(), (int)event.screenX,
							(int)event.screenY);
					break;
				default:
					break;
			}
		} else {
			frame++;
			present();
		}
		std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
		if (seconds >= 0 && elapsed.count() >= seconds)
			running = false;
	}

	int status = 0;
	if (pngPath != nullptr) {
		status_t written = server->WriteContentsToPng(id, pngPath);
		if (written != B_OK) {
			fprintf(stderr, "display_demo: cannot write %s\n", pngPath);
			status = 1;
		} else {
			printf("wrote %s\n", pngPath);
		}
	}
	server->DestroyWindow(id);
	return status;
}
