#include "display/X11Presenter.h"

#include <ByteOrder.h>

#include <xcb/xcb.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace display {

namespace {

// A put-image request's fixed part, with the longer length field of big
// requests.
const size_t kPutImageHeader = 28;

// True when the screen's windows of its root depth keep pixels as 32-bit
// words 0x00RRGGBB in the host's byte order.
bool keeps_pixels_as_contents(const xcb_setup_t* setup, const xcb_screen_t* screen)
{
	if (screen->root_depth != 24)
		return false;
	if (setup->image_byte_order != (B_HOST_IS_LENDIAN
			? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST))
		return false;
	bool formatFits = false;
	const xcb_format_t* formats = xcb_setup_pixmap_formats(setup);
	for (int i = 0; i < xcb_setup_pixmap_formats_length(setup); i++) {
		if (formats[i].depth == screen->root_depth)
			formatFits = formats[i].bits_per_pixel == 32 && formats[i].scanline_pad == 32;
	}
	if (!formatFits)
		return false;
	for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen);
		depth.rem > 0; xcb_depth_next(&depth)) {
		for (xcb_visualtype_iterator_t visual = xcb_depth_visuals_iterator(depth.data);
			visual.rem > 0; xcb_visualtype_next(&visual)) {
			if (visual.data->visual_id != screen->root_visual)
				continue;
			return visual.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR
				&& visual.data->red_mask == 0xff0000
				&& visual.data->green_mask == 0x00ff00
				&& visual.data->blue_mask == 0x0000ff;
		}
	}
	return false;
}

}

std::unique_ptr<X11Presenter> X11Presenter::Open(const char* displayName)
{
	int screenNumber = 0;
	xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
	if (xcb_connection_has_error(connection)) {
		xcb_disconnect(connection);
		return nullptr;
	}
	const xcb_setup_t* setup = xcb_get_setup(connection);
	xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
	for (int i = 0; i < screenNumber && screens.rem > 0; i++)
		xcb_screen_next(&screens);
	if (screens.rem == 0 || !keeps_pixels_as_contents(setup, screens.data)) {
		xcb_disconnect(connection);
		return nullptr;
	}
	// In units of four bytes; asking also turns on big requests where the
	// server has them.
	const size_t maxRequestBytes = (size_t)xcb_get_maximum_request_length(connection) * 4;
	if (maxRequestBytes <= kPutImageHeader + 4) {
		xcb_disconnect(connection);
		return nullptr;
	}
	return std::unique_ptr<X11Presenter>(new X11Presenter(connection,
		screens.data->root, screens.data->root_depth, maxRequestBytes));
}

X11Presenter::X11Presenter(xcb_connection_t* connection, uint32 root, uint8 depth,
	size_t maxRequestBytes)
	:
	fConnection(connection),
	fDepth(depth),
	fMaxDataBytes(maxRequestBytes - kPutImageHeader)
{
	// Good for every window of the root's depth. Images never cause
	// graphics exposures, so none are asked for.
	fContext = xcb_generate_id(fConnection);
	const uint32 noExposures = 0;
	xcb_create_gc(fConnection, fContext, root, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
	xcb_flush(fConnection);
}

X11Presenter::~X11Presenter()
{
	Close();
}

void X11Presenter::Close()
{
	std::lock_guard<std::mutex> lock(fLock);
	if (fConnection == nullptr)
		return;
	xcb_disconnect(fConnection);
	fConnection = nullptr;
}

void X11Presenter::Put(uint32 window, const uint32* pixels, int32 width,
	const std::vector<PixelRect>& rects)
{
	std::lock_guard<std::mutex> lock(fLock);
	if (fConnection == nullptr || window == 0)
		return;
	for (const PixelRect& rect : rects) {
		const size_t rowBytes = (size_t)rect.width * 4;
		if (rect.width <= 0 || rect.height <= 0 || rowBytes > fMaxDataBytes)
			continue;
		// Whole rows lie in one piece in the contents; others are copied
		// out row by row.
		const bool contiguous = rect.x == 0 && rect.width == width;
		const int32 bandRows = (int32)std::min<size_t>(fMaxDataBytes / rowBytes, UINT16_MAX);
		const int32 bottom = rect.y + rect.height;
		for (int32 top = rect.y; top < bottom; top += bandRows) {
			const int32 rows = std::min(bandRows, bottom - top);
			const uint32* first = pixels + (size_t)top * width + rect.x;
			const uint8* data = (const uint8*)first;
			if (!contiguous) {
				fBuffer.resize(rowBytes * rows);
				for (int32 row = 0; row < rows; row++)
					memcpy(&fBuffer[row * rowBytes], first + (size_t)row * width, rowBytes);
				data = fBuffer.data();
			}
			xcb_put_image(fConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, fContext,
				(uint16)rect.width, (uint16)rows, (int16)rect.x, (int16)top, 0, fDepth,
				(uint32)(rowBytes * rows), data);
		}
	}
	xcb_flush(fConnection);
}

int X11Presenter::FileDescriptor() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fConnection != nullptr ? xcb_get_file_descriptor(fConnection) : -1;
}

bool X11Presenter::Discard()
{
	std::lock_guard<std::mutex> lock(fLock);
	if (fConnection == nullptr)
		return false;
	while (xcb_generic_event_t* event = xcb_poll_for_event(fConnection))
		free(event);
	return xcb_connection_has_error(fConnection) == 0;
}

}
