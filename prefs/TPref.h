// Every setting of the displayer, shared with the companion editor through
// one file.
#ifndef PREFS_T_PREF_H
#define PREFS_T_PREF_H

#include "framework/TArchivable.h"

#include <Font.h>
#include <GraphicsDefs.h>

#include <string>

class TPref : public orvik::TArchivable {
public:
	TPref();
	TPref(const TPref& other) = default;
	TPref& operator=(const TPref& other) = default;
	virtual ~TPref();

	// All fields in their fixed order; true only when every field was added.
	virtual bool Archive(BMessage* archive) override;
	// Reads every field that is there with the right type; the others keep
	// their values. True only when every field was found.
	virtual bool Unarchive(const BMessage& archive) override;
	// The appearance alone (fields "AAli" to "BGIF"), for the presets.
	virtual bool ArchiveAppearance(BMessage* archive);
	virtual bool UnarchiveAppearance(const BMessage& archive);

	// Sets the font family, cut to B_FONT_FAMILY_LENGTH bytes (never inside
	// a UTF-8 character).
	void SetFontFamily(const char* family);

	bool stayOnTop;               // "SoTp"
	int32 fontL;                  // "FntL": kept for the shared file
	int32 readEncoding;           // "REnc": lyrics encoding, 4 = detect
	bigtime_t pollingInterval;    // "MTmI", microseconds
	std::string languageFile;     // "LLTF"
	// The appearance
	bool antiAliasing;            // "AAli"
	bool useActiveFrame;          // "UAFr"
	bool useBackgroundImage;      // "UBGI"
	font_family fontFamily;       // "FntF"
	int32 imageAlignment;         // "ImgA": 0 tile, other values scale to fit
	float fontSize;               // "FntS"
	rgb_color activeBackColor;    // "ABCl"
	rgb_color activeFrameColor;   // "AFCl"
	rgb_color activeTextColor;    // "ALCl"
	rgb_color backColor;          // "BGCl"
	rgb_color textColor;          // "LyCl"
	std::string backgroundImage;  // "BGIF"
	// For the editor, kept so that writing the shared file loses nothing
	bool doubleBuffering;         // "DbBf" (read by the displayer too)
	bool showToolBar;             // "STlB"
	int32 writeCrType;            // "WCRT"
	int32 writeEncoding;          // "WEnc"
	int32 timeDifference;         // "TmDf", milliseconds
	// Read the tags of downloaded LRC files too: several time tags on a
	// line, header tags, [offset:], three-digit fractions, word times.
	// Off by default; a file without the field keeps the default.
	bool readExtendedTags;        // "RExT"
};

#endif
