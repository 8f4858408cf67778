#include "Language.h"

#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include <string.h>

namespace {

bool ends_in_llt(const char* path)
{
	const size_t length = strlen(path);
	return length >= 3 && strcmp(path + length - 3, "llt") == 0;
}

// Every loadable LLT file of `folder`, in the folder's own order; a later
// file of a language name replaces an earlier one.
void add_language_files(const char* folder, std::map<std::string, std::string>* out)
{
	BDirectory directory(folder);
	if (directory.InitCheck() != B_OK)
		return;
	BEntry entry;
	while (directory.GetNextEntry(&entry, true) == B_OK) {
		BPath path;
		if (entry.GetPath(&path) != B_OK || !ends_in_llt(path.Path()))
			continue;
		TLLT table;
		if (table.Load(path.Path()) == 0)
			(*out)[table.LanguageName()] = path.Path();
	}
}

}

void get_lang_files_plug(const char* pluginPath, std::map<std::string, std::string>* out)
{
	if (out == nullptr)
		return;
	add_language_files(language_folder(pluginPath, false).c_str(), out);
	TLLT builtIn;
	if (load_built_in_language(pluginPath, &builtIn) == 0)
		(*out)[builtIn.LanguageName()] = "";
}

namespace orvik {

void get_lang_files(const char* folder, std::map<std::string, std::string>* out)
{
	if (out == nullptr)
		return;
	if (folder != nullptr)
		add_language_files(folder, out);
	TLLT builtIn;
	if (builtIn.Load(static_cast<BResources*>(nullptr), kBuiltInLanguageID) == 0)
		(*out)[builtIn.LanguageName()] = "";
}

}
