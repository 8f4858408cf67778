#include "translation/TranslatorRosterData.h"

#include "translation/AddOnTranslator.h"
#include "translation/ImageTranslator.h"

#include <DataIO.h>
#include <Errors.h>
#include <Translator.h>

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

namespace BPrivate {

namespace {

typedef BTranslator* (*MakeNthTranslatorFunc)(int32 n, image_id you,
	uint32 flags, ...);

// An add-on that keeps handing out translators is not believed forever.
const int32 kMaxTranslatorsPerAddOn = 64;

// The input format of `translator` that the hints name, or NULL.
const translation_format*
hinted_format(BTranslator* translator, uint32 hintType, const char* hintMIME)
{
	if (hintType == 0 && (hintMIME == NULL || hintMIME[0] == '\0'))
		return NULL;
	int32 count = 0;
	const translation_format* formats = translator->InputFormats(&count);
	if (formats == NULL)
		return NULL;
	for (int32 i = 0; i < count; i++) {
		if (hintType != 0 && formats[i].type == hintType)
			return &formats[i];
		if (hintMIME != NULL && hintMIME[0] != '\0'
			&& strncasecmp(formats[i].MIME, hintMIME, sizeof(formats[i].MIME)) == 0)
			return &formats[i];
	}
	return NULL;
}

}

TranslatorRosterData::~TranslatorRosterData()
{
	// A translator still referenced elsewhere keeps its add-on's code in
	// use; that add-on stays loaded.
	std::set<image_id> busy;
	for (Entry& entry : entries) {
		if (entry.translator->Release() != NULL && entry.image >= 0)
			busy.insert(entry.image);
	}
	if (!unloadAddOns)
		return;
	for (const AddOn& addOn : addOns) {
		if (busy.count(addOn.image) == 0)
			unload_add_on(addOn.image);
	}
}

translator_id
TranslatorRosterData::Adopt(BTranslator* translator, image_id image,
	const std::string& path)
{
	std::lock_guard<std::mutex> guard(lock);
	translator_id id = nextId++;
	entries.push_back(Entry{ id, translator, image, path });
	return id;
}

bool
TranslatorRosterData::AddShared(BTranslator* translator)
{
	std::lock_guard<std::mutex> guard(lock);
	for (const Entry& entry : entries) {
		if (entry.translator == translator)
			return false;
	}
	translator->Acquire();
	entries.push_back(Entry{ nextId++, translator, -1, std::string() });
	return true;
}

BTranslator*
TranslatorRosterData::Acquire(translator_id id, Entry* copy) const
{
	std::lock_guard<std::mutex> guard(lock);
	for (const Entry& entry : entries) {
		if (entry.id == id) {
			if (copy != NULL)
				*copy = entry;
			return entry.translator->Acquire();
		}
	}
	return NULL;
}

std::vector<TranslatorRosterData::Entry>
TranslatorRosterData::AcquireAll() const
{
	std::lock_guard<std::mutex> guard(lock);
	std::vector<Entry> copies = entries;
	for (Entry& entry : copies)
		entry.translator->Acquire();
	return copies;
}

void
TranslatorRosterData::ReleaseAll(std::vector<Entry>& copies)
{
	for (Entry& entry : copies)
		entry.translator->Release();
	copies.clear();
}

void
TranslatorRosterData::AddBuiltins()
{
	{
		std::lock_guard<std::mutex> guard(lock);
		if (builtinsAdded)
			return;
		builtinsAdded = true;
	}
	for (int32 n = 0; ; n++) {
		BTranslator* translator = make_builtin_translator(n);
		if (translator == NULL)
			break;
		Adopt(translator, -1, std::string());
	}
}

std::vector<std::string>
TranslatorRosterData::AddOnPaths() const
{
	std::lock_guard<std::mutex> guard(lock);
	std::vector<std::string> paths;
	for (const AddOn& addOn : addOns)
		paths.push_back(addOn.path);
	return paths;
}

bool
TranslatorRosterData::_HasAddOnLocked(const std::string& path) const
{
	for (const AddOn& addOn : addOns) {
		if (addOn.path == path)
			return true;
	}
	return false;
}

status_t
TranslatorRosterData::AddPath(const std::string& path, bool named)
{
	if (path.empty() || path[0] != '/')
		return B_BAD_VALUE;
	struct stat info;
	if (stat(path.c_str(), &info) != 0)
		return named ? (status_t)B_ENTRY_NOT_FOUND : B_OK;
	if (S_ISDIR(info.st_mode))
		return _AddFolder(path, named);
	return _AddFile(path, named);
}

status_t
TranslatorRosterData::_AddFolder(const std::string& path, bool named)
{
	DIR* folder = opendir(path.c_str());
	if (folder == NULL)
		return named ? errno_to_status(errno) : B_OK;
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(folder)) {
		if (entry->d_name[0] != '.')
			names.push_back(entry->d_name);
	}
	closedir(folder);
	// A fixed order, so that equal translators always rank the same way.
	std::sort(names.begin(), names.end());

	for (const std::string& name : names) {
		std::string file = path + (path.back() == '/' ? "" : "/") + name;
		struct stat info;
		if (stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode))
			_AddFile(file, false);
	}
	return B_OK;
}

status_t
TranslatorRosterData::_AddFile(const std::string& path, bool named)
{
	char resolved[PATH_MAX];
	if (realpath(path.c_str(), resolved) == NULL)
		return named ? errno_to_status(errno) : B_OK;
	{
		std::lock_guard<std::mutex> guard(lock);
		if (_HasAddOnLocked(resolved))
			return B_OK;
	}

	// Loading runs the add-on's own code; the lock is not held meanwhile.
	image_id image = load_add_on(resolved);
	if (image < 0)
		return named ? (status_t)image : B_OK;

	std::vector<BTranslator*> made;
	void* symbol = NULL;
	if (get_image_symbol(image, "make_nth_translator", B_SYMBOL_TYPE_TEXT,
			&symbol) == B_OK && symbol != NULL) {
		MakeNthTranslatorFunc make = (MakeNthTranslatorFunc)symbol;
		for (int32 n = 0; n < kMaxTranslatorsPerAddOn; n++) {
			BTranslator* translator = make(n, image, 0);
			if (translator == NULL)
				break;
			made.push_back(translator);
		}
	} else if (BTranslator* translator = AddOnTranslator::Load(image)) {
		made.push_back(translator);
	}
	if (made.empty()) {
		unload_add_on(image);
		return named ? (status_t)B_NO_TRANSLATOR : B_OK;
	}

	std::unique_lock<std::mutex> guard(lock);
	if (_HasAddOnLocked(resolved)) {
		// Another thread loaded the same add-on meanwhile.
		guard.unlock();
		bool busy = false;
		for (BTranslator* translator : made)
			busy = translator->Release() != NULL || busy;
		if (!busy)
			unload_add_on(image);
		return B_OK;
	}
	addOns.push_back(AddOn{ image, resolved });
	for (BTranslator* translator : made)
		entries.push_back(Entry{ nextId++, translator, image, resolved });
	return B_OK;
}

status_t
TranslatorRosterData::IdentifyAll(BPositionIO* source, BMessage* ioExtension,
	uint32 hintType, const char* hintMIME, uint32 wantType,
	std::vector<translator_info>* found) const
{
	found->clear();
	const off_t start = source->Position();
	if (start < 0)
		return (status_t)start;

	std::vector<Entry> translators = AcquireAll();
	for (const Entry& entry : translators) {
		if (source->Seek(start, SEEK_SET) != start)
			break;
		translator_info info;
		memset(&info, 0, sizeof(info));
		const translation_format* hint = hinted_format(entry.translator,
			hintType, hintMIME);
		if (entry.translator->Identify(source, hint, ioExtension, &info,
				wantType) != B_OK)
			continue;
		info.translator = entry.id;
		info.name[sizeof(info.name) - 1] = '\0';
		info.MIME[sizeof(info.MIME) - 1] = '\0';
		found->push_back(info);
	}
	ReleaseAll(translators);
	source->Seek(start, SEEK_SET);

	std::stable_sort(found->begin(), found->end(),
		[](const translator_info& a, const translator_info& b) {
			return a.quality * a.capability > b.quality * b.capability;
		});
	return found->empty() ? (status_t)B_NO_TRANSLATOR : B_OK;
}

}
