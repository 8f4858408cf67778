// Loading a lyrics file and building its timeline.
#include <benchmark/benchmark.h>

#include "lyrics/LyricsFile.h"
#include "lyrics/Timeline.h"

#include <Entry.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace {

std::string write_temp(const std::string& contents)
{
	char path[] = "/tmp/verso-bench-XXXXXX";
	int fd = mkstemp(path);
	if (fd < 0 || write(fd, contents.data(), contents.size()) != (ssize_t)contents.size())
		abort();
	close(fd);
	return path;
}

void load_and_build(benchmark::State& state, const std::string& contents, int32 readEncoding)
{
	const std::string path = write_temp(contents);
	entry_ref ref;
	get_ref_for_path(path.c_str(), &ref);
	for (auto _ : state) {
		std::list<std::string> lines;
		int32 cr, enc;
		if (!load_lyrics(ref, &lines, &cr, &enc, readEncoding))
			state.SkipWithError("load failed");
		TTimeline timeline;
		timeline.Build(lines);
		benchmark::DoNotOptimize(timeline.CountLines());
	}
	unlink(path.c_str());
}

// 10,000 tagged UTF-8 lines of about 40 bytes.
void BM_Load10000Lines(benchmark::State& state)
{
	std::string text;
	char tag[32];
	for (int i = 0; i < 10000; i++) {
		snprintf(tag, sizeof(tag), "[%02d:%02d.%02d]", (i / 600) % 100, (i / 10) % 60, (i % 10) * 10);
		text += tag;
		text += "The quick brown fox, line ";
		text += std::to_string(i);
		text += "\r\n";
	}
	load_and_build(state, text, LYRICS_ENC_DETECT);
}
BENCHMARK(BM_Load10000Lines)->Unit(benchmark::kMillisecond);

// 1 MiB of Shift-JIS lines: kana, kanji and half-width katakana.
void BM_Load1MiBShiftJIS(benchmark::State& state)
{
	const std::string line = "[01:23.45]\x82\xa0\x82\xa2\x82\xa4\x88\xa4\xb1\xb2\xb3 text\r\n";
	std::string text;
	while (text.size() < 1024 * 1024)
		text += line;
	load_and_build(state, text, LYRICS_ENC_DETECT);
}
BENCHMARK(BM_Load1MiBShiftJIS)->Unit(benchmark::kMillisecond);

}
