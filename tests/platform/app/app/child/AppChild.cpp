// The other process of the cross-process tests. Usage:
//     app_child <own signature> <test's signature>
// On start it greets the test's application with 'chld', carrying its own
// messenger. It answers 'ping' with 'pong', reports a broadcast 'bcst' to
// the test by signature with 'gotb', and quits on B_QUIT_REQUESTED (or by
// itself after a while, should the test be gone).
#include <Application.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include <stdio.h>

namespace {

class ChildApp : public BApplication {
public:
	ChildApp(const char* signature, const char* parent)
		: BApplication(signature), fParent(parent) {}

	void ReadyToRun() override
	{
		BMessage hello('chld');
		hello.AddMessenger("me", be_app_messenger);
		status_t result;
		BMessenger parent(fParent, -1, &result);
		if (result != B_OK || parent.SendMessage(&hello) != B_OK) {
			fprintf(stderr, "app_child: cannot reach %s\n", fParent);
			Quit();
			return;
		}
		BMessage giveUp(B_QUIT_REQUESTED);
		fGiveUp = new BMessageRunner(be_app_messenger, &giveUp, 60000000, 1);
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case 'ping': {
				BMessage pong('pong');
				pong.AddBool("remote", message->IsSourceRemote());
				pong.AddString("echo", message->FindString("text"));
				message->SendReply(&pong);
				break;
			}
			case 'bcst': {
				BMessage got('gotb');
				got.AddString("text", message->FindString("text"));
				got.AddBool("remote", message->IsSourceRemote());
				BMessenger(fParent).SendMessage(&got);
				break;
			}
			default:
				BApplication::MessageReceived(message);
		}
	}

	~ChildApp() override { delete fGiveUp; }

private:
	const char* fParent;
	BMessageRunner* fGiveUp = nullptr;
};

}

int main(int argc, char** argv)
{
	if (argc < 3) {
		fprintf(stderr, "usage: app_child <signature> <test signature>\n");
		return 2;
	}
	ChildApp app(argv[1], argv[2]);
	if (app.InitCheck() != B_OK)
		return 1;
	app.Run();
	return 0;
}
