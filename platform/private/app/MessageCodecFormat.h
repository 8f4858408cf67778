// Layout constants and byte helpers shared by the writer and the reader of
// the flattened message. Everything on the wire is little-endian, except the
// four-byte groups that the checksum adds up, which it reads big-endian.
#ifndef PRIVATE_APP_MESSAGE_CODEC_FORMAT_H
#define PRIVATE_APP_MESSAGE_CODEC_FORMAT_H

#include <SupportDefs.h>

namespace BPrivate {
namespace codec {

// 'FOB1' written little-endian: the bytes "1BOF".
constexpr uint32 kMagic = 'FOB1';

// magic, checksum, size, what, flags.
constexpr size_t kHeaderSize = 17;
// The checksum covers the header from the size field on.
constexpr size_t kChecksumStart = 8;
// Target token.
constexpr size_t kTargetSize = 4;
// Reply port, reply token, reply team, then four one-byte booleans.
constexpr size_t kReplyInfoSize = 16;
// Smallest message: the header and the byte that ends the field list.
constexpr size_t kMinimumSize = kHeaderSize + 1;
// The size field is an int32.
constexpr size_t kMaximumSize = 0x7fffffff;
// Messages nested deeper than this inside one another are refused.
constexpr int kMaximumNesting = 64;

enum : uint8 {
	kMessageValid     = 0x01,
	kMessageHasTarget = 0x02,
	kMessageHasReply  = 0x04,
	kMessageScripting = 0x08,
	kMessageKnownFlags = 0x0f
};

enum : uint8 {
	kFieldValid      = 0x01,
	kFieldMiniData   = 0x02,
	kFieldFixedSize  = 0x04,
	kFieldSingleItem = 0x08,
	kFieldKnownFlags = 0x0f
};

// Fields whose data size and item count both stay below this use one-byte
// count and size words.
constexpr size_t kMiniLimit = 256;

// The longest field name (its length is one byte).
constexpr size_t kMaxNameLength = 255;

inline uint32 read_le32(const uint8* p)
{
	return (uint32)p[0] | ((uint32)p[1] << 8) | ((uint32)p[2] << 16)
		| ((uint32)p[3] << 24);
}

inline void write_le32(uint8* p, uint32 value)
{
	p[0] = (uint8)value;
	p[1] = (uint8)(value >> 8);
	p[2] = (uint8)(value >> 16);
	p[3] = (uint8)(value >> 24);
}

// Bytes a variable-size item takes: its length word and its bytes, rounded
// up to a multiple of 8.
inline size_t padded_item_size(size_t length)
{
	return (4 + length + 7) & ~(size_t)7;
}

// Header bytes before the fields for the given message flags.
inline size_t header_size_for(uint8 flags)
{
	return kHeaderSize + ((flags & kMessageHasTarget) ? kTargetSize : 0)
		+ ((flags & kMessageHasReply) ? kReplyInfoSize : 0);
}

// Sum of the big-endian four-byte groups, then of the running value of the
// trailing bytes.
uint32 header_checksum(const uint8* data, size_t size);

}
}

#endif
