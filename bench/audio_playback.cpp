// What playing a song through libmpv costs, next to playing the same
// playlist on the clock: the player runs for a few seconds of real time
// and the process's CPU time over that span is read. The figure to read is
// "cpu_percent" (CPU time per real time, all threads of the process); the
// difference between the rows is the cost of the sound.
#include <benchmark/benchmark.h>

#include "MelodeckPlayer.h"
#include "SystemClock.h"

#include <OS.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

const bigtime_t kSpan = 3000000;

bigtime_t cpu_time()
{
	timespec now;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

// Ten seconds of a tone, 44.1 kHz 16-bit stereo, as WAV.
std::string write_song(const std::string& folder)
{
	const std::string path = folder + "/song.wav";
	const uint32 rate = 44100, frames = rate * 10;
	std::vector<int16> samples(frames * 2);
	for (uint32 i = 0; i < frames; i++)
		samples[2 * i] = samples[2 * i + 1] = (int16)(8000 * sin(2 * M_PI * 440.0 * i / rate));
	FILE* file = fopen(path.c_str(), "wb");
	if (file == NULL)
		abort();
	auto put32 = [&](uint32 v) { fwrite(&v, 4, 1, file); };
	auto put16 = [&](uint16 v) { fwrite(&v, 2, 1, file); };
	fwrite("RIFF", 1, 4, file);
	put32(36 + frames * 4);
	fwrite("WAVEfmt ", 1, 8, file);
	put32(16);
	put16(1);
	put16(2);
	put32(rate);
	put32(rate * 4);
	put16(4);
	put16(16);
	fwrite("data", 1, 4, file);
	put32(frames * 4);
	fwrite(samples.data(), 2, samples.size(), file);
	fclose(file);
	return path;
}

// kind: 0 the clock, 1 WAV through libmpv, 2 FLAC through libmpv
void play(benchmark::State& state, int kind)
{
	char folder[] = "/tmp/melodeck-bench-XXXXXX";
	if (mkdtemp(folder) == NULL)
		abort();
	std::string song = write_song(folder);
	if (kind == 2) {
		const std::string flac = std::string(folder) + "/song.flac";
		const std::string command = "ffmpeg -nostdin -loglevel error -y -i " + song + " "
			+ flac;
		if (system(command.c_str()) != 0) {
			state.SkipWithError("ffmpeg could not make the FLAC file");
			return;
		}
		unlink(song.c_str());
		song = flac;
	}
	Playlist playlist;
	Playlist::Notes notes;
	playlist.AddFile(song, &notes);
	HostOptions options;
	options.audio = kind != 0;
	options.audioOutput = "null";
	{
		// the clock player runs on the real clock, as the program does
		SystemClock clock;
		MelodeckPlayer player(playlist, options, &clock);
		if (player.InitCheck() != B_OK) {
			state.SkipWithError("the player did not start");
			return;
		}
		bigtime_t cpu = 0, wall = 0;
		for (auto _ : state) {
			const bigtime_t cpuStart = cpu_time(), wallStart = system_time();
			// the player works meanwhile; the span of real time is what is measured
			snooze(kSpan);
			const bigtime_t elapsed = system_time() - wallStart;
			cpu += cpu_time() - cpuStart;
			wall += elapsed;
			state.SetIterationTime(elapsed / 1e6);
		}
		state.counters["cpu_percent"] = 100.0 * cpu / wall;
		state.counters["position_ms"] = player.Position();
	}
	unlink(song.c_str());
	rmdir(folder);
}

}

BENCHMARK_CAPTURE(play, clock, 0)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(play, wav_through_libmpv, 1)->Iterations(1)->UseManualTime()
	->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(play, flac_through_libmpv, 2)->Iterations(1)->UseManualTime()
	->Unit(benchmark::kMillisecond);
