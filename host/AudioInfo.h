// What the player learns from an audio file itself: the title in its tags
// and the length of its stream.
#ifndef HOST_AUDIO_INFO_H
#define HOST_AUDIO_INFO_H

#include <SupportDefs.h>

#include <string>

struct AudioInfo {
	std::string title;   // empty when the file has no title tag
	int32 length = 0;    // milliseconds, 0 when unknown
};

// Reads the tags and stream properties of `path`. False when the file cannot
// be read as audio at all (missing, unreadable, unknown format).
bool read_audio_info(const std::string& path, AudioInfo* info);

// Whether the file name's extension is one of the audio formats the player
// lists from folders (case does not matter).
bool has_audio_extension(const std::string& path);

#endif
