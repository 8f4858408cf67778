// Two programs of the family sharing "AccKeyFormat": this test's program
// makes the common window (played here by the application itself, which
// receives what the port brings), the child program finds the port and
// hands its item over, and changes chosen in the window reach both by
// the roster's broadcast. Each program has a settings folder of its own
// here, so that the test sees which of them wrote the item file.
#include <gtest/gtest.h>

#include "IAPTestUtil.h"

#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPPortManager.h"
#include "iap/TInterAppPrefs.h"

#include <Application.h>
#include <Archivable.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <Roster.h>
#include <View.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

using testutil::wait_for;

namespace {

const char* const kDot = "a\xE3\x83\xBB";

std::string signature_for(const char* role)
{
	return std::string("application/x-vnd.ORVIK-IAPTest-") + role + "-"
		+ std::to_string(getpid());
}

// The message of the menu item `label` in a component of 'iacr' (the
// window's working copy), turned into the '_ipc' that the window
// broadcasts when the user chooses it.
bool choice_from(const BMessage& component, const char* label, BMessage* change)
{
	BMessage archive(component);
	std::unique_ptr<BView> view(dynamic_cast<BView*>(instantiate_object(&archive)));
	BMenuField* field = view ? dynamic_cast<BMenuField*>(view->ChildAt(0)) : nullptr;
	if (field == nullptr || field->Menu() == nullptr)
		return false;
	BMenuItem* item = field->Menu()->FindItem(label);
	if (item == nullptr || item->Message() == nullptr)
		return false;
	*change = *item->Message();
	change->what = kIAPValueChanged;
	return true;
}

// What one program reported after applying a change.
struct Applied {
	status_t result = B_ERROR;
	std::string value;
	std::string file;   // "<none>" without a file
};

class OwnerApp : public BApplication {
public:
	OwnerApp(const std::string& signature, const std::string& childSignature,
	         const iaptest::SettingsFolder& settings, const std::string& childConfig)
		: BApplication(signature.c_str()), fSignature(signature),
		  fChildSignature(childSignature), fSettings(settings), fChildConfig(childConfig)
	{
		fStore.SetAppSignatureRef(fSignature.c_str());
		fStore.AddItem(new TIAPItemAccKeyFormat());
		fStore.SetWindowMaker([this](BRect) {
			fManager = std::make_unique<TIAPPortManager>(BMessenger(this));
			fManager->Resume();
			return fManager.get();
		});
	}

	void ReadyToRun() override
	{
		showResult = fStore.ShowWindow(BRect(40, 40, 340, 240));
		owner = fStore.IsWindowOwner();

		const char* path = IAP_CHILD_PATH;
		char* argv[] = {const_cast<char*>(path), const_cast<char*>(fChildSignature.c_str()),
			const_cast<char*>(fSignature.c_str()), nullptr};
		std::vector<std::string> variables;
		for (char** e = environ; *e != nullptr; e++) {
			if (strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
				variables.push_back(*e);
		}
		variables.push_back("XDG_CONFIG_HOME=" + fChildConfig);
		std::vector<char*> envp;
		for (std::string& v : variables)
			envp.push_back(v.data());
		envp.push_back(nullptr);
		if (posix_spawn(&childPid, path, nullptr, nullptr, argv, envp.data()) != 0) {
			childPid = -1;
			Quit();
		}
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kIAPAddComponents: {
				// The window keeps the first supplier of an item.
				BMessage component;
				const char* supplier = nullptr;
				if (message->FindMessage("AccKeyFormat", 1, &component) != B_OK
					|| component.FindString(kIAPFieldSrcApp, &supplier) != B_OK)
					break;
				suppliers.push_back(supplier);
				fComponents[supplier] = component;
				if (suppliers.size() == 2)
					Choose(fSignature, "a - ");
				break;
			}
			case kIAPActivateWindow:
				activations++;
				break;
			case kIAPValueChanged: {
				Applied& mine = fRounds[fRound].first;
				mine.result = fStore.SetValue(*message);
				fStore.GetString("AccKeyFormat", &mine.value);
				BMessage file;
				mine.file = fSettings.ReadItemFile("AccKeyFormat", &file)
					? file.FindString("AccKeyFormat") : "<none>";
				fMineDone = true;
				Next();
				break;
			}
			case 'shwn':
				childShow = message->FindInt32("show");
				childClose = message->FindInt32("close");
				break;
			case 'appl': {
				Applied& theirs = fRounds[fRound].second;
				theirs.result = message->FindInt32("result");
				theirs.value = message->FindString("value");
				const char* file = nullptr;
				theirs.file = message->FindString("file", &file) == B_OK ? file : "<none>";
				fTheirsDone = true;
				Next();
				break;
			}
			default:
				BApplication::MessageReceived(message);
		}
	}

	// Round 0: the item as this program supplied it; round 1: as the child
	// supplied it (what the window sends when it shows the child's copy).
	std::pair<Applied, Applied> fRounds[2];
	std::vector<std::string> suppliers;
	status_t showResult = B_ERROR;
	bool owner = false;
	int activations = 0;
	status_t childShow = B_ERROR;
	status_t childClose = B_ERROR;
	status_t broadcast = B_ERROR;
	pid_t childPid = -1;
	std::unique_ptr<TIAPPortManager> fManager;

private:
	void Choose(const std::string& supplier, const char* label)
	{
		BMessage change;
		if (!choice_from(fComponents[supplier], label, &change)) {
			ADD_FAILURE() << "no menu item " << label << " from " << supplier;
			Quit();
			return;
		}
		fMineDone = fTheirsDone = false;
		broadcast = be_roster->Broadcast(&change);
	}

	void Next()
	{
		if (!fMineDone || !fTheirsDone)
			return;
		if (fRound == 0) {
			fRound = 1;
			Choose(fChildSignature, kDot);
			return;
		}
		BMessenger(fChildSignature.c_str()).SendMessage(B_QUIT_REQUESTED);
		Quit();
	}

	std::string fSignature;
	std::string fChildSignature;
	const iaptest::SettingsFolder& fSettings;
	std::string fChildConfig;
	TInterAppPrefs fStore;
	std::map<std::string, BMessage> fComponents;
	int fRound = 0;
	bool fMineDone = false;
	bool fTheirsDone = false;
};

}

TEST(IAPTwoPrograms, AccKeyFormatTravelsThroughThePortAndTheBroadcast)
{
	iaptest::SettingsFolder settings;
	testutil::TempDir childConfig;
	const std::string ownerSignature = signature_for("owner");
	const std::string childSignature = signature_for("child");

	auto app = std::make_unique<OwnerApp>(ownerSignature, childSignature, settings,
		childConfig.Path());
	ASSERT_EQ(app->InitCheck(), B_OK);
	testutil::RunWatchdog watchdog(be_app_messenger);
	app->Run();
	watchdog.Stop();
	EXPECT_FALSE(watchdog.Fired()) << "Run() did not end by itself";

	// This program made the window and its port; the child found the port,
	// activated the window, handed its item over, and may not close it.
	EXPECT_EQ(app->showResult, 0);
	EXPECT_TRUE(app->owner);
	EXPECT_EQ(app->childShow, 0);
	EXPECT_EQ(app->childClose, -1);
	EXPECT_EQ(app->activations, 1);
	EXPECT_EQ(app->suppliers, (std::vector<std::string>{ownerSignature, childSignature}));
	EXPECT_EQ(app->broadcast, B_OK);

	// Chosen in this program's copy: both programs take the value, only
	// this one writes the file.
	const auto& [mine0, theirs0] = app->fRounds[0];
	EXPECT_EQ(mine0.result, 0);
	EXPECT_EQ(mine0.value, "a - ");
	EXPECT_EQ(mine0.file, "a - ");
	EXPECT_EQ(theirs0.result, 0);
	EXPECT_EQ(theirs0.value, "a - ");
	EXPECT_EQ(theirs0.file, "<none>");

	// Chosen in the child's copy: the child writes, this program only
	// takes the value and keeps its file as it was.
	const auto& [mine1, theirs1] = app->fRounds[1];
	EXPECT_EQ(mine1.result, 0);
	EXPECT_EQ(mine1.value, kDot);
	EXPECT_EQ(mine1.file, "a - ");
	EXPECT_EQ(theirs1.result, 0);
	EXPECT_EQ(theirs1.value, kDot);
	EXPECT_EQ(theirs1.file, kDot);

	const pid_t child = app->childPid;
	app->fManager.reset();
	EXPECT_LT(find_port(kIAPPortName), 0);
	app.reset();

	// The child was asked to quit and goes on its own.
	ASSERT_GT(child, 0);
	int status = 0;
	const bool ended = wait_for([&] { return waitpid(child, &status, WNOHANG) == child; },
		10000000);
	if (!ended) {
		kill(child, SIGKILL);
		waitpid(child, &status, 0);
	}
	EXPECT_TRUE(ended);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
