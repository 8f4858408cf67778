// The thread that serves the sockets of this process's named ports: it
// accepts connections from other processes of the user and feeds the records
// they send into the local ports (the protocol is in PortWire.h).
//
// A record for a full port is held, and its connection is not read further,
// until a read makes room; so a full port blocks the remote writer as it
// blocks a local one. The thread starts when the first port is published and
// runs until the process ends.
#ifndef PRIVATE_KERNEL_PORT_LISTENER_H
#define PRIVATE_KERNEL_PORT_LISTENER_H

#include <OS.h>

#include "kernel/PortTable.h"

#include <map>
#include <mutex>
#include <vector>

namespace BPrivate {

class PortListener {
public:
	static PortListener& Default();

	// Starts serving `listenFd` (the listener owns it from now on) for
	// local port `port`.
	void Serve(port_id port, int listenFd);
	// Stops serving `port`: its socket and all connections to it close, so
	// writers in other processes learn at once that it is gone.
	void Stop(port_id port);
	// A port that had records held for it got room. Safe to call with the
	// kernel lock held.
	void Poke();

private:
	struct Connection {
		int fd = -1;
		port_id port = -1;
		std::vector<uint8> input;       // bytes received, not yet parsed
		bool holding = false;           // a record waits for room
		PortMessage held;
	};

	PortListener();
	void Run();
	void TakeRequests();
	void Accept(port_id port, int listenFd);
	bool ReadFrom(Connection& connection);
	bool Parse(Connection& connection);
	bool Deliver(Connection& connection);
	static bool Reply(const Connection& connection, status_t status);
	void CloseConnectionsOf(port_id port);

	int fWakeFd = -1;

	std::mutex fLock;                   // guards the requests and fStarted
	bool fStarted = false;
	std::vector<std::pair<port_id, int>> fAdded;
	std::vector<port_id> fRemoved;

	// Owned by the listener thread alone.
	std::map<port_id, int> fListening;
	std::vector<Connection> fConnections;
};

}

#endif
