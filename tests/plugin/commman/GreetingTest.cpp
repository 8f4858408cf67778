// Two managers of one application find and greet each other, whichever
// starts first; the first messenger stays.
#include "CommManTestSupport.h"

#include <Application.h>

using namespace cmtest;

namespace {

// Waits until the looper has handled everything posted to it so far.
void settle(BLooper* looper)
{
	BMessage ping('ping');
	BMessage reply;
	BMessenger(nullptr, looper).SendMessage(&ping, &reply);
}

}

TEST(Greeting, ManagersStartedInEitherOrderHoldEachOther)
{
	for (bool displayerFirst : {true, false}) {
		SCOPED_TRACE(displayerFirst ? "displayer first" : "editor first");
		TVersoDCommMan* displayer = new TVersoDCommMan;
		RecordingPeer* editor = new RecordingPeer;
		if (displayerFirst) {
			EXPECT_EQ(displayer->Connect(), B_ERROR);   // not running yet: alone
			displayer->Run();
			editor->Run();
		} else {
			editor->Run();
			displayer->Run();
		}
		ASSERT_TRUE(testutil::wait_for([&] {
			return displayer->IsConnected() && editor->IsConnected();
		}));
		EXPECT_EQ(target_of(displayer->PeerMessenger()), editor);
		EXPECT_EQ(target_of(editor->PeerMessenger()), displayer);

		// A later greeting from another looper does not take the place.
		RecordingPeer* stranger = new RecordingPeer("stranger", "nobody");
		stranger->Run();
		BMessage greeting(kMsgCommManGreeting);
		greeting.AddPointer(kFieldCommMan, stranger);
		BMessenger(nullptr, displayer).SendMessage(&greeting);
		settle(displayer);
		EXPECT_EQ(target_of(displayer->PeerMessenger()), editor);

		// What the displayer sends arrives at the editor, in both variants.
		BMessage notice('Sptc');
		EXPECT_EQ(displayer->SendMessage(&notice), B_OK);
		BMessage asked('Sprc');
		BMessage reply;
		EXPECT_EQ(displayer->SendMessage(&asked, &reply), B_OK);
		EXPECT_EQ(editor->record.Codes(), (std::vector<uint32>{'Sptc', 'Sprc'}));
		EXPECT_TRUE(stranger->record.Codes().empty());

		quit(stranger);
		quit(editor);
		quit(displayer);
	}
}

TEST(Greeting, AloneManagerSendsNothingAndRefusesForeignPointers)
{
	TCommMan* lonely = new TCommMan("lonely manager", "nobody by that name");
	lonely->Run();
	EXPECT_FALSE(lonely->IsConnected());
	BMessage message('Spac');
	EXPECT_EQ(lonely->SendMessage(&message), B_ERROR);
	BMessage reply;
	EXPECT_EQ(lonely->SendMessage(&message, &reply), B_ERROR);

	// A pointer that is no looper of this application is not followed, nor
	// is a greeting without one.
	int notALooper = 0;
	BMessage bogus(kMsgCommManGreeting);
	bogus.AddPointer(kFieldCommMan, &notALooper);
	BMessenger(nullptr, lonely).SendMessage(&bogus);
	BMessenger(nullptr, lonely).SendMessage(kMsgCommManGreeting);
	settle(lonely);
	EXPECT_FALSE(lonely->IsConnected());

	// A proper greeting through CommManConnected connects.
	RecordingPeer* other = new RecordingPeer("other manager", "nobody");
	other->Run();
	BMessage greeting(kMsgCommManGreeting);
	greeting.AddPointer(kFieldCommMan, other);
	if (lonely->Lock()) {
		lonely->CommManConnected(&greeting);
		lonely->Unlock();
	}
	EXPECT_EQ(target_of(lonely->PeerMessenger()), other);

	quit(other);
	quit(lonely);
}
