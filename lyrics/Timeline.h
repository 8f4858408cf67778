// Which line of the lyrics is current from which millisecond on.
#ifndef LYRICS_TIMELINE_H
#define LYRICS_TIMELINE_H

#include <SupportDefs.h>

#include <list>
#include <map>
#include <string>
#include <vector>

class TTimeline {
public:
	// Rebuilds from the lines of a lyrics file, in file order. Every line
	// gives one display text (the part after its first "]", or the whole
	// line); a line whose tag parses maps the tag's time to that text. A
	// time that is already mapped is taken over by the later line.
	void Build(const std::list<std::string>& lines);
	void Clear();

	const std::vector<std::string>& Texts() const { return fTexts; }
	const std::map<int32, int32>& Times() const { return fTimes; }
	int32 CountLines() const { return static_cast<int32>(fTexts.size()); }

	// The index of the text of the last tag at or before `time`, or -1 when
	// `time` lies before the first tag or nothing is timed.
	int32 LineAt(int32 time) const;
	// The index of the text of the first tag after `time`, or -1 when no tag
	// lies after it: the line that becomes current next.
	int32 NextLine(int32 time) const;

private:
	std::vector<std::string> fTexts;
	std::map<int32, int32> fTimes;
};

#endif
