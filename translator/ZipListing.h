// Reading what `unzip -l` prints, and naming members back to `unzip`.
//
// Everything here is pure: text in, values out. The reader accepts the
// listing of every unzip build met so far: the classic one (dates MM-DD-YY,
// names from column 28) and Debian's (dates YYYY-MM-DD, names from column
// 30), with or without the "Archive:" line and the archive comment that
// precede the column header.
#ifndef PACKSCOPE_ZIP_LISTING_H
#define PACKSCOPE_ZIP_LISTING_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace packscope {

// One member as the listing shows it. The name is unzip's rendering:
// control characters appear as "^" and a letter (a line feed as "^J").
struct ArchiveEntry {
	std::string name;
	int64 size = 0;
	int32 year = 1980;   // full year (two-digit years already widened)
	int32 month = 1;     // 1 to 12 as listed (other values are kept)
	int32 day = 1;
	int32 hour = 0;
	int32 minute = 0;
};

// The members of a listing, in the order listed. Lines between the column
// header's rule and the closing rule that are not member lines are skipped.
// Text without a header rule lists nothing.
std::vector<ArchiveEntry> read_unzip_listing(const std::string& text);

// Reads one member line ("  length  date time   name"). False when the
// line is not one.
bool read_listing_line(const std::string& line, ArchiveEntry* entry);

// A year of two digits: 70 to 99 are 1970 to 1999, 00 to 69 2000 to 2069.
int32 widen_year(int32 twoDigits);

// The member's listed date and time as milliseconds since 1970-01-01 00:00,
// the wall-clock reading taken as it stands (no time zone, no daylight
// saving), seconds 0. Out-of-range months and days roll over as a calendar
// would.
int64 entry_time_ms(const ArchiveEntry& entry);

// The pattern that makes unzip select the member of that exact name: its
// wildcard characters * ? [ ] and the backslash are escaped with a
// backslash, and so is a leading "-", which unzip would otherwise read as
// an option.
std::string literal_member_pattern(const std::string& name);

// For a listed name holding "^" and a letter that may stand for a control
// character: the literal pattern with each such pair replaced by "?".
// False (and nothing written) when the name holds no such pair.
bool control_member_pattern(const std::string& name, std::string* pattern);

}

#endif
