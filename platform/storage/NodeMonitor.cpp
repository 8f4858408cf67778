#include <NodeMonitor.h>

#include <AppDefs.h>
#include <Message.h>
#include <Messenger.h>

#include "storage/NodeWatcher.h"

#include <memory>

using namespace BPrivate;

namespace {

// Delivers notifications as B_NODE_MONITOR messages to a messenger.
class MessengerListener : public NodeListener {
public:
	explicit MessengerListener(const BMessenger& target) : fTarget(target) {}

	bool Equals(const NodeListener& other) const override
	{
		const MessengerListener* listener = dynamic_cast<const MessengerListener*>(&other);
		return listener != nullptr && listener->fTarget == fTarget;
	}

	void Deliver(const NodeEvent& event) override
	{
		BMessage message(B_NODE_MONITOR);
		message.AddInt32("opcode", event.opcode);
		message.AddInt32("device", (int32)event.device);
		if (event.opcode == B_ENTRY_MOVED) {
			message.AddInt64("from directory", (int64)event.fromDirectory);
			message.AddInt64("to directory", (int64)event.toDirectory);
		} else if (event.hasDirectory) {
			message.AddInt64("directory", (int64)event.directory);
		}
		message.AddInt64("node", (int64)event.node);
		if (event.hasName)
			message.AddString("name", event.name.c_str());
		// A target that has gone away simply misses the message.
		fTarget.SendMessage(&message);
	}

private:
	BMessenger fTarget;
};

}

status_t watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
	if (node == nullptr)
		return (flags & B_WATCH_MOUNT) ? (status_t)B_UNSUPPORTED : (status_t)B_BAD_VALUE;
	if (!target.IsValid())
		return B_BAD_VALUE;
	return watch_node_path(*node, flags, std::make_shared<MessengerListener>(target));
}

status_t watch_node(const node_ref* node, uint32 flags, const BHandler* handler,
                    const BLooper* looper)
{
	status_t status = B_OK;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return watch_node(node, flags, target);
}

status_t stop_watching(BMessenger target)
{
	return stop_watching_listener(MessengerListener(target));
}

status_t stop_watching(const BHandler* handler, const BLooper* looper)
{
	status_t status = B_OK;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return stop_watching(target);
}
