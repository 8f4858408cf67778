// libFuzzer target: the reader of unzip's listings, and the patterns made
// from the names it reads.
//
// Checks, beyond the sanitizers' own: a member name never holds a line
// feed, lengths are never negative, and a member written back as a listing
// line of either layout reads back the same.
#include "translator/ZipListing.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>

using packscope::ArchiveEntry;

namespace {

void check(bool condition, const char* what)
{
	if (!condition) {
		fprintf(stderr, "unzip_listing: %s\n", what);
		abort();
	}
}

std::string two(int32 value)
{
	char text[16];
	snprintf(text, sizeof(text), "%02d", (int)value);
	return text;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string text(reinterpret_cast<const char*>(data), size);
	for (const ArchiveEntry& entry : packscope::read_unzip_listing(text)) {
		check(entry.name.find('\n') == std::string::npos, "line feed in a name");
		check(entry.size >= 0, "negative length");
		(void)packscope::entry_time_ms(entry);

		const std::string pattern = packscope::literal_member_pattern(entry.name);
		check(pattern.size() >= entry.name.size(), "pattern shorter than the name");
		std::string controls;
		if (packscope::control_member_pattern(entry.name, &controls))
			check(controls.find('?') != std::string::npos, "no wildcard for a control");

		// The member as Debian's unzip would list it, read back.
		char year[16];
		snprintf(year, sizeof(year), "%04d", (int)entry.year);
		const std::string line = std::to_string(entry.size) + "  " + year + "-"
			+ two(entry.month) + "-" + two(entry.day) + " " + two(entry.hour) + ":"
			+ two(entry.minute) + "   " + entry.name;
		ArchiveEntry again;
		check(packscope::read_listing_line(line, &again), "own line not read back");
		check(again.name == entry.name && again.size == entry.size
			&& again.year == entry.year && again.month == entry.month
			&& again.day == entry.day && again.hour == entry.hour
			&& again.minute == entry.minute, "own line read back differently");
	}
	return 0;
}
