#include "interface/TextEngine.h"

#include "interface/FontRegistry.h"

#include <pango/pangocairo.h>
#include <string.h>

#include <mutex>

namespace BPrivate {

namespace {

std::mutex sLock;

// How many layouts are kept: the texts of a few windows.
const size_t kRecentLayouts = 64;
// Coverage larger than this (a long text in a large font) is not made:
// such text is drawn through the painter's own mask, cut to the target.
const size_t kLargestKeptCoverage = 64 * 1024;

void
apply_options(PangoContext* context, bool antialias)
{
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_antialias(options,
		antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
	cairo_font_options_set_hint_style(options,
		antialias ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_FULL);
	// Whole-pixel advances: what is measured is exactly what is drawn.
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	pango_cairo_context_set_font_options(context, options);
	cairo_font_options_destroy(options);
}

PangoStretch
stretch_for(int width)
{
	if (width <= 56) return PANGO_STRETCH_ULTRA_CONDENSED;
	if (width <= 69) return PANGO_STRETCH_EXTRA_CONDENSED;
	if (width <= 81) return PANGO_STRETCH_CONDENSED;
	if (width <= 93) return PANGO_STRETCH_SEMI_CONDENSED;
	if (width <= 106) return PANGO_STRETCH_NORMAL;
	if (width <= 119) return PANGO_STRETCH_SEMI_EXPANDED;
	if (width <= 137) return PANGO_STRETCH_EXPANDED;
	if (width <= 175) return PANGO_STRETCH_EXTRA_EXPANDED;
	return PANGO_STRETCH_ULTRA_EXPANDED;
}

}

TextEngine&
TextEngine::Get()
{
	// Never destroyed: threads may still draw while the process exits.
	static TextEngine* sEngine = new TextEngine;
	return *sEngine;
}

std::unique_lock<std::mutex>
TextEngine::Lock()
{
	return std::unique_lock<std::mutex>(sLock);
}

TextEngine::TextEngine()
{
	fFontMap = pango_cairo_font_map_new();
	// Points are pixels.
	pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fFontMap), 72.0);
	for (int i = 0; i < 2; i++) {
		fContext[i] = pango_font_map_create_context(fFontMap);
		apply_options(fContext[i], i == 0);
	}
}

bool
TextEngine::IsAntialiased(const BFont& font)
{
	return (font.Flags() & B_DISABLE_ANTIALIASING) == 0
		|| (font.Flags() & B_FORCE_ANTIALIASING) != 0;
}

PangoFontDescription*
TextEngine::_Description(const BFont& font)
{
	FontKey key(BFontPrivateAccess::FamilyID(font),
		BFontPrivateAccess::StyleID(font), font.Size());
	auto found = fDescriptions.find(key);
	if (found != fDescriptions.end())
		return found->second;

	PangoFontDescription* description = pango_font_description_new();
	const FontRegistry& registry = FontRegistry::Get();
	const FontFamilyInfo* family = registry.FamilyAt(std::get<0>(key));
	const FontStyleInfo* style = registry.StyleAt(std::get<0>(key), std::get<1>(key));
	pango_font_description_set_family(description,
		family != NULL ? family->name.c_str() : "sans-serif");
	if (style != NULL) {
		pango_font_description_set_weight(description, (PangoWeight)style->weight);
		pango_font_description_set_style(description,
			style->italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
		pango_font_description_set_stretch(description, stretch_for(style->stretch));
	}
	pango_font_description_set_absolute_size(description,
		font.Size() * PANGO_SCALE);
	fDescriptions.emplace(key, description);
	return description;
}

const std::string&
TextEngine::_Clean(const char* text, int32 length)
{
	size_t size = 0;
	if (text != NULL)
		size = length < 0 ? strlen(text) : strnlen(text, (size_t)length);
	fScratch.assign(text != NULL ? text : "", size);
	if (!g_utf8_validate(fScratch.data(), (gssize)fScratch.size(), NULL)) {
		gchar* valid = g_utf8_make_valid(fScratch.data(), (gssize)fScratch.size());
		fScratch = valid;
		g_free(valid);
	}
	for (char& c : fScratch) {
		if ((unsigned char)c < 0x20 || c == 0x7f)
			c = ' ';
	}
	return fScratch;
}

PangoLayout*
TextEngine::Layout(const BFont& font, const char* text, int32 length)
{
	const bool antialiased = IsAntialiased(font);
	const std::string& clean = _Clean(text, length);
	const uint16 family = BFontPrivateAccess::FamilyID(font);
	const uint16 style = BFontPrivateAccess::StyleID(font);
	const float size = font.Size();
	fKey.assign(1, antialiased ? 'a' : 'n');
	fKey.append((const char*)&family, sizeof(family));
	fKey.append((const char*)&style, sizeof(style));
	fKey.append((const char*)&size, sizeof(size));
	fKey.append(clean);

	auto found = fRecentByKey.find(fKey);
	if (found != fRecentByKey.end()) {
		fRecent.splice(fRecent.begin(), fRecent, found->second);
		return found->second->layout;
	}

	PangoContext* context = fContext[antialiased ? 0 : 1];
	PangoLayout* layout = NULL;
	if (fRecent.size() >= kRecentLayouts) {
		// the least recently used one makes room
		layout = fRecent.back().layout;
		fRecentByKey.erase(fRecent.back().key);
		fRecent.pop_back();
		if (pango_layout_get_context(layout) != context) {
			g_object_unref(layout);
			layout = NULL;
		}
	}
	if (layout == NULL) {
		layout = pango_layout_new(context);
		pango_layout_set_single_paragraph_mode(layout, TRUE);
	}
	pango_layout_set_font_description(layout, _Description(font));
	pango_layout_set_text(layout, clean.data(), (int)clean.size());
	fRecent.push_front(Recent{fKey, layout, nullptr});
	fRecentByKey.emplace(fKey, fRecent.begin());
	return layout;
}

std::shared_ptr<const TextCoverage>
TextEngine::Coverage()
{
	if (fRecent.empty())
		return nullptr;
	Recent& recent = fRecent.front();
	if (recent.coverage != nullptr)
		return recent.coverage;

	PangoRectangle ink;
	pango_layout_get_pixel_extents(recent.layout, &ink, NULL);
	// A pixel more all round, for Cairo's soft edges beyond Pango's box.
	if (ink.width <= 0 || ink.height <= 0
		|| (size_t)(ink.width + 3) * (size_t)(ink.height + 3) > kLargestKeptCoverage)
		return nullptr;
	auto coverage = std::make_shared<TextCoverage>();
	coverage->left = ink.x - 1;
	coverage->top = ink.y - 1;
	coverage->width = ink.width + 3;
	coverage->height = ink.height + 3;
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8,
		coverage->width, coverage->height);
	cairo_t* cr = cairo_create(surface);
	if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
		cairo_destroy(cr);
		cairo_surface_destroy(surface);
		return nullptr;
	}
	cairo_set_operator(cr, kGlyphOperator);
	cairo_move_to(cr, -coverage->left, -coverage->top);
	pango_cairo_show_layout(cr, recent.layout);
	cairo_destroy(cr);
	cairo_surface_flush(surface);
	const uint8* data = cairo_image_surface_get_data(surface);
	const int32 stride = cairo_image_surface_get_stride(surface);
	coverage->bits.resize((size_t)coverage->width * coverage->height);
	for (int32 y = 0; y < coverage->height; y++) {
		memcpy(coverage->bits.data() + (size_t)y * coverage->width,
			data + (size_t)y * stride, coverage->width);
	}
	cairo_surface_destroy(surface);
	recent.coverage = coverage;
	return coverage;
}

float
TextEngine::StringWidth(const BFont& font, const char* text, int32 length)
{
	if (text == NULL || length == 0 || text[0] == '\0')
		return 0.0f;
	std::unique_lock<std::mutex> lock = Lock();
	PangoLayout* layout = Layout(font, text, length);
	PangoRectangle logical;
	pango_layout_get_extents(layout, NULL, &logical);
	return (float)logical.width / PANGO_SCALE;
}

void
TextEngine::GetHeight(const BFont& font, font_height* height)
{
	FontKey key(BFontPrivateAccess::FamilyID(font),
		BFontPrivateAccess::StyleID(font), font.Size());
	std::unique_lock<std::mutex> lock = Lock();
	auto found = fHeights.find(key);
	if (found != fHeights.end()) {
		*height = found->second;
		return;
	}
	PangoFontMetrics* metrics = pango_context_get_metrics(fContext[0],
		_Description(font), pango_language_from_string("en"));
	font_height result;
	result.ascent = (float)pango_font_metrics_get_ascent(metrics) / PANGO_SCALE;
	result.descent = (float)pango_font_metrics_get_descent(metrics) / PANGO_SCALE;
	float lineHeight = (float)pango_font_metrics_get_height(metrics) / PANGO_SCALE;
	result.leading = lineHeight - result.ascent - result.descent;
	if (result.leading < 0.0f)
		result.leading = 0.0f;
	pango_font_metrics_unref(metrics);
	fHeights.emplace(key, result);
	*height = result;
}

}
