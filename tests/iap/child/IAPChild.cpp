// The other program of the two-program tests. Usage:
//     iap_child <own signature> <test's signature>
// It holds "AccKeyFormat" in a store of its own, shows the common window
// (which the test's program made) and reports 'shwn' with the results of
// ShowWindow ("show") and CloseWindow(false) ("close"). Every '_ipc' it
// receives it applies and reports as 'appl': "result", the value now
// ("value") and the value in its item file ("file", absent without one).
// It quits on B_QUIT_REQUESTED, or by itself after a while.
#include "iap/IAPDefs.h"
#include "iap/TIAPItemAccKeyFormat.h"
#include "iap/TInterAppPrefs.h"

#include <Application.h>
#include <File.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

class ChildApp : public BApplication {
public:
	ChildApp(const char* signature, const char* parent)
		: BApplication(signature), fSignature(signature), fParent(parent)
	{
		fStore.SetAppSignatureRef(fSignature.c_str());
		fStore.AddItem(new TIAPItemAccKeyFormat());
	}

	~ChildApp() override { delete fGiveUp; }

	void ReadyToRun() override
	{
		BMessage giveUp(B_QUIT_REQUESTED);
		fGiveUp = new BMessageRunner(be_app_messenger, &giveUp, 60000000, 1);

		BMessage shown('shwn');
		shown.AddInt32("show", fStore.ShowWindow(BRect(40, 40, 340, 240)));
		shown.AddInt32("close", fStore.CloseWindow(false));
		Report(&shown);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kIAPValueChanged) {
			BApplication::MessageReceived(message);
			return;
		}
		BMessage applied('appl');
		applied.AddInt32("result", fStore.SetValue(*message));
		std::string value;
		fStore.GetString("AccKeyFormat", &value);
		applied.AddString("value", value.c_str());
		std::string stored;
		if (ReadFile(&stored))
			applied.AddString("file", stored.c_str());
		Report(&applied);
	}

private:
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
	TInterAppPrefs fStore;
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
		fprintf(stderr, "usage: iap_child <signature> <test signature>\n");
		return 2;
	}
	ChildApp app(argv[1], argv[2]);
	if (app.InitCheck() != B_OK)
		return 1;
	app.Run();
	return 0;
}
