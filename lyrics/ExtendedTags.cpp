#include "ExtendedTags.h"

#include <cstdint>
#include <limits>

namespace {

bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

bool is_blank(char c)
{
	return c == ' ' || c == '\t';
}

bool is_ascii_letter(char c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads a run of digits at `pos`, at most `maxDigits` of them; false when
// there is none or the run is longer.
bool read_digits(const std::string& s, size_t* pos, size_t maxDigits, int64* value,
	size_t* count)
{
	size_t at = *pos;
	int64 result = 0;
	while (at < s.size() && is_digit(s[at])) {
		if (at - *pos == maxDigits)
			return false;
		result = result * 10 + (s[at] - '0');
		at++;
	}
	if (at == *pos)
		return false;
	*count = at - *pos;
	*pos = at;
	*value = result;
	return true;
}

bool equals_ignoring_case(const std::string& a, const char* b)
{
	size_t i = 0;
	for (; i < a.size() && b[i] != '\0'; i++) {
		char x = a[i];
		char y = b[i];
		if (x >= 'A' && x <= 'Z')
			x = static_cast<char>(x - 'A' + 'a');
		if (y >= 'A' && y <= 'Z')
			y = static_cast<char>(y - 'A' + 'a');
		if (x != y)
			return false;
	}
	return i == a.size() && b[i] == '\0';
}

// A header key: a letter or "#" first, then letters, digits, "_", "-" or
// "#". Times never qualify, since they begin with a digit.
bool is_header_key(const std::string& key)
{
	if (key.empty() || !(is_ascii_letter(key[0]) || key[0] == '#'))
		return false;
	for (char c : key) {
		if (!(is_ascii_letter(c) || is_digit(c) || c == '_' || c == '-' || c == '#'))
			return false;
	}
	return true;
}

}

bool read_extended_time(const std::string& field, int32* time)
{
	// Minutes beyond this many digits cannot give an int32 time.
	const size_t kMaxMinuteDigits = 6;

	size_t pos = 0;
	size_t count = 0;
	int64 minutes = 0;
	int64 seconds = 0;
	if (!read_digits(field, &pos, kMaxMinuteDigits, &minutes, &count))
		return false;
	if (pos >= field.size() || field[pos] != ':')
		return false;
	pos++;
	if (!read_digits(field, &pos, 2, &seconds, &count))
		return false;

	int64 millis = 0;
	if (pos < field.size()) {
		if (field[pos] != '.' && field[pos] != ':')
			return false;
		pos++;
		int64 fraction = 0;
		if (!read_digits(field, &pos, 3, &fraction, &count))
			return false;
		// tenths, hundredths or thousandths
		millis = count == 1 ? fraction * 100 : count == 2 ? fraction * 10 : fraction;
	}
	if (pos != field.size())
		return false;

	const int64 total = minutes * 60000 + seconds * 1000 + millis;
	if (total > std::numeric_limits<int32>::max())
		return false;
	*time = static_cast<int32>(total);
	return true;
}

bool read_offset_value(const std::string& value, int32* offset)
{
	size_t pos = 0;
	while (pos < value.size() && is_blank(value[pos]))
		pos++;
	bool negative = false;
	if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
		negative = value[pos] == '-';
		pos++;
	}
	const size_t start = pos;
	int64 magnitude = 0;
	const int64 kLimit = int64(std::numeric_limits<int32>::max()) + 1;
	while (pos < value.size() && is_digit(value[pos])) {
		if (magnitude < kLimit)
			magnitude = magnitude * 10 + (value[pos] - '0');
		pos++;
	}
	if (pos == start)
		return false;
	while (pos < value.size() && is_blank(value[pos]))
		pos++;
	if (pos != value.size())
		return false;

	if (magnitude > kLimit)
		magnitude = kLimit;
	int64 result = negative ? -magnitude : magnitude;
	if (result > std::numeric_limits<int32>::max())
		result = std::numeric_limits<int32>::max();
	*offset = static_cast<int32>(result);
	return true;
}

std::string strip_word_times(const std::string& text)
{
	std::string result;
	result.reserve(text.size());
	size_t from = 0;
	while (from < text.size()) {
		const size_t open = text.find('<', from);
		if (open == std::string::npos)
			break;
		const size_t close = text.find('>', open + 1);
		if (close == std::string::npos)
			break;
		int32 time;
		result.append(text, from, open - from);
		if (read_extended_time(text.substr(open + 1, close - open - 1), &time)) {
			from = close + 1;
		} else {
			// not a word time: keep the "<" and look again after it
			result.push_back('<');
			from = open + 1;
		}
	}
	result.append(text, from, std::string::npos);
	return result;
}

TExtendedLine read_extended_line(const std::string& line)
{
	TExtendedLine result;
	size_t pos = 0;
	while (pos < line.size() && line[pos] == '[') {
		const size_t close = line.find(']', pos + 1);
		if (close == std::string::npos)
			break;
		int32 time;
		if (!read_extended_time(line.substr(pos + 1, close - pos - 1), &time))
			break;
		result.times.push_back(time);
		pos = close + 1;
	}

	if (result.times.empty() && !line.empty() && line[0] == '[') {
		const size_t colon = line.find(':', 1);
		const size_t close = line.find(']', 1);
		if (colon != std::string::npos && close != std::string::npos && colon < close
			&& is_header_key(line.substr(1, colon - 1))) {
			result.isHeader = true;
			result.headerKey = line.substr(1, colon - 1);
			result.headerValue = line.substr(colon + 1, close - colon - 1);
			return result;
		}
	}

	result.text = strip_word_times(line.substr(pos));
	return result;
}

bool is_offset_key(const std::string& key)
{
	return equals_ignoring_case(key, "offset");
}
