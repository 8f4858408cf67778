#include "TIAPPortManager.h"

#include "IAPDefs.h"

#include <DataIO.h>
#include <Message.h>

#include <vector>

namespace {

const char* const kThreadName = "IAPPortManager";
const int32 kThreadPriority = 10;

}

TIAPPortManager::TIAPPortManager(BMessenger target)
	:
	TThread(kThreadName, kThreadPriority),
	fPort(kIAPPortPending),
	fTarget(target)
{
}

TIAPPortManager::~TIAPPortManager()
{
	// A thread that runs is stopped in order, so that it deletes its port
	// and is no longer using this object when the base class goes. One that
	// was never resumed is ended by the base class.
	Terminate();
	if (IsTerminated() || IsSuspended())
		return;
	while (Port() == kIAPPortPending && !IsTerminated())
		snooze(1000);
	PreventBlocking();
	Wait();
}

void TIAPPortManager::PreventBlocking()
{
	write_port(Port(), kIAPPortRecordCode, nullptr, 0);
}

int32 TIAPPortManager::Execute()
{
	const port_id port = create_port(kIAPPortCapacity, kIAPPortName);
	if (port < 0) {
		fPort = kIAPPortFailed;
		return -1;
	}
	fPort = port;

	while (!fTerminateRequested) {
		if (!ForwardNext(port))
			break;
	}

	delete_port(port);
	return 0;
}

bool TIAPPortManager::ForwardNext(port_id port)
{
	const ssize_t size = port_buffer_size(port);
	if (size < 0)
		return false;

	std::vector<char> buffer(size);
	int32 code;
	const ssize_t got = read_port(port, &code, buffer.data(), buffer.size());
	if (got < 0)
		return false;
	// An empty record only wakes the thread to look at the stop flag.
	if (got == 0)
		return true;

	// Records come from other programs: the message is read through a
	// stream bounded by the record, so a damaged or hostile record cannot
	// make the reader run past it.
	BMemoryIO stream(buffer.data(), got);
	BMessage message;
	if (message.Unflatten(&stream) == B_OK)
		fTarget.SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
	return true;
}
