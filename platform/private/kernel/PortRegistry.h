// System-wide named ports: how a port created with a name in one process is
// found and written to from every other process of the same user.
//
// Each user has a private runtime folder (mode 0700, owned by the user, not
// a symbolic link): $XDG_RUNTIME_DIR/libbe when that is usable, otherwise
// /tmp/libbe-<uid>. For every named port a process creates, the folder holds
//     <pid>.<port>.sock                 a listening Unix-domain socket
//     <pid>.<port>.<created>.port  ->  the port's name (a symbolic link whose
//                                       target text is the name; it is never
//                                       followed)
// The registration link is made only once the socket listens, and removed
// first, so a link always leads to a socket that was live. Port names thus
// never become file names. Entries of processes that died are removed by
// whoever finds them.
//
// The owning process serves its sockets with one listener thread
// (PortListener.h); another process reaches a port through a proxy port_id
// that find_port returns (RemoteLink.h).
#ifndef PRIVATE_KERNEL_PORT_REGISTRY_H
#define PRIVATE_KERNEL_PORT_REGISTRY_H

#include <OS.h>

#include <string>
#include <vector>

namespace BPrivate {

// For other kits: the names of the live named ports of the user, in this
// process and in others, that start with `prefix` (every name when it is
// NULL or empty); sorted, each name once. The Application Kit names its
// applications' ports "be:app:<pid>:<signature>" to find them this way.
status_t list_system_ports(const char* prefix, std::vector<std::string>* names);

// ---- Used by the kernel kit itself

// A registration of another process's port.
struct PortEntry {
	std::string name;
	pid_t owner = -1;
	port_id port = -1;
	int64 created = 0;        // nanoseconds of the real-time clock
	std::string key;          // the registration link's file name
	std::string socketPath;
};

// The runtime folder, made on first use; empty when none is usable.
const std::string& runtime_directory();

// Makes `path` the private folder it must be (creating it with mode 0700),
// or says why it cannot be: owned by someone else, a link, not a folder.
status_t prepare_private_directory(const std::string& path);

// Makes local port `port` reachable from other processes under `name`.
status_t publish_port(port_id port, const std::string& name);
// Takes the port off the registry and stops serving it. Harmless for a port
// that was never published.
void unpublish_port(port_id port);

// Registrations of other processes' live ports whose name is `name` (or
// starts with it, when `prefix` is true), oldest first. Registrations of
// dead processes found on the way are removed.
std::vector<PortEntry> find_remote_ports(const std::string& name, bool prefix);

// Connects to the socket of `entry` (non-blocking, close-on-exec). Returns
// the socket, or -1; `*gone` tells that nobody listens there any more (the
// registration was then removed).
int connect_to_port(const PortEntry& entry, bool* gone);

// Whether the registration link `key` still exists.
bool port_entry_exists(const std::string& key);

}

#endif
