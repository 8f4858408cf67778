// Basic types of the Translation Kit: how a translator describes the formats
// it reads and writes (translation_format), and what it says about one
// stream it has recognised (translator_info).
//
// Both are plain structures of fixed size, filled in place by translators;
// the strings are NUL-terminated and cut to fit.
#ifndef _TRANSLATION_DEFS_H
#define _TRANSLATION_DEFS_H

#include <SupportDefs.h>
#include <TranslationErrors.h>

// Identifies a translator inside one roster (never 0).
typedef uint32 translator_id;

// The version of this Translation Kit, and the oldest version whose
// translators and callers it still serves.
#define B_TRANSLATION_CURRENT_VERSION 500
#define B_TRANSLATION_MIN_VERSION     161

// The MIME type of translator add-on files.
extern const char* B_TRANSLATOR_MIME_TYPE;

// One format a translator reads or writes. `type` is the format's code
// ('PNG ', or a group code such as B_TRANSLATOR_BITMAP for the group's
// standard format), `group` the media group it belongs to. `quality` (how
// faithfully the translator renders the format) and `capability` (how much
// of the format it understands) lie between 0 and 1.
struct translation_format {
	uint32 type;
	uint32 group;
	float quality;
	float capability;
	char MIME[251];
	char name[251];
};

// What a translator reports about a stream it can translate: the stream's
// format (type, group, MIME, name), how well it handles it, and which
// translator of the roster said so.
struct translator_info {
	uint32 type;
	translator_id translator;
	uint32 group;
	float quality;
	float capability;
	char name[251];
	char MIME[251];
};

#endif
