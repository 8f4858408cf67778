// The player's general plug-ins: loading, starting, and taking them down.
//
// Each plug-in is a shared library that exports NewPlugin (GeneralPlugin.h).
// A library that cannot be loaded, lacks NewPlugin, or declines (accepted
// != 1, or no object) is reported on stderr and left out; the player goes
// on without it.
//
// Ownership: the host owns every plug-in object and its library image.
// Taking down happens per plug-in, in reverse order of loading: Cleanup(),
// delete (the plug-in's destructor quits its own loopers and windows),
// then unload_add_on. The library stays loaded when the plug-in asked for
// it (keepLoaded), or when loopers it started are still running, because
// unloading code that a thread still runs would crash the player.
//
// Not thread-safe; the player uses it on one thread at a time.
#ifndef HOST_PLUGIN_HOST_H
#define HOST_PLUGIN_HOST_H

#include "GeneralPlugin.h"

#include <image.h>

#include <string>
#include <vector>

class PluginHost {
public:
	PluginHost();
	~PluginHost();

	// Loads every "*.so" of `folder`, in name order. A missing folder is
	// not an error (there are simply no plug-ins); an unreadable one is.
	// Returns the number loaded.
	int32 LoadFolder(const std::string& folder);
	// Loads one plug-in library.
	status_t Load(const std::string& path);

	// Calls Init() on every plug-in not yet started.
	void InitAll();

	int32 CountPlugins() const { return (int32)fPlugins.size(); }
	// The plug-in's own name and description (empty when it gave none).
	std::string NameAt(int32 index) const;
	std::string DescriptionAt(int32 index) const;
	std::string PathAt(int32 index) const;
	// Prefs(query) / About(query) of one plug-in; false for a bad index.
	bool Prefs(int32 index, bool query);
	bool About(int32 index, bool query);

	// Takes every plug-in down (see above). Waits at most `looperGrace` for
	// the plug-ins' loopers to end before deciding whether to unload.
	void UnloadAll(bigtime_t looperGrace = 2000000);

	// Where the messages for a plug-in's host go (the player application).
	void SetHostMessenger(const BMessenger& host) { fHost = host; }

private:
	struct Loaded {
		std::string path;
		image_id image;
		GeneralPlugin* plugin;
		bool started;
	};

	static int32 _CountLoopers();

	std::vector<Loaded> fPlugins;
	BMessenger fHost;
	int32 fLoopersBefore;   // loopers of the process before the first plug-in
};

#endif
