#include "PrefStore.h"

#include "framework/Documents.h"
#include "framework/FileName.h"
#include "framework/FileUtils.h"
#include "lang/Language.h"
#include "lyrics/LyricsFile.h"

#include <InterfaceDefs.h>
#include <Window.h>

TPref* gPref = nullptr;
TExitState* gExitState = nullptr;

const char* const kPrefFileName = "VersoShared_Prefs.arc";
const char* const kPrefFolder = "Shared";

[[gnu::hot]] BLocker& pref_lock()
{
	static BLocker lock("VersoD preferences");
	return lock;
}

bool reset_keys_held()
{
	const uint32 kResetKeys = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY;
	return (modifiers() & kResetKeys) == kResetKeys;
}

static bool load_record(orvik::TArchivable* record, const char* subFolder, const char* file)
{
	BEntry entry;
	if (record == nullptr || !orvik::get_entry(file, &entry, orvik::BASE_DIR_SETTINGS, subFolder))
		return false;
	return record->Load(entry);
}

static bool save_record(orvik::TArchivable* record, const char* subFolder, const char* file)
{
	BEntry entry;
	if (record == nullptr || !orvik::get_entry(file, &entry, orvik::BASE_DIR_SETTINGS, subFolder))
		return false;
	return record->Save(entry);
}

bool load_global(const char* subFolder, const char* exitStateFile)
{
	if (reset_keys_held()) {
		save_pref(true);
		return false;
	}
	BAutolock lock(pref_lock());
	const bool exitState = load_record(gExitState, subFolder, exitStateFile);
	const bool pref = load_record(gPref, kPrefFolder, kPrefFileName);
	return exitState && pref;
}

bool save_pref(bool force)
{
	if (!force && reset_keys_held())
		return false;
	BAutolock lock(pref_lock());
	return save_record(gPref, kPrefFolder, kPrefFileName);
}

bool save_exit_state(const char* subFolder, const char* exitStateFile)
{
	if (reset_keys_held())
		return false;
	BAutolock lock(pref_lock());
	return save_record(gExitState, subFolder, exitStateFile);
}

bool compare_rgb_color(const rgb_color& a, const rgb_color& b)
{
	return a.red != b.red || a.green != b.green || a.blue != b.blue || a.alpha != b.alpha;
}

void set_proper_feel(BWindow* window)
{
	if (window == NULL)
		return;
	bool onTop;
	{
		TPrefLock lock;
		onTop = gPref != NULL && lock->stayOnTop;
	}
	window->SetFeel(onTop ? B_FLOATING_ALL_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL);
}

bool show_help()
{
	std::string folder = extract_file_folder_path_kernel(verso_displayer_fname(), 0);
	std::string path = folder + "/VersoD.htm";
	const char* title = gLLT != NULL ? gLLT->Text("Alert_Caption") : "";
	return orvik::show_help(path.c_str(), title,
		"\xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97\xE3\x82\x92\xE8\xA1\xA8\xE7\xA4\xBA"
		"\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xEF\xBC\x9A\n");
		// "ヘルプを表示できません：" and a line feed
}
