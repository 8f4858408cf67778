#include "LyricsFile.h"

#include "framework/FileName.h"
#include "framework/TextGuess.h"
#include "lyrics/Timeline.h"
#include "plugin/MelodeckSongEntry.h"
#include "prefs/PrefStore.h"

#include <Entry.h>
#include <File.h>
#include <UTF8.h>
#include <image.h>

#include <algorithm>
#include <string.h>
#include <vector>

std::string lyrics_fname(const MelodeckSongEntry& entry)
{
	const std::string filename = entry.filename != nullptr ? entry.filename : "";
	const std::string lrc = reext(filename, "lrc");
	if (BEntry(lrc.c_str()).Exists())
		return lrc;
	return reext(filename, "txt");
}

namespace {

// What an unconvertible character becomes.
const char kSubstitute = 0x1a;

// The whole text converted to UTF-8. Shift-JIS half-width katakana grow
// from one byte to three, so the output grows as needed instead of being
// cut at a fixed size. False when the conversion reports an error.
bool convert_all(uint32 conversion, const std::string& in, std::string* out)
{
	std::string result;
	std::vector<char> buffer(in.size() * 3 + 16);
	int32 state = 0;
	size_t done = 0;
	while (done < in.size()) {
		int32 srcLen = static_cast<int32>(in.size() - done);
		int32 dstLen = static_cast<int32>(buffer.size());
		if (convert_to_utf8(conversion, in.data() + done, &srcLen, buffer.data(),
				&dstLen, &state, kSubstitute) != B_OK)
			return false;
		result.append(buffer.data(), dstLen);
		if (srcLen <= 0)
			break;  // an incomplete sequence at the end: nothing more to convert
		done += srcLen;
	}
	*out = std::move(result);
	return true;
}

}

bool load_lyrics(const entry_ref& ref, std::list<std::string>* lines,
                 int32* crType, int32* encoding, int32 readEncoding)
{
	// Only a plain file (a link is followed) holds lyrics: opening a fifo
	// would wait for a writer, and folders, devices and dangling links have
	// nothing to read.
	BEntry entry(&ref, true);
	if (entry.InitCheck() != B_OK || !entry.IsFile())
		return false;
	BFile file(&ref, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return false;
	off_t size = 0;
	if (file.GetSize(&size) != B_OK || size < 0 || size > kMaxLyricsFileSize)
		return false;

	std::string raw(static_cast<size_t>(size), '\0');
	ssize_t got = size > 0 ? file.ReadAt(0, raw.data(), raw.size()) : 0;
	if (got < 0)
		return false;
	raw.resize(static_cast<size_t>(got));
	decode_lyrics(raw, readEncoding, lines, crType, encoding);
	return true;
}

void decode_lyrics(std::string raw, int32 readEncoding, std::list<std::string>* lines,
                   int32* crType, int32* encoding)
{
	// The text ends at its first NUL, as a C string would.
	raw.resize(strlen(raw.c_str()));

	int32 cr = orvik::detect_cr_type(raw.c_str());
	if (cr != orvik::CR_TYPE_CRLF && cr != orvik::CR_TYPE_CR)
		cr = orvik::CR_TYPE_LF;

	int32 enc = readEncoding;
	if (enc == LYRICS_ENC_DETECT)
		enc = cvt_enum_bconv_to_ec(orvik::detect_charset(raw.c_str()));

	// Line ends become LF: CR alone turns into LF, any other CR is dropped.
	std::string normal;
	if (cr == orvik::CR_TYPE_CR) {
		normal = std::move(raw);
		std::replace(normal.begin(), normal.end(), '\r', '\n');
	} else {
		normal.reserve(raw.size());
		std::string::size_type from = 0;
		for (std::string::size_type at; (at = raw.find('\r', from)) != std::string::npos; from = at + 1)
			normal.append(raw, from, at - from);
		normal.append(raw, from, std::string::npos);
	}

	std::string text;
	if (enc == LYRICS_ENC_UTF8) {
		text = std::move(normal);
	} else {
		uint32 conversion = enc == LYRICS_ENC_SJIS ? B_SJIS_CONVERSION
			: enc == LYRICS_ENC_JIS ? B_JIS_CONVERSION : 0;
		if (!convert_all(conversion, normal, &text))
			text = std::move(normal);
	}

	*crType = cr;
	*encoding = enc;
	text_to_lines(text.c_str(), lines);
}

void timeline_from_bytes(const std::string& raw, int32 readEncoding, bool extended,
                         TTimeline* timeline)
{
	std::list<std::string> lines;
	int32 crType = 0;
	int32 encoding = 0;
	decode_lyrics(raw, readEncoding, &lines, &crType, &encoding);
	timeline->Build(lines, extended);
}

bool load_lyrics(const entry_ref& ref, std::list<std::string>* lines,
                 int32* crType, int32* encoding)
{
	int32 readEncoding = LYRICS_ENC_DETECT;
	if (gPref != nullptr)
		readEncoding = TPrefLock()->readEncoding;
	return load_lyrics(ref, lines, crType, encoding, readEncoding);
}

void text_to_lines(const char* text, std::list<std::string>* lines)
{
	lines->clear();
	const char* start = text;
	const char* end = text + strlen(text);
	while (start < end) {
		const char* lf = static_cast<const char*>(memchr(start, '\n', end - start));
		if (lf == nullptr) {
			lines->emplace_back(start, end - start);
			break;
		}
		lines->emplace_back(start, lf - start);
		start = lf + 1;
	}
}

uint32 cvt_enum_ec_to_bconv(int32 encoding)
{
	switch (encoding) {
		case LYRICS_ENC_UTF8: return B_UNICODE_CONVERSION;
		case LYRICS_ENC_SJIS: return B_SJIS_CONVERSION;
		case LYRICS_ENC_JIS:  return B_JIS_CONVERSION;
		default:              return 0;
	}
}

int32 cvt_enum_bconv_to_ec(uint32 conversion)
{
	switch (conversion) {
		case B_SJIS_CONVERSION: return LYRICS_ENC_SJIS;
		case B_JIS_CONVERSION:  return LYRICS_ENC_JIS;
		default:                return LYRICS_ENC_UTF8;
	}
}

int32 cvt_enum_cr_type_to_ct(int32 crType)
{
	return crType == 1 || crType == 2 ? crType : 0;
}

std::string verso_displayer_fname()
{
	image_info info;
	int32 cookie = 0;
	while (get_next_image_info(0, &cookie, &info) == B_OK) {
		if (strstr(info.name, "gen_VersoD") != nullptr)
			return info.name;
	}
	return std::string();
}
