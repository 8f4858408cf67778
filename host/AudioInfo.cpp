#include "AudioInfo.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <strings.h>
#include <sys/stat.h>

#include <limits>

namespace {

const char* const kAudioExtensions[] = {
	"mp3", "mp2", "ogg", "oga", "opus", "flac", "wav", "aif", "aiff", "m4a",
	"mp4", "aac", "wma", "ape", "mpc", "wv", "spx", "tta",
};

}

bool has_audio_extension(const std::string& path)
{
	const size_t slash = path.rfind('/');
	const size_t dot = path.rfind('.');
	if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
		return false;
	const char* extension = path.c_str() + dot + 1;
	for (const char* known : kAudioExtensions) {
		if (strcasecmp(extension, known) == 0)
			return true;
	}
	return false;
}

bool read_audio_info(const std::string& path, AudioInfo* info)
{
	// TagLib happily opens folders and devices on some formats: only plain
	// files are audio.
	struct stat st;
	if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
		return false;

	TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Average);
	if (file.isNull())
		return false;

	AudioInfo result;
	TagLib::String title;
	if (TagLib::Tag* tag = file.tag())
		title = tag->title().stripWhiteSpace();
	if (title.isEmpty() && file.file() != NULL) {
		// The main tag is not every tag: a WAV file's title usually sits in
		// its RIFF INFO chunk, which only the property map shows.
		const TagLib::PropertyMap properties = file.file()->properties();
		const auto found = properties.find("TITLE");
		if (found != properties.end() && !found->second.isEmpty())
			title = found->second.front().stripWhiteSpace();
	}
	if (!title.isEmpty())
		result.title = title.to8Bit(true);
	if (TagLib::AudioProperties* properties = file.audioProperties()) {
		const int length = properties->lengthInMilliseconds();
		if (length > 0)
			result.length = length;
	}
	*info = result;
	return true;
}
