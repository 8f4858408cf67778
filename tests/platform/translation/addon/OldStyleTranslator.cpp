// A translator add-on for the tests, of the older form: plain exported
// data and functions, compiled with C++ linkage as such add-ons were. It
// recognises text that starts with "old:" and writes it back reversed
// ('OLD!').
#include <DataIO.h>
#include <Message.h>
#include <TranslatorAddOn.h>
#include <TranslatorFormats.h>

#include <string.h>

#include <algorithm>
#include <string>

char translatorName[] = "Old Style";
char translatorInfo[] = "A translator add-on of the older form";
int32 translatorVersion = 0x100;

translation_format inputFormats[] = {
	{ 'old ', B_TRANSLATOR_TEXT, 0.5f, 0.5f, "text/x-old", "Old text" },
	{ 0, 0, 0, 0, "", "" }
};

translation_format outputFormats[] = {
	{ 'OLD!', B_TRANSLATOR_TEXT, 0.5f, 0.5f, "text/x-old-reversed", "Reversed" },
	{ 0, 0, 0, 0, "", "" }
};

status_t
Identify(BPositionIO* source, const translation_format*, BMessage*,
	translator_info* info, uint32 outType)
{
	if (outType != 0 && outType != 'OLD!')
		return B_NO_TRANSLATOR;
	char head[4];
	if (source->Read(head, 4) != 4 || memcmp(head, "old:", 4) != 0)
		return B_NO_TRANSLATOR;
	info->type = 'old ';
	info->group = B_TRANSLATOR_TEXT;
	info->quality = 0.5f;
	info->capability = 0.5f;
	strcpy(info->name, "Old text");
	strcpy(info->MIME, "text/x-old");
	return B_OK;
}

status_t
Translate(BPositionIO* source, const translator_info*, BMessage*,
	uint32 outType, BPositionIO* destination)
{
	if (outType != 0 && outType != 'OLD!')
		return B_NO_TRANSLATOR;
	char buffer[256];
	ssize_t got = source->Read(buffer, sizeof(buffer));
	if (got < 4)
		return B_NO_TRANSLATOR;
	std::string text(buffer + 4, got - 4);
	std::reverse(text.begin(), text.end());
	destination->Write(text.data(), text.size());
	return B_OK;
}

status_t
GetConfigMessage(BMessage* extension)
{
	return extension->AddString("style", "old");
}
