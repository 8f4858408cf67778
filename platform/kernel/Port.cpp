// Ports: bounded message queues. A named port is also published for the
// other processes of the user (PortRegistry.h); find_port there returns a
// proxy whose writes travel over a socket.

#include <OS.h>

#include "kernel/KernelStats.h"
#include "kernel/PortListener.h"
#include "kernel/PortRegistry.h"
#include "kernel/PortTable.h"
#include "kernel/RemoteLink.h"
#include "kernel/ThreadTable.h"

#include <string.h>
#include <unistd.h>

using namespace BPrivate;

// ---- The table

namespace BPrivate {

PortTable& PortTable::Default()
{
	static PortTable* table = new PortTable;
	return *table;
}

std::shared_ptr<Port> PortTable::Find(port_id id) const
{
	auto found = fPorts.find(id);
	return found == fPorts.end() ? nullptr : found->second;
}

std::shared_ptr<Port> PortTable::FindLocal(const std::string& name) const
{
	for (const auto& [id, port] : fPorts) {
		if (!port->remote && port->name == name)
			return port;
	}
	return nullptr;
}

std::shared_ptr<Port> PortTable::FindProxy(const std::string& entryKey) const
{
	for (const auto& [id, port] : fPorts) {
		if (port->remote && port->remote->Entry().key == entryKey)
			return port;
	}
	return nullptr;
}

std::vector<std::string> PortTable::LocalNames(const std::string& prefix) const
{
	std::vector<std::string> names;
	for (const auto& [id, port] : fPorts) {
		if (!port->remote && !port->name.empty()
			&& port->name.compare(0, prefix.size(), prefix) == 0)
			names.push_back(port->name);
	}
	return names;
}

std::vector<std::shared_ptr<Port>> PortTable::Proxies() const
{
	std::vector<std::shared_ptr<Port>> proxies;
	for (const auto& [id, port] : fPorts) {
		if (port->remote)
			proxies.push_back(port);
	}
	return proxies;
}

status_t deliver_remote_record(port_id id, PortMessage& message)
{
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	if (!port || port->remote || port->deleted || port->closed)
		return B_BAD_PORT_ID;
	if (port->IsFull()) {
		port->remoteBacklog = true;
		return B_WOULD_BLOCK;
	}
	port->queue.push_back(std::move(message));
	port->totalCount++;
	port->readers.WakeAll();
	return B_OK;
}

bool local_port_exists(port_id id)
{
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	return port && !port->remote;
}

int32 port_total_count()
{
	KernelLock lock(kernel_mutex());
	return (int32)PortTable::Default().Count();
}

}

namespace {

// The listener holds records for a port that was full; something changed
// (room, or the port closed): let it try again. Kernel lock held.
void tell_listener(Port& port)
{
	if (port.remoteBacklog) {
		port.remoteBacklog = false;
		PortListener::Default().Poke();
	}
}

// Drops proxies whose remote port is no longer registered, so that a
// long-running program does not collect proxies of programs long gone.
void prune_proxies()
{
	std::vector<std::shared_ptr<Port>> proxies;
	{
		KernelLock lock(kernel_mutex());
		proxies = PortTable::Default().Proxies();
	}
	for (const auto& proxy : proxies) {
		if (port_entry_exists(proxy->remote->Entry().key))
			continue;
		KernelLock lock(kernel_mutex());
		proxy->remote->dead = true;
		proxy->remote->writers.WakeAll();
		PortTable::Default().Remove(proxy->id);
	}
}

status_t write_remote(KernelLock& lock, ThreadRecord* self, const std::shared_ptr<Port>& port,
	int32 code, const void* buffer, size_t size, const Deadline& deadline)
{
	std::shared_ptr<RemoteLink> link = port->remote;
	status_t status = block_until(lock, self, &link->writers, WaitKind::Port, port->id,
		deadline, [&] { return !link->busy || link->dead; });
	if (status == B_INTERRUPTED)
		end_killed_thread(lock);
	if (link->dead)
		return B_BAD_PORT_ID;
	if (status != B_OK)
		return status;

	link->busy = true;
	const int wakeFd = thread_wake_fd(self);
	self->waiting = WaitKind::Port;
	self->waitObject = port->id;
	lock.unlock();
	status = link->Write(code, buffer, size, deadline, wakeFd);
	lock.lock();
	self->waiting = WaitKind::None;
	self->waitObject = -1;
	link->busy = false;
	link->writers.WakeAll();
	if (status == B_BAD_PORT_ID) {
		// The remote port or its process is gone: so is the proxy.
		link->dead = true;
		if (PortTable::Default().Find(port->id) == port)
			PortTable::Default().Remove(port->id);
	}
	if (status == B_INTERRUPTED)
		end_killed_thread(lock);
	return status;
}

// Waits until the port has a message (or can have none any more).
status_t wait_for_message(KernelLock& lock, ThreadRecord* self, const std::shared_ptr<Port>& port,
	const Deadline& deadline)
{
	status_t status = block_until(lock, self, &port->readers, WaitKind::Port, port->id,
		deadline, [&] { return port->deleted || port->closed || !port->queue.empty(); });
	if (status == B_INTERRUPTED)
		end_killed_thread(lock);
	if (port->deleted || (port->queue.empty() && port->closed))
		return B_BAD_PORT_ID;
	return status;
}

}

port_id create_port(int32 capacity, const char* name)
{
	if (capacity <= 0)
		return B_BAD_VALUE;
	auto port = std::make_shared<Port>();
	port->capacity = capacity;
	port->team = getpid();
	if (name != nullptr)
		port->name = name;
	{
		KernelLock lock(kernel_mutex());
		PortTable& table = PortTable::Default();
		if (table.Count() >= B_MAX_PORT_COUNT)
			return B_NO_MORE_PORTS;
		port->id = table.NextId();
		table.Add(port);
	}
	// A port with a name can be found by the other processes of the user.
	// If that cannot be arranged, the port still works within the process.
	if (!port->name.empty())
		publish_port(port->id, port->name);
	return port->id;
}

port_id find_port(const char* name)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const std::string wanted = name;
	{
		KernelLock lock(kernel_mutex());
		if (auto local = PortTable::Default().FindLocal(wanted))
			return local->id;
	}

	prune_proxies();
	for (const PortEntry& entry : find_remote_ports(wanted, false)) {
		{
			KernelLock lock(kernel_mutex());
			auto proxy = PortTable::Default().FindProxy(entry.key);
			if (proxy && !proxy->remote->dead)
				return proxy->id;
		}
		// Connecting now proves that somebody listens; with the owner's
		// backlog full the connection is made at the first write.
		bool gone = false;
		int fd = connect_to_port(entry, &gone);
		if (gone)
			continue;

		KernelLock lock(kernel_mutex());
		PortTable& table = PortTable::Default();
		if (auto proxy = table.FindProxy(entry.key)) {
			if (fd >= 0)
				close(fd);
			return proxy->id;
		}
		if (table.Count() >= B_MAX_PORT_COUNT) {
			if (fd >= 0)
				close(fd);
			return B_NO_MORE_PORTS;
		}
		auto port = std::make_shared<Port>();
		port->id = table.NextId();
		port->name = entry.name;
		port->team = entry.owner;
		port->remote = std::make_shared<RemoteLink>(entry, fd);
		table.Add(port);
		return port->id;
	}
	return B_NAME_NOT_FOUND;
}

status_t write_port(port_id port, int32 code, const void* buffer, size_t bufferSize)
{
	return write_port_etc(port, code, buffer, bufferSize, 0, 0);
}

status_t write_port_etc(port_id id, int32 code, const void* buffer, size_t bufferSize,
	uint32 flags, bigtime_t timeout)
{
	if ((buffer == nullptr && bufferSize > 0) || bufferSize > kMaxPortMessageSize)
		return B_BAD_VALUE;
	const Deadline deadline = Deadline::From(flags, timeout);

	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	if (port->remote)
		return write_remote(lock, self, port, code, buffer, bufferSize, deadline);

	// The copy is made without the lock.
	lock.unlock();
	PortMessage message;
	message.code = code;
	const uint8* bytes = static_cast<const uint8*>(buffer);
	message.data.assign(bytes, bytes + bufferSize);
	lock.lock();

	status_t status = block_until(lock, self, &port->writers, WaitKind::Port, id, deadline,
		[&] { return port->deleted || port->closed || !port->IsFull(); });
	if (status == B_INTERRUPTED)
		end_killed_thread(lock);
	if (port->deleted || port->closed)
		return B_BAD_PORT_ID;
	if (status != B_OK)
		return status;
	port->queue.push_back(std::move(message));
	port->totalCount++;
	port->readers.WakeAll();
	return B_OK;
}

ssize_t read_port(port_id port, int32* code, void* buffer, size_t bufferSize)
{
	return read_port_etc(port, code, buffer, bufferSize, 0, 0);
}

ssize_t read_port_etc(port_id id, int32* code, void* buffer, size_t bufferSize,
	uint32 flags, bigtime_t timeout)
{
	if (buffer == nullptr && bufferSize > 0)
		return B_BAD_VALUE;
	const Deadline deadline = Deadline::From(flags, timeout);

	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	if (port->remote)
		return B_NOT_ALLOWED;  // only the owning process reads a port
	status_t status = wait_for_message(lock, self, port, deadline);
	if (status != B_OK)
		return status;

	PortMessage message = std::move(port->queue.front());
	port->queue.pop_front();
	port->writers.WakeAll();
	tell_listener(*port);
	lock.unlock();

	// A buffer too small gets what fits; the message is consumed all the same.
	const size_t size = std::min(bufferSize, message.data.size());
	if (size > 0)
		memcpy(buffer, message.data.data(), size);
	if (code != nullptr)
		*code = message.code;
	return (ssize_t)size;
}

ssize_t port_buffer_size(port_id port)
{
	return port_buffer_size_etc(port, 0, 0);
}

ssize_t port_buffer_size_etc(port_id id, uint32 flags, bigtime_t timeout)
{
	const Deadline deadline = Deadline::From(flags, timeout);
	KernelLock lock;
	ThreadRecord* self = enter_blocking_call(lock);
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	if (port->remote)
		return B_NOT_ALLOWED;
	status_t status = wait_for_message(lock, self, port, deadline);
	if (status != B_OK)
		return status;
	return (ssize_t)port->queue.front().data.size();
}

ssize_t port_count(port_id id)
{
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	if (port->remote)
		return B_NOT_ALLOWED;
	return (ssize_t)port->queue.size();
}

status_t close_port(port_id id)
{
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	if (port->remote)
		return B_NOT_ALLOWED;
	port->closed = true;
	port->readers.WakeAll();
	port->writers.WakeAll();
	tell_listener(*port);
	return B_OK;
}

status_t delete_port(port_id id)
{
	std::shared_ptr<Port> port;
	{
		KernelLock lock(kernel_mutex());
		port = PortTable::Default().Find(id);
		if (!port)
			return B_BAD_PORT_ID;
		// Another process's port is not ours to delete.
		if (port->remote)
			return B_NOT_ALLOWED;
		PortTable::Default().Remove(id);
		port->deleted = true;
		port->queue.clear();
		port->readers.WakeAll();
		port->writers.WakeAll();
		tell_listener(*port);
	}
	if (!port->name.empty())
		unpublish_port(id);
	return B_OK;
}

status_t get_port_info(port_id id, port_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	memset(info, 0, sizeof(*info));
	info->port = port->id;
	info->team = port->team;
	strncpy(info->name, port->name.c_str(), B_OS_NAME_LENGTH - 1);
	info->capacity = port->capacity;
	info->queue_count = (int32)port->queue.size();
	info->total_count = port->totalCount;
	return B_OK;
}

status_t set_port_owner(port_id id, team_id team)
{
	KernelLock lock(kernel_mutex());
	auto port = PortTable::Default().Find(id);
	if (!port)
		return B_BAD_PORT_ID;
	// There is one team here: ports cannot move to another process.
	if (port->remote || (team != B_CURRENT_TEAM && team != getpid()))
		return B_BAD_TEAM_ID;
	return B_OK;
}
