// The other program of the two-program tests. Usage:
//     iap_child <own signature> <test's signature> [owner]
// It holds "AccKeyFormat" and "FlatToolBar" in a store of its own, can make
// the common window itself, and shows it at start: with "owner" it is
// meant to be the first and make the window; otherwise it finds the test
// program's window. It reports 'shwn' with the results of ShowWindow
// ("show"), CloseWindow(false) ("close", only without "owner") and whether
// it owns the window ("owner").
//
// Every '_ipc' it receives it applies and reports as 'appl': "result", the
// item ("item"), the accelerator format now ("value") and in its item file
// ("file", absent without one), the tool-bar style now ("flat"), and the
// label of its "Save" menu item, which it rebuilds with the format
// ("label").
//
// On 'cwin' it calls CloseWindow(false) and answers 'cwnd' with "result".
// It quits on B_QUIT_REQUESTED, or by itself after a while.
//
// With "chatter" (after "owner", or in its place) it also broadcasts a
// change of "AccKeyFormat" to every application five times a second, as
// the common window does when the user changes it, alternating between
// two formats (the long-run test uses it as a busy program of the family).
#include "framework/TextUtils.h"
#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TIAPItemFlatToolBar.h"
#include "iap/TIAPWin.h"
#include "iap/TInterAppPrefs.h"

#include <Application.h>
#include <File.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <Roster.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

class ChildApp : public BApplication {
public:
	ChildApp(const char* signature, const char* parent, bool owner, bool chatter)
		: BApplication(signature), fSignature(signature), fParent(parent), fOwner(owner),
		  fChatter(chatter),
		  fMenu(new BMenu("File"))
	{
		fStore.SetAppSignatureRef(fSignature.c_str());
		fStore.AddItem(new TIAPItemAccKeyFormat());
		fStore.AddItem(new TIAPItemFlatToolBar());
		install_common_window(&fStore);
		fMenu->AddItem(new BMenuItem("", new BMessage('save')));
		Relabel();
	}

	~ChildApp() override
	{
		delete fGiveUp;
		delete fChatterRunner;
	}

	void ReadyToRun() override
	{
		BMessage giveUp(B_QUIT_REQUESTED);
		fGiveUp = new BMessageRunner(be_app_messenger, &giveUp, 60000000, 1);
		if (fChatter) {
			BMessage chat('chat');
			fChatterRunner = new BMessageRunner(be_app_messenger, &chat, 200000);
		}

		BMessage shown('shwn');
		shown.AddInt32("show", fStore.ShowWindow(BRect(40, 40, 340, 240)));
		if (!fOwner)
			shown.AddInt32("close", fStore.CloseWindow(false));
		shown.AddBool("owner", fStore.IsWindowOwner());
		Report(&shown);
	}

	bool QuitRequested() override
	{
		// The window this program made goes with it, before the
		// application does.
		fStore.QuitWindow();
		return BApplication::QuitRequested();
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kIAPValueChanged:
				Applied(message);
				break;
			case 'chat': {
				BMessage change(kIAPValueChanged);
				change.AddString(kIAPFieldSrcApp, fSignature.c_str());
				change.AddString(kIAPFieldSrcItem, "AccKeyFormat");
				change.AddString("AccKeyFormat", fChats++ % 2 == 0 ? "a - " : "a) ");
				be_roster->Broadcast(&change);
				break;
			}
			case 'cwin': {
				BMessage answer('cwnd');
				answer.AddInt32("result", fStore.CloseWindow(false));
				Report(&answer);
				break;
			}
			default:
				BApplication::MessageReceived(message);
				break;
		}
	}

private:
	void Applied(BMessage* message)
	{
		BMessage applied('appl');
		applied.AddInt32("result", fStore.SetValue(*message));
		const char* item = nullptr;
		if (message->FindString(kIAPFieldSrcItem, &item) == B_OK)
			applied.AddString("item", item);
		std::string value;
		fStore.GetString("AccKeyFormat", &value);
		applied.AddString("value", value.c_str());
		bool flat = false;
		fStore.GetBool("FlatToolBar", &flat);
		applied.AddBool("flat", flat);
		std::string stored;
		if (ReadFile(&stored))
			applied.AddString("file", stored.c_str());
		// As the program's windows do with the '_ipc' they are passed.
		if (item != nullptr && strcmp(item, "AccKeyFormat") == 0)
			Relabel();
		applied.AddString("label", fMenu->ItemAt(0)->Label());
		Report(&applied);
	}

	void Relabel()
	{
		std::string format;
		fStore.GetString("AccKeyFormat", &format);
		fMenu->ItemAt(0)->SetLabel(orvik::merge_accelerator_key(format, "S", "Save").c_str());
	}

	void Report(BMessage* message)
	{
		if (BMessenger(fParent).SendMessage(message) != B_OK) {
			fprintf(stderr, "iap_child: cannot reach %s\n", fParent);
			PostMessage(B_QUIT_REQUESTED);
		}
	}

	bool ReadFile(std::string* value) const
	{
		const char* config = getenv("XDG_CONFIG_HOME");
		if (config == nullptr)
			return false;
		const std::string path = std::string(config) + "/ORVIK/Shared/AccKeyFormat.arc";
		BFile file(path.c_str(), B_READ_ONLY);
		BMessage msg;
		const char* stored = nullptr;
		if (file.InitCheck() != B_OK || msg.Unflatten(&file) != B_OK
			|| msg.FindString("AccKeyFormat", &stored) != B_OK)
			return false;
		*value = stored;
		return true;
	}

	std::string fSignature;
	const char* fParent;
	bool fOwner;
	bool fChatter;
	int32 fChats = 0;
	BMessageRunner* fChatterRunner = nullptr;
	TInterAppPrefs fStore;
	std::unique_ptr<BMenu> fMenu;
	BMessageRunner* fGiveUp = nullptr;
};

}

// The sanitizers skip the same libraries beneath the platform as in the
// test programs: they keep caches for the life of the process and share
// them between threads through locks the sanitizers cannot see.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
	return "leak:libfontconfig.so\n"
		"leak:libpangoft2-1.0.so\n"
		"leak:libdbus-1.so\n";
}

extern "C" __attribute__((used)) const char* __tsan_default_suppressions()
{
	return "race:libfontconfig.so\n"
		"race:libpangoft2-1.0.so\n"
		"race:libpango-1.0.so\n"
		"race:libcairo.so\n";
}

int main(int argc, char** argv)
{
	if (argc < 3) {
		fprintf(stderr, "usage: iap_child <signature> <test signature> [owner] [chatter]\n");
		return 2;
	}
	// Windows draw into memory only: the test watches them through the
	// window's owner.
	setenv("VERSO_HEADLESS", "1", 0);
	bool owner = false, chatter = false;
	for (int i = 3; i < argc; i++) {
		owner |= strcmp(argv[i], "owner") == 0;
		chatter |= strcmp(argv[i], "chatter") == 0;
	}
	ChildApp app(argv[1], argv[2], owner, chatter);
	if (app.InitCheck() != B_OK)
		return 1;
	app.Run();
	return 0;
}
