#include "ZipFixtures.h"

#include <stdint.h>

namespace fixture {

namespace {

uint32_t crc32_of(const std::string& data)
{
	uint32_t crc = 0xFFFFFFFFu;
	for (unsigned char byte : data) {
		crc ^= byte;
		for (int bit = 0; bit < 8; bit++)
			crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
	}
	return ~crc;
}

void put16(std::string* out, unsigned value)
{
	out->push_back((char)(value & 0xFF));
	out->push_back((char)((value >> 8) & 0xFF));
}

void put32(std::string* out, uint32_t value)
{
	put16(out, value & 0xFFFF);
	put16(out, value >> 16);
}

}

std::string zip_bytes(const std::vector<Member>& members, const std::string& comment)
{
	std::string local, central;
	for (const Member& member : members) {
		const unsigned time = (unsigned)(member.hour << 11 | member.minute << 5);
		const unsigned date = (unsigned)((member.year - 1980) << 9 | member.month << 5
			| member.day);
		const uint32_t crc = crc32_of(member.contents);
		const uint32_t offset = (uint32_t)local.size();
		const uint32_t size = (uint32_t)member.contents.size();

		put32(&local, 0x04034b50);
		put16(&local, 10);     // version needed
		put16(&local, 0);      // flags
		put16(&local, 0);      // stored
		put16(&local, time);
		put16(&local, date);
		put32(&local, crc);
		put32(&local, size);
		put32(&local, size);
		put16(&local, (unsigned)member.name.size());
		put16(&local, 0);
		local += member.name;
		local += member.contents;

		put32(&central, 0x02014b50);
		put16(&central, 0x031E);  // made by Unix, 3.0
		put16(&central, 10);
		put16(&central, 0);
		put16(&central, 0);
		put16(&central, time);
		put16(&central, date);
		put32(&central, crc);
		put32(&central, size);
		put32(&central, size);
		put16(&central, (unsigned)member.name.size());
		put16(&central, 0);    // extra
		put16(&central, 0);    // comment
		put16(&central, 0);    // disk
		put16(&central, 0);    // internal attributes
		put32(&central, 0100644u << 16);
		put32(&central, offset);
		central += member.name;
	}
	std::string archive = local + central;
	put32(&archive, 0x06054b50);
	put16(&archive, 0);
	put16(&archive, 0);
	put16(&archive, (unsigned)members.size());
	put16(&archive, (unsigned)members.size());
	put32(&archive, (uint32_t)central.size());
	put32(&archive, (uint32_t)local.size());
	put16(&archive, (unsigned)comment.size());
	archive += comment;
	return archive;
}

}
