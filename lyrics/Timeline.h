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
	// Rebuilds from the lines of a lyrics file.
	//
	// The plain reading (`extended` false) is the one the editor writes
	// for: every line gives one display text (the part after its first
	// "]", or the whole line); a line whose first tag parses maps the
	// tag's time to that text.
	//
	// The extended reading (`extended` true) reads downloaded LRC files:
	// a byte-order mark before the first line is dropped; header lines
	// ("[ar:…]", "[offset:…]", any "[key:value]" whose key is not a time)
	// give no display text; every time tag at the start of a line maps its
	// time to the line's text, which is shown without its tags and without
	// word times ("<mm:ss.xx>"); "[offset:±N]" (the last one in the file)
	// moves every time N ms earlier, and times below 0 become 0.
	//
	// In both readings the texts keep the file's order, and a time that is
	// already mapped is taken over by the line that comes later in the
	// file: of several lines with the same time, the last one is current.
	void Build(const std::list<std::string>& lines, bool extended = false);
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
	void BuildPlain(const std::list<std::string>& lines);
	void BuildExtended(const std::list<std::string>& lines);

	std::vector<std::string> fTexts;
	std::map<int32, int32> fTimes;
};

#endif
