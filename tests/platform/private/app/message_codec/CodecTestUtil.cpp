#include <gtest/gtest.h>

#include "CodecTestUtil.h"

#include "app/MessageCodecFormat.h"

#include <memory>
#include <string.h>

namespace codectest {

void reseal(Bytes* bytes)
{
	using namespace BPrivate::codec;
	ASSERT_GE(bytes->size(), kHeaderSize);
	write_le32(bytes->data() + 8, (uint32)bytes->size());
	uint8 flags = (*bytes)[16];
	size_t end = std::min(header_size_for(flags), bytes->size());
	write_le32(bytes->data() + 4,
		header_checksum(bytes->data() + kChecksumStart, end - kChecksumStart));
}

status_t unflatten_exact(const Bytes& bytes, BPrivate::MessageData* out,
	size_t* used)
{
	std::unique_ptr<uint8[]> block(new uint8[bytes.size() > 0 ? bytes.size() : 1]);
	if (!bytes.empty())
		memcpy(block.get(), bytes.data(), bytes.size());
	return BPrivate::unflatten_message(block.get(), bytes.size(), out, used);
}

}
