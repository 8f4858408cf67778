#include "AudioTestUtil.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace audiotest {

namespace {

void put16(std::vector<uint8>* out, uint32 value)
{
	out->push_back((uint8)value);
	out->push_back((uint8)(value >> 8));
}

void put32(std::vector<uint8>* out, uint32 value)
{
	put16(out, value & 0xffff);
	put16(out, value >> 16);
}

void put_text(std::vector<uint8>* out, const char* text)
{
	out->insert(out->end(), text, text + 4);
}

}

bool write_wav_tone(const std::string& path, int32 ms, double frequency)
{
	const uint32 rate = 44100;
	const uint32 frames = (uint32)((uint64)rate * ms / 1000);
	std::vector<uint8> data;
	put_text(&data, "RIFF");
	put32(&data, 36 + frames * 2);
	put_text(&data, "WAVE");
	put_text(&data, "fmt ");
	put32(&data, 16);
	put16(&data, 1);          // PCM
	put16(&data, 1);          // mono
	put32(&data, rate);
	put32(&data, rate * 2);   // bytes per second
	put16(&data, 2);          // bytes per frame
	put16(&data, 16);         // bits per sample
	put_text(&data, "data");
	put32(&data, frames * 2);
	for (uint32 i = 0; i < frames; i++) {
		const double sample = 0.3 * sin(2 * M_PI * frequency * i / rate);
		put16(&data, (uint16)(int16)lrint(sample * 32767));
	}
	FILE* file = fopen(path.c_str(), "wb");
	if (file == NULL)
		return false;
	const bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
	return fclose(file) == 0 && written;
}

bool convert(const std::string& wav, const std::string& out, const std::string& title)
{
	// made before the fork: the child of a process with threads only execs
	const std::string metadata = "title=" + title;
	const pid_t child = fork();
	if (child < 0)
		return false;
	if (child == 0) {
		execlp("ffmpeg", "ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i",
			wav.c_str(), "-metadata", metadata.c_str(), out.c_str(), (char*)NULL);
		static const char kMissing[] = "ffmpeg could not be run (scripts/setup installs it)\n";
		(void)!write(2, kMissing, sizeof(kMissing) - 1);
		_exit(127);
	}
	int status = 0;
	if (waitpid(child, &status, 0) != child)
		return false;
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}
