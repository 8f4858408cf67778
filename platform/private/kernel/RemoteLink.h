// The writing end of a proxy port: a connection to the socket of a named
// port in another process, kept open between writes (protocol: PortWire.h).
#ifndef PRIVATE_KERNEL_REMOTE_LINK_H
#define PRIVATE_KERNEL_REMOTE_LINK_H

#include <OS.h>

#include "kernel/Deadline.h"
#include "kernel/PortRegistry.h"
#include "kernel/ThreadTable.h"

namespace BPrivate {

class RemoteLink {
public:
	// `fd` is a connected socket, or -1 to connect on the first write.
	RemoteLink(const PortEntry& entry, int fd);
	~RemoteLink();

	const PortEntry& Entry() const { return fEntry; }

	// Guarded by the kernel lock: one writer at a time uses the connection;
	// the others wait in `writers`. `dead` once the remote port is gone.
	bool busy = false;
	bool dead = false;
	WaitList writers;

	// Sends one record and waits for it to get into the remote port, until
	// `deadline`. Only the thread that set `busy` calls it, without the
	// kernel lock. Returns B_OK, B_TIMED_OUT / B_WOULD_BLOCK (the record did
	// not get in), B_BAD_PORT_ID (the port or its process is gone),
	// B_BAD_VALUE, or B_INTERRUPTED when `wakeFd` (the caller's kill signal)
	// fired.
	status_t Write(int32 code, const void* buffer, size_t size,
		const Deadline& deadline, int wakeFd);

private:
	enum class Wait { Ready, TimedOut, Woken, Failed };
	Wait WaitFor(short events, bigtime_t until, int wakeFd);
	status_t SendAll(const uint8* data, size_t size, bigtime_t until, int wakeFd);
	status_t ReadReply(int32* reply, bigtime_t until, int wakeFd);
	void Disconnect();

	PortEntry fEntry;
	int fFd;
};

}

#endif
