#include "LangTestUtil.h"

#include "TestUtil.h"

#include <File.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

namespace langtest {

std::string llt(const std::string& language, const std::string& dataLines)
{
	return "[Informations]\nHeader = LLT File Format 100\nLanguage = " + language
		+ "\nWriter = tester\nSpecialThanks = everyone\n[Data]\n" + dataLines;
}

void write_plugin(const std::string& path, const std::string& builtIn, bool withNul)
{
	BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
	ASSERT_EQ(file.InitCheck(), B_OK);
	const char code[] = "\x7f" "ELF stand-in for the plug-in's code";
	ASSERT_EQ(file.Write(code, sizeof(code)), static_cast<ssize_t>(sizeof(code)));
	BResources resources;
	ASSERT_EQ(resources.SetTo(&file), B_OK);
	ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 3000, builtIn.c_str(),
		builtIn.size() + (withNul ? 1 : 0)), B_OK);
	ASSERT_EQ(resources.Sync(), B_OK);
}

std::string shipped_language_path(const char* name)
{
	return std::string(VERSO_SOURCE_DIR) + "/data/Language/" + name;
}

std::string shipped_language(const char* name)
{
	return testutil::read_file(shipped_language_path(name));
}

AlertRecorder::AlertRecorder()
{
	fPrevious = orvik::set_alert_responder([this](const orvik::TAlertRequest& request) {
		std::lock_guard<std::mutex> lock(fLock);
		fRequests.push_back(request);
		return int32(0);
	});
}

AlertRecorder::~AlertRecorder()
{
	orvik::set_alert_responder(fPrevious);
}

std::vector<orvik::TAlertRequest> AlertRecorder::Requests()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fRequests;
}

}
