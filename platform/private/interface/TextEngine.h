// Text measuring and layout with Pango, one engine per thread.
//
// Pango's font maps, contexts and layouts may not be shared between threads
// without a lock, and windows draw text on their own threads at the same
// time. So every thread gets its own font map, contexts and layout, made on
// its first use of text and released when the thread ends; nothing here is
// shared except the read-only font list and the font-height cache (under a
// mutex). Font descriptions are made once per font and kept.
#ifndef INTERFACE_TEXT_ENGINE_H
#define INTERFACE_TEXT_ENGINE_H

#include <Font.h>

#include <pango/pango.h>

#include <map>
#include <string>
#include <tuple>

// Reads the private fields of BFont for the platform's own code.
class BFontPrivateAccess {
public:
	static uint16 FamilyID(const BFont& font) { return font.fFamilyID; }
	static uint16 StyleID(const BFont& font) { return font.fStyleID; }
	static void Set(BFont& font, uint16 family, uint16 style)
		{ font.fFamilyID = family; font.fStyleID = style; }
};

namespace BPrivate {

// Family index of a BFont that names no installed font (none is installed).
const uint16 kNoFontFamily = 0xffff;

class TextEngine {
public:
	// The calling thread's engine.
	static TextEngine& Current();

	~TextEngine();
	TextEngine(const TextEngine&) = delete;
	TextEngine& operator=(const TextEngine&) = delete;

	// A layout holding the text (its first `length` bytes; a negative length
	// means all of it) in the font, anti-aliased as the font's flags say.
	// Invalid UTF-8 is shown as U+FFFD and control characters as spaces, so
	// that a string is always one line. The layout belongs to the engine and
	// stays valid until the next call on this thread.
	PangoLayout* Layout(const BFont& font, const char* text, int32 length);

	// Advance width in pixels.
	float StringWidth(const BFont& font, const char* text, int32 length);

	// Ascent, descent and leading of the font (not of fallback fonts).
	void GetHeight(const BFont& font, font_height* height);

	// Whether the font's text is drawn anti-aliased.
	static bool IsAntialiased(const BFont& font);

private:
	TextEngine();
	PangoFontDescription* _Description(const BFont& font);
	const std::string& _Clean(const char* text, int32 length);

	PangoFontMap* fFontMap;
	PangoContext* fContext[2];     // [0] anti-aliased, [1] not
	PangoLayout* fLayout[2];
	typedef std::tuple<uint16, uint16, float> FontKey;
	std::map<FontKey, PangoFontDescription*> fDescriptions;
	std::string fScratch;
};

}

#endif
