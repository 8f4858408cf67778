// The contents of a message, as BMessage keeps them and as the flattened
// form carries them, and the codec for the R5 flattened form.
#ifndef PRIVATE_APP_MESSAGE_DATA_H
#define PRIVATE_APP_MESSAGE_DATA_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

// One named field: items of one type code. Nested messages, entry_refs and
// messengers are kept as their flattened bytes.
//
// The items lie one after the other in one buffer, so that a field costs
// one allocation however many items it holds (a variable-size field of
// several items, two). Fixed-size items are packed; a variable-size item
// starts at a multiple of 8 bytes, so that every item is aligned for the
// numbers and structures read from it. Adding, replacing or removing an
// item may move the field's other items.
class MessageField {
public:
	std::string name;                      // at most 255 bytes in the flattened form
	type_code type = 0;
	bool fixedSize = true;                 // every item has the same size

	size_t CountItems() const { return fCount; }
	bool IsEmpty() const { return fCount == 0; }
	// Item `index` (below CountItems()).
	const uint8* ItemData(size_t index) const { return fBytes.data() + _Start(index); }
	size_t ItemSize(size_t index) const { return _End(index) - _Start(index); }

	// False, and nothing added, when the field is fixed-size and the size
	// differs from its items' or the buffer would pass 4 GB.
	bool AddItem(const void* data, size_t size);
	// The same for replacing item `index`.
	bool ReplaceItem(size_t index, const void* data, size_t size);
	void RemoveItem(size_t index);
	// Room for `count` items of about `itemSize` bytes.
	void Reserve(size_t count, size_t itemSize);

	bool operator==(const MessageField&) const = default;

private:
	size_t _Start(size_t index) const;
	size_t _End(size_t index) const;

	std::vector<uint8> fBytes;             // the items, variable-size ones padded
	std::vector<uint32> fEnds;             // variable size, 2 items or more: each one's end
	size_t fCount = 0;
};

// What a flattened message carries besides its fields.
struct MessageHeader {
	uint32 what = 0;
	bool hasTarget = false;                // flag 0x02
	int32 targetToken = -1;
	bool hasReplyInfo = false;             // flag 0x04
	int32 replyPort = -1;
	int32 replyToken = -1;
	int32 replyTeam = -1;
	bool preferredTarget = false;
	bool replyRequired = false;
	bool replyDone = false;
	bool isReply = false;
	bool scripting = false;                // flag 0x08: the message has specifiers

	bool operator==(const MessageHeader&) const = default;
};

struct MessageData {
	MessageHeader header;
	std::vector<MessageField> fields;      // in the order they were first added

	MessageField* Find(const char* name);
	const MessageField* Find(const char* name) const;

	bool operator==(const MessageData&) const = default;
};

// Size of the flattened form. Fields without items are left out of it: the
// form cannot express them and they carry nothing.
size_t flattened_size(const MessageData& data);

// Writes the flattened form: exactly flattened_size(data) bytes. B_BAD_VALUE
// when the message cannot be flattened (a field name over 255 bytes, a
// fixed-size field of several empty items, more than 2 GB), B_NO_MEMORY
// when the buffer is too small. Nothing is written on failure; the vector
// form leaves *out as it was.
status_t flatten_message(const MessageData& data, uint8* buffer, size_t bufferSize);
status_t flatten_message(const MessageData& data, std::vector<uint8>* out);

// Reads a flattened message of at most `size` bytes. Checks everything it
// reads; never reads outside the buffer and never allocates more than the
// buffer's size implies. B_NOT_A_MESSAGE for a wrong magic, B_BAD_VALUE for
// truncated or inconsistent data. `*used` (optional) receives the flattened
// size that was consumed; bytes after it are not looked at. *out is only
// changed on success. Items are kept as they were written: a string item is
// not checked for its NUL, a nested message is not unflattened.
status_t unflatten_message(const uint8* buffer, size_t size, MessageData* out,
                           size_t* used = nullptr);

// From the first 12 bytes of a flattened message (magic, checksum, size),
// the size of the whole flattened message; for reading one from a stream.
// B_NOT_A_MESSAGE for a wrong magic, B_BAD_VALUE for fewer than 12 bytes or
// a size no message can have. The size is not yet verified by the checksum
// and may be up to 2 GB: read the rest in steps rather than allocating it
// all at once, so that a damaged stream cannot ask for a huge buffer.
status_t flattened_size_from_header(const uint8* header, size_t size, size_t* total);

}

#endif
