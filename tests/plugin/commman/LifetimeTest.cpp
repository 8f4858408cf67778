// The manager leaves nothing behind on the application: its filter goes,
// and its thread ends, however it is quit.
#include "CommManTestSupport.h"

#include <Application.h>
#include <List.h>

using namespace cmtest;

namespace {

int32 app_filter_count()
{
	int32 count = -1;
	if (be_app->Lock()) {
		BList* filters = be_app->CommonFilterList();
		count = filters != nullptr ? filters->CountItems() : 0;
		be_app->Unlock();
	}
	return count;
}

}

TEST(Lifetime, ManagersComeAndGoWithoutTraces)
{
	const int32 filters = app_filter_count();
	const int32 loopers = be_app->CountLoopers();
	for (int i = 0; i < 20; i++) {
		TVersoDCommMan* manager = new TVersoDCommMan;
		EXPECT_EQ(app_filter_count(), filters + 1);
		manager->Run();
		if (i % 2 == 0) {
			quit(manager);   // as the plug-in does, from another thread
		} else {
			// The manager asked to quit, ending in its own thread.
			BMessenger(nullptr, manager).SendMessage(B_QUIT_REQUESTED);
		}
		ASSERT_TRUE(testutil::wait_for([&] {
			return be_app->CountLoopers() == loopers && app_filter_count() == filters;
		}));
	}
}
