#include "interface/WindowPort.h"

#include <AppDefs.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>

#include "app/LooperPort.h"
#include "app/MessagePrivate.h"

using namespace display;

namespace BPrivate {

WindowPort::WindowPort(std::shared_ptr<LooperPort> port)
	:
	fServer(DisplayServer::Get()),
	fPort(std::move(port)),
	fId(0),
	fButtons(0)
{
}

WindowPort::~WindowPort()
{
	Destroy();
}

status_t WindowPort::Create(const WindowParams& params)
{
	window_id id = fServer->CreateWindow(params, this);
	if (id < 0)
		return id;
	fId = id;
	return B_OK;
}

void WindowPort::Destroy()
{
	if (fId > 0)
		fServer->DestroyWindow(fId);
	fId = 0;
}

void WindowPort::GetPointer(BPoint* where, uint32* buttons) const
{
	std::lock_guard<std::mutex> lock(fPointerLock);
	if (where != NULL)
		*where = fPointer;
	if (buttons != NULL)
		*buttons = fButtons;
}

void WindowPort::_Post(BMessage* message, bool droppable)
{
	if (fPort->Push(message, 0) == B_OK)
		return;
	if (droppable || fPort->Push(message, 0, true) != B_OK)
		delete message;
}

static void add_pointer_fields(BMessage* message, const DisplayEvent& event)
{
	message->AddInt64("when", event.when);
	message->AddPoint("where", BPoint(event.x, event.y));
	message->AddPoint("screen_where", BPoint(event.screenX, event.screenY));
	message->AddInt32("buttons", (int32)event.buttons);
	message->AddInt32("modifiers", (int32)event.modifiers);
}

static void add_key_fields(BMessage* message, const DisplayEvent& event)
{
	message->AddInt64("when", event.when);
	message->AddInt32("modifiers", (int32)event.modifiers);
	message->AddInt32("key", event.key);
	message->AddInt32("raw_char", event.rawChar);
	if (event.bytes[0] != '\0') {
		message->AddString("bytes", event.bytes);
		for (const char* b = event.bytes; *b != '\0'; b++)
			message->AddInt8("byte", (int8)*b);
	}
	if (event.repeat > 0)
		message->AddInt32("be:key_repeat", event.repeat);
}

void WindowPort::DisplayEventReceived(const DisplayEvent& event)
{
	switch (event.type) {
		case EventType::kMouseDown:
		case EventType::kMouseUp:
		case EventType::kMouseMoved:
		case EventType::kMouseEntered:
		case EventType::kMouseExited:
		{
			{
				std::lock_guard<std::mutex> lock(fPointerLock);
				fPointer = BPoint(event.x, event.y);
				fButtons = event.buttons;
			}
			uint32 what = event.type == EventType::kMouseDown ? B_MOUSE_DOWN
				: event.type == EventType::kMouseUp ? B_MOUSE_UP : B_MOUSE_MOVED;
			BMessage* message = new BMessage(what);
			add_pointer_fields(message, event);
			if (what == B_MOUSE_DOWN)
				message->AddInt32("clicks", event.clicks);
			if (event.type == EventType::kMouseExited)
				message->AddBool("be:window_exited", true);
			_Post(message, what == B_MOUSE_MOVED);
			break;
		}
		case EventType::kMouseWheel:
		{
			BMessage* message = new BMessage(B_MOUSE_WHEEL_CHANGED);
			message->AddInt64("when", event.when);
			message->AddFloat("be:wheel_delta_x", event.wheelX);
			message->AddFloat("be:wheel_delta_y", event.wheelY);
			_Post(message, false);
			break;
		}
		case EventType::kKeyDown:
		case EventType::kKeyUp:
		{
			bool down = event.type == EventType::kKeyDown;
			uint32 what = event.bytes[0] != '\0'
				? (down ? B_KEY_DOWN : B_KEY_UP)
				: (down ? B_UNMAPPED_KEY_DOWN : B_UNMAPPED_KEY_UP);
			BMessage* message = new BMessage(what);
			add_key_fields(message, event);
			_Post(message, false);
			break;
		}
		case EventType::kModifiersChanged:
		{
			BMessage* message = new BMessage(B_MODIFIERS_CHANGED);
			message->AddInt64("when", event.when);
			message->AddInt32("modifiers", (int32)event.modifiers);
			_Post(message, false);
			break;
		}
		case EventType::kWindowMoved:
		{
			BMessage* message = new BMessage(B_WINDOW_MOVED);
			message->AddInt64("when", event.when);
			message->AddPoint("where", BPoint(event.screenX, event.screenY));
			message->AddInt32("be:move_serial", (int32)event.moveSerial);
			_Post(message, false);
			break;
		}
		case EventType::kWindowResized:
		{
			BMessage* message = new BMessage(B_WINDOW_RESIZED);
			message->AddInt64("when", event.when);
			message->AddInt32("width", event.width - 1);
			message->AddInt32("height", event.height - 1);
			_Post(message, false);
			break;
		}
		case EventType::kWindowActivated:
		case EventType::kWindowDeactivated:
		{
			BMessage* message = new BMessage(B_WINDOW_ACTIVATED);
			message->AddInt64("when", event.when);
			message->AddBool("active", event.type == EventType::kWindowActivated);
			_Post(message, false);
			break;
		}
		case EventType::kCloseRequested:
			_Post(new BMessage(B_QUIT_REQUESTED), false);
			break;
		case EventType::kMinimized:
		case EventType::kRestored:
		{
			BMessage* message = new BMessage(B_MINIMIZE);
			message->AddInt64("when", event.when);
			message->AddBool("minimize", event.type == EventType::kMinimized);
			_Post(message, false);
			break;
		}
		case EventType::kExposed:
			_Post(new BMessage(kMsgExposed), false);
			break;
		case EventType::kFilesDropped:
		{
			// Files from the desktop: a drop from another application.
			BMessage* message = new BMessage(B_SIMPLE_DATA);
			for (const std::string& path : event.paths) {
				entry_ref ref;
				if (get_ref_for_path(path.c_str(), &ref) == B_OK)
					message->AddRef("refs", &ref);
			}
			message->AddPoint("_drop_point_", BPoint(event.screenX, event.screenY));
			message->AddPoint("_drop_offset_", BPoint(0, 0));
			MessageDelivery& delivery = MessageAccess::MakeDelivery(message);
			delivery.dropped = true;
			delivery.sourceRemote = true;
			_Post(message, false);
			break;
		}
	}
}

}
