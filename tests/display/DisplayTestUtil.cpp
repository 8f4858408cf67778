#include "DisplayTestUtil.h"

#include <png.h>

#include <string.h>

#include <algorithm>

namespace displaytest {

using namespace display;

void Recorder::DisplayEventReceived(const DisplayEvent& event)
{
	std::lock_guard<std::mutex> lock(fLock);
	fEvents.push_back(event);
}

std::vector<DisplayEvent> Recorder::Take()
{
	std::lock_guard<std::mutex> lock(fLock);
	std::vector<DisplayEvent> events;
	events.swap(fEvents);
	return events;
}

std::vector<DisplayEvent> Recorder::Take(EventType type)
{
	std::vector<DisplayEvent> matching;
	for (DisplayEvent& event : Take()) {
		if (event.type == type)
			matching.push_back(event);
	}
	return matching;
}

Picture::Picture(int32 width, int32 height)
	:
	width(width),
	height(height),
	pixels((size_t)width * height, 0xff000000u)
{
}

void Picture::Fill(uint32 color)
{
	std::fill(pixels.begin(), pixels.end(), color);
}

void Picture::FillQuadrants(uint32 topLeft, uint32 topRight, uint32 bottomLeft,
	uint32 bottomRight)
{
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			bool right = x >= width / 2;
			bool bottom = y >= height / 2;
			pixels[(size_t)y * width + x] = bottom
				? (right ? bottomRight : bottomLeft) : (right ? topRight : topLeft);
		}
	}
}

PixelSource Picture::Source() const
{
	return PixelSource{ pixels.data(), width, height, width * 4 };
}

bool read_png(const std::string& path, std::vector<uint32>* pixels, int32* width,
	int32* height)
{
	png_image image;
	memset(&image, 0, sizeof(image));
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str()))
		return false;
	image.format = PNG_FORMAT_BGRA;
	pixels->assign((size_t)image.width * image.height, 0);
	if (!png_image_finish_read(&image, nullptr, pixels->data(), 0, nullptr))
		return false;
	*width = image.width;
	*height = image.height;
	return true;
}

}
