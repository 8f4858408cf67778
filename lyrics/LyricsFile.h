// Finding and reading the lyrics file of a song.
#ifndef LYRICS_LYRICS_FILE_H
#define LYRICS_LYRICS_FILE_H

#include <Entry.h>
#include <SupportDefs.h>

#include <list>
#include <string>

struct MelodeckSongEntry;
class TTimeline;

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

// What load_lyrics does with the bytes of a file once read: cut at the
// first NUL, line ends and encoding detected, converted to UTF-8 and split
// into lines. Uses no preferences and no files.
void decode_lyrics(std::string raw, int32 readEncoding, std::list<std::string>* lines,
                   int32* crType, int32* encoding);

// The bytes of a lyrics file, read as the lyrics view reads them, into
// `timeline` (see TTimeline::Build). No files, no preferences, no other
// state: safe to call from any thread, and a fuzzing entry point.
void timeline_from_bytes(const std::string& raw, int32 readEncoding, bool extended,
                         TTimeline* timeline);

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
