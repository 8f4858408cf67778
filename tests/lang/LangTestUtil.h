// Helpers of the language tests: LLT texts, plug-in files with resources,
// and a recorder of alerts.
#ifndef TESTS_LANG_LANG_TEST_UTIL_H
#define TESTS_LANG_LANG_TEST_UTIL_H

#include "framework/Alerts.h"

#include <mutex>
#include <string>
#include <vector>

namespace langtest {

// An LLT file with the given language name and "Data" lines.
std::string llt(const std::string& language, const std::string& dataLines);

// Writes a stand-in plug-in file at `path` whose resources hold `builtIn`
// as 'CSTR' 3000 (with its NUL when `withNul`).
void write_plugin(const std::string& path, const std::string& builtIn, bool withNul = true);

// The text of a shipped file below the source tree's data/Language.
std::string shipped_language(const char* name);
std::string shipped_language_path(const char* name);

// Answers every alert with button 0 and keeps the requests, while it lives.
class AlertRecorder {
public:
	AlertRecorder();
	~AlertRecorder();
	std::vector<orvik::TAlertRequest> Requests();
private:
	std::mutex fLock;
	std::vector<orvik::TAlertRequest> fRequests;
	orvik::alert_responder fPrevious;
};

}

#endif
