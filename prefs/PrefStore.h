// The process-wide preference record and window state, and their files.
#ifndef PREFS_PREF_STORE_H
#define PREFS_PREF_STORE_H

#include "TExitState.h"
#include "TPref.h"

#include <Autolock.h>
#include <Locker.h>

class BWindow;

// Created and deleted by the plug-in object. Several threads read and write
// them (the window threads, the communication manager), so every access
// holds the preference lock: use TPrefLock.
extern TPref* gPref;
extern TExitState* gExitState;

// The lock that guards *gPref and *gExitState. It nests per thread.
BLocker& pref_lock();

class TPrefLock {
public:
	TPrefLock() : fLock(pref_lock()) {}
	TPref* operator->() const { return gPref; }
	TPref& operator*() const { return *gPref; }
private:
	BAutolock fLock;
};

// File names and folders.
extern const char* const kPrefFileName;   // "VersoShared_Prefs.arc"
extern const char* const kPrefFolder;     // "Shared", below the settings folder's "ORVIK"

// True when Shift, Command, Control and Option are all held.
bool reset_keys_held();

// Loads gExitState from `exitStateFile` in `subFolder`, then gPref from the
// shared file. With the reset keys held, writes the defaults to the shared
// file instead and loads nothing. True only when both loads succeeded.
bool load_global(const char* subFolder, const char* exitStateFile);

// Saves gPref to the shared file; without `force`, not while the reset keys
// are held.
bool save_pref(bool force);

// Saves gExitState, not while the reset keys are held.
bool save_exit_state(const char* subFolder, const char* exitStateFile);

// The window floats above all others while the stay-on-top preference is
// on, else it has the normal feel. Call with the window locked.
void set_proper_feel(BWindow* window);

// Opens the help document "VersoD.htm" beside the plug-in file; when it
// cannot, a warning alert says so. True when it opened.
bool show_help();

// True when the colours differ in any of their four bytes.
bool compare_rgb_color(const rgb_color& a, const rgb_color& b);

#endif
