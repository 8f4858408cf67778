// The node monitor's engine: one inotify descriptor and one reader thread
// per process, turning kernel events into node-monitor notifications for
// the listeners of each watched node.
//
// inotify reports renames and removals to the folder that holds an entry,
// so every watched node is watched through its own path and through its
// folder. Watches follow the path: when another node takes a watched
// node's name (an editor renaming a fresh copy over the file), the watch
// moves to the new node, and the listeners are told.
#ifndef PRIVATE_STORAGE_NODE_WATCHER_H
#define PRIVATE_STORAGE_NODE_WATCHER_H

#include <Node.h>
#include <SupportDefs.h>

#include <memory>
#include <string>

namespace BPrivate {

// One notification, as a B_NODE_MONITOR message carries it.
struct NodeEvent {
	int32 opcode = 0;
	dev_t device = 0;
	ino_t node = 0;
	ino_t directory = 0;       // B_ENTRY_CREATED, B_ENTRY_REMOVED; and a
	                           // B_STAT_CHANGED after a replacement
	ino_t fromDirectory = 0;   // B_ENTRY_MOVED
	ino_t toDirectory = 0;
	std::string name;          // created, moved, replaced
	bool hasDirectory = false;
	bool hasName = false;
};

// Who receives notifications. Listeners are compared with Equals, so that
// a second watch of the same target adds flags instead of a second copy.
class NodeListener {
public:
	virtual ~NodeListener();
	virtual bool Equals(const NodeListener& other) const = 0;
	// Called from the reader thread, with no lock of the engine held.
	virtual void Deliver(const NodeEvent& event) = 0;
};

// Adds `flags` (B_WATCH_*) for `listener` on `node`; B_STOP_WATCHING ends
// that listener's watch of the node. B_ENTRY_NOT_FOUND when the node's path
// is not known in this process or the node is gone.
status_t watch_node_path(const node_ref& node, uint32 flags,
                         const std::shared_ptr<NodeListener>& listener);

// Ends every watch of listeners equal to `listener`; B_BAD_VALUE when there
// was none.
status_t stop_watching_listener(const NodeListener& listener);

// Number of nodes being watched, for tests.
int32 watched_node_count();

}

#endif
