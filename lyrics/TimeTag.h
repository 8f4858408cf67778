// Time tags at the start of a lyrics line: "[mm:ss]" or "[mm:ss.hh]".
#ifndef LYRICS_TIME_TAG_H
#define LYRICS_TIME_TAG_H

#include <SupportDefs.h>

#include <string>

// Reads the tag at the very beginning of `line` by fixed positions: minutes
// at 1-2, seconds at 4-5, hundredths at 7-8. Only positions 1, 4 and 7 are
// tested for digits and the separators are not checked, so "[01:02.34]",
// "[01:02:34]" and "[01:02]" all parse; a time that comes out below 0
// (bytes above 127 in a field) is 0. False when the line is shorter than
// 7 characters or does not begin with "[".
bool time_tag_to_time(const std::string& line, int32* time, bool* hasHundredths);

// "[mm:ss]" or "[mm:ss:hh]" for `time` limited to 0 … 99:59.99.
// Always true.
bool time_to_time_tag(int32 time, std::string* tag, bool withHundredths);

#endif
