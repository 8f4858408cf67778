// A translator add-on for the tests, of the current form: make_nth_translator
// hands out two translators for text that starts with "lower:". "Upper"
// (quality 0.9) turns the rest into capitals ('UPPR'); "Counter" (0.3)
// writes its length in decimal ('CNT ') and also adds it to the extension
// message as "count".
//
// When VERSO_TEST_ADDON_LOG names a file, every translator notes its
// creation and deletion there, so the tests can see who released what.
#include <DataIO.h>
#include <Message.h>
#include <Translator.h>
#include <TranslatorFormats.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

const uint32 kLowerType = 'lowr';
const char kPrefix[] = "lower:";

void
note(const char* what, const char* name)
{
	const char* path = getenv("VERSO_TEST_ADDON_LOG");
	if (path == NULL)
		return;
	if (FILE* file = fopen(path, "a")) {
		fprintf(file, "%s %s\n", what, name);
		fclose(file);
	}
}

class PrefixTranslator : public BTranslator {
public:
	PrefixTranslator(const char* name, uint32 outType, float quality)
		: fName(name), fOutType(outType), fQuality(quality)
	{
		memset(fFormats, 0, sizeof(fFormats));
		fFormats[0].type = kLowerType;
		fFormats[0].group = B_TRANSLATOR_TEXT;
		fFormats[0].quality = quality;
		fFormats[0].capability = 0.5f;
		strcpy(fFormats[0].MIME, "text/x-lower");
		strcpy(fFormats[0].name, "Lower text");
		fFormats[1] = fFormats[0];
		fFormats[1].type = outType;
		note("made", fName);
	}

	const char* TranslatorName() const override { return fName; }
	const char* TranslatorInfo() const override { return "A test translator"; }
	int32 TranslatorVersion() const override { return 0x110; }

	const translation_format* InputFormats(int32* count) const override
	{
		*count = 1;
		return &fFormats[0];
	}

	const translation_format* OutputFormats(int32* count) const override
	{
		*count = 1;
		return &fFormats[1];
	}

	status_t Identify(BPositionIO* source, const translation_format*,
		BMessage*, translator_info* info, uint32 outType) override
	{
		if (outType != 0 && outType != fOutType)
			return B_NO_TRANSLATOR;
		char head[sizeof(kPrefix) - 1];
		if (source->Read(head, sizeof(head)) != (ssize_t)sizeof(head)
			|| memcmp(head, kPrefix, sizeof(head)) != 0)
			return B_NO_TRANSLATOR;
		info->type = kLowerType;
		info->group = B_TRANSLATOR_TEXT;
		info->quality = fQuality;
		info->capability = 0.5f;
		strcpy(info->name, "Lower text");
		strcpy(info->MIME, "text/x-lower");
		return B_OK;
	}

	status_t Translate(BPositionIO* source, const translator_info*,
		BMessage* extension, uint32 outType, BPositionIO* destination) override
	{
		if (outType != 0 && outType != fOutType)
			return B_NO_TRANSLATOR;
		char head[sizeof(kPrefix) - 1];
		if (source->Read(head, sizeof(head)) != (ssize_t)sizeof(head))
			return B_NO_TRANSLATOR;
		std::string text;
		char buffer[256];
		ssize_t got;
		while ((got = source->Read(buffer, sizeof(buffer))) > 0)
			text.append(buffer, got);
		std::string result;
		if (fOutType == 'UPPR') {
			for (char c : text)
				result += (char)toupper((unsigned char)c);
		} else {
			result = std::to_string(text.size());
			if (extension != NULL)
				extension->AddInt32("count", (int32)text.size());
		}
		return destination->Write(result.data(), result.size())
			== (ssize_t)result.size() ? B_OK : B_IO_ERROR;
	}

protected:
	~PrefixTranslator() override { note("deleted", fName); }

private:
	const char* fName;
	uint32 fOutType;
	float fQuality;
	translation_format fFormats[2];
};

}

BTranslator*
make_nth_translator(int32 n, image_id /*you*/, uint32 /*flags*/, ...)
{
	switch (n) {
		case 0:
			return new PrefixTranslator("Upper", 'UPPR', 0.9f);
		case 1:
			return new PrefixTranslator("Counter", 'CNT ', 0.3f);
		default:
			return NULL;
	}
}
