// The displayer as the player's general plug-in: NewPlugin, and the object
// through which the player drives it.
//
// The object does almost nothing itself. NewPlugin creates the process-wide
// objects (gAppPrivacy, gExitState, gIAP, gPref, gLLT), loads the settings
// and the language, and starts the communication manager; every request of
// the player then becomes a message posted to that manager, which owns the
// windows. Posting never waits, so the player is never held up by a window.
//
// Ownership: the player owns the object and deletes it after Cleanup(). The
// object owns the communication manager (it quits it in its destructor) and
// the globals above, which it deletes last. The name and description are
// heap copies made here and freed by the destructor.
//
// Threads: the player calls everything from its own thread. The globals
// exist before the manager's thread starts and are deleted only after that
// thread has ended.
#ifndef PLUGIN_T_VERSO_D_H
#define PLUGIN_T_VERSO_D_H

#include "host/GeneralPlugin.h"

class BLooper;
class TVersoDCommMan;

class TVersoD : public GeneralPlugin {
public:
	explicit TVersoD(PluginConstructorStruct* info);
	virtual ~TVersoD();

	// Asks for the lyrics window; always true.
	virtual bool Init() override;
	// Asks the manager to close the about, preference, common preference
	// and lyrics windows, in that order.
	virtual void Cleanup() override;
	// `query` true: answers that there is an about (preference) window and
	// posts nothing; false: asks for it. Always true.
	virtual bool About(bool query) override;
	virtual bool Prefs(bool query) override;
	virtual uint32 GetFlags() override;

	// The manager's looper, for tests that watch what the object posts.
	BLooper* CommMan() const;

private:
	TVersoD(const TVersoD&) = delete;
	TVersoD& operator=(const TVersoD&) = delete;

	void Post(uint32 what);

	TVersoDCommMan* fCommMan;
	bool fCleanedUp;
};

extern "C" GeneralPlugin* NewPlugin(PluginConstructorStruct* info);

#endif
