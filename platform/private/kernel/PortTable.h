// The ports of this process: local message queues, and proxies that stand
// for named ports of other processes (see PortRegistry.h).
//
// Every field is guarded by the kernel lock (ThreadTable.h), except where a
// comment says otherwise.
#ifndef PRIVATE_KERNEL_PORT_TABLE_H
#define PRIVATE_KERNEL_PORT_TABLE_H

#include <OS.h>

#include "kernel/ThreadTable.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace BPrivate {

// The largest message a port takes. It bounds what another process can make
// this one allocate.
constexpr size_t kMaxPortMessageSize = 16 * 1024 * 1024;

class RemoteLink;

struct PortMessage {
	int32 code = 0;
	std::vector<uint8> data;
};

struct Port {
	port_id id = -1;
	std::string name;
	int32 capacity = 0;
	team_id team = -1;
	std::deque<PortMessage> queue;
	int32 totalCount = 0;           // messages ever written
	bool closed = false;            // close_port: no more writes, reads drain
	bool deleted = false;
	WaitList readers;               // read_port and port_buffer_size callers
	WaitList writers;               // writers waiting for room
	// The listener holds records from other processes until there is room;
	// the next read tells it to try again.
	bool remoteBacklog = false;
	// Set for a proxy of another process's port: writes go there.
	std::shared_ptr<RemoteLink> remote;

	bool IsFull() const { return (int32)queue.size() >= capacity; }
};

class PortTable {
public:
	static PortTable& Default();

	port_id NextId() { return fNextId++; }
	void Add(const std::shared_ptr<Port>& port) { fPorts[port->id] = port; }
	std::shared_ptr<Port> Find(port_id id) const;
	// A port of this process with that name; the oldest if there are several.
	std::shared_ptr<Port> FindLocal(const std::string& name) const;
	// The proxy already made for a registration entry of another process.
	std::shared_ptr<Port> FindProxy(const std::string& entryKey) const;
	void Remove(port_id id) { fPorts.erase(id); }
	size_t Count() const { return fPorts.size(); }
	// Names of this process's named ports that start with `prefix`.
	std::vector<std::string> LocalNames(const std::string& prefix) const;
	std::vector<std::shared_ptr<Port>> Proxies() const;

private:
	std::map<port_id, std::shared_ptr<Port>> fPorts;
	port_id fNextId = 1;
};

// Puts a record that arrived from another process into local port `id`
// (taking its data on success). Returns B_OK, B_WOULD_BLOCK when the port is
// full (the port then pokes the listener when a read makes room), or
// B_BAD_PORT_ID when the port is closed or gone. Takes the kernel lock.
status_t deliver_remote_record(port_id id, PortMessage& message);

// Whether local port `id` still exists (not deleted). Takes the kernel lock.
bool local_port_exists(port_id id);

}

#endif
