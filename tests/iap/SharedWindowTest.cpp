// One common preference window between two real programs: this test's
// program, which holds "AccKeyFormat" as the displayer does, and iap_child,
// which holds "AccKeyFormat" and "FlatToolBar". Whichever asks first makes
// the window; the other hands its items over the port, and every change
// made in the window reaches both by the roster's broadcast.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"
#include "WindowTestUtil.h"

#include "framework/TextUtils.h"
#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPView.h"
#include "iap/TIAPWin.h"
#include "iap/TInterAppPrefs.h"

#include <Application.h>
#include <CheckBox.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <OS.h>

#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

using testutil::wait_for;

namespace {

const char* const kTitle = "ORVIK Common Preferences";

// This program: applies every '_ipc' to its store, and keeps what the child
// reports.
class HostApp : public BApplication {
public:
	HostApp(const std::string& signature, TInterAppPrefs* store)
		: BApplication(signature.c_str()), fStore(store) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kIAPValueChanged)
			fStore->SetValue(*message);
		std::lock_guard<std::mutex> lock(fLock);
		fReceived.push_back(*message);
	}

	// The first message `what` not taken yet, waiting for it a while.
	std::optional<BMessage> Next(uint32 what)
	{
		std::optional<BMessage> found;
		wait_for([&] {
			std::lock_guard<std::mutex> lock(fLock);
			for (auto it = fReceived.begin(); it != fReceived.end(); ++it) {
				if (it->what == what) {
					found = *it;
					fReceived.erase(it);
					return true;
				}
			}
			return false;
		}, 10000000);
		return found;
	}

private:
	TInterAppPrefs* fStore;
	std::mutex fLock;
	std::vector<BMessage> fReceived;
};

class SharedWindow : public ::testing::Test {
protected:
	void SetUp() override
	{
		const std::string pid = std::to_string(getpid());
		fSignature = "application/x-vnd.ORVIK-IAPShared-host-" + pid;
		fChildSignature = "application/x-vnd.ORVIK-IAPShared-child-" + pid;
		fStore.SetAppSignatureRef(fSignature.c_str());
		fStore.AddItem(new TIAPItemAccKeyFormat());
		install_common_window(&fStore);

		fThread = spawn_thread(&SharedWindow::RunApp, "iap shared test app",
			B_NORMAL_PRIORITY, this);
		resume_thread(fThread);
		ASSERT_TRUE(wait_for([this] { return fApp.load() != nullptr; }));
	}

	void TearDown() override
	{
		StopChild();
		fStore.QuitWindow();
		BMessenger(fApp.load()).SendMessage(B_QUIT_REQUESTED);
		status_t result;
		wait_for_thread(fThread, &result);
	}

	static int32 RunApp(void* data)
	{
		SharedWindow* self = static_cast<SharedWindow*>(data);
		HostApp* app = new HostApp(self->fSignature, &self->fStore);
		self->fApp = app;
		app->Run();
		delete app;
		return 0;
	}

	// Starts iap_child with a settings folder of its own.
	void StartChild(bool owner)
	{
		const char* path = IAP_CHILD_PATH;
		std::vector<std::string> args = {path, fChildSignature, fSignature};
		if (owner)
			args.push_back("owner");
		std::vector<char*> argv;
		for (std::string& a : args)
			argv.push_back(a.data());
		argv.push_back(nullptr);
		std::vector<std::string> variables;
		for (char** e = environ; *e != nullptr; e++) {
			if (strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
				variables.push_back(*e);
		}
		variables.push_back("XDG_CONFIG_HOME=" + fChildConfig.Path());
		std::vector<char*> envp;
		for (std::string& v : variables)
			envp.push_back(v.data());
		envp.push_back(nullptr);
		if (posix_spawn(&fChild, path, nullptr, nullptr, argv.data(), envp.data()) != 0)
			fChild = -1;
	}

	// Asks the child to quit and waits for it (killing it after a while);
	// true when it ended by itself, successfully.
	bool StopChild()
	{
		if (fChild <= 0)
			return true;
		BMessenger(fChildSignature.c_str()).SendMessage(B_QUIT_REQUESTED);
		int status = 0;
		const bool ended = wait_for([&] { return waitpid(fChild, &status, WNOHANG) == fChild; },
			10000000);
		if (!ended) {
			kill(fChild, SIGKILL);
			waitpid(fChild, &status, 0);
		}
		fChild = -1;
		return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
	}

	TIAPWin* LocalWindow()
	{
		return dynamic_cast<TIAPWin*>(windowtest::find_window(kTitle));
	}

	// Invokes a control of the component `item`, as the user would.
	void Use(TIAPWin* window, const char* item, const char* label)
	{
		windowtest::locked(window, 0, [&](TIAPWin* w) {
			BView* control = w->View()->ComponentView(item)->ChildAt(0);
			if (BMenuField* field = dynamic_cast<BMenuField*>(control)) {
				BMenuItem* menuItem = field->Menu()->FindItem(label);
				EXPECT_NE(menuItem, nullptr) << label;
				// As a choice in the menu does: marked, then invoked.
				if (menuItem != nullptr) {
					menuItem->SetMarked(true);
					menuItem->Invoke();
				}
			} else if (BCheckBox* box = dynamic_cast<BCheckBox*>(control)) {
				box->SetValue(box->Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
				box->Invoke();
			}
			return 0;
		});
	}

	std::string SupplierOf(TIAPWin* window, const char* item)
	{
		return windowtest::locked(window, std::string(), [&](TIAPWin* w) {
			BMessage component;
			if (w->View()->Components().FindMessage(item, 0, &component) != B_OK)
				return std::string("<none>");
			return std::string(component.FindString(kIAPFieldSrcApp));
		});
	}

	iaptest::SettingsFolder fSettings;
	testutil::TempDir fChildConfig;
	std::string fSignature;
	std::string fChildSignature;
	TInterAppPrefs fStore;
	std::atomic<HostApp*> fApp{nullptr};
	thread_id fThread = -1;
	pid_t fChild = -1;
};

}

TEST_F(SharedWindow, TwoProgramsShareOneWindowAndTheirChangesReachBoth)
{
	ASSERT_EQ(fStore.ShowWindow(BRect(40, 40, 340, 240)), 0);
	EXPECT_TRUE(fStore.IsWindowOwner());
	TIAPWin* window = LocalWindow();
	ASSERT_NE(window, nullptr);

	StartChild(false);
	ASSERT_GT(fChild, 0);
	std::optional<BMessage> shown = fApp.load()->Next('shwn');
	ASSERT_TRUE(shown);
	EXPECT_EQ(shown->FindInt32("show"), 0);
	EXPECT_EQ(shown->FindInt32("close"), -1);   // not the owner: sends nothing
	EXPECT_FALSE(shown->FindBool("owner"));

	// One window with each item once: "AccKeyFormat" as this program
	// supplied it first, "FlatToolBar" from the child.
	ASSERT_TRUE(wait_for([&] {
		return windowtest::locked(window, false, [](TIAPWin* w) {
			return w->View()->ComponentView("FlatToolBar") != nullptr;
		});
	}));
	windowtest::settle(window);
	EXPECT_EQ(windowtest::locked(window, -1, [](TIAPWin* w) {
		return w->View()->CountChildren();
	}), 3);
	EXPECT_EQ(SupplierOf(window, "AccKeyFormat"), fSignature);
	EXPECT_EQ(SupplierOf(window, "FlatToolBar"), fChildSignature);

	// A format chosen in the window: both programs take it, the child
	// relabels its menu, and only the supplier (this program) writes it.
	Use(window, "AccKeyFormat", "a - ");
	std::optional<BMessage> applied = fApp.load()->Next('appl');
	ASSERT_TRUE(applied);
	EXPECT_EQ(applied->FindInt32("result"), 0);
	EXPECT_STREQ(applied->FindString("item"), "AccKeyFormat");
	EXPECT_STREQ(applied->FindString("value"), "a - ");
	EXPECT_EQ(applied->FindString("label"), orvik::merge_accelerator_key("a - ", "S", "Save"));
	EXPECT_NE(applied->FindString("label"), orvik::merge_accelerator_key("a) ", "S", "Save"));
	EXPECT_FALSE(applied->HasString("file"));
	EXPECT_TRUE(wait_for([&] {
		std::string value;
		fStore.GetString("AccKeyFormat", &value);
		return value == "a - ";
	}));
	BMessage file;
	EXPECT_TRUE(fSettings.ReadItemFile("AccKeyFormat", &file));

	// The child's own item: its value comes from the archived check box.
	Use(window, "FlatToolBar", nullptr);
	applied = fApp.load()->Next('appl');
	ASSERT_TRUE(applied);
	EXPECT_EQ(applied->FindInt32("result"), 0);
	EXPECT_STREQ(applied->FindString("item"), "FlatToolBar");
	EXPECT_FALSE(applied->FindBool("flat"));
	// This program does not hold the item.
	bool flat = true;
	EXPECT_EQ(fStore.GetBool("FlatToolBar", &flat), -1);

	EXPECT_TRUE(StopChild());
}

TEST_F(SharedWindow, WhenTheOwnerEndsTheNextRequestMakesTheWindowAgain)
{
	StartChild(true);
	ASSERT_GT(fChild, 0);
	std::optional<BMessage> shown = fApp.load()->Next('shwn');
	ASSERT_TRUE(shown);
	EXPECT_EQ(shown->FindInt32("show"), 0);
	EXPECT_TRUE(shown->FindBool("owner"));
	EXPECT_GE(find_port(kIAPPortName), 0);

	// The child's window takes this program's item; none is made here, and
	// this program may not close it.
	EXPECT_EQ(fStore.ShowWindow(BRect(40, 40, 340, 240)), 0);
	EXPECT_FALSE(fStore.IsWindowOwner());
	EXPECT_EQ(LocalWindow(), nullptr);
	EXPECT_EQ(fStore.CloseWindow(false), -1);
	BMessenger(fChildSignature.c_str()).SendMessage('cwin');
	std::optional<BMessage> closed = fApp.load()->Next('cwnd');
	ASSERT_TRUE(closed);
	EXPECT_EQ(closed->FindInt32("result"), 0);

	// The owner ends while this program runs: its window and port go.
	EXPECT_TRUE(StopChild());
	EXPECT_TRUE(wait_for([] { return find_port(kIAPPortName) < 0; }));

	// The next request makes the window here.
	EXPECT_EQ(fStore.ShowWindow(BRect(40, 40, 340, 240)), 0);
	EXPECT_TRUE(fStore.IsWindowOwner());
	EXPECT_GE(find_port(kIAPPortName), 0);
	TIAPWin* window = LocalWindow();
	ASSERT_NE(window, nullptr);
	EXPECT_TRUE(wait_for([&] {
		return windowtest::locked(window, false, [](TIAPWin* w) {
			return w->View()->ComponentView("AccKeyFormat") != nullptr;
		});
	}));
}
