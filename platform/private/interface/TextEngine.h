// Text measuring and layout with Pango, shared by the whole process.
//
// Pango's font maps, contexts and layouts may not be used from several
// threads at once, and windows draw text on their own threads. So there is
// one engine (one font map, one context per anti-aliasing choice, and the
// layouts of the text used lately) behind one mutex: whoever measures or draws text holds the lock
// for as long as a layout is in use. Text work is short, so the threads
// hardly ever wait for each other, and fonts are loaded once for all of
// them. Font descriptions and font heights are made once per font and kept.
// The layouts of the last texts are kept too, so that text drawn again (a
// window's labels, the lines of a list) or measured and then drawn is
// shaped once; and with each, once drawn, the coverage of its glyphs, so
// that it is rasterised once as well.
// The engine lives as long as the process.
#ifndef INTERFACE_TEXT_ENGINE_H
#define INTERFACE_TEXT_ENGINE_H

#include <Font.h>

#include <cairo.h>
#include <pango/pango.h>

#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

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

// A text's glyphs as coverage (0 to 255 a pixel, overlapping glyphs adding
// up), drawn with the layout's origin on a whole pixel: `height` rows of
// `width` bytes, whose top left pixel lies `left`, `top` pixels from the
// origin. Placed at any other whole pixel it is the same, so it is made
// once for a text. Not changed once made.
struct TextCoverage {
	int32 left = 0;
	int32 top = 0;
	int32 width = 0;
	int32 height = 0;
	std::vector<uint8> bits;
};

// How glyphs go into coverage. It adds up, as in Cairo's own glyph masks:
// pixman composites glyphs onto an A8 mask with ADD on a fast path, while
// OVER takes its general one at about twice the cost per line of text.
const cairo_operator_t kGlyphOperator = CAIRO_OPERATOR_ADD;

class TextEngine {
public:
	// The engine, and the lock to hold while using it.
	static TextEngine& Get();
	static std::unique_lock<std::mutex> Lock();

	TextEngine(const TextEngine&) = delete;
	TextEngine& operator=(const TextEngine&) = delete;

	// Call with the lock held. A layout holding the text (its first
	// `length` bytes; a negative length means all of it) in the font,
	// anti-aliased as the font's flags say. Invalid UTF-8 is shown as U+FFFD
	// and control characters as spaces, so that a string is always one
	// line. The layout belongs to the engine and may be used until the lock
	// is released or the next call; it must not be changed.
	PangoLayout* Layout(const BFont& font, const char* text, int32 length);
	// Call with the lock held, right after Layout(): the coverage of the
	// layout it returned, made on first use and kept with it. Shared, so
	// that it may be used after the lock is released. NULL for text without
	// ink and for text too large to keep (64 KB of coverage), which is
	// drawn from the layout instead.
	std::shared_ptr<const TextCoverage> Coverage();

	// These take the lock themselves.
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
	// The layouts of the texts used lately, the latest first, and the same
	// by font, anti-aliasing and text; with each its coverage once drawn.
	struct Recent {
		std::string key;
		PangoLayout* layout;
		std::shared_ptr<const TextCoverage> coverage;
	};
	typedef std::list<Recent> RecentLayouts;
	RecentLayouts fRecent;
	std::unordered_map<std::string, RecentLayouts::iterator> fRecentByKey;
	std::string fKey;
	typedef std::tuple<uint16, uint16, float> FontKey;
	std::map<FontKey, PangoFontDescription*> fDescriptions;
	std::map<FontKey, font_height> fHeights;
	std::string fScratch;
};

}

#endif
