#include "Timeline.h"

#include "TimeTag.h"

void TTimeline::Clear()
{
	fTexts.clear();
	fTimes.clear();
}

void TTimeline::Build(const std::list<std::string>& lines)
{
	Clear();
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
