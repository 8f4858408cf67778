// libFuzzer target: the messages that other programs write to an
// application's port, turned into delivered messages as the port's reader
// thread does.
//
// Checks: what is taken is a whole message that can be gone through and
// flattened again; it carries its delivery as one from another program.
#include "fuzz/MessageWalk.h"

#include "app/AppLink.h"

#include <Message.h>

#include <stddef.h>
#include <stdint.h>

#include <memory>

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	std::unique_ptr<BMessage> message(BPrivate::message_from_wire(data, size));
	if (message) {
		fuzzcheck::check(message->WasDelivered() && message->IsSourceRemote(), "port",
			"a message from the port is not marked as delivered from outside");
		fuzzcheck::walk_message(*message, "port");
	}
	return 0;
}
