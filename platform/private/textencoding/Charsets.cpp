#include "textencoding/Charsets.h"

#include <UTF8.h>

namespace BPrivate {

namespace {

// Indexed by the conversion constant. Shift-JIS is Microsoft's code page
// 932: it adds the NEC and IBM characters that Japanese text files commonly
// use, and it decodes the half-width katakana.
const Charset kCharsets[] = {
	{ "ISO-8859-1", CharLayout::SingleByte },   // B_ISO1_CONVERSION
	{ "ISO-8859-2", CharLayout::SingleByte },
	{ "ISO-8859-3", CharLayout::SingleByte },
	{ "ISO-8859-4", CharLayout::SingleByte },
	{ "ISO-8859-5", CharLayout::SingleByte },
	{ "ISO-8859-6", CharLayout::SingleByte },
	{ "ISO-8859-7", CharLayout::SingleByte },
	{ "ISO-8859-8", CharLayout::SingleByte },
	{ "ISO-8859-9", CharLayout::SingleByte },
	{ "ISO-8859-10", CharLayout::SingleByte },  // B_ISO10_CONVERSION
	{ "MACINTOSH", CharLayout::SingleByte },    // B_MAC_ROMAN_CONVERSION
	{ "CP932", CharLayout::ShiftJis },          // B_SJIS_CONVERSION
	{ "EUC-JP", CharLayout::EucJp },            // B_EUC_CONVERSION
	{ "ISO-2022-JP", CharLayout::Jis },         // B_JIS_CONVERSION
	{ "CP1252", CharLayout::SingleByte },       // B_MS_WINDOWS_CONVERSION
	{ "UTF-16BE", CharLayout::Utf16 },          // B_UNICODE_CONVERSION
	{ "KOI8-R", CharLayout::SingleByte },       // B_KOI8R_CONVERSION
	{ "CP1251", CharLayout::SingleByte },       // B_MS_WINDOWS_1251_CONVERSION
	{ "CP866", CharLayout::SingleByte },        // B_MS_DOS_866_CONVERSION
	{ "CP437", CharLayout::SingleByte },        // B_MS_DOS_CONVERSION
	{ "EUC-KR", CharLayout::EucKr },            // B_EUC_KR_CONVERSION
	{ "ISO-8859-13", CharLayout::SingleByte },  // B_ISO13_CONVERSION
	{ "ISO-8859-14", CharLayout::SingleByte },
	{ "ISO-8859-15", CharLayout::SingleByte },
	{ "BIG5", CharLayout::DoubleByte },         // B_BIG5_CONVERSION
	{ "GBK", CharLayout::DoubleByte },          // B_GBK_CONVERSION
	{ "UTF-16BE", CharLayout::Utf16 },          // B_UTF16_CONVERSION
	{ "CP1250", CharLayout::SingleByte },       // B_MS_WINDOWS_1250_CONVERSION
};

static_assert(sizeof(kCharsets) / sizeof(kCharsets[0])
	== B_MS_WINDOWS_1250_CONVERSION + 1, "one entry per conversion constant");

inline bool
in_range(unsigned char byte, unsigned char low, unsigned char high)
{
	return byte >= low && byte <= high;
}

}	// namespace


const Charset*
charset_for(uint32 conversion)
{
	if (conversion >= sizeof(kCharsets) / sizeof(kCharsets[0]))
		return NULL;
	return &kCharsets[conversion];
}


size_t
undecodable_length(CharLayout layout, const unsigned char* bytes, size_t length)
{
	unsigned char lead = bytes[0];
	switch (layout) {
		case CharLayout::ShiftJis:
			// A lead byte swallows the next one only when that is a valid
			// trail byte; otherwise the next byte (often plain ASCII) is
			// decoded on its own.
			if (length >= 2 && (in_range(lead, 0x81, 0x9f) || in_range(lead, 0xe0, 0xfc))
				&& (in_range(bytes[1], 0x40, 0x7e) || in_range(bytes[1], 0x80, 0xfc)))
				return 2;
			return 1;
		case CharLayout::EucJp:
			if (lead == 0x8f && length >= 3 && bytes[1] >= 0xa1 && bytes[2] >= 0xa1)
				return 3;
			if ((lead == 0x8e || lead >= 0xa1) && length >= 2 && bytes[1] >= 0xa1)
				return 2;
			return 1;
		case CharLayout::EucKr:
			if (lead >= 0xa1 && length >= 2 && bytes[1] >= 0xa1)
				return 2;
			return 1;
		case CharLayout::DoubleByte:
			if (in_range(lead, 0x81, 0xfe) && length >= 2 && bytes[1] >= 0x40
				&& bytes[1] != 0x7f && bytes[1] != 0xff)
				return 2;
			return 1;
		case CharLayout::Utf16:
			return length >= 2 ? 2 : length;
		case CharLayout::SingleByte:
		case CharLayout::Jis:
			return 1;
	}
	return 1;
}

}	// namespace BPrivate
