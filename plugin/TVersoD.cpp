#include "TVersoD.h"

#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPWin.h"
#include "iap/TInterAppPrefs.h"
#include "lang/Language.h"
#include "lyrics/LyricsFile.h"
#include "plugin/AppGlobals.h"
#include "plugin/CommManMessages.h"
#include "plugin/TAppPrivacy.h"
#include "plugin/TVersoDCommMan.h"
#include "prefs/PrefStore.h"

#include <Message.h>

#include <string.h>

#include <string>

namespace {

const char* const kSettingsFolder = "VersoD";
const char* const kExitStateFile = "VersoD_ExitStates.arc";

char* copy_text(const std::string& text)
{
	char* copy = new char[text.size() + 1];
	memcpy(copy, text.c_str(), text.size() + 1);
	return copy;
}

}

TVersoD::TVersoD(PluginConstructorStruct*)
	:
	fCommMan(nullptr),
	fCleanedUp(false)
{
	name = copy_text(gAppName);
	description = copy_text(std::string(gAppName) + "  by ORVIK");
	reserved = 0;
	// Our loopers, windows and filters are all gone when the destructor
	// returns, so the player may unload the code.
	keepLoaded = false;

	gAppPrivacy = new TAppPrivacy;
	gExitState = new TExitState;

	gIAP = new TInterAppPrefs;
	gIAP->SetAppSignatureRef(gAppSignature);
	gIAP->AddItem(new TIAPItemAccKeyFormat);
	// The common window, when this program makes it, ends with gIAP.
	install_common_window(gIAP);

	gPref = new TPref;
	load_global(kSettingsFolder, kExitStateFile);

	gLLT = new TLLT;
	// Every load, this first one included, records which language file is
	// in use, so that a later change of the same untouched file is no change.
	set_language_loaded_hook([] {
		if (gAppPrivacy != nullptr)
			gAppPrivacy->UpdateLanguageInfos();
	});
	load_language(verso_displayer_fname().c_str());
	// The common preference window shows the items' texts in our language.
	gIAP->SetLLTRef(gLLT);

	fCommMan = new TVersoDCommMan;
	fCommMan->Run();
}

TVersoD::~TVersoD()
{
	// A player that never started us may delete us without Cleanup(); the
	// windows must not outlive the code all the same.
	if (!fCleanedUp)
		Cleanup();

	// The manager handles what is queued (the close requests) before it
	// ends, and Quit() from this thread returns only once its thread has.
	// That comes before the window state is saved: the lyrics window
	// stores its frame as it quits.
	if (fCommMan != nullptr && fCommMan->Lock())
		fCommMan->Quit();
	fCommMan = nullptr;

	save_exit_state(kSettingsFolder, kExitStateFile);

	set_language_loaded_hook(nullptr);

	// Nothing reads the globals any more. The store takes the common
	// window with it, when we made it: its code goes with the plug-in.
	delete gIAP;
	gIAP = nullptr;
	{
		BAutolock lock(pref_lock());
		delete gExitState;
		gExitState = nullptr;
	}
	delete gLLT;
	gLLT = nullptr;
	{
		BAutolock lock(pref_lock());
		delete gPref;
		gPref = nullptr;
	}
	delete gAppPrivacy;
	gAppPrivacy = nullptr;

	delete[] name;
	delete[] description;
	name = nullptr;
	description = nullptr;
}

bool TVersoD::Init()
{
	Post(kMsgOpenMainWin);
	return true;
}

void TVersoD::Cleanup()
{
	fCleanedUp = true;
	Post(kMsgCloseAboutWin);
	Post(kMsgClosePrefWin);
	Post(kMsgCloseCommonPrefWin);
	Post(kMsgCloseMainWin);
}

bool TVersoD::About(bool query)
{
	if (!query)
		Post(kMsgPrepareOpenAboutWin);
	return true;
}

bool TVersoD::Prefs(bool query)
{
	if (!query)
		Post(kMsgPrepareOpenPrefWin);
	return true;
}

uint32 TVersoD::GetFlags()
{
	return 0;
}

BLooper* TVersoD::CommMan() const
{
	return fCommMan;
}

void TVersoD::Post(uint32 what)
{
	// A request that cannot be queued (the manager's queue is full or the
	// manager is gone) is dropped: the player never waits for a window.
	if (fCommMan != nullptr)
		fCommMan->PostMessage(what);
}

extern "C" __attribute__((visibility("default")))
GeneralPlugin* NewPlugin(PluginConstructorStruct* info)
{
	TVersoD* plugin = new TVersoD(info);
	if (info != nullptr)
		info->accepted = 1;
	return plugin;
}
