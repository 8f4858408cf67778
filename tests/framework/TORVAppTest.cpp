// The framework application: its menu codes, and quitting with framework
// windows open.
#include <gtest/gtest.h>

#include "TestUtil.h"

#include "framework/TORVApp.h"
#include "framework/TORVWin.h"

#include <AppDefs.h>
#include <Message.h>
#include <Messenger.h>

#include <unistd.h>

#include <atomic>
#include <string>

namespace {

class MenuApp : public TORVApp {
public:
	MenuApp(const char* signature) : TORVApp(signature) {}

	void ReadyToRun() override
	{
		PostMessage(ORV_MSG_AUTHOR_WEB);
		PostMessage(ORV_MSG_HELP);
		PostMessage(ORV_MSG_HELP);
		PostMessage('othr');
		// Asks every window, as quitting the application does.
		PostMessage(B_QUIT_REQUESTED);
	}
	void MItemAuthorWebClicked() override { web++; }
	void MItemHelpClicked() override { help++; }

	int web = 0;
	int help = 0;
};

class GoneWin : public TORVWin {
public:
	GoneWin(std::atomic<bool>* gone)
		: TORVWin(BRect(10, 10, 109, 109), "gone", B_TITLED_WINDOW, 0), fGone(gone) {}
	~GoneWin() override { *fGone = true; }
private:
	std::atomic<bool>* fGone;
};

}

TEST(FrameworkApp, MenuCodesCallTheirHooksAndQuittingClosesTheWindows)
{
	std::string signature = "application/x-vnd.verso-test-orvapp-" + std::to_string(getpid());
	MenuApp app(signature.c_str());
	ASSERT_EQ(app.InitCheck(), B_OK);

	// A framework window hides when the user closes it, but the application
	// quitting it in code gets its agreement.
	std::atomic<bool> gone{false};
	GoneWin* window = new GoneWin(&gone);
	window->Show();

	testutil::RunWatchdog watchdog(be_app_messenger);
	app.Run();
	watchdog.Stop();
	EXPECT_FALSE(watchdog.Fired()) << "Run() did not end by itself";

	EXPECT_EQ(app.web, 1);
	EXPECT_EQ(app.help, 2);
	EXPECT_TRUE(gone);
}
