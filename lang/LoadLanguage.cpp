#include "Language.h"

#include "framework/Alerts.h"
#include "framework/FileName.h"
#include "plugin/AppGlobals.h"
#include "prefs/PrefStore.h"

#include <File.h>
#include <OS.h>
#include <Resources.h>

#include <mutex>

TLLT* gLLT = nullptr;

namespace {

const int kLoadTries = 10;
const bigtime_t kRetryDelay = 20000;

std::mutex sHookLock;
language_loaded_hook sLoadedHook;

std::string stored_language_path()
{
	TPrefLock pref;
	return gPref != nullptr ? gPref->languageFile : std::string();
}

void store_language_path(const std::string& path)
{
	TPrefLock pref;
	if (gPref != nullptr)
		gPref->languageFile = path;
}

void tell_cannot_load(const std::string& path)
{
	const std::string title = std::string("* ") + gAppName + " *";
	const std::string text = "Can't load language file:\n" + path;
	orvik::show_alert(title.c_str(), text.c_str(), "U - Understand", nullptr, nullptr, -1,
		B_WARNING_ALERT);
}

}

std::string language_folder(const char* pluginPath, bool withSlash)
{
	std::string folder = extract_file_folder_path_kernel(pluginPath ? pluginPath : "", 1);
	folder += "Language";
	if (withSlash)
		folder += '/';
	return folder;
}

std::string language_normal_path(const char* pluginPath, const std::string& storedPath)
{
	return language_folder(pluginPath, true) + extract_file_name(storedPath);
}

int32 load_built_in_language(const char* path, TLLT* table)
{
	if (path == nullptr || table == nullptr)
		return -1;
	BFile file(path, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return -1;
	BResources resources;
	if (resources.SetTo(&file) != B_OK)
		return -1;
	return table->Load(&resources, kBuiltInLanguageID);
}

language_loaded_hook set_language_loaded_hook(language_loaded_hook hook)
{
	std::lock_guard<std::mutex> lock(sHookLock);
	std::swap(hook, sLoadedHook);
	return hook;
}

bool load_language(const char* pluginPath)
{
	if (gLLT == nullptr)
		return true;

	// Loaded aside and swapped in whole, so that no window ever reads a
	// half-loaded language.
	TLLT fresh;
	const std::string stored = stored_language_path();
	if (stored.empty()) {
		load_built_in_language(pluginPath, &fresh);
		*gLLT = fresh;
	} else {
		const std::string path = language_normal_path(pluginPath, stored);
		store_language_path(path);
		bool loaded = false;
		for (int tries = 0; tries < kLoadTries && !loaded; tries++) {
			// An editor may be in the middle of saving the file.
			if (tries > 0)
				snooze(kRetryDelay);
			loaded = fresh.Load(path.c_str()) == 0;
		}
		*gLLT = fresh;
		if (!loaded)
			tell_cannot_load(path);
	}

	language_loaded_hook hook;
	{
		std::lock_guard<std::mutex> lock(sHookLock);
		hook = sLoadedHook;
	}
	if (hook)
		hook();
	return true;
}
