// BFont: a font face at a size, and the font-listing functions.
//
// Fonts come from fontconfig; text is measured and drawn with Pango. A BFont
// is a small value object: copying it is cheap and it owns nothing. Family
// and style are looked up in a font list that is read once per process.
//
// Defaults: be_plain_font is DejaVu Sans Book 12, be_bold_font DejaVu Sans
// Bold 12, be_fixed_font DejaVu Sans Mono Book 12. When a requested family is
// not installed, the font takes the default family (DejaVu Sans, or the first
// installed family if even that is missing). Characters that the family lacks
// (Japanese, for one; IPAGothic serves it) are found by fontconfig in other
// installed fonts when the text is drawn and measured.
//
// Sizes are in points, which are pixels: the display works at 72 dpi.
// Shear and rotation are kept but not drawn.
//
// Thread safety: BFont objects are values (one thread per object, as with
// any value); the free functions and the be_*_font globals may be used
// from any thread.
#ifndef _FONT_H
#define _FONT_H

#include <InterfaceDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH  63

typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Spacing (SetSpacing). Our layout spaces characters the same way for all
// of them; the value is kept and reported.
enum {
	B_CHAR_SPACING   = 0,
	B_STRING_SPACING = 1,
	B_BITMAP_SPACING = 2,
	B_FIXED_SPACING  = 3
};

enum font_direction {
	B_FONT_LEFT_TO_RIGHT = 0,
	B_FONT_RIGHT_TO_LEFT = 1
};

// Flags (SetFlags). Without either, text is anti-aliased.
enum {
	B_DISABLE_ANTIALIASING = 0x00000001,
	B_FORCE_ANTIALIASING   = 0x00000002
};

enum {
	B_TRUNCATE_END       = 0,
	B_TRUNCATE_BEGINNING = 1,
	B_TRUNCATE_MIDDLE    = 2,
	B_TRUNCATE_SMART     = 3
};

// Encodings (SetEncoding). Strings given to the platform are UTF-8 in any
// case; the value is kept and reported.
enum {
	B_UNICODE_UTF8    = 0,
	B_ISO_8859_1      = 1,
	B_ISO_8859_2      = 2,
	B_ISO_8859_3      = 3,
	B_ISO_8859_4      = 4,
	B_ISO_8859_5      = 5,
	B_ISO_8859_6      = 6,
	B_ISO_8859_7      = 7,
	B_ISO_8859_8      = 8,
	B_ISO_8859_9      = 9,
	B_ISO_8859_10     = 10,
	B_MACINTOSH_ROMAN = 11
};

// Which properties BView::SetFont() takes from the font it is given.
enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE             = 0x00000002,
	B_FONT_SHEAR            = 0x00000004,
	B_FONT_ROTATION         = 0x00000008,
	B_FONT_SPACING          = 0x00000010,
	B_FONT_ENCODING         = 0x00000020,
	B_FONT_FACE             = 0x00000040,
	B_FONT_FLAGS            = 0x00000080,
	B_FONT_ALL              = 0x000000FF
};

// Faces: bits describing a style.
enum {
	B_ITALIC_FACE     = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE   = 0x0004,
	B_OUTLINED_FACE   = 0x0008,
	B_STRIKEOUT_FACE  = 0x0010,
	B_BOLD_FACE       = 0x0020,
	B_REGULAR_FACE    = 0x0040
};

// Flags of get_font_family() and get_font_style().
enum {
	B_HAS_TUNED_FONT = 0x0001,
	B_IS_FIXED       = 0x0002
};

enum font_metric_mode {
	B_SCREEN_METRIC   = 0,
	B_PRINTING_METRIC = 1
};

enum font_file_format {
	B_TRUETYPE_WINDOWS         = 0,
	B_POSTSCRIPT_TYPE1_WINDOWS = 1
};

// Vertical metrics in pixels. A line of text needs
// ascent + descent + leading.
struct font_height {
	float ascent;
	float descent;
	float leading;
};

struct escapement_delta {
	float nonspace;
	float space;
};

struct edge_info {
	float left;
	float right;
};

class BFont {
public:
	// A copy of be_plain_font.
	BFont();
	BFont(const BFont& font);
	BFont(const BFont* font);
	BFont& operator=(const BFont& font);

	// B_NAME_NOT_FOUND when the family is not installed: the font then takes
	// the default family with the nearest style to the one asked for. A style
	// the family lacks is B_NAME_NOT_FOUND too, and keeps the family with its
	// regular style. A null family keeps the current family.
	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	// A code from FamilyAndStyle(); an unknown code is ignored.
	void SetFamilyAndStyle(uint32 code);
	// Picks the style of the family that matches the face bits best
	// (B_REGULAR_FACE, B_BOLD_FACE, B_ITALIC_FACE, or bold and italic).
	// Same errors and fallback as SetFamilyAndStyle.
	status_t SetFamilyAndFace(const font_family family, uint16 face);

	// Sizes below 1 become 1, sizes above 10000 become 10000.
	void SetSize(float size);
	void SetShear(float shear);        // degrees, 45 to 135 (90 is upright)
	void SetRotation(float rotation);  // degrees
	void SetSpacing(uint8 spacing);
	void SetEncoding(uint8 encoding);
	// Chooses the style of the current family that fits the face bits.
	void SetFace(uint16 face);
	void SetFlags(uint32 flags);

	void GetFamilyAndStyle(font_family* family, font_style* style) const;
	uint32 FamilyAndStyle() const;
	float Size() const { return fSize; }
	float Shear() const { return fShear; }
	float Rotation() const { return fRotation; }
	uint8 Spacing() const { return fSpacing; }
	uint8 Encoding() const { return fEncoding; }
	uint16 Face() const { return fFace; }
	uint32 Flags() const { return fFlags; }

	font_direction Direction() const { return B_FONT_LEFT_TO_RIGHT; }
	bool IsFixed() const;
	bool IsFullAndHalfFixed() const { return false; }
	font_file_format FileFormat() const { return B_TRUETYPE_WINDOWS; }
	// The box that every glyph fits in, relative to the baseline origin.
	BRect BoundingBox() const;

	// Width of UTF-8 text (the whole string, or its first `length` bytes).
	// Characters from fallback fonts are measured as they will be drawn.
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(const char* stringArray[], const int32 lengthArray[],
		int32 numStrings, float widthArray[]) const;
	// Advance of each character, as a fraction of the font size.
	// numChars counts characters, not bytes.
	void GetEscapements(const char charArray[], int32 numChars,
		float escapementArray[]) const;
	void GetEscapements(const char charArray[], int32 numChars,
		escapement_delta* delta, float escapementArray[]) const;

	void GetHeight(font_height* height) const;

	bool operator==(const BFont& font) const;
	bool operator!=(const BFont& font) const { return !(*this == font); }

	void PrintToStream() const;

private:
	friend class BFontPrivateAccess;

	uint16 fFamilyID;
	uint16 fStyleID;
	float fSize;
	float fShear;
	float fRotation;
	uint8 fSpacing;
	uint8 fEncoding;
	uint16 fFace;
	uint32 fFlags;
};

// The system fonts, set up on first use of the font system (at library
// load). They belong to the library.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

// Installed families in alphabetical order, and their styles.
int32 count_font_families();
status_t get_font_family(int32 index, font_family* name, uint32* flags = NULL);
int32 count_font_styles(font_family name);
status_t get_font_style(font_family family, int32 index, font_style* name,
	uint32* flags = NULL);
status_t get_font_style(font_family family, int32 index, font_style* name,
	uint16* face, uint32* flags = NULL);
// The list is read once; it does not change while the program runs.
bool update_font_families(bool checkOnly);

#endif
