#include <Font.h>

#include <stdio.h>
#include <string.h>

#include "interface/FontRegistry.h"
#include "interface/TextEngine.h"

using BPrivate::FontRegistry;
using BPrivate::TextEngine;
using BPrivate::kNoFontFamily;

namespace {

const float kDefaultSize = 12.0f;
const float kMinSize = 1.0f;
const float kMaxSize = 10000.0f;
// Faces that decorate a style instead of choosing it.
const uint16 kDecorationFaces = B_UNDERSCORE_FACE | B_NEGATIVE_FACE
	| B_OUTLINED_FACE | B_STRIKEOUT_FACE;

void
copy_name(char* destination, const std::string& name)
{
	// Registry names already fit; the bound is the destination's size.
	strncpy(destination, name.c_str(), B_FONT_FAMILY_LENGTH);
	destination[B_FONT_FAMILY_LENGTH] = '\0';
}

struct SystemFonts {
	BFont plain;
	BFont bold;
	BFont fixed;

	SystemFonts()
	{
		bold.SetFace(B_BOLD_FACE);
		const FontRegistry& registry = FontRegistry::Get();
		const BPrivate::FontFamilyInfo* family
			= registry.FamilyAt(registry.DefaultFixedFamily());
		if (family != NULL) {
			font_family name;
			copy_name(name, family->name);
			fixed.SetFamilyAndFace(name, B_REGULAR_FACE);
		}
	}
};

const SystemFonts&
system_fonts()
{
	static const SystemFonts sFonts;
	return sFonts;
}

}

const BFont* be_plain_font = &system_fonts().plain;
const BFont* be_bold_font = &system_fonts().bold;
const BFont* be_fixed_font = &system_fonts().fixed;

BFont::BFont()
	:
	fFamilyID(kNoFontFamily),
	fStyleID(0),
	fSize(kDefaultSize),
	fShear(90.0f),
	fRotation(0.0f),
	fSpacing(B_CHAR_SPACING),
	fEncoding(B_UNICODE_UTF8),
	fFace(B_REGULAR_FACE),
	fFlags(0)
{
	// The plain system font, built from the font list directly so that the
	// system fonts themselves can be made with this constructor.
	const FontRegistry& registry = FontRegistry::Get();
	int32 family = registry.DefaultFamily();
	if (family >= 0) {
		fFamilyID = (uint16)family;
		fStyleID = (uint16)registry.StyleForFace(family, B_REGULAR_FACE);
		fFace = registry.StyleAt(fFamilyID, fStyleID)->face;
	}
}

BFont::BFont(const BFont& font) = default;

BFont::BFont(const BFont* font)
	:
	BFont()
{
	if (font != NULL)
		*this = *font;
}

BFont& BFont::operator=(const BFont& font) = default;

status_t
BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	const FontRegistry& registry = FontRegistry::Get();
	status_t status = B_OK;
	int32 familyID = fFamilyID == kNoFontFamily ? -1 : (int32)fFamilyID;
	if (family != NULL) {
		familyID = registry.FindFamily(family);
		if (familyID < 0) {
			familyID = registry.DefaultFamily();
			status = B_NAME_NOT_FOUND;
		}
	}
	if (familyID < 0)
		return B_NAME_NOT_FOUND;   // no font installed at all

	int32 styleID = -1;
	if (style != NULL) {
		styleID = registry.FindStyle(familyID, style);
		if (styleID < 0 && status == B_OK)
			status = B_NAME_NOT_FOUND;
	}
	if (styleID < 0) {
		// Missing family: keep the face we had; missing style: regular.
		uint16 face = (status == B_NAME_NOT_FOUND && family != NULL
				&& registry.FindFamily(family) < 0)
			? fFace : (uint16)B_REGULAR_FACE;
		styleID = registry.StyleForFace(familyID, face);
	}
	fFamilyID = (uint16)familyID;
	fStyleID = (uint16)styleID;
	fFace = (uint16)((fFace & kDecorationFaces)
		| registry.StyleAt(familyID, styleID)->face);
	return status;
}

void
BFont::SetFamilyAndStyle(uint32 code)
{
	int32 family = (int32)(code >> 16);
	int32 style = (int32)(code & 0xffff);
	const BPrivate::FontStyleInfo* info = FontRegistry::Get().StyleAt(family, style);
	if (info == NULL)
		return;
	fFamilyID = (uint16)family;
	fStyleID = (uint16)style;
	fFace = (uint16)((fFace & kDecorationFaces) | info->face);
}

status_t
BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	const FontRegistry& registry = FontRegistry::Get();
	status_t status = B_OK;
	int32 familyID = fFamilyID == kNoFontFamily ? -1 : (int32)fFamilyID;
	if (family != NULL) {
		familyID = registry.FindFamily(family);
		if (familyID < 0) {
			familyID = registry.DefaultFamily();
			status = B_NAME_NOT_FOUND;
		}
	}
	if (familyID < 0)
		return B_NAME_NOT_FOUND;
	int32 styleID = registry.StyleForFace(familyID, face);
	fFamilyID = (uint16)familyID;
	fStyleID = (uint16)styleID;
	fFace = (uint16)((face & kDecorationFaces)
		| registry.StyleAt(familyID, styleID)->face);
	return status;
}

void
BFont::SetSize(float size)
{
	// NaN fails both comparisons and ends up at the default.
	if (!(size >= kMinSize))
		size = size < kMinSize ? kMinSize : kDefaultSize;
	if (size > kMaxSize)
		size = kMaxSize;
	fSize = size;
}

void
BFont::SetShear(float shear)
{
	if (shear < 45.0f)
		shear = 45.0f;
	if (shear > 135.0f)
		shear = 135.0f;
	fShear = shear;
}

void BFont::SetRotation(float rotation) { fRotation = rotation; }
void BFont::SetSpacing(uint8 spacing) { fSpacing = spacing; }
void BFont::SetEncoding(uint8 encoding) { fEncoding = encoding; }
void BFont::SetFlags(uint32 flags) { fFlags = flags; }

void
BFont::SetFace(uint16 face)
{
	if (fFamilyID == kNoFontFamily) {
		fFace = face;
		return;
	}
	const FontRegistry& registry = FontRegistry::Get();
	fStyleID = (uint16)registry.StyleForFace(fFamilyID, face);
	fFace = (uint16)((face & kDecorationFaces)
		| registry.StyleAt(fFamilyID, fStyleID)->face);
}

void
BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	const FontRegistry& registry = FontRegistry::Get();
	const BPrivate::FontFamilyInfo* familyInfo = registry.FamilyAt(fFamilyID);
	const BPrivate::FontStyleInfo* styleInfo = registry.StyleAt(fFamilyID, fStyleID);
	if (family != NULL)
		copy_name(*family, familyInfo != NULL ? familyInfo->name : std::string());
	if (style != NULL)
		copy_name(*style, styleInfo != NULL ? styleInfo->name : std::string());
}

uint32
BFont::FamilyAndStyle() const
{
	return ((uint32)fFamilyID << 16) | fStyleID;
}

bool
BFont::IsFixed() const
{
	const BPrivate::FontStyleInfo* style
		= FontRegistry::Get().StyleAt(fFamilyID, fStyleID);
	return style != NULL && style->fixed;
}

BRect
BFont::BoundingBox() const
{
	font_height height;
	GetHeight(&height);
	return BRect(0.0f, -height.ascent, fSize, height.descent);
}

float
BFont::StringWidth(const char* string) const
{
	return StringWidth(string, -1);
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	return TextEngine::Get().StringWidth(*this, string, length);
}

void
BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[],
	int32 numStrings, float widthArray[]) const
{
	if (stringArray == NULL || lengthArray == NULL || widthArray == NULL)
		return;
	for (int32 i = 0; i < numStrings; i++)
		widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void
BFont::GetEscapements(const char charArray[], int32 numChars,
	float escapementArray[]) const
{
	GetEscapements(charArray, numChars, NULL, escapementArray);
}

void
BFont::GetEscapements(const char charArray[], int32 numChars,
	escapement_delta* delta, float escapementArray[]) const
{
	if (charArray == NULL || escapementArray == NULL)
		return;
	// Each character measured on its own: enough for the uses of
	// escapements (caret positions, truncation), and never past the
	// string's end.
	const char* c = charArray;
	for (int32 i = 0; i < numChars; i++) {
		if (*c == '\0') {
			escapementArray[i] = 0.0f;
			continue;
		}
		int32 bytes = 1;
		while ((c[bytes] & 0xC0) == 0x80)
			bytes++;
		float width = StringWidth(c, bytes);
		if (delta != NULL)
			width += (*c == ' ') ? delta->space : delta->nonspace;
		escapementArray[i] = fSize > 0.0f ? width / fSize : 0.0f;
		c += bytes;
	}
}

void
BFont::GetHeight(font_height* height) const
{
	if (height != NULL)
		TextEngine::Get().GetHeight(*this, height);
}

bool
BFont::operator==(const BFont& font) const
{
	return fFamilyID == font.fFamilyID && fStyleID == font.fStyleID
		&& fSize == font.fSize && fShear == font.fShear
		&& fRotation == font.fRotation && fSpacing == font.fSpacing
		&& fEncoding == font.fEncoding && fFace == font.fFace
		&& fFlags == font.fFlags;
}

void
BFont::PrintToStream() const
{
	font_family family;
	font_style style;
	GetFamilyAndStyle(&family, &style);
	printf("BFont { %s (%s) size %.1f shear %.1f rotation %.1f face 0x%x"
		" flags 0x%x }\n", family, style, fSize, fShear, fRotation,
		(unsigned)fFace, (unsigned)fFlags);
}

int32
count_font_families()
{
	return FontRegistry::Get().CountFamilies();
}

status_t
get_font_family(int32 index, font_family* name, uint32* flags)
{
	const BPrivate::FontFamilyInfo* family = FontRegistry::Get().FamilyAt(index);
	if (family == NULL || name == NULL)
		return B_BAD_VALUE;
	copy_name(*name, family->name);
	if (flags != NULL)
		*flags = family->fixed ? B_IS_FIXED : 0;
	return B_OK;
}

int32
count_font_styles(font_family name)
{
	const FontRegistry& registry = FontRegistry::Get();
	const BPrivate::FontFamilyInfo* family = registry.FamilyAt(registry.FindFamily(name));
	return family != NULL ? (int32)family->styles.size() : -1;
}

status_t
get_font_style(font_family family, int32 index, font_style* name, uint32* flags)
{
	return get_font_style(family, index, name, NULL, flags);
}

status_t
get_font_style(font_family family, int32 index, font_style* name, uint16* face,
	uint32* flags)
{
	const FontRegistry& registry = FontRegistry::Get();
	const BPrivate::FontStyleInfo* style
		= registry.StyleAt(registry.FindFamily(family), index);
	if (style == NULL || name == NULL)
		return B_BAD_VALUE;
	copy_name(*name, style->name);
	if (face != NULL)
		*face = style->face;
	if (flags != NULL)
		*flags = style->fixed ? B_IS_FIXED : 0;
	return B_OK;
}

bool
update_font_families(bool /*checkOnly*/)
{
	return false;
}
