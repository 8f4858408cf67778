#include "kernel/PortListener.h"

#include "kernel/PortWire.h"
#include "kernel/ThreadName.h"

#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace BPrivate {

namespace {

// More connections to one port than any sane set of programs makes.
const size_t kMaxConnectionsPerPort = 256;

}

PortListener& PortListener::Default()
{
	// Never destroyed: the thread runs until the process ends.
	static PortListener* listener = new PortListener;
	return *listener;
}

PortListener::PortListener()
{
	fWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void PortListener::Serve(port_id port, int listenFd)
{
	std::lock_guard<std::mutex> lock(fLock);
	fAdded.emplace_back(port, listenFd);
	if (!fStarted) {
		fStarted = true;
		std::thread([this] {
			name_this_thread("port listener");
			Run();
		}).detach();
	}
	Poke();
}

void PortListener::Stop(port_id port)
{
	std::lock_guard<std::mutex> lock(fLock);
	fRemoved.push_back(port);
	Poke();
}

void PortListener::Poke()
{
	uint64_t one = 1;
	(void)!write(fWakeFd, &one, sizeof(one));
}

void PortListener::Run()
{
	std::vector<pollfd> fds;
	std::vector<port_id> listeningPorts;
	for (;;) {
		fds.clear();
		listeningPorts.clear();
		fds.push_back({fWakeFd, POLLIN, 0});
		for (const auto& [port, fd] : fListening) {
			fds.push_back({fd, POLLIN, 0});
			listeningPorts.push_back(port);
		}
		const size_t connectionCount = fConnections.size();
		for (const Connection& connection : fConnections)
			fds.push_back({connection.fd, POLLIN, 0});

		if (poll(fds.data(), fds.size(), -1) < 0) {
			if (errno == EINTR)
				continue;
			fprintf(stderr, "libbe: port listener stops: %s\n", strerror(errno));
			return;
		}

		// Connections first, then new ones, then the requests: a request
		// may close sockets that the poll set still names.
		const size_t firstConnection = 1 + listeningPorts.size();
		for (size_t i = 0; i < connectionCount; i++) {
			if (fds[firstConnection + i].revents != 0 && !ReadFrom(fConnections[i])) {
				close(fConnections[i].fd);
				fConnections[i].fd = -1;
			}
		}
		for (size_t i = 0; i < listeningPorts.size(); i++) {
			if (fds[1 + i].revents & POLLIN)
				Accept(listeningPorts[i], fds[1 + i].fd);
		}
		if (fds[0].revents & POLLIN) {
			uint64_t count;
			(void)!read(fWakeFd, &count, sizeof(count));
			TakeRequests();
			// Room may have been made in a port that records wait for.
			for (Connection& connection : fConnections) {
				if (connection.fd >= 0 && connection.holding
					&& !(Deliver(connection) && Parse(connection))) {
					close(connection.fd);
					connection.fd = -1;
				}
			}
		}
		fConnections.erase(std::remove_if(fConnections.begin(), fConnections.end(),
			[](const Connection& c) { return c.fd < 0; }), fConnections.end());
	}
}

void PortListener::TakeRequests()
{
	std::vector<std::pair<port_id, int>> added;
	std::vector<port_id> removed;
	{
		std::lock_guard<std::mutex> lock(fLock);
		added.swap(fAdded);
		removed.swap(fRemoved);
	}
	for (const auto& [port, fd] : added)
		fListening[port] = fd;
	for (port_id port : removed) {
		auto found = fListening.find(port);
		if (found != fListening.end()) {
			close(found->second);
			fListening.erase(found);
		}
		CloseConnectionsOf(port);
	}
}

void PortListener::CloseConnectionsOf(port_id port)
{
	for (Connection& connection : fConnections) {
		if (connection.port == port && connection.fd >= 0) {
			close(connection.fd);
			connection.fd = -1;
		}
	}
}

void PortListener::Accept(port_id port, int listenFd)
{
	for (;;) {
		int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
		if (fd < 0)
			return;
		// The folder is private already; this is a second line of defence.
		ucred credentials{};
		socklen_t length = sizeof(credentials);
		const size_t open = std::count_if(fConnections.begin(), fConnections.end(),
			[port](const Connection& c) { return c.port == port && c.fd >= 0; });
		if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
			|| credentials.uid != geteuid() || open >= kMaxConnectionsPerPort) {
			close(fd);
			continue;
		}
		Connection connection;
		connection.fd = fd;
		connection.port = port;
		fConnections.push_back(std::move(connection));
	}
}

bool PortListener::ReadFrom(Connection& connection)
{
	uint8 buffer[65536];
	for (;;) {
		ssize_t length = read(connection.fd, buffer, sizeof(buffer));
		if (length == 0)
			return false;  // the writer went away; a held record is dropped
		if (length < 0) {
			if (errno == EINTR)
				continue;
			if (errno == EAGAIN)
				break;
			return false;
		}
		connection.input.insert(connection.input.end(), buffer, buffer + length);
		// Nobody honest sends more than one record before the reply.
		if (connection.input.size() > kMaxPortMessageSize + 2 * kWireRecordHeader)
			return false;
	}
	return Parse(connection);
}

bool PortListener::Parse(Connection& connection)
{
	std::vector<uint8>& input = connection.input;
	size_t used = 0;
	bool ok = true;
	while (ok && used < input.size()) {
		const uint8 kind = input[used];
		if (kind == kWireCancel) {
			used++;
			// Without a held record the record got in first, and its B_OK
			// is already on its way: the cancel needs no answer.
			if (connection.holding) {
				connection.holding = false;
				connection.held = PortMessage();
				ok = Reply(connection, B_TIMED_OUT);
			}
			continue;
		}
		// While a record is held, the only thing a writer may send is a
		// cancel.
		if (kind != kWireRecord || connection.holding) {
			ok = false;
			break;
		}
		if (input.size() - used < kWireRecordHeader)
			break;
		int32 code;
		uint32 size;
		memcpy(&code, &input[used + 1], 4);
		memcpy(&size, &input[used + 5], 4);
		if (size > kMaxPortMessageSize) {
			Reply(connection, B_BAD_VALUE);
			ok = false;
			break;
		}
		if (input.size() - used - kWireRecordHeader < size)
			break;
		const uint8* data = &input[used + kWireRecordHeader];
		connection.held.code = code;
		connection.held.data.assign(data, data + size);
		connection.holding = true;
		used += kWireRecordHeader + size;
		ok = Deliver(connection);
	}
	input.erase(input.begin(), input.begin() + std::min(used, input.size()));
	return ok;
}

bool PortListener::Deliver(Connection& connection)
{
	status_t status = deliver_remote_record(connection.port, connection.held);
	if (status == B_WOULD_BLOCK)
		return true;  // held until a read makes room
	connection.holding = false;
	connection.held = PortMessage();
	return Reply(connection, status);
}

bool PortListener::Reply(const Connection& connection, status_t status)
{
	int32 value = status;
	return send(connection.fd, &value, sizeof(value), MSG_NOSIGNAL | MSG_DONTWAIT)
		== (ssize_t)sizeof(value);
}

}
