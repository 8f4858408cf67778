// Damaged and hostile flattened data: every case must be refused with an
// error, without reading outside the buffer (the buffers are exactly sized,
// so the address sanitizer would see it) and without a huge allocation.
#include <gtest/gtest.h>

#include "CodecTestUtil.h"

#include "app/MessageCodecFormat.h"

#include <string.h>

using namespace BPrivate;
using namespace codectest;

namespace {

// A message whose fields cover every shape, so that a cut lands in every
// kind of place.
MessageData sample()
{
	MessageData data = message('samp', {
		field("n", B_INT32_TYPE, true, {int32_item(7)}),
		field("v", B_INT32_TYPE, true, {int32_item(1), int32_item(2)}),
		field("s", B_STRING_TYPE, false, {string_item("hello"), string_item("")}),
		field("big", B_RAW_TYPE, true, {Bytes(300, 9)}),
		field("bigs", B_RAW_TYPE, false, {Bytes(10, 1), Bytes(260, 2)}),
	});
	data.header.hasTarget = true;
	data.header.targetToken = 3;
	data.header.hasReplyInfo = true;
	return data;
}

// Header and one field of raw bytes, resealed: for damaging one field.
Bytes with_field(const Bytes& field)
{
	Bytes bytes = {0x31, 0x42, 0x4f, 0x46, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0x01};
	bytes.insert(bytes.end(), field.begin(), field.end());
	bytes.push_back(0);
	reseal(&bytes);
	return bytes;
}

status_t read(const Bytes& bytes)
{
	MessageData out = message('keep');
	status_t status = unflatten_exact(bytes, &out);
	// A refused message leaves the caller's object alone.
	if (status != B_OK) {
		EXPECT_EQ(out, message('keep'));
	}
	return status;
}

}

TEST(CodecMalformed, EveryTruncationIsRefused)
{
	Bytes whole = flatten(sample());
	ASSERT_EQ(read(whole), B_OK);
	for (size_t size = 0; size < whole.size(); size++) {
		Bytes cut(whole.begin(), whole.begin() + size);
		EXPECT_NE(read(cut), B_OK) << "cut at " << size;
		// And with size and checksum made to match the cut, so that only
		// the fields' own sizes can tell.
		if (size >= codec::kHeaderSize) {
			reseal(&cut);
			EXPECT_EQ(read(cut), B_BAD_VALUE) << "resealed cut at " << size;
		}
	}
}

TEST(CodecMalformed, HeaderDamage)
{
	Bytes good = flatten(message('abcd', {field("n", B_INT32_TYPE, true, {int32_item(7)})}));

	Bytes magic = good;
	magic[3] = 'G';
	EXPECT_EQ(read(magic), B_NOT_A_MESSAGE);
	Bytes bigEndianMagic = good;
	memcpy(bigEndianMagic.data(), "FOB1", 4);
	EXPECT_EQ(read(bigEndianMagic), B_NOT_A_MESSAGE);

	Bytes checksum = good;
	checksum[4] ^= 1;
	EXPECT_EQ(read(checksum), B_BAD_VALUE);
	Bytes what = good;  // covered by the checksum
	what[12] ^= 1;
	EXPECT_EQ(read(what), B_BAD_VALUE);

	Bytes larger = good;
	codec::write_le32(larger.data() + 8, (uint32)good.size() + 1);
	EXPECT_EQ(read(larger), B_BAD_VALUE);

	// A size below the real one, with a matching checksum: the message then
	// ends inside its field.
	Bytes smaller = good;
	smaller.pop_back();
	reseal(&smaller);
	smaller.push_back(0);
	EXPECT_EQ(read(smaller), B_BAD_VALUE);

	for (uint32 size : {0u, 17u, 0x80000000u, 0xffffffffu}) {
		Bytes bad = good;
		codec::write_le32(bad.data() + 8, size);
		EXPECT_EQ(read(bad), B_BAD_VALUE) << size;
	}

	// Unknown flag bits, and a message not marked valid.
	for (uint8 flags : {0x11, 0x80, 0x00, 0x08}) {
		Bytes bad = good;
		bad[16] = flags;
		reseal(&bad);
		EXPECT_EQ(read(bad), B_BAD_VALUE) << (int)flags;
	}

	// Optional header parts announced in a message too short for them.
	Bytes empty = flatten(message('abcd'));
	empty[16] |= codec::kMessageHasReply;
	reseal(&empty);
	EXPECT_EQ(read(empty), B_BAD_VALUE);

	EXPECT_EQ(unflatten_message(nullptr, 10, nullptr), B_BAD_VALUE);
}

TEST(CodecMalformed, FieldListMustEndExactlyAtTheEnd)
{
	Bytes good = flatten(message('abcd', {field("n", B_INT32_TYPE, true, {int32_item(7)})}));

	Bytes noTerminator = good;
	noTerminator.back() = 0x0f;
	reseal(&noTerminator);
	EXPECT_EQ(read(noTerminator), B_BAD_VALUE);

	Bytes trailing = good;
	trailing.push_back(0);
	reseal(&trailing);
	EXPECT_EQ(read(trailing), B_BAD_VALUE);
}

TEST(CodecMalformed, BadFieldFlags)
{
	const Bytes body = {0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x01, 'n', 7, 0, 0, 0};
	for (uint8 flags : {0x0e, 0x1f, 0x8f}) {
		Bytes field = {flags};
		field.insert(field.end(), body.begin(), body.end());
		EXPECT_EQ(read(with_field(field)), B_BAD_VALUE) << (int)flags;
	}
	Bytes field = {0x0f};
	field.insert(field.end(), body.begin(), body.end());
	EXPECT_EQ(read(with_field(field)), B_OK);
}

TEST(CodecMalformed, CountsAndSizes)
{
	struct Case {
		const char* what;
		Bytes field;
	};
	const Case cases[] = {
		{"huge count, 10 bytes of fixed data",
			{0x05, 'T', 'Y', 'P', 'E', 0x00, 0x00, 0x00, 0x80, 0x0a, 0, 0, 0, 0x01, 'h',
			 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
		{"largest positive count, 10 bytes of fixed data",
			{0x05, 'T', 'Y', 'P', 'E', 0xff, 0xff, 0xff, 0x7f, 0x0a, 0, 0, 0, 0x01, 'h',
			 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
		{"huge count of empty fixed items",
			{0x05, 'T', 'Y', 'P', 'E', 0xff, 0xff, 0xff, 0x7f, 0, 0, 0, 0, 0x01, 'h'}},
		{"two empty fixed items",
			{0x07, 'T', 'Y', 'P', 'E', 0x02, 0x00, 0x01, 'h'}},
		{"huge count of variable items",
			{0x01, 'T', 'Y', 'P', 'E', 0xff, 0xff, 0xff, 0x7f, 0x08, 0, 0, 0, 0x01, 'h',
			 0, 0, 0, 0, 0, 0, 0, 0}},
		{"count 0",
			{0x07, 'T', 'Y', 'P', 'E', 0x00, 0x04, 0x01, 'z', 1, 2, 3, 4}},
		{"data size past the end",
			{0x0f, 'T', 'Y', 'P', 'E', 0x08, 0x01, 'p', 1, 2, 3, 4}},
		{"negative data size",
			{0x0d, 'T', 'Y', 'P', 'E', 0xfc, 0xff, 0xff, 0xff, 0x01, 'p', 1, 2, 3, 4}},
		{"fixed data that does not divide by the count",
			{0x07, 'T', 'Y', 'P', 'E', 0x03, 0x08, 0x01, 'd', 1, 2, 3, 4, 5, 6, 7, 8}},
		{"name past the end",
			{0x0f, 'T', 'Y', 'P', 'E', 0x00, 0x20, 'n', 'a', 'm', 'e'}},
		{"item length past the field",
			{0x0b, 'C', 'S', 'T', 'R', 0x08, 0x01, 's', 0x05, 0, 0, 0, 'a', 'b', 'c', 0}},
		{"negative item length",
			{0x0b, 'C', 'S', 'T', 'R', 0x08, 0x01, 's', 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0}},
		{"padding of a middle item past the field",
			{0x03, 'C', 'S', 'T', 'R', 0x02, 0x0c, 0x01, 's',
			 0x02, 0, 0, 0, 'a', 0, 0x02, 0, 0, 0, 'b', 0}},
		{"last item cut inside its padding",
			{0x0b, 'C', 'S', 'T', 'R', 0x07, 0x01, 's', 0x01, 0, 0, 0, 0, 0, 0}},
		{"bytes left over after the items",
			{0x0b, 'C', 'S', 'T', 'R', 0x10, 0x01, 's',
			 0x02, 0, 0, 0, 'a', 0, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9}},
		{"fewer items than the count",
			{0x03, 'C', 'S', 'T', 'R', 0x03, 0x10, 0x01, 's',
			 0x02, 0, 0, 0, 'a', 0, 0, 0, 0x02, 0, 0, 0, 'b', 0, 0, 0}},
	};
	for (const Case& c : cases)
		EXPECT_EQ(read(with_field(c.field)), B_BAD_VALUE) << c.what;
}

TEST(CodecMalformed, DuplicateNames)
{
	const Bytes one = {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x01, 'n', 7, 0, 0, 0};
	Bytes two = one;
	two.insert(two.end(), one.begin(), one.end());
	EXPECT_EQ(read(with_field(two)), B_BAD_VALUE);

	// Past the number of fields compared one by one as well.
	MessageData many = message(1);
	for (int i = 0; i < 40; i++)
		many.fields.push_back(field("f" + std::to_string(i), B_INT32_TYPE, true, {int32_item(i)}));
	ASSERT_EQ(read(flatten(many)), B_OK);
	many.fields.push_back(field("f3", B_INT32_TYPE, true, {int32_item(0)}));
	EXPECT_EQ(read(flatten(many)), B_BAD_VALUE);
}

TEST(CodecMalformed, NamesHoldingANulAreRefused)
{
	// Such a field could never be found by its name.
	const Bytes nul = {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x01, 0, 7, 0, 0, 0};
	EXPECT_EQ(read(with_field(nul)), B_BAD_VALUE);
	const Bytes inside = {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x02, 'a', 0, 7, 0, 0, 0};
	EXPECT_EQ(read(with_field(inside)), B_BAD_VALUE);
	const Bytes fine = {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x02, 'a', 'b', 7, 0, 0, 0};
	EXPECT_EQ(read(with_field(fine)), B_OK);
}

TEST(CodecHeader, SizeFromTheFirstTwelveBytes)
{
	Bytes bytes = flatten(message('abcd', {field("n", B_INT32_TYPE, true, {int32_item(7)})}));
	size_t total = 0;
	EXPECT_EQ(flattened_size_from_header(bytes.data(), 12, &total), B_OK);
	EXPECT_EQ(total, bytes.size());

	EXPECT_EQ(flattened_size_from_header(bytes.data(), 11, &total), B_BAD_VALUE);
	Bytes magic = bytes;
	magic[0] = 'x';
	EXPECT_EQ(flattened_size_from_header(magic.data(), 12, &total), B_NOT_A_MESSAGE);
	EXPECT_EQ(flattened_size_from_header(magic.data(), 4, &total), B_NOT_A_MESSAGE);
	for (uint32 size : {17u, 0x80000000u}) {
		codec::write_le32(bytes.data() + 8, size);
		EXPECT_EQ(flattened_size_from_header(bytes.data(), 12, &total), B_BAD_VALUE) << size;
	}
	EXPECT_EQ(flattened_size_from_header(nullptr, 12, &total), B_BAD_VALUE);
}

TEST(CodecMalformed, DeepNestingIsRefused)
{
	// Each level holds the one below as its only item. Deeper than any
	// writer goes is refused with an error, at once and not by recursion.
	auto nested = [](int levels) {
		std::vector<uint8> flat;
		EXPECT_EQ(flatten_message(message('leaf'), &flat), B_OK);
		for (int i = 1; i < levels; i++) {
			MessageData outer = message('nest');
			outer.fields.push_back(field("m", B_MESSAGE_TYPE, false, {flat}));
			flat.clear();
			EXPECT_EQ(flatten_message(outer, &flat), B_OK);
		}
		return flat;
	};
	MessageData out;
	const std::vector<uint8> deepest = nested(codec::kMaximumNesting + 1);
	EXPECT_EQ(unflatten_message(deepest.data(), deepest.size(), &out), B_OK);
	const std::vector<uint8> tooDeep = nested(codec::kMaximumNesting + 2);
	EXPECT_EQ(unflatten_message(tooDeep.data(), tooDeep.size(), &out), B_BAD_VALUE);
	const std::vector<uint8> tenThousand = nested(10000);
	EXPECT_EQ(unflatten_message(tenThousand.data(), tenThousand.size(), &out), B_BAD_VALUE);
}
