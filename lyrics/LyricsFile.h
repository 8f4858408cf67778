// Finding and reading the lyrics file of a song.
#ifndef LYRICS_LYRICS_FILE_H
#define LYRICS_LYRICS_FILE_H

#include <Entry.h>
#include <SupportDefs.h>

#include <list>
#include <string>

struct MelodeckSongEntry;

// Lyrics encodings, shared with the preferences. LYRICS_ENC_DETECT is only
// a reading choice: the encoding is then guessed per file.
enum {
	LYRICS_ENC_UTF8 = 0,
	LYRICS_ENC_SJIS = 1,
	LYRICS_ENC_JIS = 2,
	LYRICS_ENC_DETECT = 4
};

// Files larger than this are not lyrics; they are treated as unreadable
// rather than read whole into memory.
const off_t kMaxLyricsFileSize = 16 * 1024 * 1024;

// The lyrics file of a playlist entry: the song file with the extension
// "lrc" when such a file exists, else with "txt" (existing or not).
std::string lyrics_fname(const MelodeckSongEntry& entry);

// Reads a lyrics file into lines (UTF-8, without line ends), with the read
// encoding of the preferences. Reports the file's line-end type and the
// encoding used. False, with the outputs untouched, when the file cannot be
// opened or read.
bool load_lyrics(const entry_ref& ref, std::list<std::string>* lines,
                 int32* crType, int32* encoding);

// The same with an explicit read encoding (LYRICS_ENC_*).
bool load_lyrics(const entry_ref& ref, std::list<std::string>* lines,
                 int32* crType, int32* encoding, int32 readEncoding);

// Splits a NUL-terminated text at every LF. A final LF adds no empty line.
void text_to_lines(const char* text, std::list<std::string>* lines);

// Conversions between the lyrics encodings and the platform's conversion
// constants, and of line-end types.
uint32 cvt_enum_ec_to_bconv(int32 encoding);
int32 cvt_enum_bconv_to_ec(uint32 conversion);
int32 cvt_enum_cr_type_to_ct(int32 crType);

// Full path of the loaded plug-in file, or an empty string.
std::string verso_displayer_fname();

#endif
