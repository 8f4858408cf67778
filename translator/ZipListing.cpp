#include "translator/ZipListing.h"

namespace packscope {

namespace {

bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

// A rule line: hyphens and blanks only, at least one hyphen.
bool is_rule(const std::string& line)
{
	if (line.find('-') == std::string::npos)
		return false;
	for (char c : line) {
		if (c != '-' && c != ' ')
			return false;
	}
	return true;
}

// Reads exactly `count` digits at `pos`.
bool read_digits(const std::string& text, size_t pos, size_t count, int32* value)
{
	if (pos + count > text.size())
		return false;
	int32 result = 0;
	for (size_t i = 0; i < count; i++) {
		if (!is_digit(text[pos + i]))
			return false;
		result = result * 10 + (text[pos + i] - '0');
	}
	*value = result;
	return true;
}

bool read_date(const std::string& token, ArchiveEntry* entry)
{
	int32 a, b, c;
	if (token.size() == 8 && token[2] == '-' && token[5] == '-'
		&& read_digits(token, 0, 2, &a) && read_digits(token, 3, 2, &b)
		&& read_digits(token, 6, 2, &c)) {
		entry->month = a;
		entry->day = b;
		entry->year = widen_year(c);
		return true;
	}
	if (token.size() == 10 && token[4] == '-' && token[7] == '-'
		&& read_digits(token, 0, 4, &a) && read_digits(token, 5, 2, &b)
		&& read_digits(token, 8, 2, &c)) {
		entry->year = a;
		entry->month = b;
		entry->day = c;
		return true;
	}
	return false;
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian
// calendar (month 1 to 12).
int64 days_from_civil(int64 year, int64 month, int64 day)
{
	year -= month <= 2;
	const int64 era = (year >= 0 ? year : year - 399) / 400;
	const int64 yearOfEra = year - era * 400;
	const int64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
	const int64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
	return era * 146097 + dayOfEra - 719468;
}

}

int32 widen_year(int32 twoDigits)
{
	return twoDigits < 70 ? 2000 + twoDigits : 1900 + twoDigits;
}

bool read_listing_line(const std::string& line, ArchiveEntry* entry)
{
	size_t pos = 0;
	while (pos < line.size() && line[pos] == ' ')
		pos++;

	// The length: at most 18 digits, so that it fits an int64.
	const size_t lengthStart = pos;
	int64 size = 0;
	while (pos < line.size() && is_digit(line[pos])) {
		if (pos - lengthStart >= 18)
			return false;
		size = size * 10 + (line[pos] - '0');
		pos++;
	}
	if (pos == lengthStart || pos >= line.size() || line[pos] != ' ')
		return false;
	while (pos < line.size() && line[pos] == ' ')
		pos++;

	const size_t dateEnd = line.find(' ', pos);
	if (dateEnd == std::string::npos)
		return false;
	ArchiveEntry result;
	if (!read_date(line.substr(pos, dateEnd - pos), &result))
		return false;
	pos = dateEnd;
	while (pos < line.size() && line[pos] == ' ')
		pos++;

	// HH:MM, then exactly three blanks before the name, which may itself
	// begin with blanks.
	if (!read_digits(line, pos, 2, &result.hour) || pos + 2 >= line.size()
		|| line[pos + 2] != ':' || !read_digits(line, pos + 3, 2, &result.minute))
		return false;
	pos += 5;
	if (line.compare(pos, 3, "   ") != 0)
		return false;
	pos += 3;

	result.name = line.substr(pos);
	result.size = size;
	*entry = result;
	return true;
}

std::vector<ArchiveEntry> read_unzip_listing(const std::string& text)
{
	std::vector<ArchiveEntry> entries;
	bool inMembers = false;
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		const std::string line = text.substr(start, end - start);
		start = end + 1;

		if (is_rule(line)) {
			if (inMembers)
				break;
			inMembers = true;
			continue;
		}
		ArchiveEntry entry;
		if (inMembers && read_listing_line(line, &entry))
			entries.push_back(entry);
	}
	return entries;
}

int64 entry_time_ms(const ArchiveEntry& entry)
{
	// Months out of range roll into the neighbouring years.
	int64 month0 = (int64)entry.month - 1;
	int64 year = entry.year + (month0 >= 0 ? month0 / 12 : (month0 - 11) / 12);
	month0 -= (year - entry.year) * 12;
	const int64 days = days_from_civil(year, month0 + 1, 1) + entry.day - 1;
	const int64 seconds = days * 86400 + (int64)entry.hour * 3600
		+ (int64)entry.minute * 60;
	return seconds * 1000;
}

std::string literal_member_pattern(const std::string& name)
{
	std::string pattern;
	pattern.reserve(name.size() + 8);
	for (size_t i = 0; i < name.size(); i++) {
		const char c = name[i];
		if (c == '\\' || c == '*' || c == '?' || c == '[' || c == ']'
			|| (i == 0 && c == '-'))
			pattern += '\\';
		pattern += c;
	}
	return pattern;
}

bool control_member_pattern(const std::string& name, std::string* pattern)
{
	// unzip shows the bytes 0x01 to 0x1F as "^A" to "^_" and 0x7F as "^?".
	std::string literal;
	std::string result;
	bool found = false;
	for (size_t i = 0; i < name.size(); i++) {
		const char c = name[i];
		if (c == '^' && i + 1 < name.size()
			&& ((name[i + 1] >= '@' && name[i + 1] <= '_') || name[i + 1] == '?')) {
			// A "-" escaped at the start of a later part is matched as a "-"
			// all the same.
			result += literal_member_pattern(literal);
			literal.clear();
			result += '?';
			i++;
			found = true;
			continue;
		}
		literal += c;
	}
	if (!found)
		return false;
	result += literal_member_pattern(literal);
	*pattern = result;
	return true;
}

}
