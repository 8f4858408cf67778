// AddOnTranslator: a BTranslator in front of an add-on of the older form,
// which exports its translator as plain symbols (see <TranslatorAddOn.h>)
// instead of make_nth_translator.
//
// The object points into the add-on's code and data; the roster keeps the
// add-on loaded for as long as the object exists.
#ifndef TRANSLATION_ADD_ON_TRANSLATOR_H
#define TRANSLATION_ADD_ON_TRANSLATOR_H

#include <Translator.h>

namespace BPrivate {

class AddOnTranslator : public BTranslator {
public:
	// A translator for the add-on `image`, or NULL when it lacks one of the
	// required symbols (translatorName, translatorInfo, translatorVersion,
	// Identify, Translate).
	static AddOnTranslator* Load(image_id image);

	virtual const char* TranslatorName() const;
	virtual const char* TranslatorInfo() const;
	virtual int32 TranslatorVersion() const;
	virtual const translation_format* InputFormats(int32* outCount) const;
	virtual const translation_format* OutputFormats(int32* outCount) const;
	virtual status_t Identify(BPositionIO* inSource,
		const translation_format* inFormat, BMessage* ioExtension,
		translator_info* outInfo, uint32 outType);
	virtual status_t Translate(BPositionIO* inSource,
		const translator_info* inInfo, BMessage* ioExtension, uint32 outType,
		BPositionIO* outDestination);
	virtual status_t MakeConfigurationView(BMessage* ioExtension,
		BView** outView, BRect* outExtent);
	virtual status_t GetConfigurationMessage(BMessage* ioExtension);

protected:
	virtual ~AddOnTranslator();

private:
	typedef status_t (*IdentifyFunc)(BPositionIO*, const translation_format*,
		BMessage*, translator_info*, uint32);
	typedef status_t (*TranslateFunc)(BPositionIO*, const translator_info*,
		BMessage*, uint32, BPositionIO*);
	typedef status_t (*MakeConfigFunc)(BMessage*, BView**, BRect*);
	typedef status_t (*GetConfigMessageFunc)(BMessage*);

	AddOnTranslator();

	const char* fName;
	const char* fInfo;
	int32 fVersion;
	const translation_format* fInputs;
	int32 fInputCount;
	const translation_format* fOutputs;
	int32 fOutputCount;
	IdentifyFunc fIdentify;
	TranslateFunc fTranslate;
	MakeConfigFunc fMakeConfig;
	GetConfigMessageFunc fGetConfigMessage;
};

}

#endif
