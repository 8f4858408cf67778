// The display side of a BWindow: its native window and the listener that
// turns the display server's events into the window's messages.
//
// Events arrive on the display thread. They are converted into BeOS
// messages and pushed into the window's port without waiting: when the
// queue is full a pointer move is dropped (a later one says the same),
// anything else is queued beyond the capacity rather than lost. The
// pointer's position and buttons are also kept here, so that GetMouse()
// sees them while the window's thread is busy in a hook.
//
// The window owns this object through a shared_ptr and destroys the native
// window before it goes; after DestroyWindow() the server calls nothing.
#ifndef PRIVATE_INTERFACE_WINDOW_PORT_H
#define PRIVATE_INTERFACE_WINDOW_PORT_H

#include <Point.h>

#include "display/DisplayServer.h"

#include <memory>
#include <mutex>

class BMessage;

namespace BPrivate {

class LooperPort;

// Private message codes of the window.
enum {
	kMsgPresent = '_prs',   // put what was drawn on the screen
	kMsgExposed = '_exp'    // the screen lost the window's contents
};

class WindowPort : public display::DisplayListener {
public:
	WindowPort(std::shared_ptr<LooperPort> port);
	~WindowPort() override;

	status_t Create(const display::WindowParams& params);
	void Destroy();
	display::window_id Id() const { return fId; }
	display::DisplayServer& Server() const { return *fServer; }

	// The pointer as last reported, in window coordinates.
	void GetPointer(BPoint* where, uint32* buttons) const;

	void DisplayEventReceived(const display::DisplayEvent& event) override;

private:
	void _Post(BMessage* message, bool droppable);

	std::shared_ptr<display::DisplayServer> fServer;
	std::shared_ptr<LooperPort> fPort;
	display::window_id fId;

	mutable std::mutex fPointerLock;
	BPoint fPointer;
	uint32 fButtons;
};

}

#endif
