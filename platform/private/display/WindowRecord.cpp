#include "display/WindowRecord.h"

#include <algorithm>
#include <new>
#include <string.h>

namespace display {

WindowRecord::WindowRecord(window_id id, DisplayListener* listener,
	const WindowParams& params)
	:
	id(id),
	listener(listener),
	acceptsFocus(params.acceptsFocus),
	resizable(params.resizable),
	reportedX(params.x),
	reportedY(params.y),
	reportedWidth(params.width),
	reportedHeight(params.height)
{
	state.title = params.title;
	state.x = params.x;
	state.y = params.y;
	state.width = params.width;
	state.height = params.height;
	state.decoration = params.decoration;
	state.alwaysOnTop = params.alwaysOnTop;
}

bool WindowRecord::ResizeContents(int32 width, int32 height)
{
	if (width == contentWidth && height == contentHeight)
		return true;
	std::vector<uint32> resized;
	try {
		resized.assign((size_t)width * height, 0xffffffffu);
	} catch (const std::bad_alloc&) {
		return false;
	}
	int32 keepWidth = std::min(width, contentWidth);
	int32 keepHeight = std::min(height, contentHeight);
	for (int32 y = 0; y < keepHeight; y++) {
		memcpy(&resized[(size_t)y * width], &pixels[(size_t)y * contentWidth],
			(size_t)keepWidth * sizeof(uint32));
	}
	pixels.swap(resized);
	contentWidth = width;
	contentHeight = height;
	// Damage outside the new size can no longer be shown.
	std::vector<PixelRect> kept;
	for (PixelRect rect : damage) {
		int32 right = std::min(rect.x + rect.width, width);
		int32 bottom = std::min(rect.y + rect.height, height);
		if (right > rect.x && bottom > rect.y)
			kept.push_back({ rect.x, rect.y, right - rect.x, bottom - rect.y });
	}
	damage.swap(kept);
	return true;
}

}
