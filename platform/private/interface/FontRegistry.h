// The list of installed font families and styles, read from fontconfig once
// per process and never changed afterwards (so any thread may read it
// without a lock once Get() has returned).
//
// BFont refers to families and styles by their index in this list.
#ifndef INTERFACE_FONT_REGISTRY_H
#define INTERFACE_FONT_REGISTRY_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

struct FontStyleInfo {
	std::string name;     // as fontconfig names it ("Book", "Bold Oblique")
	int weight;           // OpenType scale: 400 regular, 700 bold
	bool italic;          // italic or oblique
	int stretch;          // percent of normal width (fontconfig's width)
	bool fixed;           // every glyph has the same advance
	uint16 face;          // B_*_FACE bits that describe the style
};

struct FontFamilyInfo {
	std::string name;
	std::vector<FontStyleInfo> styles;
	bool fixed;           // all its styles are fixed
};

class FontRegistry {
public:
	static const FontRegistry& Get();

	int32 CountFamilies() const { return (int32)fFamilies.size(); }
	// Null when the index is out of range.
	const FontFamilyInfo* FamilyAt(int32 index) const;
	const FontStyleInfo* StyleAt(int32 family, int32 style) const;

	// Index of a family or style by name (case is ignored), or -1.
	int32 FindFamily(const char* name) const;
	int32 FindStyle(int32 family, const char* name) const;
	// The style of the family that suits the face bits best; -1 only when
	// the family does not exist.
	int32 StyleForFace(int32 family, uint16 face) const;

	// The families that stand in when a family is missing. -1 only when no
	// font is installed at all.
	int32 DefaultFamily() const { return fDefaultFamily; }
	int32 DefaultFixedFamily() const { return fDefaultFixedFamily; }

private:
	FontRegistry();

	std::vector<FontFamilyInfo> fFamilies;
	int32 fDefaultFamily;
	int32 fDefaultFixedFamily;
};

}

#endif
