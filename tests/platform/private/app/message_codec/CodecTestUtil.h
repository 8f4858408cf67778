// Building messages and byte sequences for the codec tests.
#ifndef MESSAGE_CODEC_TEST_UTIL_H
#define MESSAGE_CODEC_TEST_UTIL_H

#include <gtest/gtest.h>

#include "app/MessageData.h"

#include <SupportDefs.h>
#include <TypeConstants.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace codectest {

using Bytes = std::vector<uint8>;

inline Bytes int32_item(int32 value)
{
	uint32 v = (uint32)value;
	return {(uint8)v, (uint8)(v >> 8), (uint8)(v >> 16), (uint8)(v >> 24)};
}

// A string item: its bytes and the NUL.
inline Bytes string_item(const std::string& text)
{
	Bytes item(text.size() + 1, 0);
	std::copy(text.begin(), text.end(), item.begin());
	return item;
}

inline BPrivate::MessageField field(const std::string& name, type_code type,
	bool fixedSize, std::vector<Bytes> items)
{
	BPrivate::MessageField f;
	f.name = name;
	f.type = type;
	f.fixedSize = fixedSize;
	for (const Bytes& item : items)
		EXPECT_TRUE(f.AddItem(item.data(), item.size()));
	return f;
}

inline BPrivate::MessageData message(uint32 what,
	std::initializer_list<BPrivate::MessageField> fields = {})
{
	BPrivate::MessageData m;
	m.header.what = what;
	m.fields = fields;
	return m;
}

inline Bytes flatten(const BPrivate::MessageData& data)
{
	Bytes out;
	EXPECT_EQ(BPrivate::flatten_message(data, &out), B_OK);
	return out;
}

// Sets the size field to the buffer's length and recomputes the checksum,
// so that a damaged message fails on what was damaged, not on those.
void reseal(Bytes* bytes);

// Unflattens from a heap block of exactly bytes.size() bytes, so that the
// address sanitizer sees any read past the end.
status_t unflatten_exact(const Bytes& bytes, BPrivate::MessageData* out,
	size_t* used = nullptr);

}

#endif
