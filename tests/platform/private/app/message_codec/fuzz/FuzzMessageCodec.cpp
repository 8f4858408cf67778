// libFuzzer target for the flattened-message reader. Whatever the reader
// accepts must flatten again, read back to the same contents, and flatten a
// second time to the same bytes; everything else must be refused cleanly.
#include "app/MessageData.h"

#include <TypeConstants.h>

#include <stdlib.h>

using namespace BPrivate;

namespace {

void check(const uint8* data, size_t size, int depth)
{
	MessageData message;
	size_t used = 0;
	if (unflatten_message(data, size, &message, &used) != B_OK)
		return;
	size_t total = 0;
	if (used > size || flattened_size_from_header(data, size, &total) != B_OK
		|| total != used)
		abort();

	std::vector<uint8> flat;
	if (flatten_message(message, &flat) != B_OK || flat.size() != flattened_size(message))
		abort();
	MessageData again;
	if (unflatten_message(flat.data(), flat.size(), &again) != B_OK || !(again == message))
		abort();
	std::vector<uint8> second;
	if (flatten_message(again, &second) != B_OK || second != flat)
		abort();

	// Nested messages are kept as bytes; read them the way a caller would.
	if (depth >= 4)
		return;
	for (const MessageField& field : message.fields) {
		if (field.type != B_MESSAGE_TYPE)
			continue;
		for (size_t i = 0; i < field.CountItems(); i++)
			check(field.ItemData(i), field.ItemSize(i), depth + 1);
	}
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	check(data, size, 0);
	return 0;
}
