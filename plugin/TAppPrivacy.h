// TAppPrivacy: remembers which language file was loaded last and when it
// was modified, so that a language change that changes nothing (the same
// file, untouched) does not reload the language.
//
// Threads: load_language may run in any thread that loads the language
// while the manager's thread asks; the record is guarded by a lock.
#ifndef PLUGIN_T_APP_PRIVACY_H
#define PLUGIN_T_APP_PRIVACY_H

#include <mutex>
#include <string>
#include <time.h>

class TAppPrivacy {
public:
	TAppPrivacy();

	// False only when the preference names the recorded file and that file
	// still has the recorded modification time. A file whose time cannot be
	// read (it is missing) counts as changed, so a reload is tried.
	bool ShouldBeLanguageChanged() const;

	// Records the language file now named in the preference and its
	// modification time (0 when it cannot be read). Called after every
	// language load.
	void UpdateLanguageInfos();

	time_t ModificationTime() const;
	std::string LanguagePath() const;

private:
	mutable std::mutex fLock;
	time_t fModTime;
	std::string fPath;
};

// The process-wide record; NULL until the plug-in object creates it, and
// deleted by the plug-in object.
extern TAppPrivacy* gAppPrivacy;

#endif
