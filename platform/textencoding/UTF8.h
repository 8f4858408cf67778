// Conversion between UTF-8 and other character encodings.
//
// Both functions convert as much of `src` as fits into `dst`:
// - *srcLen and *dstLen give the sizes of the two buffers in bytes and, on
//   return, hold the bytes consumed from `src` and written to `dst`;
// - conversion stops before a character that does not fit; a character is
//   never split;
// - a multi-byte character cut off at the end of `src` is left unconsumed,
//   so the caller can pass it again with the data that follows;
// - bytes that do not form a character of the source encoding, and
//   characters that the target encoding lacks, become `substitute`;
// - `state` carries what a stateful encoding (JIS) needs between calls:
//   set it to 0 before the first call of a text and pass it back unchanged.
// They return B_OK, B_ERROR for an unknown encoding, and B_BAD_VALUE for
// missing buffers or negative lengths. No NUL is added to the output.
//
// The default substitute is B_SUBSTITUTE (0x1a), a key code of the Interface
// Kit.
#ifndef _UTF8_H
#define _UTF8_H

#include <InterfaceDefs.h>
#include <SupportDefs.h>

enum {
	B_ISO1_CONVERSION,               // ISO 8859-1 (Latin 1)
	B_ISO2_CONVERSION,               // ISO 8859-2
	B_ISO3_CONVERSION,               // ISO 8859-3
	B_ISO4_CONVERSION,               // ISO 8859-4
	B_ISO5_CONVERSION,               // ISO 8859-5 (Cyrillic)
	B_ISO6_CONVERSION,               // ISO 8859-6 (Arabic)
	B_ISO7_CONVERSION,               // ISO 8859-7 (Greek)
	B_ISO8_CONVERSION,               // ISO 8859-8 (Hebrew)
	B_ISO9_CONVERSION,               // ISO 8859-9
	B_ISO10_CONVERSION,              // ISO 8859-10
	B_MAC_ROMAN_CONVERSION,          // Macintosh Roman
	B_SJIS_CONVERSION,               // Shift-JIS, with the Windows extensions
	B_EUC_CONVERSION,                // EUC-JP
	B_JIS_CONVERSION,                // ISO-2022-JP
	B_MS_WINDOWS_CONVERSION,         // Windows 1252
	B_UNICODE_CONVERSION,            // UCS-2 / UTF-16, big-endian
	B_KOI8R_CONVERSION,              // KOI8-R
	B_MS_WINDOWS_1251_CONVERSION,    // Windows 1251
	B_MS_DOS_866_CONVERSION,         // DOS 866
	B_MS_DOS_CONVERSION,             // DOS 437
	B_EUC_KR_CONVERSION,             // EUC-KR
	B_ISO13_CONVERSION,              // ISO 8859-13
	B_ISO14_CONVERSION,              // ISO 8859-14
	B_ISO15_CONVERSION,              // ISO 8859-15
	B_BIG5_CONVERSION,               // Big5
	B_GBK_CONVERSION,                // GBK
	B_UTF16_CONVERSION,              // UTF-16, big-endian
	B_MS_WINDOWS_1250_CONVERSION     // Windows 1250
};

status_t convert_to_utf8(uint32 srcEncoding, const char* src, int32* srcLen,
                         char* dst, int32* dstLen, int32* state,
                         char substitute = B_SUBSTITUTE);

status_t convert_from_utf8(uint32 dstEncoding, const char* src, int32* srcLen,
                           char* dst, int32* dstLen, int32* state,
                           char substitute = B_SUBSTITUTE);

#endif
