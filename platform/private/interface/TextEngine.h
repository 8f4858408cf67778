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
// shaped once.
// The engine lives as long as the process.
#ifndef INTERFACE_TEXT_ENGINE_H
#define INTERFACE_TEXT_ENGINE_H

#include <Font.h>

#include <pango/pango.h>

#include <list>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

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
	// by font, anti-aliasing and text.
	typedef std::list<std::pair<std::string, PangoLayout*>> RecentLayouts;
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
