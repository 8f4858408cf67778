// Node monitoring: B_NODE_MONITOR messages when a watched file or folder
// changes.
//
// Every message has "opcode" (int32), "device" (int32) and "node" (int64,
// the node that changed), and:
//   B_ENTRY_CREATED  "directory" (int64), "name" (string)
//   B_ENTRY_REMOVED  "directory" (int64)
//   B_ENTRY_MOVED    "from directory", "to directory" (int64), "name" (the
//                    new name; string)
//   B_STAT_CHANGED   nothing more; "directory" and "name" after the watched
//                    name was taken by another node (see below)
//   B_ATTR_CHANGED   nothing more (Linux does not say which attribute)
//
// An entry moved out of every folder watched in this process is reported as
// removed, and one moved in from such a folder as created: the kernel tells
// only one side of such a move.
//
// What each flag reports:
//   B_WATCH_NAME       the node's own removal and renaming (B_ENTRY_REMOVED,
//                      B_ENTRY_MOVED)
//   B_WATCH_STAT       writes to the node and changes of its size, times,
//                      owner or permissions (B_STAT_CHANGED)
//   B_WATCH_ATTR       changes of its attributes (B_ATTR_CHANGED)
//   B_WATCH_DIRECTORY  on a folder: entries created in, removed from, moved
//                      into, out of, or inside it
//
// A file that an editor saves by writing a new file and renaming it over the
// old one is, to the kernel, a new node. A watcher of the old file with
// B_WATCH_NAME gets B_ENTRY_REMOVED for it (the old node is gone) and a
// watcher with B_WATCH_STAT gets B_STAT_CHANGED naming the new node; in both
// messages "directory" and "name" say where, so the watcher can reopen the
// path and watch the new node. The watch itself follows the path: it goes on
// reporting for the new file that now has the old name.
//
// Watching a node needs its path: the node must have been reached through a
// path in this process (any BEntry, BNode, BPath or ref made from a path).
// Messages are sent from one reader thread per process through
// BMessenger::SendMessage; several watchers of one node each get a copy.
#ifndef _NODE_MONITOR_H
#define _NODE_MONITOR_H

#include <Node.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessenger;

enum {
	B_STOP_WATCHING   = 0x0000,
	B_WATCH_NAME      = 0x0001,
	B_WATCH_STAT      = 0x0002,
	B_WATCH_ATTR      = 0x0004,
	B_WATCH_DIRECTORY = 0x0008,
	B_WATCH_ALL       = 0x000f,
	B_WATCH_MOUNT     = 0x0010
};

#define B_ENTRY_CREATED    1
#define B_ENTRY_REMOVED    2
#define B_ENTRY_MOVED      3
#define B_STAT_CHANGED     4
#define B_ATTR_CHANGED     5
#define B_DEVICE_MOUNTED   6
#define B_DEVICE_UNMOUNTED 7

// Adds `flags` to what `target` watches of `node`; B_STOP_WATCHING ends it.
// Unknown nodes fail with B_ENTRY_NOT_FOUND; B_WATCH_MOUNT with B_UNSUPPORTED.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
// The looper defaults to the handler's own.
status_t watch_node(const node_ref* node, uint32 flags, const BHandler* handler,
                    const BLooper* looper = NULL);

// Ends every watch of `target` (B_OK also when it watched nothing).
status_t stop_watching(BMessenger target);
status_t stop_watching(const BHandler* handler, const BLooper* looper = NULL);

#endif
