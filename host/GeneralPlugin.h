// The player's interface for general plug-ins.
//
// A general plug-in is a shared library that exports one function with C
// linkage, "NewPlugin". The player loads the library, calls NewPlugin with a
// PluginConstructorStruct and receives a GeneralPlugin object. The plug-in
// accepts the player by writing 1 into the struct's `accepted`; any other
// value, or a null object, means it declined, and the player lets it go.
//
// The player then calls, always from its own application thread:
//   Init()                        once, when the player is ready to run;
//   Prefs(false), About(false)    whenever the user asks for them;
//   Prefs(true), About(true)      to learn whether the plug-in has them;
//   Cleanup()                     once, when the player quits;
//   delete                        right after Cleanup().
// and only then unloads the library, unless the plug-in set `keepLoaded`.
//
// Ownership: the player owns the object and deletes it through the virtual
// destructor. The two strings belong to the plug-in: the base destructor
// does not free them. The struct belongs to the player and lives only for
// the NewPlugin call.
//
// The layout (field order, slot order) is fixed: plug-ins built against it
// depend on it.
#ifndef HOST_GENERAL_PLUGIN_H
#define HOST_GENERAL_PLUGIN_H

#include <Messenger.h>
#include <SupportDefs.h>

// Revision of this interface, handed to the plug-in in the struct.
const int32 kGeneralPluginInterfaceVersion = 1;

class GeneralPlugin {
public:
	virtual ~GeneralPlugin() {}

	// Starts the plug-in (opens its windows); true when it is running.
	virtual bool Init() = 0;
	// Closes the plug-in's windows; the destructor follows.
	virtual void Cleanup() = 0;
	// With `query` true: whether the plug-in has an about window. With
	// `query` false: shows it.
	virtual bool About(bool query) = 0;
	// The same for the preference window.
	virtual bool Prefs(bool query) = 0;
	// Reserved for capabilities; the player reads no bit yet.
	virtual uint32 GetFlags() = 0;

	char* name;           // shown in the player's plug-in menu
	char* description;    // one line
	int32 reserved;       // 0
	bool keepLoaded;      // true: never unload the library (its code outlives the object)
};

struct PluginConstructorStruct {
	int32 accepted;           // the plug-in writes 1 here to accept
	BMessenger host;          // the player application
	int32 interfaceVersion;   // kGeneralPluginInterfaceVersion
	const char* pluginPath;   // the library's full path; valid during NewPlugin only
};

typedef GeneralPlugin* (*new_plugin_func)(PluginConstructorStruct* info);

// The name under which a plug-in exports its new_plugin_func.
#define GENERAL_PLUGIN_ENTRY_NAME "NewPlugin"

#endif
