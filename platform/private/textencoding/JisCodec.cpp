#include "textencoding/JisCodec.h"

#include "textencoding/IconvConverter.h"
#include "textencoding/Utf8Sequence.h"

#include <cstring>

namespace BPrivate {

namespace {

// The character sets of ISO-2022-JP, as kept in the state's low byte.
enum JisSet {
	kAscii = 0,
	kRoman = 1,      // JIS X 0201 Roman: ASCII with yen sign and overline
	kKatakana = 2,   // JIS X 0201 half-width katakana
	kJisX0208 = 3,
	kJisX0212 = 4
};

// Set in the state while SO has shifted to katakana.
const int32 kShiftedOut = 0x100;
const int kNoChange = -1;

const unsigned char kEscape = 0x1b;
const unsigned char kShiftOut = 0x0e;
const unsigned char kShiftIn = 0x0f;

struct EscapeSequence {
	const char* bytes;
	int set;
};

const EscapeSequence kSequences[] = {
	{ "\x1b(B", kAscii },
	{ "\x1b(J", kRoman },
	{ "\x1b(H", kRoman },
	{ "\x1b(I", kKatakana },
	{ "\x1b$@", kJisX0208 },
	{ "\x1b$B", kJisX0208 },
	{ "\x1b$(B", kJisX0208 },
	{ "\x1b$(D", kJisX0212 },
	// Announces the 1990 revision of JIS X 0208; ESC $ B follows.
	{ "\x1b&@", kNoChange },
};

const char* const kEscapeFor[] = {
	"\x1b(B",  // kAscii
	"\x1b(J",  // kRoman
	"\x1b(I",  // kKatakana
	"\x1b$B",  // kJisX0208
	"\x1b$(D", // kJisX0212
};

// The escape sequence at `bytes`: its length and set, 0 when the data ends
// inside what may be one, -1 when it is none that we know.
int
parse_escape(const unsigned char* bytes, size_t length, int* set)
{
	bool couldBePrefix = false;
	for (const EscapeSequence& sequence : kSequences) {
		size_t sequenceLength = strlen(sequence.bytes);
		if (length >= sequenceLength) {
			if (memcmp(bytes, sequence.bytes, sequenceLength) == 0) {
				*set = sequence.set;
				return (int)sequenceLength;
			}
		} else if (memcmp(bytes, sequence.bytes, length) == 0)
			couldBePrefix = true;
	}
	return couldBePrefix ? 0 : -1;
}

inline bool
is_jis_byte(unsigned char byte)
{
	return byte >= 0x21 && byte <= 0x7e;
}

uint32
halfwidth_katakana(unsigned char offset)
{
	// JIS X 0201 katakana 0x21-0x5f are U+FF61-U+FF9F.
	return 0xff61 + offset;
}

}	// namespace


void
jis_to_sjis(unsigned char c1, unsigned char c2, unsigned char* s1, unsigned char* s2)
{
	*s1 = (unsigned char)(((c1 + 1) >> 1) + (c1 <= 0x5e ? 0x70 : 0xb0));
	if (c1 & 1)
		*s2 = (unsigned char)(c2 + (c2 >= 0x60 ? 0x20 : 0x1f));
	else
		*s2 = (unsigned char)(c2 + 0x7e);
}


bool
sjis_to_jis(unsigned char s1, unsigned char s2, unsigned char* c1, unsigned char* c2)
{
	int row;
	if (s1 >= 0x81 && s1 <= 0x9f)
		row = s1 - 0x81;
	else if (s1 >= 0xe0 && s1 <= 0xef)
		row = s1 - 0xc1;
	else
		return false;
	int cell;
	if (s2 >= 0x40 && s2 <= 0x7e)
		cell = s2 - 0x40;
	else if (s2 >= 0x80 && s2 <= 0xfc)
		cell = s2 - 0x41;
	else
		return false;
	// Each Shift-JIS lead byte covers two JIS rows of 94 cells.
	*c1 = (unsigned char)(2 * row + (cell < 94 ? 0 : 1) + 0x21);
	*c2 = (unsigned char)((cell < 94 ? cell : cell - 94) + 0x21);
	return true;
}


bool
jis_to_utf8(const char* src, size_t* srcLength, char* dst, size_t* dstLength,
	int32* state, char substitute)
{
	iconv_t sjis = iconv_converter("CP932", "UTF-8");
	iconv_t euc = iconv_converter("EUC-JP", "UTF-8");
	if (sjis == (iconv_t)-1 || euc == (iconv_t)-1)
		return false;

	int set = *state & 0xff;
	if (set > kJisX0212)
		set = kAscii;
	bool shiftedOut = (*state & kShiftedOut) != 0;

	const unsigned char* in = (const unsigned char*)src;
	size_t length = *srcLength;
	size_t read = 0;
	size_t written = 0;

	while (read < length) {
		unsigned char byte = in[read];
		char out[8];
		size_t outLength = 0;
		size_t consumed = 1;

		if (byte == kEscape) {
			int newSet;
			int sequenceLength = parse_escape(in + read, length - read, &newSet);
			if (sequenceLength == 0)
				break;  // cut off: wait for the rest
			if (sequenceLength > 0) {
				if (newSet != kNoChange)
					set = newSet;
				read += (size_t)sequenceLength;
				continue;
			}
			// An escape we do not know passes through as the control
			// character it is.
			out[outLength++] = (char)byte;
		} else if (byte == kShiftOut || byte == kShiftIn) {
			shiftedOut = byte == kShiftOut;
			read++;
			continue;
		} else if (byte < 0x21 || byte == 0x7f) {
			// Controls and spaces are the same in every set.
			out[outLength++] = (char)byte;
		} else if (byte >= 0x80) {
			if (byte >= 0xa1 && byte <= 0xdf)
				outLength = encode_utf8(halfwidth_katakana(byte - 0xa1), out);
			else
				out[outLength++] = substitute;
		} else if (shiftedOut || set == kKatakana) {
			if (byte <= 0x5f)
				outLength = encode_utf8(halfwidth_katakana(byte - 0x21), out);
			else
				out[outLength++] = substitute;
		} else if (set == kAscii) {
			out[outLength++] = (char)byte;
		} else if (set == kRoman) {
			if (byte == 0x5c)
				outLength = encode_utf8(0xa5, out);  // yen sign
			else if (byte == 0x7e)
				outLength = encode_utf8(0x203e, out);  // overline
			else
				out[outLength++] = (char)byte;
		} else {
			// Two-byte sets.
			if (read + 1 >= length)
				break;  // the second byte has not arrived yet
			unsigned char second = in[read + 1];
			if (!is_jis_byte(second)) {
				// Only the first byte is bad; the second is read on its own.
				out[outLength++] = substitute;
			} else {
				consumed = 2;
				if (set == kJisX0208) {
					unsigned char pair[2];
					jis_to_sjis(byte, second, &pair[0], &pair[1]);
					outLength = convert_one(sjis, (const char*)pair, 2, out, sizeof(out));
				} else {
					unsigned char triple[3] = { 0x8f, (unsigned char)(byte | 0x80),
						(unsigned char)(second | 0x80) };
					outLength = convert_one(euc, (const char*)triple, 3, out, sizeof(out));
				}
				if (outLength == 0)
					out[outLength++] = substitute;
			}
		}

		if (written + outLength > *dstLength)
			break;
		memcpy(dst + written, out, outLength);
		written += outLength;
		read += consumed;
	}

	*srcLength = read;
	*dstLength = written;
	*state = set | (shiftedOut ? kShiftedOut : 0);
	return true;
}


bool
utf8_to_jis(const char* src, size_t* srcLength, char* dst, size_t* dstLength,
	int32* state, char substitute)
{
	iconv_t sjis = iconv_converter("UTF-8", "CP932");
	if (sjis == (iconv_t)-1)
		return false;

	// A set this encoder never selects (or garbage) makes the first
	// character announce its set.
	int set = *state & 0xff;

	const unsigned char* in = (const unsigned char*)src;
	size_t length = *srcLength;
	size_t read = 0;
	size_t written = 0;

	while (read < length) {
		Utf8Char c = utf8_char_at(in + read, length - read);
		if (c.kind == Utf8Char::Incomplete)
			break;

		int target = kAscii;
		unsigned char bytes[2];
		size_t byteCount = 1;
		bytes[0] = (unsigned char)substitute;

		if (c.kind == Utf8Char::Valid && in[read] < 0x80) {
			bytes[0] = in[read];
		} else if (c.kind == Utf8Char::Valid) {
			unsigned char converted[8];
			size_t convertedLength = convert_one(sjis, (const char*)in + read, c.length,
				(char*)converted, sizeof(converted));
			if (convertedLength == 1 && converted[0] >= 0xa1 && converted[0] <= 0xdf) {
				target = kKatakana;
				bytes[0] = (unsigned char)(converted[0] - 0x80);
			} else if (convertedLength == 2
				&& sjis_to_jis(converted[0], converted[1], &bytes[0], &bytes[1])) {
				target = kJisX0208;
				byteCount = 2;
			}
			// Anything else (characters only the Windows code page has past
			// JIS X 0208, or none at all) stays the substitute.
		}

		size_t escapeLength = target != set ? strlen(kEscapeFor[target]) : 0;
		if (written + escapeLength + byteCount > *dstLength)
			break;
		memcpy(dst + written, kEscapeFor[target], escapeLength);
		written += escapeLength;
		memcpy(dst + written, bytes, byteCount);
		written += byteCount;
		read += c.length;
		set = target;
	}

	if (read == length && set != kAscii) {
		size_t escapeLength = strlen(kEscapeFor[kAscii]);
		if (written + escapeLength <= *dstLength) {
			memcpy(dst + written, kEscapeFor[kAscii], escapeLength);
			written += escapeLength;
			set = kAscii;
		}
	}

	*srcLength = read;
	*dstLength = written;
	*state = set;
	return true;
}

}	// namespace BPrivate
