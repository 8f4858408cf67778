// The current language of the displayer: loading it, listing the languages
// there are, and noticing when a language file changes on disk.
//
// Languages are the one built into the plug-in file (resource 'CSTR' 3000,
// Japanese) and the LLT files in the folder "Language" beside the plug-in
// file. The language preference (TPref::languageFile) holds the chosen
// file's path; an empty path means the built-in language.
#ifndef LANG_LANGUAGE_H
#define LANG_LANGUAGE_H

#include "TLLT.h"

#include <functional>
#include <map>
#include <string>

class BResources;
class TNodeMonitorHandler;

// The current language, read by every window. The plug-in object creates it
// before the first load_language and deletes it last; the object itself is
// never replaced, so windows may keep the pointer. Only load_language
// changes what it holds, and it swaps the new language in whole (see TLLT).
extern TLLT* gLLT;

// The folder "Language" beside the plug-in file, with or without its
// trailing "/".
std::string language_folder(const char* pluginPath, bool withSlash);
// Where a language file named in the preference is looked for: the
// language folder and the file name of `storedPath`.
std::string language_normal_path(const char* pluginPath, const std::string& storedPath);

// Makes gLLT the language that the preference names, and rewrites the
// preference to the file's normal path. A file is tried 10 times, 20 ms
// apart; when it never loads, the user is told and gLLT stays empty (every
// text then reads "! ERROR !"), while the preference keeps the path so that
// the next change tries again. Always true.
bool load_language(const char* pluginPath);

// Called after every load_language (the communication manager records the
// loaded file's path and modification time there). Returns the previous one.
typedef std::function<void()> language_loaded_hook;
language_loaded_hook set_language_loaded_hook(language_loaded_hook hook);

// The built-in language from the resources of the file `path`.
int32 load_built_in_language(const char* path, TLLT* table);

// Language name → file path of every usable language in the language folder
// of the plug-in file, and the built-in one (from the plug-in file) with an
// empty path. Of two files with one language name the one read later counts;
// the built-in language hides a file of its name.
void get_lang_files_plug(const char* pluginPath, std::map<std::string, std::string>* out);

namespace orvik {

// The same for the language folder `folder`, with the built-in language
// taken from the running application's own resources.
void get_lang_files(const char* folder, std::map<std::string, std::string>* out);

}

// Watches the language folder, and the chosen language file when there is
// one, for `handler` (which must belong to a looper), after ending every
// watch the handler had.
void set_node_monitor_language(const std::string& pluginPath, TNodeMonitorHandler* handler);

#endif
