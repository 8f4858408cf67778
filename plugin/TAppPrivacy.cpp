#include "plugin/TAppPrivacy.h"

#include "prefs/PrefStore.h"

#include <Entry.h>

TAppPrivacy* gAppPrivacy = NULL;

namespace {

// The language file named in the preference record.
std::string configured_language_file()
{
	if (gPref == NULL)
		return std::string();
	TPrefLock pref;
	return pref->languageFile;
}

// The file's modification time, or 0 when it cannot be read (no file, or
// the built-in language's empty path).
time_t modification_time(const std::string& path)
{
	if (path.empty())
		return 0;
	BEntry entry(path.c_str());
	time_t time = 0;
	if (entry.GetModificationTime(&time) != B_OK)
		return 0;
	return time;
}

}

TAppPrivacy::TAppPrivacy()
	: fModTime(0)
{
}

bool TAppPrivacy::ShouldBeLanguageChanged() const
{
	const std::string path = configured_language_file();
	const time_t time = modification_time(path);
	// A file that could not be read when it was loaded and still cannot
	// counts as unchanged (both times 0): asking again would only repeat the
	// failed load and its alert. A file that vanished since, or appeared,
	// counts as changed.
	std::lock_guard<std::mutex> lock(fLock);
	return path != fPath || time != fModTime;
}

void TAppPrivacy::UpdateLanguageInfos()
{
	const std::string path = configured_language_file();
	const time_t time = modification_time(path);
	std::lock_guard<std::mutex> lock(fLock);
	if (path != fPath)
		fPath = path;
	fModTime = time;
}

time_t TAppPrivacy::ModificationTime() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fModTime;
}

std::string TAppPrivacy::LanguagePath() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fPath;
}
