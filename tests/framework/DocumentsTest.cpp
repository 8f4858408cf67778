// Opening documents and pages, stored messages, the task-bar title.
#include <gtest/gtest.h>

#include "TestUtil.h"

#include "framework/Alerts.h"
#include "framework/Desktop.h"
#include "framework/Documents.h"
#include "framework/TRsrcMsg.h"

#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

// Sends the opener's arguments to a file, and answers alerts with a record.
class OpenerAndAlerts {
public:
	explicit OpenerAndAlerts(const testutil::TempDir& dir)
		: fRecord(dir.File("opened"))
	{
		std::string script = dir.Write("opener",
			"#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + fRecord + "'\n");
		chmod(script.c_str(), 0755);
		setenv("VERSO_OPENER", script.c_str(), 1);
		fPrevious = orvik::set_alert_responder([this](const orvik::TAlertRequest& request) {
			alerts.push_back(request);
			return 0;
		});
	}
	~OpenerAndAlerts()
	{
		unsetenv("VERSO_OPENER");
		orvik::set_alert_responder(fPrevious);
	}
	std::string Opened() const { return testutil::read_file(fRecord); }

	std::vector<orvik::TAlertRequest> alerts;

private:
	std::string fRecord;
	orvik::alert_responder fPrevious;
};

}

TEST(Documents, UrlOpensInTheBrowserAndTooLongOrFailedOnesAlert)
{
	testutil::TempDir dir;
	OpenerAndAlerts env(dir);
	EXPECT_TRUE(orvik::show_url("https://example.org/verso", "Help", "Cannot open "));
	EXPECT_EQ(env.Opened(), "https://example.org/verso\n");
	EXPECT_TRUE(env.alerts.empty());

	// Longer than 255 bytes: refused with the warning, never opened cut.
	std::string longUrl = "https://example.org/" + std::string(300, 'x');
	EXPECT_FALSE(orvik::show_url(longUrl.c_str(), "Help", "Cannot open "));
	EXPECT_EQ(env.Opened(), "https://example.org/verso\n");
	ASSERT_EQ(env.alerts.size(), 1u);
	EXPECT_EQ(env.alerts[0].text, "Help\n\nCannot open " + longUrl);
	EXPECT_EQ(env.alerts[0].type, B_WARNING_ALERT);
	ASSERT_EQ(env.alerts[0].buttons.size(), 1u);
	EXPECT_EQ(env.alerts[0].buttons[0], "\xEF\xBC\xAF\xEF\xBC\xAB");
}

TEST(Documents, MissingHelpFileAlertsWithItsPath)
{
	testutil::TempDir dir;
	OpenerAndAlerts env(dir);
	EXPECT_FALSE(orvik::show_help("NoSuchHelp.htm", "Verso", "Not found: "));
	EXPECT_TRUE(env.Opened().empty());
	ASSERT_EQ(env.alerts.size(), 1u);
	EXPECT_NE(env.alerts[0].text.find("Not found: "), std::string::npos);
	EXPECT_NE(env.alerts[0].text.find("NoSuchHelp.htm"), std::string::npos);
}

TEST(Documents, StoredMessagesComeFromAFileOrFromResources)
{
	testutil::TempDir dir;
	// A file: one message holding named sub-messages.
	BMessage all;
	BMessage menu('menu');
	menu.AddString("label", "Open");
	all.AddMessage("Menu", &menu);
	std::string path = dir.File("messages.arc");
	{
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		ASSERT_EQ(all.Flatten(&file), B_OK);
	}
	orvik::TRsrcMsg stored;
	stored.SetTo(BEntry(path.c_str()));
	BMessage out;
	ASSERT_TRUE(stored.GetMessage("Menu", &out));
	EXPECT_EQ(out.what, (uint32)'menu');
	EXPECT_STREQ(out.FindString("label"), "Open");
	EXPECT_FALSE(stored.GetMessage("Other", &out));

	// Resources: a raw resource named after the message.
	std::string rsrcPath = dir.File("with-resources");
	BFile rsrcFile(rsrcPath.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
	BResources resources(&rsrcFile, true);
	BMessage fromRsrc('rsrc');
	fromRsrc.AddInt32("n", 7);
	ssize_t size = fromRsrc.FlattenedSize();
	std::vector<char> flat(size);
	ASSERT_EQ(fromRsrc.Flatten(flat.data(), size), B_OK);
	ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 1, flat.data(), size, "Prefs"), B_OK);
	resources.AddResource(B_RAW_TYPE, 2, "junk", 4, "Broken");
	stored.Unset();
	ASSERT_TRUE(stored.GetMessage("Prefs", &out, &resources));
	EXPECT_EQ(out.what, (uint32)'rsrc');
	EXPECT_EQ(out.FindInt32("n"), 7);
	EXPECT_FALSE(stored.GetMessage("Broken", &out, &resources));
	EXPECT_FALSE(stored.GetMessage("Missing", &out, &resources));

	// Short resources that begin like a flattened message: read only up to
	// their own end (ASan catches a read past it).
	resources.AddResource(B_RAW_TYPE, 3, "1BOF", 4, "Magic");
	resources.AddResource(B_RAW_TYPE, 4, flat.data(), size - 1, "Truncated");
	EXPECT_FALSE(stored.GetMessage("Magic", &out, &resources));
	EXPECT_FALSE(stored.GetMessage("Truncated", &out, &resources));
}

TEST(Documents, TaskBarTitleReportsThatItCannot)
{
	EXPECT_FALSE(orvik::set_deskbar_title("Verso", "Song"));
	EXPECT_FALSE(orvik::set_file_panel_priority(nullptr, 10));
}
