#include <TranslatorRoster.h>

#include <DataIO.h>
#include <Entry.h>
#include <Message.h>
#include <Translator.h>

#include "support/InstantiationRegistry.h"
#include "translation/TranslatorFolders.h"
#include "translation/TranslatorRosterData.h"

#include <stdlib.h>
#include <string.h>

#include <mutex>

using BPrivate::TranslatorRosterData;

const char* B_TRANSLATOR_MIME_TYPE = "application/x-vnd.Be-translator";

namespace {

const char* const kPathField = "be:translator_path";

BPrivate::InstantiationRegistrar sRegistrar("BTranslatorRoster",
	BTranslatorRoster::Instantiate);

BTranslatorRoster* sDefaultRoster = NULL;

void
delete_default_roster()
{
	BTranslatorRoster* roster = sDefaultRoster;
	sDefaultRoster = NULL;
	if (roster != NULL)
		TranslatorRosterData::DeleteAtExit(roster);
}

}

void
TranslatorRosterData::DeleteAtExit(BTranslatorRoster* roster)
{
	roster->fData->unloadAddOns = false;
	delete roster;
}

BTranslatorRoster::BTranslatorRoster()
	:
	fData(new TranslatorRosterData)
{
}

BTranslatorRoster::BTranslatorRoster(BMessage* model)
	:
	BArchivable(model),
	fData(new TranslatorRosterData)
{
	const char* path;
	for (int32 i = 0; model != NULL
			&& model->FindString(kPathField, i, &path) == B_OK; i++)
		AddTranslators(path);
}

BTranslatorRoster::~BTranslatorRoster()
{
	delete fData;
}

const char*
BTranslatorRoster::Version(int32* outCurVersion, int32* outMinVersion,
	int32 /*inAppVersion*/)
{
	if (outCurVersion != NULL)
		*outCurVersion = B_TRANSLATION_CURRENT_VERSION;
	if (outMinVersion != NULL)
		*outMinVersion = B_TRANSLATION_MIN_VERSION;
	return "Translation Kit 5.0 (Verso platform layer)";
}

BTranslatorRoster*
BTranslatorRoster::Default()
{
	static std::once_flag once;
	std::call_once(once, [] {
		BTranslatorRoster* roster = new BTranslatorRoster;
		roster->AddTranslators(NULL);
		sDefaultRoster = roster;
		// Registered after the add-ons were loaded, so that it runs before
		// their own exit-time clean-up.
		atexit(delete_default_roster);
	});
	return sDefaultRoster;
}

status_t
BTranslatorRoster::Archive(BMessage* into, bool deep) const
{
	status_t status = BArchivable::Archive(into, deep);
	if (status != B_OK)
		return status;
	for (const std::string& path : fData->AddOnPaths()) {
		status = into->AddString(kPathField, path.c_str());
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

BArchivable*
BTranslatorRoster::Instantiate(BMessage* from)
{
	if (!validate_instantiation(from, "BTranslatorRoster"))
		return NULL;
	return new BTranslatorRoster(from);
}

status_t
BTranslatorRoster::AddTranslators(const char* loadPath)
{
	if (loadPath == NULL) {
		fData->AddBuiltins();
		for (const std::string& path : BPrivate::default_translator_paths())
			fData->AddPath(path, false);
		return B_OK;
	}

	std::vector<std::string> paths = BPrivate::split_translator_path(loadPath);
	if (paths.empty())
		return B_BAD_VALUE;
	status_t result = B_OK;
	for (const std::string& path : paths) {
		status_t status = fData->AddPath(path, true);
		if (status != B_OK && result == B_OK)
			result = status;
	}
	return result;
}

status_t
BTranslatorRoster::AddTranslator(BTranslator* translator)
{
	if (translator == NULL)
		return B_BAD_VALUE;
	fData->AddShared(translator);
	return B_OK;
}

status_t
BTranslatorRoster::Identify(BPositionIO* inSource, BMessage* ioExtension,
	translator_info* outInfo, uint32 inHintType, const char* inHintMIME,
	uint32 inWantType)
{
	if (inSource == NULL || outInfo == NULL)
		return B_BAD_VALUE;
	std::vector<translator_info> found;
	status_t status = fData->IdentifyAll(inSource, ioExtension, inHintType,
		inHintMIME, inWantType, &found);
	if (status != B_OK)
		return status;
	*outInfo = found.front();
	return B_OK;
}

status_t
BTranslatorRoster::GetTranslators(BPositionIO* inSource, BMessage* ioExtension,
	translator_info** outInfo, int32* outNumInfo, uint32 inHintType,
	const char* inHintMIME, uint32 inWantType)
{
	if (inSource == NULL || outInfo == NULL || outNumInfo == NULL)
		return B_BAD_VALUE;
	*outInfo = NULL;
	*outNumInfo = 0;
	std::vector<translator_info> found;
	status_t status = fData->IdentifyAll(inSource, ioExtension, inHintType,
		inHintMIME, inWantType, &found);
	if (status != B_OK)
		return status;
	translator_info* list = new translator_info[found.size()];
	memcpy(list, found.data(), found.size() * sizeof(translator_info));
	*outInfo = list;
	*outNumInfo = (int32)found.size();
	return B_OK;
}

status_t
BTranslatorRoster::GetAllTranslators(translator_id** outList, int32* outCount)
{
	if (outList == NULL || outCount == NULL)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> guard(fData->lock);
	translator_id* list = new translator_id[fData->entries.size()];
	for (size_t i = 0; i < fData->entries.size(); i++)
		list[i] = fData->entries[i].id;
	*outList = list;
	*outCount = (int32)fData->entries.size();
	return B_OK;
}

status_t
BTranslatorRoster::GetTranslatorInfo(translator_id forTranslator,
	const char** outName, const char** outInfo, int32* outVersion)
{
	BTranslator* translator = fData->Acquire(forTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	if (outName != NULL)
		*outName = translator->TranslatorName();
	if (outInfo != NULL)
		*outInfo = translator->TranslatorInfo();
	if (outVersion != NULL)
		*outVersion = translator->TranslatorVersion();
	translator->Release();
	return B_OK;
}

status_t
BTranslatorRoster::GetInputFormats(translator_id forTranslator,
	const translation_format** outFormats, int32* outNumFormats)
{
	if (outFormats == NULL || outNumFormats == NULL)
		return B_BAD_VALUE;
	BTranslator* translator = fData->Acquire(forTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	int32 count = 0;
	*outFormats = translator->InputFormats(&count);
	*outNumFormats = *outFormats != NULL ? count : 0;
	translator->Release();
	return B_OK;
}

status_t
BTranslatorRoster::GetOutputFormats(translator_id forTranslator,
	const translation_format** outFormats, int32* outNumFormats)
{
	if (outFormats == NULL || outNumFormats == NULL)
		return B_BAD_VALUE;
	BTranslator* translator = fData->Acquire(forTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	int32 count = 0;
	*outFormats = translator->OutputFormats(&count);
	*outNumFormats = *outFormats != NULL ? count : 0;
	translator->Release();
	return B_OK;
}

status_t
BTranslatorRoster::Translate(BPositionIO* inSource,
	const translator_info* inInfo, BMessage* ioExtension,
	BPositionIO* outDestination, uint32 inWantOutType, uint32 inHintType,
	const char* inHintMIME)
{
	if (inSource == NULL || outDestination == NULL)
		return B_BAD_VALUE;
	const off_t start = inSource->Position();
	if (start < 0)
		return (status_t)start;

	translator_info chosen;
	if (inInfo == NULL) {
		status_t status = Identify(inSource, ioExtension, &chosen, inHintType,
			inHintMIME, inWantOutType);
		if (status != B_OK)
			return status;
		inInfo = &chosen;
	}
	BTranslator* translator = fData->Acquire(inInfo->translator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	status_t status = B_IO_ERROR;
	if (inSource->Seek(start, SEEK_SET) == start) {
		status = translator->Translate(inSource, inInfo, ioExtension,
			inWantOutType, outDestination);
	}
	translator->Release();
	return status;
}

status_t
BTranslatorRoster::Translate(translator_id inTranslator, BPositionIO* inSource,
	BMessage* ioExtension, BPositionIO* outDestination, uint32 inWantOutType)
{
	if (inSource == NULL || outDestination == NULL)
		return B_BAD_VALUE;
	BTranslator* translator = fData->Acquire(inTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;

	// The translator is asked first, as it would be when chosen by the
	// roster, so that it receives what it found out about the data.
	status_t status;
	const off_t start = inSource->Position();
	translator_info info;
	memset(&info, 0, sizeof(info));
	if (start < 0) {
		status = (status_t)start;
	} else {
		status = translator->Identify(inSource, NULL, ioExtension, &info,
			inWantOutType);
		if (inSource->Seek(start, SEEK_SET) != start && status == B_OK)
			status = B_IO_ERROR;
	}
	if (status == B_OK) {
		info.translator = inTranslator;
		status = translator->Translate(inSource, &info, ioExtension,
			inWantOutType, outDestination);
	}
	translator->Release();
	return status;
}

status_t
BTranslatorRoster::MakeConfigurationView(translator_id forTranslator,
	BMessage* ioExtension, BView** outView, BRect* outExtent)
{
	if (outView == NULL || outExtent == NULL)
		return B_BAD_VALUE;
	BTranslator* translator = fData->Acquire(forTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	status_t status = translator->MakeConfigurationView(ioExtension, outView,
		outExtent);
	translator->Release();
	return status;
}

status_t
BTranslatorRoster::GetConfigurationMessage(translator_id forTranslator,
	BMessage* ioExtension)
{
	if (ioExtension == NULL)
		return B_BAD_VALUE;
	BTranslator* translator = fData->Acquire(forTranslator);
	if (translator == NULL)
		return B_NO_TRANSLATOR;
	status_t status = translator->GetConfigurationMessage(ioExtension);
	translator->Release();
	return status;
}

status_t
BTranslatorRoster::GetRefFor(translator_id translator, entry_ref* outRef)
{
	if (outRef == NULL)
		return B_BAD_VALUE;
	TranslatorRosterData::Entry entry;
	BTranslator* found = fData->Acquire(translator, &entry);
	if (found == NULL)
		return B_NO_TRANSLATOR;
	found->Release();
	if (entry.path.empty())
		return B_ENTRY_NOT_FOUND;
	return get_ref_for_path(entry.path.c_str(), outRef);
}
