// Every shape of field through flatten and unflatten, the choice between
// the mini and the full form at its limits, and what flatten refuses.
#include <gtest/gtest.h>

#include "CodecTestUtil.h"

#include "app/MessageCodecFormat.h"

using namespace BPrivate;
using namespace codectest;

namespace {

MessageData round_trip(const MessageData& data)
{
	Bytes bytes = flatten(data);
	EXPECT_EQ(bytes.size(), flattened_size(data));
	MessageData back;
	EXPECT_EQ(unflatten_exact(bytes, &back), B_OK);
	return back;
}

// The flags byte of the first field of a message without optional header
// parts.
uint8 first_field_flags(const MessageData& data)
{
	return flatten(data).at(codec::kHeaderSize);
}

Bytes pattern(size_t size, uint8 seed)
{
	Bytes bytes(size);
	for (size_t i = 0; i < size; i++)
		bytes[i] = (uint8)(seed + i * 7);
	return bytes;
}

}

TEST(CodecRoundTrip, EveryItemShape)
{
	std::vector<Bytes> strings;
	for (int i = 0; i < 20; i++)
		strings.push_back(string_item(std::string(i, 'a' + i)));
	std::vector<Bytes> manyInts;
	for (int i = 0; i < 300; i++)
		manyInts.push_back(int32_item(i * 1000));
	Bytes nested = flatten(message('in  ', {field("k", B_INT32_TYPE, true, {int32_item(3)})}));

	MessageData data = message('shap', {
		field("fixed one", B_INT64_TYPE, true, {pattern(8, 1)}),
		field("fixed many", B_INT32_TYPE, true, {int32_item(-1), int32_item(0), int32_item(9)}),
		field("fixed many full", B_INT32_TYPE, true, manyInts),
		field("fixed one full", B_RAW_TYPE, true, {pattern(4000, 3)}),
		field("variable one", B_STRING_TYPE, false, {string_item("")}),
		field("variable many", B_STRING_TYPE, false, strings),
		field("variable full", B_RAW_TYPE, false, {pattern(300, 5), pattern(0, 0), pattern(9, 6)}),
		field("message", B_MESSAGE_TYPE, false, {nested, nested}),
		field("", 'ANY1', true, {{0x42}}),
		field(std::string(255, 'n'), B_BOOL_TYPE, true, {{1}}),
		field("empty item", B_RAW_TYPE, true, {Bytes()}),
	});
	EXPECT_EQ(round_trip(data), data);

	// Every header variant.
	data.header.hasTarget = true;
	data.header.targetToken = -7;
	data.header.hasReplyInfo = true;
	data.header.replyPort = 12;
	data.header.replyToken = -1;
	data.header.replyTeam = 99;
	data.header.preferredTarget = true;
	data.header.replyDone = true;
	data.header.isReply = true;
	data.header.scripting = true;
	EXPECT_EQ(round_trip(data), data);
	data.header.hasReplyInfo = false;
	data.header.replyPort = data.header.replyToken = data.header.replyTeam = -1;
	data.header.preferredTarget = data.header.replyDone = data.header.isReply = false;
	EXPECT_EQ(round_trip(data), data);
}

TEST(CodecRoundTrip, MiniFormUpToTheLimits)
{
	auto raw = [](size_t size) {
		return message(1, {field("r", B_RAW_TYPE, true, {Bytes(size, 1)})});
	};
	EXPECT_EQ(first_field_flags(raw(255)), 0x0f);
	EXPECT_EQ(first_field_flags(raw(256)), 0x0d);

	// A string's data size includes its length word and padding: 243
	// characters and the NUL make 248 bytes, one more makes 256.
	auto text = [](size_t length) {
		return message(1, {field("s", B_STRING_TYPE, false, {string_item(std::string(length, 'x'))})});
	};
	EXPECT_EQ(first_field_flags(text(243)), 0x0b);
	EXPECT_EQ(first_field_flags(text(244)), 0x09);

	for (size_t size : {255, 256})
		EXPECT_EQ(round_trip(raw(size)), raw(size));
	for (size_t length : {243, 244})
		EXPECT_EQ(round_trip(text(length)), text(length));
}

TEST(CodecRoundTrip, FullFormIsReadForSmallFieldsToo)
{
	// The same int32 field, written with int32 count and size words and
	// without the single-item flag.
	Bytes bytes = {
		0x31, 0x42, 0x4f, 0x46, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0x01,
		0x05, 0x47, 0x4e, 0x4f, 0x4c,
		0x01, 0x00, 0x00, 0x00,  // count 1
		0x04, 0x00, 0x00, 0x00,  // data size 4
		0x01, 'n', 0x07, 0x00, 0x00, 0x00,
		0x00,
	};
	reseal(&bytes);
	MessageData data;
	ASSERT_EQ(unflatten_exact(bytes, &data), B_OK);
	EXPECT_EQ(data, message(1, {field("n", B_INT32_TYPE, true, {int32_item(7)})}));
}

TEST(CodecRoundTrip, LastVariableItemWithoutPaddingIsRead)
{
	Bytes bytes = {
		0x31, 0x42, 0x4f, 0x46, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0x01,
		0x03, 0x52, 0x54, 0x53, 0x43, 0x02,
		0x0e,                                        // 8 + 6: no padding at the end
		0x01, 's',
		0x02, 0x00, 0x00, 0x00, 'a', 0x00, 0xee, 0xee,  // padding need not be zero
		0x02, 0x00, 0x00, 0x00, 'b', 0x00,
		0x00,
	};
	reseal(&bytes);
	MessageData data;
	ASSERT_EQ(unflatten_exact(bytes, &data), B_OK);
	MessageData expected = message(1, {field("s", B_STRING_TYPE, false,
		{string_item("a"), string_item("b")})});
	EXPECT_EQ(data, expected);
}

TEST(CodecRoundTrip, StringsAreKeptAsWritten)
{
	// No NUL at the end of the item: the reader of the field decides.
	MessageData data = message(1, {field("s", B_STRING_TYPE, false, {{'a', 'b'}})});
	EXPECT_EQ(round_trip(data), data);
}

TEST(CodecRoundTrip, BytesAfterTheMessageAreLeftAlone)
{
	MessageData data = message('one ', {field("n", B_INT32_TYPE, true, {int32_item(1)})});
	Bytes bytes = flatten(data);
	size_t size = bytes.size();
	Bytes second = flatten(message('two '));
	bytes.insert(bytes.end(), second.begin(), second.end());

	MessageData back;
	size_t used = 0;
	ASSERT_EQ(unflatten_exact(bytes, &back, &used), B_OK);
	EXPECT_EQ(used, size);
	EXPECT_EQ(back, data);
}

TEST(CodecFlatten, RefusesWhatCannotBeWritten)
{
	MessageData longName = message(1, {field(std::string(256, 'n'), B_INT32_TYPE, true, {int32_item(1)})});
	MessageData empties = message(1, {field("e", B_RAW_TYPE, true, {Bytes(), Bytes()})});
	// Items of unequal size cannot even be put in a fixed-size field.
	MessageField fixed = field("f", B_RAW_TYPE, true, {Bytes(4)});
	const Bytes five(5);
	EXPECT_FALSE(fixed.AddItem(five.data(), five.size()));
	EXPECT_FALSE(fixed.ReplaceItem(0, five.data(), five.size()));
	EXPECT_EQ(fixed, field("f", B_RAW_TYPE, true, {Bytes(4)}));
	for (const MessageData& bad : {longName, empties}) {
		Bytes out = {1, 2, 3};
		EXPECT_EQ(flatten_message(bad, &out), B_BAD_VALUE);
		EXPECT_EQ(out, (Bytes{1, 2, 3}));
	}

	MessageData data = message(1, {field("n", B_INT32_TYPE, true, {int32_item(1)})});
	Bytes buffer(flattened_size(data) - 1, 0xcc);
	EXPECT_EQ(flatten_message(data, buffer.data(), buffer.size()), B_NO_MEMORY);
	EXPECT_EQ(buffer, Bytes(buffer.size(), 0xcc));
	EXPECT_EQ(flatten_message(data, nullptr, 100), B_NO_MEMORY);
	EXPECT_EQ(flatten_message(data, nullptr), B_BAD_VALUE);
}

TEST(CodecFlatten, FieldsWithoutItemsAreLeftOut)
{
	MessageData data = message(1, {
		field("empty", B_INT32_TYPE, true, {}),
		field("n", B_INT32_TYPE, true, {int32_item(1)}),
	});
	MessageData back = round_trip(data);
	ASSERT_EQ(back.fields.size(), 1u);
	EXPECT_EQ(back.fields[0].name, "n");
}
