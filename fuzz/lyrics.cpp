// libFuzzer target: lyrics files as the lyrics view reads them, in both
// readings (the plain one and the extended one for downloaded files), with
// each read encoding. The first byte picks the reading and the encoding.
//
// Checks: every time maps to a text that exists, texts hold no line ends
// (and are valid UTF-8 where they were converted), and looking up the line
// at a tag's time gives that tag's line.
#include "fuzz/FuzzCheck.h"

#include "lyrics/LyricsFile.h"
#include "lyrics/Timeline.h"

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace {

void check(bool condition, const char* what)
{
	fuzzcheck::check(condition, "lyrics", what);
}

bool valid_utf8(const std::string& text)
{
	for (size_t i = 0; i < text.size();) {
		const unsigned char c = (unsigned char)text[i];
		size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3
			: (c >> 3) == 30 ? 4 : 0;
		if (length == 0 || i + length > text.size())
			return false;
		for (size_t k = 1; k < length; k++) {
			if (((unsigned char)text[i + k] >> 6) != 2)
				return false;
		}
		i += length;
	}
	return true;
}

}

extern "C" int FUZZ_ENTRY(const uint8_t* data, size_t size)
{
	if (size == 0)
		return 0;
	static const int32 kEncodings[] = { LYRICS_ENC_UTF8, LYRICS_ENC_SJIS,
		LYRICS_ENC_JIS, LYRICS_ENC_DETECT };
	const int32 encoding = kEncodings[data[0] & 3];
	const bool extended = (data[0] & 4) != 0;
	const std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);

	TTimeline timeline;
	timeline_from_bytes(raw, encoding, extended, &timeline);
	const int32 lines = timeline.CountLines();
	for (const std::string& text : timeline.Texts()) {
		check(text.find('\n') == std::string::npos, "line feed in a text");
		// Text read as UTF-8 keeps its bytes as they are (a save writes
		// them back unchanged); converted text must come out whole.
		check(encoding == LYRICS_ENC_UTF8 || encoding == LYRICS_ENC_DETECT
			|| valid_utf8(text), "converted text is not UTF-8");
	}
	int32 last = -1;
	for (const auto& [time, line] : timeline.Times()) {
		check(time >= 0, "negative time");
		check(line >= 0 && line < lines, "time maps to no text");
		check(timeline.LineAt(time) == line, "the line at a tag's time is not its own");
		check(last < 0 || timeline.NextLine(last) == line, "next line skips a tag");
		last = time;
	}
	return 0;
}
