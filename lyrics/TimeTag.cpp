#include "TimeTag.h"

#include <stdio.h>

#include <algorithm>

namespace {

bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

// Two characters read as a two-digit number. The second character is taken
// as it is: only the first one of each field is tested for a digit.
int32 two_digits(const std::string& line, std::string::size_type pos)
{
	return 10 * (line[pos] - '0') + (line[pos + 1] - '0');
}

}

bool time_tag_to_time(const std::string& line, int32* time, bool* hasHundredths)
{
	if (line.size() < 7 || line[0] != '[')
		return false;

	const int32 minutes = is_digit(line[1]) ? two_digits(line, 1) : 0;
	const int32 seconds = is_digit(line[4]) ? two_digits(line, 4) : 0;
	int32 hundredths = 0;
	bool withHundredths = false;
	if (line.size() > 8 && is_digit(line[7])) {
		hundredths = two_digits(line, 7);
		withHundredths = true;
	}

	// A second character that is no digit counts as it is, which for a
	// byte above 127 is negative; no tag means a time before the song.
	*time = std::max<int32>(0, minutes * 60000 + seconds * 1000 + hundredths * 10);
	if (hasHundredths != nullptr)
		*hasHundredths = withHundredths;
	return true;
}

bool time_to_time_tag(int32 time, std::string* tag, bool withHundredths)
{
	const int32 kLast = 5999990;  // 99 min 59.99 s
	if (time < 0)
		time = 0;
	else if (time > kLast)
		time = kLast;

	const int32 minutes = time / 60000;
	const int32 rest = time % 60000;
	const int32 seconds = rest / 1000;
	const int32 hundredths = (rest % 1000) / 10;

	char buffer[16];
	if (withHundredths)
		snprintf(buffer, sizeof(buffer), "[%02d:%02d:%02d]", (int)minutes, (int)seconds, (int)hundredths);
	else
		snprintf(buffer, sizeof(buffer), "[%02d:%02d]", (int)minutes, (int)seconds);
	*tag = buffer;
	return true;
}
