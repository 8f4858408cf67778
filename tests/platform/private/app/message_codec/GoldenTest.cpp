// Flattened messages written out byte by byte from the format's rules, and
// checked in both directions: flattening gives exactly these bytes, and
// unflattening them gives the message back.
#include <gtest/gtest.h>

#include "CodecTestUtil.h"

#include "app/MessageCodecFormat.h"

using namespace BPrivate;
using namespace codectest;

namespace {

// Every golden message below has what = 'abcd', stored as 64 63 62 61. Its
// checksum covers bytes 8 to 16 (size, what, flags) unless the header has
// optional parts: the big-endian groups size and what, then the flags byte
// alone. With the size byte s (the sizes are all below 256 except where
// noted): (s << 24) + 0x64636261 + 0x01.
constexpr uint32 kWhat = 'abcd';

void expect_golden(const MessageData& data, const Bytes& golden)
{
	EXPECT_EQ(flattened_size(data), golden.size());
	EXPECT_EQ(flatten(data), golden);

	MessageData back;
	size_t used = 0;
	ASSERT_EQ(unflatten_exact(golden, &back, &used), B_OK);
	EXPECT_EQ(used, golden.size());
	EXPECT_EQ(back, data);
}

}

TEST(CodecGolden, EmptyMessage)
{
	expect_golden(message(kWhat), {
		0x31, 0x42, 0x4f, 0x46,  // "1BOF"
		0x62, 0x62, 0x63, 0x76,  // checksum 0x12000000 + 0x64636261 + 1
		0x12, 0x00, 0x00, 0x00,  // size 18
		0x64, 0x63, 0x62, 0x61,  // what
		0x01,                    // valid
		0x00,                    // end of fields
	});
}

TEST(CodecGolden, OneInt32)
{
	expect_golden(message(kWhat, {field("n", B_INT32_TYPE, true, {int32_item(7)})}), {
		0x31, 0x42, 0x4f, 0x46,
		0x62, 0x62, 0x63, 0x82,  // 0x1e000000 + 0x64636261 + 1
		0x1e, 0x00, 0x00, 0x00,  // size 30
		0x64, 0x63, 0x62, 0x61,
		0x01,
		0x0f,                    // valid, mini, fixed size, single item
		0x47, 0x4e, 0x4f, 0x4c,  // 'LONG'
		0x04,                    // data size (no count: single item)
		0x01, 'n',               // name
		0x07, 0x00, 0x00, 0x00,  // 7
		0x00,
	});
}

TEST(CodecGolden, String)
{
	expect_golden(message(kWhat, {field("s", B_STRING_TYPE, false, {string_item("hi")})}), {
		0x31, 0x42, 0x4f, 0x46,
		0x62, 0x62, 0x63, 0x86,  // 0x22000000 + 0x64636261 + 1
		0x22, 0x00, 0x00, 0x00,  // size 34
		0x64, 0x63, 0x62, 0x61,
		0x01,
		0x0b,                    // valid, mini, single item (not fixed size)
		0x52, 0x54, 0x53, 0x43,  // 'CSTR'
		0x08,                    // data size: 4 + 3 padded to 8
		0x01, 's',
		0x03, 0x00, 0x00, 0x00,  // length, NUL included
		'h', 'i', 0x00,
		0x00,                    // padding
		0x00,
	});
}

TEST(CodecGolden, TwoInt32Items)
{
	expect_golden(message(kWhat, {field("v", B_INT32_TYPE, true,
			{int32_item(1), int32_item(2)})}), {
		0x31, 0x42, 0x4f, 0x46,
		0x62, 0x62, 0x63, 0x87,  // 0x23000000 + 0x64636261 + 1
		0x23, 0x00, 0x00, 0x00,  // size 35
		0x64, 0x63, 0x62, 0x61,
		0x01,
		0x07,                    // valid, mini, fixed size
		0x47, 0x4e, 0x4f, 0x4c,
		0x02,                    // count
		0x08,                    // data size
		0x01, 'v',
		0x01, 0x00, 0x00, 0x00,
		0x02, 0x00, 0x00, 0x00,
		0x00,
	});
}

TEST(CodecGolden, NestedMessage)
{
	Bytes inner = flatten(message(kWhat));
	ASSERT_EQ(inner.size(), 18u);
	expect_golden(message(kWhat, {field("m", B_MESSAGE_TYPE, false, {inner})}), {
		0x31, 0x42, 0x4f, 0x46,
		0x62, 0x62, 0x63, 0x96,  // 0x32000000 + 0x64636261 + 1
		0x32, 0x00, 0x00, 0x00,  // size 50
		0x64, 0x63, 0x62, 0x61,
		0x01,
		0x0b,
		0x47, 0x47, 0x53, 0x4d,  // 'MSGG'
		0x18,                    // data size: 4 + 18 padded to 24
		0x01, 'm',
		0x12, 0x00, 0x00, 0x00,  // length 18, then the empty message
		0x31, 0x42, 0x4f, 0x46, 0x62, 0x62, 0x63, 0x76, 0x12, 0x00, 0x00, 0x00,
		0x64, 0x63, 0x62, 0x61, 0x01, 0x00,
		0x00, 0x00,              // padding
		0x00,
	});
}

TEST(CodecGolden, LargeDataUsesFullWords)
{
	Bytes first(128, 0xaa);
	Bytes second(128, 0x55);
	Bytes golden = {
		0x31, 0x42, 0x4f, 0x46,
		0x62, 0x62, 0x64, 0x85,  // 0x21010000 + 0x64636261 + 1
		0x21, 0x01, 0x00, 0x00,  // size 289
		0x64, 0x63, 0x62, 0x61,
		0x01,
		0x05,                    // valid, fixed size: no mini data
		0x54, 0x57, 0x41, 0x52,  // 'RAWT'
		0x02, 0x00, 0x00, 0x00,  // count as int32
		0x00, 0x01, 0x00, 0x00,  // data size 256 as int32
		0x01, 'r',
	};
	golden.insert(golden.end(), first.begin(), first.end());
	golden.insert(golden.end(), second.begin(), second.end());
	golden.push_back(0x00);
	expect_golden(message(kWhat, {field("r", B_RAW_TYPE, true, {first, second})}), golden);
}

TEST(CodecGolden, TargetAndReplyInformation)
{
	MessageData data = message(kWhat);
	data.header.hasTarget = true;
	data.header.targetToken = 5;
	data.header.hasReplyInfo = true;
	data.header.replyPort = 0x10;
	data.header.replyToken = 0x20;
	data.header.replyTeam = 0x30;
	data.header.replyRequired = true;
	// The checksum runs over bytes 8 to 36, in big-endian groups of four:
	//   26000000 64636261 07050000 00100000 00200000 00300000 00000100
	// then the one byte left, 00. Sum 0x91c86361.
	expect_golden(data, {
		0x31, 0x42, 0x4f, 0x46,
		0x61, 0x63, 0xc8, 0x91,
		0x26, 0x00, 0x00, 0x00,  // size 38
		0x64, 0x63, 0x62, 0x61,
		0x07,                    // valid, target, reply information
		0x05, 0x00, 0x00, 0x00,  // target token
		0x10, 0x00, 0x00, 0x00,  // reply port
		0x20, 0x00, 0x00, 0x00,  // reply token
		0x30, 0x00, 0x00, 0x00,  // reply team
		0x00, 0x01, 0x00, 0x00,  // preferred target, reply required, done, is reply
		0x00,
	});
}

TEST(CodecGolden, ChecksumAddsTrailingBytesAsRunningValue)
{
	// Groups 01020304, then t = 05 and t = 0506: 0x01020304 + 0x05 + 0x0506.
	const uint8 bytes[] = {1, 2, 3, 4, 5, 6};
	EXPECT_EQ(codec::header_checksum(bytes, sizeof(bytes)), 0x0102080fu);
	EXPECT_EQ(codec::header_checksum(bytes, 0), 0u);
}

// A message with mini-data fields as the original platform laid them out,
// written by hand: what 'PREF'; "x" int32 -2; "title" string "Verso"; "on"
// two bools; "names" two strings.
TEST(CodecGolden, HandMadeMessageReadsBack)
{
	const Bytes r5 = {
		0x31, 0x42, 0x4f, 0x46,
		0x51, 0x52, 0x45, 0xa9,  // 0x63000000 + 0x46455250 + 1
		0x63, 0x00, 0x00, 0x00,  // size 99
		0x46, 0x45, 0x52, 0x50,  // 'PREF'
		0x01,
		// "x": 12 bytes
		0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x01, 'x', 0xfe, 0xff, 0xff, 0xff,
		// "title": 28 bytes
		0x0b, 0x52, 0x54, 0x53, 0x43, 0x10, 0x05, 't', 'i', 't', 'l', 'e',
		0x06, 0x00, 0x00, 0x00, 'V', 'e', 'r', 's', 'o', 0x00,
		0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
		// "on": 12 bytes; 'BOOL'
		0x07, 0x4c, 0x4f, 0x4f, 0x42, 0x02, 0x02, 0x02, 'o', 'n', 0x01, 0x00,
		// "names": 29 bytes
		0x03, 0x52, 0x54, 0x53, 0x43, 0x02, 0x10, 0x05, 'n', 'a', 'm', 'e', 's',
		0x02, 0x00, 0x00, 0x00, 'a', 0x00, 0x00, 0x00,
		0x03, 0x00, 0x00, 0x00, 'b', 'c', 0x00, 0x00,
		0x00,
	};
	ASSERT_EQ(r5.size(), 99u);

	MessageData data;
	ASSERT_EQ(unflatten_exact(r5, &data), B_OK);
	MessageData expected = message('PREF', {
		field("x", B_INT32_TYPE, true, {int32_item(-2)}),
		field("title", B_STRING_TYPE, false, {string_item("Verso")}),
		field("on", B_BOOL_TYPE, true, {{1}, {0}}),
		field("names", B_STRING_TYPE, false, {string_item("a"), string_item("bc")}),
	});
	EXPECT_EQ(data, expected);
	ASSERT_NE(data.Find("title"), nullptr);
	const MessageField* title = data.Find("title");
	EXPECT_EQ(Bytes(title->ItemData(0), title->ItemData(0) + title->ItemSize(0)),
		string_item("Verso"));
	EXPECT_EQ(data.Find("nothing"), nullptr);

	// Written again, it comes out byte for byte the same.
	EXPECT_EQ(flatten(data), r5);
}
