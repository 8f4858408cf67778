#include "translation/AddOnTranslator.h"

#include <image.h>

namespace BPrivate {

namespace {

// The functions may have been compiled with C or with C++ linkage; these
// are the C++ names of the <TranslatorAddOn.h> declarations.
const char* const kIdentifyMangled
	= "_Z8IdentifyP11BPositionIOPK18translation_formatP8BMessageP15translator_infoj";
const char* const kTranslateMangled
	= "_Z9TranslateP11BPositionIOPK15translator_infoP8BMessagejS0_";
const char* const kMakeConfigMangled = "_Z10MakeConfigP8BMessagePP5BViewP5BRect";
const char* const kGetConfigMessageMangled = "_Z16GetConfigMessageP8BMessage";

void*
find_symbol(image_id image, const char* name, const char* mangled = NULL)
{
	void* symbol = NULL;
	if (get_image_symbol(image, name, B_SYMBOL_TYPE_ANY, &symbol) == B_OK
		&& symbol != NULL)
		return symbol;
	if (mangled != NULL
		&& get_image_symbol(image, mangled, B_SYMBOL_TYPE_ANY, &symbol) == B_OK)
		return symbol;
	return NULL;
}

// Format tables end with an entry of type 0. A table without its end is
// not trusted past this many entries.
const int32 kMaxFormats = 256;

int32
count_formats(const translation_format* formats)
{
	if (formats == NULL)
		return 0;
	int32 count = 0;
	while (count < kMaxFormats && formats[count].type != 0)
		count++;
	return count;
}

}

AddOnTranslator::AddOnTranslator()
	:
	fName(NULL),
	fInfo(NULL),
	fVersion(0),
	fInputs(NULL),
	fInputCount(0),
	fOutputs(NULL),
	fOutputCount(0),
	fIdentify(NULL),
	fTranslate(NULL),
	fMakeConfig(NULL),
	fGetConfigMessage(NULL)
{
}

AddOnTranslator::~AddOnTranslator()
{
}

AddOnTranslator*
AddOnTranslator::Load(image_id image)
{
	const char* name = (const char*)find_symbol(image, "translatorName");
	const char* info = (const char*)find_symbol(image, "translatorInfo");
	const int32* version = (const int32*)find_symbol(image, "translatorVersion");
	IdentifyFunc identify = (IdentifyFunc)find_symbol(image, "Identify",
		kIdentifyMangled);
	TranslateFunc translate = (TranslateFunc)find_symbol(image, "Translate",
		kTranslateMangled);
	if (name == NULL || info == NULL || version == NULL || identify == NULL
		|| translate == NULL)
		return NULL;

	AddOnTranslator* translator = new AddOnTranslator;
	translator->fName = name;
	translator->fInfo = info;
	translator->fVersion = *version;
	translator->fIdentify = identify;
	translator->fTranslate = translate;
	translator->fInputs = (const translation_format*)find_symbol(image, "inputFormats");
	translator->fInputCount = count_formats(translator->fInputs);
	translator->fOutputs = (const translation_format*)find_symbol(image, "outputFormats");
	translator->fOutputCount = count_formats(translator->fOutputs);
	translator->fMakeConfig = (MakeConfigFunc)find_symbol(image, "MakeConfig",
		kMakeConfigMangled);
	translator->fGetConfigMessage = (GetConfigMessageFunc)find_symbol(image,
		"GetConfigMessage", kGetConfigMessageMangled);
	return translator;
}

const char*
AddOnTranslator::TranslatorName() const
{
	return fName;
}

const char*
AddOnTranslator::TranslatorInfo() const
{
	return fInfo;
}

int32
AddOnTranslator::TranslatorVersion() const
{
	return fVersion;
}

const translation_format*
AddOnTranslator::InputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = fInputCount;
	return fInputs;
}

const translation_format*
AddOnTranslator::OutputFormats(int32* outCount) const
{
	if (outCount != NULL)
		*outCount = fOutputCount;
	return fOutputs;
}

status_t
AddOnTranslator::Identify(BPositionIO* inSource,
	const translation_format* inFormat, BMessage* ioExtension,
	translator_info* outInfo, uint32 outType)
{
	return fIdentify(inSource, inFormat, ioExtension, outInfo, outType);
}

status_t
AddOnTranslator::Translate(BPositionIO* inSource, const translator_info* inInfo,
	BMessage* ioExtension, uint32 outType, BPositionIO* outDestination)
{
	return fTranslate(inSource, inInfo, ioExtension, outType, outDestination);
}

status_t
AddOnTranslator::MakeConfigurationView(BMessage* ioExtension, BView** outView,
	BRect* outExtent)
{
	if (fMakeConfig == NULL)
		return B_ERROR;
	return fMakeConfig(ioExtension, outView, outExtent);
}

status_t
AddOnTranslator::GetConfigurationMessage(BMessage* ioExtension)
{
	if (fGetConfigMessage == NULL)
		return B_ERROR;
	return fGetConfigMessage(ioExtension);
}

}
