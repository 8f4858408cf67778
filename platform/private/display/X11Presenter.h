// Puts window contents on an X11 screen from whichever thread drew them.
//
// The presenter has an X connection of its own, so that a thread that has
// just drawn can send its pixels itself: it neither wakes the display
// thread (which owns SDL's connection) nor waits for the X server. The
// pixels go out as plain images, copied into the request, so nothing needs
// to be synchronised with the server afterwards.
//
// Threads. Put may be called on any thread; the calls are serialised. The
// X server answers this connection only with errors (a window that went
// away while its pixels were on their way); whoever waits for the
// connection's descriptor to become readable calls Discard to read and
// drop them.
#ifndef DISPLAY_X11_PRESENTER_H
#define DISPLAY_X11_PRESENTER_H

#include "display/DisplayServer.h"

#include <SupportDefs.h>

#include <memory>
#include <mutex>
#include <vector>

struct xcb_connection_t;

namespace display {

class X11Presenter {
public:
	// Connects to the display (the X display name, as $DISPLAY writes it)
	// and checks that windows of its default depth keep their pixels as the
	// contents do: 32 bits per pixel, B, G, R and an unused byte in memory.
	// Null when it cannot connect or the screen keeps pixels otherwise.
	static std::unique_ptr<X11Presenter> Open(const char* displayName);
	~X11Presenter();
	X11Presenter(const X11Presenter&) = delete;
	X11Presenter& operator=(const X11Presenter&) = delete;

	// Any thread. Sends the given rectangles of `pixels` (0xAARRGGBB,
	// `width` per row, none reaching beyond it) to the window with the X id
	// `window`, and returns without waiting for the server.
	void Put(uint32 window, const uint32* pixels, int32 width,
		const std::vector<PixelRect>& rects);

	// The connection's descriptor, readable when the server has sent
	// something; -1 once the connection is closed.
	int FileDescriptor() const;
	// Reads and drops what the server has sent. False when the connection
	// is broken, after which its descriptor is not to be waited for.
	bool Discard();

	// Closes the connection; Put does nothing afterwards.
	void Close();

private:
	X11Presenter(xcb_connection_t* connection, uint32 root, uint8 depth,
		size_t maxRequestBytes);

	mutable std::mutex fLock;
	xcb_connection_t* fConnection;
	const uint8 fDepth;
	const size_t fMaxDataBytes;     // image bytes one request may carry
	uint32 fContext = 0;            // the graphics context, for the root depth
	std::vector<uint8> fBuffer;     // one band of rows on its way out
};

}

#endif
