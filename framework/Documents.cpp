#include "framework/Documents.h"

#include "framework/Alerts.h"
#include "framework/FileUtils.h"

#include <Entry.h>
#include <Path.h>
#include <Roster.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace orvik {

namespace {

const char* const kFullWidthOK = "\xEF\xBC\xAF\xEF\xBC\xAB";   // ＯＫ
const size_t kMaxUrlLength = 255;

void show_failure(const char* title, const char* errorPrefix, const char* what)
{
	std::string text = std::string(errorPrefix != nullptr ? errorPrefix : "")
		+ (what != nullptr ? what : "");
	show_msg(title, text.c_str(), kFullWidthOK, B_WARNING_ALERT);
}

}

bool show_help(const char* file, const char* title, const char* errorPrefix)
{
	BEntry entry;
	std::string path = file != nullptr ? file : "";
	if (get_entry(file, &entry, BASE_DIR_APP, nullptr)) {
		BPath full;
		if (entry.GetPath(&full) == B_OK)
			path = full.Path();
		entry_ref ref;
		if (entry.GetRef(&ref) == B_OK && entry.Exists()) {
			status_t status = be_roster->Launch(&ref);
			if (status == B_OK || status == B_ALREADY_RUNNING)
				return true;
		}
	}
	show_failure(title, errorPrefix, path.c_str());
	return false;
}

bool show_url(const char* url, const char* title, const char* errorPrefix)
{
	if (url == nullptr || url[0] == '\0' || strlen(url) > kMaxUrlLength) {
		show_failure(title, errorPrefix, url);
		return false;
	}
	char buffer[kMaxUrlLength + 1];
	snprintf(buffer, sizeof(buffer), "%s", url);
	char* argv[] = {buffer, nullptr};
	status_t status = be_roster->Launch("text/html", 1, argv);
	if (status == B_OK || status == B_ALREADY_RUNNING)
		return true;
	show_failure(title, errorPrefix, url);
	return false;
}

}
