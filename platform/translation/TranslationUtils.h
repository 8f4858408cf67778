// BTranslationUtils: shortcuts for the common uses of the Translation Kit,
// above all reading an image file into a BBitmap.
//
// The GetBitmap() forms return a new bitmap that the caller deletes, or
// NULL when the data cannot be read or no translator understands it. They
// use `use` when given, else BTranslatorRoster::Default(). Images come in
// B_RGB32, or B_RGBA32 when they carry transparency (whatever colour space
// an add-on translator chose is kept if BBitmap supports it).
#ifndef _TRANSLATION_UTILS_H
#define _TRANSLATION_UTILS_H

#include <TranslationDefs.h>

struct entry_ref;
class BBitmap;
class BMessage;
class BPositionIO;
class BTranslatorRoster;

class BTranslationUtils {
public:
	// The file `name` (relative to the current folder, or absolute); failing
	// that, the application's resource of type B_TRANSLATOR_BITMAP with that
	// name.
	static BBitmap* GetBitmap(const char* name, BTranslatorRoster* use = NULL);
	// The application's resource of that type and id, or name.
	static BBitmap* GetBitmap(uint32 type, int32 id,
		BTranslatorRoster* use = NULL);
	static BBitmap* GetBitmap(uint32 type, const char* name,
		BTranslatorRoster* use = NULL);
	// The file only.
	static BBitmap* GetBitmapFile(const char* name,
		BTranslatorRoster* use = NULL);
	static BBitmap* GetBitmap(const entry_ref* ref,
		BTranslatorRoster* use = NULL);
	// The stream from its current position.
	static BBitmap* GetBitmap(BPositionIO* stream,
		BTranslatorRoster* use = NULL);

	// A new message with the translator's current options (the caller
	// deletes it), or NULL. The second form looks for the translator of
	// that name and version in the default roster.
	static BMessage* GetDefaultSettings(translator_id forTranslator,
		BTranslatorRoster* use = NULL);
	static BMessage* GetDefaultSettings(const char* translatorName,
		int32 translatorVersion);

private:
	BTranslationUtils() = delete;
};

#endif
