// libFuzzer target: flattened messages read from files and streams
// (BMessage::Unflatten), nested messages included.
//
// Checks: whatever is read flattens and reads back to the same bytes, all
// its items can be found, and nested messages read the same way.
#include "fuzz/MessageWalk.h"

#include <DataIO.h>
#include <Message.h>

#include <stddef.h>
#include <stdint.h>

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	BMemoryIO stream(data, size);
	BMessage message;
	if (message.Unflatten(&stream) == B_OK)
		fuzzcheck::walk_message(message, "message");
	return 0;
}
