// Writing the flattened form.
//
// Each field is written with its valid flag, the single-item flag when it
// has exactly one item, and the fixed-size flag whenever the field is
// fixed-size. The flags are independent bits, so a single fixed-size item
// carries both (0x0f for a small int32); a single string carries 0x0b.
// Variable-size items are each padded to a multiple of 8, the last one
// included: every item of the field is laid out the same way and the data
// size counts all the padding. The reader accepts a last item without its
// padding as well.
#include "app/MessageData.h"

#include "app/MessageCodecFormat.h"

#include <string.h>

namespace BPrivate {

using namespace codec;

namespace {

// How one field is laid out in the flattened form.
struct FieldLayout {
	size_t dataSize = 0;
	bool mini = false;
	bool single = false;
	size_t headerSize = 0;  // flags to the end of the name
};

FieldLayout layout_of(const MessageField& field)
{
	FieldLayout layout;
	size_t count = field.CountItems();
	for (size_t i = 0; i < count; i++) {
		layout.dataSize += field.fixedSize ? field.ItemSize(i)
			: padded_item_size(field.ItemSize(i));
	}
	layout.mini = layout.dataSize < kMiniLimit && count < kMiniLimit;
	layout.single = count == 1;
	size_t wordSize = layout.mini ? 1 : 4;
	layout.headerSize = 1 + 4 + (layout.single ? 0 : wordSize) + wordSize
		+ 1 + field.name.size();
	return layout;
}

// A field without items carries nothing and is left out: the flattened form
// has no way to say "no items", and a count of 0 would make readers divide
// by zero.
bool is_written(const MessageField& field)
{
	return !field.IsEmpty();
}

status_t check_field(const MessageField& field, const FieldLayout& layout)
{
	if (field.name.size() > kMaxNameLength)
		return B_BAD_VALUE;
	if (layout.dataSize > kMaximumSize)
		return B_BAD_VALUE;
	// Several empty items of a fixed-size field would be written as a bare
	// count that costs no bytes; readers cannot tell that from a hostile
	// count, so they refuse it, and it is not written either.
	if (field.fixedSize && field.ItemSize(0) == 0 && field.CountItems() > 1)
		return B_BAD_VALUE;
	return B_OK;
}

uint8 message_flags(const MessageHeader& header)
{
	uint8 flags = kMessageValid;
	if (header.hasTarget)
		flags |= kMessageHasTarget;
	if (header.hasReplyInfo)
		flags |= kMessageHasReply;
	if (header.scripting)
		flags |= kMessageScripting;
	return flags;
}

class Writer {
public:
	explicit Writer(uint8* buffer) : fPosition(buffer) {}

	void Byte(uint8 value) { *fPosition++ = value; }
	void Word(uint32 value) { write_le32(fPosition, value); fPosition += 4; }
	void Bytes(const void* data, size_t size)
	{
		if (size > 0)
			memcpy(fPosition, data, size);
		fPosition += size;
	}
	void Zeros(size_t size) { memset(fPosition, 0, size); fPosition += size; }
	uint8* Position() const { return fPosition; }

private:
	uint8* fPosition;
};

void write_field(Writer& out, const MessageField& field, const FieldLayout& layout)
{
	uint8 flags = kFieldValid;
	if (layout.mini)
		flags |= kFieldMiniData;
	if (field.fixedSize)
		flags |= kFieldFixedSize;
	if (layout.single)
		flags |= kFieldSingleItem;

	out.Byte(flags);
	out.Word(field.type);
	if (!layout.single) {
		if (layout.mini)
			out.Byte((uint8)field.CountItems());
		else
			out.Word((uint32)field.CountItems());
	}
	if (layout.mini)
		out.Byte((uint8)layout.dataSize);
	else
		out.Word((uint32)layout.dataSize);
	out.Byte((uint8)field.name.size());
	out.Bytes(field.name.data(), field.name.size());

	for (size_t i = 0; i < field.CountItems(); i++) {
		const uint8* item = field.ItemData(i);
		const size_t size = field.ItemSize(i);
		if (field.fixedSize) {
			out.Bytes(item, size);
			continue;
		}
		out.Word((uint32)size);
		out.Bytes(item, size);
		out.Zeros(padded_item_size(size) - 4 - size);
	}
}

}

size_t flattened_size(const MessageData& data)
{
	uint8 flags = message_flags(data.header);
	size_t size = header_size_for(flags);
	for (const MessageField& field : data.fields) {
		if (!is_written(field))
			continue;
		FieldLayout layout = layout_of(field);
		size += layout.headerSize + layout.dataSize;
	}
	return size + 1;
}

status_t flatten_message(const MessageData& data, uint8* buffer, size_t bufferSize)
{
	// Check everything first, so that nothing half-written is ever handed
	// out as a message.
	size_t size = header_size_for(message_flags(data.header)) + 1;
	for (const MessageField& field : data.fields) {
		if (!is_written(field))
			continue;
		FieldLayout layout = layout_of(field);
		status_t status = check_field(field, layout);
		if (status != B_OK)
			return status;
		size += layout.headerSize + layout.dataSize;
	}
	if (size > kMaximumSize)
		return B_BAD_VALUE;
	if (buffer == nullptr || bufferSize < size)
		return B_NO_MEMORY;

	const MessageHeader& header = data.header;
	uint8 flags = message_flags(header);
	Writer out(buffer);
	out.Word(kMagic);
	out.Word(0);  // the checksum, filled in below
	out.Word((uint32)size);
	out.Word(header.what);
	out.Byte(flags);
	if (header.hasTarget)
		out.Word((uint32)header.targetToken);
	if (header.hasReplyInfo) {
		out.Word((uint32)header.replyPort);
		out.Word((uint32)header.replyToken);
		out.Word((uint32)header.replyTeam);
		out.Byte(header.preferredTarget ? 1 : 0);
		out.Byte(header.replyRequired ? 1 : 0);
		out.Byte(header.replyDone ? 1 : 0);
		out.Byte(header.isReply ? 1 : 0);
	}
	size_t headerEnd = out.Position() - buffer;
	write_le32(buffer + 4, header_checksum(buffer + kChecksumStart,
		headerEnd - kChecksumStart));

	for (const MessageField& field : data.fields) {
		if (is_written(field))
			write_field(out, field, layout_of(field));
	}
	out.Byte(0);
	return B_OK;
}

status_t flatten_message(const MessageData& data, std::vector<uint8>* out)
{
	if (out == nullptr)
		return B_BAD_VALUE;
	// Into a fresh buffer, so that on failure *out is left as it was.
	std::vector<uint8> buffer(flattened_size(data));
	status_t status = flatten_message(data, buffer.data(), buffer.size());
	if (status == B_OK)
		out->swap(buffer);
	return status;
}

}
