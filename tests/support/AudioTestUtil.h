// Short sound files for the player's tests, written by the tests
// themselves.
#ifndef AUDIO_TEST_UTIL_H
#define AUDIO_TEST_UTIL_H

#include <SupportDefs.h>

#include <string>

namespace audiotest {

// A sine tone of `ms` milliseconds at `frequency` Hz, 44.1 kHz, 16-bit
// mono PCM in a WAV file. True when written.
bool write_wav_tone(const std::string& path, int32 ms, double frequency = 440);

// Converts `wav` into `out` (its format from the extension) with the
// ffmpeg command, giving it the title tag `title`. False, with ffmpeg's
// complaint on stderr, when that fails.
bool convert(const std::string& wav, const std::string& out, const std::string& title);

}

#endif
