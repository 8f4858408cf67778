#include "Language.h"

#include "TNodeMonitorHandler.h"
#include "prefs/PrefStore.h"

#include <Node.h>
#include <NodeMonitor.h>

namespace {

const uint32 kLanguageWatchFlags
	= B_WATCH_NAME | B_WATCH_STAT | B_WATCH_ATTR | B_WATCH_DIRECTORY;

void watch_path(const std::string& path, TNodeMonitorHandler* handler)
{
	BNode node(path.c_str());
	node_ref ref;
	if (node.InitCheck() == B_OK && node.GetNodeRef(&ref) == B_OK)
		watch_node(&ref, kLanguageWatchFlags, handler);
}

}

void set_node_monitor_language(const std::string& pluginPath, TNodeMonitorHandler* handler)
{
	if (handler == nullptr)
		return;
	stop_watching(handler, nullptr);
	watch_path(language_folder(pluginPath.c_str(), false), handler);

	std::string stored;
	{
		TPrefLock pref;
		if (gPref != nullptr)
			stored = gPref->languageFile;
	}
	if (!stored.empty())
		watch_path(language_normal_path(pluginPath.c_str(), stored), handler);
}
