#include "Timeline.h"

#include "ExtendedTags.h"
#include "TimeTag.h"

#include <cstring>
#include <limits>
#include <utility>

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

}

void TTimeline::Clear()
{
	fTexts.clear();
	fTimes.clear();
}

void TTimeline::Build(const std::list<std::string>& lines, bool extended)
{
	Clear();
	if (extended)
		BuildExtended(lines);
	else
		BuildPlain(lines);
}

void TTimeline::BuildPlain(const std::list<std::string>& lines)
{
	fTexts.reserve(lines.size());
	for (const std::string& line : lines) {
		std::string::size_type close = line.find(']');
		if (close == std::string::npos)
			fTexts.push_back(line);
		else
			fTexts.push_back(line.substr(close + 1));

		int32 time;
		if (time_tag_to_time(line, &time, nullptr))
			fTimes[time] = static_cast<int32>(fTexts.size()) - 1;
	}
}

void TTimeline::BuildExtended(const std::list<std::string>& lines)
{
	// The offset may stand anywhere (usually among the headers at the top),
	// so the times are mapped once the whole file is read.
	std::vector<std::pair<int32, int32>> timed;   // time, text index
	int32 offset = 0;
	bool first = true;
	fTexts.reserve(lines.size());
	for (const std::string& line : lines) {
		TExtendedLine parsed;
		if (first && line.compare(0, strlen(kByteOrderMark), kByteOrderMark) == 0)
			parsed = read_extended_line(line.substr(strlen(kByteOrderMark)));
		else
			parsed = read_extended_line(line);
		first = false;

		if (parsed.isHeader) {
			int32 value;
			if (is_offset_key(parsed.headerKey) && read_offset_value(parsed.headerValue, &value))
				offset = value;
			continue;
		}
		const int32 index = static_cast<int32>(fTexts.size());
		fTexts.push_back(std::move(parsed.text));
		for (int32 time : parsed.times)
			timed.emplace_back(time, index);
	}

	// A positive offset makes the lyrics come earlier.
	for (const auto& [time, index] : timed) {
		int64 moved = int64(time) - offset;
		if (moved < 0)
			moved = 0;
		else if (moved > std::numeric_limits<int32>::max())
			moved = std::numeric_limits<int32>::max();
		fTimes[static_cast<int32>(moved)] = index;
	}
}

int32 TTimeline::LineAt(int32 time) const
{
	auto next = fTimes.upper_bound(time);
	if (next == fTimes.begin())
		return -1;
	return std::prev(next)->second;
}

int32 TTimeline::NextLine(int32 time) const
{
	auto next = fTimes.upper_bound(time);
	return next == fTimes.end() ? -1 : next->second;
}
