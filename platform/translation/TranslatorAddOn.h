// The older form of a translator add-on: instead of make_nth_translator,
// the add-on exports one translator as plain data and functions under
// these names. The roster still loads such add-ons.
//
// Required: translatorName, translatorInfo, translatorVersion, Identify and
// Translate. Optional: inputFormats and outputFormats (each ends with an
// entry whose type is 0), MakeConfig and GetConfigMessage. The functions
// behave as the BTranslator hooks of the same purpose. They may be
// declared with C or with C++ linkage; the roster looks for both.
#ifndef _TRANSLATOR_ADD_ON_H
#define _TRANSLATOR_ADD_ON_H

#include <TranslationDefs.h>

class BMessage;
class BPositionIO;
class BRect;
class BView;

extern char translatorName[];
extern char translatorInfo[];
extern int32 translatorVersion;

extern translation_format inputFormats[];
extern translation_format outputFormats[];

status_t Identify(BPositionIO* inSource, const translation_format* inFormat,
	BMessage* ioExtension, translator_info* outInfo, uint32 outType);
status_t Translate(BPositionIO* inSource, const translator_info* inInfo,
	BMessage* ioExtension, uint32 outType, BPositionIO* outDestination);
status_t MakeConfig(BMessage* ioExtension, BView** outView, BRect* outExtent);
status_t GetConfigMessage(BMessage* ioExtension);

#endif
