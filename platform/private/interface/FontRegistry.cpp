#include "interface/FontRegistry.h"

#include <Font.h>

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <algorithm>

// The leak checker's switch, present only in sanitizer builds.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

namespace BPrivate {

namespace {

const char* kDefaultFamily = "DejaVu Sans";
const char* kDefaultFixedFamily = "DejaVu Sans Mono";

uint16
face_for(int weight, bool italic)
{
	uint16 face = 0;
	if (weight >= 600)
		face |= B_BOLD_FACE;
	if (italic)
		face |= B_ITALIC_FACE;
	return face != 0 ? face : (uint16)B_REGULAR_FACE;
}

// BeOS names are limited in length; longer names are cut at a character
// boundary so that they still fit a font_family or font_style.
std::string
fit_name(const char* name)
{
	std::string result(name);
	if (result.size() <= B_FONT_FAMILY_LENGTH)
		return result;
	size_t cut = B_FONT_FAMILY_LENGTH;
	while (cut > 0 && (result[cut] & 0xC0) == 0x80)
		cut--;
	result.resize(cut);
	return result;
}

}

const FontRegistry&
FontRegistry::Get()
{
	static const FontRegistry sRegistry;
	return sRegistry;
}

FontRegistry::FontRegistry()
	:
	fDefaultFamily(-1),
	fDefaultFixedFamily(-1)
{
	// fontconfig keeps its configuration until the process ends and loses
	// a few bytes of it while loading; every program would show that as a
	// leak of its own, so the leak checker does not watch this call.
	if (__lsan_disable != NULL)
		__lsan_disable();
	FcInit();
	if (__lsan_enable != NULL)
		__lsan_enable();
	FcPattern* pattern = FcPatternCreate();
	FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT,
		FC_SLANT, FC_WIDTH, FC_SPACING, (char*)NULL);
	FcFontSet* set = FcFontList(NULL, pattern, objects);
	FcObjectSetDestroy(objects);
	FcPatternDestroy(pattern);

	for (int i = 0; set != NULL && i < set->nfont; i++) {
		FcPattern* font = set->fonts[i];
		FcChar8* family = NULL;
		FcChar8* style = NULL;
		// The first name is the typographic family ("DejaVu Sans" for
		// its condensed faces too, whose style then says "Condensed").
		if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch)
			continue;
		if (FcPatternGetString(font, FC_STYLE, 0, &style) != FcResultMatch)
			style = (FcChar8*)"Regular";
		int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN,
			width = FC_WIDTH_NORMAL, spacing = FC_PROPORTIONAL;
		FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
		FcPatternGetInteger(font, FC_SLANT, 0, &slant);
		FcPatternGetInteger(font, FC_WIDTH, 0, &width);
		FcPatternGetInteger(font, FC_SPACING, 0, &spacing);

		std::string familyName = fit_name((const char*)family);
		std::string styleName = fit_name((const char*)style);
		auto it = std::find_if(fFamilies.begin(), fFamilies.end(),
			[&](const FontFamilyInfo& info) { return info.name == familyName; });
		if (it == fFamilies.end()) {
			fFamilies.push_back(FontFamilyInfo{familyName, {}, true});
			it = fFamilies.end() - 1;
		}
		bool known = std::any_of(it->styles.begin(), it->styles.end(),
			[&](const FontStyleInfo& info) { return info.name == styleName; });
		if (known)
			continue;   // the same face installed twice
		FontStyleInfo info;
		info.name = styleName;
		info.weight = (int)FcWeightToOpenTypeDouble(weight);
		info.italic = slant != FC_SLANT_ROMAN;
		info.stretch = width;
		info.fixed = spacing == FC_MONO;
		info.face = face_for(info.weight, info.italic);
		it->styles.push_back(info);
		if (!info.fixed)
			it->fixed = false;
	}
	if (set != NULL)
		FcFontSetDestroy(set);

	auto byName = [](const std::string& a, const std::string& b) {
		return strcasecmp(a.c_str(), b.c_str()) < 0;
	};
	std::sort(fFamilies.begin(), fFamilies.end(),
		[&](const FontFamilyInfo& a, const FontFamilyInfo& b) {
			return byName(a.name, b.name);
		});
	// Styles from light to heavy, upright before slanted, normal width
	// first: the regular style is then found early in every list.
	for (FontFamilyInfo& family : fFamilies) {
		std::sort(family.styles.begin(), family.styles.end(),
			[](const FontStyleInfo& a, const FontStyleInfo& b) {
				bool aNormal = a.stretch == FC_WIDTH_NORMAL;
				bool bNormal = b.stretch == FC_WIDTH_NORMAL;
				if (aNormal != bNormal)
					return aNormal;
				if (a.stretch != b.stretch)
					return a.stretch < b.stretch;
				if (a.weight != b.weight)
					return a.weight < b.weight;
				return !a.italic && b.italic;
			});
	}

	fDefaultFamily = FindFamily(kDefaultFamily);
	if (fDefaultFamily < 0 && !fFamilies.empty())
		fDefaultFamily = 0;
	fDefaultFixedFamily = FindFamily(kDefaultFixedFamily);
	if (fDefaultFixedFamily < 0) {
		for (size_t i = 0; i < fFamilies.size() && fDefaultFixedFamily < 0; i++) {
			if (fFamilies[i].fixed)
				fDefaultFixedFamily = (int32)i;
		}
	}
	if (fDefaultFixedFamily < 0)
		fDefaultFixedFamily = fDefaultFamily;
}

const FontFamilyInfo*
FontRegistry::FamilyAt(int32 index) const
{
	if (index < 0 || index >= (int32)fFamilies.size())
		return NULL;
	return &fFamilies[index];
}

const FontStyleInfo*
FontRegistry::StyleAt(int32 family, int32 style) const
{
	const FontFamilyInfo* info = FamilyAt(family);
	if (info == NULL || style < 0 || style >= (int32)info->styles.size())
		return NULL;
	return &info->styles[style];
}

int32
FontRegistry::FindFamily(const char* name) const
{
	if (name == NULL)
		return -1;
	for (size_t i = 0; i < fFamilies.size(); i++) {
		if (strcasecmp(fFamilies[i].name.c_str(), name) == 0)
			return (int32)i;
	}
	return -1;
}

int32
FontRegistry::FindStyle(int32 family, const char* name) const
{
	const FontFamilyInfo* info = FamilyAt(family);
	if (info == NULL || name == NULL)
		return -1;
	for (size_t i = 0; i < info->styles.size(); i++) {
		if (strcasecmp(info->styles[i].name.c_str(), name) == 0)
			return (int32)i;
	}
	// "Regular", "Book", "Normal" and "Roman" name the same thing in
	// different families.
	static const char* const kRegularNames[] = {"Regular", "Book", "Normal", "Roman", "Medium"};
	bool wantsRegular = false;
	for (const char* regular : kRegularNames)
		wantsRegular = wantsRegular || strcasecmp(name, regular) == 0;
	if (wantsRegular)
		return StyleForFace(family, B_REGULAR_FACE);
	return -1;
}

int32
FontRegistry::StyleForFace(int32 family, uint16 face) const
{
	const FontFamilyInfo* info = FamilyAt(family);
	if (info == NULL)
		return -1;
	int targetWeight = (face & B_BOLD_FACE) != 0 ? 700 : 400;
	bool wantItalic = (face & B_ITALIC_FACE) != 0;
	int32 best = -1;
	int bestScore = 0;
	for (size_t i = 0; i < info->styles.size(); i++) {
		const FontStyleInfo& style = info->styles[i];
		int score = abs(style.weight - targetWeight)
			+ (style.italic != wantItalic ? 1000 : 0)
			+ abs(style.stretch - FC_WIDTH_NORMAL) * 4;
		if (best < 0 || score < bestScore) {
			best = (int32)i;
			bestScore = score;
		}
	}
	return best;
}

}
