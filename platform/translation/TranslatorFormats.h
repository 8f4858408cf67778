// Format codes of the Translation Kit, the standard format of each media
// group, and the names of the extension-message fields that translators
// understand.
//
// Every group has one standard ("baseline") format that all translators of
// the group can read or write; for bitmaps it is a TranslatorBitmap header
// followed by the pixels. Headers in those formats are stored big-endian
// in the stream, whatever the host.
#ifndef _TRANSLATOR_FORMATS_H
#define _TRANSLATOR_FORMATS_H

#include <GraphicsDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

// Media groups; each is also the type code of the group's standard format.
enum TranslatorGroups {
	B_TRANSLATOR_BITMAP  = 'bits',
	B_TRANSLATOR_PICTURE = 'pict',
	B_TRANSLATOR_SOUND   = 'nois',
	B_TRANSLATOR_TEXT    = 'TEXT',
	B_TRANSLATOR_MIDI    = 'MIDI',
	B_TRANSLATOR_MEDIA   = 'mhi!',
	B_TRANSLATOR_NONE    = 'none',
	B_TRANSLATOR_ANY_TYPE = 0
};

// Common file formats.
enum {
	// bitmaps
	B_GIF_FORMAT  = 'GIF ',
	B_JPEG_FORMAT = 'JPEG',
	B_PNG_FORMAT  = 'PNG ',
	B_PPM_FORMAT  = 'PPM ',
	B_TGA_FORMAT  = 'TGA ',
	B_BMP_FORMAT  = 'BMP ',
	B_TIFF_FORMAT = 'TIFF',

	// pictures
	B_DXF_FORMAT  = 'DXF ',
	B_EPS_FORMAT  = 'EPS ',
	B_PICT_FORMAT = 'PICT',

	// sounds
	B_WAV_FORMAT  = 'WAV ',
	B_AIFF_FORMAT = 'AIFF',
	B_CD_FORMAT   = 'CD  ',
	B_AU_FORMAT   = 'AU  ',

	// text
	B_STYLED_TEXT_FORMAT = 'STXT'
};

// The standard bitmap format: this header, then exactly dataSize bytes of
// pixels in `colors`, rowBytes to a row, top row first. All header fields
// are big-endian in the stream (BBitmapStream reads and writes them so).
// `bounds` is inclusive, as every BRect: a 4 x 3 image has bounds
// (0, 0, 3, 2).
struct TranslatorBitmap {
	uint32 magic;         // B_TRANSLATOR_BITMAP
	BRect bounds;
	uint32 rowBytes;
	color_space colors;
	uint32 dataSize;
};

// The standard sound format: this header (big-endian), then 16-bit linear
// big-endian samples, channels interleaved, left first.
struct TranslatorSound {
	uint32 magic;         // B_TRANSLATOR_SOUND
	uint32 channels;
	float sampleFreq;
	uint32 numFrames;
};

// Styled text: a stream header, a text record, and optionally a style
// record, each starting with a record header (big-endian).
struct TranslatorStyledTextRecordHeader {
	uint32 magic;
	uint32 header_size;   // of the whole record header, this one included
	uint32 data_size;     // of the data after the record header
};

struct TranslatorStyledTextStreamHeader {
	enum { STREAM_HEADER_MAGIC = 'STXT' };
	TranslatorStyledTextRecordHeader header;
	int32 version;
};

struct TranslatorStyledTextTextHeader {
	enum { TEXT_HEADER_MAGIC = 'TEXT' };
	TranslatorStyledTextRecordHeader header;
	int32 charset;        // 0: UTF-8
};

struct TranslatorStyledTextStyleHeader {
	enum { STYLE_HEADER_MAGIC = 'STYL' };
	TranslatorStyledTextRecordHeader header;
	uint32 apply_offset;
	uint32 apply_length;
};

// Names of extension-message fields. A translator that does not know a
// field ignores it.
//
// "/headerOnly" (bool): write only the header of the standard format.
// "/dataOnly" (bool): write only the data that follows the header.
// "/comment" (string): a comment to store in, or read from, the file.
// "/time" (int32) and "/frame" (int32): which moment or frame of a moving
// or sounding format to translate.
inline constexpr char B_TRANSLATOR_EXT_HEADER_ONLY[] = "/headerOnly";
inline constexpr char B_TRANSLATOR_EXT_DATA_ONLY[] = "/dataOnly";
inline constexpr char B_TRANSLATOR_EXT_COMMENT[] = "/comment";
inline constexpr char B_TRANSLATOR_EXT_TIME[] = "/time";
inline constexpr char B_TRANSLATOR_EXT_FRAME[] = "/frame";
// Bitmaps: the part of the image to translate (BRect), the wanted colour
// space (int32), and a palette (raw data).
inline constexpr char B_TRANSLATOR_EXT_BITMAP_RECT[] = "bits/Rect";
inline constexpr char B_TRANSLATOR_EXT_BITMAP_COLOR_SPACE[] = "bits/space";
inline constexpr char B_TRANSLATOR_EXT_BITMAP_PALETTE[] = "bits/palette";
// Sounds.
inline constexpr char B_TRANSLATOR_EXT_SOUND_CHANNEL[] = "nois/channel";
inline constexpr char B_TRANSLATOR_EXT_SOUND_MONO[] = "nois/mono";
inline constexpr char B_TRANSLATOR_EXT_SOUND_MARKER[] = "nois/marker";
inline constexpr char B_TRANSLATOR_EXT_SOUND_LOOP[] = "nois/loop";

#endif
