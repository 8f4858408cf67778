// Converting a lyrics-sized Japanese text (about 20 KB) to UTF-8, from
// Shift-JIS and from JIS.
#include <UTF8.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::string
repeated(const std::string& line, size_t size)
{
	std::string text;
	while (text.size() < size)
		text += line;
	return text;
}

void
convert(benchmark::State& state, uint32 encoding, const std::string& text)
{
	std::vector<char> buffer(text.size() * 3 + 1);
	for (auto _ : state) {
		int32 srcLen = (int32)text.size();
		int32 dstLen = (int32)buffer.size();
		int32 conversionState = 0;
		convert_to_utf8(encoding, text.data(), &srcLen, buffer.data(), &dstLen,
			&conversionState, 0x1a);
		benchmark::DoNotOptimize(buffer.data());
	}
	state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
}

// [00:12.34]日本語の歌詞 ｱｲｳ
const std::string kSjisLine = "[00:12.34]\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x89\xcc\x8e\x8c \xb1\xb2\xb3\n";
// [00:12.34]日本語の歌詞
const std::string kJisLine = "[00:12.34]\x1b$BF|K\\8l$N2N;l\x1b(B\n";

void
ShiftJisToUtf8(benchmark::State& state)
{
	convert(state, B_SJIS_CONVERSION, repeated(kSjisLine, 20000));
}

void
JisToUtf8(benchmark::State& state)
{
	convert(state, B_JIS_CONVERSION, repeated(kJisLine, 20000));
}

}	// namespace

BENCHMARK(ShiftJisToUtf8);
BENCHMARK(JisToUtf8);
