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
struct MessageField {
	std::string name;                      // at most 255 bytes in the flattened form
	type_code type = 0;
	bool fixedSize = true;                 // every item has the same size
	std::vector<std::vector<uint8>> items; // each item's bytes; strings include their NUL

	bool operator==(const MessageField&) const = default;
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
// when the message cannot be flattened (a field name over 255 bytes, items
// of a fixed-size field that differ in size, a fixed-size field of several
// empty items, more than 2 GB), B_NO_MEMORY
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
