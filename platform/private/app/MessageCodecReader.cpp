// Reading the flattened form. The data may come from a file or from another
// process, so every count and size is checked against the bytes that are
// actually there before anything is read or allocated.
#include "app/MessageData.h"

#include "app/MessageCodecFormat.h"

#include <TypeConstants.h>

#include <string.h>

#include <string>
#include <string_view>
#include <unordered_set>

namespace BPrivate {

using namespace codec;

namespace {

// A bounded view of the bytes still to be read. Every read fails instead of
// running past the end.
class Reader {
public:
	Reader(const uint8* data, size_t size) : fData(data), fLeft(size) {}

	size_t Left() const { return fLeft; }

	bool Byte(uint8* value)
	{
		if (fLeft < 1)
			return false;
		*value = *fData++;
		fLeft--;
		return true;
	}

	bool Word(uint32* value)
	{
		if (fLeft < 4)
			return false;
		*value = read_le32(fData);
		fData += 4;
		fLeft -= 4;
		return true;
	}

	// A count or size written as an int32: negative values are rejected.
	bool Length(size_t* value)
	{
		uint32 word;
		if (!Word(&word) || word > kMaximumSize)
			return false;
		*value = word;
		return true;
	}

	bool Take(size_t size, const uint8** bytes)
	{
		if (fLeft < size)
			return false;
		*bytes = fData;
		fData += size;
		fLeft -= size;
		return true;
	}

private:
	const uint8* fData;
	size_t fLeft;
};

// Duplicate field names would make one of the fields unreachable; no writer
// produces them. Few fields are compared directly, many through a set.
class NameCheck {
public:
	bool Add(const std::vector<MessageField>& fields, std::string_view name)
	{
		if (fSet.empty() && fields.size() < kDirectLimit) {
			for (const MessageField& field : fields) {
				if (field.name == name)
					return false;
			}
			return true;
		}
		if (fSet.empty()) {
			for (const MessageField& field : fields)
				fSet.insert(field.name);
		}
		return fSet.emplace(name).second;
	}

private:
	static constexpr size_t kDirectLimit = 16;
	// Copies, not views: the fields' strings move when the vector grows.
	std::unordered_set<std::string> fSet;
};

status_t read_items(const uint8* data, size_t dataSize, size_t count,
	bool fixedSize, MessageField* field)
{
	if (count == 0)
		return B_BAD_VALUE;

	if (fixedSize) {
		if (dataSize % count != 0)
			return B_BAD_VALUE;
		size_t itemSize = dataSize / count;
		// Empty items cost no bytes, so a count of them could ask for any
		// number of allocations. One is allowed; more are never written.
		if (itemSize == 0 && count > 1)
			return B_BAD_VALUE;
		field->Reserve(count, dataSize);
		for (size_t i = 0; i < count; i++)
			field->AddItem(data + i * itemSize, itemSize);
		return B_OK;
	}

	// Each item takes at least its length word, and all but the last at
	// least 8 bytes.
	if (count > dataSize / 8 + 1 || (count - 1) * 8 + 4 > dataSize)
		return B_BAD_VALUE;
	field->Reserve(count, dataSize);
	Reader in(data, dataSize);
	for (size_t i = 0; i < count; i++) {
		size_t length;
		const uint8* bytes;
		if (!in.Length(&length) || !in.Take(length, &bytes))
			return B_BAD_VALUE;
		size_t padding = padded_item_size(length) - 4 - length;
		const uint8* skipped;
		bool last = i + 1 == count;
		// The last item may come without its padding.
		if (!(last && in.Left() == 0) && !in.Take(padding, &skipped))
			return B_BAD_VALUE;
		field->AddItem(bytes, length);
	}
	return in.Left() == 0 ? B_OK : B_BAD_VALUE;
}

status_t read_field(Reader& in, uint8 flags, MessageField* field)
{
	if ((flags & ~kFieldKnownFlags) != 0 || (flags & kFieldValid) == 0)
		return B_BAD_VALUE;
	bool mini = (flags & kFieldMiniData) != 0;

	uint32 type;
	if (!in.Word(&type))
		return B_BAD_VALUE;

	size_t count = 1;
	size_t dataSize;
	if (mini) {
		uint8 value;
		if (!(flags & kFieldSingleItem)) {
			if (!in.Byte(&value))
				return B_BAD_VALUE;
			count = value;
		}
		if (!in.Byte(&value))
			return B_BAD_VALUE;
		dataSize = value;
	} else {
		if (!(flags & kFieldSingleItem) && !in.Length(&count))
			return B_BAD_VALUE;
		if (!in.Length(&dataSize))
			return B_BAD_VALUE;
	}

	uint8 nameLength;
	const uint8* name;
	const uint8* data;
	if (!in.Byte(&nameLength) || !in.Take(nameLength, &name)
		|| !in.Take(dataSize, &data))
		return B_BAD_VALUE;

	// Names are looked up as C strings: one holding a NUL could never be
	// found, and no writer makes one.
	if (memchr(name, 0, nameLength) != nullptr)
		return B_BAD_VALUE;
	field->name.assign((const char*)name, nameLength);
	field->type = type;
	field->fixedSize = (flags & kFieldFixedSize) != 0;
	return read_items(data, dataSize, count, field->fixedSize, field);
}

// Where a nested message's bytes are, without copying them.
struct Span {
	const uint8* data;
	size_t size;
};

// The items of the message-typed fields of the flattened message at
// `buffer`, appended to `out`. False when the bytes do not read as a
// message: they are then not looked into (reading them later fails).
bool nested_items(const uint8* buffer, size_t size, std::vector<Span>* out)
{
	size_t total;
	if (flattened_size_from_header(buffer, size, &total) != B_OK || total > size)
		return false;
	const uint8 flags = buffer[16];
	if ((flags & ~kMessageKnownFlags) != 0 || (flags & kMessageValid) == 0)
		return false;
	const size_t headerEnd = header_size_for(flags);
	if (headerEnd + 1 > total)
		return false;
	Reader in(buffer + headerEnd, total - headerEnd);
	for (;;) {
		uint8 fieldFlags;
		if (!in.Byte(&fieldFlags))
			return false;
		if (fieldFlags == 0)
			return true;
		if ((fieldFlags & ~kFieldKnownFlags) != 0 || (fieldFlags & kFieldValid) == 0)
			return false;
		const bool mini = (fieldFlags & kFieldMiniData) != 0;
		const bool single = (fieldFlags & kFieldSingleItem) != 0;
		uint32 type;
		if (!in.Word(&type))
			return false;
		size_t count = 1;
		size_t dataSize;
		if (mini) {
			uint8 value;
			if (!single) {
				if (!in.Byte(&value))
					return false;
				count = value;
			}
			if (!in.Byte(&value))
				return false;
			dataSize = value;
		} else {
			if (!single && !in.Length(&count))
				return false;
			if (!in.Length(&dataSize))
				return false;
		}
		uint8 nameLength;
		const uint8* name;
		const uint8* data;
		if (!in.Byte(&nameLength) || !in.Take(nameLength, &name)
			|| !in.Take(dataSize, &data))
			return false;
		if (type != B_MESSAGE_TYPE || count == 0)
			continue;
		if ((fieldFlags & kFieldFixedSize) != 0) {
			// Empty items hold no message (and might be counted in
			// billions).
			if (dataSize % count != 0 || dataSize / count == 0)
				continue;
			for (size_t i = 0; i < count; i++)
				out->push_back({ data + i * (dataSize / count), dataSize / count });
			continue;
		}
		Reader items(data, dataSize);
		for (size_t i = 0; i < count && items.Left() > 0; i++) {
			size_t length;
			const uint8* bytes;
			const uint8* skipped;
			if (!items.Length(&length) || !items.Take(length, &bytes))
				return false;
			out->push_back({ bytes, length });
			const size_t padding = padded_item_size(length) - 4 - length;
			if (items.Left() > 0 && !items.Take(padding, &skipped))
				return false;
		}
	}
}

// Whether the messages nested in `message` go no deeper than
// kMaximumNesting levels. Walked with a list of its own, not by recursion,
// so that the check itself needs no stack for deep data.
bool nesting_allowed(const MessageData& message)
{
	std::vector<Span> level;
	for (const MessageField& field : message.fields) {
		if (field.type != B_MESSAGE_TYPE)
			continue;
		for (size_t i = 0; i < field.CountItems(); i++)
			level.push_back({ field.ItemData(i), field.ItemSize(i) });
	}
	std::vector<Span> next;
	for (int depth = 1; !level.empty(); depth++) {
		if (depth > kMaximumNesting)
			return false;
		next.clear();
		for (const Span& span : level)
			nested_items(span.data, span.size, &next);
		level.swap(next);
	}
	return true;
}

}

status_t flattened_size_from_header(const uint8* header, size_t size, size_t* total)
{
	if (header == nullptr || total == nullptr)
		return B_BAD_VALUE;
	if (size >= 4 && read_le32(header) != kMagic)
		return B_NOT_A_MESSAGE;
	if (size < 12)
		return B_BAD_VALUE;
	uint32 flattenedSize = read_le32(header + 8);
	if (flattenedSize < kMinimumSize || flattenedSize > kMaximumSize)
		return B_BAD_VALUE;
	*total = flattenedSize;
	return B_OK;
}

status_t unflatten_message(const uint8* buffer, size_t size, MessageData* out,
	size_t* used)
{
	if (buffer == nullptr || out == nullptr)
		return B_BAD_VALUE;
	size_t total;
	status_t status = flattened_size_from_header(buffer, size, &total);
	if (status != B_OK)
		return status;
	if (total > size)
		return B_BAD_VALUE;

	uint8 flags = buffer[16];
	if ((flags & ~kMessageKnownFlags) != 0 || (flags & kMessageValid) == 0)
		return B_BAD_VALUE;
	size_t headerEnd = header_size_for(flags);
	if (headerEnd + 1 > total)
		return B_BAD_VALUE;
	if (header_checksum(buffer + kChecksumStart, headerEnd - kChecksumStart)
			!= read_le32(buffer + 4))
		return B_BAD_VALUE;

	MessageData message;
	MessageHeader& header = message.header;
	header.what = read_le32(buffer + 12);
	header.scripting = (flags & kMessageScripting) != 0;
	const uint8* p = buffer + kHeaderSize;
	if (flags & kMessageHasTarget) {
		header.hasTarget = true;
		header.targetToken = (int32)read_le32(p);
		p += kTargetSize;
	}
	if (flags & kMessageHasReply) {
		header.hasReplyInfo = true;
		header.replyPort = (int32)read_le32(p);
		header.replyToken = (int32)read_le32(p + 4);
		header.replyTeam = (int32)read_le32(p + 8);
		header.preferredTarget = p[12] != 0;
		header.replyRequired = p[13] != 0;
		header.replyDone = p[14] != 0;
		header.isReply = p[15] != 0;
	}

	// The fields, then the 0 byte that must be the message's last.
	Reader in(buffer + headerEnd, total - headerEnd);
	NameCheck names;
	for (;;) {
		uint8 fieldFlags;
		if (!in.Byte(&fieldFlags))
			return B_BAD_VALUE;
		if (fieldFlags == 0)
			break;
		MessageField field;
		status = read_field(in, fieldFlags, &field);
		if (status != B_OK)
			return status;
		if (!names.Add(message.fields, field.name))
			return B_BAD_VALUE;
		message.fields.push_back(std::move(field));
	}
	if (in.Left() != 0)
		return B_BAD_VALUE;
	// Nested messages stay bytes until asked for, but whoever walks them
	// goes as deep as they are nested.
	if (!nesting_allowed(message))
		return B_BAD_VALUE;

	*out = std::move(message);
	if (used != nullptr)
		*used = total;
	return B_OK;
}

}
