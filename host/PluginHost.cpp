#include "PluginHost.h"

#include <Application.h>
#include <Errors.h>
#include <OS.h>

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

bool ends_with(const std::string& text, const char* suffix)
{
	const size_t length = strlen(suffix);
	return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

const char* load_error_text(status_t status)
{
	switch (status) {
		case B_ENTRY_NOT_FOUND:
			return "no such file";
		case B_NOT_AN_EXECUTABLE:
			return "not a shared library";
		case B_MISSING_LIBRARY:
			return "a library it needs is missing";
		case B_MISSING_SYMBOL:
			return "it needs a symbol that no loaded library has";
		default:
			return strerror_status(status);
	}
}

}

PluginHost::PluginHost()
	:
	fLoopersBefore(-1)
{
}

PluginHost::~PluginHost()
{
	UnloadAll();
}

int32 PluginHost::_CountLoopers()
{
	return be_app != NULL ? be_app->CountLoopers() : 0;
}

int32 PluginHost::LoadFolder(const std::string& folder)
{
	DIR* dir = opendir(folder.c_str());
	if (dir == NULL) {
		if (errno != ENOENT) {
			fprintf(stderr, "melodeck: plug-ins folder %s: %s\n", folder.c_str(),
				strerror(errno));
		}
		return 0;
	}
	std::vector<std::string> names;
	while (dirent* entry = readdir(dir)) {
		if (entry->d_name[0] != '.' && ends_with(entry->d_name, ".so"))
			names.push_back(entry->d_name);
	}
	closedir(dir);
	std::sort(names.begin(), names.end());

	int32 loaded = 0;
	for (const std::string& name : names) {
		const std::string path = folder + "/" + name;
		struct stat st;
		if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
			continue;
		if (Load(path) == B_OK)
			loaded++;
	}
	return loaded;
}

status_t PluginHost::Load(const std::string& path)
{
	// the same library twice would share its globals with itself
	for (const Loaded& plugin : fPlugins) {
		if (plugin.path == path) {
			fprintf(stderr, "melodeck: plug-in %s is loaded already\n", path.c_str());
			return B_FILE_EXISTS;
		}
	}
	if (fLoopersBefore < 0)
		fLoopersBefore = _CountLoopers();

	const image_id image = load_add_on(path.c_str());
	if (image < 0) {
		fprintf(stderr, "melodeck: cannot load the plug-in %s: %s\n", path.c_str(),
			load_error_text(image));
		return image;
	}
	void* symbol = NULL;
	if (get_image_symbol(image, GENERAL_PLUGIN_ENTRY_NAME, B_SYMBOL_TYPE_TEXT,
			&symbol) != B_OK || symbol == NULL) {
		fprintf(stderr, "melodeck: %s is no general plug-in (it has no %s)\n",
			path.c_str(), GENERAL_PLUGIN_ENTRY_NAME);
		unload_add_on(image);
		return B_BAD_VALUE;
	}

	PluginConstructorStruct info;
	info.accepted = 0;
	info.host = fHost.IsValid() ? fHost : be_app_messenger;
	info.interfaceVersion = kGeneralPluginInterfaceVersion;
	info.pluginPath = path.c_str();
	GeneralPlugin* plugin = reinterpret_cast<new_plugin_func>(symbol)(&info);
	if (plugin == NULL || info.accepted != 1) {
		fprintf(stderr, "melodeck: the plug-in %s declined to run\n", path.c_str());
		// an object it made all the same is still ours to delete
		delete plugin;
		unload_add_on(image);
		return B_NOT_ALLOWED;
	}

	fPlugins.push_back(Loaded{path, image, plugin, false});
	return B_OK;
}

void PluginHost::InitAll()
{
	for (Loaded& loaded : fPlugins) {
		if (loaded.started)
			continue;
		loaded.started = true;
		if (!loaded.plugin->Init()) {
			fprintf(stderr, "melodeck: the plug-in %s did not start\n",
				loaded.path.c_str());
		}
	}
}

std::string PluginHost::NameAt(int32 index) const
{
	if (index < 0 || index >= CountPlugins() || fPlugins[index].plugin->name == NULL)
		return std::string();
	return fPlugins[index].plugin->name;
}

std::string PluginHost::DescriptionAt(int32 index) const
{
	if (index < 0 || index >= CountPlugins()
		|| fPlugins[index].plugin->description == NULL)
		return std::string();
	return fPlugins[index].plugin->description;
}

std::string PluginHost::PathAt(int32 index) const
{
	if (index < 0 || index >= CountPlugins())
		return std::string();
	return fPlugins[index].path;
}

bool PluginHost::Prefs(int32 index, bool query)
{
	if (index < 0 || index >= CountPlugins())
		return false;
	return fPlugins[index].plugin->Prefs(query);
}

bool PluginHost::About(int32 index, bool query)
{
	if (index < 0 || index >= CountPlugins())
		return false;
	return fPlugins[index].plugin->About(query);
}

void PluginHost::UnloadAll(bigtime_t looperGrace)
{
	if (fPlugins.empty())
		return;

	std::vector<image_id> images;
	while (!fPlugins.empty()) {
		Loaded loaded = fPlugins.back();
		fPlugins.pop_back();
		// Cleanup only for plug-ins that were started
		if (loaded.started)
			loaded.plugin->Cleanup();
		const bool keep = loaded.plugin->keepLoaded;
		delete loaded.plugin;
		if (!keep)
			images.push_back(loaded.image);
	}

	// The plug-ins' destructors quit their loopers; a looper that is still
	// running may be in the plug-in's code, so give them a moment, and keep
	// the code loaded if they stay.
	const bigtime_t deadline = system_time() + looperGrace;
	while (_CountLoopers() > fLoopersBefore && system_time() < deadline)
		snooze(5000);
	const int32 left = _CountLoopers() - fLoopersBefore;
	if (left > 0) {
		fprintf(stderr, "melodeck: %d looper(s) of the plug-ins still run; their"
			" libraries stay loaded\n", (int)left);
		return;
	}
	for (image_id image : images)
		unload_add_on(image);
	fLoopersBefore = -1;
}
