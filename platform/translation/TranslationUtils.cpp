#include <TranslationUtils.h>

#include <Application.h>
#include <Bitmap.h>
#include <BitmapStream.h>
#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TranslatorFormats.h>
#include <TranslatorRoster.h>

#include <string.h>

namespace {

BBitmap*
bitmap_from_resource(const void* data, size_t length, BTranslatorRoster* use)
{
	if (data == NULL || length == 0)
		return NULL;
	BMemoryIO stream(data, length);
	return BTranslationUtils::GetBitmap(&stream, use);
}

}

BBitmap*
BTranslationUtils::GetBitmap(const char* name, BTranslatorRoster* use)
{
	BBitmap* bitmap = GetBitmapFile(name, use);
	if (bitmap == NULL)
		bitmap = GetBitmap(B_TRANSLATOR_BITMAP, name, use);
	return bitmap;
}

BBitmap*
BTranslationUtils::GetBitmap(uint32 type, int32 id, BTranslatorRoster* use)
{
	BResources* resources = BApplication::AppResources();
	if (resources == NULL)
		return NULL;
	size_t length = 0;
	const void* data = resources->LoadResource(type, id, &length);
	return bitmap_from_resource(data, length, use);
}

BBitmap*
BTranslationUtils::GetBitmap(uint32 type, const char* name,
	BTranslatorRoster* use)
{
	if (name == NULL)
		return NULL;
	BResources* resources = BApplication::AppResources();
	if (resources == NULL)
		return NULL;
	size_t length = 0;
	const void* data = resources->LoadResource(type, name, &length);
	return bitmap_from_resource(data, length, use);
}

BBitmap*
BTranslationUtils::GetBitmapFile(const char* name, BTranslatorRoster* use)
{
	if (name == NULL || name[0] == '\0')
		return NULL;
	BFile file(name, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return NULL;
	return GetBitmap(&file, use);
}

BBitmap*
BTranslationUtils::GetBitmap(const entry_ref* ref, BTranslatorRoster* use)
{
	if (ref == NULL)
		return NULL;
	BFile file(ref, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return NULL;
	return GetBitmap(&file, use);
}

BBitmap*
BTranslationUtils::GetBitmap(BPositionIO* stream, BTranslatorRoster* use)
{
	if (stream == NULL)
		return NULL;
	if (use == NULL)
		use = BTranslatorRoster::Default();
	if (use == NULL)
		return NULL;
	BBitmapStream bitmapStream;
	if (use->Translate(stream, NULL, NULL, &bitmapStream,
			B_TRANSLATOR_BITMAP) != B_OK)
		return NULL;
	BBitmap* bitmap = NULL;
	if (bitmapStream.DetachBitmap(&bitmap) != B_OK)
		return NULL;
	return bitmap;
}

BMessage*
BTranslationUtils::GetDefaultSettings(translator_id forTranslator,
	BTranslatorRoster* use)
{
	if (use == NULL)
		use = BTranslatorRoster::Default();
	if (use == NULL)
		return NULL;
	BMessage* settings = new BMessage;
	if (use->GetConfigurationMessage(forTranslator, settings) != B_OK) {
		delete settings;
		return NULL;
	}
	return settings;
}

BMessage*
BTranslationUtils::GetDefaultSettings(const char* translatorName,
	int32 translatorVersion)
{
	if (translatorName == NULL)
		return NULL;
	BTranslatorRoster* roster = BTranslatorRoster::Default();
	if (roster == NULL)
		return NULL;
	translator_id* ids = NULL;
	int32 count = 0;
	if (roster->GetAllTranslators(&ids, &count) != B_OK)
		return NULL;
	BMessage* settings = NULL;
	for (int32 i = 0; i < count && settings == NULL; i++) {
		const char* name = NULL;
		int32 version = 0;
		if (roster->GetTranslatorInfo(ids[i], &name, NULL, &version) == B_OK
			&& name != NULL && strcmp(name, translatorName) == 0
			&& version == translatorVersion)
			settings = GetDefaultSettings(ids[i], roster);
	}
	delete[] ids;
	return settings;
}
