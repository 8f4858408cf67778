#include "kernel/RemoteLink.h"

#include "kernel/PortTable.h"
#include "kernel/PortWire.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace BPrivate {

namespace {

// How long a writer waits for the answer to a cancel. The owner answers at
// once unless it is stopped or hung; then the connection is given up.
const bigtime_t kCancelGrace = 5000000;
// How long a writer keeps trying to connect to a live owner whose backlog
// is full.
const bigtime_t kConnectPatience = 2000000;

}

RemoteLink::RemoteLink(const PortEntry& entry, int fd)
	:
	fEntry(entry),
	fFd(fd)
{
}

RemoteLink::~RemoteLink()
{
	Disconnect();
}

void RemoteLink::Disconnect()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
}

RemoteLink::Wait RemoteLink::WaitFor(short events, bigtime_t until, int wakeFd)
{
	for (;;) {
		int timeout = -1;
		if (until != B_INFINITE_TIMEOUT) {
			const bigtime_t left = until - system_time();
			if (left <= 0)
				timeout = 0;
			else
				timeout = (int)std::min<bigtime_t>((left + 999) / 1000, 60 * 60 * 1000);
		}
		pollfd fds[2] = {{fFd, events, 0}, {wakeFd, POLLIN, 0}};
		int count = poll(fds, wakeFd >= 0 ? 2 : 1, timeout);
		if (count < 0) {
			if (errno == EINTR)
				continue;
			return Wait::Failed;
		}
		if (wakeFd >= 0 && (fds[1].revents & POLLIN))
			return Wait::Woken;
		if (fds[0].revents != 0)
			return Wait::Ready;  // errors and hang-ups show in the next call
		if (until != B_INFINITE_TIMEOUT && system_time() >= until)
			return Wait::TimedOut;
	}
}

status_t RemoteLink::SendAll(const uint8* data, size_t size, bigtime_t until, int wakeFd)
{
	while (size > 0) {
		ssize_t sent = send(fFd, data, size, MSG_NOSIGNAL);
		if (sent > 0) {
			data += sent;
			size -= sent;
			continue;
		}
		if (sent < 0 && errno == EINTR)
			continue;
		if (sent < 0 && errno != EAGAIN)
			return B_BAD_PORT_ID;  // the owner closed the connection
		switch (WaitFor(POLLOUT, until, wakeFd)) {
			case Wait::Ready:
				break;
			case Wait::TimedOut:
				return B_TIMED_OUT;
			case Wait::Woken:
				return B_INTERRUPTED;
			case Wait::Failed:
				return B_ERROR;
		}
	}
	return B_OK;
}

status_t RemoteLink::ReadReply(int32* reply, bigtime_t until, int wakeFd)
{
	uint8 bytes[sizeof(int32)];
	size_t have = 0;
	while (have < sizeof(bytes)) {
		ssize_t length = recv(fFd, bytes + have, sizeof(bytes) - have, 0);
		if (length > 0) {
			have += length;
			continue;
		}
		if (length == 0)
			return B_BAD_PORT_ID;  // the port was deleted or its owner ended
		if (errno == EINTR)
			continue;
		if (errno != EAGAIN)
			return B_BAD_PORT_ID;
		switch (WaitFor(POLLIN, until, wakeFd)) {
			case Wait::Ready:
				break;
			case Wait::TimedOut:
				if (have == 0)
					return B_TIMED_OUT;
				break;  // half an answer: the rest is in flight
			case Wait::Woken:
				return B_INTERRUPTED;
			case Wait::Failed:
				return B_ERROR;
		}
	}
	memcpy(reply, bytes, sizeof(*reply));
	return B_OK;
}

status_t RemoteLink::Write(int32 code, const void* buffer, size_t size,
	const Deadline& deadline, int wakeFd)
{
	if (size > kMaxPortMessageSize)
		return B_BAD_VALUE;

	const bigtime_t connectUntil = system_time() + kConnectPatience;
	while (fFd < 0) {
		bool gone = false;
		fFd = connect_to_port(fEntry, &gone);
		if (fFd >= 0)
			break;
		if (gone)
			return B_BAD_PORT_ID;
		if (system_time() >= connectUntil)
			return B_ERROR;
		pollfd wake = {wakeFd, POLLIN, 0};
		if (poll(&wake, wakeFd >= 0 ? 1 : 0, 10) > 0)
			return B_INTERRUPTED;
	}

	std::vector<uint8> frame(kWireRecordHeader + size);
	frame[0] = kWireRecord;
	const uint32 size32 = (uint32)size;
	memcpy(&frame[1], &code, 4);
	memcpy(&frame[5], &size32, 4);
	if (size > 0)
		memcpy(&frame[kWireRecordHeader], buffer, size);

	status_t status = SendAll(frame.data(), frame.size(), deadline.at, wakeFd);
	if (status != B_OK) {
		// Half a record cannot be taken back: start afresh next time.
		Disconnect();
		return status == B_TIMED_OUT ? deadline.Expired() : status;
	}

	int32 reply = B_ERROR;
	status = ReadReply(&reply, deadline.at, wakeFd);
	if (status == B_TIMED_OUT) {
		// The port is full. Withdraw the record; the answer tells whether
		// it got in after all before the owner saw the cancel.
		const uint8 cancel = kWireCancel;
		const bigtime_t graceUntil = system_time() + kCancelGrace;
		status = SendAll(&cancel, 1, graceUntil, wakeFd);
		if (status == B_OK)
			status = ReadReply(&reply, graceUntil, wakeFd);
		if (status == B_OK && reply == B_TIMED_OUT)
			return deadline.Expired();
		if (status == B_TIMED_OUT) {
			Disconnect();
			return deadline.Expired();
		}
	}
	if (status != B_OK) {
		Disconnect();
		return status;
	}
	if (reply == B_BAD_PORT_ID || reply == B_BAD_VALUE)
		Disconnect();
	return reply;
}

}
