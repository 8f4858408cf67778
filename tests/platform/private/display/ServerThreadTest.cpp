// The server's own state is reached through methods that check their
// thread: what belongs to the display thread stops the program (with the
// misuse checks on, as in every test program) when another thread calls it,
// and runs when the display thread does.
#include <gtest/gtest.h>

#include <InterfaceDefs.h>

#include "display/ServerCore.h"
#include "support/Misuse.h"

#include <memory>

using display::ServerCore;

namespace {

std::shared_ptr<ServerCore> started_core()
{
	auto core = std::make_shared<ServerCore>();
	core->Start();
	return core;
}

}

TEST(ServerThreadDeath, DisplayThreadCallsFromAnotherThreadNameTheCall)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	ASSERT_TRUE(BPrivate::misuse_checks_on());
	EXPECT_DEATH({
		std::shared_ptr<ServerCore> core = started_core();
		core->SyncModifiers(0);
	}, "display::ServerCore::SyncModifiers: must run on the display thread");
	EXPECT_DEATH({
		std::shared_ptr<ServerCore> core = started_core();
		core->Backend();
	}, "display::ServerCore::Backend: must run on the display thread");
}

TEST(ServerThread, TheDisplayThreadMayCallThemAndAnyThreadTheOthers)
{
	std::shared_ptr<ServerCore> core = started_core();
	EXPECT_FALSE(core->OnDisplayThread());
	bool headless = false;
	ASSERT_EQ(B_OK, core->RunSync([&]() {
		EXPECT_TRUE(core->OnDisplayThread());
		core->SyncModifiers(B_SHIFT_KEY | B_LEFT_SHIFT_KEY);
		headless = core->Backend().IsHeadless();
	}));
	EXPECT_EQ(headless, core->IsHeadless());
	EXPECT_EQ((uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY), core->Modifiers());
	ASSERT_EQ(B_OK, core->RunSync([&]() { core->SyncModifiers(0); }));
	EXPECT_EQ(0u, core->Modifiers());

	display::window_id first = core->NewWindowId();
	EXPECT_GT(core->NewWindowId(), first);
	{
		ServerCore::StateAccess state(*core);
		EXPECT_TRUE(state.Order().empty());
	}
	core->Shutdown();
}
